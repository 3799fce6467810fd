#!/usr/bin/env bash
# Installs the Debian package into a minimal Debian system (mmdebstrap --variant=apt, no
# recommended packages, from this machine's own apt sources) with apt, so that only its Depends
# bring what it needs, and starts it there under Xvfb: the window must come up with the
# system's own libraries, the Wayland platform must be installed and Arial must resolve to
# Liberation Sans, the face the keys are drawn for.
# The base system (with Xvfb, xauth, xdotool and fontconfig's tools to look with) is kept as a
# tarball in ${VELMORA_CACHE:-~/.cache/velmora}; a later run only unpacks it.
# Needs root (chroot, mounts); otherwise, or without mmdebstrap, skipped.
# Arguments: <cpack> <build folder>
set -euo pipefail
cpack=$1 build=$2

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: a chroot needs root"
  exit 77
fi
if ! command -v mmdebstrap >/dev/null; then
  echo "skipped: mmdebstrap is not installed (scripts/install-deps.sh test)"
  exit 77
fi

fail() { echo "FAIL: $*"; exit 1; }
started=$SECONDS
work=$(mktemp -d)
root=$work/root
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

. /etc/os-release
suite=${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [[ -s $file ]] && grep -q '^[^#]' "$file" && sources+=("$file")
done
[[ ${#sources[@]} -gt 0 ]] || fail "no apt sources on this machine"
tools=xvfb,xauth,xdotool,fontconfig
cache=${VELMORA_CACHE:-$HOME/.cache/velmora}
key=$( { echo "$suite $tools"; cat "${sources[@]}"; } | sha256sum | cut -c1-12)
base=$cache/$suite-apt-$key.tar

echo "== base system"
if [[ ! -f $base ]]; then
  mkdir -p "$cache"
  partial=$cache/partial-$key.tar  # mmdebstrap writes a tarball where the name ends in .tar
  # Reading sources from standard input is mmdebstrap's default when that is not a terminal.
  mmdebstrap --variant=apt --mode=root --include="$tools" \
    --aptopt='APT::Install-Recommends "false"' \
    --aptopt='Acquire::Check-Valid-Until "false"' \
    "$suite" "$partial" "${sources[@]}" </dev/null >"$work/mmdebstrap.log" 2>&1 ||
    { tail -30 "$work/mmdebstrap.log"; fail "mmdebstrap"; }
  mv "$partial" "$base"  # complete only once whole
  echo "made $base ($((SECONDS - started)) s)"
else
  echo "cached $base"
fi
mkdir "$root"
tar -C "$root" -xf "$base"

echo "== cpack -G DEB"
"$cpack" -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/deb/velmora_*_amd64.deb)
[[ -f ${debs[0]} ]] || fail "no package made"
cp "${debs[0]}" "$root/tmp/velmora.deb"

for target in dev proc sys; do
  mkdir -p "$root/$target"
  mount --rbind "/$target" "$root/$target"
  mounted+=("$root/$target")
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
inside() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"; }

echo "== apt-get install ./velmora.deb"
inside sh -c 'apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends /tmp/velmora.deb' \
  >"$work/install.log" 2>&1 || { tail -30 "$work/install.log"; fail "apt-get install in the minimal system"; }
for package in qt6-wayland fonts-liberation; do
  inside dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || fail "$package was not brought in"
done

echo "== fonts"
inside fc-list : family | grep -qx 'Liberation Sans' || fail "Liberation Sans is not installed: $(inside fc-list : family | sort -u | tr '\n' ';')"
arial=$(inside fc-match -f '%{family[0]}' 'Arial')
[[ $arial == "Liberation Sans" ]] || fail "Arial resolves to '$arial', not Liberation Sans"
echo "Arial -> $arial"

echo "== the program under Xvfb"
# The window must appear with the minimal system's libraries and plugins; no notification
# area and no session bus there, so the window shows. The server picks its own display number
# (-displayfd): the host's X servers of other tests share the abstract socket namespace with
# the chroot, so a number free by the chroot's lock files may be taken all the same.
inside env HOME=/tmp XDG_RUNTIME_DIR=/tmp DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent sh -c '
  rm -f /tmp/display
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>/tmp/display >/tmp/xvfb.log 2>&1 & server=$!
  for i in $(seq 1 40); do [ -s /tmp/display ] && break; sleep 0.25; done
  [ -s /tmp/display ] || { cat /tmp/xvfb.log; exit 5; }
  export DISPLAY=:$(cat /tmp/display)
  velmora & program=$!
  for i in $(seq 1 40); do
    if xdotool search --onlyvisible --name "^Velmora\$" >/dev/null; then kill $program $server; exit 0; fi
    kill -0 $program 2>/dev/null || { kill $server; exit 3; }
    sleep 0.25
  done
  kill $program $server; exit 4' >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "the installed program showed no window"; }

# And without any display that can start: its own line, status 1.
set +e
message=$(inside env XDG_RUNTIME_DIR=/tmp WAYLAND_DISPLAY=velmora-nobody velmora 2>&1)
status=$?
set -e
[[ $status -eq 1 && $message == "velmora: cannot open a window: no display platform could start"* ]] ||
  fail "without a display: status $status, '$message'"

echo "installed into a minimal $suite and started: $((SECONDS - started)) s"
