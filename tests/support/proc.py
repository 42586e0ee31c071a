"""What the Python tests and benchmarks share: the private network namespace
they must run in, the processes they start and end, and their waits.

Callers add this folder to sys.path and import it.
"""
import os
import subprocess
import sys
import threading
import time


def require_private_netns(veth=False, hint=''):
    """Exits unless loopback is the only link (veth: also our own orv* veth
    pairs, which the Wine runs need), then brings loopback up."""
    # /proc/net belongs to this process's network namespace (/sys/class/net may not).
    with open('/proc/net/dev') as f:
        links = [line.split(':')[0].strip() for line in f.readlines()[2:]]
    if any(n != 'lo' and not (veth and n.startswith('orv')) for n in links):
        print('Refusing to run outside a private network namespace' + hint, flush=True)
        sys.exit(1)
    subprocess.run(['ip', 'link', 'set', 'lo', 'up'], check=True)


def fail(message):
    print('FAIL: ' + message, flush=True)
    sys.exit(1)


def wait_for(condition, timeout, step=0.05):
    """The first true value of condition() within timeout seconds, else None."""
    end = time.time() + timeout
    while True:
        value = condition()
        if value or time.time() > end:
            return value or None
        time.sleep(step)


def wait_or_fail(condition, timeout, what, step=0.05):
    """As wait_for, but a timeout fails the run."""
    return wait_for(condition, timeout, step) or fail('timed out waiting for ' + what)


def read(path):
    """The file's text, or '' while it does not exist."""
    try:
        with open(path, errors='replace') as f:
            return f.read()
    except OSError:
        return ''


def write(path, text):
    with open(path, 'w') as f:
        f.write(text)


def enter(work, stale=()):
    """Makes work the working directory, without the files of an earlier
    run named in stale."""
    os.makedirs(work, exist_ok=True)
    os.chdir(work)
    for name in stale:
        if os.path.exists(name):
            os.remove(name)
    return work


def start(argv, out=None, **kwargs):
    """argv started; out: a file name for its output and errors (None: dropped).
    A Windows program (.exe) runs under Wine, offscreen or not alike."""
    if argv[0].endswith('.exe'):
        argv = ['wine'] + argv
    kwargs.setdefault('env', dict(os.environ, QT_QPA_PLATFORM='offscreen'))
    kwargs.setdefault('stdout', open(out, 'w') if out else subprocess.DEVNULL)
    kwargs.setdefault('stderr', subprocess.STDOUT if out else subprocess.DEVNULL)
    return subprocess.Popen(argv, **kwargs)


def start_node(argv, out=None, **kwargs):
    """orv-dbnode, which takes commands on its standard input (see tell)."""
    return start(argv, out, stdin=subprocess.PIPE, text=True, **kwargs)


def tell(proc, line):
    proc.stdin.write(line + '\n')
    proc.stdin.flush()


def follow(stream, handle):
    """handle(line) for each line of stream, on a thread of its own."""
    threading.Thread(target=lambda: [handle(line) for line in stream], daemon=True).start()


def stop(proc, timeout=10):
    """Ends proc (None: nothing to end): its exit code, or None when it had
    to be killed after timeout seconds."""
    if proc is None:
        return None
    if proc.poll() is None:
        proc.terminate()
    try:
        return proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return None


def probe_ask(command):
    """The window probe's answer (tests/browser/web_probe.cpp), in the working directory."""
    if os.path.exists('probe.out'):
        os.remove('probe.out')
    write('probe.cmd.tmp', command + '\n')
    os.rename('probe.cmd.tmp', 'probe.cmd')
    wait_for(lambda: os.path.exists('probe.out'), 10)
    return read('probe.out')
