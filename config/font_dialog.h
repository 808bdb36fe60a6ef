// The font dialogue: the nine font settings, edited in place.  Numbers are
// changed with Left and Right, texts typed; Enter on a font file item lists
// the files fontconfig knows for the item's pattern.  The space bar applies
// the settings to the editor; Esc closes (and lays the editor out anew).
#pragma once

#include <string>

#include "config/fonts.h"

struct EditorState;

constexpr int kFontListRows = 9;

// Opens the dialogue, or closes it when open.
void FontConfig(EditorState* V);
// A key while it is open: a character, or CMD_BASE + a command number.
void FontKey(EditorState* V, int key);
bool FontDialogOpen();

// Draws the whole window.
void viewFonts(EditorState* V);

// What the dialogue holds, for its tests.
int FontSelected();
int FontEditPos();             // byte offset in the selected text item
bool FontListShown();
int FontListCount();
int FontListSelected();
int FontListTop();
const std::string& FontNote();  // the message line; "" when none
