# Virtual displays and the Wine prefix, for the scripts that run the programs without a desktop
# (scripts/test.sh, bench/run.sh, and any test group that needs a display). Source it, then:
#
#   start_display [ARRAY]   starts an Xvfb and sets started_display to its name (":N"), also
#                           appended to the array named, if any; the server picks a free number
#                           itself (-displayfd), since others may run these scripts at the same time
#   stop_displays           stops every Xvfb that start_display started (for an EXIT trap)
#   make_wine_prefix DIR    exports WINEPREFIX=DIR and WINEDEBUG=-all, making the prefix first if it
#                           is not there (on DISPLAY, which must be set)

started_display=""
started_xvfbs=()

start_display() {
    local fifo number
    fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    started_xvfbs+=($!)
    if ! read -r -t 30 number <"$fifo"; then
        rm -f "$fifo"
        echo "Xvfb did not start" >&2
        return 1
    fi
    rm -f "$fifo"
    started_display=":$number"
    if [ $# -gt 0 ]; then
        local -n list=$1
        list+=("$started_display")
    fi
}

stop_displays() {
    local pid
    for pid in "${started_xvfbs[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    started_xvfbs=()
}

make_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$WINEPREFIX"
    echo "(making the Wine prefix $WINEPREFIX)" >&2
    # No .NET or HTML engine: their installers would open dialogs that nobody answers.
    if ! WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree=;mshtml=" timeout -k 10 600 wineboot -i >/dev/null 2>&1; then
        echo "wineboot -i failed for $WINEPREFIX" >&2
        return 1
    fi
    timeout 60 wineserver -w
}
