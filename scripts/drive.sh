#!/usr/bin/env bash
# Drives vexor in a private X server, as a user would: start it on files,
# type, press keys, take screenshots, close the window the way a window
# manager does. End-to-end tests source this file and call the drive_*
# functions; run directly it is a small command-line driver:
#
#   scripts/drive.sh [-o SHOT.png] FILE... [-- STEP...]
#
# where each STEP is `type:TEXT`, `key:NAME[+NAME...]` (xdotool key names,
# e.g. key:ctrl+y, key:Return), `shot:FILE.png` or `sleep:SECONDS`. After the
# steps a screenshot is written to SHOT.png (default drive.png), the window
# is closed and the script exits with vexor's exit status.
#
# Test scripts also find here what they share: waiting for the screen, a
# region of it or the title to show what they expect (drive_wait_*), typing
# at full speed (drive_type_fast, drive_keys_fast) and their set-up and
# failure reporting (drive_test_begin, drive_fail).
#
# The editor sees one font only (DejaVu Sans Mono, or DRIVE_FONT, through a
# FONTCONFIG_FILE from scripts/pin-font.sh) and keeps its settings in a scratch folder
# (VEXOR_CONFIG_DIR). Positions on screen come from that font's cell, as
# e2e_metrics (built beside the program) reports it: DRIVE_LH and DRIVE_CW,
# and drive_row / drive_cell for the rectangles of rows and cells.
#
# Needs Xvfb, xdotool, xwd (x11-apps), convert (imagemagick) and g++ with the
# Xlib headers (scripts/install-deps.sh installs them all). Environment:
# VEXOR_BIN (default build/vexor), DRIVE_SIZE (Xvfb screen, 1280x1024x24),
# VEXOR_E2E_SHOTS (where a failing test keeps its screenshots; default
# e2e-shots/ beside the program).

drive_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DRIVE_BIN=${VEXOR_BIN:-$drive_root/build/vexor}
DRIVE_WORK=""      # scratch folder, removed by drive_cleanup
DRIVE_XVFB_PID=""
DRIVE_PID=""       # the editor's process
DRIVE_WIN=""       # its top-level window
DRIVE_STATUS=""    # its exit status once it has ended
DRIVE_ERR=""       # file that receives its standard error
DRIVE_SCREEN=""    # the whole screen as a rectangle WxH+0+0
DRIVE_PAUSE=0.4    # what drive_type and drive_key wait after sending
DRIVE_TEST=""      # the test's name, for the screenshot kept on a failure
DRIVE_DATA=""      # the test's own scratch folder, removed at exit
DRIVE_CONFIG=""    # the editor's settings folder of the test, removed at exit
DRIVE_LH=""        # the text font's line height in pixels
DRIVE_CW=""        # its cell width
DRIVE_LEFT=2       # pixels left of the first text column
# Where the editor puts its prompts: the tab line under the status line
# (set from the font's metrics by drive_start_x).
DRIVE_TAB_ROW=""

drive_log() { echo "drive: $*" >&2; }

# Pins the font and the settings folder and reads the font's cell.
drive_environment() {
  FONTCONFIG_FILE=$("$drive_root/scripts/pin-font.sh" "$DRIVE_WORK/fontconfig" \
    "${DRIVE_FONT:-DejaVuSansMono.ttf}") || return 1
  export FONTCONFIG_FILE
  export VEXOR_CONFIG_DIR=${DRIVE_CONFIG:-$DRIVE_WORK/config}
  local metrics=${DRIVE_METRICS:-$(dirname "$DRIVE_BIN")/e2e_metrics} line
  if ! line=$("$metrics"); then
    drive_log "cannot read the font's metrics with $metrics"
    return 1
  fi
  drive_log "font: $line"
  DRIVE_LH=$(sed -E 's/.*LH=([0-9]+).*/\1/' <<<"$line")
  DRIVE_CW=$(sed -E 's/.*CW=([0-9]+).*/\1/' <<<"$line")
  DRIVE_TAB_ROW=$(drive_row head 700)
}

# Rectangle WxH+X+Y of a screen row of the single view: `status`, `head`
# (tab line, prompt) or text row N from 0; W defaults to 700 pixels.
drive_row() {
  local row=$1 width=${2:-700} y
  case $row in
    status) y=0 ;;
    head) y=$DRIVE_LH ;;
    *) y=$(((row + 2) * DRIVE_LH)) ;;
  esac
  echo "${width}x${DRIVE_LH}+0+$y"
}

# Rectangle of the cell at text row $1, column $2.
drive_cell() {
  echo "${DRIVE_CW}x${DRIVE_LH}+$((DRIVE_LEFT + $2 * DRIVE_CW))+$((($1 + 2) * DRIVE_LH))"
}

