#!/usr/bin/env bash
# Builds Velmora for 64-bit Windows on Debian with mingw-w64, runs its tests under Wine and
# builds, installs and uninstalls its NSIS installer under Wine.
#
#   scripts/windows.sh [qt|deps|build|test|package|all]     (default: all)
#
# The minimal Qt for Windows is built once from Debian's qt6-base source package and kept
# outside the clone, in $VELMORA_WIN_CACHE (default ~/.cache/velmora), keyed by Qt version;
# VELMORA_WIN_QT names a Qt for Windows (mingw-w64, shared) to use instead.
# Build folders: build-win (program and tests), build-win/deploy (the runnable program folder).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

qt_version=6.4.2
cache_root=${VELMORA_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora}
qt_prefix=$cache_root/qt-$qt_version-mingw64
qt_marker=$qt_prefix/.velmora-complete
if [ -n "${VELMORA_WIN_QT:-}" ]; then  # a Qt for Windows (mingw-w64) made elsewhere
  qt_prefix=$VELMORA_WIN_QT
  qt_marker=
fi
work=$cache_root/work
build=$repo/build-win
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
jobs=${VELMORA_JOBS:-$(nproc)}
triplet=x86_64-w64-mingw32

step_started=0
step_name=
timings=()
step() { # Notes the time the previous step took and announces the next.
  local now; now=$(date +%s)
  if [ -n "$step_name" ]; then timings+=("$(printf '%5d s  %s' $((now - step_started)) "$step_name")"); fi
  step_started=$now
  step_name=${1:-}
  [ -n "$step_name" ] && echo "== windows: $step_name"
  return 0
}

