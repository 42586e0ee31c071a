#!/usr/bin/env python3
"""Runs several end-to-end runs at once, each in a private network namespace
of its own (each program and node needs the ports to itself), and passes only
if every run passes.

The runs it is for mostly wait: for a monitor's 5 s periods, a node's
silence, a flight at the node's pace. Side by side they hold one CTest slot
for as long as the longest, instead of one slot each in turn.

Usage: side_by_side.py NAME COMMAND [ARG...] [--also NAME COMMAND [ARG...]]...
Each run's output is printed whole, under its name, when it ends.
"""
import subprocess
import sys
import tempfile
import time

from proc import require_private_netns


def runs(argv):
    run = []
    for arg in argv + ['--also']:
        if arg == '--also':
            if len(run) < 2:
                sys.exit('usage: side_by_side.py NAME COMMAND [ARG...] [--also NAME COMMAND [ARG...]]...')
            yield run[0], run[1:]
            run = []
        else:
            run.append(arg)


def main():
    require_private_netns()
    started = []
    for name, command in runs(sys.argv[1:]):
        out = tempfile.TemporaryFile()
        process = subprocess.Popen(['unshare', '-n', 'sh', '-c', 'ip link set lo up && exec "$@"', name] + command,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        started.append((name, process, out, time.time()))
    failed = []
    for name, process, out, start in started:
        code = process.wait()
        out.seek(0)
        verdict = 'PASS' if code == 0 else 'FAIL (exit %d)' % code
        print('===== %s: %s after %.1f s' % (name, verdict, time.time() - start))
        sys.stdout.write(out.read().decode(errors='replace'))
        sys.stdout.flush()
        if code != 0:
            failed.append(name)
    print('FAIL: %s' % ', '.join(failed) if failed else 'PASS: %d runs' % len(started))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
