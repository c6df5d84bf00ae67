#!/usr/bin/env bash
# Builds everything (Linux, Linux with sanitizers, Windows) and runs every test of both builds.
# Installs what it needs, and brings its own virtual display and Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-packages.sh test
jobs=$(nproc)

# A virtual display of our own, unless one is given.
if [ -z "${DISPLAY:-}" ]; then
    for number in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    export DISPLAY=":$number"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# A Wine prefix of our own, made once.
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # No .NET or HTML engine: their installers would open dialogs that nobody answers.
    WINEDLLOVERRIDES="mscoree=;mshtml=" timeout 600 wineboot -i >/dev/null 2>&1
    wineserver -w
fi

step() { printf '\n== %s\n' "$*"; }

step "Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows --parallel "$jobs"

step "Linux build"
cmake --preset linux -DVANTOR_WINDOWS_BUILD_DIR="$root/build/windows" >/dev/null
cmake --build --preset linux --parallel "$jobs"

step "Linux build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan --parallel "$jobs"

step "Tests: Linux (and the Windows programs under Wine, driven from Linux)"
ctest --preset linux

step "Tests: Linux with sanitizers"
ctest --preset linux-asan

step "Tests: Windows under Wine"
ctest --preset windows

# The release artefacts, made as a player downloads them and checked from where they unpack.
step "Release: scripts/release.sh, then the artefact checks"
scripts/release.sh
tests/release/check.sh "$root/build/linux/tests/e2e/VantorIntegrationTests"

step "All tests passed"
