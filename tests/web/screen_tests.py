"""The web page as the player's screen, in headless Chromium: the released page fitted to every size
a laptop, a web-game site's frame, a tablet or a phone gives it, fullscreen, the mouse in the
program's pixels, and two players on one touch screen.

    /usr/bin/python3 tests/web/screen_tests.py [Screen.test_name ...]"""
import base64
import io
import sys
import unittest

import pages
from pages import region, serve
from PIL import Image, ImageChops, ImageStat

# The frames web-game sites embed games in, laptops, big screens, a tablet both ways round and a
# phone held sideways; at 1600 x 1200 every pixel of the program's is shown as two by two.
SIZES = [(821, 462), (1216, 684), (1366, 657), (1920, 1080), (3840, 2160), (1180, 820), (820, 1180), (915, 412),
         (1600, 1200)]

# Where the canvas lies, and whether the page fits its viewport: nothing scrolls, the canvas is inside,
# 4:3 within a pixel, centred, and as large as the viewport allows but for the lines around it.
FITTED = '''
const box = document.getElementById('canvas').getBoundingClientRect(), page = document.scrollingElement;
const width = innerWidth, height = innerHeight, problems = [];
if (page.scrollWidth > width || page.scrollHeight > height) problems.push('the page scrolls');
if (box.left < 0 || box.top < 0 || box.right > width || box.bottom > height) problems.push('the canvas sticks out');
if (Math.abs(box.width - box.height * 4 / 3) > 1) problems.push('the canvas is not 4:3');
if (Math.abs(box.left - (width - box.right)) > 1 || Math.abs(box.top - (height - box.bottom)) > 1)
    problems.push('the canvas is off centre');
if (box.width < width - 1 && box.height < height * 0.97 - 1) problems.push('the canvas is smaller than fits');
return [problems, [box.x, box.y, box.width, box.height, width, height]];'''

# The program's picture as it draws it, one canvas pixel each, whatever size the page shows it at.
PICTURE = '''
const [x, y, width, height] = arguments, copy = Object.assign(document.createElement('canvas'), {width, height});
copy.getContext('2d').drawImage(document.getElementById('canvas'), x, y, width, height, 0, 0, width, height);
return copy.toDataURL();'''

# The on-screen buttons as a finger finds them: key, centre, size, and whether wholly on the screen.
BUTTONS = '''
return document.getElementById('touch').hidden ? [] : [...document.querySelectorAll('#touch button')].map(button => {
    const box = button.getBoundingClientRect();
    return [button.dataset.code, box.x + box.width / 2, box.y + box.height / 2, box.width, box.height,
            box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight];
});'''

# Whatever a long press could set off: a menu the page did not cancel, a scroll, a zoom, a selection.
WATCH = '''window.__menus = 0;
window.addEventListener('contextmenu', event => { if (!event.defaultPrevented) ++__menus; });'''
MOVED = '''return [__menus, scrollX, scrollY, visualViewport.scale, visualViewport.offsetLeft, visualViewport.offsetTop,
        String(getSelection())];'''


class Page:
    """The released page unpacked and served, and what the cases do to it."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        folder = pages.unpack(cls.addClassCleanup)
        cls.release = serve(folder)
        # A web-game site's page around the game, from a server of its own.
        (folder.parent / 'site.html').write_text('<body style="margin: 0; background: white">'
                                                 f'<iframe src="{cls.release}index.html" width="907" height="510" '
                                                 'style="border: 0; margin: 40px 60px">')
        cls.site = serve(folder.parent)

    def fitted(self, what):
        """Waits for the page to have followed its viewport's size; gives the canvas's box."""
        if answer := self.browser.poll(lambda: (fit := self.browser.js(FITTED)) and not fit[0] and fit, 10):
            return answer[1]
        problems, box = self.browser.js(FITTED)
        self.fail(f'{what}: {", ".join(problems)}; canvas and viewport {box}')

    def picture(self, x=0, y=0, width=800, height=600):
        data = self.browser.js(PICTURE, x, y, width, height).split(',', 1)[1]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert('RGB')

    def shown(self, box):
        """What the player sees of the canvas, one screen pixel each."""
        shot = self.browser.driver.execute_cdp_cmd('Page.captureScreenshot', {
            'clip': dict(zip(['x', 'y', 'width', 'height'], box), scale=1), 'captureBeyondViewport': False})
        return Image.open(io.BytesIO(base64.b64decode(shot['data']))).convert('RGB')

    def touch(self, kind, *points):
        self.browser.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': kind, 'touchPoints': [{'x': x, 'y': y, 'id': number} for number, (x, y) in enumerate(points)]})

    def tap(self, button):
        self.touch('touchStart', button[:2])
        self.touch('touchEnd')

    def buttons(self):
        return {code: rest for code, *rest in self.browser.js(BUTTONS)}

    def playing(self):
        """The first playing screen, read from the program's picture once it draws."""
        self.browser.wait('the first frames', lambda: self.browser.js('return window.Module?.vantorFrames > 2'))
        return pages.playing(self.browser, self.picture)


