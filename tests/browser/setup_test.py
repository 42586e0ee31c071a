#!/usr/bin/python3
"""The set-up page in headless Chromium against the real program, orv-dbnode
and the board firmware in simavr (orv-boardsim), in this private network
namespace: find the board and name it, learn a button, a switch and an
encoder by working them, assign each by tapping the panel picture, save; the
file gains exactly those lines, a press gives its SET at the node, and after
a restart the mapping holds. (The door is tested in tests/web.)
Usage: setup_test.py <orvvarnoth[.exe]> <orv-dbnode> <orv-boardsim> <firmware.elf> [--address A]
(under Wine the board is COM5, a dosdevices link of the prefix)"""
import os
import re
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, '..', '..', 'scripts'), os.path.join(here, '..', 'support')]
from web_browser import Browser  # noqa: E402
from proc import read, require_private_netns, start, start_node, stop, wait_for, write  # noqa: E402

PORT = 8482
failures = []
# The file as the builder left it: comments and odd spacing stay byte for byte.
CFG = ('// cockpit of the test rig\r\nwin   one\r\nweb %d\r\n\r\n//\r\nnever read\r\n'
       'showstatus  yes   // trailing words\r\n')


class Stop(Exception):
    """A step the rest depends on failed."""


def check(ok, what, needed=True):
    print(('ok   ' if ok else 'FAIL ') + what, flush=True)
    if not ok:
        failures.append(what)
        if needed:
            raise Stop()
    return ok


def sets():
    return [line for line in read('node.txt').splitlines() if line.startswith('SET ')]


def click(browser, selector):
    return browser.js('const e = document.querySelector(arguments[0]); if (!e) return false; e.click(); return true;',
                      selector)


def text(browser, selector):
    return browser.js('const e = document.querySelector(arguments[0]); return e ? e.textContent : null;', selector)


def shown(browser):
    """The request whose outcome the page shows."""
    return browser.js('return setup.shownOutcome')


def outcome_ok(browser, before, timeout=15):
    """Whether the page shows a new outcome since `before` and it is good."""
    wait_for(lambda: shown(browser) != before, timeout)
    return shown(browser) != before and browser.js("return document.getElementById('outcome').dataset.ok") == 'true'


def learn_offer(browser, pin):
    return text(browser, '#pins tr.pin[data-pin="%d"]' % pin) or ''


