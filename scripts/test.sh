#!/usr/bin/env bash
# Builds everything (Linux, Linux with sanitizers, Windows, web) and runs every test of every build.
# Installs what it needs, and brings its own virtual display and Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-packages.sh test
jobs=$(nproc)

# Virtual displays of our own, one for each group of tests that runs at the same time.
source scripts/lib/display.sh
displays=()
trap 'stop_displays; [ -n "${wineserver_started:-}" ] && wineserver -k 2>/dev/null; true' EXIT
start_display displays

# A Wine prefix of our own, made once (on the first display).
export DISPLAY=${displays[0]}
make_wine_prefix "$root/build/wine-prefix"

step() { printf '\n== %s (%ss)\n' "$*" "$SECONDS"; }

step "Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows --parallel "$jobs"

step "Linux build"
cmake --preset linux -DVANTOR_WINDOWS_BUILD_DIR="$root/build/windows" >/dev/null
cmake --build --preset linux --parallel "$jobs"

step "Linux build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan --parallel "$jobs"

step "Web build (Emscripten)"
cmake --preset web >/dev/null
cmake --build --preset web --parallel "$jobs"

# The release artefacts, made as a player downloads them; checked with the tests.
step "Release builds (scripts/release.sh)"
scripts/release.sh

# The test groups run side by side, each on a display of its own, with one wineserver kept up for
# every Wine run. CTest runs the display-free tests of a group in parallel too. The two whole games
# (some 50 s each) have a display each; the shorter groups share the other two, one after another.
step "Tests"
for _ in 1 2 3; do start_display displays; done
wineserver -p && wineserver_started=1
# Wine's background services start with the first program and keep its output open; started here,
# they hold nothing that CTest waits on.
wineboot </dev/null >/dev/null 2>&1
logs=$(mktemp -d)
group() { # name display command...
    local name=$1 display=$2
    shift 2
    if DISPLAY=$display "$@" >"$logs/$name" 2>&1; then
        echo "passed: $name ($SECONDS s)" >>"$logs/$name"
    else
        echo "FAILED: $name" >>"$logs/$name"
    fi
}
names=(linux game-windows linux-asan wine-rest windows release web reproducible)
# Waited for by their ids: a bare wait would wait for the displays too.
groups=()
group linux "${displays[0]}" ctest --preset linux -LE wine --parallel "$jobs" & groups+=($!)
group game-windows "${displays[1]}" ctest --preset linux -R '^game-windows$' & groups+=($!)
{
    group linux-asan "${displays[2]}" ctest --preset linux-asan --parallel "$jobs"
    group wine-rest "${displays[2]}" ctest --preset linux -L wine -E '^game-windows$'
} & groups+=($!)
{
    group windows "${displays[3]}" ctest --preset windows --parallel "$jobs"
    # The artefacts' names and contents, and both programs started from where they unpack.
    group release "${displays[3]}" tests/release/check.sh "$root/build/linux/tests/e2e/VantorEndToEndTests"
} & groups+=($!)
# The release built again from a copy of the tree and compared byte for byte: below the tests, but
# not so far below that it waits for all of them (its configure and link steps use one core only).
group reproducible "${displays[0]}" nice -n 10 tests/release/reproducible.sh & groups+=($!)
# The web build in headless Chromium, which needs no display; the whole game by touch on the release's
# page is the longest.
# Its waits have deadlines, not timings: it yields the processor to the desktop cases that count frames.
group web "" nice -n 5 ctest --preset web --parallel 3 & groups+=($!)
wait "${groups[@]}"
failed=0
for name in "${names[@]}"; do
    printf '\n== Tests: %s\n' "$name"
    cat "$logs/$name"
    grep -q '^passed: ' "$logs/$name" || failed=1
done
rm -rf "$logs"
[ "$failed" -eq 0 ] || { echo "Some tests failed" >&2; exit 1; }
step "All tests passed"
