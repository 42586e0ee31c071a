#!/usr/bin/python3
"""Latency of the program's side of a cockpit board, reported (never failed):
  - a button's "D" line from the board until its datagram reaches the node;
  - a value changed at the node until the board is sent its display text.
The board is played by this script on a pseudo-terminal, so the figures are
the program's own (a real board adds its 5 ms debounce and the USB frame).
With --flight the node flies a plan at ten times real time, so that values
change at every datagram, and only the second figure is taken (the change is
the barometer, which the flight leaves alone).
Runs the program and orv-dbnode in this private network namespace:
  tests/support/run_in_netns.sh bench/boards_latency.py [build] [samples] [--flight]"""
import os
import queue
import random
import select
import subprocess
import sys
import threading
import time
import tty

from latency import report

HEADING_HOLD, SEL_ALTITUDE, BAROMETER = 50, 14, 7  # the node's variables
root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path.insert(0, os.path.join(root, 'tests', 'support'))
from proc import enter, follow, read, require_private_netns, start, start_node, stop, tell, wait_or_fail, write  # noqa: E402


def framed(body):
    checksum = 0
    for c in body.encode():
        checksum ^= c
    return ('%s*%02X\n' % (body, checksum)).encode()


class ScriptedBoard:
    """The board's end of a pseudo-terminal: answers HELLO, DONE and PING, keeps the
    lines the program sends, with the time each arrived."""

    def __init__(self, link):
        self.master, slave = os.openpty()
        tty.setraw(slave)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.ttyname(slave), link)
        self.slave = slave  # kept open: the pty lives while the program reopens it
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b''
        while True:
            select.select([self.master], [], [])
            pending += os.read(self.master, 4096)
            while b'\n' in pending:
                line, pending = pending.split(b'\n', 1)
                body = line.decode(errors='replace').split('*')[0]
                if body == 'HELLO':
                    self.send('HELLO ORVB 1 mcp')
                elif body == 'DONE':
                    self.send('READY 2')
                elif body.startswith('PING '):
                    self.send('PONG ' + body[5:])
                self.lines.put((time.perf_counter(), body))

    def send(self, body):
        os.write(self.master, framed(body))


def main():
    flight = '--flight' in sys.argv
    args = [a for a in sys.argv[1:] if a != '--flight']
    build = os.path.abspath(args[0] if args else os.path.join(root, 'build'))
    samples = int(args[1]) if len(args) > 1 else 100
    require_private_netns()
    work = enter(os.path.join(build, 'bench-boards'), stale=('ORVVarnoth.log',))
    link = os.path.join(work, 'board-mcp')
    board = ScriptedBoard(link)
    shown_var = BAROMETER if flight else SEL_ALTITUDE
    write('orvvarnoth.cfg', 'win four\nboard mcp %s\nbutton mcp 2 heading_hold\ndisplay mcp 10 11 12 %s\n'
          % (link, 'barometer' if flight else 'set_altitude'))
    flying = ['--plan', os.path.join(root, 'tools/dbnode/sample_plan.txt'), '--airborne', '46.8,8.0,0,3000,250',
              '--speedup', '10', '--arm-nav'] if flight else []
    node = start_node([os.path.join(build, 'tools/dbnode/orv-dbnode')] + flying, stdout=subprocess.PIPE,
                      stderr=subprocess.STDOUT, bufsize=1)
    sets = queue.Queue()
    follow(node.stdout, lambda line: line.startswith('SET %d ' % HEADING_HOLD) and sets.put(time.perf_counter()))
    prog = start([os.path.join(build, 'app/orvvarnoth')])
    try:
        log = lambda: read('ORVVarnoth.log')
        wait_or_fail(lambda: 'Connected to DB' in log() and ' ready' in log(), 30, 'the link and the board')
        time.sleep(1)
        press = []
        for _ in range(0 if flight else samples):
            while not sets.empty():
                sets.get()
            t0 = time.perf_counter()
            board.send('D 2')
            press.append((sets.get(timeout=5) - t0) * 1000)
            board.send('U 2')
            time.sleep(0.03)
        if press:
            report('board press -> datagram at the node', press)
        shown = []
        for i in range(samples):
            value = '%.2f' % (28.50 + i / 100) if flight else str(10000 + 100 * (i % 2) + i)
            # Out of step with the refresh, which the previous sample ended on.
            time.sleep(random.uniform(0, 0.4))
            t0 = time.perf_counter()
            tell(node, 'send %d %s' % (shown_var, value))
            while True:
                at, body = board.lines.get(timeout=5)
                if body == 'T 0 ' + value:
                    break
            shown.append((at - t0) * 1000)
        report('node change%s -> display text sent to the board' % (' in flight' if flight else ''), shown)
        return 0
    finally:
        stop(prog)
        stop(node)


if __name__ == '__main__':
    sys.exit(main())
