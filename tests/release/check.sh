#!/usr/bin/env bash
# Checks the release artefacts in dist/ as a player gets them: the names carry the version, the
# contents are exactly the listed files, the Debian and AppStream tools accept the package, the
# .exe's resources and manifest, both desktop programs started from where they were unpacked (the
# Release case of tests/e2e, run by the driver given), and the installer under Wine (installer.sh);
# the web zip is played by tests/web.
#   check.sh <VantorEndToEndTests>     after scripts/release.sh; needs DISPLAY and WINEPREFIX
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(Vantor VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip=dist/Arborath-$version-windows-x64.zip deb=dist/arborath_${version}_amd64.deb web=dist/Arborath-$version-web.zip
setup=dist/Arborath-$version-windows-x64-setup.exe id=org.example.arborath
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "release check failed: $*" >&2; exit 1; }
# The listing of an artefact, against the expected one.
same() { diff -u <(printf '%s\n' "${@:3}" | sort) <(sort <<<"$2") >&2 || fail "$1 holds other files"; }

[ "$(ls dist)" = "$(printf '%s\n' "${deb#dist/}" "${zip#dist/}" "${setup#dist/}" "${web#dist/}" | sort)" ] || fail "dist/ holds $(ls dist)"
data=(Background.bmp BlueWins.bmp "Lucida Console_14.bmp" RedWins.bmp)
same "$zip" "$(unzip -Z1 "$zip" | grep -v '/$')" Arborath/{Arborath.exe,README.txt,LICENSE.txt,THIRD-PARTY-NOTICES.txt} \
    "${data[@]/#/Arborath/Data/}"
same "$web" "$(unzip -Z1 "$web" | grep -v '/$')" Arborath/{index.html,Arborath.js,Arborath.pack,favicon.png} \
    Arborath/{icon-192.png,icon-512.png,manifest.webmanifest,sw.js,LICENSE.txt,THIRD-PARTY-NOTICES.txt}
[ "$(stat -c %s "$web")" -le 1500000 ] || fail "$web is larger than 1.5 MB"
same "$deb" "$(dpkg-deb -c "$deb" | grep -v '^d' | sed 's/^.* \.\/\(.*\)$/\1/; s/ -> .*//')" usr/games/arborath \
    usr/lib/games/arborath/{Arborath,Data} "${data[@]/#/usr/share/games/arborath/}" \
    usr/share/{applications/$id.desktop,metainfo/$id.metainfo.xml} usr/share/lintian/overrides/arborath \
    usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/arborath.png usr/share/man/man6/arborath.6.gz \
    usr/share/doc/arborath/{README.txt,changelog.gz,copyright}

# Dependencies found by dpkg-shlibdeps, not written by hand.
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libsdl2-2.0-0 libstdc++6; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version"
# Every tag lintian has, down to the pedantic and experimental ones, is fixed or overridden.
report=$(lintian --pedantic -E --fail-on error,warning,info,pedantic,experimental "$deb" 2>&1) ||
    { echo "$report" >&2; fail "lintian"; }

root=$scratch/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
# The metadata, and the desktop entry it names by its id.
appstreamcli validate-tree --no-net "$root" || fail "AppStream metadata"
[ "$(readlink "$root/usr/games/arborath")" = ../lib/games/arborath/Arborath ] || fail "launcher is not a relative link"
[ "$(readlink "$root/usr/lib/games/arborath/Data")" = ../../../share/games/arborath ] || fail "Data is not a relative link"
# Installed twice into a root of its own: the same files, and none left after the removal.
system=$scratch/system
mkdir -p "$system"/var/lib/dpkg/{info,updates} && touch "$system/var/lib/dpkg/status"
tree() { (cd "$system" && find . ! -path './var/lib/dpkg/*' -printf '%p %l %s\n' | sort); }
dpkg --root="$system" --force-depends -i "$deb" >/dev/null 2>&1 && first=$(tree)
dpkg --root="$system" --force-depends -i "$deb" >/dev/null 2>&1 && [ "$(tree)" = "$first" ] || fail "a second install"
dpkg --root="$system" -r arborath >/dev/null 2>&1 && [ "$(tree | grep -cv '^\./var')" = 1 ] || fail "the removal left $(tree)"

# The Windows program, unpacked where a path has a space and a non-ASCII letter: an icon and a
# version block of this version, and no DLL but the system's.
exe="$scratch/Spiele Jörg/Arborath/Arborath.exe"
unzip -q "$zip" -d "$scratch/Spiele Jörg"
wrestool -l "$exe" | grep -q 'type=group_icon' || fail "no icon resource"
manifest=$(wrestool -x --raw -t 24 "$exe")
for entry in 'level="asInvoker"' '<dpiAware [^>]*>false<' '<dpiAwareness [^>]*>unaware<' \
             {35138b9a-5d96-4fbd-8e2d-a2440225f93a,4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} \
             {1f676c76-80e1-4239-95bb-83d0f6d0da78,8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}; do
    grep -q "$entry" <<<"$manifest" || fail "the manifest lacks $entry"
done
# Every program vantor_add_program made for Windows (the test command's build) carries its own.
manifests=$(find build/windows -name '*.manifest')
[ -n "$manifests" ] || fail "no programs in build/windows"
while IFS= read -r file; do
    cmp -s <(wrestool -x --raw -t 24 "${file%.manifest}.exe") "$file" || fail "${file%.manifest}.exe lacks its manifest"
done <<<"$manifests"
strings -el "$exe" | grep -qx "$version" || fail "no version $version in the version resource"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$dlls" = "comctl32.dll gdi32.dll kernel32.dll msvcrt.dll opengl32.dll shlwapi.dll user32.dll winmm.dll " ] ||
    fail "the program needs $dlls"
VANTOR_RELEASE_EXE=$exe VANTOR_RELEASE_ROOT=$root "$1" --gtest_filter='Release.*'
tests/release/installer.sh "$setup" "$1" "$root"

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
echo "release artefacts ok: ${zip#dist/} ${setup#dist/} ${deb#dist/} ${web#dist/}"