need_packages() { # Installs the Debian packages this script needs when one is missing.
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing ${missing[*]}"
  local sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo flock /tmp/apt.lock apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo flock /tmp/apt.lock \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# The machine's own Debian source entries turned into deb-src entries, in a private apt state
# folder so the machine's apt configuration is left as it is.
write_source_entries() {
  local out=$1 f
  : >"$out/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$out/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$out/sources.list.d/$(basename "$f")"
  done
}

# Unpacks Debian source package $1 (upstream version $2) into $work/src/$1 and prints
# that folder. The package lists are read once per script run.
apt_lists_read=0
fetch_source() {
  local package=$1 version=$2 apt=$work/apt
  local link=$work/src/$package
  if [ -f "$work/src/.unpacked-$package-$version" ] && [ -d "$link/" ]; then echo "$link"; return 0; fi
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$work/src"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list"
    -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
    -o "APT::Sandbox::User=$(id -un)")
  if [ "$apt_lists_read" = 0 ]; then
    rm -f "$apt"/sources.list.d/*
    write_source_entries "$apt"
    flock /tmp/apt.lock apt-get "${opts[@]}" update >&2
    apt_lists_read=1
  fi
  rm -rf "$work/src/$package-$version"* "$link"
  (cd "$work/src" && flock /tmp/apt.lock apt-get "${opts[@]}" source "$package") >&2
  local dir
  dir=$(find "$work/src" -maxdepth 1 -type d -name "$package-$version*" | head -n 1)
  if [ -z "$dir" ]; then
    echo "Debian's source package $package is not version $version any more:" >&2
    ls "$work/src" >&2
    exit 1
  fi
  ln -sfn "$(basename "$dir")" "$link"
  touch "$work/src/.unpacked-$package-$version"
  echo "$link"
}

# The same Qt, prebuilt by this script on another machine and kept beside the clone
# ($VELMORA_WIN_PREBUILT, default ../shared/windows): unpacked into the cache, completed-marker
# and all, when its checksum matches. Returns 1 (build from source) when it is missing or wrong.
prebuilt_dir=${VELMORA_WIN_PREBUILT:-$repo/../shared/windows}
unpack_prebuilt_qt() {
  local archive=$prebuilt_dir/qt-$qt_version-mingw64.tar.xz
  if [ ! -f "$archive" ] || [ ! -f "$archive.sha256" ]; then
    echo "no prebuilt Qt for Windows at $archive: building it from Debian's source"
    return 1
  fi
  if ! (cd "$prebuilt_dir" && sha256sum --quiet -c "$(basename "$archive").sha256"); then
    echo "prebuilt Qt for Windows $archive does not match its checksum: building it from Debian's source"
    return 1
  fi
  echo "prebuilt Qt for Windows: unpacking $archive (checksum matches)"
  rm -rf "$qt_prefix" "$qt_prefix.partial"
  mkdir -p "$qt_prefix.partial"
  tar -xJf "$archive" -C "$qt_prefix.partial"
  if [ ! -f "$qt_prefix.partial/qt-$qt_version-mingw64/.velmora-complete" ]; then
    echo "prebuilt Qt for Windows holds no complete build: building it from Debian's source"
    rm -rf "$qt_prefix.partial"
    return 1
  fi
  mv "$qt_prefix.partial/qt-$qt_version-mingw64" "$qt_prefix"
  rm -rf "$qt_prefix.partial"
  echo "cached Qt for Windows: $qt_prefix"
}

# Configures, builds and installs the smallest Qt the program needs: Core, Gui, Widgets,
# Network (local sockets) and Test, the windows platform plugin and the windows style.
build_qt() {
  if [ -z "$qt_marker" ]; then
    [ -f "$qt_prefix/bin/Qt6Core.dll" ] || { echo "no Qt for Windows in $qt_prefix" >&2; exit 1; }
    echo "Qt for Windows from VELMORA_WIN_QT: $qt_prefix"
    return 0
  fi
  if [ -f "$qt_marker" ]; then echo "cached Qt for Windows: $qt_prefix"; return 0; fi
  # One Qt build at a time: a second run waits for the first and then finds the cache.
  mkdir -p "$work"
  exec 9>"$work/qt-build.lock"
  flock -n 9 || { echo "another Qt build is running; waiting for it ($work/qt-build.lock)"; flock 9; }
  if [ -f "$qt_marker" ]; then echo "cached Qt for Windows: $qt_prefix"; exec 9>&-; return 0; fi
  if unpack_prebuilt_qt; then exec 9>&-; return 0; fi
  need_packages g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    mingw-w64-x86-64-dev qt6-base-dev qt6-base-dev-tools \
    cmake ninja-build dpkg-dev
  local source; source=$(fetch_source qt6-base "$qt_version")
  local qbuild=$work/qtbase-build
  # Qt's configure script with -xplatform alone silently configures a Linux build: the
  # toolchain file is what makes it a Windows one. Debian's tarball lacks wintab (tablet
  # events), and without direct2d qwindows.dll only links with directwrite3 off as well.
  # OpenGL off means its dynamic loader too (INPUT_opengl=no), or qwindows.dll fails to compile.
  local options=(
    -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$qt_prefix"
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    -DFEATURE_network=ON -DFEATURE_localserver=ON -DFEATURE_gui=ON -DFEATURE_widgets=ON
    -DFEATURE_testlib=ON -DFEATURE_style_windows=ON -DFEATURE_style_windowsvista=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_openssl=OFF -DFEATURE_sql_sqlite=OFF
  )
  # An interrupted build goes on where it stopped; changed options reconfigure it in place.
  local stamp; stamp=$qbuild/.velmora-configured-$(printf '%s\n' "$qt_version" "${options[@]}" | md5sum | cut -c1-12)
  if [ ! -f "$stamp" ]; then
    mkdir -p "$qbuild"
    rm -f "$qbuild"/.velmora-configured-*
    cmake -S "$source" -B "$qbuild" -G Ninja "${options[@]}" ||
      { rm -rf "$qbuild"; cmake -S "$source" -B "$qbuild" -G Ninja "${options[@]}"; }
    touch "$stamp"
  fi
  cmake --build "$qbuild" --parallel "$jobs"
  rm -rf "$qt_prefix"
  cmake --install "$qbuild"
  touch "$qt_marker"
  rm -rf "$qbuild"
  exec 9>&-
}

# GoogleTest from Debian's source copy and GeographicLib (the tests' independent distance
# oracle) from Debian's source package, both static, for Windows.
gtest_version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null | sed 's/-[^-]*$//')
geographiclib_version=2.1.2
deps_prefix=$cache_root/deps-mingw64-gtest$gtest_version-geographiclib$geographiclib_version
deps_marker=$deps_prefix/.velmora-complete

build_deps() {
  if [ -f "$deps_marker" ]; then echo "cached test libraries for Windows: $deps_prefix"; return 0; fi
  need_packages googletest dpkg-dev
  rm -rf "$deps_prefix" "$work/gtest-build" "$work/geographiclib-build"
  cmake -S /usr/src/googletest -B "$work/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps_prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
  cmake --build "$work/gtest-build" --parallel "$jobs"
  cmake --install "$work/gtest-build"

  local source; source=$(fetch_source geographiclib "$geographiclib_version")
  cmake -S "$source" -B "$work/geographiclib-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps_prefix" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_DOCUMENTATION=OFF -DBUILD_MANPAGES=OFF -DEXAMPLEDIR= -DCONVERT_WARNINGS_TO_ERRORS=OFF
  cmake --build "$work/geographiclib-build" --parallel "$jobs" --target GeographicLib_STATIC
  # The library and its headers only (installing would need its command-line tools built too).
  mkdir -p "$deps_prefix/include/GeographicLib" "$deps_prefix/lib"
  cp "$source"/include/GeographicLib/*.hpp "$deps_prefix/include/GeographicLib/"
  cp "$(find "$work/geographiclib-build" -name Config.h -path '*GeographicLib*' | head -n 1)" \
    "$deps_prefix/include/GeographicLib/"
  cp "$(find "$work/geographiclib-build" -name 'libGeographicLib*.a' | head -n 1)" "$deps_prefix/lib/libGeographicLib.a"
  rm -rf "$work/gtest-build" "$work/geographiclib-build"
  touch "$deps_marker"
}

# What Linux-only parts of the build are left out of the Windows build, said aloud.
announce_left_out() {
  echo "not built for Windows (Linux-only): benchmarks (no Google Benchmark for Windows here);"
  echo "  the X11 end-to-end, tray and system-calculator tests, the XDG desktop-file tests and"
  echo "  the install-layout check; their Windows counterparts are tests/desktop/win."
}

build_program() {
  need_packages cmake ninja-build ccache qt6-base-dev-tools
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$repo}
  cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt_prefix;$deps_prefix" \
    -DCMAKE_FIND_ROOT_PATH="$qt_prefix;$deps_prefix" \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
    -DVELMORA_WERROR=ON -DVELMORA_BUILD_BENCHMARKS=OFF
  announce_left_out
  cmake --build "$build" --parallel "$jobs"
}

# The DLLs a Windows binary imports, found in the Qt and MinGW folders; system DLLs (not found
# there) are Windows' own.
runtime_dirs() {
  {
    echo "$qt_prefix/bin"
    dirname "$("$triplet-g++-posix" -print-file-name=libstdc++-6.dll)"
    dirname "$("$triplet-gcc-posix" -print-file-name=libwinpthread-1.dll)"
    echo "/usr/$triplet/lib"
  } | awk '!seen[$0]++'
}

imported_dlls() {
  "$triplet-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Copies velmora.exe with every DLL it needs and the windows platform and style plugins into
# a folder of its own, the way windeployqt lays it out.
deploy() {
  local out=$build/deploy
  rm -rf "$out"
  mkdir -p "$out/platforms" "$out/styles"
  cp "$build/src/app/velmora.exe" "$out/"
  cp "$qt_prefix/plugins/platforms/qwindows.dll" "$out/platforms/"
  cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"
  local -a queue=("$out/velmora.exe" "$out/platforms/qwindows.dll" "$out/styles/qwindowsvistastyle.dll")
  local -a dirs; mapfile -t dirs < <(runtime_dirs)
  while [ ${#queue[@]} -gt 0 ]; do
    local file=${queue[0]}; queue=("${queue[@]:1}")
    local dll
    while read -r dll; do
      [ -e "$out/$dll" ] && continue
      local d
      for d in "${dirs[@]}"; do
        local candidate; candidate=$(find "$d" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null)
        if [ -n "$candidate" ]; then
          cp "$candidate" "$out/$dll"
          queue+=("$out/$dll")
          break
        fi
      done
    done < <(imported_dlls "$file")
  done
  local f
  for f in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll; do
    [ -e "$out/$f" ] || { echo "deploy: $f missing from $out" >&2; exit 1; }
  done
  echo "deployed: $(du -sh "$out" | cut -f1) in $out"
  ls "$out" "$out/platforms" "$out/styles"
}

# --- Wine: a private X server, prefix and home, one persistent wineserver ------------------
wine_root=$build/wine
xvfb_pid=
wine_started=0

stop_wine() {
  if [ "$wine_started" = 1 ]; then wineserver -k 2>/dev/null || true; wine_started=0; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; xvfb_pid=; fi
}

windows_path() { # Z: is Wine's drive for the Linux root.
  local p; p=$(realpath -m "$1")
  echo "Z:${p//\//\\}"
}

start_wine() {
  need_packages wine wine64 xvfb fonts-liberation fonts-dejavu-core xdotool imagemagick
  mkdir -p "$wine_root/home" "$wine_root/fonts"
  local fifo=$wine_root/display
  rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number; read -r number <"$fifo"; rm -f "$fifo"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; exit 1; }
  trap stop_wine EXIT
  export DISPLAY=:$number
  export WINEPREFIX=$wine_root/prefix
  export HOME=$wine_root/home          # Wine links the prefix's Desktop to $HOME
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"  # no Mono/Gecko prompts, no host menu entries
  # Wine hands the host's QT_* variables to no Windows program; WINEQT_FOO arrives as QT_FOO.
  export WINEQT_QPA_PLATFORM=offscreen
  export WINEQT_FORCE_STDERR_LOGGING=1    # Qt Test reports to stderr, not OutputDebugString
  local font
  for font in /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf; do
    [ -e "$font" ] && ln -sf "$font" "$wine_root/fonts/"
  done
  WINEQT_QPA_FONTDIR=$(windows_path "$wine_root/fonts"); export WINEQT_QPA_FONTDIR
  local path=
  local d; while read -r d; do path+="$(windows_path "$d");"; done < <(runtime_dirs)
  export WINEPATH=${path%;}
  # A server an interrupted run left behind still talks to that run's X server, which is gone.
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p                        # one server for the whole run
  wine_started=1
  wine cmd /c exit                     # warm-up: the first program of a run may hang otherwise
  # The prefix has no Arial: Liberation Sans (same metrics) stands in for it.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
}

run_tests() {
  local junit=$build/ctest-windows.xml
  local status=0
  ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 --output-junit "$junit" || status=1
  # A test that skips itself passes as far as ctest is concerned; its output says otherwise.
  local skipped
  skipped=$(grep -E -c '^SKIP   :|\[  SKIPPED \]|status="(skipped|disabled)"' "$junit" || true)
  if [ "$skipped" != 0 ]; then
    grep -E '^SKIP   :|\[  SKIPPED \]|status="(skipped|disabled)"' "$junit" >&2
    echo "$skipped skipped test(s) under Wine: every Windows test must run" >&2
    status=1
  fi
  return "$status"
}

# --- The installer ---------------------------------------------------------------------------
reg_value_exists() { # key value
  wine reg query "$1" /v "$2" >/dev/null 2>&1
}

package_and_try_installer() {
  need_packages nsis
  rm -f "$build"/Velmora-*-win64.exe
  (cd "$build" && cpack -G NSIS)
  local installer; installer=$(ls "$build"/Velmora-*-win64.exe)
  echo "installer: $(du -h "$installer" | cut -f1) $installer"

  local program_files="$WINEPREFIX/drive_c/Program Files/Velmora"
  # All users' Start menu when installed with administrator rights (as under Wine), else the user's.
  start_menu_folders() { find "$WINEPREFIX/drive_c" -type d -path '*/Start Menu/Programs/Velmora' 2>/dev/null; }
  local run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
  local uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
  wine "$(windows_path "$installer")" /S
  [ -f "$program_files/velmora.exe" ] || { echo "installer: no velmora.exe in Program Files" >&2; return 1; }
  [ -f "$program_files/platforms/qwindows.dll" ] || { echo "installer: no platform plugin" >&2; return 1; }
  local start_menu; start_menu=$(start_menu_folders | head -n 1)
  [ -f "$start_menu/Velmora.lnk" ] || { echo "installer: no Start-menu shortcut" >&2; return 1; }
  echo "installed: $program_files, $start_menu/Velmora.lnk"

  # Started from where it was installed, with the real windows platform: its window appears.
  env -u WINEQT_QPA_PLATFORM wine "C:\\Program Files\\Velmora\\velmora.exe" >/dev/null 2>&1 &
  local pid=$! window=
  for _ in $(seq 1 60); do
    window=$(xdotool search --name '^Velmora' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || { echo "installed program: no window" >&2; kill "$pid"; return 1; }
  echo "installed program shows its window"
  # The program ticks automatic start-up itself; the uninstaller must take that value away.
  wine reg add "$run_key" /v velmora /t REG_SZ /d '"C:\Program Files\Velmora\velmora.exe"' /f >/dev/null
  wine taskkill /f /im velmora.exe >/dev/null 2>&1 || true
  wait "$pid" 2>/dev/null || true

  wine "C:\\Program Files\\Velmora\\Uninstall.exe" /S
  # The NSIS uninstaller copies itself elsewhere and returns at once; wait for it to finish.
  for _ in $(seq 1 60); do [ -e "$program_files" ] || break; sleep 0.5; done
  local left=0
  [ ! -e "$program_files" ] || { echo "uninstall left: $(find "$program_files")" >&2; left=1; }
  [ -z "$(start_menu_folders)" ] || { echo "uninstall left the Start-menu folder" >&2; left=1; }
  reg_value_exists "$run_key" velmora && { echo "uninstall left the Run value" >&2; left=1; }
  wine reg query "$uninstall_key" >/dev/null 2>&1 && { echo "uninstall left its registry key" >&2; left=1; }
  wine reg query 'HKLM\Software\The Velmora developers' >/dev/null 2>&1 && { echo "uninstall left the vendor key" >&2; left=1; }
  [ "$left" = 0 ] || return 1
  echo "silent install, start and silent uninstall: nothing left behind"
}

main() {
  local what=${1:-all} status=0
  case $what in
    qt) step "Qt $qt_version for Windows"; build_qt ;;
    deps) step "GoogleTest and GeographicLib for Windows"; build_deps ;;
    build|test|package|all)
      step "Qt $qt_version for Windows"; build_qt
      step "GoogleTest and GeographicLib for Windows"; build_deps
      step "Velmora for Windows"; build_program
      step "deploy"; deploy
      if [ "$what" != build ]; then
        step "Wine (private display, prefix and home)"; start_wine
        if [ "$what" != package ]; then step "tests under Wine"; run_tests || status=1; fi
        if [ "$what" != test ]; then step "installer under Wine"; package_and_try_installer || status=1; fi
        stop_wine
      fi
      ;;
    *) echo "usage: $0 [qt|deps|build|test|package|all]" >&2; exit 2 ;;
  esac
  step
  echo "== windows: times"
  printf '%s\n' "${timings[@]}"
  if [ "$status" != 0 ]; then echo "== windows: FAILED (see above)"; else echo "== windows: all passed"; fi
  return "$status"
}

main "$@"
