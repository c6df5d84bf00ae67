"""The web build in headless Chromium: the gl layer's scenes, the release zip as a player gets it,
and what only a browser does to a game (sound after the first key, focus lost with a key held).

    /usr/bin/python3 tests/web/web_tests.py [Case.test_name ...]

VANTOR_WEB_BUILD names the web build's folder, VANTOR_WEB_ZIP the release's web zip."""
import os
import pathlib
import shutil
import string
import sys
import tempfile
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / 'scripts/lib'))
from browser import Browser, bmp, serve  # noqa: E402

BUILD = pathlib.Path(os.environ.get('VANTOR_WEB_BUILD', ROOT / 'build/web'))


def program(folder, name):
    """The page of a program of the web build, served from the program's own folder."""
    return serve(BUILD / folder) + name + '.html'


class Page(unittest.TestCase):
    def setUp(self):
        self.browser = Browser()
        self.addCleanup(self.browser.close)


class GL(Page):
    def test_scenes_read_back_in_the_page(self):
        self.browser.driver.get(program('tests/gl', 'VantorGLTests'))
        summary = self.browser.wait('GoogleTest\'s summary', lambda: self.browser.lines('[  PASSED  ]') or
                                    self.browser.lines('[  FAILED  ]'))
        self.assertRegex(summary[0], r'\[  PASSED  \] \d+ tests?\.', '\n'.join(self.browser.lines()))
        self.assertFalse(self.browser.lines('[  FAILED  ]'), '\n'.join(self.browser.lines()))


def region(picture, x, y, width, height=14):
    return picture.crop((x, y, x + width, y + height)).tobytes()


class Release(Page):
    """The zip unpacked into a scratch folder and served as it is."""

    def setUp(self):
        super().setUp()
        scratch = tempfile.mkdtemp(prefix='vantor-web-zip-')
        self.addCleanup(shutil.rmtree, scratch)
        with zipfile.ZipFile(os.environ['VANTOR_WEB_ZIP']) as archive:
            archive.extractall(scratch)
        [self.folder] = pathlib.Path(scratch).iterdir()  # the zip's one folder
        self.background = bmp(ROOT / 'Data/Background.bmp')
        # A viewport of the picture's size, where the page shows it one to one.
        self.browser.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 800, 'height': 600, 'deviceScaleFactor': 1, 'mobile': False})

    def playing_screen(self):
        """The canvas, once it shows the background 1:1 below the HUD and the favour written on it."""
        def shown():
            canvas = self.browser.canvas()
            below = canvas.size == (800, 600) and region(canvas, 0, 300, 800, 300) == region(
                self.background, 0, 300, 800, 300)
            return below and region(canvas, 320, 20, 200) != region(self.background, 320, 20, 200) and canvas
        return self.browser.wait('the playing screen', shown)

    def changes(self, what, key, x, y, width):
        """Presses the key (again, while the player lacks the lumber) until the line at (x, y) changes."""
        before = region(self.playing_screen(), x, y, width)
        def changed():
            self.browser.key(key)
            return self.browser.poll(lambda: region(self.browser.canvas(), x, y, width) != before, 5)
        self.browser.wait(what, changed, 30)
        return region(self.browser.canvas(), x, y, width)

    def test_keys_reach_their_players_and_a_whole_game_ends_in_the_winners_picture(self):
        self.browser.driver.get(serve(self.folder) + 'index.html')
        even = region(self.playing_screen(), 320, 20, 200)
        self.assertEqual(self.browser.driver.title, 'Arborath')
        blue_efficiency = region(self.browser.canvas(), 550, 155, 230)
        self.changes('K to pull the favour', 'k', 320, 20, 200)
        self.assertTrue(self.changes('A to pull it back', 'a', 320, 20, 200) == even, 'A left the favour uneven')
        self.changes('S to raise the red efficiency', 's', 20, 155, 230)
        self.assertTrue(region(self.browser.canvas(), 550, 155, 230) == blue_efficiency, 'S changed blue\'s line')
        self.changes('L to raise the blue efficiency', 'l', 550, 155, 230)
        # The mystery offering comes up after 450 frames; Space takes it.
        mystery = lambda: region(self.browser.canvas(), 330, 240, 140, 44) != region(self.background, 330, 240, 140, 44)
        self.browser.wait('the mystery offering', mystery)
        self.browser.key(' ')
        self.browser.wait('Space to take the offering', lambda: not mystery())
        # Held, A repeats as a keyboard does; the rules take some 50 s however fast.
        winner = bmp(ROOT / 'Data/RedWins.bmp')
        def won():
            self.browser.key('a', hold=True, repeat=True)
            return self.browser.canvas().tobytes() == winner.tobytes()
        self.browser.wait('the red player\'s picture', won, 240)

    def test_a_missing_data_file_or_no_webgl_shows_the_error_over_the_canvas(self):
        for flags, missing, message in [
                ('', 'Data/RedWins.bmp', 'Image file not found: RedWins.bmp'),
                ('--disable-3d-apis', None, 'This browser cannot show the game: WebGL is switched off or not '
                                            'available.')]:
            with self.subTest(message):
                browser = self.browser
                if flags:
                    browser = Browser(flags)
                    self.addCleanup(browser.close)
                browser.driver.get(serve(self.folder, missing) + 'index.html')
                browser.wait('the error text in the console', lambda: browser.lines(message))
                # Its text is what is seen, and where, at the middle of the text: over the canvas.
                self.assertTrue(browser.js(OVER_THE_CANVAS, message), 'the error text is not over the canvas')


