// The defaults record: initial window size, margins of new texts and the
// mode word that new texts and the global toggles start from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct EditorState;
struct Defaults;

constexpr int32_t kDefaultWidth = 800;
constexpr int32_t kDefaultHeight = 600;
constexpr int32_t kDefaultLeftMargin = 0;
constexpr int32_t kDefaultRightMargin = 79;
// Insert, word set, TABs out, UTF-8 and LF on.
constexpr uint32_t kDefaultMode = 0x4232;
// A window the layout can hold, and what X can make.
constexpr int32_t kMinWinWidth = 100;
constexpr int32_t kMinWinHeight = 60;
constexpr int32_t kMaxWinSize = 32767;
// The right margin leaves room for the cursor at the end of a full line.
constexpr int32_t kMaxRightMargin = 1021;
// Mode bits saved as Set/Reset lines: 1 to 10 and 12 to 17.
constexpr uint32_t kSavedModeBits = 0x3f7fe;

// The toggle command each mode bit stands for, by bit number; "" for bits
// that are no toggle.
inline constexpr char tgltab[18][20] = {
    "",           "ToggleInsert",   "ToggleWordwrap", "ToggleSourceView", "ToggleWordSet", "ToggleTabsOut",
    "ToggleFormatOut", "DosCodepage", "ISO-8859",    "UTF-8",            "ToggleNoKeyRepeat", "",
    "ToggleTabMode", "ToggleCR",     "ToggleLF",       "TogglePointing",   "Toggle1Click",  "ToggleSyncScroll",
};

// Fills `d` with the built-in defaults, before the configuration file is read.
void initDef(EditorState* V, Defaults* d);

// The SetDefaults command: the window's size, the current text's margins
// and its mode with the global toggles become the defaults.
void SetDefaults(EditorState* V);

// Appends the "Default" lines: Set/Reset for each saved mode bit that
// differs from the built-in mode, then Heigh, Width, RMarg, LMarg when they
// differ from theirs.
void saveDef(const Defaults& d, std::string& out);

// Margins named by the file are checked together once it is read.
struct MarginLines {
  bool haveLeft = false, haveRight = false;
  long left = 0, right = 0;
};

// One "Default" line after its section word.  Returns false (nothing
// changed) for an unknown name or a value out of range.
bool loadDef(Defaults* d, std::string_view name, std::string_view value, MarginLines* margins);
// Applies the margins read when they make a sound pair (0 <= left < right
// <= 1021); returns false, leaving both as they were, when they do not.
bool applyMargins(Defaults* d, const MarginLines& margins);
