#!/usr/bin/env python3
"""Hostile clients for scripts/hostile-load.sh: one kind of abuse against a
board-server on this machine, for a bounded time and count.

    hostile-clients.py PORT KIND SECONDS [COUNT]

KIND is one of
  slow-head   COUNT connections (default 200) that send a request head one
              header line every two seconds
  slow-body   COUNT connections that send a whole head, then the body a few
              bytes every two seconds
  fields      requests of 100,000 query fields and of 100,000 form fields
  headers     requests of 100,000 header lines
  search      searches of 1,000 words
  cookieless  COUNT requests of default.asp (default 100,000) that never
              bring back a cookie
  crowd-search  16 clients, each searching ten common one-character words
              (all of them), a new choice every time, one search after the
              other, from COUNT addresses (127.0.2.1 on)
Slow clients come from 127.0.1.1 to 127.0.1.10 and the rest from 127.0.0.9,
not from wrk's address. Prints one line: what was sent, the answers by
status (a search's by what the page says), how the slow connections ended,
and the median and slowest answer.
"""
import collections
import socket
import random
import sys
import threading
import time
import urllib.parse

PORT = int(sys.argv[1])
KIND = sys.argv[2]
SECONDS = float(sys.argv[3])
COUNT = int(sys.argv[4]) if len(sys.argv) > 4 else 0
END = time.monotonic() + SECONDS

statuses = collections.Counter()
endings = collections.Counter()
waits = []
lock = threading.Lock()


def connect(source):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind((source, 0))
    s.settimeout(10)
    s.connect(("127.0.0.1", PORT))
    return s


def search_outcome(answer):
    text = answer.decode("gbk", "replace")
    for words, outcome in (("搜索结果", "list"), ("搜索的范围太大", "too broad"), ("最多同时进行", "too many at once"),
                           ("正忙于其他搜索", "board busy")):
        if words in text:
            return " " + outcome
    return ""


def exchange(request, source="127.0.0.9", outcome=lambda answer: ""):
    """Sends one request and reads the answer whole; notes its status (with
    what `outcome` reads in it) and time."""
    start = time.monotonic()
    try:
        s = connect(source)
        s.sendall(request)
        answer = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            answer += chunk
        s.close()
        status = answer.split(b" ", 2)[1].decode() + outcome(answer) if answer.startswith(b"HTTP/") else "none"
    except OSError as e:
        # A server that refuses after reading part of a large request may
        # close before the client has sent it all.
        status = "reset" if isinstance(e, (ConnectionResetError, BrokenPipeError)) else "error"
    took = time.monotonic() - start
    with lock:
        statuses[status] += 1
        waits.append(took)


def slow(index, body):
    source = "127.0.1.%d" % (1 + index % 10)
    try:
        s = connect(source)
    except OSError:
        with lock:
            endings["not connected"] += 1
        return
    if body:
        s.sendall(b"POST /search.asp HTTP/1.1\r\nHost: localhost\r\nContent-Length: 100000\r\n"
                  b"Content-Type: application/x-www-form-urlencoded\r\n\r\n")
    else:
        s.sendall(b"GET /default.asp HTTP/1.1\r\n")
    s.settimeout(2)
    ending = "still open at the end"
    while time.monotonic() < END:
        try:
            s.sendall(b"a=b&" if body else b"X-Slow: 1\r\n")
            data = s.recv(4096)
            if not data:
                ending = "closed by the server"
                break
            ending = "answered " + data.split(b" ", 2)[1].decode()
            break
        except socket.timeout:
            continue
        except OSError:
            ending = "closed by the server"
            break
    s.close()
    with lock:
        endings[ending] += 1


