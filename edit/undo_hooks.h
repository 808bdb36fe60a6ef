// What the editing code tells the undo log (the log itself: edit/undo.h).
#pragma once

#include "core/editor_state.h"
#include "core/line_store.h"

// Set when an edit joined two lines; the next record written consumes it.
// NewLine also reads it: a split made while it is set adds no indentation.
inline int udojoin = 0;
// Set by DelLine: 1 when the deleted line was not kept for UnDelLine.
inline int udoflag = 0;
// The column NewLine last split the line at (it moves to the indentation
// when the cursor stood inside it).
inline int udoSplitCol = 0;
// The blanks up to the left margin the last join dropped from the line it
// took up, for the join record.
inline int udoJoinSkip = 0;

// A character about to be typed at the cursor in insert mode.
void UdoType(EditorState* V, tchar ch);
// The cursor is where the last edit ended (PrevPos goes back there; Undo
// and Redo act only from there).
void UdoPos(EditorState* V);
// A character removed by a backspace; the cursor has moved left over it.
// In overwrite mode it was blanked, not removed.  A join (udojoin set)
// becomes a join record.
void UdoBackSpace(EditorState* V, tchar ch, bool overwrite = false);
// Characters min(a,b) .. max(a,b)-1 of `line`, about to be deleted.
void udosavstr(const ActiveLine* line, int a, int b);
