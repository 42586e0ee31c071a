#!/usr/bin/python3
"""Latency of the program's side of a cockpit board, reported (never failed):
  - a button's "D" line from the board until its datagram reaches the node;
  - a value changed at the node until the board is sent its display text.
The board is played by this script on a pseudo-terminal, so the figures are
the program's own (a real board adds its 5 ms debounce and the USB frame).
Runs the program and orv-dbnode in this private network namespace:
  tests/support/run_in_netns.sh bench/boards_latency.py [build] [samples]"""
import os
import queue
import random
import select
import subprocess
import sys
import threading
import time
import tty

HEADING_HOLD, SEL_ALTITUDE = 50, 14  # the node's variables: heading hold, selected altitude
root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]


def report(name, ms):
    print('%-44s p50 %7.1f ms   p99 %7.1f ms   (%d samples)'
          % (name, percentile(ms, 50), percentile(ms, 99), len(ms)), flush=True)


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


def wait_for(predicate, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.05)
    raise SystemExit('timed out waiting for ' + what)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build'))
    samples = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    links = subprocess.run(['ip', '-o', 'link', 'show'], capture_output=True, text=True).stdout
    if [line.split(': ')[1] for line in links.splitlines()] != ['lo']:
        print('Refusing to run outside a private network namespace')
        return 1
    subprocess.run(['ip', 'link', 'set', 'lo', 'up'], check=True)
    work = os.path.join(build, 'bench-boards')
    os.makedirs(work, exist_ok=True)
    os.chdir(work)
    if os.path.exists('ORVVarnoth.log'):
        os.remove('ORVVarnoth.log')
    link = os.path.join(work, 'board-mcp')
    board = ScriptedBoard(link)
    with open('orvvarnoth.cfg', 'w') as f:
        f.write('win four\nboard mcp %s\nbutton mcp 2 heading_hold\ndisplay mcp 10 11 12 set_altitude\n' % link)
    node = subprocess.Popen([os.path.join(build, 'tools/dbnode/orv-dbnode')], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1)
    sets = queue.Queue()

    def read_node():
        for line in node.stdout:
            if line.startswith('SET %d ' % HEADING_HOLD):
                sets.put(time.perf_counter())
    threading.Thread(target=read_node, daemon=True).start()
    prog = subprocess.Popen([os.path.join(build, 'app/orvvarnoth')], env=dict(os.environ, QT_QPA_PLATFORM='offscreen'),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        log = lambda: open('ORVVarnoth.log', errors='replace').read() if os.path.exists('ORVVarnoth.log') else ''
        wait_for(lambda: 'Connected to DB' in log() and ' ready' in log(), 30, 'the link and the board')
        time.sleep(1)
        press = []
        for _ in range(samples):
            while not sets.empty():
                sets.get()
            start = time.perf_counter()
            board.send('D 2')
            press.append((sets.get(timeout=5) - start) * 1000)
            board.send('U 2')
            time.sleep(0.03)
        report('board press -> datagram at the node', press)
        shown = []
        for i in range(samples):
            value = str(10000 + 100 * (i % 2) + i)
            # Out of step with the refresh, which the previous sample ended on.
            time.sleep(random.uniform(0, 0.4))
            start = time.perf_counter()
            node.stdin.write('send %d %s\n' % (SEL_ALTITUDE, value))
            node.stdin.flush()
            while True:
                at, body = board.lines.get(timeout=5)
                if body == 'T 0 ' + value:
                    break
            shown.append((at - start) * 1000)
        report('node change -> display text sent to the board', shown)
        return 0
    finally:
        prog.terminate()
        prog.wait(10)
        node.terminate()
        node.wait(10)


if __name__ == '__main__':
    sys.exit(main())
