"""The web build in headless Chromium: the gl layer's scenes, the release zip as a player gets it,
and what only a browser does to a game (sound after the first key, focus lost with a key held,
the page once the game has ended).

    /usr/bin/python3 tests/web/web_tests.py [Case.test_name ...]"""
import pathlib
import shutil
import string
import sys
import tempfile
import unittest

import pages
from pages import Browser, region, serve


class GL(pages.EachCase):
    def test_scenes_read_back_in_the_page(self):
        self.browser.driver.get(serve(pages.BUILD / 'tests/gl') + 'VantorGLTests.html')
        summary = self.browser.wait('GoogleTest\'s summary', lambda: self.browser.lines('[  PASSED  ]') or
                                    self.browser.lines('[  FAILED  ]'))
        self.assertRegex(summary[0], r'\[  PASSED  \] \d+ tests?\.', '\n'.join(self.browser.lines()))
        self.assertFalse(self.browser.lines('[  FAILED  ]'), '\n'.join(self.browser.lines()))


class Release(pages.EachCase):
    """The zip unpacked into a scratch folder and served as it is, in a viewport where the page shows
    the picture one to one."""

    def setUp(self):
        super().setUp()
        self.folder = pages.unpack(self.addCleanup)
        pages.size(self.browser, 800, 600)

    def test_keys_reach_their_players_and_space_takes_the_offering(self):
        self.browser.driver.get(serve(self.folder) + 'index.html')
        even = region(pages.playing(self.browser), 320, 20, 200)
        self.assertEqual(self.browser.driver.title, 'Arborath')
        blue = lambda: region(self.browser.canvas(), 550, 155, 230)
        blue_efficiency = blue()
        pages.changes(self.browser, 'K to pull the favour', 'k', 320, 20, 200)
        self.assertTrue(pages.changes(self.browser, 'A to pull it back', 'a', 320, 20, 200) == even, 'A left it uneven')
        pages.changes(self.browser, 'S to raise the red efficiency', 's', 20, 155, 230)
        self.assertTrue(blue() == blue_efficiency, 'S changed blue\'s line')
        pages.changes(self.browser, 'L to raise the blue efficiency', 'l', 550, 155, 230)
        # The mystery offering comes up after 450 frames; Space takes it.
        mystery = lambda: region(self.browser.canvas(), 330, 240, 140, 44) != region(
            pages.BACKGROUND, 330, 240, 140, 44)
        self.browser.wait('the mystery offering', mystery)
        self.browser.key(' ')
        self.browser.wait('Space to take the offering', lambda: not mystery())
        # A whole game on this page is played by touch (screen_tests.py), through the same key events.

    def test_a_missing_data_file_or_no_webgl_shows_the_error_over_the_canvas(self):
        lacking = pathlib.Path(tempfile.mkdtemp(prefix='vantor-web-lacking-')) / 'Arborath'
        self.addCleanup(shutil.rmtree, lacking.parent)
        shutil.copytree(self.folder, lacking)
        # The pack's index names its entries in plain text (see Web/pack_page.py): one renamed is one missing.
        pack = (self.folder / 'Arborath.pack').read_bytes()
        (lacking / 'Arborath.pack').write_bytes(pack.replace(b'RedWins.bmp', b'RedWinz.bmp', 1))
        for flags, folder, message in [
                ('', lacking, 'Image file not found: RedWins.bmp'),
                ('--disable-3d-apis', self.folder, 'This browser cannot show the game: WebGL is switched off or not '
                                                   'available.')]:
            with self.subTest(message):
                browser = self.browser
                if flags:
                    browser = Browser(flags)
                    self.addCleanup(browser.close)
                browser.driver.get(serve(folder) + 'index.html')
                browser.wait('the error text in the console', lambda: browser.lines(message))
                self.assertTrue(browser.js(SEEN_OVER_THE_CANVAS, 'error', message, True),
                                'the error text is not seen over the canvas')


# The element shows the text (whole, or beginning so), and is what is seen at the middle of the text,
# which lies over the canvas.
SEEN_OVER_THE_CANVAS = '''
const [id, text, whole] = arguments, element = document.getElementById(id), range = document.createRange();
range.selectNodeContents(element);
const box = range.getBoundingClientRect(), canvas = document.getElementById('canvas').getBoundingClientRect();
const x = box.left + box.width / 2, y = box.top + box.height / 2, shown = element.innerText.trim();
return !element.hidden && (whole ? shown === text : shown.startsWith(text)) && x > canvas.left && x < canvas.right &&
       y > canvas.top && y < canvas.bottom && element.contains(document.elementFromPoint(x, y));'''


class Browsing(pages.EachCase):
    def setUp(self):
        super().setUp()
        pages.open_test_program(self.browser)

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
        # Held, a key repeats as a keyboard's does, each repeat a key-down of its own.
        for _ in range(3):
            self.browser.key('KeyA', hold=True, repeat=True)
        self.browser.wait_line('key down 15', 4)

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

    def test_a_shader_fault_is_reported_at_its_line_in_the_file(self):
        self.assertTrue(self.browser.lines("ERROR: 0:5: 'Undeclared'"), '\n'.join(self.browser.lines()))

    def test_the_page_says_when_the_game_has_ended_by_its_close_or_by_exit_and_starts_it_again(self):
        for modifier in 'ShiftLeft', 'ControlLeft':  # the close, then exit()
            with self.subTest(modifier):
                self.browser.key(modifier, hold=True)
                self.browser.key('Escape')
                self.browser.wait('the notice that the game has ended', lambda: self.browser.js(
                    SEEN_OVER_THE_CANVAS, 'ended', 'The game has ended.', False))
                # Quit destroys the game as the desktop's close does; exit() skips it, as there.
                self.assertEqual(self.browser.lines('destroyed'), ['destroyed'] if modifier == 'ShiftLeft' else [])
                self.browser.js('document.getElementById("restart").click()')
                self.browser.wait('the game started again', lambda: self.browser.js(
                    'return document.getElementById("ended").hidden && __lines.includes("asked before the first key")'))


if __name__ == '__main__':
    unittest.main(argv=sys.argv, verbosity=2)
