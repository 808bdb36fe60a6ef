#!/usr/bin/env bash
# Builds the Debian package from the already built tree and checks it: the
# exact file list with owners and modes, the control fields, lintian; then,
# as root with debootstrap and a reachable mirror, installs it with apt-get
# into a fresh minimal Debian 12 and runs it there.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin deb
data=$DRIVE_DATA
start=$SECONDS

build=$(dirname "$DRIVE_BIN")
[[ -f $build/CPackConfig.cmake ]] || drive_fail "no configured build folder beside $DRIVE_BIN"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh test)"
    exit 0
  fi
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb=$data/pkg/vexor_${version}_$arch.deb

# The staging folders are made under a strict umask: the package must still
# hold folders everyone can read.
(umask 077 && cpack --config "$build/CPackConfig.cmake" -B "$data/pkg" \
  -D CPACK_PACKAGING_INSTALL_PREFIX=/usr) >"$data/cpack.log" 2>&1 ||
  { cat "$data/cpack.log" >&2; drive_fail "cpack failed"; }
[[ -f $deb ]] || drive_fail "no $deb; cpack made: $(ls "$data/pkg")"
echo "package built in $((SECONDS - start)) s"

dirs=(./usr/ ./usr/bin/ ./usr/share/ ./usr/share/applications/ ./usr/share/doc/ ./usr/share/doc/vexor/
  ./usr/share/man/ ./usr/share/man/man1/)
files=("-rwxr-xr-x ./usr/bin/vexor" "-rw-r--r-- ./usr/share/applications/vexor.desktop"
  "-rw-r--r-- ./usr/share/doc/vexor/changelog.gz" "-rw-r--r-- ./usr/share/doc/vexor/copyright"
  "-rw-r--r-- ./usr/share/man/man1/vexor.1.gz")
h=./usr/share/icons/hicolor
dirs+=(./usr/share/icons/ "$h/" "$h/scalable/" "$h/scalable/apps/")
files+=("-rw-r--r-- $h/scalable/apps/vexor.svg")
for n in 16 22 24 32 48 64 128 256; do
  dirs+=("$h/${n}x$n/" "$h/${n}x$n/apps/")
  files+=("-rw-r--r-- $h/${n}x$n/apps/vexor.png")
done
want=$({
  for d in "${dirs[@]}"; do echo "drwxr-xr-x root/root $d"; done
  for f in "${files[@]}"; do echo "${f% *} root/root ${f#* }"; done
} | LC_ALL=C sort -k3)
got=$(dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' | LC_ALL=C sort -k3)
[[ $got == "$want" ]] || drive_fail "the package's files differ:
$(diff <(echo "$want") <(echo "$got"))"

# Every file is in md5sums, and the sums hold.
dpkg-deb -e "$deb" "$data/control"
dpkg-deb -x "$deb" "$data/root"
(cd "$data/root" && md5sum -c --quiet "$data/control/md5sums") || drive_fail "md5sums do not match the files"
[[ $(wc -l <"$data/control/md5sums") == "${#files[@]}" ]] || drive_fail "md5sums does not list every file"
file_type=$(file -b "$data/root/usr/bin/vexor" 2>/dev/null || true)
[[ -z $file_type || $file_type == *", stripped"* ]] || drive_fail "the program is not stripped: $file_type"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == vexor && $(field Version) == "$version" && $(field Architecture) == "$arch" ]] ||
  drive_fail "name, version or architecture wrong: $(field Package) $(field Version) $(field Architecture)"
[[ $(field Section) == editors && $(field Priority) == optional ]] || drive_fail "section or priority wrong"
[[ -n $(field Maintainer) && -n $(field Description) ]] || drive_fail "no maintainer or description"
depends=$(field Depends)
for lib in libc6 libstdc++6 libx11-6 libxext6 libfreetype6; do
  [[ ", $depends," == *", $lib "* || ", $depends," == *", $lib,"* ]] || drive_fail "Depends lacks $lib: $depends"
