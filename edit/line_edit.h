// Line editing at the cursor: splitting and joining lines, deleting words
// and line ends, adding, duplicating, deleting and restoring whole lines,
// and the two-column indent and comment commands.
#pragma once

struct EditorState;

// Joins the next line onto the cursor line, at the line's end or at the left
// margin if that lies further right; the next line's blanks up to the left
// margin are dropped.  The cursor goes to the join.  0 joined; 1 no next
// line; 2 refused, the joined line would be too long to keep.
int Concat(EditorState* V);
// How far right the next line's characters move when Concat joins them on.
int JoinShift(EditorState* V);
// A join recorded as one (DelChr, DelRtWord at the line end).
void JoinNext(EditorState* V);
// JoinLine.
void JoinLine(EditorState* V);

// NewLine: splits the line at the cursor; the new line is indented like the
// cursor line, or, after a blank line, like the nearest longer line of the
// 128 above.  0 done, 1 refused.
int NewLine(EditorState* V);

void DeleteRightWord(EditorState* V);  // DelRtWord
void DeleteLeftWord(EditorState* V);   // DelLtWord
void DeleteToEol(EditorState* V);      // DelToEol
void UndoLine(EditorState* V);         // UndoCursorline

void Indent(EditorState* V);     // two blanks at the cursor, then the next line
void UnIndent(EditorState* V);   // up to two blanks off, then the next line
void Comment(EditorState* V);    // CommentOut: "//" at the cursor
void UnComment(EditorState* V);  // up to two '/' off

// Whole lines.  Deleted lines of 1 to 160 stored bytes are kept, the last
// 250 of them, for UndoDeleteLine, in any text.
void AddNewLine(EditorState* V);      // AddLine
void InsNewLine(EditorState* V);      // InsLine
void DupLine(EditorState* V);         // DupLine
void DeleteLine(EditorState* V);      // DelLine
void UndoDeleteLine(EditorState* V);  // UnDelLine

constexpr int kDelKeepMax = 160;  // longest stored line the deleted-line store keeps
