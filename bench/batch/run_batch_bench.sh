#!/usr/bin/env bash
# Velmora's batch command line beside GeographicLib's GeodSolve on the same 100,000 rows:
# wall time (median over fresh processes), rows per second and peak memory, inverse and
# direct, each program writing to /dev/null. Builds nothing: pass the build folder.
#
#   bench/batch/run_batch_bench.sh BUILD_DIR [RUNS] [ROWS]   (RUNS 5, ROWS 100000 by default)
#
# The rows are pseudo-random points over the whole globe with a fixed seed, written with six
# decimals; the direct rows' distances run up to 20,000 km (given to GeodSolve in metres).
# GeodSolve comes with Debian's geographiclib-tools (scripts/install-deps.sh test); peak
# memory is the maximum resident set size that GNU time reports.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [RUNS] [ROWS]}
runs=${2:-5}
rows=${3:-100000}
velmora=$build/src/app/velmora
[[ -x $velmora ]] || { echo "missing: $velmora (build the velmora target first)" >&2; exit 2; }
command -v GeodSolve >/dev/null || { echo "missing: GeodSolve (geographiclib-tools)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "missing: /usr/bin/time (package time)" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

awk -v n="$rows" -v seed=20240611 -v inv="$scratch/inverse.txt" -v dkm="$scratch/direct_km.txt" \
    -v dm="$scratch/direct_m.txt" 'BEGIN {
  srand(seed)
  for (i = 0; i < n; i++) {
    lat1 = 180 * rand() - 90; lon1 = 360 * rand() - 180
    lat2 = 180 * rand() - 90; lon2 = 360 * rand() - 180
    printf "%.6f %.6f %.6f %.6f\n", lat1, lon1, lat2, lon2 > inv
    azi = 360 * rand(); km = 20000 * rand()
    printf "%.6f %.6f %.6f %.6f\n", lat1, lon1, azi, km > dkm
    printf "%.6f %.6f %.6f %.3f\n", lat1, lon1, azi, km * 1000 > dm
  }
}'

# One timed run: "seconds kilobytes" of the command reading the file on standard input.
timed() {
  local file=$1; shift
  /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" <"$file" >/dev/null || true
  tail -n 1 "$scratch/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The first tenth of the inverse rows: velmora's memory must not grow with the rows.
head -n $((rows / 10)) "$scratch/inverse.txt" >"$scratch/inverse_tenth.txt"

# name|file|command...
cases=(
  "velmora --inverse|$scratch/inverse.txt|$velmora --inverse"
  "GeodSolve -i|$scratch/inverse.txt|GeodSolve -i"
  "velmora --direct|$scratch/direct_km.txt|$velmora --direct"
  "GeodSolve|$scratch/direct_m.txt|GeodSolve"
  "velmora --inverse /10|$scratch/inverse_tenth.txt|$velmora --inverse"
)

# One untimed pass each, so that both programs and files are in the page cache; then the
# runs alternate between the programs, so that a change in the machine's load weighs on all.
for c in "${cases[@]}"; do
  IFS='|' read -r name file cmd <<<"$c"
  timed "$file" $cmd >/dev/null
done
for ((r = 0; r < runs; r++)); do
  for i in "${!cases[@]}"; do
    IFS='|' read -r name file cmd <<<"${cases[$i]}"
    timed "$file" $cmd >>"$scratch/case$i"
  done
done

printf '%-22s %8s %10s %12s %14s\n' program rows 'wall (s)' 'rows/s' 'peak RSS (MiB)'
for i in "${!cases[@]}"; do
  IFS='|' read -r name _ _ <<<"${cases[$i]}"
  wall=$(cut -d' ' -f1 "$scratch/case$i" | median)
  kb=$(cut -d' ' -f2 "$scratch/case$i" | median)
  n_rows=$(wc -l <"$(cut -d'|' -f2 <<<"${cases[$i]}")")
  awk -v n="$name" -v w="$wall" -v k="$kb" -v r="$n_rows" \
      'BEGIN { printf "%-22s %8d %10.3f %12.0f %14.1f\n", n, r, w, (w > 0 ? r / w : 0), k / 1024 }'
done
