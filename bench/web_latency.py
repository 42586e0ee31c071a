#!/usr/bin/python3
"""Latency of the web panels, end to end over loopback, reported (never failed):
  - a value change at the DB node until headless Chromium shows it (barometer),
    and until the window's field holds it (read on the GUI thread through the
    program's window probe, when the build has one);
  - a tap in the page until its datagram reaches the node (a COM 1 step);
  - a tap in the page until the page shows the node's confirmation (the new
    COM 1 frequency), with the node streaming at its default rate.
With --flight the node flies a plan at ten times real time, so that values
change at every datagram, and only the first figure is taken.
Runs the program and orv-dbnode in this private network namespace:
  tests/support/run_in_netns.sh bench/web_latency.py [build] [samples] [--flight]"""
import os
import sys
import tempfile
import time

from latency import report

root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path[:0] = [os.path.join(root, 'scripts'), os.path.join(root, 'tests', 'support')]
from web_browser import Browser  # noqa: E402
from proc import probe_ask, read, require_private_netns, start, start_node, stop, tell, wait_for, write  # noqa: E402

PORT = 8481


def node_lines():
    return read('node.txt').splitlines()


def window_times():
    """Each text the watched window field took: text -> ms since the epoch."""
    seen = {}
    for line in read('watch.txt').splitlines():
        at, _, text = line.partition(' ')
        seen.setdefault(text.strip(), int(at))
    return seen


def main():
    require_private_netns()
    flight = '--flight' in sys.argv
    args = [a for a in sys.argv[1:] if a != '--flight']
    build = os.path.abspath(args[0] if args else os.path.join(root, 'build'))
    samples = int(args[1]) if len(args) > 1 else 100
    os.chdir(tempfile.mkdtemp(prefix='orv-web-bench-'))
    flying = ['--plan', os.path.join(root, 'tools/dbnode/sample_plan.txt'), '--airborne', '46.8,8.0,0,3000,250',
              '--speedup', '10', '--arm-nav'] if flight else []
    node = start_node([build + '/tools/dbnode/orv-dbnode'] + flying, 'node.txt')
    write('orvvarnoth.cfg', 'win one\nweb %d\nwebcontrol 127.0.0.1\n' % PORT)
    # The program with its window probe, when built, so that the window's
    # side is measured too.
    probe = build + '/tests/browser/orv_web_probe'
    program = start([probe if os.path.exists(probe) else build + '/app/orvvarnoth'])
    browser = None
    try:
        wait_for(lambda: 'Connected to DB' in read('ORVVarnoth.log'), 30)
        browser = Browser(1024, 768)
        browser.open('http://127.0.0.1:%d/' % PORT)
        if not browser.live(30):
            sys.exit('the page never showed live data')
        # The page notes when the barometer field changes, by its own clock
        # (the same wall clock as ours).
        browser.js('''window.seen = {};
            const el = document.getElementById('c2009');
            new MutationObserver(() => { window.seen[el.textContent.trim()] = Date.now(); })
                .observe(el, {childList: true, characterData: true, subtree: true});''')
        watching = os.path.exists(probe) and probe_ask('watch 2009').startswith('ok')
        shown, in_window = [], []
        for k in range(samples):
            value = '%.2f' % (28.50 + (k % 100) / 100 + (0.01 if k >= 100 else 0))
            sent = time.time() * 1000
            tell(node, 'send 7 %s' % value)
            at = wait_for(lambda: browser.js('return window.seen[arguments[0]]', value), 3, 0.005)
            if at:
                shown.append(at - sent)
            window_at = watching and wait_for(lambda: window_times().get(value), 3, 0.005)
            if window_at:
                in_window.append(window_at - sent)
            # Lone changes, spread over the refresh period: a value changing
            # at every datagram is flight, which refreshes at its own pace.
            time.sleep(0.2 + (k % 7) * 0.047)
        report('node value change%s -> shown in the browser' % (' in flight' if flight else ''), shown)
        if in_window:
            report('node value change -> held by the window', in_window)
        if flight:
            return

        taps = []
        for k in range(samples):
            before = sum(1 for line in node_lines() if line == 'SET 92 = 0')
            tapped = browser.js("const t = Date.now(); "
                                "document.querySelector('#c1063 .up').click(); return t;")
            if wait_for(lambda: sum(1 for line in node_lines() if line == 'SET 92 = 0') > before,
                        3, 0.001):
                taps.append(time.time() * 1000 - tapped)
            time.sleep(0.05)
        report('browser tap -> datagram at the node', taps)

        browser.js('''window.com1 = [];
            const com = document.getElementById('c1024');  // COM 1 standby, which the step changes
            new MutationObserver(() => { window.com1.push(Date.now()); })
                .observe(com, {childList: true, characterData: true, subtree: true});''')
        confirmed = []
        for k in range(samples):
            count = browser.js('return window.com1.length')
            tapped = browser.js("const t = Date.now(); "
                                "document.querySelector('#c1063 .up').click(); return t;")
            if wait_for(lambda: browser.js('return window.com1.length') > count, 3, 0.002):
                confirmed.append(browser.js('return window.com1[arguments[0]]', count) - tapped)
            time.sleep(0.05 + (k % 7) * 0.047)
        report('browser tap -> node\'s confirmation shown', confirmed)
    finally:
        if browser:
            browser.quit()
        stop(program)
        node.kill()


if __name__ == '__main__':
    main()
