#!/usr/bin/python3
"""Latency of Learn on the set-up page, reported (never failed): a press on a
board in Learn (the real firmware in simavr, orv-boardsim) until the set-up
page in headless Chromium shows the pin's new level. The figure includes the
firmware's 5.5 ms debounce and the simulated serial line. Both clocks are this
machine's: the press is stamped as the simulator is told, the page stamps the
change as it draws it.
Runs in this private network namespace:
  tests/support/run_in_netns.sh /usr/bin/python3 bench/learn_latency.py [build] [samples]"""
import os
import random
import re
import subprocess
import sys
import time

root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path[:0] = [os.path.join(root, 'scripts'), os.path.join(root, 'tests', 'support')]
from latency import report  # noqa: E402
from proc import enter, read, require_private_netns, start, stop, wait_or_fail, write  # noqa: E402
from web_browser import Browser  # noqa: E402

PIN = 7
# Stamps each change of the pin's row as the page draws it.
WATCH = '''
window.stamps = [];
const seen = () => { const r = document.querySelector('#pins tr.pin[data-pin="%d"]');
                     return r ? r.textContent : ''; };
let last = seen();
new MutationObserver(() => { const now = seen(); if (now !== last) { last = now; window.stamps.push(Date.now()); } })
  .observe(document.getElementById('pins'), {subtree: true, childList: true, characterData: true});
''' % PIN


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build'))
    samples = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    require_private_netns(veth=True)
    work = enter(os.path.join(build, 'bench-learn-latency'), stale=('ORVVarnoth.log',))
    link = os.path.join(work, 'board')
    sim = subprocess.Popen([os.path.join(build, 'tests/boards/sim/orv-boardsim'), '--link', link, '--name', 'mcp',
                            os.path.join(build, 'firmware/orv-board-atmega328p.elf')],
                           stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    wait_or_fail(lambda: os.path.exists(link), 10, "the simulator's pty")
    write('orvvarnoth.cfg', 'win one\nweb 8483\nboard mcp %s\n' % link)
    prog = start([os.path.join(build, 'app/orvvarnoth')])
    browser = None
    try:
        wait_or_fail(lambda: re.search(r'Web panels at (\S+)', read('ORVVarnoth.log')), 30, 'the web panels')
        wait_or_fail(lambda: ' ready, ' in read('ORVVarnoth.log'), 30, 'the board')
        url = re.search(r'Web panels at (\S+)', read('ORVVarnoth.log')).group(1)
        browser = Browser(1280, 800)
        browser.open(url + 'setup')
        wait_or_fail(lambda: browser.js("return !!document.getElementById('learn-mcp')"), 15, 'the boards table')
        browser.js("document.getElementById('learn-mcp').click()")
        wait_or_fail(lambda: 'working' in browser.js("return document.getElementById('learning-status').textContent"),
                     20, 'Learn')
        sim.stdin.write('pulse %d 20\n' % PIN)  # the pin's row exists from its first change on
        sim.stdin.flush()
        wait_or_fail(lambda: browser.js("return !!document.querySelector('#pins tr.pin[data-pin=\"%d\"]')" % PIN),
                     10, "the pin's row")
        time.sleep(0.5)
        browser.js(WATCH)
        ms = []
        for i in range(samples):
            count = len(browser.js('return window.stamps'))
            sent = time.time() * 1000
            sim.stdin.write('%s %d\n' % ('press' if i % 2 == 0 else 'release', PIN))
            sim.stdin.flush()
            wait_or_fail(lambda: len(browser.js('return window.stamps')) > count, 5, 'sample %d on the page' % i)
            ms.append(browser.js('return window.stamps[arguments[0]]', count) - sent)
            time.sleep(random.uniform(0.05, 0.15))  # off any beat of the page's frames
        report('Learn: a press until the set-up page shows it', ms)
    finally:
        if browser:
            browser.quit()
        stop(prog)
        sim.kill()
        sim.wait()


if __name__ == '__main__':
    main()
