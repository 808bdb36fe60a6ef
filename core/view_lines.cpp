// Keeping the cursor line of every view valid while its lines are edited
// through another view of the same text.
//
// A view that is not current holds a pointer to its cursor line and that
// line's number.  Edits next to the current view's cursor line (typing,
// Enter, joins, line deletions) have a known line number, so the other
// views are moved along at once.  Edits elsewhere mark the views of the
// text unsettled; they find their line again by its number before they are
// painted or made current.
#include "core/editor_state.h"

namespace {

bool others(EditorState* V, const Link* base) {
  const Tcb* cur = V->curTcb;
  const Tcb* u = V->tcbRing;
  if (!u) return false;
  do {
    if (u != cur && u->base && u->base == base) return true;
    u = u->next;
  } while (u != V->tcbRing);
  return false;
}

// The text and line number of `l`, when it lies next to the current
// view's cursor line or at either end of a text; false when unknown.
// `added`: l has just been linked in (else it is about to go).
bool place(EditorState* V, const Link* l, bool added, const Link** base, int* pos) {
  const Tcb* cur = V->curTcb;
  if (cur && cur->base && cur->curLine && !IsBase(cur->curLine)) {
    *base = cur->base;
    if (l == cur->curLine) {
      *pos = cur->lineNo;
      return true;
    }
    if (l == cur->curLine->next()) {
      *pos = cur->lineNo + 1;
      return true;
    }
    if (l == cur->curLine->prev()) {
      // A line added before the cursor line takes its number.
      *pos = added ? cur->lineNo : cur->lineNo - 1;
      return true;
    }
  }
  if (IsBase(l->prev())) {
    *base = l->prev();
    *pos = 1;
    return true;
  }
  return false;
}

template <class F>
void forOtherViews(EditorState* V, const Link* base, F f) {
  Tcb* u = V->tcbRing;
  if (!u) return;
  do {
    if (u != V->curTcb && u->base && u->base == base) f(u);
    u = u->next;
  } while (u != V->tcbRing);
}

// Unknown place: views of the current text may have lost their number.
void unknownChange(EditorState* V) {
  if (V->curTcb && V->curTcb->base) MarkViewsStale(V, V->curTcb->base);
}

}  // namespace

void ViewsLineResized(EditorState* V, const Link* from, Link* to) {
  Tcb* u = V->tcbRing;
  if (!u) return;
  do {
    if (u->curLine == from) u->curLine = to;
    u = u->next;
  } while (u != V->tcbRing);
}

void ViewsLineAdded(EditorState* V, const Link* l) {
  if (!V->tcbRing) return;
  const Link* base = nullptr;
  int pos = 0;
  if (!place(V, l, true, &base, &pos)) {
    unknownChange(V);
    return;
  }
  forOtherViews(V, base, [&](Tcb* u) {
    if (u->lineNo >= pos && u->curLine != l) ++u->lineNo;
  });
}

void ViewsLineRemoving(EditorState* V, const Link* l) {
  if (!V->tcbRing) return;
  const Link* base = nullptr;
  int pos = 0;
  const bool known = place(V, l, false, &base, &pos);
  Tcb* u = V->tcbRing;
  do {
    // Its number now belongs to the line after it.
    if (u != V->curTcb && u->curLine == l) {
      u->curLine = l->next();
      if (!known) u->lineStale = 1;
    }
    u = u->next;
  } while (u != V->tcbRing);
  if (!known) {
    unknownChange(V);
    return;
  }
  forOtherViews(V, base, [&](Tcb* t) {
    if (t->lineNo > pos) --t->lineNo;
  });
}

void ViewsLineReleased(EditorState* V, const Link* l) {
  Tcb* u = V->tcbRing;
  if (!u) return;
  do {
    if (u->base && u->curLine == l && u != V->curTcb) {
      u->curLine = u->base;
      u->lineStale = 1;
    }
    u = u->next;
  } while (u != V->tcbRing);
}

void MarkViewsStale(EditorState* V, const Link* base) {
  if (!base || !others(V, base)) return;
  forOtherViews(V, base, [](Tcb* u) { u->lineStale = 1; });
}

void SettleView(EditorState* V, Tcb* t) {
  if (!t->lineStale || !t->base) return;
  t->lineStale = 0;
  // From the current view's cursor line when it is in the same text and
  // nearer, else from the start.
  Link* l = t->base->next();
  int n = 1;
  const Tcb* cur = V->curTcb;
  if (cur && cur != t && cur->base == t->base && !cur->lineStale && cur->curLine &&
      cur->lineNo <= t->lineNo && cur->lineNo > 0) {
    l = cur->curLine;
    n = cur->lineNo;
  }
  while (n < t->lineNo && !IsBase(l)) {
    l = l->next();
    ++n;
  }
  t->curLine = l;
  t->lineNo = n;
}

void SettleViews(EditorState* V) {
  Tcb* u = V->tcbRing;
  if (!u) return;
  do {
    SettleView(V, u);
    u = u->next;
  } while (u != V->tcbRing);
}
