#!/usr/bin/env bash
# Morse sound as a user meets it: "SOS" sent with Ctrl+O M through a private
# sound server whose null sink is recorded; the tones and gaps recorded
# have the lengths the default settings give (42 words a minute: a dot of
# 216 samples at 8000 a second), allowing for the quiet ends of the ramps
# and the pause the drain after each character may add. The cursor ends on
# the empty line that stopped the sending, and editing goes on; a key
# pressed while a character plays stops it there. Without a server the
# alert line says "No sound" and editing goes on too.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin morse
data=$DRIVE_DATA

pa_pid=""
rec_pid=""
stop_sound() {
  if [[ -n $rec_pid ]]; then kill "$rec_pid" 2>/dev/null; wait "$rec_pid" 2>/dev/null; fi
  if [[ -n $pa_pid ]]; then kill "$pa_pid" 2>/dev/null; wait "$pa_pid" 2>/dev/null; fi
  rec_pid=""
  pa_pid=""
}
trap 'stop_sound; drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT

# ---- A private server with one null sink of the editor's format
mkdir -p "$data/home" "$data/run"
chmod 700 "$data/run"
sock=$data/run/pulse.sock
HOME=$data/home XDG_RUNTIME_DIR=$data/run \
  pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
  -L "module-native-protocol-unix socket=$sock auth-anonymous=1" \
  -L "module-null-sink sink_name=S format=u8 rate=8000 channels=1" >"$data/pulseaudio.log" 2>&1 &
pa_pid=$!
export PULSE_SERVER=unix:$sock
for ((n = 0; n < 100; n++)); do
  HOME=$data/home pactl info >/dev/null 2>&1 && break
  kill -0 "$pa_pid" 2>/dev/null || drive_fail "the sound server did not start: $(cat "$data/pulseaudio.log")"
  sleep 0.1
done
HOME=$data/home pactl info >/dev/null 2>&1 || drive_fail "the sound server does not answer"

printf 'SOS\n\nafter\n' >"$data/m.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
HOME=$data/home drive_start m.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at start"

HOME=$data/home parec -d S.monitor --format=u8 --rate=8000 --channels=1 --raw --latency-msec=20 \
  >"$data/rec.raw" 2>"$data/parec.log" &
rec_pid=$!
sleep 1
drive_keys_fast ctrl+o m
# "SOS " is 12744 samples, 1.6 s; the editor takes keys again after it.
sleep 3
drive_wait_stable || drive_fail "the screen does not settle after sending"
sleep 0.5
kill "$rec_pid" 2>/dev/null
wait "$rec_pid" 2>/dev/null
rec_pid=""

# Runs of tone (T) and of silence (G) in samples, from the first tone on.
# A sample counts as tone when it is 4 or more away from 128; fewer than 12
# quiet samples (the sine passing zero) do not end a tone.
od -An -v -tu1 "$data/rec.raw" | tr -s ' ' '\n' | awk '
  NF == 0 { next }
  { d = $1 - 128; if (d < 0) d = -d; loud = d >= 4
    if (!started) { if (loud) { started = 1; state = "T"; len = 1; quiet = 0 }; next }
    if (state == "T") {
      if (loud) { len += quiet + 1; quiet = 0 }
      else if (++quiet >= 12) { print "T", len; state = "G"; len = quiet; quiet = 0 }
    } else if (loud) { print "G", len; state = "T"; len = 1 } else len++ }
  END { if (state == "T") print "T", len }' >"$data/runs.txt"
mapfile -t runs <"$data/runs.txt"
tones=()
gaps=()
for r in "${runs[@]}"; do
  [[ $r == T* ]] && tones+=("${r#T }")
  [[ $r == G* ]] && gaps+=("${r#G }")
done
[[ ${#tones[@]} == 9 ]] || drive_fail "expected 9 tones for SOS, recorded ${#tones[@]}: ${runs[*]}"
# Dot 216 and dash 648 samples of tone, less the quiet ends of the ramps.
for i in 0 1 2 6 7 8; do
  ((tones[i] >= 180 && tones[i] <= 216)) || drive_fail "tone $i is ${tones[i]} samples, not a dot: ${runs[*]}"
done
for i in 3 4 5; do
  ((tones[i] >= 610 && tones[i] <= 648)) || drive_fail "tone $i is ${tones[i]} samples, not a dash: ${runs[*]}"
done
# Between the tones of a letter one unit (216) of silence, plus the ramps'
# quiet ends; between letters that unit and the letter gap of 1512, plus
# whatever the drain after each character adds.
for i in 0 1 3 4 6 7; do
  ((gaps[i] >= 216 && gaps[i] <= 270)) || drive_fail "gap $i inside a letter is ${gaps[i]} samples: ${runs[*]}"
done
for i in 2 5; do
  ((gaps[i] >= 1728 && gaps[i] <= 1728 + 1600)) || drive_fail "gap $i between letters is ${gaps[i]} samples: ${runs[*]}"
done
echo "morse: tones ${tones[*]}; gaps ${gaps[*]}"

# The cursor stopped on the empty line; typing goes there.
drive_type_fast Z
drive_wait_stable || drive_fail "the screen does not settle after typing"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
[[ $(cat m.txt) == $'SOS\nZ\nafter' ]] || drive_fail "the text after sending: $(od -c m.txt | head)"
drive_expect_close

# ---- A key pressed while a character plays stops the sending after that
# character; the key itself is the signal and is not typed.
printf '%s\n' "$(printf 'E%.0s' {1..40})" >"$data/e.txt"
HOME=$data/home drive_start e.txt || drive_fail "vexor did not open its window again"
drive_wait_stable || drive_fail "the screen does not settle at start"
drive_keys_fast ctrl+o m
sleep 1
drive_keys_fast x
sleep 1
drive_wait_stable || drive_fail "the screen does not settle after the key"
drive_type_fast Z
drive_wait_stable || drive_fail "the screen does not settle after typing"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
sent=$(cat e.txt)
[[ $sent =~ ^E+ZE+$ && ${#sent} == 41 ]] || drive_fail "a key did not stop the sending where it was: $sent"
echo "morse: stopped after ${sent%%Z*}"
drive_expect_close
stop_sound

# ---- No server: the alert, and the text goes on being edited
export PULSE_SERVER=unix:$data/run/none.sock
printf 'SOS\n' >"$data/n.txt"
HOME=$data/home drive_start n.txt || drive_fail "vexor did not open its window without a server"
drive_wait_stable || drive_fail "the screen does not settle at start"
before=$(drive_region "$DRIVE_TAB_ROW")
drive_keys_fast ctrl+o m
drive_wait_region_change "$DRIVE_TAB_ROW" "$before" || drive_fail "no alert without a sound server"
drive_shot "$data/no-sound.png"
alerted=$(drive_checksum "$data/no-sound.png" "$DRIVE_TAB_ROW")
drive_type_fast x
drive_wait_region_change "$DRIVE_TAB_ROW" "$alerted" || drive_fail "the alert stays after a key"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
[[ $(cat n.txt) == xSOS ]] || drive_fail "editing after \"No sound\": $(od -c n.txt | head)"
drive_expect_close
echo "morse: ok"