# Starts Xvfb on a free display (it picks the number) and exports DISPLAY.
drive_start_x() {
  local size=${DRIVE_SIZE:-1280x1024x24} n
  DRIVE_WORK=$(mktemp -d)
  DRIVE_SCREEN=${size%x*}+0+0
  drive_environment || return 1
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$DRIVE_WORK/display" \
    >"$DRIVE_WORK/xvfb.log" 2>&1 &
  DRIVE_XVFB_PID=$!
  for ((n = 0; n < 100; n++)); do
    if [[ -s $DRIVE_WORK/display ]]; then
      DISPLAY=":$(tr -d '[:space:]' <"$DRIVE_WORK/display")"
      export DISPLAY
      drive_log "Xvfb on $DISPLAY"
      return 0
    fi
    kill -0 "$DRIVE_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  drive_log "Xvfb did not start"
  cat "$DRIVE_WORK/xvfb.log" >&2
  return 1
}

# Builds the helper that sends WM_DELETE_WINDOW.
drive_helper() {
  if [[ ! -x $DRIVE_WORK/wm_close ]]; then
    g++ -O0 -o "$DRIVE_WORK/wm_close" "$drive_root/tests/e2e/wm_close.cpp" -lX11 || return 1
  fi
}

# Builds tests/e2e/NAME.cpp, a small X client, into the scratch folder.
drive_tool() {
  if [[ ! -x $DRIVE_WORK/$1 ]]; then
    g++ -O0 -o "$DRIVE_WORK/$1" "$drive_root/tests/e2e/$1.cpp" -lX11 || return 1
  fi
}

# Starts the editor with the given arguments and waits for its window.
drive_start() {
  drive_helper || return 1
  DRIVE_ERR=$DRIVE_WORK/stderr
  DRIVE_STATUS=""
  "$DRIVE_BIN" "$@" 2>"$DRIVE_ERR" &
  DRIVE_PID=$!
  DRIVE_WIN=$(timeout 20 xdotool search --sync --class vexor 2>/dev/null | head -n 1)
  if [[ -z $DRIVE_WIN ]]; then
    drive_log "no vexor window appeared"
    cat "$DRIVE_ERR" >&2
    return 1
  fi
  # Without a window manager the focus follows the pointer: keep both on the
  # editor so that keys sent through XTEST reach it.
  xdotool mousemove --window "$DRIVE_WIN" 400 300 >/dev/null 2>&1
  xdotool windowfocus --sync "$DRIVE_WIN" >/dev/null 2>&1
  drive_settle "$DRIVE_PAUSE"
}

# Gives the editor $1 seconds (default DRIVE_PAUSE) to handle what was sent
# and repaint.
drive_settle() { sleep "${1:-$DRIVE_PAUSE}"; }

# Types text. Keys go through XTEST (real events with real time stamps).
drive_type() {
  xdotool type --delay 40 -- "$1" && drive_settle "$DRIVE_PAUSE"
}

# Presses keys, e.g. drive_key ctrl+y Return.
drive_key() {
  xdotool key --delay 60 -- "$@" && drive_settle "$DRIVE_PAUSE"
}

# The same at full speed and without the pause: the caller waits for what
# it expects to see instead (drive_wait_*).
drive_type_fast() { xdotool type --delay 10 -- "$1"; }
drive_keys_fast() { xdotool key --delay 30 -- "$@"; }

# Screenshot of the whole screen (the window sits at 0,0) as PNG.
drive_shot() {
  xwd -root -silent | convert xwd:- "png:$1"
}

# The colour of one pixel of a PNG as RRGGBB.
drive_pixel() {
  convert "$1" -format '%[hex:p{'"$2"','"$3"'}]' info: | cut -c1-6
}

# Number of distinct colours in a rectangle WxH+X+Y of a PNG.
drive_colours() {
  convert "$1" -crop "$2" +repage -format '%k' info:
}

# Checksum of the pixels in a rectangle WxH+X+Y of a PNG.
drive_checksum() {
  convert "$1" -crop "$2" +repage -format '%#' info:
}

# Checksum of a rectangle WxH+X+Y of the screen as it is now.
drive_region() {
  drive_shot "$DRIVE_WORK/poll.png" && drive_checksum "$DRIVE_WORK/poll.png" "$1"
}

# Waits up to 5 s for the screen to stop changing (two equal shots in a
# row): the editor has handled every key sent so far.
drive_wait_stable() {
  local a b n
  a=$(drive_region "$DRIVE_SCREEN")
  for ((n = 0; n < 50; n++)); do
    sleep 0.1
    b=$(drive_region "$DRIVE_SCREEN")
    [[ $a == "$b" ]] && return 0
    a=$b
  done
  return 1
}

# Waits up to 5 s for rectangle $1 to differ from checksum $2.
drive_wait_region_change() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(drive_region "$1") != "$2" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 5 s for rectangle $1 to show checksum $2 (again).
drive_wait_region_same() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(drive_region "$1") == "$2" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Presses keys that open a prompt and waits up to 5 s for the tab line to
# change. The screen must be settled first (drive_wait_stable), or an
# earlier repaint passes for the prompt.
drive_keys_prompt() {
  local before
  before=$(drive_region "$DRIVE_TAB_ROW")
  drive_keys_fast "$@"
  drive_wait_region_change "$DRIVE_TAB_ROW" "$before"
}

