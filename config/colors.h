// The colour roles and the paint pairs made from them.
//
// Every colour on screen comes from one of 27 named roles.  A role's colour
// is 0xAARRGGBB; the top byte is carried (the configuration file keeps it)
// but never drawn.  setColors turns the roles into the 30 foreground /
// background pairs of S.pairs that the painters name by number.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct EditorState;

constexpr int kColorRoles = 27;
constexpr int kColorNameSize = 20;

// Role numbers, in table order.
enum ColorRole : int {
  COLOR_STATUS = 0,
  COLOR_STATUSBKG,
  COLOR_TAB,
  COLOR_TABBKG,
  COLOR_PROMPT,
  COLOR_MESSAGE,
  COLOR_HILITE,
  COLOR_HILITEBKG,
  COLOR_MARKEDBKG,
  COLOR_MENU,
  COLOR_MENUMARK,
  COLOR_MENUMARKBKG,
  COLOR_BLACKTEXT,
  COLOR_REDTEXT,
  COLOR_BACKGROUND,
  COLOR_STDTEXT,
  COLOR_CURSORLINEBKG,
  COLOR_CURSORCHR,
  COLOR_CURSORCHRBKG,
  COLOR_EMPTYCURSOR,
  COLOR_RESERVED,
  COLOR_KEYWORD,
  COLOR_STRING,
  COLOR_LITERAL,
  COLOR_NUMBER,
  COLOR_PREPROC,
  COLOR_COMMENT,
};

struct ColorRoleDef {
  char name[kColorNameSize];  // also the configuration file key
  uint32_t def;               // built-in colour
};

inline constexpr std::array<ColorRoleDef, kColorRoles> colorRoles = {{
    {"Status", 0x00000000},        {"StatusBkg", 0xffb0dc1c},   {"Tab", 0xff000000},
    {"TabBkg", 0xffece8ec},        {"Prompt", 0x00008000},      {"Message", 0xffdc4000},
    {"Hilite", 0x00ffff00},        {"HiliteBkg", 0xffff0000},   {"MarkedBkg", 0xffd0ffd0},
    {"Menu", 0x00000000},          {"MenuMark", 0x00000000},    {"MenuMarkBkg", 0xffffd0d0},
    {"BlackText", 0xff000000},     {"RedText", 0xffff0000},     {"Background", 0xffffffff},
    {"StdText", 0x00000000},       {"CursorLineBkg", 0xffe8e864}, {"CursorChr", 0xff940000},
    {"CursorChrBkg", 0xffffd0d0},  {"EmptyCursor", 0xffffb0b0}, {"Reserved", 0x00ba50c4},
    {"Keyword", 0x000060b0},       {"String", 0x00e00000},      {"Literal", 0x00ff80e0},
    {"Number", 0x00b88800},        {"Preproc", 0x00008000},     {"Comment%", 0x00808080},
}};

// The colours in force, in role order.  Start out as the defaults; the
// configuration file and the colour dialogue change them.
extern std::array<uint32_t, kColorRoles> co;

// Writes the 27 built-in colours into table[0..26].
void getDefColors(EditorState* V, uint32_t* table);

// Fills S.pairs from co (top bytes dropped).
void setColors();

// Appends a "Color" line for each role whose colour differs from its
// default in the upper six bits of a channel (mask 0xfcfcfc): the colour
// with those low bits cleared and the top byte 0xff.
void saveColors(std::string& out);
// One "Color" line: the role name and a hexadecimal colour.  Returns false,
// changing nothing, for an unknown role or a value that is no number.
bool loadColor(std::string_view role, std::string_view value);
