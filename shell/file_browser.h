// The file browser: a directory listed as a temporary text (kind KIND_DIR),
// one entry a line with its name from column 8, directories first.  The
// user moves with Up, Down, PageUp and PageDown, finds entries by typing
// (Right finds the next occurrence), enters directories and picks files
// with Enter, and goes back to the file-name prompt with Esc.
#pragma once

#include "core/editor_state.h"

constexpr int kListNameCol = 8;  // where an entry's name begins
constexpr int kListTypeCol = 5;  // holds 'R' on a directory's line
constexpr int kFindNext = -1;    // FileFind: the next occurrence

// Opens the browser on `path`, or with null on the current text's directory
// (which becomes V->curDir).  A path ending in ".." lists the parent.  The
// text that was current is remembered and comes back when the browser
// closes.  Returns 1 with the listing current and ModeFileBrowser set; 0
// when `path` cannot be read: then V->curDir is listed instead with the
// alert "Permission denied" (or, when that cannot be read either, nothing
// is opened).  On success the listed directory becomes V->curDir.
int OpenDir(EditorState* V, const char* path);
// The same at V->curDir for choosing a font file: a picked name is left in
// V->reply (directory in V->curDir) and no file-name question follows.
int OpenDirForFont(EditorState* V);

// The ModeFileBrowser key handler.
void fileKey_(EditorState* V, int key);

// Enter on the cursor line of the listing.
void PickFile(EditorState* V);

// Closes the browser: the listing is released, the remembered text made
// current again, and the keys go back to the mode that opened the browser
// (the file-name prompt).
void EndDirMode_(EditorState* V);

// Type-ahead search: c is a character to add to the search string, 0 to
// reset it, or kFindNext.  A match moves the cursor onto it and highlights
// it (V->hiliteLen); a search that fails everywhere leaves the cursor.
void FileFind(EditorState* V, int c);
