// Typing a character at the cursor.
#pragma once

struct EditorState;

// Writes `code` at the cursor of the current text -- inserted, or over the
// character there when insert mode (TGL_INSERT) is off -- and steps right.
// Ignored past column 1021, on a full line, on the end-of-text line, and for
// codes that are not characters.
void TypeChar(EditorState* V, int code);
