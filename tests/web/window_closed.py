#!/usr/bin/env python3
"""A panel lives on with its window closed, in a private network namespace.

Runs the program (its window probe, offscreen, "win four") beside orv-dbnode,
closes the Radios window as its close box does, then: the program goes on,
a browser still gets the Radios panel live, and its step of COM1 reaches
the node and comes back on the page. A command for a control the panel
lacks is refused with a reason.

Usage: window_closed.py <orv_web_probe> <orv-dbnode> <work dir>
"""
import json
import os
import re
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
import ws_client as ws  # noqa: E402
from proc import enter, fail, probe_ask, read, require_private_netns, start, start_node, wait_or_fail, write  # noqa: E402

HOST, PORT = "127.0.0.1", 8580
COM1_STANDBY, COM1_COARSE, RADIOS_TEMPLATE = 1024, 1063, 104


def ask(command):
    return probe_ask(command) or fail("timed out waiting for the probe's answer to " + command)


def shown(s, wanted_id, seconds):
    """The text control wanted_id shows in the next frames, once it changes."""
    end = time.time() + seconds
    s.settimeout(seconds)
    while time.time() < end:
        m = ws.recv_json(s)
        for id_, text, _ in m.get("values", []) if m["t"] in ("batch", "snapshot") else []:
            if id_ == wanted_id:
                return m["t"], text
    return None, None


def main():
    probe, dbnode, work = sys.argv[1:4]
    require_private_netns()
    enter(work, stale=("ORVVarnoth.log", "probe.cmd", "probe.out"))
    write("orvvarnoth.cfg", "win four\nweb %d\nwebcontrol %s/8\n" % (PORT, HOST))
    node = start_node([dbnode, "--rate", "20", "--address", HOST], "node.out")
    prog = start([probe], "program.out")
    try:
        wait_or_fail(lambda: "Web panels at" in read("ORVVarnoth.log"), 30, "the web panels")
        wait_or_fail(lambda: "Connected to DB" in read("ORVVarnoth.log"), 30, "the link")
        if not ask("close radios").startswith("ok"):
            fail("the Radios window did not close")
        if re.search(r"^%d " % RADIOS_TEMPLATE, ask("dump"), re.M):
            fail("the Radios window is still there")
        time.sleep(0.5)
        if prog.poll() is not None:
            fail("closing one of four windows ended the program")

        s = ws.connect(HOST, PORT)
        hello = ws.recv_json(s)
        if ws.panels_hello(hello) != {"t": "hello", "control": True}:
            fail("hello: %r" % hello)
        kind, before = shown(s, COM1_STANDBY, 5)
        if kind != "snapshot" or not before.strip():
            fail("no COM1 frequency in the snapshot: %r %r" % (kind, before))
        # The link line comes with the snapshot, not at the next second's
        # tick: a page without it knows no age and would call the data stale.
        for _ in range(3):
            t = ws.connect(HOST, PORT)
            t.settimeout(0.2)
            try:
                frames = [ws.recv_json(t)["t"] for _ in range(2)]
                link = ws.recv_json(t)
            except OSError as e:
                fail("no link line with the snapshot (%s)" % e)
            t.close()
            if frames != ["hello", "snapshot"] or link.get("t") != "link" or link.get("age") is None:
                fail("the first frames: %r, then %r" % (frames, link))
        # One step up of COM1 standby's whole megahertz, from the page: it reaches the
        # node and its answer comes back as the panel's new frequency.
        ws.send(s, json.dumps({"t": "delta", "panel": "radios", "id": COM1_COARSE, "delta": -1, "shift": False}))
        kind, after = shown(s, COM1_STANDBY, 5)
        if kind != "batch" or after == before:
            fail("COM1 after the step: %r (was %r)" % (after, before))
        print("ok   Radios window closed; COM1 %s -> %s from the page" % (before.strip(), after.strip()))

        ws.send(s, json.dumps({"t": "cmd", "panel": "radios", "id": 1052, "shift": False}))
        end = time.time() + 5
        while time.time() < end:
            m = ws.recv_json(s)
            if m["t"] == "refused":
                break
        if m.get("why") != "unknown":
            fail("a command for a control Radios lacks: %r" % m)
        print("ok   refused: %s" % m["why"])
    finally:
        prog.kill()
        node.kill()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
