#!/usr/bin/env python3
"""The GUI thread's CPU in flight, for one build or several side by side.

Each program runs with all four panels open ("win four", offscreen) beside
orv-dbnode flying a plan with LNAV and VNAV armed at ten times real time, so
the panels change all the time. After the start, the GUI thread's CPU time
(/proc/PID/task/PID/schedstat) and the whole program's are sampled over a
window. Given several programs, they take turns, twice each, so that all see
the same machine; the first is the one the others are compared with. It
reports; it never fails a build.

Usage, inside a private network namespace:
  tests/support/run_in_netns.sh python3 bench/flight_gui_cpu.py [PROGRAM...] [--seconds N]
"""
import os
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from proc import require_private_netns, start, start_node, stop, write  # noqa: E402


def cpu_ns(pid, task):
    with open("/proc/%d/task/%d/schedstat" % (pid, task)) as f:
        return int(f.read().split()[0])


def process_cpu_ns(pid):
    return sum(cpu_ns(pid, int(t)) for t in os.listdir("/proc/%d/task" % pid))


def start_flying(program, node, parameters):
    """orv-dbnode flying the sample plan, armed, at ten times real time, and
    the program (offscreen, with `parameters`) beside it, in a new folder."""
    os.chdir(tempfile.mkdtemp())
    write("orvvarnoth.cfg", parameters)
    plan = os.path.join(ROOT, "tools/dbnode/sample_plan.txt")
    dbnode = start_node([node, "--plan", plan, "--airborne", "46.8,8.0,0,3000,250", "--speedup", "10", "--arm-nav"],
                        stderr=None)
    return dbnode, start([program])


def fly(program, node, seconds):
    """GUI-thread and whole-program CPU, in ms per second, over one window."""
    dbnode, client = start_flying(program, node, "win four\n")
    try:
        time.sleep(8)  # connected, and past the refresh thread's start delay
        gui, whole, t0 = cpu_ns(client.pid, client.pid), process_cpu_ns(client.pid), time.time()
        time.sleep(seconds)
        elapsed = time.time() - t0
        gui = (cpu_ns(client.pid, client.pid) - gui) / 1e6 / elapsed
        whole = (process_cpu_ns(client.pid) - whole) / 1e6 / elapsed
        return gui, whole
    finally:
        stop(client)
        stop(dbnode)


def main():
    args = sys.argv[1:]
    seconds = 10.0
    if "--seconds" in args:
        at = args.index("--seconds")
        seconds = float(args[at + 1])
        del args[at:at + 2]
    programs = [os.path.abspath(p) for p in args] or [os.path.join(ROOT, "build/app/orvvarnoth")]
    node = os.path.join(ROOT, "build/tools/dbnode/orv-dbnode")
    require_private_netns(hint=" (use tests/support/run_in_netns.sh)")
    results = {p: [] for p in programs}
    for _ in range(2):
        for program in programs:
            gui, whole = fly(program, node, seconds)
            results[program].append((gui, whole))
            print("%s: GUI thread %.2f ms/s, whole program %.2f ms/s" % (program, gui, whole), flush=True)
    first = None
    for program in programs:
        gui = sum(r[0] for r in results[program]) / len(results[program])
        whole = sum(r[1] for r in results[program]) / len(results[program])
        first = first or gui
        print("%-60s GUI thread %.2f ms/s (%.2f of the first), whole program %.2f ms/s" %
              (program, gui, gui / first, whole))
    return 0


if __name__ == "__main__":
    sys.exit(main())
