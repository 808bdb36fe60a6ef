// Small text commands on the cursor line, the block or the whole text:
// ROT13, the readability index, the line-ups, sorting and paragraph reflow.
// Each takes the editor and an unused argument, as the dispatcher routes it.
#pragma once

#include "core/line_store.h"

struct EditorState;

// ROT13 over the block of the current text, or the whole text.
void Rot13Block(EditorState* V, int = 0);
// The readability index of the block or the whole text, on the alert line.
void Lix(EditorState* V, int = 0);

// The line-ups shift the cursor line's text sideways to the cursor column
// and step down one line, so that repeating them lines up a run of lines.
// A result too long for a line keeps the line ("Line too long") and the
// cursor where it is.
void Lineup(EditorState* V, int = 0);       // LineupLeft: the text starts at the cursor
void LineupRight(EditorState* V, int = 0);  // the text ends before the cursor
void LineupColumn(EditorState* V, int comment);  // 0: the field at the cursor, 1: the "//" comment
// Shifts an indented section line by line, keeping its inner indentation.
void MoveColumn(EditorState* V, int = 0);
// To the start of the field at the cursor on the next line.
void NewLineColumn(EditorState* V, int = 0);

// The column where the field at or right of column `start` begins (fields
// are separated by two blanks or more), or -1.
int findColumn(const ActiveLine* line, int start);
// The column where a "//" comment begins for a line-up at column `col`, or -1.
int findComment(const ActiveLine* line, int col);

// Sorts the lines the column block of the current text spans by the
// block's columns, stably; a column past a line's end reads as a blank.
void SortBlock(EditorState* V, int = 0);

// Re-breaks the paragraph from the cursor line down between the margins.
void Reflow(EditorState* V, int = 0);