done
[[ $depends == *fonts-dejavu-core* ]] || drive_fail "Depends names no font: $depends"
[[ $(field Recommends) == "fontconfig, libfontconfig1, libcups2, libpulse0" ]] ||
  drive_fail "Recommends is: $(field Recommends)"
# What the program loads at run time is what Recommends brings.
for so in libfontconfig.so.1 libcups.so.2 libpulse-simple.so.0; do
  grep -rqF "$so" "$root/config" "$root/print" "$root/tools" || drive_fail "the program no longer loads $so"
done

lintian -I --tag-display-limit 0 "$deb" >"$data/lintian.log" 2>&1
grep -v 'root privileges' "$data/lintian.log"
! grep -q '^E:' "$data/lintian.log" || drive_fail "lintian reports errors"
echo "checked and linted in $((SECONDS - start)) s"

# A clean Debian 12: only as root, with debootstrap, and with the mirror.
chroot_skip() {
  echo "chroot install skipped: $1"
  echo "deb: ok ($((SECONDS - start)) s)"
  exit 0
}
((EUID == 0)) || chroot_skip "not root"
command -v debootstrap >/dev/null 2>&1 || chroot_skip "debootstrap is not installed"
mirror=$(sed -n 's/^URIs: *\([^ ]*debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}
if command -v curl >/dev/null 2>&1; then
  curl -fsI --max-time 10 "$mirror/dists/bookworm/Release" >/dev/null || chroot_skip "$mirror is not reachable"
else
  wget -q --spider --timeout=10 "$mirror/dists/bookworm/Release" || chroot_skip "$mirror is not reachable"
fi

jail=$data/jail
mounted=()
# shellcheck disable=SC2317  # called through the trap
undo_jail() {
  local m
  for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null; done
  drive_cleanup
  rm -rf --one-file-system "$DRIVE_DATA" "$DRIVE_CONFIG"
}
trap undo_jail EXIT
mark=$SECONDS
debootstrap --variant=minbase bookworm "$jail" "$mirror" >"$data/debootstrap.log" 2>&1 ||
  { tail -n 20 "$data/debootstrap.log" >&2; drive_fail "debootstrap failed"; }
echo "debootstrap took $((SECONDS - mark)) s"
mount -t proc proc "$jail/proc" && mounted+=("$jail/proc")
cp /etc/resolv.conf "$jail/etc/resolv.conf" 2>/dev/null
# No services start inside the folder.
printf '#!/bin/sh\nexit 101\n' >"$jail/usr/sbin/policy-rc.d"
chmod 755 "$jail/usr/sbin/policy-rc.d"
cp "$deb" "$jail/tmp/"
mark=$SECONDS
inside() { chroot "$jail" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
inside apt-get update -q >"$data/apt.log" 2>&1 || { tail -n 20 "$data/apt.log" >&2; drive_fail "apt-get update failed"; }
inside apt-get install -y -q "/tmp/$(basename "$deb")" >>"$data/apt.log" 2>&1 ||
  { tail -n 30 "$data/apt.log" >&2; drive_fail "apt-get install of the package failed"; }
echo "apt-get install took $((SECONDS - mark)) s"
out=$(inside vexor --version 2>&1) || drive_fail "vexor --version failed in the fresh system: $out"
[[ $out == "vexor $version" ]] || drive_fail "vexor --version in the fresh system says '$out'"
for p in fontconfig libfontconfig1 libcups2 libpulse0 fonts-dejavu-core; do
  # shellcheck disable=SC2016  # dpkg-query's own field syntax
  status=$(inside dpkg-query -W -f='${Status}' "$p" 2>/dev/null)
  [[ $status == "install ok installed" ]] || drive_fail "apt-get install did not bring $p"
done
[[ $(inside stat -c %a /usr/share/man/man1/vexor.1.gz) == 644 ]] || drive_fail "manual page mode wrong in the fresh system"
echo "deb: ok ($((SECONDS - start)) s)"
