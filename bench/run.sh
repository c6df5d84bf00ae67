#!/usr/bin/env bash
# Runs the frame-pacing benchmark from the existing builds (it builds nothing): the Linux program
# natively and the Windows program under Wine, each printing one labelled block. In idle mode (the
# default) the block ends with the backend's bare frame timer, measured in the same run, and whether
# the engine keeps to its targets against it.
#
#   bench/run.sh [linux] [windows]      (default: both)
#
# The benchmark's own settings pass through from the environment: VANTOR_BENCH_MODE,
# VANTOR_BENCH_FRAMES, VANTOR_BENCH_SLOW_FRAME. Without DISPLAY, an Xvfb of our own is started on a
# free display and stopped at the end. BENCH_TIMEOUT (seconds, default 120) bounds each run;
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
    linux | windows) ;;
    *)
        echo "usage: $0 [linux] [windows]" >&2
        exit 2
        ;;
    esac
done

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb() {
    local display
    for display in $(seq 95 140); do
        # A lock file or socket means the number is taken, possibly by a server another user runs.
        if [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; then
            continue
        fi
        Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        local _
        for _ in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$display" ]; then
                export DISPLAY=":$display"
                return 0
            fi
            if ! kill -0 "$xvfb_pid" 2>/dev/null; then
                break # lost a race for this number: try the next one
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    echo "could not start Xvfb:" >&2
    cat "$work/xvfb.log" >&2 2>/dev/null
    return 1
}

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
    if [ $status -ne 0 ] || ! grep -q '^frames:' "$work/out"; then
        failures=$((failures + 1))
    fi
    echo "(ran $((SECONDS - started)) s)"
    echo
}

if [ -z "${DISPLAY:-}" ]; then
    start_xvfb || exit 1
fi

failures=0
for build in "${builds[@]}"; do
    case "$build" in
    linux)
        if [ -x "$linux_program" ]; then
            run_block "Linux ($linux_program, DISPLAY=$DISPLAY)" "$linux_program"
        else
            echo "== Linux: $linux_program not built (cmake --preset linux && cmake --build build/linux) =="
            echo
            failures=$((failures + 1))
        fi
        ;;
    windows)
        if [ ! -f "$windows_program" ]; then
            echo "== Windows: $windows_program not built (cmake --preset windows && cmake --build build/windows) =="
            echo
            failures=$((failures + 1))
            continue
        fi
        if ! command -v wine >/dev/null; then
            echo "== Windows: wine is not installed =="
            echo
            failures=$((failures + 1))
            continue
        fi
        # Every Wine program of one prefix shares a desktop, where the close request looks for the
        # window by class name: a test run under the same prefix at the same time can take it.
        export WINEPREFIX="${BENCH_WINEPREFIX:-$root/build/wine-prefix}"
        export WINEDEBUG=-all
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "(creating the Wine prefix $WINEPREFIX)" >&2
            timeout -k 10 300 wineboot -i >"$work/wineboot.log" 2>&1 || {
                echo "wineboot -i failed:" >&2
                tail -n 20 "$work/wineboot.log" >&2
            }
            timeout 60 wineserver -w 2>/dev/null
        fi
        run_block "Windows under Wine ($windows_program, DISPLAY=$DISPLAY)" wine "$windows_program"
        # The prefix's server lingers a few seconds; let it go before our display does.
        timeout 30 wineserver -w 2>/dev/null
        ;;
    esac
done

[ $failures -eq 0 ]
