// The mouse: presses, releases and motion with the first button held, as
// the event loop hands them over.  Nothing happens while pointing is off
// (TogglePointing), except that the character chart takes its clicks.  A
// press goes by input mode: the open menu or text list
// gets it; in the editing mode it opens the menus from the top line, picks
// a view, places the cursor (double click), marks the block with Shift,
// scrolls with the wheel, and starts a drag of the block.
#pragma once

#include <cstdint>

struct EditorState;
union _XEvent;

// Two presses count as one double click when the second follows the first
// by at most this many milliseconds (X server time).
constexpr uint32_t kDoubleClickMs = 199;

void ClickIt(EditorState* V, _XEvent* ev);
void ClickItUp(EditorState* V, _XEvent* ev);
void ClickItMove(EditorState* V, _XEvent* ev);

// Nonzero when the last press counted as a double click (always with the
// single-click toggle on).
int DblClk();

// Forgets the last press, as at start-up.
void ResetMouse();
