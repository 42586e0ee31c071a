#!/usr/bin/python3
"""The panels in headless Chromium against the real program and orv-dbnode,
in this private network namespace: the page agrees with the window, a tap
sends what a click sends, a read-only browser changes nothing, a silent node
turns the page stale, and a restarted program brings it back.
Usage: [ORV_BROWSER_PHASE=commands|life] browser_test.py <orv_web_probe> <orv-dbnode>
       browser_test.py <orvvarnoth.exe> <orv-dbnode> --address A   (under Wine: no
       window probe, so the page's taps stand in for the window's clicks)"""
import os
import re
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, '..', '..', 'scripts'), os.path.join(here, '..', 'support')]
from web_browser import Browser  # noqa: E402
from proc import probe_ask, read, require_private_netns, start, start_node, stop, tell, wait_for, write  # noqa: E402

PORT = 8480
HOSTILE_PORT = 8481  # another site's own small HTTP server

# Another site's page, trying to command through an allowed browser.
HOSTILE_PAGE = '''<!DOCTYPE html><title>hostile</title><script>
const ws = new WebSocket("ws://%s:%d/ws");
ws.onopen = () => { window.opened = 1; ws.send(JSON.stringify({t: "cmd", panel: "autopilot", id: 1052})); };
ws.onclose = () => { window.result = window.opened ? "opened" : "refused"; };
</script>'''
failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


class Program:
    """The program with its window probe, in the working directory."""

    def __init__(self, probe):
        self.probe, self.proc = probe, None
        self.wine = probe.endswith('.exe')

    def start(self, cfg):
        write('orvvarnoth.cfg', cfg)
        self.proc = start([self.probe], stdout=open('program.txt', 'a'), stderr=subprocess.STDOUT)
        return wait_for(lambda: re.search(r'Web panels at (\S+)', read('ORVVarnoth.log')), 60)

    def window(self):
        """{id: [text, checked]} of the window's controls (the combined window's first)."""
        shown = {}
        for line in probe_ask('dump').splitlines():
            template, cid, rest = line.split(' ', 2)
            text, checked = rest.rsplit('|', 1)
            shown.setdefault(int(cid), [text, int(checked)])
        return shown

    def stop(self):
        stop(self.proc)


def sets():
    return [line for line in read('node.txt').splitlines() if line.startswith('SET ')]


def new_sets(action, settle=0.6):
    """The SET lines the node prints after action(), once they stop coming."""
    before = len(sets())
    action()
    wait_for(lambda: len(sets()) > before, 5)
    time.sleep(settle)
    return sets()[before:]


def agree(browser, program):
    """The page and the window show the same, except what changed meanwhile."""
    if program.wine:
        return print('(no window probe under Wine)') or True
    def differences():
        first = program.window()
        page = browser.values()
        second = program.window()
        steady = {i for i in first if first[i] == second.get(i)}
        return [(i, page.get(i), first[i]) for i in sorted(steady & set(page))
                if page[i][1] != first[i][1] or page[i][0].strip() != first[i][0].strip()]
    diff = wait_for(lambda: not differences(), 10, 0.5)
    return diff is not None or print('differences (id, page, window):', differences())


def tap(browser, selector):
    browser.js('document.querySelector(arguments[0]).click()', selector)


def shared_address(browser):
    """What a camera reads from the page's Share dialog (zbarimg on a screenshot)."""
    tap(browser, '#share')
    if not wait_for(lambda: browser.js("return document.getElementById('sharebox').open"), 3):
        return 'no Share dialog'
    browser.screenshot('share.png')
    tap(browser, '#sharebox button')
    try:
        out = subprocess.run(['zbarimg', '--raw', '-q', 'share.png'], capture_output=True, text=True, timeout=20)
    except OSError as e:
        return 'zbarimg: %s' % e
    return out.stdout.strip()


def overflows(browser):
    """Where the page exceeds the screen (a desktop's scroll bars, a phone's zoom), by day, then at night."""
    found = []
    for mode in ('day', 'night'):
        for w, h in ((1280, 900), (1024, 768), (390, 844)):
            browser.resize(w, h)
            time.sleep(0.3)
            got = browser.js('const d = document.documentElement; return [innerWidth, innerHeight, d.scrollWidth, d.scrollHeight]')
            found += [(mode, got)] if got != [w, h, w, h] else []
        tap(browser, '#night')  # night, then day again
    browser.resize(1024, 768)
    return found


