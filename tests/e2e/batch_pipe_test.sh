#!/usr/bin/env bash
# The batch command line in a pipe, as people use it: rows in on standard input or from a
# file, CSV out, the exit status, usage errors on standard error; no display anywhere.
#   batch_pipe_test.sh VELMORA_BINARY
set -uo pipefail

velmora=${1:?usage: $0 VELMORA_BINARY}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb  # a window would need a display: the batch must not ask for one

passed=0
failed=0
check() {  # name, condition result
  if [[ $2 == 0 ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $1" >&2
    echo "  stdout: $(head -c 600 "$scratch/out")" >&2
    echo "  stderr: $(head -c 600 "$scratch/err")" >&2
  fi
}
run() {  # input, arguments...
  printf '%b' "$1" | "$velmora" "${@:2}" >"$scratch/out" 2>"$scratch/err"
}

# name | input | arguments | exit status | a line the output holds (GeographicLib's figures)
cases=(
  "inverse km|40.6413 -73.7781 51.47 -0.4543 # JFK-LHR\n|--inverse --unit km|0|40.6413,-73.7781,51.47,-0.4543,JFK-LHR,5554.908791,51.381647858,107.982829056,vincenty,ok"
  "inverse mi from CSV|lat1,lon1,lat2,lon2\n40.6413,-73.7781,51.47,-0.4543\n|--inverse --unit=mi --datum wgs84|0|40.6413,-73.7781,51.47,-0.4543,3451.660298,51.381647858,107.982829056,vincenty,ok"
  "direct|10 20 -30 5000\n|--direct|0|10,20,-30,5000,,46.628191220,-10.868560344,314.288745126,vincenty,ok"
  "a failed row keeps its place|0 0 1 1\n95 0 1 1\n0 0 0.5 179.7\n|--inverse|1|95,0,1,1,,,,,,bad-input:lat1"
  "not settled without --exact|0 0 0.5 179.7\n|--inverse|1|0,0,0.5,179.7,,,,,vincenty,not-settled"
  "exact where not settled|0 0 0.5 179.7\n|--inverse --exact|0|0,0,0.5,179.7,,19944.127421,15.556882793,164.442513891,exact,ok"
  "own ellipsoid|0 0 0 1\n|--inverse --ellipsoid 6378137,298.257223563|0|0,0,0,1,,111.319491,90.000000000,90.000000000,vincenty,ok"
)
for c in "${cases[@]}"; do
  IFS='|' read -r name input args status line <<<"$c"
  # shellcheck disable=SC2086
  run "$input" $args
  code=$?
  [[ $code == "$status" ]] && grep -qxF -- "$line" "$scratch/out"
  check "$name (exit $code)" $?
done

# Usage errors: status 2, one line naming the problem and the usage on standard error, no output.
usage_cases=(
  "--inverse --unit ft"
  "--inverse --direct"
  "--inverse --datum Mars"
  "--inverse --datum sphere --ellipsoid 6378137,298"
  "--direct --ellipsoid 6378137"
  "--inverse --bogus"
  "--inverse --unit"
  "--inverse $scratch/missing.txt"
  "--inverse a.txt b.txt"
)
for args in "${usage_cases[@]}"; do
  # shellcheck disable=SC2086
  run "0 0 1 1\n" $args
  code=$?
  [[ $code == 2 && ! -s $scratch/out ]] && head -n 1 "$scratch/err" | grep -q '^velmora: ' &&
    grep -q -- '--inverse \[options\]' "$scratch/err"
  check "usage error: $args (exit $code)" $?
done

# A file argument, the sphere, nautical miles.
printf 'name,lat,lon,bearing,distance\nquay,0,0,90,100\n' >"$scratch/rows.csv"
"$velmora" --direct --datum SPHERE --unit nmi "$scratch/rows.csv" >"$scratch/out" 2>"$scratch/err"
code=$?
[[ $code == 0 ]] && grep -qx 'name,lat,lon,bearing,distance,lat2,lon2,azi2,method,status' "$scratch/out" &&
  grep -q '^quay,0,0,90,100,0.000000000,1.665.*,sphere,ok$' "$scratch/out"
check "direct from a file (exit $code)" $?

# Many rows stream through: one line out for every line in, the header besides.
rows=200000
awk -v n=$rows 'BEGIN { for (i = 0; i < n; i++) printf "%.4f %.4f %.4f %.4f\n", i % 90, i % 180, -(i % 89) / 3, (i % 179) / 3 }' |
  "$velmora" --inverse >"$scratch/out" 2>"$scratch/err"
code=$?
[[ $code == 0 && $(wc -l <"$scratch/out") == $((rows + 1)) ]] && ! grep -qv ',ok$' <(tail -n +2 "$scratch/out")
check "$rows rows (exit $code)" $?

# The help of both command lines tells of the batch; neither needs a display.
"$velmora" --inverse --help >"$scratch/out" 2>"$scratch/err"
code=$?
[[ $code == 0 ]] && grep -q -- '--unit km|mi|nmi' "$scratch/out"
check "batch help (exit $code)" $?
"$velmora" --help >"$scratch/out" 2>"$scratch/err"
code=$?
[[ $code == 0 ]] && grep -q -- 'velmora --direct' "$scratch/out"
check "program help (exit $code)" $?

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
