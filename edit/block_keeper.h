// The marked block's bookkeeping: keeping it over the same text while the
// text around it is edited, validating it, and finding its lines.
#pragma once

struct EditorState;

// Events of the block keeper, told by the editing code (L and c are the
// cursor line and column when the event is told).
constexpr int BLK_CHAR_WRITTEN = 0;   // a character written at c
constexpr int BLK_CHAR_REMOVED = 1;   // the character before c removed (insert mode)
constexpr int BLK_WORD_REMOVED = 2;   // V->blkShift characters removed at c
constexpr int BLK_LINE_RESTORED = 3;  // a line inserted before line L
constexpr int BLK_LINE_DELETED = 4;   // line L deleted
constexpr int BLK_LINES_JOINED = 5;   // line L+1 about to be joined onto line L
constexpr int BLK_SPLIT_BEGIN = 6;    // line L about to be split at c
constexpr int BLK_SPLIT_END = 7;      // split done; c is the new line's indentation
constexpr int BLK_LINE_ADDED = 8;     // a line inserted after line L
constexpr int BLK_LINE_INSERTED = 9;  // a line inserted before line L

// Moves the block's line numbers and columns so that it keeps covering the
// same text.  Acts only for edits in the Tcb where the block was marked.
void BlockAdjust(EditorState* V, int event);

// 1 when the block record describes a usable block; an unusable one is
// removed.
int ValidateBlk(EditorState* V);

// Clears the block record (its kind excepted) and the walk state.
void RemoveBlk(EditorState* V);

// Validates the block, flushes the cursor line and finds the Links of the
// block's first and last lines.  1 when the block is unusable or its lines
// lie beyond the end of its text, else 0.
int BlkUse(EditorState* V);