OVER_THE_CANVAS = '''
const [message] = arguments, error = document.getElementById('error'), text = document.createRange();
text.selectNodeContents(error);
const box = text.getBoundingClientRect(), canvas = document.getElementById('canvas').getBoundingClientRect();
const x = box.left + box.width / 2, y = box.top + box.height / 2;
return error.innerText.trim() === message && x > canvas.left && x < canvas.right && y > canvas.top &&
       y < canvas.bottom && error.contains(document.elementFromPoint(x, y));'''


class Browsing(Page):
    def setUp(self):
        super().setUp()
        self.browser.driver.get(program('tests/web', 'VantorWebTestProgram'))
        self.browser.wait_line('asked before the first key')

    def test_a_key_held_while_the_page_loses_focus_is_released(self):
        self.browser.key('a', hold=True)
        self.browser.wait_line('frame: A down=1')
        # Another tab comes to the front and goes again; the key is never let go of.
        page = self.browser.driver.current_window_handle
        self.browser.driver.switch_to.new_window('tab')
        self.browser.driver.close()
        self.browser.driver.switch_to.window(page)
        for line in 'focus lost', 'key up 15', 'frame: A down=0':
            self.browser.wait_line(line)

    def test_every_key_of_the_engine_arrives_by_its_place_on_the_keyboard(self):
        codes = ('ArrowLeft ArrowRight ArrowUp ArrowDown Enter Space Escape Backspace Tab ShiftLeft ShiftRight '
                 'ControlLeft ControlRight AltLeft AltRight').split()
        codes += [f'Key{letter}' for letter in string.ascii_uppercase] + [f'Digit{digit}' for digit in range(10)]
        for code in codes:
            self.browser.key(code)
        self.browser.wait_line('key up', len(codes))
        self.assertEqual(self.browser.lines('key down'), [f'key down {key}' for key in range(len(codes))])

    def test_sound_plays_after_the_first_key_only_what_is_asked_then_and_can_be_decoded(self):
        sound = lambda: self.browser.js('return __sound')
        def silent_for_half_a_second(what):
            start = sound()['time']
            self.browser.wait('half a second of ' + what, lambda: sound()['time'] > start + 0.5)
            self.assertEqual(sound()['loud'], 0, what + ' was heard')
        self.browser.key('k')  # the first gesture: the clip asked for before it stays unplayed
        silent_for_half_a_second('the clip asked for before the first key')
        self.browser.key('s')
        silent_for_half_a_second('the clip the browser cannot decode')
        self.browser.key('a')
        self.browser.wait('the good clip to be heard', lambda: sound()['loud'] > 8000)


if __name__ == '__main__':
    unittest.main(argv=sys.argv, verbosity=2)
