#!/usr/bin/env bash
# Builds the native (SDL2) program and starts it on this desktop.
#   play.sh web   builds the web page instead and serves it on this machine: open the address it prints
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = web ]; then
    scripts/install-packages.sh web
    export NODE_PATH=/usr/share/nodejs
    cmake --preset web >/dev/null
    cmake --build --preset web --parallel "$(nproc)" --target Arborath
    # Browsers refuse to start a page's program from file://; any static web server will do.
    port=${PORT:-8000}
    echo "Open http://127.0.0.1:$port/Arborath.html in a browser (Ctrl+C here stops the server)."
    exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
There is no display to open the game's window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run this from a desktop session, or over SSH with X forwarding (ssh -X), or on a virtual display:
    sudo apt-get install -y xvfb && xvfb-run -s '-screen 0 1024x768x24' ./scripts/play.sh
(a virtual display shows nothing on screen; take a look with: import -window root shot.png)
TEXT
    exit 1
fi

scripts/install-packages.sh play
cmake --preset linux >/dev/null
cmake --build --preset linux --parallel "$(nproc)"
exec build/linux/Arborath
