#!/usr/bin/env bash
# The clipboard with real other clients: xclip and xsel read what Ctrl+C
# and Alt+C offer (UTF-8, STRING in ISO-8859-1, TARGETS, megabytes by INCR)
# and offer what Ctrl+V and Alt+V paste (UTF-8, a STRING-only owner,
# megabytes, NUL bytes and invalid UTF-8 as a file read would keep them);
# each selection is lost to another client and taken back; owners that never
# answer or stall in INCR and requestors that vanish cost nothing but their
# own transfer, and the editor keeps taking keys meanwhile. The saved file
# holds exactly what was pasted.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin clipboard
data=$DRIVE_DATA

# Owners in the background (xclip -quiet stays in the foreground), ended
# by their own process id.
owners=()
stop_owners() {
  local p
  for p in "${owners[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  owners=()
}
trap 'stop_owners; drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT

# Starts xclip offering file $2 on selection $1; waits until it owns it.
offer() {
  local sel=$1 file=$2 n
  xclip -quiet -selection "$sel" -i "$file" >/dev/null 2>&1 &
  owners+=($!)
  for ((n = 0; n < 50; n++)); do
    if xclip -o -selection "$sel" 2>/dev/null | cmp -s - "$file"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# The editor still runs.
alive() { kill -0 "$DRIVE_PID" 2>/dev/null; }

printf 'caf\xc3\xa9 \xe2\x82\xac one\nsecond line\nthird\n' >"$data/a.txt"
: >"$data/b.txt"

drive_start_x || drive_fail "no X server"
drive_tool clip_peer || drive_fail "cannot build clip_peer"
peer=$DRIVE_WORK/clip_peer
cd "$data" || drive_fail "no data folder"
drive_start -d a.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"

# ---- Copy out ---------------------------------------------------------------
# Ctrl+A marks all, Ctrl+C offers it: no line end after the block's end.
drive_keys_fast ctrl+a ctrl+c
drive_wait_stable
printf 'caf\xc3\xa9 \xe2\x82\xac one\nsecond line\nthird' >"$data/want_utf8"
xclip -o -selection clipboard >"$data/got" 2>/dev/null || drive_fail "xclip cannot read the clipboard"
cmp "$data/got" "$data/want_utf8" || drive_fail "UTF8_STRING: $(od -c "$data/got" | head)"
xsel -b -o >"$data/got" || drive_fail "xsel cannot read the clipboard"
cmp "$data/got" "$data/want_utf8" || drive_fail "xsel: $(od -c "$data/got" | head)"
# STRING in ISO-8859-1: é is one byte, € is no character of it.
printf 'caf\xe9 ? one\nsecond line\nthird' >"$data/want_latin1"
xclip -o -selection clipboard -t STRING >"$data/got" || drive_fail "no STRING answer"
cmp "$data/got" "$data/want_latin1" || drive_fail "STRING: $(od -c "$data/got" | head)"
targets=$(xclip -o -selection clipboard -t TARGETS | sort | tr '\n' ' ')
[[ $targets == "STRING TARGETS TEXT UTF8_STRING " ]] || drive_fail "TARGETS: $targets"
# A target the editor does not know is refused, and it goes on.
if xclip -o -selection clipboard -t image/png >/dev/null 2>&1; then drive_fail "image/png was answered"; fi
alive || drive_fail "the editor ended after a refused target"
# PRIMARY holds nothing of the editor's yet; Alt+C offers the block there.
drive_keys_fast ctrl+k h Down ctrl+w alt+c
drive_wait_stable
[[ $(xclip -o -selection primary) == second ]] || drive_fail "PRIMARY: $(xclip -o -selection primary)"
[[ $(xclip -o -selection clipboard | head -c 3) == caf ]] || drive_fail "Alt+C changed CLIPBOARD"

# ---- Lost and taken back ---------------------------------------------------------
printf 'from xclip' >"$data/other"
offer clipboard "$data/other" || drive_fail "xclip does not own CLIPBOARD"
[[ $(xclip -o -selection primary) == second ]] || drive_fail "losing CLIPBOARD emptied PRIMARY"
stop_owners
drive_keys_fast ctrl+a ctrl+c
drive_wait_stable
xclip -o -selection clipboard | cmp -s - "$data/want_utf8" || drive_fail "CLIPBOARD not taken back"
printf 'prim' >"$data/prim"
offer primary "$data/prim" || drive_fail "xclip does not own PRIMARY"
xclip -o -selection clipboard | cmp -s - "$data/want_utf8" || drive_fail "losing PRIMARY emptied CLIPBOARD"
stop_owners

# ---- Megabytes out by INCR, side by side: over the largest request (16 MiB) ----
awk 'BEGIN { for (i = 0; i < 375000; i++) printf "line %06d of the large text, with some words\n", i }' >"$data/big.txt"
drive_keys_fast ctrl+k h ctrl+Home Home
drive_wait_stable
drive_keys_prompt ctrl+k r || drive_fail "no \"Insert file:\" prompt"
drive_type_fast "big.txt"
drive_keys_fast Return
drive_wait_stable
drive_keys_fast ctrl+a ctrl+c
drive_wait_stable
{ head -c -1 "$data/big.txt"; cat "$data/a.txt"; } | head -c -1 >"$data/want_all"
xclip -o -selection clipboard >"$data/got1" &
x1=$!
xsel -b -o >"$data/got2" &
x2=$!
wait $x1 || drive_fail "xclip failed on the large text"
wait $x2 || drive_fail "xsel failed on the large text"
cmp "$data/got1" "$data/want_all" || drive_fail "large text read by xclip differs ($(stat -c %s "$data/got1") bytes): $(head -c 200 "$data/got1" | od -c | head -5)"
cmp "$data/got2" "$data/want_all" || drive_fail "large text read by xsel differs ($(stat -c %s "$data/got2") bytes)"

# A requestor gone before the answer, and one gone in the middle of INCR.
"$peer" vanish clipboard || drive_fail "clip_peer vanish"
"$peer" vanish-incr clipboard || drive_fail "clip_peer vanish-incr"
sleep 0.5
alive || drive_fail "a vanished requestor ended the editor"
xclip -o -selection clipboard | cmp -s - "$data/want_all" || drive_fail "no whole answer after a vanished requestor"

# The large text goes: back to a.txt alone.
drive_keys_fast ctrl+z
drive_wait_stable

# ---- Pastes in ------------------------------------------------------------------
drive_keys_fast ctrl+k h ctrl+End End
printf 'p\xc3\xa4ste one\nline two\n' >"$data/in1"
offer clipboard "$data/in1" || drive_fail "xclip does not own CLIPBOARD"
drive_keys_fast ctrl+v
drive_wait_stable
drive_keys_fast ctrl+End End
stop_owners
# xsel offers PRIMARY; Alt+V pastes it.
printf 'from xsel|' | xsel -n -p -i &
owners+=($!)
for ((n = 0; n < 50; n++)); do [[ $(xsel -p -o) == 'from xsel|' ]] && break; sleep 0.1; done
drive_keys_fast alt+v
drive_wait_stable
drive_keys_fast ctrl+End End
# An owner of STRING only: é arrives in ISO-8859-1.
"$peer" latin1 clipboard 'latin é|' 20 >"$data/peer.out" &
owners+=($!)
for ((n = 0; n < 50; n++)); do [[ -s $data/peer.out ]] && break; sleep 0.1; done
drive_keys_fast ctrl+v
drive_wait_stable
drive_keys_fast ctrl+End End
stop_owners
# NUL bytes, invalid UTF-8 and a CR-only line end: kept as a file read keeps them.
printf 'nul\x00byte \xff\xfe bad\rcr end|' >"$data/in2"
offer clipboard "$data/in2" || drive_fail "xclip does not own CLIPBOARD"
drive_keys_fast ctrl+v
drive_wait_stable
drive_keys_fast ctrl+End End
stop_owners

# ---- Misbehaving owners ---------------------------------------------------------
# One that never answers: the paste is given up after 5 s; keys go on
# being taken meanwhile.
"$peer" silent clipboard 30 >"$data/peer.out" &
silent=$!
owners+=($silent)
for ((n = 0; n < 50; n++)); do [[ -s $data/peer.out ]] && break; sleep 0.1; done
drive_keys_fast ctrl+v
sleep 0.3
drive_type_fast "typed|"
drive_wait_stable
sleep 5
alive || drive_fail "a silent owner ended the editor"
stop_owners
# One that stalls in INCR after its first chunk: nothing of it is inserted.
"$peer" stall clipboard 400000 30 >"$data/peer.out" &
owners+=($!)
for ((n = 0; n < 50; n++)); do [[ -s $data/peer.out ]] && break; sleep 0.1; done
drive_keys_fast ctrl+v
sleep 6
alive || drive_fail "a stalling owner ended the editor"
stop_owners

# ---- Megabytes in by INCR ---------------------------------------------------------
offer clipboard "$data/big.txt" || drive_fail "xclip does not own the large text"
drive_keys_fast Return ctrl+v
drive_wait_stable
sleep 1
stop_owners
drive_save_exit

{
  printf 'caf\xc3\xa9 \xe2\x82\xac one\nsecond line\nthirdp\xc3\xa4ste one\nline two\n'
  printf 'from xsel|latin \xc3\xa9|nul\x00byte \xff\xfe bad\ncr end|typed|\n'
  cat "$data/big.txt"
  printf '\n'
} >"$data/want_a"
cmp a.txt "$data/want_a" || drive_fail "a.txt differs: $(cmp a.txt "$data/want_a" 2>&1) $(head -c 160 a.txt | od -c)"
echo "clipboard: ok"
