#!/usr/bin/env bash
# Makes what a player downloads, into dist/: the Windows installer and zip (MinGW-w64 build), the
# Debian package (SDL2 build) and the web page's zip (Emscripten build), each from a release build
# tree of its own in build/release-*.
# The same commit gives the same bytes wherever and whenever it is built: file times are the last
# commit's (SOURCE_DATE_EPOCH, when not given), and the programs hold no path of the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if ! scripts/install-packages.sh release; then
    echo "release.sh: the build and packaging tools are missing and could not be installed (see above)." >&2
    echo "Install them as root with: scripts/install-packages.sh release" >&2
    exit 1
fi
jobs=$(nproc)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)}
# Zip times are local times; a builder's umask would reach the modes of the package's folders.
export TZ=UTC LC_ALL=C.UTF-8
umask 022

# Builds the game in the tree $1 (configured with the rest of the arguments) and packs it there.
release() {
    local tree=$root/build/release-$1
    shift
    cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
    # Only the game and what it installs, not the tests of the tree.
    cmake --build "$tree" --parallel "$jobs" --target Arborath
    rm -rf "$tree/cpack"
    (cd "$tree" && cpack -B "$tree/cpack" >"$tree/cpack.log" 2>&1) || { cat "$tree/cpack.log" >&2; exit 1; }
}

# Debian's hardening flags, all of them, as a Debian package build would use them (with the tree's
# path mapped to ".").
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags=$(dpkg-buildflags --get CPPFLAGS)
release linux -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $flags" \
              -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $flags" \
              -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
release windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
                -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root=." -DCMAKE_C_FLAGS="-ffile-prefix-map=$root=."

# The web page: one folder, Arborath, holding the page (index.html), its program and pack (the
# WebAssembly and the Data files, compressed), the icons, the web app manifest, the service worker
# that keeps the page for offline play (its cache named by the version), the licence and the notices;
# it plays from any static web server. Files are stamped with SOURCE_DATE_EPOCH and zipped in a fixed
# order, so the same sources give the same zip.
web=$root/build/release-web
NODE_PATH=/usr/share/nodejs cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build "$web" --parallel "$jobs" --target Arborath
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$web/CMakeCache.txt")
rm -rf "$web/zip"
python3 Web/pack_page.py release "$web" Arborath "$version" "$web/zip/Arborath" "$web/favicon.png" \
    packaging/icons/arborath-192.png=icon-192.png packaging/icons/arborath-512.png=icon-512.png \
    LICENSE=LICENSE.txt packaging/THIRD-PARTY-NOTICES-web.txt=THIRD-PARTY-NOTICES.txt
find "$web/zip" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$web/Arborath-$version-web.zip"
(cd "$web/zip" && find Arborath | LC_ALL=C sort | zip -X -9 -q "$web/Arborath-$version-web.zip" -@)

rm -rf dist
mkdir -p dist
cp build/release-linux/cpack/*.deb build/release-windows/cpack/*-windows-x64{.zip,-setup.exe} dist/
cp "$web/Arborath-$version-web.zip" dist/
ls -l dist
