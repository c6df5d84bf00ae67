"""What the web tests share: the web build and the release's zip (VANTOR_WEB_BUILD, VANTOR_WEB_ZIP),
browsers, and the game's playing screen as the tests recognise it without reading its texts."""
import os
import pathlib
import sys
import tempfile
import shutil
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / 'scripts/lib'))
from browser import Browser, bmp, serve  # noqa: E402

BUILD = pathlib.Path(os.environ.get('VANTOR_WEB_BUILD', ROOT / 'build/web'))
BACKGROUND = bmp(ROOT / 'Data/Background.bmp')
WINNER = bmp(ROOT / 'Data/RedWins.bmp')


def region(picture, x, y, width, height=14):
    return picture.crop((x, y, x + width, y + height)).tobytes()


def unpack(cleanup):
    """The release's zip unpacked into a scratch folder, removed by cleanup; gives the zip's one folder."""
    scratch = tempfile.mkdtemp(prefix='vantor-web-zip-')
    cleanup(shutil.rmtree, scratch)
    with zipfile.ZipFile(os.environ['VANTOR_WEB_ZIP']) as archive:
        archive.extractall(scratch)
    [folder] = pathlib.Path(scratch).iterdir()
    return folder


def open_test_program(browser):
    """Opens the web build's test game, once it has asked for its first clip."""
    browser.driver.get(serve(BUILD / 'tests/web') + 'VantorWebTestProgram.html')
    browser.wait_line('asked before the first key')


def size(browser, width, height, touch=False):
    browser.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': touch})
    browser.driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': touch, 'maxTouchPoints': 5})


def playing(browser, picture=None):
    """The playing screen (by default as the page shows it), once the background below the HUD is the
    file's 1:1 and the favour is written on it."""
    def shown():
        canvas = (picture or browser.canvas)()
        return canvas.size == (800, 600) and region(canvas, 0, 300, 800, 300) == region(BACKGROUND, 0, 300, 800, 300) \
            and region(canvas, 320, 20, 200) != region(BACKGROUND, 320, 20, 200) and canvas
    return browser.wait('the playing screen', shown)


def changes(browser, what, key, x, y, width):
    """Presses the key (again, while the player lacks the lumber) until the line at (x, y) changes; gives it."""
    before = region(playing(browser), x, y, width)
    def changed():
        browser.key(key)
        return browser.poll(lambda: region(browser.canvas(), x, y, width) != before, 5)
    browser.wait(what, changed, 30)
    return region(browser.canvas(), x, y, width)


class EachCase(unittest.TestCase):
    """A browser of its own for each case."""

    def setUp(self):
        self.browser = Browser()
        self.addCleanup(self.browser.close)


class OneBrowser(unittest.TestCase):
    """One browser for every case of the class."""

    @classmethod
    def setUpClass(cls):
        cls.browser = Browser()
        cls.addClassCleanup(cls.browser.close)
