// Key values and key names.
//
// A key value is 16 bits: the X keycode AND 0x7f in bits 0..6 plus one bit
// per modifier held (KEY_SHIFT .. KEY_ALTGR).  The second key of a two-key
// sequence instead carries KEY_SECOND and its first key's group number in
// bits 8..14, and no modifier bits.  Caps Lock, Num Lock and the other X
// modifiers never reach a key value, so they cannot change a binding.
//
// Key name notation (as shown in menus, help and the configuration file, and
// as test scenarios write keys):
//
//   [Sh][^][@][Wn][@g]NAME
//
//   Sh  Shift      ^  Ctrl      @  Alt      Wn  Windows key      @g  AltGr
//
// The prefixes are written in that order; NAME is one of KeyNames below
// (case-sensitive: "@gU" is AltGr+U, "@G" is Alt+G).  Examples: "^K", "ShUp",
// "@gBkSp", "Ent", "F1", "^Left", "^^" (Ctrl with the key named "^").  The
// four national names are single ISO-8859-1 bytes (Å 0xC5, Ö 0xD6, Ä 0xC4,
// § 0xA7), which is how the painter widens bytes into characters; the parser
// also takes them written in UTF-8 ("^§").  A two-key sequence is shown as
// the first key, "+", and the second key's bare name ("^K+B"); the parser
// reads one key at a time, so a scenario gives a sequence as two names.
// Keycodes follow the PC layout of X servers (Esc 9, F1 67, Home 110).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr uint16_t KEY_CODEMASK = 0x7f;
constexpr uint16_t KEY_SHIFT = 0x100;
constexpr uint16_t KEY_CTRL = 0x200;
constexpr uint16_t KEY_ALT = 0x400;
constexpr uint16_t KEY_WIN = 0x800;
constexpr uint16_t KEY_ALTGR = 0x1000;
constexpr uint16_t KEY_MODMASK = 0x1f00;
constexpr uint16_t KEY_SECOND = 0x8000;

// X modifier state bits (ShiftMask, ControlMask, Mod1Mask, Mod4Mask,
// Mod5Mask), spelled out so that this header needs no X headers.
constexpr unsigned XSTATE_SHIFT = 0x1;
constexpr unsigned XSTATE_CTRL = 0x4;
constexpr unsigned XSTATE_ALT = 0x8;
constexpr unsigned XSTATE_WIN = 0x40;
constexpr unsigned XSTATE_ALTGR = 0x80;

constexpr int kKeyNameCount = 128;
constexpr int kKeyNameSize = 5;  // four characters and the terminator

// Key names by keycode AND 0x7f; "n/a" where no key is named.
inline constexpr char KeyNames[kKeyNameCount][kKeyNameSize] = {
    "n/a",  "n/a", "n/a",  "n/a",  "n/a",  "n/a",  "n/a",  "n/a",   // 0
    "n/a",  "Esc", "1",    "2",    "3",    "4",    "5",    "6",     // 8
    "7",    "8",   "9",    "0",    "+",    "n/a",  "BkSp", "Tab",   // 16
    "Q",    "W",   "E",    "R",    "T",    "Y",    "U",    "I",     // 24
    "O",    "P",   "\xC5", "^",    "Ent",  "n/a",  "A",    "S",     // 32
    "D",    "F",   "G",    "H",    "J",    "K",    "L",    "\xD6",  // 40
    "\xC4", "\xA7", "n/a", "\"",   "Z",    "X",    "C",    "V",     // 48
    "B",    "N",   "M",    ",",    ".",    "-",    "n/a",  "n*",    // 56
    "n/a",  "Sp",  "n/a",  "F1",   "F2",   "F3",   "F4",   "F5",    // 64
    "F6",   "F7",  "F8",   "F9",   "F10",  "n/a",  "n/a",  "#7",    // 72
    "#8",   "#9",  "#-",   "#4",   "#5",   "#6",   "#+",   "#1",    // 80
    "#2",   "#3",  "#0",   "#.",   "n/a",  "n/a",  "<",    "F11",   // 88
    "F12",  "n/a", "n/a",  "n/a",  "n/a",  "n/a",  "n/a",  "n/a",   // 96
    "n/a",  "n/a", "#/",   "n/a",  "n/a",  "n/a",  "Home", "Up",    // 104
    "PgUp", "Left", "Rght", "End", "Down", "PgDw", "Ins",  "Del",   // 112
    "n/a",  "n/a", "n/a",  "n/a",  "n/a",  "n/a",  "n/a",  "n/a",   // 120
};

