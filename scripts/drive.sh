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
# Needs Xvfb, xdotool, xwd (x11-apps), convert (imagemagick) and g++ with the
# Xlib headers (scripts/install-deps.sh installs them all). Environment:
# VEXOR_BIN (default build/vexor), DRIVE_SIZE (Xvfb screen, 1280x1024x24).

drive_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DRIVE_BIN=${VEXOR_BIN:-$drive_root/build/vexor}
DRIVE_WORK=""      # scratch folder, removed by drive_cleanup
DRIVE_XVFB_PID=""
DRIVE_PID=""       # the editor's process
DRIVE_WIN=""       # its top-level window
DRIVE_STATUS=""    # its exit status once it has ended
DRIVE_ERR=""       # file that receives its standard error

drive_log() { echo "drive: $*" >&2; }

# Starts Xvfb on a free display (it picks the number) and exports DISPLAY.
drive_start_x() {
  local size=${DRIVE_SIZE:-1280x1024x24} n
  DRIVE_WORK=$(mktemp -d)
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
  drive_settle
}

# Gives the editor time to handle what was sent and repaint.
drive_settle() { sleep "${1:-0.4}"; }

# Types text. Keys go through XTEST (real events with real time stamps).
drive_type() {
  xdotool type --delay 40 -- "$1" && drive_settle
}

# Presses keys, e.g. drive_key ctrl+y Return.
drive_key() {
  xdotool key --delay 60 -- "$@" && drive_settle
}

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
