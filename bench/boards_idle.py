#!/usr/bin/python3
"""Wake-ups of the whole program at rest, with no board and with two boards
(the real firmware in simavr, orv-boardsim), beside orv-dbnode at its default
rate and a steady aircraft. Each run samples the voluntary context switches of
every thread of the program (how often a thread went to sleep and was woken)
over a window; the figure is the two boards' share. It reports; it never
fails a build.
Runs in this private network namespace:
  tests/support/run_in_netns.sh bench/boards_idle.py [build] [seconds]
The Windows build under Wine (the boards as COM5 and COM6; the figure counts
the exe and its wineserver, which serves every wait and every I/O call):
  tests/support/run_in_netns.sh tests/support/on_wine.sh orvi 10.216.9 PREFIX \
      /usr/bin/python3 bench/boards_idle.py build-windows [seconds]"""
import os
import subprocess
import sys
import time

root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path.insert(0, os.path.join(root, 'tests', 'support'))
from proc import enter, read, require_private_netns, start, start_node, stop, wait_or_fail, write  # noqa: E402


def wine_pids():
    """The exe's own process and the prefix's wineserver."""
    found = subprocess.run(['pgrep', '-f', r'orvvarnoth\.exe|wineserver'], capture_output=True, text=True)
    return [int(pid) for pid in found.stdout.split()]


def wakeups(pids):
    return sum(task_wakeups(pid) for pid in pids)


def task_wakeups(pid):
    total = 0
    for task in os.listdir('/proc/%d/task' % pid):
        with open('/proc/%d/task/%s/status' % (pid, task)) as f:
            total += sum(int(line.split()[1]) for line in f if line.startswith('voluntary_ctxt_switches'))
    return total


def run(build, boardsim, elf, boards, seconds, address=None):
    work = enter(os.path.join(build, 'bench-boards-idle-%d' % boards), stale=('ORVVarnoth.log',))
    cfg = 'win one\n'
    sims = []
    for k in range(boards):
        name, link = 'b%d' % k, os.path.join(work, 'board-%d' % k)
        port = link
        if address:  # under Wine: COM5, COM6, links of the prefix
            port = 'COM%d' % (5 + k)
            com = os.path.join(os.environ['WINEPREFIX'], 'dosdevices', port.lower())
            if os.path.lexists(com):
                os.remove(com)
            os.symlink(link, com)
        cfg += ('board %s %s\nbutton %s 2 heading_hold\nled %s 6 autopilot\n'
                'display %s 10 11 12 set_altitude\n' % (name, port, name, name, name))
        sims.append(subprocess.Popen([boardsim, '--link', link, '--name', name, elf], stdin=subprocess.PIPE,
                                     stdout=subprocess.DEVNULL))
        wait_or_fail(lambda: os.path.exists(link), 10, "the simulator's pty")
    write('orvvarnoth.cfg', cfg)
    node = start_node([os.path.join(root, 'build', 'tools/dbnode/orv-dbnode'), '--airborne', '46.8,8.0,0,3000,250',
                       '--pos-every', '0'] + (['--address', address] if address else []), stdout=subprocess.DEVNULL)
    prog = start([os.path.join(build, 'app/orvvarnoth.exe' if address else 'app/orvvarnoth')])
    try:
        log = lambda: read('ORVVarnoth.log')
        wait_or_fail(lambda: 'Connected to DB' in log() and log().count(' ready, ') >= boards, 30,
                     'the link and the boards')
        time.sleep(6)  # past the refresh thread's start delay and the first outputs
        pids = wine_pids() if address else [prog.pid]
        before, t0 = wakeups(pids), time.time()
        time.sleep(seconds)
        return (wakeups(pids) - before) / (time.time() - t0)
    finally:
        stop(prog)
        stop(node)
        for sim in sims:
            sim.kill()
            sim.wait()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build'))
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 and not sys.argv[2].startswith('-') else 20
    address = sys.argv[sys.argv.index('--address') + 1] if '--address' in sys.argv else None
    require_private_netns(veth=address is not None)
    # The simulator and firmware of this tree, whichever build the program is.
    here = os.path.join(root, 'build')
    boardsim = os.path.join(here, 'tests/boards/sim/orv-boardsim')
    elf = os.path.join(here, 'firmware/orv-board-atmega328p.elf')
    none = run(build, boardsim, elf, 0, seconds, address)
    two = run(build, boardsim, elf, 2, seconds, address)
    print('program wake-ups per s: no board %.1f, two boards %.1f, the boards\' share %.1f' % (none, two, two - none))


if __name__ == '__main__':
    main()
