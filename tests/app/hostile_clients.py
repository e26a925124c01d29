#!/usr/bin/env python3
"""Hostile clients of the metrics endpoint, all at once on loopback, bounded in count and time:
slow-header connections that trickle a byte a second, garbage request lines, 70 kB headers,
10 MB POSTs, odd methods and paths. Prints what the endpoint answered, one line per kind.
    hostile_clients.py PORT [SECONDS]"""
import socket
import sys
import threading
import time

HOST = "127.0.0.1"  # nothing but loopback
PORT = int(sys.argv[1])
HOLD = float(sys.argv[2]) if len(sys.argv) > 2 else 8.0
SLOW = 300
DEADLINE = time.monotonic() + HOLD + 15  # no new request after it
answers = {}
lock = threading.Lock()


def note(kind, answer):
    status = answer.split(b"\r\n", 1)[0].decode("latin-1") if answer else "closed unanswered"
    with lock:
        answers.setdefault(kind, {}).setdefault(status, 0)
        answers[kind][status] += 1


def ask(kind, request, deadline=5.0):
    """Sends the request (as far as the endpoint takes it) and reads its answer."""
    if time.monotonic() > DEADLINE:
        note(kind, b"not sent (out of time)")
        return
    try:
        with socket.create_connection((HOST, PORT), timeout=deadline) as s:
            try:
                sent = 0
                while sent < len(request):
                    sent += s.send(request[sent:sent + 65536])
            except OSError:
                pass  # refused before the end: the answer tells why
            answer = b""
            try:
                while len(answer) < 4096:
                    chunk = s.recv(4096)
                    if not chunk:
                        break
                    answer += chunk
            except OSError:
                pass
            note(kind, answer)
    except OSError:
        note(kind, b"")


def slow_headers():
    # All connects at once, without waiting for each: those the endpoint does not accept wait in
    # the kernel's queue like a real flood's.
    pending = []
    for _ in range(SLOW):
        s = socket.socket()
        s.setblocking(False)
        s.connect_ex((HOST, PORT))
        pending.append(s)
    time.sleep(1)
    sockets = []
    for s in pending:
        try:
            s.send(b"GET /metrics HTTP/1.1\r\nHost: x\r\n")
            sockets.append(s)
        except OSError:
            s.close()
    end = time.monotonic() + HOLD
    while time.monotonic() < end:
        for s in sockets:
            try:
                s.send(b"X")
            except OSError:
                pass
        time.sleep(1)
    open_at_end = 0
    for s in sockets:
        try:
            s.send(b"X")
            open_at_end += 1
        except OSError:
            pass
        s.close()
    with lock:
        answers["slow-header"] = {"%d tried, %d opened, still open after %.0f s" % (SLOW, len(sockets), HOLD): open_at_end}


def garbage():
    for i in range(50):
        ask("garbage", bytes((i * 37 + k) % 256 for k in range(200)) + b"\r\n\r\n")


def big_headers():
    for _ in range(5):
        ask("70 kB header", b"GET /metrics HTTP/1.1\r\nHost: x\r\nX-Big: " + b"a" * 70 * 1024 + b"\r\n\r\n")


def big_posts():
    body = b"p" * (10 * 1024 * 1024)
    for _ in range(2):
        ask("10 MB POST", b"POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\n\r\n" % len(body) + body)


def odd():
    for method, path in [(b"DELETE", b"/metrics"), (b"PUT", b"/"), (b"OPTIONS", b"*"), (b"GET", b"/../etc/passwd"),
                         (b"GET", b"/metrics/x"), (b"TRACE", b"/metrics"), (b"GET", b"/" + b"m" * 8000)]:
        ask("odd", method + b" " + path + b" HTTP/1.1\r\nHost: x\r\n\r\n")


threads = [threading.Thread(target=t) for t in (slow_headers, garbage, big_headers, big_posts, odd)]
for t in threads:
    t.start()
for t in threads:
    t.join(HOLD + 60)
for kind in sorted(answers):
    print(kind + ": " + ", ".join("%s x%d" % item for item in sorted(answers[kind].items())))
