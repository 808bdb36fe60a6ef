#!/usr/bin/env bash
# Installs the already built tree into a staged prefix and checks what a user
# gets: exactly the expected files with their modes, a program that runs, a
# manual page man can show, the desktop entry and every icon size.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin install
data=$DRIVE_DATA
start=$SECONDS

build=$(dirname "$DRIVE_BIN")
[[ -f $build/cmake_install.cmake ]] || drive_fail "no configured build folder beside $DRIVE_BIN"
for tool in cmake man; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 0
  fi
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || drive_fail "no project version in $build/CMakeCache.txt"

# Whatever the building user's umask, the installed files are world-readable.
umask 077
dest=$data/dest
prefix=/opt/vexor-test
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >"$data/install.log" 2>&1 ||
  { cat "$data/install.log" >&2; drive_fail "cmake --install failed"; }
top=$dest$prefix
# Nothing may land outside the prefix.
outside=$(cd "$dest" && find . -path ".$prefix" -prune -o -print | grep -vx -e . -e ./opt)
[[ -z $outside ]] || drive_fail "installed outside the prefix: $outside"

sizes=(16 22 24 32 48 64 128 256)

expected=(
  "755 bin/vexor"
  "644 share/applications/vexor.desktop"
  "644 share/doc/vexor/changelog.gz"
  "644 share/doc/vexor/copyright"
  "644 share/man/man1/vexor.1.gz"
)
expected+=("644 share/icons/hicolor/scalable/apps/vexor.svg")
for n in "${sizes[@]}"; do expected+=("644 share/icons/hicolor/${n}x$n/apps/vexor.png"); done
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort -k2)
got=$(cd "$top" && find . -type f -printf '%m %P\n' | LC_ALL=C sort -k2)
[[ $got == "$want" ]] || drive_fail "installed files differ:
$(diff <(echo "$want") <(echo "$got"))"
other=$(cd "$top" && find . ! -type f ! -type d -printf '%P\n')
[[ -z $other ]] || drive_fail "links or other files installed: $other"
baddirs=$(cd "$top" && find . -type d ! -perm 755 -printf '%m %P\n')
[[ -z $baddirs ]] || drive_fail "folders not 755: $baddirs"

out=$("$top/bin/vexor" --version 2>&1) || drive_fail "installed vexor --version failed: $out"
[[ $out == "vexor $version" ]] || drive_fail "installed vexor --version says '$out'"

# The manual page is compressed without a name or time in its header, so
# that two builds give the same bytes.
gzip -t "$top/share/man/man1/vexor.1.gz" || drive_fail "the manual page is no gzip file"
header=$(od -An -tx1 -N8 "$top/share/man/man1/vexor.1.gz" | tr -d ' \n')
[[ $header == 1f8b0800000000* ]] || drive_fail "the manual page's gzip header has a name or time: $header"
page=$(MANWIDTH=80 LC_ALL=C.UTF-8 man -l "$top/share/man/man1/vexor.1.gz" 2>"$data/man.err") ||
  drive_fail "man -l failed: $(cat "$data/man.err")"
[[ $page == *NAME*vexor*SYNOPSIS* ]] || drive_fail "the manual page does not render: $page"
zcat "$top/share/doc/vexor/changelog.gz" | head -n 1 | grep -q "^vexor ($version)" ||
  drive_fail "the changelog's first entry is not version $version"

desktop=$top/share/applications/vexor.desktop
grep -qx 'Exec=vexor %F' "$desktop" || drive_fail "the desktop entry does not start vexor with files"
grep -qx 'Icon=vexor' "$desktop" || drive_fail "the desktop entry names no vexor icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || drive_fail "desktop-file-validate complains"
fi

# PNG sizes from the header: width and height are the big-endian words at 16
# and 20, after the signature and the IHDR chunk's length and type.
grep -q '<svg' "$top/share/icons/hicolor/scalable/apps/vexor.svg" || drive_fail "the scalable icon is no SVG"
for n in "${sizes[@]}"; do
  png=$top/share/icons/hicolor/${n}x$n/apps/vexor.png
  sig=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
  [[ $sig == 89504e470d0a1a0a ]] || drive_fail "${n}x$n icon is no PNG"
  w=$(od -An -tu1 -j16 -N4 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  h=$(od -An -tu1 -j20 -N4 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4}')
  [[ $w == "$n" && $h == "$n" ]] || drive_fail "${n}x$n icon is ${w}x$h"
done

# Installing over an existing installation replaces the files in place.
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >"$data/install.log" 2>&1 ||
  drive_fail "a second install over the first failed"
got2=$(cd "$top" && find . -type f -printf '%m %P\n' | LC_ALL=C sort -k2)
[[ $got2 == "$want" ]] || drive_fail "a second install changed the file list"

echo "install: ok ($((SECONDS - start)) s)"
