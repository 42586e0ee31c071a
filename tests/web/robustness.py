#!/usr/bin/env python3
"""Black-box test of the browser host, inside a private network namespace.

Runs the program (offscreen) beside orv-dbnode with "web 8080", then: 16
viewers at once get hello, snapshot and live changes; an allowed browser's
up-down tap gives a SET at the node, a read-only browser's tap is refused and
logged once; then 1,000 connections opened and dropped, half-sent headers
left hanging and frames over the size limit. The program stays up, its
memory stays flat, a viewer still gets changes and the link stays up.

Usage: robustness.py <orvvarnoth> <orv-dbnode> <plan file> <work dir> [max growth kB, 0: report only]
"""
import http.client
import os
import re
import socket
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
import ws_client as ws  # noqa: E402
from proc import enter, fail, read, require_private_netns, start, start_node, stop, wait_or_fail, write  # noqa: E402

HOST, PORT = "127.0.0.1", 8080
ALLOWED_SOURCE = "127.0.0.2"  # webcontrol lets this one send commands

def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(re.search(r"VmRSS:\s+(\d+)", f.read()).group(1))

def next_of(s, kind, seconds=5):
    end = time.time() + seconds
    while time.time() < end:
        m = ws.recv_json(s)
        if m["t"] == kind:
            return m
    fail("no %s frame" % kind)

def http_status(path):
    c = http.client.HTTPConnection(HOST, PORT, timeout=5)
    c.request("GET", path)
    return c.getresponse().status

COMMANDS = ('{"t":"cmd","panel":"radios","id":1023,"shift":false}',
            '{"t":"delta","panel":"radios","id":1063,"delta":-1,"shift":false}')

def check_door(sets, log):
    """Requests must name the program, WebSockets come from its page or a tool; headers on every answer."""
    csp = "default-src 'self'; connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"
    for path, host, status in (("/", HOST, 200), ("/templates.json", HOST, 200), ("/x", HOST, 404), ("/", "evil", 403), ("/", None, 400)):
        c = http.client.HTTPConnection(HOST, PORT, timeout=5)
        c.putrequest("GET", path, skip_host=True)
        if host:  # None: no Host at all
            c.putheader("Host", host)
        c.endheaders()
        r = c.getresponse()
        h = [r.status] + [r.getheader(n) for n in ("Content-Security-Policy", "X-Frame-Options", "X-Content-Type-Options",
                                                   "Referrer-Policy", "Access-Control-Allow-Origin")]
        if h != [status, csp, "DENY", "nosniff", "no-referrer", None]:
            fail("GET %s with Host %r: %r" % (path, host, h))
    def answer(host, origin):
        try:
            return ws.recv_json(ws.connect(HOST, PORT, source=ALLOWED_SOURCE, host_header=host, origin=origin))["t"]
        except ConnectionError as e:
            return str(e)[:12]
    before = sets()
    got = [answer(h, o) for h, o in ((None, "http://evil.test"), (None, "null"), ("evil.test:%d" % PORT,
           "http://evil.test:%d" % PORT), (None, "http://%s:%d" % (HOST, PORT)))]
    if got != ["HTTP/1.1 403"] * 3 + ["hello"]:
        fail("WebSockets from other pages or for other hosts: %r" % got)
    time.sleep(1)
    if sets() != before or log().count("Web request from %s refused: foreign Origin http://evil.test\n" % ALLOWED_SOURCE) != 1:
        fail("refused WebSockets reached the node, or not logged once")

def abuse_round(hanging):
    for _ in range(1000):
        s = socket.create_connection((HOST, PORT), timeout=5)
        s.close()
    for _ in range(100):
        s = socket.create_connection((HOST, PORT), timeout=5)
        s.sendall(b"GET /index.html HTTP/1.1\r\nHost: x\r\nX-Half: ")
        hanging.append(s)
    for _ in range(20):
        s = ws.connect(HOST, PORT)
        ws.send(s, '{"t":"cmd","panel":"radios","id":1023,"pad":"' + "x" * 600 + '"}')
        try:
            s.settimeout(5)
            while ws.recv(s)[0] != 8:
                pass
        except (ConnectionError, OSError):
            pass
        s.close()
    while len(hanging) > 150:
        hanging.pop(0).close()

