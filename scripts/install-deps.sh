#!/usr/bin/env bash
# Installs from Debian's archive what Velmora needs; a package that is already there is left
# alone, so running it again costs nothing.
#   install-deps.sh run    building and running the program (scripts/run.sh)
#   install-deps.sh test   that, and everything the tests and benchmarks use (scripts/test.sh)
set -euo pipefail

# Building and running: the compiler, CMake, Qt and X11 headers, GeographicLib (the exact
# solution near antipodes), Qt's Wayland platform, the fonts the window uses.
run_packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev libxtst-dev libx11-dev libgeographiclib-dev qt6-wayland
  fonts-liberation fonts-dejavu-core
)

# Tests and benchmarks only.
test_packages=(
  # test and benchmark libraries, the locale test
  libgtest-dev libgmock-dev libbenchmark-dev libxdamage-dev locales
  # the Windows sources, cross-compiled
  g++-mingw-w64-x86-64
  # the window and end-to-end tests: a virtual X server, a notification area, a calculator
  xvfb xauth xdotool xclip x11-utils tint2 galculator
  # the package and its files: building, checking, installing the .deb
  dpkg-dev file lintian appstream desktop-file-utils man-db
  # the Wayland end-to-end tests: a headless compositor, screenshots, the clipboard, and the
  # virtual keyboard client built from its protocol file
  sway qt6-wayland grim wl-clipboard libwayland-dev libwayland-bin libxkbcommon-dev
  # the window through the accessibility bus (AT-SPI); the D-Bus notification area's watcher
  dbus at-spi2-core python3-pyatspi python3-dbus python3-gi
  # the package installed into a minimal Debian system
  mmdebstrap
  # the picture generator's scalable icon
  qt6-svg-dev
  # the batch benchmark's reference (GeodSolve)
  geographiclib-tools
  # the fuzz targets (libFuzzer comes with clang's runtime)
  clang libclang-rt-14-dev
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

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
