#!/usr/bin/env bash
# Checks the release artefacts in dist/ as a player gets them: the names carry the version, the
# contents are exactly the listed files, the Debian tools accept the package, and both programs
# start from where they were unpacked (the Release case of tests/e2e, run by the driver given).
#   check.sh <VantorEndToEndTests>     after scripts/release.sh; needs DISPLAY and WINEPREFIX
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(Vantor VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip=dist/Arborath-$version-windows-x64.zip deb=dist/arborath_${version}_amd64.deb
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "release check failed: $*" >&2; exit 1; }
# The listing of an artefact, against the expected one.
same() { diff -u <(printf '%s\n' "${@:3}" | sort) <(sort <<<"$2") >&2 || fail "$1 holds other files"; }

[ "$(ls dist)" = "$(printf '%s\n' "${deb#dist/}" "${zip#dist/}" | sort)" ] || fail "dist/ holds $(ls dist)"
data=(Background.bmp BlueWins.bmp "Lucida Console_14.bmp" README.md RedWins.bmp)
same "$zip" "$(unzip -Z1 "$zip" | grep -v '/$')" Arborath/{Arborath.exe,README.txt,LICENSE.txt,THIRD-PARTY-NOTICES.txt} \
    "${data[@]/#/Arborath/Data/}"
same "$deb" "$(dpkg-deb -c "$deb" | grep -v '^d' | sed 's/^.* \.\/\(.*\)$/\1/; s/ -> .*//')" usr/games/arborath \
    usr/lib/arborath/Arborath "${data[@]/#/usr/lib/arborath/Data/}" usr/share/applications/arborath.desktop \
    usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/arborath.png usr/share/man/man6/arborath.6.gz \
    usr/share/doc/arborath/{README.txt,changelog.gz,copyright}

# Dependencies found by dpkg-shlibdeps, not written by hand.
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libsdl2-2.0-0 libstdc++6; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version"
report=$(lintian --fail-on error,warning "$deb" 2>&1) || { echo "$report" >&2; fail "lintian"; }

root=$scratch/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/arborath.desktop" || fail "desktop entry"
[ "$(readlink "$root/usr/games/arborath")" = ../lib/arborath/Arborath ] || fail "launcher is not a relative link"

# The Windows program, unpacked where a path has a space and a non-ASCII letter: an icon and a
# version block of this version, and no DLL but the system's.
exe="$scratch/Spiele Jörg/Arborath/Arborath.exe"
unzip -q "$zip" -d "$scratch/Spiele Jörg"
wrestool -l "$exe" | grep -q 'type=group_icon' || fail "no icon resource"
strings -el "$exe" | grep -qx "$version" || fail "no version $version in the version resource"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$dlls" = "comctl32.dll gdi32.dll kernel32.dll msvcrt.dll opengl32.dll shlwapi.dll user32.dll winmm.dll " ] ||
    fail "the program needs $dlls"
VANTOR_RELEASE_EXE=$exe VANTOR_RELEASE_ROOT=$root "$1" --gtest_filter='Release.*'

# A release tree that has built a data file the source no longer has: it does not reach the package.
# Played on a scratch copy of the sources, so that no other build sees the file come and go.
copy=$scratch/stale-source tree=$scratch/stale-tree
mkdir -p "$copy" && tar -c --exclude=./.git --exclude=./build --exclude=./dist . | tar -x -C "$copy"
cmake -S "$copy" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
build() { cmake --build "$tree" --parallel "$(nproc)" --target Arborath >/dev/null 2>&1 || fail "building $tree"; }
build && cp Data/RedWins.bmp "$copy/Data/Stale.bmp" && build
[ -f "$tree/Data/Stale.bmp" ] || fail "the release tree did not take a new data file"
rm "$copy/Data/Stale.bmp" && build
(cd "$tree" && cpack -B "$scratch/cpack" >/dev/null 2>&1)
[[ $(dpkg-deb -c "$scratch"/cpack/*.deb) != *Data/Stale.bmp* ]] || fail "stale data file in the package"
echo "release artefacts ok: ${zip#dist/} ${deb#dist/}"
