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
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ws_client as ws  # noqa: E402

HOST, PORT = "127.0.0.1", 8080
ALLOWED_SOURCE = "127.0.0.2"  # webcontrol lets this one send commands

def fail(message):
    print("FAIL: " + message)
    sys.exit(1)

def wait_for(predicate, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.1)
    fail("timed out waiting for " + what)

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
    links = subprocess.run(["ip", "-o", "link", "show"], capture_output=True, text=True).stdout
    if [line.split(": ")[1] for line in links.splitlines()] != ["lo"]:
        print("Refusing to run outside a private network namespace")
        return 1
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    os.makedirs(work, exist_ok=True)
    os.chdir(work)
    if os.path.exists("ORVVarnoth.log"):
        os.remove("ORVVarnoth.log")
    with open("orvvarnoth.cfg", "w") as f:
        f.write("win four\nshowradios no\nweb %d\nwebcontrol %s\n" % (PORT, ALLOWED_SOURCE))
    node_out = open("node.out", "w")
    node = subprocess.Popen([dbnode, "--plan", plan, "--airborne", "46.8,8.0,0,3000,250", "--speedup", "10",
                             "--pos-every", "2"], stdin=subprocess.PIPE, stdout=node_out, stderr=subprocess.STDOUT)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    prog = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        log = lambda: open("ORVVarnoth.log", errors="replace").read() if os.path.exists("ORVVarnoth.log") else ""
        wait_for(lambda: "Web panels at http://127.0.0.1:%d/" % PORT in log(), 20, "the start-up line")

        # 16 viewers: hello (read-only from the program's own address), snapshot, changes.
        viewers = [ws.connect(HOST, PORT) for _ in range(16)]
        for v in viewers:
            hello = ws.recv_json(v)
            if hello != {"t": "hello", "control": False}:
                fail("hello: %r" % hello)
            snapshot = ws.recv_json(v)
            if snapshot["t"] != "snapshot" or not any(i == 1023 for i, _, _ in snapshot["values"]):
                fail("snapshot without the hidden radios panel's 1023: %r" % snapshot)
        for v in viewers:
            next_of(v, "batch", 10)
        wait_for(lambda: next_of(viewers[0], "link", 3)["connected"], 15, "the link line to say connected")

        # An allowed tap reaches the panel as a click would: a SET at the node.
        allowed = ws.connect(HOST, PORT, source=ALLOWED_SOURCE)
        if ws.recv_json(allowed) != {"t": "hello", "control": True}:
            fail("allowed browser not told it may send commands")
        before = open("node.out", errors="replace").read().count("SET ")
        ws.send(allowed, '{"t":"delta","panel":"radios","id":1063,"delta":-1,"shift":false}')
        wait_for(lambda: open("node.out", errors="replace").read().count("SET ") > before, 5, "the SET at the node")
        for frame, why in (('{"t":"cmd","panel":"radios","id":4242}', "unknown"),
                           ('{"t":"delta","panel":"radios","id":1023,"delta":1}', "unknown"),
                           ('{"t":"cmd","panel":"radios"', "malformed")):
            ws.send(allowed, frame)
            if next_of(allowed, "refused")["why"] != why:
                fail("%s not refused as %s" % (frame, why))

        # A read-only browser: refused, counted, logged once.
        for _ in range(3):
            ws.send(viewers[1], '{"t":"cmd","panel":"radios","id":1023,"shift":false}')
            if next_of(viewers[1], "refused")["why"] != "read-only":
                fail("read-only command not refused")
        if log().count("refused: read-only browser") != 1:
            fail("read-only refusals not logged exactly once")
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
        prog.terminate()
        node.terminate()
        try:
            code = prog.wait(10)
            if code != 0:
                fail("program exit code %d (a sanitizer's finding?)" % code)
        except subprocess.TimeoutExpired:
            prog.kill()
        node.wait()

if __name__ == "__main__":
    sys.exit(main())
