#!/usr/bin/env bash
# Runs the frame-pacing benchmark from the existing builds (it builds nothing): the Linux program
# natively and the Windows program under Wine, each printing one labelled block; on request, the web
# row in headless Chromium (bench/web/pacing.py: the web build and the release's web zip, no targets). In idle mode (the
# default) the block ends with the backend's bare frame timer, measured in the same run, and whether
# the engine keeps to its targets against it. The status is that of the runs: 0 when every build ran
# and met its targets, 1 when a target was missed, 2 when a build did not run.
#
#   bench/run.sh [linux] [windows] [web]      (default: linux windows)
#
# The benchmark's own settings pass through from the environment: VANTOR_BENCH_MODE,
# VANTOR_BENCH_FRAMES, VANTOR_BENCH_SLOW_FRAME. Without DISPLAY, an Xvfb of our own is started
# (scripts/lib/display.sh) and stopped at the end. BENCH_TIMEOUT (seconds, default 120) bounds each run;
# BENCH_WINEPREFIX replaces the Wine prefix build/wine-prefix.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
linux_program="$root/build/linux/bench/VantorFramePacing"
windows_program="$root/build/windows/bench/VantorFramePacing.exe"
run_timeout="${BENCH_TIMEOUT:-120}"

builds=("$@")
if [ ${#builds[@]} -eq 0 ]; then
    builds=(linux windows)
fi
for build in "${builds[@]}"; do
    case "$build" in
    linux | windows | web) ;;
    *)
        echo "usage: $0 [linux] [windows] [web]" >&2
        exit 2
        ;;
    esac
done

source "$root/scripts/lib/display.sh"
work="$(mktemp -d)"
cleanup() {
    stop_displays
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs one build's program and prints its block; "$@" is the command line.
run_block() {
    local label="$1"
    shift
    echo "== $label =="
    local started=$SECONDS
    timeout -k 10 "$run_timeout" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    cat "$work/out"
    # A run that printed its figures but did not end means the close request went astray.
    if [ $status -eq 124 ] || [ $status -eq 137 ]; then
        echo "(timed out after ${run_timeout} s)"
    elif [ $status -ne 0 ]; then
        echo "(exit status $status)"
    fi
    if ! grep -q '^frames:' "$work/out"; then
        echo "(no figures; standard error follows)"
        tail -n 20 "$work/err"
    fi
    if ! grep -q '^frames:' "$work/out" || { [ $status -ne 0 ] && [ $status -ne 1 ]; }; then
        not_run=1
    elif [ $status -eq 1 ]; then
        missed=1
    fi
    echo "(ran $((SECONDS - started)) s)"
    echo
}

if [ -z "${DISPLAY:-}" ]; then
    start_display || exit 2
    export DISPLAY=$started_display
fi

missed=0 not_run=0
for build in "${builds[@]}"; do
    case "$build" in
    linux)
        if [ -x "$linux_program" ]; then
            run_block "Linux ($linux_program, DISPLAY=$DISPLAY)" "$linux_program"
        else
            echo "== Linux: $linux_program not built (cmake --preset linux && cmake --build build/linux) =="
            echo
            not_run=1
        fi
        ;;
    windows)
        if [ ! -f "$windows_program" ]; then
            echo "== Windows: $windows_program not built (cmake --preset windows && cmake --build build/windows) =="
            echo
            not_run=1
            continue
        fi
        if ! command -v wine >/dev/null; then
            echo "== Windows: wine is not installed =="
            echo
            not_run=1
            continue
        fi
        # Every Wine program of one prefix shares a desktop, where the close request looks for the
        # window by class name: a test run under the same prefix at the same time can take it.
        if ! make_wine_prefix "${BENCH_WINEPREFIX:-$root/build/wine-prefix}"; then
            not_run=1
            continue
        fi
        run_block "Windows under Wine ($windows_program, DISPLAY=$DISPLAY)" wine "$windows_program"
        # The prefix's server lingers a few seconds; let it go before our display does.
        timeout 30 wineserver -w 2>/dev/null
        ;;
    web)
        echo "== Web in headless Chromium =="
        /usr/bin/python3 "$root/bench/web/pacing.py" || not_run=1
        echo
        ;;
    esac
done

if [ $not_run -ne 0 ]; then
    exit 2
fi
exit $missed
