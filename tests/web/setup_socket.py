#!/usr/bin/env python3
"""The set-up socket end to end, inside a private network namespace.

The host (setup_host) serves at 10.0.0.1:8080; loopback also carries
10.0.0.2 (a panels browser), 10.0.0.3 (a websetup address). The set-up socket
is refused to the panels browser and to a foreign page, open to the PC and to
websetup; the panels browser asks for control, the PC allows it, and its open
socket is told and commands from it pass, without reconnecting; "reload"
(the stand-in worker forgets every grant) takes control back the same way;
a burst of desk changes reaches the page throttled, ending with the last;
two pages saving back to back each hear their own outcome; an ask goes with
its socket, and "deny all" clears the rest.

Usage: setup_socket.py <setup_host>
"""
import os
import socket
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
import ws_client as ws  # noqa: E402
from proc import fail, require_private_netns  # noqa: E402

HOST, PORT = "10.0.0.1", 8080
TABLET, WEBSETUP = "10.0.0.2", "10.0.0.3"
COMMAND = '{"t":"cmd","panel":"autopilot","id":1052}'

def next_of(s, kind, seconds=5):
    end = time.time() + seconds
    while time.time() < end:
        m = ws.recv_json(s)
        if m["t"] == kind:
            return m
    fail("no %s frame" % kind)

def opens(source, path="/setup/socket", origin=None):
    try:
        s = ws.connect(HOST, PORT, path=path, source=source, origin=origin)
    except ConnectionError as e:
        return str(e)[:12]
    first = ws.recv_json(s)
    s.close()
    return first["t"]

