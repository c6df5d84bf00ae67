#!/usr/bin/env bash
# The Windows installer as a player runs it, silently, in a Wine prefix of its own: into a folder
# whose name has a space and a non-ASCII letter, the game then started from there (the Release
# case of tests/e2e); the shortcut and the "Apps & features" entry; an upgrade over the installed
# copy; the uninstaller, which leaves the player's own file and its folder, and otherwise all.
#   installer.sh <setup.exe> <VantorEndToEndTests> <unpacked .deb>    needs DISPLAY
set -euo pipefail
setup=$(realpath "$1") driver=$2 root=$3
version=$(sed -n 's/^project(Vantor VERSION \([0-9.]*\) .*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
export LC_ALL=C.UTF-8
# No menu entries on the host's desktop for the shortcut.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
source "$(dirname "$0")/../../scripts/lib/display.sh"
make_wine_prefix "$(mktemp -d)"
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
trap 'echo "installer check failed at line $LINENO" >&2' ERR
fail() { echo "installer check failed: $*" >&2; exit 1; }

folder='C:\Spiele Jörg' unix="$WINEPREFIX/drive_c/Spiele Jörg"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Arborath'
# Runs a program of the prefix and waits for every process it started (the uninstaller runs on
# from a copy of itself).
run() { wine "$@" >/dev/null 2>&1 || fail "$* ended with $?"; wineserver -w; }
# The uninstall entry's values, as reg lists them (in the console's code page, 437 here).
entry() { wine reg query "$key" 2>/dev/null | iconv -f CP437 | tr -d '\r'; }
# The installer takes what follows /D= to the end of its command line, unquoted; Wine would quote
# an argument with a space, so the folder goes as two.
install_to_folder() { run "$setup" /S "/D=${folder% *}" "${folder##* }"; }
shortcuts() { find "$WINEPREFIX/drive_c/users" -name '*.lnk' -path '*Start Menu*' -printf '%f\n'; }
files() { (cd "$unix" && find . -type f | sort | tr '\n' ' '); }
installed=(./Arborath.exe ./Data/Background.bmp ./Data/BlueWins.bmp "./Data/Lucida Console_14.bmp" ./Data/RedWins.bmp
           ./LICENSE.txt ./README.txt ./THIRD-PARTY-NOTICES.txt "./Uninstall Arborath.exe")
expected() { printf '%s\n' "${installed[@]}" "$@" | sort | tr '\n' ' '; }

# The entry and the shortcut, as "Apps & features" and the Start menu show them.
check_installed() {
    [ "$(files)" = "$(expected "$@")" ] || fail "the folder holds $(files)"
    [ "$(shortcuts)" = Arborath.lnk ] || fail "Start-menu shortcuts: $(shortcuts)"
    grep -qa 'Arborath.exe' "$(find "$WINEPREFIX/drive_c/users" -name Arborath.lnk)" || fail "the shortcut's target"
    local values field size bytes
    values=$(entry)
    value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$values"; }
    for field in "DisplayName=Arborath" "DisplayVersion=$version" "Publisher=The Arborath developers" \
                 "DisplayIcon=$folder\\Arborath.exe,0" "InstallLocation=$folder" \
                 "UninstallString=\"$folder\\Uninstall Arborath.exe\"" "NoModify=0x1"; do
        [ "$(value "${field%%=*}")" = "${field#*=}" ] || fail "${field%%=*} is '$(value "${field%%=*}")'"
    done
    size=$(($(value EstimatedSize) * 1024)) bytes=$(($(cd "$unix" && stat -c %s "${installed[@]}" | paste -sd+)))
    ((size >= bytes * 9 / 10 && size <= bytes * 11 / 10)) || fail "EstimatedSize $size for $bytes bytes"
    [ "$(wine reg query "${key%\\*}" | grep -c Arborath)" = 1 ] || fail "more than one entry"
}

install_to_folder
check_installed
VANTOR_RELEASE_EXE="$unix/Arborath.exe" VANTOR_RELEASE_ROOT=$root "$driver" --gtest_filter='Release.*' >/dev/null ||
    fail "the installed game did not start and end well"

# An upgrade over an older copy, where the player has put a screenshot: it goes to the same folder
# (no /D), and replaces the entry and the shortcut.
wine reg add "$key" /v DisplayVersion /d 0.9.0 /f >/dev/null 2>&1
mkdir "$unix/Shots" && echo picture >"$unix/Shots/first.png"
run "$setup" /S
check_installed ./Shots/first.png

run "$unix/Uninstall Arborath.exe" /S
[ "$(files)" = "./Shots/first.png " ] || fail "after the uninstall the folder holds $(files)"
rm -r "$unix/Shots"
install_to_folder
run "$unix/Uninstall Arborath.exe" /S
[ ! -e "$unix" ] || fail "the uninstall left the folder, with $(files)"
[ -z "$(shortcuts)" ] || fail "the uninstall left the shortcut"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall left the entry"
echo "installer ok"
