// The marked block: marking it, and copying, moving, deleting, restoring,
// filling, opening, reading and writing it.
//
// Cut-out or copied contents travel as a block text: a detached line list
// under a base link of its own whose width slot says where the text ends on
// its last line (line block) or how wide it is (column block).  A width above
// 1024 means "the last line's length" (whole lines).
#pragma once

#include "core/line_store.h"

struct EditorState;

constexpr int kWholeLines = 0x401;  // width of a text of whole lines

// Marking kinds of MarkBlk.
constexpr int MARK_ALL = 0;
constexpr int MARK_WORD = 1;
constexpr int MARK_TO_EOL = 2;
constexpr int MARK_BEGIN = 3;
constexpr int MARK_END = 4;
constexpr int MARK_COL_UPLEFT = 5;
constexpr int MARK_COL_DOWNRIGHT = 6;

void MarkBlk(EditorState* V, int kind);
void UnmarkBlk(EditorState* V, int = 0);  // UnmarkBlock
void TglColumnBlk(EditorState* V, int = 0);

// The commands.
void CopyBlk(EditorState* V, int = 0);
void MoveBlk(EditorState* V, int = 0);
void DeleteBlk(EditorState* V, int = 0);
void UnDeleteBlk(EditorState* V, int = 0);
void OpenBlk(EditorState* V, int move);
void FillBlk(EditorState* V, int = 0);        // asks "Fill with:"
void ReadBlockCmd(EditorState* V, int = 0);   // asks "Insert file:"
void WriteBlockCmd(EditorState* V, int = 0);  // asks "Write block:"

// Fills the column block of the current text with `fill` (n characters)
// repeated; an empty fill writes nothing.  0 done, 1 refused.
int FillWith(EditorState* V, const tchar* fill, int n);
// Inserts the file `name` (in V->curDir) at the cursor as a line block.
// 0 done, 1 nothing inserted (the alert says why).
int ReadBlock(EditorState* V, const char* name);
// Saves the block of the current text, or the whole text without a block.
void WriteBlock(EditorState* V, const char* name);

// Block texts.  GetBlk copies the usable block, PullBlk cuts it out of its
// text (the block is removed); both null when nothing was taken (no usable
// block, a joined line that would not fit, no memory).
Link* GetBlk(EditorState* V);
Link* PullBlk(EditorState* V);
// Insert a block text at the cursor of the current text as a line block or a
// column block, which then becomes the block; the text is used up.  1 when
// refused ("Line too long", no memory): nothing changed, the text is kept.
int PutBlk(EditorState* V, Link* text);
int PutColBlk(EditorState* V, Link* text);
// Opens a block text as a new unnamed text in the current folder, which
// becomes the current one; the text is used up either way.
void BlkToText(EditorState* V, Link* text);
// A copy of a block text; null when memory ran out.
Link* CopyText(EditorState* V, const Link* text);
// Blanks the column block in place.
void BlankBlk(EditorState* V);

// 1 when the cursor lies inside the line block of the current text (from
// its start to its end position inclusive).
int BlkMoveBadPos(EditorState* V);
// Makes line n of the block's text its cursor line.
void ALineSetBlk(EditorState* V, int n);
