#!/usr/bin/env bash
# Builds Velmora and runs every test: the full build (program, shell and core, warnings as
# errors) and a second, core-only build under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON \
  -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCHMARKS=ON
cmake --build build -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON \
  -DVELMORA_WITH_QT=OFF -DVELMORA_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake --build build-asan -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
echo "== tests: full build"
ctest --test-dir build --output-on-failure -j "$jobs" || status=1
echo "== tests: sanitizer build (core)"
ctest --test-dir build-asan --output-on-failure -j "$jobs" || status=1
exit $status
