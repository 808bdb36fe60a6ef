#include "shell/key_press.h"

#include <cstdio>

#include "core/editor_state.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_table.h"

namespace {

constexpr unsigned kModifierKeycodes[] = {
    37, 105,       // Ctrl
    50, 62,        // Shift
    64, 108, 92,   // Alt, AltGr (ISO level 3 on either keycode)
    133, 134,      // Super
    66, 77,        // Caps Lock, Num Lock
    203, 204, 205, 206, 207,  // mode switch and the virtual modifier keys
};

// Characters that are never text: typed by a key without a binding they
// would hide in the line.  TAB is left to typing, which makes it a tab move.
bool isControl(int c) { return (c >= 0 && c < 0x20 && c != '\t') || c == 0x7f; }

}  // namespace

bool IsModifierKeycode(unsigned keycode) {
  for (unsigned k : kModifierKeycodes)
    if (k == keycode) return true;
  return false;
}

void PressKey(EditorState* V, unsigned keycode, unsigned state, const std::function<int()>& typed) {
  int code = 0;
  if (V->inputMode != ModeKeyConfig) {
    // Ctrl pressed again between ^K and D is not the second key.
    if (V->twoKeyPending && IsModifierKeycode(keycode)) return;
    if (keycode == kKeycodeKeypadEnter) keycode = kKeycodeEnter;
    const bool literal = litteral();
    const int conv = KeyConv(keycode, state, &V->twoKeyPending);
    if (conv == -2) return;
    if (conv > 255) {
      code = conv + 0x40000000;
    } else {
      code = typed();
      if (code < 0) return;
      if (literal) {
        SetLitt(V, 0);
      } else if (V->inputMode == ModeEdit && isControl(code)) {
        char name[32];
        KeyText(name, sizeof name, KeyValue(keycode, state));
        char msg[64];
        std::snprintf(msg, sizeof msg, "Key not bound: %s", name);
        V->hiliteLen = 0;
        SetAlert(V, msg);
        return;
      }
    }
  }
  HandleKey(V, code, keycode, state);
}
