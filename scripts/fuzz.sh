#!/usr/bin/env bash
# Builds the fuzz targets (clang, build-fuzz/) and runs each for a time, two at a time.
#   scripts/fuzz.sh [seconds per target] [area...]      default: 60 seconds, every area
# Each target grows its corpus in build-fuzz/corpus/<area> from the seeds in fuzz/corpus/<area>
# and leaves what it finds in build-fuzz/findings/<area>/. An input that found a fault belongs,
# once the fault is mended, in fuzz/regressions/<area>/, which ctest replays in every build.
# VELMORA_FUZZ_SEED fixes libFuzzer's seed, so that a short run explores the same inputs each
# time (the test command does this); without it every run draws a new seed.
# Exits non-zero when a target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
areas=("$@")
seed=${VELMORA_FUZZ_SEED:-}
[[ ${#areas[@]} -gt 0 ]] || areas=(number_text coordinate_text position_text distance engine desktop_entry)

CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
  -DVELMORA_WITH_QT=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCHMARKS=OFF -DVELMORA_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" >/dev/null

run() {
  local area=$1
  local out=build-fuzz/findings/$area
  mkdir -p "build-fuzz/corpus/$area" "$out"
  # -rss_limit_mb: the desktop-entry target links Qt, the others are small.
  if build-fuzz/fuzz/fuzz_$area -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 ${seed:+-seed="$seed"} \
       -print_final_stats=1 -dict="fuzz/$area.dict" -artifact_prefix="$out/" \
       "build-fuzz/corpus/$area" "fuzz/corpus/$area" >"$out/log" 2>&1; then
    echo "fuzz_$area: $(grep -a 'DONE' "$out/log" | tail -1)"
  else
    echo "fuzz_$area: FOUND A FAULT, see $out/log and the input in $out/"
    grep -a -E 'invariant broken|runtime error|ERROR: ' "$out/log" | head -3
    return 1
  fi
}

status=0
for ((i = 0; i < ${#areas[@]}; i += 2)); do
  pids=()
  for area in "${areas[@]:i:2}"; do
    run "$area" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
