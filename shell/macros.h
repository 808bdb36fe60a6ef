// Keyboard macros: recorded key codes bound to macro keys (F1..F12 and
// Ctrl+B 4 by default), kept in memory while the program runs.
//
// MacroRecord arms the recorder, the next key chooses the macro key, and
// MacroRecord ends the recording.  Pressing a macro key replays its codes;
// a macro may press other macro keys, replayed in turn up to a fixed depth.
#pragma once

#include <cstdint>

struct EditorState;

// A macro key's code: this plus its binding value (1000..32767).
constexpr int32_t kMacroKeyBase = 0x40000000;
constexpr int kMacroBytes = 1000;                  // the key word and 249 codes
constexpr int kMacroCodes = kMacroBytes / 4 - 1;   // codes a macro holds
constexpr int kMacroDepth = 5;                     // nesting beyond this stops
constexpr uint32_t TGL_RECORDING = 0x1;            // armed or recording: "Rec"

constexpr bool IsMacroKey(int32_t code) { return code > kMacroKeyBase + 999 && code < kMacroKeyBase + 0x8000; }

// The MacroRecord command: idle -> armed; recording -> stored; armed: nothing.
void MacroRec(EditorState* V);
// Sees every key code of the editing mode before the key itself is typed or
// dispatched: records it, arms or replays.
void MacroKey(EditorState* V, int code);

// 0 idle, 1 armed, 2 recording.
int MacroState(const EditorState* V);
// Number of macros stored.
int MacroCount(const EditorState* V);
