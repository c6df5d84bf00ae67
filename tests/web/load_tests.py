"""The release's web page as it arrives: a first visit over a slow link from a host that compresses
nothing (its size, its progress, a clean console), a visit without a network, and a new release
reaching a player whole. One browser serves every case; each case has a host (an origin) of its own.

    /usr/bin/python3 tests/web/load_tests.py [Loading.test_name ...]"""
import functools
import hashlib
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time
import unittest

import pages

# 10 Mbit/s with 40 ms round trips.
SLOW = {'offline': False, 'latency': 40, 'downloadThroughput': 1250000, 'uploadThroughput': 1250000}
# Every value the progress bar takes, kept by the page from its first script on.
PROGRESS = '''window.__progress = [];
new MutationObserver(records => records.forEach(r => r.target.matches('#loading progress') &&
    __progress.push(r.target.value / r.target.max))).observe(document, {subtree: true, attributes: true,
    attributeFilter: ['value']});'''
# Not the page's: the notices Emscripten's GL emulation writes at every start (no setting removes
# them), the software renderer's notes on itself, the tests' sound counter's deprecated node.
NOT_THE_PAGES = ('WARNING: using emscripten GL emulation. ', 'WARNING: using emscripten GL immediate mode',
                 'GL Driver Message', 'The ScriptProcessorNode is deprecated')


class Host:
    """Serves a folder on a port of its own, counting the bytes it sends and keeping each answer."""

    def __init__(self, folder):
        host = self
        self.sent, self.answers = 0, []

        class Files(http.server.SimpleHTTPRequestHandler):
            def setup(self):
                super().setup()
                write = self.wfile.write
                def counted(data):
                    host.sent += len(data)
                    return write(data)
                self.wfile.write = counted

            def log_request(self, code='-', size='-'):
                host.answers.append((self.path, int(code)))

        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Files, directory=str(folder)))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f'http://127.0.0.1:{self.server.server_address[1]}/'

    def close(self):
        if self.server:
            self.server.shutdown()
            self.server.server_close()
            self.server = None


class Loading(pages.OneBrowser):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.release = pages.unpack(cls.addClassCleanup)
        pages.size(cls.browser, 800, 600)  # where the page shows the picture one to one
        cls.browser.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': PROGRESS})
        cls.browser.driver.execute_cdp_cmd('Network.enable', {})

    def setUp(self):
        self.network(offline=False, latency=0, downloadThroughput=-1, uploadThroughput=-1)
        self.browser.driver.get_log('browser')  # what earlier cases left in the console

    def network(self, **conditions):
        self.browser.driver.execute_cdp_cmd('Network.emulateNetworkConditions', conditions)

    def host(self, folder):
        host = Host(folder)
        self.addCleanup(host.close)
        return host

    def cached(self):
        """Once the service worker runs, the names of the caches it keeps."""
        return self.browser.driver.execute_async_script(
            'const done = arguments[0]; navigator.serviceWorker.ready.then(() => caches.keys()).then(done);')

    def visit(self, host):
        self.browser.driver.get(host.url + 'index.html')
        pages.playing(self.browser)

    def first_visit(self, host):
        self.visit(host)
        self.browser.wait('the offline cache', self.cached)

    def test_a_slow_first_visit_transfers_little_shows_its_progress_and_leaves_no_warning(self):
        host = self.host(self.release)
        self.network(**SLOW)
        self.first_visit(host)
        # Everything the host sent, the service worker's own fetches included.
        self.assertLessEqual(host.sent, 1300000, host.answers)
        self.assertEqual([answer for answer in host.answers if answer[1] >= 400], [])
        progress = self.browser.js('return __progress')
        self.assertLess(progress[0], 0.5, progress)
        self.assertEqual(progress[-1], 1, progress)
        self.assertEqual(progress, sorted(progress))
        complaints = [entry['message'] for entry in self.browser.driver.get_log('browser')
                      if entry['level'] in ('WARNING', 'SEVERE')
                      and not any(notice in entry['message'] for notice in NOT_THE_PAGES)]
        self.assertEqual(complaints, [])

    def test_once_played_the_game_plays_without_a_network(self):
        host = self.host(self.release)
        self.first_visit(host)
        # No network at all: the host is gone too, for the browser's own requests (the worker's update).
        self.network(offline=True, latency=0, downloadThroughput=-1, uploadThroughput=-1)
        host.close()
        self.browser.driver.refresh()
        pages.changes(self.browser, 'S to raise the red efficiency', 's', 20, 155, 230)

    def test_a_new_release_reaches_the_player_whole_by_the_second_visit(self):
        second = self.release.parent / 'second' / 'Arborath'
        shutil.copytree(self.release, second)
        # Every file the page loads first differs from the first release's.
        page = (second / 'index.html').read_text()
        (second / 'index.html').write_text(page.replace('</head>', '<meta name="release" content="2">\n</head>'))
        with open(second / 'Arborath.js', 'a') as script:
            script.write('\nvar VantorRelease = 2;\n')
        subprocess.run([sys.executable, pages.ROOT / 'Web/pack_page.py', 'offline', second, 'Arborath', '2.0.0'],
                       check=True)
        later = time.time() + 1000  # published later: newer file times
        for path in second.rglob('*'):
            os.utime(path, (later, later))
        served = self.release.parent / 'served'
        shutil.copytree(self.release, served)
        host = self.host(served)
        self.first_visit(host)
        shutil.rmtree(served)
        shutil.copytree(second, served)

        release = 'return [!!document.querySelector("meta[name=release]"), typeof VantorRelease !== "undefined"]'
        self.visit(host)
        self.assertEqual(self.browser.js(release), [False, False], 'the first visit after the release mixed them')
        self.browser.wait('the second release to take over', lambda: all(
            name.startswith('Arborath 2.0.0 ') for name in self.cached()))
        self.visit(host)
        self.assertEqual(self.browser.js(release), [True, True])
        names = sorted(path.relative_to(second).as_posix() for path in second.rglob('*') if path.is_file())
        digests = self.browser.driver.execute_async_script('''
        const [names, done] = arguments, hex = d => Array.from(new Uint8Array(d), x => x.toString(16).padStart(2, '0'));
        Promise.all(names.map(name => fetch(name).then(r => r.arrayBuffer()))).then(files => Promise.all(
            files.map(b => crypto.subtle.digest('SHA-256', b).then(d => hex(d).join(''))))).then(done);''', names)
        self.assertEqual(dict(zip(names, digests)), {
            name: hashlib.sha256((second / name).read_bytes()).hexdigest() for name in names})


if __name__ == '__main__':
    unittest.main(argv=sys.argv, verbosity=2)
