// Dragging: the block follows the cursor (keyboard selection), and the
// cursor line changes places with a neighbour.
#pragma once

struct EditorState;

// `move` is the CursorMove number (OneUp, OneDown, OneLeft, OneRight,
// PageUp, PageDown).
void DragBlk(EditorState* V, int move);
void DragLineUp(EditorState* V, int = 0);
void DragLineDown(EditorState* V, int = 0);