def repeat(make_requests):
    """Sends the requests again and again, four at a time, until the time is up."""
    def worker():
        while time.monotonic() < END:
            for request in make_requests():
                exchange(request)
    threads = [threading.Thread(target=worker) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def many_fields():
    fields = b"&".join(b"f%d=%d" % (i, i) for i in range(100000))
    return [b"GET /list.asp?" + fields + b" HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n",
            b"POST /search.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
            b"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n\r\n" % len(fields) + fields]


def many_headers():
    lines = b"".join(b"X-H%d: %d\r\n" % (i, i) for i in range(100000))
    return [b"GET /default.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n" + lines + b"\r\n"]


def long_search():
    words = b"+".join(b"word%d" % i for i in range(1000))
    body = b"SearchTerms=" + words + b"&BooleanAnd=and&SearchIn=both&SearchDate=365&ForumChoice=all"
    return [b"POST /search.asp?action=simplesearch HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
            b"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n\r\n" % len(body) + body]


COMMON_CHARACTERS = "的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可下而过天去能对小多然"


def crowd_search(addresses):
    def client(i):
        rng = random.Random(i)
        source = "127.0.2.%d" % (1 + i % addresses)
        while time.monotonic() < END:
            words = urllib.parse.quote(" ".join(rng.sample(COMMON_CHARACTERS, 10)).encode("gbk"))
            body = ("action=simplesearch&SearchTerms=" + words + "&BooleanAND=YES&ForumChoice=ALL&SearchIn=ALL"
                    "&SearchDate=ALL&SearchUser=&ExactName=no").encode()
            exchange(b"POST /search.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
                     b"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n\r\n" % len(body)
                     + body, source, search_outcome)
    threads = [threading.Thread(target=client, args=(i,)) for i in range(16)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def cookieless(total):
    """Keep-alive connections that ask default.asp and drop every cookie."""
    per_thread = total // 8
    request = b"GET /default.asp HTTP/1.1\r\nHost: localhost\r\n\r\n"

    def worker():
        s = None
        for _ in range(per_thread):
            if time.monotonic() >= END:
                break
            start = time.monotonic()
            try:
                if s is None:
                    s = connect("127.0.0.9")
                s.sendall(request)
                answer = b""
                while b"\r\n\r\n" not in answer:
                    chunk = s.recv(65536)
                    if not chunk:
                        raise ConnectionResetError
                    answer += chunk
                head, rest = answer.split(b"\r\n\r\n", 1)
                length = 0
                for line in head.split(b"\r\n"):
                    if line.lower().startswith(b"content-length:"):
                        length = int(line.split(b":")[1])
                while len(rest) < length:
                    rest += s.recv(65536)
                status = head.split(b" ", 2)[1].decode()
                if b"connection: close" in head.lower():
                    s.close()
                    s = None
            except OSError:
                status = "error"
                if s is not None:
                    s.close()
                s = None
            with lock:
                statuses[status] += 1
                waits.append(time.monotonic() - start)
        if s is not None:
            s.close()
    threads = [threading.Thread(target=worker) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def main():
    if KIND in ("slow-head", "slow-body"):
        threads = [threading.Thread(target=slow, args=(i, KIND == "slow-body")) for i in range(COUNT or 200)]
        for t in threads:
            t.start()
            time.sleep(0.005)
        for t in threads:
            t.join()
    elif KIND == "fields":
        repeat(many_fields)
    elif KIND == "headers":
        repeat(many_headers)
    elif KIND == "search":
        repeat(long_search)
    elif KIND == "cookieless":
        cookieless(COUNT or 100000)
    elif KIND == "crowd-search":
        crowd_search(COUNT or 16)
    else:
        sys.exit("hostile-clients: unknown kind " + KIND)
    parts = []
    if statuses:
        parts.append("answers " + ", ".join("%s: %d" % item for item in sorted(statuses.items())))
        waits.sort()
        parts.append("median %.0f ms, slowest %.0f ms" % (waits[len(waits) // 2] * 1000, waits[-1] * 1000))
    if endings:
        parts.append("connections " + ", ".join("%s: %d" % item for item in sorted(endings.items())))
    print("; ".join(parts))


main()
