// Painting the views: status line, tab line (or prompt, or alert), text rows.
//
// redraw composes every row of every visible view from the editor state
// after each event, but sends only what the window does not show yet: the
// cells that changed (blanks as filled rectangles, the rest through the
// glyph strip), after moving rows and columns that scrolled with XCopyArea.
// With a null S.display the strip is filled and nothing is sent.  Colours come from
// S.pairs by pair number (config/colors.h fills them).
//
// Parts that are not here reach the painter through hooks: the prompt line's
// text, the open main menu, and syntax colouring.  A hook that is not set
// paints plainly (an empty prompt, no menu, no colouring).
#pragma once

#include <cstdint>

#include "core/editor_state.h"

// --- Painting ---

// Repaints the window: the current view, or every view of the split layout.
// Without a current text only the prompt line is painted (when open).
// Clears the repaint requests in V->redraw.
void redraw(EditorState* V);

// One view: its head row (prompt, alert or tab line), status line and text
// rows.  A null view paints only the prompt line.  May lower t->row when the
// cursor row would lie above the first line.
void ViewText(EditorState* V, Tcb* t);
void ViewStatus(EditorState* V, Tcb* t);
void ViewTab(EditorState* V, Tcb* t);
void ViewPrompt(EditorState* V, Tcb* t);  // t may be null
void ViewAlert(EditorState* V, Tcb* t);   // only for V->textWithAlert

// --- The marked block as the painter sees it ---

struct PaintBlock {
  Tcb* tcb;  // the view that holds the block; null: no block
  int32_t startLine, startCol;
  int32_t endLine, endCol;  // endCol is exclusive
  int32_t isColumn;
};

// The block to paint: the marked block, unless an override is set.
PaintBlock PaintBlockState(EditorState* V);
// Replaces what PaintBlockState reports (null: back to the editor's block).
void SetPaintBlockOverride(const PaintBlock* blk);

// How the row of line `lineNo` is marked, given the block's visible start
// and end columns s and t (already less leftCol, capped at cols):
// 0 outside the block's lines; 1 marked from s; 2 wholly marked; 3 marked
// up to t; 4 marked from s up to t; 5 in the block's lines but unmarked.
int BlockRowState(const PaintBlock& blk, int lineNo, int s, int t, int cols);

// --- Hooks ---

// The prompt line: a 0-terminated string and the cursor index (0: no cursor).
struct PromptView {
  const tchar* line;
  int cursor;
};
using PromptSource = PromptView (*)(EditorState* V);
void SetPromptSource(PromptSource source);

// Repaints the open main menu in place of the status line (menu mode).
using MenuPainter = void (*)(EditorState* V);
void SetMenuPainter(MenuPainter painter);

// Syntax colouring: splits a line into (class, length) byte pairs ended by
// (0, 0) in `runs` (kColorRunBytes bytes).  Plain text after the last run
// need not be listed.
constexpr int kColorRunBytes = 63;
using Colorizer = void (*)(uint8_t* runs, const tchar* line, int count);
void SetColorizer(Colorizer colorizer);
