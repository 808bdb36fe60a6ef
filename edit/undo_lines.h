// Shared by the undo files only: line lookup and the swap of kept lines.
#pragma once

#include <cstdint>

struct EditorState;
struct Link;

// Line n of the current text (1-based), or null when there is none.
Link* UdoLinkAt(EditorState* V, int n);
// Makes line `line` (the end-of-text position past the last) the cursor
// line without storing the cursor line, which must be clean.
void UdoGoQuick(EditorState* V, int line, int col);
// Other views of the current text find their cursor line again by number.
void UdoRefindViews(EditorState* V);
// The change about to be recorded as kept lines is DelLine of the only
// line, which also put it in the deleted-line store.
void UdoLinesIntoStore();
// Undo (undo true) or Redo of a kept-lines record; false when its lines do
// not fit the text.
bool UdoLinesSwap(EditorState* V, uint8_t* rec, bool undo);
// The lines out..outLast between `before` and `after` (none when out is
// null) trade places with the detached list whose base link is `list`.
void UdoSwapRun(Link* before, Link* after, Link* out, Link* outLast, Link* list);
