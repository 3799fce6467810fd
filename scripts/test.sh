#!/usr/bin/env bash
# Builds Velmora and runs every test: the full build (program, shell and core, warnings as
# errors), the same whole program again under AddressSanitizer + UndefinedBehaviorSanitizer
# with every test, end-to-end ones included, and each fuzz target for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON \
  -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCHMARKS=ON
cmake --build build -j "$jobs"

# -O1 keeps the end-to-end tests within their time limits under the sanitizers.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake --build build-asan -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan_suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
# Every test passes on its first try or fails the run: a test that needs a second one has a
# fault of its own (or finds one) to mend.
echo "== tests: full build"
ctest --test-dir build --output-on-failure -j "$jobs" || status=1
echo "== tests: sanitizer build (whole program)"
ctest --test-dir build-asan --output-on-failure -j "$jobs" || status=1
echo "== fuzzing: each target for 60 s"
# A fixed seed: the same code meets the same inputs in every run; longer runs with fresh seeds
# are scripts/fuzz.sh's own job.
VELMORA_FUZZ_SEED=${VELMORA_FUZZ_SEED:-20261208} scripts/fuzz.sh 60 || status=1
exit $status