def night_and_share(browser, url):
    """Share encodes the page's own address, the combined one or one panel's,
    also at night; Night and its brightness outlast a reload."""
    check(shared_address(browser) == url, 'Share on %s decodes to that address' % url)
    browser.open(url + 'radios')
    check(browser.live(15), 'one panel live')
    tap(browser, '#night')
    browser.js("const s = document.getElementById('brightness'); s.value = 45;"
               "s.dispatchEvent(new Event('input'))")
    browser.open(url + 'radios')
    night = browser.js("return [document.documentElement.classList.contains('night'),"
                       "getComputedStyle(document.documentElement).getPropertyValue('--dim').trim(),"
                       "document.getElementById('brightness').hidden]")
    check(night == [True, '0.55', False], 'night and 45 %% brightness kept over a reload: %r' % night)
    check(browser.live(15) and shared_address(browser) == url + 'radios',
          'Share on one panel, at night, decodes to its address')
    tap(browser, '#night')
    browser.open(url)
    check(not browser.js("return document.documentElement.classList.contains('night')"), 'day again')


def main():
    require_private_netns(veth=True)
    # The phases after the common start are independent: the suite runs each in
    # a namespace of its own, side by side.
    phase = os.environ.get('ORV_BROWSER_PHASE', 'all')
    probe, node_prog = (os.path.abspath(a) for a in sys.argv[1:3])
    address = sys.argv[4:5] or ['127.0.0.1']
    os.chdir(tempfile.mkdtemp(prefix='orv-browser-'))
    # Airborne: the position changes on every update, so the node streams at
    # its rate and a silence is stale after 2 s, as the page learns.
    node = start_node([node_prog, '--rate', '20', '--airborne', '46.8,8.0,90,3000,250',
                       '--keepalive', '1', '--address'] + address, 'node.txt')
    program = Program(probe)
    browser = None
    try:
        wait_for(lambda: 'READY' in read('node.txt'), 10)
        url = program.start('win one\nweb %d\nwebcontrol %s/24\n' % (PORT, address[0]))
        check(url, 'web panels started')
        check(wait_for(lambda: 'Connected to DB' in read('ORVVarnoth.log'), 30), 'link connected')
        browser = Browser(1024, 768)
        os.mkdir('hostile')
        write('hostile/index.html', HOSTILE_PAGE % (address[0], PORT))
        hostile = subprocess.Popen(['python3', '-u', '-m', 'http.server', '-b', '127.0.0.1', '-d', 'hostile',
                                    str(HOSTILE_PORT)], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            hostile.stdout.readline()  # "Serving HTTP on ...": it listens
            before = len(sets())
            browser.open('http://127.0.0.1:%d/' % HOSTILE_PORT)
            result = wait_for(lambda: browser.js('return window.result'), 5)
            time.sleep(1)
        finally:
            hostile.kill()
        check(result == 'refused' and len(sets()) == before, 'another site: %r, %d sets' % (result, len(sets()) - before))
        browser.open(url.group(1))
        check(browser.live(15), 'the page shows live data')
        page = browser.values()
        check(page.get(1031, [''])[0].strip() != '' and page.get(2009, [''])[0].strip() == '29.92',
              'streamed values on the page (flaps %r, barometer %r)' % (page.get(1031), page.get(2009)))
        check(agree(browser, program), 'the page agrees with the window')

        if phase in ('all', 'commands'):
            # The same control, tapped in the page and clicked in the window.
            # Page, window, window, page: a check box goes on, off, on, off, so the
            # first and third sets match, and the second and fourth; the mode
            # button steps on by one each time.
            for selector, command in (('#c1063 .up', 'arrow 1063 up'), ('#c1023', 'click 1023'),
                                      ('#c1052', 'click 1052'), ('#c1091', 'click 1091')):
                page_tap, window_click = lambda: tap(browser, selector), lambda: probe_ask(command)
                window_click = page_tap if program.wine else window_click
                got = [new_sets(act) for act in (page_tap, window_click, window_click, page_tap)]
                if selector == '#c1091':
                    steps = [int(line[0].rsplit(' ', 1)[1]) for line in got if len(line) == 1]
                    ok = len(steps) == 4 and all(b == a + 1 or b == 0 for a, b in zip(steps, steps[1:]))
                else:
                    ok = got[0] and got[0] == got[2] and got[1] == got[3]
                check(ok, '%s: page, window, window, page sent %s' % (selector, got))
            # The ADF steps, in tenths: ×10 in the page is Shift in the window.
            check(browser.js("return !document.getElementById('shift').hidden"), '×10 toggle shown')
            # The toggle itself sends nothing: every set after `before` is a step.
            before = len(sets())
            slow = new_sets(lambda: tap(browser, '#c1057 .up'))
            tap(browser, '#shift')
            fast = new_sets(lambda: tap(browser, '#c1057 .up'))
            tap(browser, '#shift')
            check(slow == ['SET 180 = 1'] and sets()[before:] == slow + fast == ['SET 180 = 1', 'SET 180 = 10'],
                  'ADF steps %s then %s' % (slow, fast))
            check(agree(browser, program), 'still in agreement after the commands')
            night_and_share(browser, url.group(1))

        if phase in ('all', 'life'):
            # A silent node: stale within 3 s, live again when it speaks. The
            # page must be live first: one just opened is not yet connected.
            check(browser.live(15), 'live before the silence')
            tell(node, 'silent 10')
            start = time.time()
            check(wait_for(browser.stale, 4, 0.1) and time.time() - start <= 3.2,
                  'stale %.1f s after the node fell silent' % (time.time() - start))
            check('STALE' in browser.banner(), 'the page says STALE: %r' % browser.banner())
            too_big = overflows(browser)
            check(not too_big and 'STALE' in browser.banner(),
                  'with the STALE band, the page fits each screen: %r' % too_big)
            check(browser.live(20), 'live again after the silence')

            # Only keep-alives (every second), no updates: the node is there.
            tell(node, 'updates off')
            stale_seen = wait_for(browser.stale, 6, 0.1)
            tell(node, 'updates on')
            check(not stale_seen, 'live with keep-alives only')
            browser.live(20)

            # The program ends: the page says so; a new start (this time allowing
            # no browser) brings it back by itself, read-only.
            program.stop()
            check(wait_for(lambda: 'lost' in browser.banner(), 5), 'the page says the program is gone')
            check(program.start('win one\nweb %d\nwebcontrol 10.1.2.3\n' % PORT), 'restarted')
            check(browser.live(40), 'the page came back by itself')
            check(agree(browser, program), 'it agrees with the new window')
            check(browser.js("return [...document.querySelectorAll('#c1052, #c1063 .up, #c1023')]"
                             ".every(b => b.disabled)"), 'read-only: controls disabled')
            # Only the flight director's command counts: a program just started
            # sends SETs of its own.
            fd_sets = lambda: len([line for line in sets() if line.startswith('SET 173 ')])
            before = fd_sets()
            refused = browser.driver.execute_async_script('''
                const done = arguments[arguments.length - 1];
                const ws = new WebSocket('ws://' + location.host + '/ws');
                ws.onopen = () => ws.send(JSON.stringify({t: 'cmd', panel: 'autopilot', id: 1052, shift: false}));
                ws.onmessage = (e) => { const m = JSON.parse(e.data); if (m.t === 'refused') done(m.why); };
                setTimeout(() => done('no answer'), 4000);''')
            time.sleep(1)
            check(refused == 'read-only' and fd_sets() == before,
                  'a read-only command: %r, %d sets' % (refused, fd_sets() - before))
    finally:
        if browser:
            browser.quit()
        stop(program.proc)
        node.kill()
    if failures:
        print('--- program log\n' + read('ORVVarnoth.log')[-3000:])
        print('--- node (last lines)\n' + '\n'.join(read('node.txt').splitlines()[-20:]))
    print('FAIL' if failures else 'PASS')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
