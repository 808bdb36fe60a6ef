#!/usr/bin/env bash
# Printing as a user does it, on a print server of the test's own (a private
# cupsd with two file printers): File / Print from the main menu (first
# before the server runs: an empty list), N for line numbers, the printer's
# digit, "Document sent" on the alert line, and "Print failed" for a printer
# removed meanwhile.  The document the printer received is the
# "printtest.pdf" copy byte for byte, a PDF the checkers accept, one A4 page
# holding one 8-bit grey image and no fonts, whose text reads back with OCR;
# the scheduler kept the job's title, document name and options.  Then
# Config / PrintConfig raises the print font by ten pixels, and the next
# print's lines are taller.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
# shellcheck source-path=SCRIPTDIR source=../../scripts/private-cupsd.sh
source "$root/scripts/private-cupsd.sh"
drive_test_begin print
data=$DRIVE_DATA
trap 'cupsd_stop; drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT

for tool in qpdf pdfinfo pdfimages pdffonts pdftotext tesseract lpadmin /usr/sbin/cupsd; do
  command -v "$tool" >/dev/null || drive_fail "$tool is not installed (scripts/install-deps.sh)"
done

printf 'Print PaperSize 1\n' >"$DRIVE_CONFIG/vexor.cfg"
printf 'HELLO PRINTER\nThe quick brown fox jumps over the lazy dog\n' >"$data/letter.txt"

# The server's filters run as another user, who must reach the printers' files.
chmod 0711 "$data"
out=$data/cups/out
# The editor looks for the server where it will be, before it runs.
export CUPS_SERVER=$data/cups/cups.sock

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start letter.txt >"$data/stdout" || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at start"

children() {
  local n
  n=$(xwininfo -children -id "$DRIVE_WIN" | sed -n 's/^ *\([0-9][0-9]*\) child.*/\1/p')
  echo "${n:-0}"
}
# The number of jobs the server has completed.
completed() { lpstat -W completed -o 2>/dev/null | wc -l; }
# Waits until the printer's file holds a whole document (ends with %%EOF).
wait_printed() {
  local file=$1 i
  for ((i = 0; i < 200; i++)); do
    [[ -s $file ]] && tail -c 6 "$file" | grep -q '%%EOF' && [[ $(completed) -ge $2 ]] && return 0
    sleep 0.1
  done
  return 1
}

# Text read from a rectangle WxH+X+Y of the screen.
read_screen() {
  drive_shot "$data/read.png"
  convert "$data/read.png" -crop "$1" +repage -resize 300% "$data/read-crop.png"
  tesseract "$data/read-crop.png" - 2>/dev/null | tr -s '[:space:]' ' '
}
print_window=600x500+101+51
alert_row=$(drive_row head)

# File (the first menu), Print (its tenth item), with no print server yet:
# no printer listed, and a digit does nothing.
drive_keys_fast shift+space $(printf 'Down %.0s' {1..9}) Return
drive_wait_stable || drive_fail "the screen does not settle after File / Print"
[[ $(children) == 1 ]] || drive_fail "File / Print opened no window"
shown=$(read_screen "$print_window")
[[ $shown == *"Press printer number"* && $shown != *Prt* ]] ||
  drive_fail "without a server the window should list no printer: $shown"
drive_keys_fast 0 Escape
drive_wait_stable || drive_fail "the screen does not settle after 0 and Esc"
[[ $(children) == 0 && ! -e printtest.pdf ]] || drive_fail "0 without printers did something"

cupsd_start "$data/cups" || drive_fail "the private print server did not start"
cupsd_add_file_printer alpha "$out/alpha.pdf" || drive_fail "lpadmin refused the printer alpha"
cupsd_add_file_printer filepdf "$out/filepdf.pdf" || drive_fail "lpadmin refused the printer filepdf"

drive_keys_fast shift+space Return
drive_wait_stable || drive_fail "the screen does not settle after File / Print"
[[ $(children) == 1 ]] || drive_fail "File / Print opened no window"
shown=$(read_screen "$print_window")
[[ $shown == *"Prt# "?" alpha"* && $shown == *"Prt# 1 filepdf"* ]] || drive_fail "the printers are not listed: $shown"
drive_keys_fast n 1
wait_printed "$out/filepdf.pdf" 1 || drive_fail "filepdf received no document: $(tail -3 "$data/cups/log/error_log")"
[[ -s $out/alpha.pdf ]] && drive_fail "the job went to alpha, not to printer 1"
[[ -f printtest.pdf ]] || drive_fail "no printtest.pdf beside the text"
cmp -s printtest.pdf "$out/filepdf.pdf" || drive_fail "the printer's document differs from printtest.pdf"
grep -qx 'Document sent' "$data/stdout" || drive_fail "no \"Document sent\" on standard output"

