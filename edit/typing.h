// Typing at the cursor and removing single characters: insert and
// overwrite, word wrap at the right margin, the left and decimal tab stops,
// backspace with its ring of removed characters, and DelChr.
#pragma once

#include "core/line_store.h"

struct EditorState;

// A typed character (the event loop's entry for every character key).
// Codes that are not characters are ignored; a TAB acts as TabRt and a CR
// or LF as NewLine, so no line ever holds one.  At a left or decimal stop the
// text grows leftwards from the stop; otherwise the character is written
// (and recorded for undo) and, with word wrap on, a word that runs past the
// right margin moves to a new line.
void TypeChar(EditorState* V, int code);

// Writes ch at the cursor (over the character there in overwrite mode) and
// steps right.  Nothing on the end-of-text position, beyond column 1021, on
// a full line, or when the line would no longer fit a stored record.
void WriteChar(EditorState* V, tchar ch);

// WriteChar as typing does it: recorded for undo (TabRt's blanks).
void WriteTyped(EditorState* V, tchar ch);

// CopyChr: types the character of the line above at the cursor column.
void CopyChar(EditorState* V);

// Backspace (save 1) and BackspaceNoSave (save 0).  At column 0 or at the
// left margin the line is joined to the one above.
void BackSpace(EditorState* V, int save);
// UnBackspace: retypes the characters backspace removed, in text order.
void UnBackSpace(EditorState* V);
// BackOnlySave: steps left and keeps the character there for UnBackspace.
void toTube(EditorState* V);

// DelChr: removes the character at the cursor; at the line end joins the
// next line.
void DeleteChar(EditorState* V);

// Typing and deleting at a left ('<') or decimal (',') stop.
void RTab(EditorState* V, tchar ch);
void DTab(EditorState* V, tchar ch);
void RDel(EditorState* V);