# The window's title.
drive_title() {
  xdotool getwindowname "$DRIVE_WIN"
}

# Waits up to 5 s for the window's title to be $1.
drive_wait_title() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(drive_title 2>/dev/null) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Sends the window manager's close request.
drive_close() {
  "$DRIVE_WORK/wm_close" "$DRIVE_WIN"
}

# Waits up to $1 seconds (default 10) for the editor to end; sets
# DRIVE_STATUS. Returns 1 when it is still running.
drive_wait_exit() {
  local limit=${1:-10} n
  for ((n = 0; n < limit * 10; n++)); do
    if ! kill -0 "$DRIVE_PID" 2>/dev/null; then
      wait "$DRIVE_PID"
      DRIVE_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Saves the only text with Ctrl+K D and Enter at the preset name once the
# screen has settled; the test fails unless the editor then ends with 0.
drive_save_exit() {
  drive_wait_stable || drive_fail "the screen does not settle before Ctrl+K D"
  drive_keys_prompt ctrl+k d || drive_fail "no \"Save & exit:\" prompt after Ctrl+K D"
  drive_keys_fast Return
  drive_wait_exit 10 || drive_fail "vexor still runs after Save & exit of its only text"
  [[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS after Save & exit"
}

# Ends whatever is still running and removes the scratch folder.
drive_cleanup() {
  if [[ -n $DRIVE_PID ]] && kill -0 "$DRIVE_PID" 2>/dev/null; then
    kill "$DRIVE_PID" 2>/dev/null
    wait "$DRIVE_PID" 2>/dev/null
  fi
  if [[ -n $DRIVE_XVFB_PID ]]; then
    kill "$DRIVE_XVFB_PID" 2>/dev/null
    wait "$DRIVE_XVFB_PID" 2>/dev/null
  fi
  DRIVE_PID=""
  DRIVE_XVFB_PID=""
  if [[ -n $DRIVE_WORK ]]; then rm -rf "$DRIVE_WORK"; fi
  DRIVE_WORK=""
}

# For test scripts: makes DRIVE_DATA, a scratch folder for the test's files
# (screenshots taken there are kept when the test fails), and removes it at
# exit with everything drive_* started.
drive_test_begin() {
  DRIVE_TEST=$1
  DRIVE_DATA=$(mktemp -d)
  # Settings of a run without drive_start_x (no display, --help) too.
  DRIVE_CONFIG=$(mktemp -d)
  export VEXOR_CONFIG_DIR=$DRIVE_CONFIG
  trap 'drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT
}

# Reports a failed check and ends the test. The screen at the failure and
# every screenshot the test took are kept in a folder of their own per run,
# under VEXOR_E2E_SHOTS.
drive_fail() {
  echo "FAIL: $*" >&2
  if [[ -n $DRIVE_TEST ]]; then
    local base=${VEXOR_E2E_SHOTS:-$(dirname "$DRIVE_BIN")/e2e-shots} kept f
    kept=$base/$DRIVE_TEST-$(date +%Y%m%d-%H%M%S)-$$
    if mkdir -p "$kept" 2>/dev/null; then
      if [[ -n $DRIVE_WORK && -n $DRIVE_PID ]] && kill -0 "$DRIVE_PID" 2>/dev/null; then
        drive_shot "$kept/at-failure.png" 2>/dev/null
      fi
      for f in "$DRIVE_DATA"/*.png "$DRIVE_WORK"/*.png; do
        if [[ -f $f && $f != */poll.png ]]; then cp "$f" "$kept/"; fi
      done
      echo "screenshots kept in $kept" >&2
    fi
  fi
  exit 1
}

# Closes the window as a window manager does; the test fails unless the
# editor then ends with status 0.
drive_expect_close() {
  drive_close || drive_fail "could not send the close request"
  drive_wait_exit 10 || drive_fail "vexor still runs after the close request"
  [[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS"
}

drive_main() {
  local shot=drive.png files=() step
  if [[ ${1:-} == -o ]]; then
    shot=$2
    shift 2
  fi
  while (($#)) && [[ $1 != -- ]]; do
    files+=("$1")
    shift
  done
  if (($#)); then shift; fi
  trap drive_cleanup EXIT
  drive_start_x || return 1
  drive_start "${files[@]}" || return 1
  for step in "$@"; do
    case $step in
      type:*) drive_type "${step#type:}" ;;
      key:*) drive_key "${step#key:}" ;;
      shot:*) drive_shot "${step#shot:}" ;;
      sleep:*) sleep "${step#sleep:}" ;;
      *) drive_log "unknown step '$step'"; return 2 ;;
    esac
  done
  drive_shot "$shot" && drive_log "screenshot in $shot"
  drive_close
  if ! drive_wait_exit 10; then
    drive_log "vexor did not end after the close request"
    return 1
  fi
  cat "$DRIVE_ERR" >&2
  return "$DRIVE_STATUS"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  set -uo pipefail
  drive_main "$@"
  exit $?
fi
