#!/usr/bin/env bash
# The manual page, the desktop entry and --help: each clean for the tool that
# checks its kind, and all of them in step with the program and with the
# README's "The first ten minutes" keys. (That those keys run the commands
# the documents name is checked by tests/shell/docs_keys_test.cpp.)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin docs
src=${VEXOR_SOURCE_DIR:-$root}
page=$src/dist/vexor.1
entry=$src/dist/vexor.desktop
bin=$DRIVE_BIN

skip() { echo "docs: skipped: $*"; }

# Runs a checker that must print nothing and succeed.
quiet() {
  local what=$1 out rc
  shift
  out=$("$@" 2>&1)
  rc=$?
  ((rc == 0)) && [[ -z $out ]] || drive_fail "$what (status $rc): $out"
}

# --- Lint ------------------------------------------------------------------
if command -v mandoc >/dev/null 2>&1; then
  quiet "mandoc -T lint" mandoc -T lint "$page"
else
  skip "mandoc -T lint (mandoc not installed)"
fi
if command -v groff >/dev/null 2>&1; then
  quiet "groff -ww" groff -ww -man -z "$page"
else
  skip "groff -ww (groff not installed)"
fi
if command -v man >/dev/null 2>&1; then
  # Warnings go to standard error; the page itself must render.
  man_err=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$DRIVE_DATA/page.txt")
  [[ -z $man_err ]] || drive_fail "man --warnings: $man_err"
  grep -q '^EXIT STATUS' "$DRIVE_DATA/page.txt" || drive_fail "man -l rendered no EXIT STATUS section"
else
  skip "man --warnings (man-db not installed)"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
  quiet "desktop-file-validate" desktop-file-validate "$entry"
else
  skip "desktop-file-validate (desktop-file-utils not installed)"
fi

# --- The documents against each other and the program ------------------------
help=$("$bin" --help) || drive_fail "--help failed"

# The lines of one section of the page (".SH NAME" up to the next .SH), with
# minus signs and font changes made plain.
section() {
  awk -v want=".SH $1" '/^\.SH /{on = ($0 == want); next} on' "$page" |
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g'
}
keys_part=$(section KEYS)
options_part=$(section OPTIONS)
[[ -n $keys_part ]] || drive_fail "the manual page has no KEYS section"
[[ -n $options_part ]] || drive_fail "the manual page has no OPTIONS section"

# The first column of the README's table under "## The first ten minutes".
mapfile -t readme_keys < <(awk '/^## /{on = ($0 == "## The first ten minutes"); next}
  on && /^\| / {split($0, c, "|"); k = c[2]; gsub(/^ +| +$/, "", k);
                if (k != "keys" && k !~ /^-+$/) print k}' "$src/README.md")
((${#readme_keys[@]} >= 10)) || drive_fail "README.md's first-ten-minutes table has ${#readme_keys[@]} keys"
for key in "${readme_keys[@]}"; do
  grep -qxF ".B $key" <<<"$keys_part" || drive_fail "the manual page's KEYS lack '$key'"
  grep -qwF -- "$key" <<<"$help" || drive_fail "--help lacks the key '$key'"
done

# Every option --help lists (the first word of its option lines) is an entry
# of the page's OPTIONS.
mapfile -t help_opts < <(sed -nE 's/^  (-[-a-z]*)[= ].*/\1/p' <<<"$help")
((${#help_opts[@]} >= 5)) || drive_fail "--help lists ${#help_opts[@]} options: $help"
for opt in "${help_opts[@]}"; do
  grep -qE -- "^\.B[IR]* ${opt}( |=|\$)" <<<"$options_part" ||
    drive_fail "the manual page's OPTIONS lack '$opt' (listed by --help)"
done

# The desktop entry starts this program, and a window manager can match its
# window to it by the class the window really carries.
grep -qx 'Exec=vexor %F' "$entry" || drive_fail "the desktop entry's Exec is: $(grep '^Exec=' "$entry")"
[[ $(basename "$bin") == vexor ]] || drive_fail "the program is called $(basename "$bin")"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
if command -v Xvfb >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1; then
  drive_start_x || drive_fail "no X server"
  drive_start || drive_fail "vexor did not open its window"
  class=$(xprop -id "$DRIVE_WIN" WM_CLASS)
  [[ $class == *", \"$wm_class\"" ]] || drive_fail "StartupWMClass=$wm_class, but the window has $class"
  drive_expect_close
else
  skip "StartupWMClass against the window's class (Xvfb or xprop not installed)"
fi
echo "docs: ok"
