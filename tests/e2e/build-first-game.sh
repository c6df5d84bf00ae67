#!/usr/bin/env bash
# Builds the first game of the guide for game authors from the guide's own text: its files from
# the code blocks named after them, then its commands as printed, with VANTOR set to this
# repository as the guide has the reader set it. Starting the game is left to the test, which
# watches the window.
#   build-first-game.sh <guide> <repository> <work folder>
set -euo pipefail
guide=$1 repository=$2 work=$3
mkdir -p "$work"
cd "$work"
awk -v out="$work" '
    /^```[a-z]+ FirstGame\// { file = out "/" $2; system("mkdir -p \"$(dirname \"" file "\")\""); printf "" > file; next }
    /^```sh first-game$/ { file = out "/steps.sh"; printf "" > file; next }
    /^```/ { if (file != "") close(file); file = ""; next }
    file != "" { print >> file }
' "$guide"
for wanted in FirstGame/CMakeLists.txt FirstGame/FirstGame.cpp steps.sh; do
    [ -s "$wanted" ] || { echo "The guide has no block for $wanted" >&2; exit 1; }
done
grep -qx '\./build/FirstGame' steps.sh || { echo "The guide's commands no longer start ./build/FirstGame" >&2; exit 1; }
grep -vx '\./build/FirstGame' steps.sh > steps-here.sh
VANTOR=$repository bash -euo pipefail steps-here.sh