def main():
    require_private_netns(veth=True)
    program, dbnode, boardsim, elf = (os.path.abspath(a) for a in sys.argv[1:5])
    address = sys.argv[sys.argv.index('--address') + 1] if '--address' in sys.argv else '127.0.0.1'
    wine = program.endswith('.exe')
    os.chdir(tempfile.mkdtemp(prefix='orv-setup-'))
    link = os.path.join(os.getcwd(), 'board')
    sim = subprocess.Popen([boardsim, '--link', link, elf], stdin=subprocess.PIPE, text=True,
                           stdout=open('sim.txt', 'w'))
    wait_for(lambda: os.path.exists(link), 10)
    port = link
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    if wine:
        port = 'COM5'
        com = os.path.join(os.environ['WINEPREFIX'], 'dosdevices', 'com5')
        if os.path.lexists(com):
            os.remove(com)
        os.symlink(link, com)
    env['ORV_SERIAL_PORTS'] = port
    node = start_node([dbnode, '--rate', '20', '--address', address], 'node.txt')
    cfg = CFG % PORT
    write('orvvarnoth.cfg', cfg)
    proc, browser = None, None

    def run_program():
        p = start([program], 'program.txt', env=env)
        url = wait_for(lambda: re.search(r'Web panels at (\S+)', read('ORVVarnoth.log')), 60)
        return p, url.group(1) if url else None

    def sim_do(line):
        sim.stdin.write(line + '\n')
        sim.stdin.flush()

    try:
        wait_for(lambda: 'READY' in read('node.txt'), 10)
        proc, url = run_program()
        check(url, 'web panels started')
        browser = Browser(1280, 800)
        browser.open(url + 'setup')
        check(wait_for(lambda: text(browser, '#state') == 'connected', 15), 'the set-up page is live')

        # Find the board and name it.
        click(browser, '#find')
        row = '#found tr.found[data-port="%s"]' % port
        check(wait_for(lambda: browser.js('return !!document.querySelector(arguments[0])', row), 20),
              'find boards lists the board on %s' % port)
        browser.js('const i = document.querySelector(arguments[0] + " input.new-name"); i.value = "mcp";'
                   'i.dispatchEvent(new Event("input"));', row)
        click(browser, row + ' button.name')
        check(wait_for(lambda: 'mcp' in (text(browser, row) or ''), 20), 'the board is named mcp')
        before = shown(browser)
        click(browser, row + ' button.add')
        check(outcome_ok(browser, before), 'the board line saved')
        check(wait_for(lambda: 'connected' in (text(browser, '#boards tr.board[data-board="mcp"]') or ''), 20),
              'the board connected after the save, without a restart')

        # Learn: a button on 7, a switch on 8, an encoder on 4 and 5.
        click(browser, '#learn-mcp')
        check(wait_for(lambda: browser.js("const l = document.getElementById('learn'); return l && !l.hidden"), 20)
              and wait_for(lambda: 'working' in (text(browser, '#learning-status') or ''), 20),
              'Learn is ready: %r' % text(browser, '#learning-status'))
        started = time.time()
        sim_do('pulse 7 80')
        check(wait_for(lambda: 'button' in learn_offer(browser, 7), 10),
              'a press on pin 7 offered as a button (%.2f s)' % (time.time() - started))
        sim_do('close 8')
        check(wait_for(lambda: 'switch' in learn_offer(browser, 8), 10), 'pin 8 closed offered as a switch')
        sim_do('turn 4 5 1 2')
        check(wait_for(lambda: 'encoder' in learn_offer(browser, 4), 10), 'pins 4 and 5 offered as an encoder')
        for pin, name in ((7, 'heading_hold'), (8, 'autopilot'), (4, 'heading_fine')):
            click(browser, '#pins tr.pin[data-pin="%d"]' % pin)
            fits = browser.js("return [...document.querySelectorAll('#picture .control.fits')]"
                              ".map(e => e.dataset.name)")
            check(name in fits, 'pin %d: %s accepts the tap' % (pin, name))
            # A stepper is tapped on one of its arrows, as a finger would.
            control = '#picture .control[data-name="%s"]' % name
            click(browser, control + ' button') or click(browser, control)
        shots = os.environ.get('ORV_SETUP_SHOTS')
        if shots:  # the README's pictures, the whole page at this moment of the work
            browser.resize(1280, browser.js('return document.documentElement.scrollHeight'))
            time.sleep(0.5)
            browser.screenshot(os.path.join(shots, 'setup-learn.png'))
            click(browser, '#night')
            time.sleep(0.5)
            browser.screenshot(os.path.join(shots, 'setup-learn-night.png'))
            click(browser, '#night')
            browser.resize(1280, 800)
        pending = browser.js("return [...document.querySelectorAll('#changes li.change')].map(e => e.textContent)")
        check(len(pending) == 3, 'three pending lines: %r' % pending)
        before = shown(browser)
        click(browser, '#save')
        check(outcome_ok(browser, before), 'the mapping saved: %r' % text(browser, '#outcome-text'))
        click(browser, '#done')

        saved = open('orvvarnoth.cfg', newline='').read()
        added = saved[len(cfg):] if saved.startswith(cfg) else None
        want = 'board mcp %s\r\nbutton mcp 7 heading_hold\r\nswitch mcp 8 autopilot\r\nencoder mcp 4 5 heading_fine\r\n' % port
        check(added == want, 'the file kept every byte and gained exactly the new lines: %r' % added)
        check(os.path.exists('orvvarnoth.cfg.bak'), 'the previous file kept as orvvarnoth.cfg.bak')

        # The mapping works at once: a press gives its SET at the node.
        check(wait_for(lambda: 'connected' in (text(browser, '#boards tr.board[data-board="mcp"]') or ''), 20),
              'the board back in its own configuration')
        before = len(sets())
        sim_do('pulse 7 80')
        check(wait_for(lambda: len(sets()) > before, 10), 'a press on pin 7 sets at the node: %r' % sets()[before:])

        # An LED shows its control at once when the board is configured
        # anew, though the control does not change: the switch on pin 8 holds
        # the autopilot box checked through a save and through Learn.
        check(wait_for(lambda: 'SET 172 = 1' in sets(), 10), 'the switch on pin 8 set the autopilot')

        def led_lit_since(mark):
            return re.findall(r'^led 6 ([01])$', read('sim.txt')[mark:], re.M)[-1:] == ['1']

        def learning():
            click(browser, '#learn-mcp')
            check(wait_for(lambda: browser.js("const l = setup.snap && setup.snap.learn; return !!l && "
                                              "l.board === 'mcp' && l.status === 'working the board'"), 20),
                  'Learn again')
        learning()
        browser.js('const i = document.getElementById("out-pins"); i.value = "6"; i.dispatchEvent(new Event("input"));')
        click(browser, '#identify')
        check(wait_for(lambda: 'led 6 1' in read('sim.txt'), 10), 'Identify lights the LED on pin 6')
        click(browser, '#picture .control[data-name="autopilot"]')
        before, mark = shown(browser), len(read('sim.txt'))
        click(browser, '#save')
        check(outcome_ok(browser, before), 'the LED saved: %r' % text(browser, '#outcome-text'))
        check(wait_for(lambda: led_lit_since(mark), 10), 'the LED lit right after the save')
        click(browser, '#done')
        learning()
        mark = len(read('sim.txt'))
        click(browser, '#done')
        check(wait_for(lambda: led_lit_since(mark), 10), 'the LED lit right after Learn ends')

        # After a restart the same mapping holds.
        stop(proc)
        os.rename('ORVVarnoth.log', 'ORVVarnoth-first.log')
        proc, url = run_program()
        check(wait_for(lambda: 'Board mcp on %s ready' % port in read('ORVVarnoth.log'), 30)
              and wait_for(lambda: 'Connected to DB' in read('ORVVarnoth.log'), 30),
              'the board ready and the link up after a restart')
        before = len(sets())
        sim_do('pulse 7 80')
        check(wait_for(lambda: len(sets()) > before, 10), 'a press after the restart sets at the node')


        # A tablet asks for control, the set-up page allows it: it commands
        # at once, without a reload, and the file gains its webcontrol line.
        browser.open(url + 'setup')
        check(wait_for(lambda: text(browser, '#state') == 'connected', 15), 'the set-up page live again')
        tablet = Browser(1024, 768)
        try:
            tablet.open(url)
            check(wait_for(lambda: tablet.js("return !document.getElementById('ask').hidden"), 15),
                  'a read-only page offers "Ask for control"')
            click(tablet, '#ask')
            code = wait_for(lambda: re.search(r'\d{4}', text(tablet, '#askcode') or ''), 10)
            check(code, 'the tablet shows its code: %r' % text(tablet, '#askcode'))
            ask = '#asks tr.ask'
            check(wait_for(lambda: code.group(0) in (text(browser, ask) or ''), 10),
                  'the set-up page shows the ask with the same code: %r' % text(browser, ask))
            shows_deny_all = "return document.getElementById('deny-all').offsetParent !== null"
            check(browser.js(shows_deny_all), '"Deny all" offered while a tablet asks')
            before = shown(browser)
            click(browser, ask + ' button.allow')
            check(outcome_ok(browser, before), 'allowing saved')
            check(wait_for(lambda: not browser.js(shows_deny_all), 10), '"Deny all" gone with the last ask')
            check(wait_for(lambda: tablet.js("return document.getElementById('ask').hidden"), 10),
                  'the tablet took control without a reload')
            before = len(sets())
            click(tablet, '#c1052')
            check(wait_for(lambda: len(sets()) > before, 10), 'a tap on the tablet sets at the node: %r' % sets()[before:])
            # The tablet's own address: under Wine the far end of the veth pair.
            check(re.search(r'^webcontrol [0-9.]+/32\r$', open('orvvarnoth.cfg', newline='').read(),
                            re.M), 'the file gained the webcontrol line: %r'
                  % [line for line in read('orvvarnoth.cfg').splitlines() if line.startswith('webcontrol')])
            # Revoked from the set-up page: the grant leaves the file, and the
            # tablet is read-only again at once.
            granted = open('orvvarnoth.cfg', newline='').read()
            before = shown(browser)
            click(browser, '#control li button.remove')
            check(outcome_ok(browser, before), 'revoking saved: %r' % text(browser, '#outcome-text'))
            check(open('orvvarnoth.cfg', newline='').read() == re.sub(r'webcontrol [0-9.]+/32\r\n', '', granted),
                  'the file lost the webcontrol line alone')
            check(wait_for(lambda: tablet.js("return !document.getElementById('ask').hidden"), 10),
                  'the tablet read-only again without a reload')
        finally:
            tablet.quit()

        # A removal asked against a file changed on disk since is refused with
        # the diff; after a reload the same removal goes through.
        button_line = '#lines li.line[data-line="%d"]' % (cfg.count('\n') + 2)
        check('button mcp 7 heading_hold' in (text(browser, button_line) or ''), 'the button line listed')
        cfg = open('orvvarnoth.cfg', newline='').read()
        with open('orvvarnoth.cfg', 'w', newline='') as f:
            f.write(cfg + 'navx 5\r\n')
        click(browser, button_line + ' button.remove')
        before = shown(browser)
        click(browser, '#save')
        wait_for(lambda: shown(browser) != before, 15)
        check('+ navx 5' in (text(browser, '#diff') or ''), 'refused with the diff: %r' % text(browser, '#diff'))
        click(browser, '#reload')
        check(wait_for(lambda: 'navx' in (browser.js('return setup.snap.file.text') or ''), 10), 'read again')
        click(browser, '#changes li.change button.remove')
        click(browser, button_line + ' button.remove')
        before = shown(browser)
        click(browser, '#save')
        check(outcome_ok(browser, before), 'the removal saved: %r' % text(browser, '#outcome-text'))
        check(open('orvvarnoth.cfg', newline='').read() ==
              cfg.replace('button mcp 7 heading_hold\r\n', '') + 'navx 5\r\n', 'the file lost that line alone')
    except Stop:
        print('--- program log, last lines:\n' + '\n'.join(read('ORVVarnoth.log').splitlines()[-25:]))
        if browser:
            print('--- page outcome: %r' % text(browser, '#outcome'))
            print('--- learn: %r' % browser.js('return JSON.stringify(setup.snap && setup.snap.learn)'))
    finally:
        if browser:
            browser.quit()
        if proc:
            stop(proc)
        stop(node)
        sim.kill()
        sim.wait()
    print('setup end-to-end: %s' % ('OK' if not failures else 'FAILED: ' + '; '.join(failures)))
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
