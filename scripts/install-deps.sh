#!/usr/bin/env bash
# Installs from Debian's archive what Velmora needs to build, run and test; a package that is
# already there is left alone, so running it again costs nothing.
set -euo pipefail

packages=(
  # build
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev libxtst-dev libx11-dev libxdamage-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libgeographiclib-dev locales
  g++-mingw-w64-x86-64
  # fuzzing (libFuzzer comes with clang's runtime)
  clang libclang-rt-14-dev
  # running the window and the window tests
  fonts-liberation fonts-dejavu-core xvfb xauth xdotool xclip x11-utils tint2 galculator
)

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
