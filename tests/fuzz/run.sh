#!/usr/bin/env bash
# Builds a fuzzer (bmp or wav) with clang's libFuzzer and runs it for a while (default 120 s) on
# its corpus. Inputs that crash it go to its regressions folder, which the unit tests replay.
set -euo pipefail
cd "$(dirname "$0")/../.."
kind=${1:?usage: tests/fuzz/run.sh bmp|wav [seconds]} seconds=${2:-120}
case $kind in
bmp) name=Bmp corpus=corpus regressions=regressions sources=() ;;
wav) name=Wav corpus=wav-corpus regressions=wav-regressions
     sources=(Host/Wave.cpp Sdl/CSdlSound.cpp) ;;
*) echo "unknown fuzzer: $kind" >&2; exit 2 ;;
esac
mkdir -p build/fuzz/$corpus
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. $(sdl2-config --cflags) Host/Bitmap.cpp \
    "${sources[@]}" tests/fuzz/${name}Fuzzer.cpp $(sdl2-config --libs) -o build/fuzz/${name}Fuzzer
cp -n tests/fuzz/$corpus/* build/fuzz/$corpus/ 2>/dev/null || true
build/fuzz/${name}Fuzzer -max_total_time="$seconds" -malloc_limit_mb=512 -timeout=5 \
    -artifact_prefix=tests/fuzz/$regressions/ build/fuzz/$corpus tests/fuzz/$regressions
