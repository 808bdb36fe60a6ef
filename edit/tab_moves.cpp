// Moves to the tab stops of the ruler.  In tab mode the cursor only moves;
// otherwise TabRt writes blanks up to the stop and TabLt backspaces to it.
#include "core/editor_state.h"
#include "edit/move_parts.h"
#include "edit/movement.h"
#include "edit/typing.h"

namespace {

constexpr int kLastStop = kAlineMax - 2;  // a stop past this is out of reach

int tabRight(EditorState* V) {
  Tcb* t = V->curTcb;
  int c = t->col + 1;
  while (c <= kLastStop && t->ruler[c] == ' ') c++;
  if (c > kLastStop) return 1;
  if (t->mode & MODE_TABMODE) {
    t->col = c;
  } else {
    if (t->lastTabKind == '<') t->col++;
    for (int n = c - t->col; n > 0; n--) WriteTyped(V, ' ');
  }
  t->lastTabKind = int32_t(t->ruler[t->col]);
  Adjust(V, t);
  return 0;
}

int tabLeft(EditorState* V) {
  Tcb* t = V->curTcb;
  if (t->col <= 0) return 1;
  int c = t->col - 1;
  while (c > 0 && t->ruler[c] == ' ') c--;
  if (t->mode & MODE_TABMODE) {
    t->col = c;
  } else {
    // Plain backspaces: after a move to a left or decimal stop a backspace
    // would delete at the stop instead of stepping left.  They stop deleting
    // at the left margin, where a backspace joins the line to the one above;
    // the cursor walks the rest of the way.
    t->lastTabKind = 0;
    for (int n = t->col - c; n > 0 && t->col > 0; n--) {
      const int before = t->col;
      if (before <= t->leftMargin)
        t->col--;
      else
        BackSpace(V, 1);
      if (t->col >= before) break;
    }
  }
  t->lastTabKind = int32_t(t->ruler[t->col]);
  Adjust(V, t);
  return 0;
}

}  // namespace

int TabMove(EditorState* V, int move) {
  return move == MOVE_TABRT ? tabRight(V) : tabLeft(V);
}
