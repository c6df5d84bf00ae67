#!/usr/bin/env bash
# Builds the BMP fuzzer with clang's libFuzzer and runs it for a while (default 120 s) on the
# corpus. Inputs that crash it go to regressions/, which the unit tests replay on every run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-120}
mkdir -p build/fuzz build/fuzz/corpus
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. $(sdl2-config --cflags) \
    Host/Bitmap.cpp tests/fuzz/BmpFuzzer.cpp $(sdl2-config --libs) -o build/fuzz/BmpFuzzer
cp -n tests/fuzz/corpus/* build/fuzz/corpus/ 2>/dev/null || true
build/fuzz/BmpFuzzer -max_total_time="$seconds" -malloc_limit_mb=512 -timeout=5 \
    -artifact_prefix=tests/fuzz/regressions/ build/fuzz/corpus tests/fuzz/regressions