// Short names of the modifiers, in the order they are written.
constexpr int kModifierCount = 5;
inline constexpr char ShiftNamesShort[kModifierCount][3] = {"Sh", "^", "@", "Wn", "@g"};
inline constexpr uint16_t kModifierBits[kModifierCount] = {KEY_SHIFT, KEY_CTRL, KEY_ALT, KEY_WIN, KEY_ALTGR};
inline constexpr unsigned kModifierStates[kModifierCount] = {XSTATE_SHIFT, XSTATE_CTRL, XSTATE_ALT, XSTATE_WIN,
                                                             XSTATE_ALTGR};

// The key value of an X key press: keycode AND 0x7f plus the modifier bits.
constexpr uint16_t KeyValue(unsigned keycode, unsigned state) {
  uint16_t key = uint16_t(keycode & KEY_CODEMASK);
  for (int i = 0; i < kModifierCount; i++)
    if (state & kModifierStates[i]) key |= kModifierBits[i];
  return key;
}

namespace key_detail {

// A national name may be written as its one ISO-8859-1 byte or in UTF-8.
constexpr bool sameName(std::string_view text, const char* name) {
  if (text == name) return true;
  if (text.size() == 2 && name[0] != 0 && name[1] == 0) {
    auto lead = static_cast<unsigned char>(text[0]);
    auto tail = static_cast<unsigned char>(text[1]);
    if ((lead == 0xC2 || lead == 0xC3) && (tail & 0xC0) == 0x80) {
      unsigned latin = ((lead & 0x3u) << 6) | (tail & 0x3fu);
      return latin == static_cast<unsigned char>(name[0]);
    }
  }
  return false;
}

}  // namespace key_detail

// The keycode named `name` (no prefixes), or -1; "n/a" names no key.
constexpr int FindKeyName(std::string_view name) {
  if (name.empty() || name == "n/a") return -1;
  for (int i = 0; i < kKeyNameCount; i++)
    if (key_detail::sameName(name, KeyNames[i])) return i;
  return -1;
}

// The key value written as `text` in the notation above, or -1.  Each
// prefix may appear once, in any order; the longest reading wins where a
// prefix could also be a name ("^" alone is the key named "^").
constexpr int ParseKeyValue(std::string_view text) {
  uint16_t mods = 0;
  for (;;) {
    int code = FindKeyName(text);
    if (code >= 0) return mods | code;
    int which = -1;
    size_t len = 0;
    if (text.starts_with("Sh")) which = 0, len = 2;
    else if (text.starts_with("^")) which = 1, len = 1;
    else if (text.starts_with("@g")) which = 4, len = 2;
    else if (text.starts_with("@")) which = 2, len = 1;
    else if (text.starts_with("Wn")) which = 3, len = 2;
    if (which < 0 || (mods & kModifierBits[which]) || text.size() == len) return -1;
    mods |= kModifierBits[which];
    text.remove_prefix(len);
  }
}

// Writes one key (modifier prefixes and name; a second key's bare name) into
// dst of `size` bytes, cut to fit and terminated.  Returns the length.
int KeyText(char* dst, size_t size, uint16_t key);

// Parses a key written in the notation above into a PC keycode and X
// modifier state.  Returns false for text that names no key.
bool ParseKeyName(const char* name, int* keycode, unsigned* state);