class Screen(Page, pages.OneBrowser):
    """Mouse and keyboard."""

    def setUp(self):
        pages.size(self.browser, 1280, 1024)

    def test_in_a_frame_without_touch_nor_fullscreen_the_game_fills_it_and_shows_neither(self):
        # A web-game site's frame on a laptop, which does not allow fullscreen.
        driver = self.browser.driver
        driver.get(self.site + 'site.html')
        frame = driver.find_element('tag name', 'iframe')
        driver.switch_to.frame(frame)
        try:
            game = self.playing().resize((680, 510), Image.Resampling.BILINEAR)
            x, y, width, height = self.fitted('907 x 510 in a frame')[:4]
            self.assertEqual((width, height), (680, 510))
            self.assertEqual(self.buttons(), {}, 'on-screen buttons without a touch screen')
            self.assertFalse(self.browser.js('return document.getElementById("fullscreen").checkVisibility()'),
                             'a fullscreen control where the page may not go fullscreen')
        finally:
            driver.switch_to.default_content()
        # Shrunk to 0.68, the background below the HUD is the file's resized (measured 3.3 levels off on
        # average against a bilinear resize: Chromium's filter is not Pillow's); cut, shifted or stretched,
        # it is far off. The HUD's labels, smoothed, came out 3.7 off the game's own picture resized so;
        # sampled to the nearest pixel (rows and columns of letters dropped), 5.5.
        shown = self.shown((x + 60, y + 40, width, height))
        background = pages.BACKGROUND.resize((680, 510), Image.Resampling.BILINEAR)
        for what, part, expected in [('background', (0, 255, 680, 510), background),
                                     ('HUD labels', (14, 74, 216, 128), game)]:
            error = sum(ImageStat.Stat(ImageChops.difference(shown.crop(part), expected.crop(part))).mean) / 3
            self.assertLess(error, 4.5, f'the shrunk {what} is {error:.1f} levels off')
        # The frame made 800 x 600 and clicked (its line asking for a click goes), the page follows it
        # and shows the program's pixels one to one.
        self.browser.js('arguments[0].width = 800; arguments[0].height = 600', frame)
        for kind in 'mousePressed', 'mouseReleased':
            driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
                'type': kind, 'x': 100, 'y': 100, 'button': 'left', 'clickCount': 1})
        driver.switch_to.frame(frame)
        try:
            x, y, width, height = self.fitted('800 x 600 in a frame')[:4]
            self.browser.wait('the line asking for a click to go', lambda: self.browser.js(
                'return document.getElementById("hint").hidden'))
        finally:
            driver.switch_to.default_content()
        self.assertTrue(region(self.shown((x + 60, y + 40, width, height)), 0, 300, 800, 300) ==
                        region(pages.BACKGROUND, 0, 300, 800, 300), 'the background is not shown 1:1')

    def test_a_click_at_the_centre_reads_the_middle_pixel_at_every_scale(self):
        pages.open_test_program(self.browser)
        for count, (width, height) in enumerate([(907, 510), (1920, 1080), (820, 1180)], 1):
            pages.size(self.browser, width, height)
            x, y, box_width, box_height = self.fitted(f'{width} x {height}')[:4]
            # Held until a frame has seen it, as the game samples the button once a frame.
            click = {'x': x + box_width / 2, 'y': y + box_height / 2, 'button': 'left', 'clickCount': 1}
            self.browser.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {'type': 'mousePressed', **click})
            self.assertEqual(self.browser.wait_line('mouse pressed', count), 'mouse pressed at 400 300')
            self.browser.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {'type': 'mouseReleased', **click})

    def test_fullscreen_entered_and_left_keeps_the_game_going_fitted(self):
        pages.open_test_program(self.browser)
        control = self.browser.driver.find_element('id', 'fullscreen')
        for step, alone in ('entered', True), ('left', False):
            # Over the picture, the control shows while the pointer moves.
            self.browser.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {'type': 'mouseMoved', 'x': 300, 'y': 300})
            control.click()
            self.browser.wait(f'fullscreen {step}',
                              lambda: self.browser.js('return !!document.fullscreenElement') == alone)
            self.fitted(f'fullscreen {step}')
            # The game still has the keyboard: a key held is down in its frames.
            self.browser.key('a', hold=True)
            self.browser.wait_line('frame: A down=1', 1 if alone else 2)
            self.browser.key('a')
            self.browser.wait_line('frame: A down=0', 1 if alone else 2)
        self.assertEqual(self.browser.lines('focus lost'), [])


