#!/usr/bin/env python3
"""A tablet that sleeps is not shown the past as live, in a private network namespace.

Runs the program beside orv-dbnode (values changing at 10 Hz). One viewer
reads all the time and notes when each value was shown; another reads
nothing for 8 s, then for 30 s, and reads again as the page does: the link line's clock
tells frames read late, and such a socket, or one that closes, is given up
for a new one at once. From waking on, whenever it would call its data
fresh, every value it shows must have been live moments before; and within
1 s of waking it shows the present.

Usage: sleeping_viewer.py <orvvarnoth> <orv-dbnode> <work dir> [--address A]
"""
import os
import re
import sys
import threading
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
import ws_client as ws  # noqa: E402
from proc import enter, fail, read, require_private_netns, start, start_node, stop, wait_or_fail, write  # noqa: E402

PORT = 8480
# Shorter than the server's ping, then longer than its patience: frames read
# late, then a socket closed while asleep.
NAPS = (8, 30)
LATE_MS = 2000    # as the page: link lines this much later than the freshest are a backlog
SILENCE = 2.5     # as the page: no link line for this long, the data is stale
RECENT = 3.0      # seconds a value may be behind the reader that never slept


class Reference:
    """Reads all the time; each control's values with when it first showed them."""
    def __init__(self, host):
        self.s = ws.connect(host, PORT)
        self.history = {}
        self.lock = threading.Lock()
        threading.Thread(target=self.run, daemon=True).start()

    def run(self):
        try:
            while True:
                m = ws.recv_json(self.s)
                now = time.time()
                with self.lock:
                    for id_, text, checked in m.get("values", []) if m["t"] in ("snapshot", "batch") else []:
                        h = self.history.setdefault(id_, [])
                        if not h or h[-1][1] != (text, checked):
                            h.append((now, (text, checked)))
        except (ConnectionError, OSError):
            pass

    def live_since(self, id_, value, since):
        """value was shown for id_ at some moment from since on."""
        with self.lock:
            h = self.history.get(id_, [])
            return any(v == value and (i + 1 == len(h) or h[i + 1][0] >= since) for i, (_, v) in enumerate(h))

    def changed_since(self, since):
        with self.lock:
            return [id_ for id_, h in self.history.items() if h[-1][0] >= since]


class Page:
    """What the page holds and whether it calls it fresh."""
    def __init__(self, host):
        self.host = host
        self.values = {}
        self.reconnects = 0
        self.open()

    def open(self):
        self.s = ws.connect(self.host, PORT)
        self.skew = None
        self.link = None

    def fresh(self):
        """As the page: connected, and neither the node nor the link line silent for long."""
        if self.link is None or not self.link["connected"] or self.link["age"] is None:
            return False
        silent = time.time() - self.link_at
        return silent <= SILENCE and self.link["age"] + silent <= self.link.get("stale", 2)

    def step(self):
        """Reads one frame: False when the socket was given up."""
        try:
            m = ws.recv_json(self.s)
        except (ConnectionError, OSError):
            m = None
        if m is not None and m["t"] == "snapshot":
            self.values = {}
        if m is not None and m["t"] in ("snapshot", "batch"):
            self.values.update({id_: (text, checked) for id_, text, checked in m["values"]})
        if m is not None and m["t"] == "link":
            if "at" not in m:
                fail("a link line without the program's clock: %r" % m)
            skew = time.time() * 1000 - m["at"]
            self.skew = skew if self.skew is None else min(self.skew, skew)
            late = skew - self.skew
            self.link, self.link_at = m, time.time() - late / 1000
            if late > LATE_MS:
                m = None
        if m is None:
            self.s.close()
            self.reconnects += 1
            self.open()
            return False
        return True


def main():
    program, dbnode, work = sys.argv[1:4]
    address = sys.argv[5] if len(sys.argv) > 5 and sys.argv[4] == "--address" else "127.0.0.1"
    require_private_netns(veth=address != "127.0.0.1")
    enter(work, stale=("ORVVarnoth.log",))
    write("orvvarnoth.cfg", "win four\nweb %d\n" % PORT)
    node = start_node([dbnode, "--airborne", "46.8,8.0,0,3000,250", "--speedup", "10", "--address", address],
                      "node.out")
    prog = start([program], "program.out")
    try:
        wait_or_fail(lambda: "Web panels at" in read("ORVVarnoth.log"), 60, "the start-up line")
        wait_or_fail(lambda: "Connected to DB" in read("ORVVarnoth.log"), 60, "the link")
        # The program serves on the link's own address: under Wine the near
        # end of the veth pair, not the node's.
        served = re.search(r"Web panels at http://([0-9.]+):", read("ORVVarnoth.log")).group(1)
        reference = Reference(served)
        page = Page(served)
        wait_or_fail(lambda: page.step() and page.fresh(), 10, "the page to call its data fresh")

        for nap in NAPS:
            asleep = time.time()
            time.sleep(nap)
            watched = reference.changed_since(asleep + 1)
            if not watched:
                fail("nothing changed while the page slept")
            awake = time.time()
            seen = []  # (when, called fresh, the watched values)
            while time.time() < awake + 2:
                page.step()
                seen.append((time.time(), page.fresh(), {id_: page.values.get(id_) for id_ in watched}))
            time.sleep(1)  # the reader that never slept may show the newest a moment later
            present = None
            for when, fresh, values in seen:
                old = [(id_, v) for id_, v in values.items() if not reference.live_since(id_, v, when - RECENT)]
                if fresh and old:
                    fail("%.1f s after waking, fresh by the link line, yet showing the past: %r"
                         % (when - awake, old[:5]))
                if present is None and fresh:
                    present = when
            if present is None or present > awake + 1:
                fail("no present values within 1 s of waking")
            print("after %d s: present %.2f s after waking, %d new sockets" % (nap, present - awake, page.reconnects))
        if prog.poll() is not None:
            fail("the program ended: %d" % prog.returncode)
        print("PASS")
        return 0
    finally:
        code = stop(prog)
        stop(node)
        # Wine's loader dies of the signal that ends the exe; only the Linux
        # program's own exit code tells of a sanitizer's finding.
        if code not in (0, None) and not program.endswith(".exe"):
            fail("program exit code %d (a sanitizer's finding?)" % code)


if __name__ == "__main__":
    sys.exit(main())
