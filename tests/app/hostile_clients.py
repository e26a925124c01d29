#!/usr/bin/env python3
"""Hostile clients of the metrics endpoint, all at once on loopback from 32 addresses in turn
(127.0.0.2 to .33), bounded in count and time: 300 slow-header connections, about 9 an address,
that trickle a byte every 2 s (each one the endpoint closes is opened again), garbage request
lines, 70 kB headers, 10 MB POSTs, odd methods and paths. Meanwhile a scraper on 127.0.0.1 asks
for the page once a second, as the plant's Prometheus does. Prints what the endpoint answered, one line per kind, the longest time a
slow-header connection was held, and how many scrapes were answered within 1 s.
With "guess", password guessers instead: HOSTS addresses (127.0.0.2 on) with 4 connections
each send wrong passwords as fast as they are answered, over TLS with the client certificate
of the credentials' FOLDER when one is given, while a scraper on 127.0.0.254 (apart from a
Prometheus on 127.0.0.1) whose right password was let in once before asks every 0.25 s. Prints the guessers' answers and how many scrapes had
their page within 0.5 s, and the slowest.
    hostile_clients.py PORT [SECONDS]
    hostile_clients.py PORT SECONDS guess HOSTS [FOLDER]"""
import base64
import itertools
import os
import ssl
import socket
import sys
import threading
import time

HOST = "127.0.0.1"  # nothing but loopback: the endpoint and the scraper
SCRAPER = "127.0.0.254"  # the plant's scraper, when passwords are guessed
HOSTILE = itertools.cycle(["127.0.0.%d" % n for n in range(2, 34)])  # the hostile hosts, in turn
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
        with socket.create_connection((HOST, PORT), timeout=deadline, source_address=(next(HOSTILE), 0)) as s:
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


def open_slow():
    """A connection that will send a request line and then a byte at a time: [socket, opened at, started]."""
    s = socket.socket()
    s.setblocking(False)
    s.bind((next(HOSTILE), 0))
    s.connect_ex((HOST, PORT))
    return [s, time.monotonic(), False]


def closed_by_endpoint(s):
    try:
        return s.recv(4096, socket.MSG_DONTWAIT) is not None  # an end or an answer: either way it is over
    except BlockingIOError:
        return False
    except OSError:
        return True


def slow_headers():
    # All connects at once, without waiting for each: those the endpoint does not accept wait in
    # the kernel's queue like a real flood's.
    slow = [open_slow() for _ in range(SLOW)]
    end = time.monotonic() + HOLD
    opened = SLOW
    longest = 0.0
    while True:
        time.sleep(2)
        now = time.monotonic()
        for entry in slow:
            s, since, started = entry
            if started and closed_by_endpoint(s):
                longest = max(longest, now - since)
                s.close()
                entry[:] = open_slow()
                opened += 1
                continue
            try:
                s.send(b"X" if started else b"GET /metrics HTTP/1.1\r\nHost: x\r\n")
                entry[2] = True
            except OSError:
                pass  # not connected yet, or refused: seen at the next round
        if now >= end:
            break
    still_open = 0
    for s, since, started in slow:
        if started and not closed_by_endpoint(s):
            longest = max(longest, time.monotonic() - since)
            still_open += 1
        s.close()
    with lock:
        answers["slow-header"] = {"%d opened in %.0f s, %d still open at the end, the longest held %.1f s" %
                                  (opened, HOLD, still_open, longest): 1}


def scraper():
    """A scrape a second from 127.0.0.1 while the others attack; one counts if a whole page came within 1 s."""
    time.sleep(1)
    tried = answered = 0
    end = time.monotonic() + HOLD - 1
    while time.monotonic() < end:
        began = time.monotonic()
        tried += 1
        answer = b""
        try:
            with socket.create_connection((HOST, PORT), timeout=1, source_address=(HOST, 0)) as s:
                s.sendall(b"GET /metrics HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
                while chunk := s.recv(65536):
                    answer += chunk
        except OSError:
            pass
        if answer.startswith(b"HTTP/1.1 200") and answer.endswith(b"\n") and time.monotonic() - began <= 1:
            answered += 1
        time.sleep(max(0.0, began + 1 - time.monotonic()))
    with lock:
        answers["scrapes from 127.0.0.1"] = {"%d of %d answered within 1 s" % (answered, tried): 1}


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


def tls_context(folder):
    if not folder:
        return None
    context = ssl.create_default_context(cafile=folder + "/server.crt")
    context.load_cert_chain(folder + "/client.crt", folder + "/client.key")
    return context


def scrape(source, password, tls, timeout):
    """One GET of the page with basic authentication on a connection of its own: the answer."""
    header = base64.b64encode(b"prometheus:" + password.encode())
    answer = b""
    try:
        with socket.create_connection((HOST, PORT), timeout=timeout, source_address=(source, 0)) as raw:
            s = tls.wrap_socket(raw, server_hostname=HOST) if tls else raw
            s.sendall(b"GET /metrics HTTP/1.1\r\nHost: x\r\nConnection: close\r\nAuthorization: Basic " + header +
                      b"\r\n\r\n")
            while chunk := s.recv(65536):
                answer += chunk
    except OSError:
        pass
    return answer


def guesses(hosts, tls):
    """The guessers in a process of their own, so that the scraper's times are not the guessers'
    turns at Python's lock: the scraper's threads (none) and prints, after the guessers' line."""
    if not scrape(SCRAPER, "s3cret", tls, 30).startswith(b"HTTP/1.1 200"):
        sys.exit("the right password was not let in")
    end = time.monotonic() + HOLD

    def guesser(n):
        source = "127.0.0.%d" % (2 + n // 4)
        while time.monotonic() < end:
            note("guesses", scrape(source, "guess%d" % n, tls, 15))

    guessers = os.fork()
    if guessers == 0:
        return [threading.Thread(target=guesser, args=(n,)) for n in range(4 * hosts)]
    tried = answered = within_second = 0
    slow = []
    while time.monotonic() < end:
        began = time.monotonic()
        answer = scrape(SCRAPER, "s3cret", tls, 2)
        took = time.monotonic() - began
        tried += 1
        whole = answer.startswith(b"HTTP/1.1 200") and answer.endswith(b"\n")
        within_second += whole and took <= 1
        if whole and took <= 0.5:
            answered += 1
        else:
            slow.append("%.2f s at %.1f s (%s)" % (took, began + HOLD - end, answer[:12].decode("latin-1") or "none"))
        time.sleep(max(0.0, began + 0.25 - time.monotonic()))
    os.waitpid(guessers, 0)
    print("scrapes from %s: %d of %d answered within 0.5 s, %d within 1 s%s" %
          (SCRAPER, answered, tried, within_second, "; not: " + ", ".join(slow) if slow else ""))
    sys.exit(0)


if len(sys.argv) > 3 and sys.argv[3] == "guess":
    threads = guesses(int(sys.argv[4]), tls_context(sys.argv[5] if len(sys.argv) > 5 else None))
else:
    threads = [threading.Thread(target=t) for t in (slow_headers, scraper, garbage, big_headers, big_posts, odd)]
for t in threads:
    t.start()
for t in threads:
    t.join(HOLD + 60)
for kind in sorted(answers):
    print(kind + ": " + ", ".join("%s x%d" % item for item in sorted(answers[kind].items())))
