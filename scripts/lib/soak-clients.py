#!/usr/bin/env python3
"""The mixed clients of scripts/soak.sh: reading, searching, posting,
private messages and logins against a board-server on this machine, for a
fixed time. Prints one line a minute: the requests, what went wrong, the
server's resident memory (all of it, and its anonymous part, which leaves
out the mapped program and database files) and its threads; at the end the
growth of the last minutes.

    soak-clients.py PORT SERVER_PID SECONDS MEMBERS_FILE FORUMS_FILE TOPICS_FILE

The files hold one member name, forum name or topic id a line (UTF-8);
every member's password is 123456. What counts as wrong:
  pm-refused    a private message of a member logged in to pm.asp answered
                with the account message instead of the thanks
  logged-out    the page right after a login that shows a guest (the board
                home's private-message notice, or pm.asp's login form)
  not-thanked   a post or private message answered otherwise than with thanks
  http          an answer other than 200/302, or no answer
"""
import collections
import http.client
import random
import sys
import threading
import time
import urllib.parse

PORT = int(sys.argv[1])
SERVER_PID = int(sys.argv[2])
SECONDS = float(sys.argv[3])
MEMBERS = [l.rstrip("\n") for l in open(sys.argv[4], encoding="utf-8") if l.strip()]
FORUMS = [l.rstrip("\n") for l in open(sys.argv[5], encoding="utf-8") if l.strip()]
TOPICS = [l.strip() for l in open(sys.argv[6], encoding="utf-8") if l.strip()]
PASSWORD = "123456"
START = time.monotonic()
END = START + SECONDS

counts = collections.Counter()
lock = threading.Lock()
examples = {}

ACCOUNT = "对不起，由于账号问题，你不能进行该操作！".encode("gbk")
PM_THANKS = "谢谢你发表悄悄话".encode("gbk")
POST_THANKS = "谢谢您".encode("gbk")
PM_LOGIN_FORM = "要发表或查看悄悄话，您必须通过身份验证".encode("gbk")
GUEST_NOTICE = "检查您的悄悄话".encode("gbk")
MEMBER_NOTICES = ("您没有新悄悄话".encode("gbk"), "条新悄悄话".encode("gbk"))


def note(kind, body=b""):
    with lock:
        counts[kind] += 1
        if kind not in examples and body:
            examples[kind] = body.decode("gbk", "replace")


def form(fields):
    return urllib.parse.urlencode({k: v.encode("gbk") for k, v in fields.items()})


class Client:
    """One visitor: a connection and, unless cookieless, the cookies it was given."""

    def __init__(self, keep_cookies=True):
        self.keep = keep_cookies
        self.cookies = {}
        self.con = None

    def request(self, method, path, fields=None):
        body = form(fields) if fields is not None else None
        headers = {"Connection": "keep-alive"}
        if body is not None:
            headers["Content-Type"] = "application/x-www-form-urlencoded"
        if self.cookies:
            headers["Cookie"] = "; ".join(f"{k}={v}" for k, v in self.cookies.items())
        for attempt in (0, 1):
            try:
                if self.con is None:
                    self.con = http.client.HTTPConnection("127.0.0.1", PORT, timeout=60)
                self.con.request(method, path, body, headers)
                answer = self.con.getresponse()
                data = answer.read()
                break
            except (OSError, http.client.HTTPException):
                self.con = None
                if attempt:
                    note("http")
                    return 0, b""
        with lock:
            counts["requests"] += 1
        if self.keep:
            for name, value in answer.getheaders():
                if name.lower() == "set-cookie":
                    pair = value.split(";", 1)[0]
                    key, _, val = pair.partition("=")
                    self.cookies[key.strip()] = val.strip()
        if answer.status not in (200, 302):
            note("http", data)
        return answer.status, data

    def close(self):
        if self.con is not None:
            self.con.close()


def quoted(text):
    return urllib.parse.quote(text.encode("gbk"))


def read_pages(client):
    client.request("GET", "/default.asp")
    client.request("GET", "/list.asp?GroupName=" + quoted(random.choice(FORUMS)))
    client.request("GET", "/newsdetail.asp?id=" + random.choice(TOPICS))


def reader(keep_cookies):
    client = Client(keep_cookies)
    while time.monotonic() < END:
        read_pages(client)
    client.close()


def searcher():
    client = Client()
    words = ["测试", "论坛", "the", "贴子", "回复", "问题", "压力"]
    while time.monotonic() < END:
        client.request("POST", "/search.asp", {
            "action": "simplesearch", "SearchTerms": random.choice(words), "BooleanAND": "YES",
            "ForumChoice": "ALL", "SearchIn": "SUBJECT", "SearchDate": random.choice(["1", "5", "10", "30"]),
            "SearchUser": "", "ExactName": "no"})
        client.request("GET", "/search.asp?action=gotopage&page=2")
    client.close()