class Touch(Page, pages.EachCase):
    """A touch screen, a browser each: in one browser, emulated touches stopped reaching any page loaded
    after a page that had been touched."""

    def test_a_whole_game_by_touch_alone_on_a_screen_turned_through_every_size(self):
        pages.size(self.browser, 1180, 820, touch=True)
        self.browser.driver.get(self.release + 'index.html')
        start = self.playing()
        self.browser.js(WATCH)
        keys = self.buttons()
        self.assertEqual(sorted(keys), ['KeyA', 'KeyK', 'KeyL', 'KeyS', 'Space'])

        # Held for a second, a finger presses its key once and sets nothing else off.
        self.touch('touchStart', keys['KeyA'][:2])
        frames = lambda: self.browser.js('return Module.vantorFrames')
        first = frames()
        self.browser.wait('50 frames', lambda: frames() >= first + 50)
        self.touch('touchEnd')
        self.assertEqual(self.browser.js(MOVED), [0, 0, 0, 1, 0, 0, ''], 'a long press moved the page')
        self.browser.wait('the sacrifice', lambda: region(self.picture(), 320, 20, 200) != region(start, 320, 20, 200))

        # Both players' fingers come down in one event: each trade counts.
        self.touch('touchStart', keys['KeyS'][:2], keys['KeyL'][:2])
        self.touch('touchEnd')
        def traded():
            picture = self.picture()
            return all(region(picture, x, 155, 230) != region(start, x, 155, 230) for x in (20, 550)) and picture
        traded = self.browser.wait('both trades', traded)

        # Turned and moved through every size, the page follows without losing the game, and each
        # size's tap sacrifices on.
        for width, height in SIZES:
            what = f'{width} x {height}'
            pages.size(self.browser, width, height, touch=True)
            box = self.fitted(what)
            picture = self.picture()
            self.assertNotEqual(region(picture, 320, 20, 200), region(start, 320, 20, 200), what + ': favour lost')
            self.assertEqual(region(picture, 20, 155, 230), region(traded, 20, 155, 230), what + ': efficiency lost')
            keys = self.buttons()
            for code, (x, y, button_width, button_height, inside) in keys.items():
                self.assertTrue(button_width >= 48 and button_height >= 48 and inside,
                                f'{what}: {code} too small or out of the screen')
            if (width, height) == (1600, 1200):
                # Between the buttons and below the HUD, the background's pixels doubled, not blurred.
                doubled = pages.BACKGROUND.crop((300, 300, 700, 500)).resize((800, 400), Image.Resampling.NEAREST)
                self.assertTrue(self.shown((box[0] + 600, box[1] + 600, 800, 400)).tobytes() == doubled.tobytes(),
                                'the picture is not sharp at twice its size')
            self.tap(keys['KeyA'])

        # Red's finger alone wins the game, on the phone: the smallest screen costs the renderer least.
        pages.size(self.browser, 915, 412, touch=True)
        keys = self.buttons()
        corner = region(pages.WINNER, 0, 0, 800, 40)
        def won():
            self.tap(keys['KeyA'])
            return self.browser.poll(lambda: region(self.picture(0, 0, 800, 40), 0, 0, 800, 40) == corner, 0.5)
        self.browser.wait('the red player\'s picture', won, 240)
        self.assertTrue(self.picture().tobytes() == pages.WINNER.tobytes(), 'not the red player\'s picture')

    def test_each_touch_is_one_key_press_as_the_keyboard_gives_it(self):
        pages.size(self.browser, 915, 412, touch=True)
        pages.open_test_program(self.browser)
        keys = self.buttons()
        # A held; S pressed by another finger meanwhile; A's finger slides off its button; both lift.
        self.touch('touchStart', keys['KeyA'][:2])
        self.browser.wait_line('frame: A down=1')
        self.touch('touchStart', keys['KeyA'][:2], keys['KeyS'][:2])
        self.touch('touchMove', (keys['KeyA'][0], 5), keys['KeyS'][:2])
        self.browser.wait_line('frame: A down=0')
        self.touch('touchEnd')
        self.browser.wait_line('key up', 2)
        self.assertEqual(self.browser.lines('key '), ['key down 15', 'key down 33', 'key up 15', 'key up 33'])
        self.assertEqual(self.browser.lines('focus lost'), [])


if __name__ == '__main__':
    unittest.main(argv=sys.argv, verbosity=2)
