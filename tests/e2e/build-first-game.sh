#!/usr/bin/env bash
# Builds the first game of the guide for game authors from the guide's own text: its files from
# the code blocks named after them, then its commands as printed, with VANTOR set to this
# repository as the guide has the reader set it. Starting the game is left to the test, which
# watches the window. With "web", the guide's web commands follow in the game's folder, all but the
# last, which serves the page.
#   build-first-game.sh <guide> <repository> <work folder> [web]
set -euo pipefail
guide=$1 repository=$2 work=$3 web=${4:-}
mkdir -p "$work"
cd "$work"
awk -v out="$work" '
    /^```[a-z]+ FirstGame\// { file = out "/" $2; system("mkdir -p \"$(dirname \"" file "\")\""); printf "" > file; next }
    /^```sh first-game$/ { file = out "/steps.sh"; printf "" > file; next }
    /^```sh first-game-web$/ { file = out "/web-steps.sh"; printf "" > file; next }
    /^```/ { if (file != "") close(file); file = ""; next }
    file != "" { print >> file }
' "$guide"
for wanted in FirstGame/CMakeLists.txt FirstGame/FirstGame.cpp steps.sh web-steps.sh; do
    [ -s "$wanted" ] || { echo "The guide has no block for $wanted" >&2; exit 1; }
done
grep -qx '\./build/FirstGame' steps.sh || { echo "The guide's commands no longer start ./build/FirstGame" >&2; exit 1; }
grep -vx '\./build/FirstGame' steps.sh > steps-here.sh
VANTOR=$repository bash -euo pipefail steps-here.sh
[ -n "$web" ] || exit 0
tail -n 1 web-steps.sh | grep -q '^python3 -m http.server' || { echo "The guide's web commands no longer end serving the page" >&2; exit 1; }
head -n -1 web-steps.sh > web-steps-here.sh
cd FirstGame
VANTOR=$repository bash -euo pipefail ../web-steps-here.sh
