// The painters' common step: one screen row of cells, each a character and
// a colour, sent to the window through the glyph strip.
#pragma once

#include <cstdint>

#include "core/editor_state.h"
#include "display/paint.h"

namespace paint_detail {

// The text columns a row can hold, and one more for the line-end mark.
constexpr int kRowCells = kAlineMax + 1;

// Input modes that change what the head and status rows show.
constexpr int kModePrompt = 2;
constexpr int kModeMenu = 6;

struct RowImage {
  tchar ch[kRowCells];
  uint8_t style[kRowCells];  // a pair number or one of the kPairDiff values
  int n;                     // cells in use

  // n cells of blanks in one style.
  void blank(int cells, uint8_t st);
  // Style for cells [from, to), clipped to the row.
  void paint(int from, int to, uint8_t st);
  // Characters from `s` (cut at 0 or the row's end) from cell `at` on.
  void put(int at, const tchar* s, int len);
  void putBytes(int at, const char* s, int len);
};

// Columns of a row in view t: the view's width, within what a row holds.
int RowWidth(const Tcb* t);

// Sends the row with its first cell at pixel x and baseline y.  Neighbouring
// cells of equal colours go in one transfer; each run reaches the paint sink.
void DrawRow(EditorState* V, Tcb* view, int row, int x, int y, const RowImage& r);

// The prompt line from the prompt's hook, or an empty one.
PromptView CurrentPrompt(EditorState* V);

// Makes the next DrawRow of every row of the window send it, changed or not.
void ForgetSentRows();

// Before a view's text rows are drawn: moves the pixels already on the
// window that the new rows can reuse (lines scrolled up or down, columns
// scrolled sideways) with one copy each way, so that DrawRow then sends only
// what is new.  `rows` are the `count` rows from baseline y0 on, `cols` the
// text columns of each (the line-end cell after them does not scroll
// sideways), `leftCol` the first text column shown.
void MoveUnchanged(EditorState* V, int x, int y0, int leftCol, int cols, const RowImage* rows,
                   int count);

// What the rows have cost so far: image pixels (width x height) and the
// requests that carried them, filled blanks and moved bands.
struct PaintTraffic {
  uint64_t pixels, puts, fills, copies;
};
PaintTraffic PaintTrafficSent();

// Shared scratch row: painting is single-threaded and one row is composed
// at a time.
RowImage& ScratchRow();

}  // namespace paint_detail