def main():
    program, dbnode, plan, work = sys.argv[1:5]
    max_growth = int(sys.argv[5]) if len(sys.argv) > 5 else 3072
    require_private_netns()
    enter(work, stale=("ORVVarnoth.log",))
    write("orvvarnoth.cfg", "win four\nshowradios no\nweb %d\nwebcontrol %s\n" % (PORT, ALLOWED_SOURCE))
    node = start_node([dbnode, "--plan", plan, "--airborne", "46.8,8.0,0,3000,250", "--speedup", "10",
                       "--pos-every", "2"], "node.out")
    prog = start([program])
    try:
        log = lambda: read("ORVVarnoth.log")
        wait_or_fail(lambda: "Web panels at http://127.0.0.1:%d/" % PORT in log(), 20, "the start-up line")

        # 16 viewers: hello (read-only from the program's own address), snapshot, changes.
        viewers = [ws.connect(HOST, PORT) for _ in range(16)]
        for v in viewers:
            hello = ws.recv_json(v)
            if ws.panels_hello(hello) != {"t": "hello", "control": False}:
                fail("hello: %r" % hello)
            snapshot = ws.recv_json(v)
            if snapshot["t"] != "snapshot" or not any(i == 1023 for i, _, _ in snapshot["values"]):
                fail("snapshot without the hidden radios panel's 1023: %r" % snapshot)
        for v in viewers:
            next_of(v, "batch", 10)
        wait_or_fail(lambda: next_of(viewers[0], "link", 3)["connected"], 15, "the link line to say connected")

        # An allowed tap reaches the panel as a click would: a SET at the node.
        allowed = ws.connect(HOST, PORT, source=ALLOWED_SOURCE)
        if ws.panels_hello(ws.recv_json(allowed)) != {"t": "hello", "control": True}:
            fail("allowed browser not told it may send commands")
        # The node also sees the program's own SETs: count only these commands' variables.
        set_vars = lambda: [line.split()[1] for line in read("node.out").splitlines()
                            if line.startswith("SET ")]
        before = len(set_vars())
        for frame in COMMANDS:
            ws.send(allowed, frame)
        wait_or_fail(lambda: len(set_vars()) >= before + 2, 5, "the SETs at the node")
        time.sleep(0.5)
        commanded = set(set_vars()[before:])
        sets = lambda: sum(var in commanded for var in set_vars())
        for frame, why in (('{"t":"cmd","panel":"radios","id":4242}', "unknown"),
                           ('{"t":"delta","panel":"radios","id":1023,"delta":1}', "unknown"),
                           ('{"t":"cmd","panel":"radios"', "malformed")):
            ws.send(allowed, frame)
            if next_of(allowed, "refused")["why"] != why:
                fail("%s not refused as %s" % (frame, why))

        if log().count("refused: unknown command") != 1 or log().count("refused: malformed command") != 1:
            fail("unknown and malformed commands not logged once each")
        # A read-only browser: clicks and steps refused, counted, logged once.
        before = sets()
        for frame in COMMANDS * 2:
            ws.send(viewers[1], frame)
            if next_of(viewers[1], "refused")["why"] != "read-only":
                fail("read-only %s not refused" % frame)
        time.sleep(1)
        if sets() != before:
            fail("a read-only browser's command reached the node")
        if log().count("refused: read-only browser") != 1:
            fail("read-only refusals not logged exactly once")
        check_door(sets, log)

        for v in viewers[2:]:
            v.close()

        # Abuse, three rounds; the first warms the allocator up.
        hanging = []
        abuse_round(hanging)
        warm = rss_kb(prog.pid)
        abuse_round(hanging)
        abuse_round(hanging)
        grown = rss_kb(prog.pid) - warm
        print("VmRSS after warm-up %d kB, grown by %d kB over two more rounds" % (warm, grown))
        if max_growth and grown > max_growth:
            fail("memory grew by %d kB" % grown)
        if prog.poll() is not None:
            fail("the program ended: %d" % prog.returncode)
        if http_status("/") != 200 or http_status("/templates.json") != 200:
            fail("the page is no longer served")
        if http_status("/..%2fx") != 400 or http_status("/nothing") != 404:
            fail("bad paths not refused")
        for s in hanging:
            s.close()
        next_of(viewers[0], "batch", 10)
        if not next_of(viewers[0], "link", 3)["connected"]:
            fail("the link went down")
        print("PASS")
        return 0
    finally:
        code = stop(prog)
        stop(node)
        if code not in (0, None):
            fail("program exit code %d (a sanitizer's finding?)" % code)

if __name__ == "__main__":
    sys.exit(main())