def main():
    require_private_netns()
    if os.path.exists("setup_host.log"):
        os.remove("setup_host.log")
    for address in (HOST, TABLET, WEBSETUP):
        subprocess.run(["ip", "addr", "add", address + "/32", "dev", "lo"], check=True)
    host = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        if host.stdout.readline().strip() != "ready":
            fail("the host did not start")
        got = [opens(HOST), opens("127.0.0.1"), opens(WEBSETUP), opens(TABLET),
               opens(HOST, origin="http://evil.test:8080"), opens(HOST, origin="http://%s:%d" % (HOST, PORT))]
        if got != ["setup", "setup", "setup", "HTTP/1.1 403", "HTTP/1.1 403", "setup"]:
            fail("set-up door: %r" % got)

        tablet = ws.connect(HOST, PORT, source=TABLET)
        hello = ws.recv_json(tablet)
        if hello != {"t": "hello", "control": False, "setup": False}:
            fail("tablet hello: %r" % hello)
        ws.send(tablet, COMMAND)
        if next_of(tablet, "refused")["why"] != "read-only":
            fail("a read-only command went through")

        page = ws.connect(HOST, PORT, path="/setup/socket", source=HOST)
        first = ws.recv_json(page)
        names = ws.recv_json(page)
        if first["t"] != "setup" or first["asks"] != [] or names["t"] != "names" or not names["controls"]:
            fail("set-up page start: %r %r" % (first, names["t"]))
        ws.send(tablet, '{"t":"ask"}')
        code = next_of(tablet, "asked")["code"]
        ws.send(tablet, '{"t":"ask"}')
        if next_of(tablet, "asked")["code"] != code:
            fail("a repeated ask got another code")
        asks = []
        while not asks:
            asks = next_of(page, "setup")["asks"]
        if [(a["address"], a["code"]) for a in asks] != [(TABLET, code)]:
            fail("asks: %r" % asks)
        ws.send(page, '{"t":"allow","id":%d}' % asks[0]["id"])
        if next_of(page, "posted")["id"] < 1:
            fail("allow not posted")
        if next_of(tablet, "control") != {"t": "control", "on": True}:
            fail("control not granted")
        ws.send(tablet, COMMAND)
        why = next_of(tablet, "refused")["why"]  # no windows in the host: the model itself refuses
        if why != "no panels running":
            fail("an allowed command refused: %r" % why)
        ws.send(tablet, '{"t":"ask"}')
        if next_of(tablet, "refused")["why"] != "already allowed":
            fail("an allowed browser could ask")

        ws.send(page, '{"t":"reload"}')
        next_of(page, "posted")
        if next_of(tablet, "control") != {"t": "control", "on": False}:
            fail("control not taken back")
        ws.send(tablet, COMMAND)
        if next_of(tablet, "refused")["why"] != "read-only":
            fail("a command passed after control was taken back")
        # A burst of desk changes reaches the page at most 20 times a second, ending with the last.
        ws.send(page, '{"t":"find"}')
        frames, end = [], time.time() + 1.5
        page.settimeout(0.3)
        try:
            while time.time() < end:
                m = ws.recv_json(page)
                if m["t"] == "setup":
                    frames.append(m)
        except socket.timeout:
            pass
        page.settimeout(5)
        if not 2 <= len(frames) <= 32 or frames[-1]["finding"]:
            fail("burst: %d frames, last finding %r" % (len(frames), frames[-1]["finding"] if frames else None))
        ws.send(page, '{"t":"deny","id":999}')
        if next_of(page, "refused")["why"] != "no such ask":
            fail("deny of no ask")

        # Two pages save back to back: each hears its own outcome, once, and
        # never the other's.
        other = ws.connect(HOST, PORT, path="/setup/socket", source=WEBSETUP)
        save = '{"t":"save","revision":"r1","changes":[{"do":"revoke","range":"10.9.9.9/32"}]}'
        ws.send(page, save)
        ws.send(other, save)
        for s, who in ((page, HOST), (other, WEBSETUP)):
            mine = next_of(s, "posted")["id"]
            got = next_of(s, "outcome")
            if got["request"] != mine or got["message"] != "saved by " + who:
                fail("outcome for %s: %r (posted %d)" % (who, got, mine))
            s.settimeout(0.3)
            try:
                while True:
                    if ws.recv_json(s)["t"] == "outcome":
                        fail("a second outcome reached %s" % who)
            except socket.timeout:
                pass
            s.settimeout(5)

        # An ask goes with its socket; the page can deny every waiting ask.
        def asks_now():
            ws.send(page, '{"t":"find"}')  # the stand-in publishes: a fresh frame
            next_of(page, "posted")
            frame = next_of(page, "setup")
            while frame["finding"]:
                frame = next_of(page, "setup")
            return [a["address"] for a in frame["asks"]]
        for source in (TABLET, WEBSETUP):
            t = ws.connect(HOST, PORT, source=source)
            ws.send(t, '{"t":"ask"}')
            next_of(t, "asked")
            if source == TABLET:
                t.close()
        if asks_now() != [WEBSETUP]:
            fail("an ask outlived its socket")
        ws.send(page, '{"t":"denyall"}')
        next_of(page, "posted")
        if asks_now() != []:
            fail("deny all left asks")
    finally:
        host.stdin.close()
        code_at_exit = host.wait(timeout=10)
    if code_at_exit != 0:
        fail("the host ended with %d" % code_at_exit)
    with open("setup_host.log", errors="replace") as f:
        log = f.read()
    for line, times in (("Web control asked from %s, code %s\n" % (TABLET, code), 1),
                        ("Set-up from %s: save (1 edit)\n" % HOST, 2),  # the allow's, then the page's
                        ("Set-up from %s: allow %s (code %s)\n" % (HOST, TABLET, code), 1),
                        ("Set-up from %s: reload\n" % HOST, 1), ("Set-up from %s: deny all asks (1)\n" % HOST, 1),
                        ("Web request from %s refused: set-up /setup/socket\n" % TABLET, 1)):
        if log.count(line) != times:
            fail("log line %r: %d times in\n%s" % (line, log.count(line), log))
    print("set-up socket: all checks passed")

main()
