#!/usr/bin/env bash
# Builds the WAV fuzzer with clang's libFuzzer and runs it for a while (default 120 s) on the
# corpus. Inputs that crash it go to wav-regressions/, which the unit tests replay on every run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-120}
mkdir -p build/fuzz build/fuzz/wav-corpus
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. $(sdl2-config --cflags) \
    Host/Bitmap.cpp Host/Wave.cpp Sdl/CSdlPlatform.cpp Sdl/FrameTimer.cpp tests/fuzz/WavFuzzer.cpp $(sdl2-config --libs) \
    -o build/fuzz/WavFuzzer
cp -n tests/fuzz/wav-corpus/* build/fuzz/wav-corpus/ 2>/dev/null || true
build/fuzz/WavFuzzer -max_total_time="$seconds" -malloc_limit_mb=512 -timeout=5 \
    -artifact_prefix=tests/fuzz/wav-regressions/ build/fuzz/wav-corpus tests/fuzz/wav-regressions
