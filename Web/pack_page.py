"""The files of a web page on the engine, as they travel.

    pack_page.py pack <data list> <program.wasm> <program.js> <out.pack>
        One file holding the program's script, its WebAssembly and its Data files, each compressed
        (deflate, no names or times, so the same input gives the same bytes); the script's file
        becomes the page's loader (Loader.js). 24-bit BMPs are first turned into differences of
        neighbouring pixels, which compress far better; the loader undoes it, and the program reads
        the very bytes of the BMP.
    pack_page.py release <build folder> <program> <version> <out folder> [<extra file>...]
        The page's release folder: the page as index.html, its program and pack, the extra files
        (icons, licences), a web app manifest and the service worker that keeps it all for offline.
    pack_page.py offline <release folder> <program> <version>
        Only the service worker and manifest, over the files the folder holds now.

The data list has one line a file: its source, a tab, its name inside Data.

The pack: "VPK1", the index's length (u32), the index, then the entries' bytes in its order. The
index: the loader's size (u32, already arrived when the pack does, for the progress shown), the
number of entries (u32), and for each its stored size, its size unpacked (both u32), how it was
packed (u8: 0 deflate, 1 a BMP's pixel differences, deflated), its name's length (u16) and name
(UTF-8). The first two entries are the program's script and its WebAssembly, then come the Data
files by their names. All numbers little-endian."""
import base64
import hashlib
import json
import pathlib
import re
import shutil
import struct
import sys
import zlib

DEFLATE, BMP_DIFFERENCES = 0, 1


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return packer.compress(data) + packer.flush()


def bmp_rows(data):
    """Where each row's pixels lie in a 24-bit uncompressed BMP, or None for any other file."""
    if len(data) < 54 or data[:2] != b'BM':
        return None
    offset, header = struct.unpack_from('<II', data, 10)
    width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    if header < 40 or bits != 24 or compression != 0 or width <= 0 or height == 0:
        return None
    stride = (width * 3 + 3) & ~3
    if offset + stride * abs(height) > len(data):
        return None
    return [(offset + row * stride, width * 3) for row in range(abs(height))]


def differences(data, rows):
    """Blue and red less green, then each byte less the same colour's byte of the pixel before (the
    page's Loader.js undoes it)."""
    out = bytearray(data)
    for start, length in rows:
        row = data[start:start + length]
        green = row[1::3]
        mixed = bytearray(row)
        mixed[0::3] = bytes((b - g) & 255 for b, g in zip(row[0::3], green))
        mixed[2::3] = bytes((r - g) & 255 for r, g in zip(row[2::3], green))
        out[start:start + 3] = mixed[:3]
        out[start + 3:start + length] = bytes((a - b) & 255 for a, b in zip(mixed[3:], mixed))
    return bytes(out)


def entry(name, data):
    """The smaller of the plain and the differenced packing."""
    method, stored = DEFLATE, deflate(data)
    rows = bmp_rows(data)
    if rows:
        smaller = deflate(differences(data, rows))
        if len(smaller) < len(stored):
            method, stored = BMP_DIFFERENCES, smaller
    return name, method, len(data), stored


def pack(data_list, wasm, script, out):
    """Packs the program's script, its WebAssembly and its Data files, and puts the page's loader
    (Loader.js, with Screen.js) where the script was: the page asks for the loader, the loader for
    the pack."""
    script, out = pathlib.Path(script), pathlib.Path(out)
    # The page's own scripts: the loader, then the screen (fit, fullscreen, touch buttons), which
    # works while the pack arrives.
    loader = pathlib.Path(__file__).with_name('Loader.js').read_text(encoding='utf-8')
    loader = loader.replace('$PACK', json.dumps(out.name))
    loader = (loader + '\n' + pathlib.Path(__file__).with_name('Screen.js').read_text(encoding='utf-8')).encode('utf-8')
    program = script.read_bytes()
    if program == loader:
        raise SystemExit(f'pack_page.py: {script} is the loader already, not the program\'s script')
    entries = [entry('script', program), entry('program', pathlib.Path(wasm).read_bytes())]
    for line in pathlib.Path(data_list).read_text(encoding='utf-8').splitlines():
        if line:
            source, name = line.split('\t')
            entries.append(entry(name, pathlib.Path(source).read_bytes()))
    index = struct.pack('<II', len(loader), len(entries))
    for name, method, size, stored in entries:
        encoded = name.encode('utf-8')
        index += struct.pack('<IIBH', len(stored), size, method, len(encoded)) + encoded
    write_if_changed(out, b'VPK1' + struct.pack('<I', len(index)) + index + b''.join(stored for *_, stored in entries))
    script.write_bytes(loader)


def write_if_changed(path, data):
    if not path.exists() or path.read_bytes() != data:
        path.write_bytes(data)


def offline(folder, program, version):
    """The manifest, then the service worker holding every other file of the folder with its
    checksum, which the browser checks as it fills the cache; the cache's name is the version
    and a digest of the list, so that two builds of one version never share a cache."""
    folder = pathlib.Path(folder)
    icons = sorted(folder.glob('icon-*.png'), key=lambda p: int(re.sub(r'\D', '', p.name) or 0))
    manifest = {
        'name': program, 'short_name': program, 'start_url': './', 'scope': './', 'display': 'standalone',
        'background_color': '#15181c', 'theme_color': '#15181c',
        'icons': [{'src': icon.name, 'sizes': '{0}x{0}'.format(re.sub(r'\D', '', icon.name)), 'type': 'image/png',
                   'purpose': 'any'} for icon in icons]}
    (folder / 'manifest.webmanifest').write_text(json.dumps(manifest, indent=1) + '\n', encoding='utf-8')
    files = {}
    for path in sorted(p for p in folder.rglob('*') if p.is_file() and p.name != 'sw.js'):
        digest = hashlib.sha256(path.read_bytes()).digest()
        files[path.relative_to(folder).as_posix()] = 'sha256-' + base64.b64encode(digest).decode()
    tag = hashlib.sha256(json.dumps(files, sort_keys=True).encode()).hexdigest()[:12]
    worker = (pathlib.Path(__file__).with_name('OfflineWorker.js').read_text(encoding='utf-8')
              .replace('$CACHE', json.dumps(f'{program} {version} {tag}'))
              .replace('$PROGRAM', json.dumps(program))
              .replace('$FILES', json.dumps(files, indent=1, sort_keys=True)))
    (folder / 'sw.js').write_text(worker, encoding='utf-8')


def release(build, program, version, out, extras):
    build, out = pathlib.Path(build), pathlib.Path(out)
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    page = (build / f'{program}.html').read_text(encoding='utf-8')
    # The manifest link also tells the page that it has a service worker to register.
    if '</head>' not in page:
        raise SystemExit('pack_page.py: the page has no </head>')
    page = page.replace('</head>', '<link rel="manifest" href="manifest.webmanifest">\n</head>', 1)
    (out / 'index.html').write_text(page, encoding='utf-8')
    for name in (f'{program}.js', f'{program}.pack'):
        shutil.copyfile(build / name, out / name)
    for extra in extras:
        source, _, name = extra.partition('=')
        shutil.copyfile(source, out / (name or pathlib.Path(source).name))
    offline(out, program, version)


if __name__ == '__main__':
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == 'pack' and len(arguments) == 4:
        pack(*arguments)
    elif command == 'release' and len(arguments) >= 4:
        release(*arguments[:4], arguments[4:])
    elif command == 'offline' and len(arguments) == 3:
        offline(*arguments)
    else:
        raise SystemExit(__doc__)
