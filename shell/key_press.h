// The steps of a key press after auto-repeat, without X: the key table, the
// input method's character (asked for only when the key has no binding) and
// the current mode.  The event loop and the key-driven tests share them, so
// what a test presses is what a user's key does.
#pragma once

#include <functional>

struct EditorState;

// PC keycodes the key table treats specially.
constexpr unsigned kKeycodeEnter = 36;
constexpr unsigned kKeycodeKeypadEnter = 104;

// Shift, Ctrl, Alt, AltGr, Super, Caps Lock and Num Lock, both sides.
bool IsModifierKeycode(unsigned keycode);

// `typed` gives the input method's code point for the key, or -1 when it
// makes no text.
void PressKey(EditorState* V, unsigned keycode, unsigned state, const std::function<int()>& typed);
