// What the editing code tells the undo log.  Until the log exists these
// record nothing but the position of the last edit; the flags keep the
// meaning the editing code relies on.
#pragma once

#include "core/editor_state.h"
#include "core/line_store.h"

// Set when an edit joined two lines; the next record written consumes it.
// NewLine also reads it: a split made while it is set adds no indentation.
inline int udojoin = 0;
// Set by DelLine: 1 when the deleted line was not kept for UnDelLine.
inline int udoflag = 0;

// A character about to be typed at the cursor.
inline void UdoType(EditorState*, tchar) {}
// The cursor is where the last edit ended (PrevPos goes back there).
inline void UdoPos(EditorState* V) {
  if (!V->curTcb) return;
  V->lastEditLine = V->curTcb->lineNo;
  V->lastEditCol = V->curTcb->col;
}
// A character removed by a backspace; the cursor has moved left over it.
inline void UdoBackSpace(EditorState*, tchar) { udojoin = 0; }
// Characters min(a,b) .. max(a,b)-1 of `line`, about to be deleted.
inline void udosavstr(const ActiveLine*, int, int) {}
