#!/usr/bin/env bash
# Writes a fontconfig configuration that knows one font only, by default
# DejaVu Sans Mono from fonts-dejavu-core (scripts/install-deps.sh installs
# it), so that tests see the same font whatever else the machine has:
#
#   scripts/pin-font.sh DIR [FONT]   writes DIR/fonts.conf, prints its path
#
# FONT is a font file, or a file name in the DejaVu folder (DejaVuSans.ttf).
# Use it as FONTCONFIG_FILE=$(scripts/pin-font.sh DIR). Fails when the font
# file is missing.
set -euo pipefail

dir=${1:?usage: pin-font.sh DIR [FONT]}
font=${2:-DejaVuSansMono.ttf}
if [[ $font != */* ]]; then font=/usr/share/fonts/truetype/dejavu/$font; fi
if [[ ! -f $font ]]; then
  echo "pin-font: $font is missing (install fonts-dejavu-core)" >&2
  exit 1
fi
mkdir -p "$dir/fonts" "$dir/cache"
dir=$(cd "$dir" && pwd)
# fontconfig reads folders, not single files: a folder holding only a link
# to the font.
rm -f "$dir"/fonts/*
ln -s "$font" "$dir/fonts/${font##*/}"
cat >"$dir/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$dir/fonts</dir>
  <cachedir>$dir/cache</cachedir>
</fontconfig>
CONF
echo "$dir/fonts.conf"
