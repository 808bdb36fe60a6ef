// The key table: bindings of key values to commands, and key translation.
//
// The live table is a list of 16-bit pairs (key value, binding value); a
// pair whose key value is 0 is a free slot.  A binding value is
//   256 + n           command n
//   1000 .. 32767     a macro key (the defaults: 1001..1012 for F1..F12)
//   0x8000 | group    the first key of two-key sequences; the sequence's
//                     second keys are stored with key value group | keycode
//   255 or less       no command: the key types its character
// The table starts out holding the default bindings, as after swoshkey, so
// keys work before any configuration has been read.
#pragma once

#include <cstddef>
#include <cstdint>

struct EditorState;

constexpr int kKeyTabWords = 1024;  // 512 pairs
constexpr int kKeyInitPairs = 157;  // the classic 153, then Home, End, ^Home, ^End
constexpr int kKeyInitWords = 2 * kKeyInitPairs;
// What swoshkey leaves in use: the default pairs followed by as many free
// pairs, room for the key configuration to add bindings in place.
constexpr int kKeyInitCount = 2 * kKeyInitWords;
constexpr int kTwoKeyStrSize = 8;  // longest is a modifier, a name, the NUL

constexpr uint16_t BIND_COMMAND = 256;     // 256 + command number
constexpr uint16_t BIND_MACRO_FIRST = 1000;
constexpr uint16_t BIND_FIRSTKEY = 0x8000;  // bit of a first key's binding
constexpr uint16_t BIND_GROUPMASK = 0xff00; // a second key's bits naming its group

struct KeyPair {
  uint16_t key;
  uint16_t binding;
};

// The default bindings, in their fixed order.
extern const KeyPair KeyInitTab[kKeyInitPairs];

// The live table and the number of its words in use (free pairs included),
// for the configuration code to read, edit and replace.
uint16_t* keytab();
int32_t* keymax();

// Rebuilds `table` (kKeyTabWords words) from the defaults and sets *count.
void swoshkey(uint16_t* table, int32_t* count);

// Translates a key press.  Returns the binding value of the key, -1 when it
// has none (the input method makes text of it) or -2 when it is swallowed:
// the first key of a sequence (then stored in *pending), or any second key
// without a binding.  *pending is V->twoKeyPending: 0, or the waiting first
// key's binding value; it is cleared by the key that follows.
int KeyConv(unsigned keycode, unsigned state, int32_t* pending);

// Literal mode: the next key that makes text is taken as text even if bound.
void SetLitt(EditorState* V, int on);
int litteral();

// The status-line indicator: the pending first key ("^Q") or "L" in literal
// mode; empty otherwise.
const char* twokeystr();

// Writes into dst (`size` bytes, cut to fit) every key bound to command n,
// in table order, joined by ", "; "n/a" when none.
void GetKeyNameShort(char* dst, size_t size, int n);