def board_login(client, name):
    client.request("POST", "/login.asp", {"UserName": name, "Password": PASSWORD})
    _, page = client.request("GET", "/default.asp")
    if GUEST_NOTICE in page or not any(n in page for n in MEMBER_NOTICES):
        note("logged-out", page)
        return False
    return True


def poster():
    while time.monotonic() < END:
        client = Client()
        name = random.choice(MEMBERS)
        board_login(client, name)
        for i in range(10):
            if time.monotonic() >= END:
                break
            if i % 2 == 0:
                fields = {"action": "posttopic", "forum": random.choice(FORUMS), "TopicSubject": f"长跑测试 {i}",
                          "MsgIcon": "2", "Message": f"长跑测试的贴子 [b]{i}[/b] " + "字" * random.randint(10, 2000)}
            else:
                fields = {"action": "postreply", "Topic": random.choice(TOPICS), "TopicSubject": "Re",
                          "MsgIcon": "3", "Message": f"长跑测试的回复 {i} " + "字" * random.randint(10, 500)}
            fields.update({"UserName": name, "Password": PASSWORD})
            _, page = client.request("POST", "/posting.asp", fields)
            if POST_THANKS not in page:
                note("not-thanked", page)
            read_pages(client)
        client.close()


def pm_sender():
    while time.monotonic() < END:
        client = Client()
        name = random.choice(MEMBERS)
        client.request("POST", "/pm.asp", {"action": "idcheck", "userName": name, "Password": PASSWORD,
                                           "QueryString": "action=inbox"})
        _, page = client.request("GET", "/pm.asp?action=inbox")
        if PM_LOGIN_FORM in page:
            note("logged-out", page)
        for i in range(20):
            if time.monotonic() >= END:
                break
            _, page = client.request("POST", "/pm.asp", {
                "action": "postpm", "Recipient": random.choice(MEMBERS), "Subject": f"长跑 {i}",
                "Message": "悄悄话 " + "话" * random.randint(10, 400), "msgicon": "1"})
            if ACCOUNT in page:
                note("pm-refused", page)
            elif PM_THANKS not in page:
                note("not-thanked", page)
            client.request("GET", "/pm.asp?action=inbox")
            client.request("GET", "/default.asp")
        client.close()


def logins():
    while time.monotonic() < END:
        client = Client()
        client.request("GET", "/default.asp")  # a session before the login
        board_login(client, random.choice(MEMBERS))
        client.close()


def server_status():
    """The server's resident memory (MB), the anonymous part of it (MB) and its threads."""
    fields = {}
    try:
        with open(f"/proc/{SERVER_PID}/status") as status:
            for line in status:
                key, _, value = line.partition(":")
                fields[key] = value.split()
    except OSError:
        pass
    kb = lambda key: int(fields[key][0]) / 1024 if key in fields else 0.0
    return kb("VmRSS"), kb("RssAnon"), int(fields["Threads"][0]) if "Threads" in fields else 0


actors = ([lambda: reader(False)] * 3 + [lambda: reader(True)] * 2 + [searcher] + [poster] * 2 +
          [pm_sender] * 3 + [logins] * 2)
threads = [threading.Thread(target=a, daemon=True) for a in actors]
for t in threads:
    t.start()

KINDS = ("pm-refused", "logged-out", "not-thanked", "http")
print(f"{'minute':>6} {'requests':>9} " + " ".join(f"{k:>11}" for k in KINDS) +
      f" {'RSS MB':>8} {'anon MB':>8} {'threads':>7}", flush=True)
last = collections.Counter()
minute = 0
rss = [server_status()[0]]
while time.monotonic() < END:
    time.sleep(max(0.0, min(60.0, END - time.monotonic())))
    minute += 1
    with lock:
        now = counts.copy()
    resident, anon, server_threads = server_status()
    rss.append(resident)
    print(f"{minute:>6} {now['requests'] - last['requests']:>9} " +
          " ".join(f"{now[k] - last[k]:>11}" for k in KINDS) +
          f" {resident:>8.1f} {anon:>8.1f} {server_threads:>7}", flush=True)
    last = now
for t in threads:
    t.join(timeout=90)
print(f"total  {counts['requests']:>9} " + " ".join(f"{counts[k]:>11}" for k in KINDS) +
      f"   RSS start {rss[0]:.1f} MB, end {rss[-1]:.1f} MB")
# Levelling off shows in the last ten minutes (or the last half of a
# shorter soak): their growth per minute should be near nothing.
span = min(10, minute // 2)
if span:
    growth = rss[-1] - rss[-1 - span]
    print(f"RSS over the last {span} minutes: {growth:+.1f} MB ({growth / span:+.2f} MB a minute)")
for kind, body in examples.items():
    text = " ".join(body.replace("<", " <").split())
    print(f"first {kind}: {text[:300]}")
sys.exit(1 if any(counts[k] for k in KINDS) else 0)
