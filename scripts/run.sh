#!/usr/bin/env bash
# Builds Velmora (Release, in build/) and launches it. Needs a graphical session; without one
# it says how to run the program inside a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run

jobs=$(nproc)
# Only the program: the tests and benchmarks need packages this command does not install.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCHMARKS=OFF
cmake --build build --target velmora -j "$jobs"

program=build/src/app/velmora
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the window cannot open." >&2
  echo "Run it inside a virtual X server instead:" >&2
  echo "    xvfb-run -a $program" >&2
  exit 1
fi
exec "$program"
