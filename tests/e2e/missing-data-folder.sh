#!/usr/bin/env bash
# A program that names a data folder that is not there stops the configure step, naming it
# (CMake wraps the message, hence the joined lines).
#   missing-data-folder.sh <first game folder> <repository> <work folder>
set -uo pipefail
first=$1 repository=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
cp "$first/FirstGame.cpp" "$work/"
sed 's/DATA Data/DATA Pictures/' "$first/CMakeLists.txt" > "$work/CMakeLists.txt"
if output=$(cmake -S "$work" -B "$work/build" -DVANTOR_DIR="$repository" 2>&1); then
    echo "configure succeeded without the Pictures folder" >&2
    exit 1
fi
tr -s " \n" "  " <<<"$output" | grep -q "data folder or file Pictures does not exist" || { echo "$output" >&2; exit 1; }
