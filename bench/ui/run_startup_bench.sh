#!/usr/bin/env bash
# Start-up time, memory and key latency of Velmora beside a minimal Qt window, each a median
# over fresh processes, in an Xvfb of its own. Builds nothing: pass the build folder.
#
#   bench/ui/run_startup_bench.sh BUILD_DIR [RUNS]   (RUNS: 15 by default; 10 or more for figures to quote)
#
# Start-up is timed from just before the program is started to its window being mapped and
# fully painted; memory is VmRSS at that moment; latency is from a key press to the next
# repaint of the display, over 1,000 keys ("1" "2" "3" Delete, repeated).
# Add galculator for scale with VELMORA_BENCH_GALCULATOR=1 (it must be installed).
# VELMORA_BENCH_SCALE=2 runs both programs at 200 % (QT_SCALE_FACTOR=2, a screen twice as large);
# start-up and memory only.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [RUNS]}
runs=${2:-15}
watch=$build/bench/ui/startup_watch
minimal=$build/bench/ui/minimal_window
velmora=$build/src/app/velmora
keys=1000
scale=${VELMORA_BENCH_SCALE:-1}
[[ $scale == 1 || $scale == 2 ]] || { echo "VELMORA_BENCH_SCALE must be 1 or 2" >&2; exit 2; }
display=16,110,233,20   # the display label, in client pixels, in both programs

for exe in "$watch" "$minimal" "$velmora"; do
  [[ -x $exe ]] || { echo "missing: $exe (build it first)" >&2; exit 2; }
done

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number on fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 $((1024 * scale))x$((768 * scale))x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $scratch/display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
[[ -s $scratch/display ]] || { echo "Xvfb did not start" >&2; exit 1; }

# A private home, so that no auto-start entry or desktop file of the user is read or written.
mkdir -p "$scratch/home/.config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
export DISPLAY=:$(tr -d '\n' <"$scratch/display")
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime
export XDG_DATA_HOME=$scratch/home/.local/share XDG_CACHE_HOME=$scratch/home/.cache
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

# One untimed start of each first, so that both find the fonts and libraries in the page cache.
"$watch" --runs 1 --label warm -- "$minimal" >/dev/null
"$watch" --runs 1 --label warm -- "$velmora" >/dev/null

# Starts alternate between the programs, so that a change in the machine's load while the
# benchmark runs weighs on both alike.
programs=(minimal_window velmora)
declare -A exe_of=([minimal_window]=$minimal [velmora]=$velmora [galculator]=galculator)
if [[ ${VELMORA_BENCH_GALCULATOR:-0} == 1 ]] && command -v galculator >/dev/null; then
  programs+=(galculator)
fi
# galculator talks about its missing configuration file on every start.
quiet() { if [[ $1 == galculator ]]; then "${@:2}" 2>/dev/null; else "${@:2}"; fi; }
for ((i = 0; i < runs; i++)); do
  for p in "${programs[@]}"; do
    quiet "$p" "$watch" --runs 1 --label "$p" -- "${exe_of[$p]}" >>"$scratch/starts"
  done
done
touch "$scratch/keys"
if [[ $scale == 1 ]]; then
  for p in minimal_window velmora; do
    "$watch" --runs 1 --keys "$keys" --display "$display" --label "$p" -- "${exe_of[$p]}" >>"$scratch/keys"
  done
fi

awk -v runs="$runs" -v keys="$keys" -v scale="$scale" '
  function median(list,    n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  FNR == NR { if (!($1 in start)) order[++count] = $1; start[$1] = start[$1] " " $2; rss[$1] = rss[$1] " " $3; next }
  { kmed[$1] = $4; kmax[$1] = $5 }
  END {
    printf "Medians of %d fresh starts each at scale %s; key latency over %d keys\n\n", runs, scale, keys
    printf "%-16s %12s %12s %14s %14s\n", "program", "start (ms)", "RSS (MiB)", "key med (ms)", "key max (ms)"
    for (i = 1; i <= count; i++) {
      p = order[i]; s[p] = median(start[p]); r[p] = median(rss[p])
      printf "%-16s %12.1f %12.1f %14s %14s\n", p, s[p], r[p], (p in kmed) ? kmed[p] : "-", (p in kmax) ? kmax[p] : "-"
    }
    printf "\nvelmora / minimal_window start-up: %.2fx (goal <= 1.25x)\n", s["velmora"] / s["minimal_window"]
    printf "velmora - minimal_window RSS:      %+.1f MiB (goal <= +4.0 MiB)\n", r["velmora"] - r["minimal_window"]
    printf "velmora key-to-repaint median:     %s ms (goal < 2 ms)\n", kmed["velmora"]
  }' "$scratch/starts" "$scratch/keys"
