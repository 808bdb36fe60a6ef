// The toggles and settings commands: mode bits, margins, tab ruler, zoom.
#pragma once

struct EditorState;

// Toggle numbers (the argument of ToggleSet).
constexpr int TOGGLE_ZOOM = 0;
constexpr int TOGGLE_LMARGIN = 1;
constexpr int TOGGLE_RMARGIN = 2;
constexpr int TOGGLE_TAB = 3;
constexpr int TOGGLE_LEFTTAB = 4;
constexpr int TOGGLE_DECIMALTAB = 5;
constexpr int TOGGLE_CLEARTAB = 6;
constexpr int TOGGLE_RESETTABS = 7;
constexpr int TOGGLE_CLEARTABS = 8;
constexpr int TOGGLE_INSERT = 9;
constexpr int TOGGLE_WRAP = 10;
constexpr int TOGGLE_TABSOUT = 11;
constexpr int TOGGLE_SOURCE = 14;
constexpr int TOGGLE_NOREPEAT = 15;
constexpr int TOGGLE_BOXDRAW = 16;
constexpr int TOGGLE_SOFTCR = 17;
constexpr int TOGGLE_TABMODE = 18;
constexpr int TOGGLE_CP = 19;
constexpr int TOGGLE_LATIN1 = 20;
constexpr int TOGGLE_UTF8 = 21;
constexpr int TOGGLE_CR = 22;
constexpr int TOGGLE_LF = 23;
constexpr int TOGGLE_WORDSET = 24;
constexpr int TOGGLE_POINTING = 25;
constexpr int TOGGLE_ONECLICK = 26;
constexpr int TOGGLE_SYNCSCROLL = 27;

// Applies toggle `which`.  Global bits change V->toggles, per-text bits the
// current text's mode (nothing without a current text).  The encoding
// toggles only choose how the text is saved; its lines are not converted.
void ToggleSet(EditorState* V, int which);
