"""Pages served from 127.0.0.1 and driven in Debian's headless Chromium, for the web tests and the
web benchmark. Waits are deadlines on conditions; the keyboard is Chromium's own input, so every
key press is a user gesture to the page."""
import base64
import functools
import http.server
import io
import pathlib
import shutil
import tempfile
import threading
import time

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

FLAGS = ('--headless=new --use-angle=swiftshader --enable-unsafe-swiftshader --no-sandbox '
         '--disable-background-networking --disable-component-update --disable-sync --no-first-run '
         '--disable-quic --window-size=1280,1024 --force-device-scale-factor=1 --force-color-profile=srgb '
         '--autoplay-policy=document-user-activation-required')
OBSERVER = pathlib.Path(__file__).with_name('browser-observer.js').read_text()
PATIENCE = 60  # seconds; a loaded two-core machine starts a page slowly


class _Files(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """Serves the folder on a free port of 127.0.0.1 until the process ends; gives the address."""
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(_Files, directory=str(folder)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f'http://127.0.0.1:{server.server_address[1]}/'


# The keys the tests press, by their place on the keyboard, as a French keyboard sends them (code,
# key and Windows key code): the players' keys stay where their hands are on any layout.
KEYS = {'a': ('KeyA', 'q', 81), 's': ('KeyS', 's', 83), 'k': ('KeyK', 'k', 75), 'l': ('KeyL', 'l', 76),
        ' ': ('Space', ' ', 32)}


class Browser:
    def __init__(self, flags=''):
        self.profile = tempfile.mkdtemp(prefix='vantor-chromium-')
        options = webdriver.ChromeOptions()
        for flag in (FLAGS + ' ' + flags).split() + ['--user-data-dir=' + self.profile]:
            options.add_argument(flag)
        self.driver = webdriver.Chrome(options=options, service=Service('/usr/bin/chromedriver'))
        self.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': OBSERVER})

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def lines(self, prefix=''):
        return [line for line in self.js('return __lines') if line.startswith(prefix)]

    @staticmethod
    def poll(ask, timeout):
        """Asks until the answer is truthy or the time is up; gives the last answer."""
        deadline = time.monotonic() + timeout
        while not (answer := ask()) and time.monotonic() < deadline:
            time.sleep(0.05)
        return answer

    def wait(self, what, ask, timeout=PATIENCE):
        """As poll, but a missed deadline fails, naming what it waited for."""
        answer = self.poll(ask, timeout)
        assert answer, f'waited {timeout} s in vain for {what}; the page wrote:\n' + '\n'.join(self.lines())
        return answer

    def wait_line(self, prefix, nth=1):
        return self.wait(f'line {nth} beginning "{prefix}"', lambda: (self.lines(prefix) + [None] * nth)[nth - 1])

    def key(self, name, hold=False, repeat=False):
        """Presses a key (one of KEYS, or any by its code alone) and lets it go, or holds it down (again,
        as a held key repeats)."""
        code, key, number = KEYS.get(name, (name, '', 0))
        for event in ['keyDown'] if hold else ['keyDown', 'keyUp']:
            self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {
                'type': event, 'code': code, 'key': key, 'windowsVirtualKeyCode': number,
                'text': key if event == 'keyDown' else '', 'autoRepeat': repeat})

    def canvas(self):
        """What the page shows where its canvas lies, as the player sees it: one screen pixel each."""
        box = self.js('const r = document.querySelector("canvas").getBoundingClientRect();'
                      'return [r.x + scrollX, r.y + scrollY, r.width, r.height]')
        shot = self.driver.execute_cdp_cmd('Page.captureScreenshot', {
            'clip': dict(zip(['x', 'y', 'width', 'height'], box), scale=1), 'captureBeyondViewport': False})
        return Image.open(io.BytesIO(base64.b64decode(shot['data']))).convert('RGB')


def bmp(path):
    """A 24-bit bottom-up BMP, as the game's own files are."""
    return Image.open(path).convert('RGB')