doc=$out/filepdf.pdf
qpdf --check "$doc" >"$data/qpdf.log" 2>&1 || drive_fail "qpdf finds faults: $(cat "$data/qpdf.log")"
pdfinfo "$doc" >"$data/info.txt" || drive_fail "pdfinfo cannot read the document"
grep -q '^Pages: *1$' "$data/info.txt" || drive_fail "not one page: $(cat "$data/info.txt")"
grep -q '^Page size: *595 x 842 pts' "$data/info.txt" || drive_fail "not A4: $(grep 'Page size' "$data/info.txt")"
pdfimages -list "$doc" | awk 'NR > 2' >"$data/images.txt"
[[ $(wc -l <"$data/images.txt") == 1 ]] || drive_fail "not one image a page: $(cat "$data/images.txt")"
read -r _ _ type width height colour comps bpc _ <"$data/images.txt"
[[ "$type $width $height $colour $comps $bpc" == "image 1280 1510 gray 1 8" ]] ||
  drive_fail "the page image is not 1280 x 1510 8-bit grey: $(cat "$data/images.txt")"
[[ $(pdffonts "$doc" | awk 'NR > 2' | wc -l) == 0 ]] || drive_fail "the document carries fonts"
[[ -z $(pdftotext "$doc" - | tr -d '[:space:]') ]] || drive_fail "pdftotext finds text in a page image"
pdfimages -png "$doc" "$data/page" || drive_fail "pdfimages cannot extract the page"
tesseract "$data/page-000.png" - >"$data/ocr.txt" 2>/dev/null || drive_fail "tesseract failed"
grep -q 'HELLO PRINTER' "$data/ocr.txt" || drive_fail "the first line does not read back: $(cat "$data/ocr.txt")"
grep -q 'quick brown fox' "$data/ocr.txt" || drive_fail "the second line does not read back: $(cat "$data/ocr.txt")"
grep -q '^001 ' "$data/ocr.txt" && grep -q '^002 ' "$data/ocr.txt" ||
  drive_fail "the lines are not numbered 001 and 002: $(cat "$data/ocr.txt")"

shown=$(read_screen "$alert_row")
[[ $shown == *"Document sent"* ]] || drive_fail "no \"Document sent\" on the alert line: $shown"

# A printer removed while the window lists it: the job is refused and the
# server's reason shows; nothing is reported sent.
lpadmin -x alpha || drive_fail "lpadmin could not remove alpha"
drive_keys_fast 0
drive_wait_stable || drive_fail "the screen does not settle after 0"
shown=$(read_screen "$alert_row")
[[ $shown == *"Print failed"* ]] || drive_fail "no \"Print failed\" for a removed printer: $shown"
[[ $(grep -c 'Document sent' "$data/stdout") == 1 ]] || drive_fail "the refused job was reported sent"

# What the scheduler kept of the job.
control=$(ls "$data/cups/spool"/c* 2>/dev/null | head -1)
[[ -n $control ]] || drive_fail "the scheduler kept no job record"
for attr in vexor letter.txt application/pdf iso_a4_210x297mm one-sided; do
  grep -aq -- "$attr" "$control" || drive_fail "the job record lacks $attr"
done

# Esc closes the window; Config / PrintConfig, FontSize (the second row) ten
# pixels up, Esc; the next print (filepdf, now printer 0) has taller lines.
drive_keys_fast Escape
drive_wait_stable || drive_fail "the screen does not settle after Esc"
[[ $(children) == 0 ]] || drive_fail "Esc left the Print window open"
drive_keys_fast shift+space $(printf 'Right %.0s' {1..16}) Down Down Down Return
drive_wait_stable || drive_fail "the screen does not settle after Config / PrintConfig"
[[ $(children) == 1 ]] || drive_fail "Config / PrintConfig opened no window"
drive_keys_fast Down $(printf 'Right %.0s' {1..10}) Escape
drive_wait_stable || drive_fail "the screen does not settle after the settings"
: >"$out/filepdf.pdf"
drive_keys_fast shift+space $(printf 'Left %.0s' {1..16}) $(printf 'Up %.0s' {1..16}) $(printf 'Down %.0s' {1..9}) Return 0
wait_printed "$out/filepdf.pdf" 2 || drive_fail "the second print did not arrive"
pdfimages -png "$out/filepdf.pdf" "$data/big" || drive_fail "pdfimages cannot extract the second page"
# Ink rows: the 30-pixel font's glyphs reach further down than the 20-pixel's.
last_ink() { convert "$1" -negate -trim -format '%h %Y' info: | awk '{ split($2, o, "+"); print $1 + o[3] }'; }
small=$(last_ink "$data/page-000.png")
big=$(last_ink "$data/big-000.png")
((big > small)) || drive_fail "the larger print font did not print taller lines ($big <= $small)"
drive_keys_fast Escape
drive_expect_close
echo "print: ok"
