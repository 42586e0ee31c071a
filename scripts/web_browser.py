#!/usr/bin/python3
"""Headless Chromium on the program's web panels, through chromedriver.

A module for the browser test, the latency benchmark and the pictures, and a
command that photographs the page once it shows live data:
    web_browser.py URL WIDTHxHEIGHT OUT.png [--stale-ok] [--wait SECONDS] [--click ID]...
(--click: the page's element of that id is clicked first, e.g. night, share.)
It runs only inside a private network namespace (loopback and our own veth
links, nothing else), so the browser can reach no real network.
"""
import os
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'support'))
from proc import require_private_netns, wait_for  # noqa: E402

FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--hide-scrollbars', '--disable-dev-shm-usage']


class Browser:
    """One Chromium with a fresh profile, a window of the given CSS size."""

    def __init__(self, width=1024, height=768):
        require_private_netns(veth=True)
        self.profile = tempfile.TemporaryDirectory(prefix='orv-chromium-')
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in FLAGS + ['--user-data-dir=' + self.profile.name,
                             '--window-size=%d,%d' % (width, height)]:
            options.add_argument(flag)
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.driver.set_page_load_timeout(20)
        self.resize(width, height)

    def resize(self, width, height):
        """The page exactly this size, as on that device (a phone: touch, no scroll bars)."""
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': width < 600})
        self.driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': width < 600})

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def open(self, url):
        self.driver.get(url)

    def values(self):
        """What the page shows: {id: [text, checked]} for every addressable control."""
        return {int(k): v for k, v in self.js('''
            const out = {};
            for (const el of document.querySelectorAll('[data-kind]'))
              out[el.id.slice(1)] = [el.dataset.kind === 'check' ? el.firstChild.textContent
                                                                 : el.textContent,
                                     el.getAttribute('aria-checked') === 'true' ? 1 : 0];
            return out;''').items()}

    def stale(self):
        return self.js("return document.getElementById('panels').dataset.stale") != 'false'

    def banner(self):
        return self.js("const b = document.getElementById('banner'); return b.hidden ? '' : b.textContent")

    def live(self, timeout):
        return wait_for(lambda: not self.stale() and len(self.values()) > 0, timeout)

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def quit(self):
        self.driver.quit()
        self.profile.cleanup()


def main(argv):
    if len(argv) < 4:
        sys.exit('usage: web_browser.py URL WIDTHxHEIGHT OUT.png [--stale-ok] [--wait SECONDS] [--click ID]...')
    width, height = (int(n) for n in argv[2].split('x'))
    wait = float(argv[argv.index('--wait') + 1]) if '--wait' in argv else 30
    browser = Browser(width, height)
    try:
        wait_for(lambda: _loads(browser, argv[1]), wait, 0.5)
        live = browser.live(wait)
        if not live and '--stale-ok' not in argv:
            sys.exit('the page did not show live data within %g s' % wait)
        time.sleep(1)  # one more refresh: every field filled
        for i, arg in enumerate(argv):
            if arg == '--click' and i + 1 < len(argv):
                browser.js('document.getElementById(arguments[0]).click()', argv[i + 1])
                time.sleep(0.5)
        browser.screenshot(argv[3])
    finally:
        browser.quit()


def _loads(browser, url):
    try:
        browser.open(url)
        return browser.js("return document.querySelector('.sheet') !== null") or \
            wait_for(lambda: browser.js("return document.querySelector('.sheet') !== null"), 3)
    except Exception:
        return False


if __name__ == '__main__':
    main(sys.argv)
