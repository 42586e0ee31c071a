#!/usr/bin/env python3
"""The GUI thread's CPU per refresh with 16 browsers watching, against none.

The program (offscreen, combined window, "web 8080") flies beside orv-dbnode,
so the panels change at every refresh. Phases of N seconds alternate between
no viewer and 16 viewers (each reading every frame); the GUI thread's CPU time
(/proc/PID/task/PID/schedstat) is sampled over each. Reports the CPU per
refresh (333 ms period) and the ratio; the goal is at most 1.1. It reports; it
never fails a build.

Usage, inside a private network namespace:
  tests/support/run_in_netns.sh python3 bench/web_viewers_bench.py [orvvarnoth] [orv-dbnode] [seconds]
"""
import os
import sys
import threading
import time

tests = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests")
sys.path[:0] = [os.path.join(tests, "web"), os.path.join(tests, "support")]
import ws_client as ws  # noqa: E402
from flight_gui_cpu import cpu_ns, start_flying  # noqa: E402
from proc import require_private_netns, stop  # noqa: E402

REFRESH_S = 0.333


def watch(sockets, done):
    for s in sockets:
        s.settimeout(0.2)
    frames = 0
    while not done.is_set():
        for s in sockets:
            try:
                ws.recv(s)
                frames += 1
            except OSError:
                pass
    watch.frames = frames


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    prog = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build/app/orvvarnoth"))
    node = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "build/tools/dbnode/orv-dbnode"))
    window = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    require_private_netns(hint=" (use tests/support/run_in_netns.sh)")
    dbnode, client = start_flying(prog, node, "win one\nweb 8080\n")
    try:
        time.sleep(6)  # past the refresh thread's start delay
        results = {0: [], 16: []}
        for viewers in (0, 16, 0, 16):
            sockets = [ws.connect("127.0.0.1", 8080) for _ in range(viewers)]
            done = threading.Event()
            reader = threading.Thread(target=watch, args=(sockets, done))
            reader.start()
            time.sleep(1)  # the snapshots are out of the way
            start, t0 = cpu_ns(client.pid, client.pid), time.time()
            time.sleep(window)
            used, elapsed = cpu_ns(client.pid, client.pid) - start, time.time() - t0
            done.set()
            reader.join()
            for s in sockets:
                s.close()
            per_refresh_us = used / 1000.0 / (elapsed / REFRESH_S)
            results[viewers].append(per_refresh_us)
            print("%2d viewers: GUI thread %.1f us per refresh (%d frames read)" %
                  (viewers, per_refresh_us, getattr(watch, "frames", 0)))
        none = sum(results[0]) / len(results[0])
        many = sum(results[16]) / len(results[16])
        print("GUI thread CPU per refresh: none %.1f us, 16 viewers %.1f us, ratio %.2f (goal <= 1.1)" %
              (none, many, many / none))
    finally:
        stop(client)
        stop(dbnode)
    return 0


if __name__ == "__main__":
    sys.exit(main())
