#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks it with lintian, installs it with apt,
# runs the installed program, checks its files, removes it and checks nothing is left.
# Installing needs root (CI runs the tests as root on a throwaway machine); otherwise skipped.
# Arguments: <cpack> <build folder> <application id> <version text> <icon theme folder of the sources>
set -euo pipefail
cpack=$1 build=$2 app_id=$3 version_text=$4 icon_theme=$5

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: installing the package needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "ok installed"; then
  echo "FAIL: a velmora package is installed already; remove it before this test"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

echo "== cpack -G DEB"
"$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/velmora_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no velmora_<version>_amd64.deb in $(ls "$work")"
deb=${debs[0]}
echo "$(basename "$deb")"

echo "== lintian"
lintian --display-info "$deb" | tee "$work/lintian.log" || true
errors=$(grep -c '^E:' "$work/lintian.log" || true)
warnings=$(grep -c '^W:' "$work/lintian.log" || true)
[[ $errors -eq 0 && $warnings -eq 0 ]] || fail "lintian: $errors errors, $warnings warnings"
! grep -q 'hardening-no-bindnow' "$work/lintian.log" || fail "the program is not linked with -z now"
# What the program loads without linking it: the Wayland platform and the keys' face.
depends=$(dpkg-deb -f "$deb" Depends)
for package in qt6-qpa-plugins qt6-wayland fonts-liberation; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends does not name $package: $depends"
done

echo "== apt-get install"
# apt-get reads the file as its sandbox user; a private temporary folder is not readable to it.
chmod 755 "$work"
# Other apt users on the same machine wait their turn.
flock /tmp/apt.lock env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
  >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }
trap 'flock /tmp/apt.lock apt-get purge -y -q velmora >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mapfile -t installed < <(dpkg -L velmora)

version=$(/usr/bin/velmora --version) || fail "/usr/bin/velmora --version failed"
[[ $version == "Velmora $version_text" ]] || fail "/usr/bin/velmora --version says '$version'"

expected=(
  /usr/bin/velmora
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  /usr/share/man/man1/velmora.1.gz
  /usr/share/doc/velmora/copyright
  /usr/share/doc/velmora/changelog.Debian.gz
)
# Every icon the sources hold, whatever its size.
while IFS= read -r icon; do
  expected+=("/usr/share/icons/hicolor/${icon#"$icon_theme"/}")
done < <(find "$icon_theme" -name 'velmora.*' -type f)
for file in "${expected[@]}"; do
  [[ -f $file ]] || fail "not installed: $file"
done
desktop-file-validate "/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=velmora' "/usr/share/applications/$app_id.desktop" || fail "the menu entry does not run velmora from PATH"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
[[ $(man -w velmora) == /usr/share/man/man1/velmora.1.gz ]] || fail "man does not find velmora(1)"
grep -q '^Format: .*copyright-format/1.0' /usr/share/doc/velmora/copyright || fail "copyright is not machine-readable"

echo "== apt-get purge"
flock /tmp/apt.lock env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q velmora >"$work/purge.log" 2>&1 ||
  { cat "$work/purge.log"; fail "apt-get purge"; }
trap 'rm -rf "$work"' EXIT
! dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "ok installed" || fail "still installed"
for path in "${installed[@]}"; do
  # Shared folders (/usr/share/icons/...) stay; everything of our own must go.
  if [[ -f $path || -L $path ]] || { [[ -d $path && $path == *velmora* ]]; }; then
    fail "left behind: $path"
  fi
done
echo "package built, checked, installed, removed: ${#installed[@]} paths, none left"
