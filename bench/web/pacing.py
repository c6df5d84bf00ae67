"""The web row of the frame-pacing benchmark, in headless Chromium: the idle game and the game's
playing screen, each for BENCH_SECONDS (default 60), with a bare requestAnimationFrame loop measured
in the same page as the limit; then the release's first visit, from a host that compresses nothing,
unthrottled and at 10 Mbit/s with 40 ms round trips (the time to the first frame and the bytes the
page asked for); then the release zip's download sizes. Builds nothing.

    /usr/bin/python3 bench/web/pacing.py [web build folder] [web zip]"""
import os
import pathlib
import shutil
import statistics
import sys
import tempfile
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / 'scripts/lib'))
from browser import Browser, serve  # noqa: E402

BUILD = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / 'build/web')
ZIP = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else max(ROOT.glob('dist/Arborath-*-web.zip')))
SECONDS = float(os.environ.get('BENCH_SECONDS', 60))
LOOP = 'window.__limit = []; (function next(t) { __limit.push(t); requestAnimationFrame(next); })(performance.now());'


def row(label, starts, first=None):
    gaps = [b - a for a, b in zip(starts, starts[1:])][10:]  # the first frames warm the renderer up
    gaps.sort()
    print(f'{label:24} {len(gaps) / sum(gaps) * 1000:7.2f}/s  mean {statistics.mean(gaps):6.2f} ms  '
          f'spread (sd) {statistics.pstdev(gaps):5.2f} ms  p99 {gaps[int(len(gaps) * 0.99) - 1]:6.2f} ms  '
          f'worst {gaps[-1]:6.1f} ms  over 25 ms {sum(g > 25 for g in gaps):3}'
          + (f'  first frame {first:6.0f} ms after navigation' if first is not None else ''))


def measure(label, url):
    browser = Browser()
    try:
        browser.driver.get(url)
        browser.wait('the first frame', lambda: browser.js('return __frames.length'))
        browser.js(LOOP)
        time.sleep(SECONDS)
        frames, limit = browser.js('return [__frames, __limit]')
        row(label, frames, frames[0])
        row(label + ', rAF limit', limit)
    finally:
        browser.close()


def first_visit(label, url, conditions):
    """A first visit in a fresh browser: the first frame after navigation, and the bytes transferred."""
    browser = Browser()
    try:
        browser.driver.execute_cdp_cmd('Network.enable', {})
        browser.driver.execute_cdp_cmd('Network.emulateNetworkConditions', conditions)
        browser.driver.get(url)
        browser.wait('the first frame', lambda: browser.js('return __frames.length'))
        first, sent = browser.js('return [__frames[0], performance.getEntries().reduce((sum, entry) =>'
                                 ' sum + (entry.transferSize || 0), 0)]')
        print(f'{label:24} first frame {first:6.0f} ms after navigation  {sent:9} bytes')
    finally:
        browser.close()


scratch = tempfile.mkdtemp(prefix='vantor-web-bench-')
try:
    with zipfile.ZipFile(ZIP) as archive:
        archive.extractall(scratch)
        sizes = [(info.filename, info.file_size, info.compress_size) for info in archive.infolist() if info.file_size]
    [folder] = pathlib.Path(scratch).iterdir()
    print(f'Web frame pacing, {SECONDS:.0f} s each, {time.strftime("%Y-%m-%d %H:%M")}')
    measure('idle', serve(BUILD / 'bench/web') + 'VantorWebIdle.html')
    measure('playing screen', serve(folder) + 'index.html')
    print()
    first_visit('first visit', serve(folder) + 'index.html',
                {'offline': False, 'latency': 0, 'downloadThroughput': -1, 'uploadThroughput': -1})
    first_visit('first visit, 10 Mbit/s', serve(folder) + 'index.html',
                {'offline': False, 'latency': 40, 'downloadThroughput': 1250000, 'uploadThroughput': 1250000})
    print(f'\n{ZIP.name}: {ZIP.stat().st_size} bytes to download; its files (served uncompressed / in the zip):')
    for name, size, packed in sizes:
        print(f'  {name:40} {size:9} {packed:9}')
finally:
    shutil.rmtree(scratch)
