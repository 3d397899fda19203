#!/usr/bin/env python3
"""A burst of mail pages for scripts/mail-burst.sh, against a board-server
whose mail relay never answers.

    mail-burst-clients.py relay PORTFILE
    mail-burst-clients.py burst PORT PID COUNT

`relay` listens on a free loopback port (written to PORTFILE), takes every
connection and never says a word, until killed.

`burst` sends COUNT send-to-a-friend pages at once, each from a client
address of its own (127.1.x.y), while one client asks for the home page
again and again from 127.0.0.1, and the server's threads (process PID) are
counted every 20 ms. Prints the home page's worst and p99 answer times, the
mail pages' worst, how they were answered, and the threads before the
burst, at its peak and two seconds after the last mail page.
"""
import collections
import http.client
import socket
import sys
import threading
import time
import urllib.parse


def relay(port_file):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(4096)
    with open(port_file, "w") as f:
        f.write(str(listener.getsockname()[1]))
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)  # open and silent


def threads_of(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("Threads:"):
                return int(line.split()[1])
    return 0


def answer_time(port, method, path, body=None, source=None):
    start = time.monotonic()
    connection = http.client.HTTPConnection(
        "127.0.0.1", port, timeout=120, source_address=(source, 0) if source else None)
    headers = {"Content-Type": "application/x-www-form-urlencoded"} if body else {}
    connection.request(method, path, body=body, headers=headers)
    response = connection.getresponse()
    text = response.read().decode("gbk", "replace")
    connection.close()
    return time.monotonic() - start, response.status, text


def burst(port, pid, count):
    form = urllib.parse.urlencode({
        "action": "sendthread", "FromName": "sender", "FromEmail": "sender@example.org",
        "SendToName": "friend", "SendToEmail": "friend@example.net", "EmailSubject": "look",
        "EmailMessage": "a page for you", "ForwardURL": "/default.asp"})
    mail_times, answers = [], collections.Counter()
    home_times = []
    lock = threading.Lock()
    done = threading.Event()

    def mail_page(i):
        source = f"127.1.{i // 250}.{i % 250 + 1}"
        try:
            seconds, status, text = answer_time(port, "POST", "/ubbmisc.asp", form, source)
            kind = "busy" if "邮件服务器正忙" in text else "relay failed" if "邮件服务器" in text else "other"
            if "发送了电子邮件" in text:
                kind = "sent"
        except OSError as e:
            seconds, status, kind = 0.0, 0, type(e).__name__
        with lock:
            mail_times.append(seconds)
            answers[f"{status} {kind}"] += 1

    def home_pages():
        while not done.is_set():
            try:
                seconds = answer_time(port, "GET", "/default.asp")[0]
            except OSError:
                seconds = float("inf")
            with lock:
                home_times.append(seconds)
            time.sleep(0.01)

    before = threads_of(pid)
    peak = [before]

    def count_threads():
        while not done.is_set():
            peak[0] = max(peak[0], threads_of(pid))
            time.sleep(0.02)

    helpers = [threading.Thread(target=home_pages), threading.Thread(target=count_threads)]
    for helper in helpers:
        helper.start()
    time.sleep(0.5)
    pages = [threading.Thread(target=mail_page, args=(i,)) for i in range(count)]
    for page in pages:
        page.start()
    for page in pages:
        page.join()
    time.sleep(2)
    done.set()
    for helper in helpers:
        helper.join()
    after = threads_of(pid)

    home_times.sort()
    p99 = home_times[min(len(home_times) - 1, int(len(home_times) * 0.99))]
    print(f"home page: {len(home_times)} answers, worst {home_times[-1]:.3f} s, p99 {p99:.3f} s")
    print(f"mail pages: {count}, worst {max(mail_times):.3f} s; answers: "
          + ", ".join(f"{n} {what}" for what, n in sorted(answers.items())))
    print(f"threads: {before} before, {peak[0]} at the peak, {after} after")


if __name__ == "__main__":
    if sys.argv[1] == "relay":
        relay(sys.argv[2])
    else:
        burst(int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]))
