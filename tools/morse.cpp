// SendMorse: the '&' settings line, and the walk that sends the paragraph.
#include "tools/morse.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "edit/traverse.h"
#include "shell/event_loop.h"
#include "tools/morse_sound.h"
#include "tools/pick_num.h"

namespace {

constexpr int kReadLimit = 1023;  // columns the settings line is read in

const MorseOutput kRealOutput = {initMorse, txchar, deinitMorse, redraw_};
const MorseOutput* output = &kRealOutput;

struct Sending {
  bool failed = false;  // the stream took no more: the alert is due
};

// Reads up to five numbers after the '&': each that is not 0 replaces the
// setting of its place, held to that setting's bounds while it is still a
// double, so that no number typed can overflow it.
void readSettings(EditorState* V) {
  MorseSettings& m = morseSettings();
  int* fields[5] = {&m.vol, &m.tone, &m.unit, &m.sparse, &m.shape};
  const ActiveLine& line = V->aline;
  int pos = 1;
  for (int i = 0; i < 5; i++) {
    double value = 0;
    if (PickNum(line.c, line.count, &value, &pos, kReadLimit) != 0) break;
    pos++;
    value = std::trunc(value);
    if (value == 0) continue;
    *fields[i] = int(std::clamp(value, double(kMorseLimits[i].lo), double(kMorseLimits[i].hi)));
  }
  char msg[kAlertMax + 1];
  std::snprintf(msg, sizeof msg, "Morse: volume %d tone %d speed %d sparse %d shape %d", m.vol, m.tone,
                m.unit, m.sparse, m.shape);
  SetAlert(V, msg);
}

// Sends one code (none when negative); false when the stream failed.
bool send(EditorState* V, Sending* s, int code) {
  if (code < 0 || output->tx(code) == 0) return true;
  s->failed = true;
  V->travStop = 1;
  return false;
}

// Repaints; a waiting key press ends the walk.
bool noKey(EditorState* V) {
  if (output->keyPressed()) {
    V->travStop = 1;
    return false;
  }
  return true;
}

}  // namespace

MorseSettings& morseSettings() {
  static MorseSettings settings;
  return settings;
}

void SetMorseOutput(const MorseOutput* out) { output = out ? out : &kRealOutput; }

int DoSendLine(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  auto* s = static_cast<Sending*>(arg);
  Tcb* t = V->curTcb;
  if (line->count == 0) {
    V->travStop = 1;
    return 0;
  }
  for (int i = from; i < to; i++) {
    // Only Latin-1 has codes: a character beyond it is passed over, not
    // sent as its low byte (which would be some other letter).
    const int code = line->c[i] <= 0xFF ? int(line->c[i]) : -1;
    if (!send(V, s, code)) return 0;
    t->col = i + 1;
    Adjust(V, t);
    if (!noKey(V)) return 0;
  }
  if (!send(V, s, ' ')) return 0;
  CursorMove(V, MOVE_ONEDOWN);
  t->col = 0;
  Adjust(V, t);
  noKey(V);
  return 0;
}

void Morse(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  if (V->aline.count > 0 && V->aline.c[0] == '&') {
    readSettings(V);
    return;
  }
  const MorseSettings& m = morseSettings();
  if (output->init(m.vol, m.tone, 1092 / m.unit + 1, m.sparse, m.shape) != 0) {
    SetAlert(V, "No sound");
    return;
  }
  Sending s;
  Traverse(V, TRAV_FROM_CURSOR | TRAV_AT_CURSOR, DoSendLine, &s);
  output->deinit();
  if (s.failed) SetAlert(V, "No sound");
}
