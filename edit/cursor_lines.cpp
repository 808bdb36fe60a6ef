// The cursor-line primitives: the one way the cursor line of the current
// text changes.  Each writes the edited line back before it leaves it; when
// that write cannot be made (no memory for the record) the cursor stays, so
// the edit is not thrown away by the load of the next line.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/move_parts.h"
#include "edit/movement.h"

namespace {

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

}  // namespace

int ALineUp(EditorState* V) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  if (IsBase(t->curLine->prev())) return 1;
  if (AFlush(V) != 0) return 1;
  t->curLine = t->curLine->prev();
  t->lineNo--;
  ALoad(V);
  return 0;
}

int ALineDown(EditorState* V) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  if (IsBase(t->curLine) || IsBase(t->curLine->next())) return 1;
  if (AFlush(V) != 0) return 1;
  t->curLine = t->curLine->next();
  t->lineNo++;
  ALoad(V);
  return 0;
}

int StepLines(EditorState* V, int delta) {
  if (!haveText(V) || delta == 0) return 0;
  Tcb* t = V->curTcb;
  Link* l = t->curLine;
  int moved = 0;
  if (delta < 0) {
    while (moved < -delta && !IsBase(l->prev())) {
      l = l->prev();
      moved++;
    }
  } else {
    if (IsBase(l)) return 0;
    while (moved < delta && !IsBase(l->next())) {
      l = l->next();
      moved++;
    }
  }
  if (moved == 0 || AFlush(V) != 0) return 0;
  // The flush may have moved the cursor line to a new record; walk again
  // from it (the neighbours are the same records).
  l = t->curLine;
  for (int i = 0; i < moved; i++) l = delta < 0 ? l->prev() : l->next();
  t->curLine = l;
  t->lineNo += delta < 0 ? -moved : moved;
  ALoad(V);
  return moved;
}

int ALineSet(EditorState* V, int n) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  Link* base = t->base;
  if (base->next() == base) return 1;
  if (AFlush(V) != 0) return 1;
  if (n < 1) n = 1;
  // Walk from whichever known point is nearer: the first line, or the
  // cursor line whose number is known.  The result is the same as walking
  // from the base link.
  Link* l = base->next();
  int at = 1;
  if (!IsBase(t->curLine) && t->lineNo >= 1 && (n >= t->lineNo || t->lineNo - n < n - 1)) {
    l = t->curLine;
    at = t->lineNo;
  }
  while (at < n && !IsBase(l->next())) {
    l = l->next();
    at++;
  }
  while (at > n && !IsBase(l->prev())) {
    l = l->prev();
    at--;
  }
  t->curLine = l;
  t->lineNo = at;
  ALoad(V);
  return 0;
}

void SetALineQuick(EditorState* V, Link* link, int n) {
  Tcb* t = V->curTcb;
  if (!t || !link) return;
  int row = n + t->row - t->lineNo;
  if (row < 1) row = 1;
  if (row >= t->rows - 1) row = t->rows - 2;
  t->row = std::clamp(row, 0, std::max(t->rows - 1, 0));
  t->curLine = link;
  t->lineNo = n;
  ALoad(V);
}

void DoGoto(EditorState* V) {
  if (V->promptNumber > 0 && ALineSet(V, V->promptNumber) == 0) V->redraw |= REDRAW_TEXT;
}

void Adjust(EditorState* V, Tcb* tcb) {
  if (!tcb) return;
  int left = tcb->leftCol;
  if (tcb->col < left) left = tcb->col;
  const int cols = std::max(tcb->cols, 1);
  if (tcb->col - left >= cols - 1) left = std::max(tcb->col - cols + 1, 0);
  if (left != tcb->leftCol) {
    tcb->leftCol = left;
    V->redraw |= REDRAW_TEXT;
  }
}

int findLOL(const ActiveLine* line) {
  for (int i = 0; i < line->count; i++)
    if (line->c[i] > 0x20) return i;
  return line->count;
}
