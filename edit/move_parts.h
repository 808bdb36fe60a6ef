// The pieces of CursorMove kept in their own files.
#pragma once

struct EditorState;

// Moves the cursor line by `delta` lines (negative: up), stopping at the
// first or last line, with one flush and one load however far it goes.
// Returns the number of lines actually moved (always >= 0).
int StepLines(EditorState* V, int delta);

// Word moves 8, 9, 35, 36 and 37; returns 0.
int WordMove(EditorState* V, int move);

// TabRt (23) and TabLt (24); 1 when nothing happened (no repaint).
int TabMove(EditorState* V, int move);

// IndentUp (33) and IndentDown (34).
void IndentMove(EditorState* V, bool backwards);
