// Bookmarks and line centring.
#include "edit/bookmarks.h"

#include <algorithm>

#include "core/editor_state.h"
#include "edit/line_fit.h"
#include "edit/movement.h"

namespace {

// The cursor stands on a line of the text (not on the end-of-text position).
bool onLine(EditorState* V) {
  Tcb* t = V->curTcb;
  return t && t->base && t->curLine && !IsBase(t->curLine) && !(V->aline.flags & LINK_BASE);
}

}  // namespace

void SetBookmark(EditorState* V, int clear) {
  if (!onLine(V)) return;
  Link* l = V->curTcb->curLine;
  // Both copies: the stored line, and the active line whose flags a later
  // write-back carries into the store.
  if (clear) {
    l->word &= uint16_t(~LINK_BOOKMARK);
    V->aline.flags &= uint16_t(~LINK_BOOKMARK);
  } else {
    l->word |= LINK_BOOKMARK;
    V->aline.flags |= LINK_BOOKMARK;
  }
  V->redraw |= REDRAW_TEXT;
  SetAlert(V, clear ? "Bookmark Cleared" : "Bookmark Set");
}

void FindBookmark(EditorState* V, int backwards) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !t->curLine) return;
  if (AFlush(V) != 0) return;  // the unstored edit would be lost
  Link* l = t->curLine;
  int n = t->lineNo;
  for (;;) {
    if (backwards) {
      l = l->prev();
      n--;
    } else {
      if (IsBase(l)) break;  // the end-of-text position has nothing below
      l = l->next();
      n++;
    }
    if (IsBase(l)) break;
    if (l->word & LINK_BOOKMARK) {
      t->lastTabKind = 0;
      SetALineQuick(V, l, n);
      Adjust(V, t);
      V->redraw |= REDRAW_TEXT;
      return;
    }
  }
  SetAlert(V, "No Bookmark");
}

void ClearBookmarks(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  for (Link* l = t->base->next(); !IsBase(l); l = l->next()) l->word &= uint16_t(~LINK_BOOKMARK);
  V->aline.flags &= uint16_t(~LINK_BOOKMARK);
  V->redraw |= REDRAW_TEXT;
  SetAlert(V, "Bookmarks Cleared");
}

void CenterLine(EditorState* V) {
  if (!onLine(V)) return;
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  const int left = std::clamp(t->leftMargin, 0, kAlineMax - 1);
  const int right = t->rightMargin;
  ActiveLine centred = *line;
  TrimLine(&centred, 0);
  const int a = LeftmostWord(&centred, left);
  const int b = centred.count;
  if (a < b) {
    const int width = b - a;
    tchar lifted[kAlineMax];
    std::copy(centred.c + a, centred.c + b, lifted);
    int at = std::max(left, left + (right - left - width) / 2);
    at = std::min(at, kLineMax - width);  // a right margin past the line limit
    centred.count = uint16_t(left);
    TrimLine(&centred, at);
    std::copy(lifted, lifted + width, centred.c + at);
    centred.count = uint16_t(at + width);
    // Blanks that no longer end on tab stops take more room once stored.
    if (centred.count > kAlwaysFits && FoldedBytes(&centred) > kLineMax) {
      SetAlert(V, "Line too long");
      return;
    }
    *line = centred;
    V->alineDirty = 1;
    V->redraw |= REDRAW_TEXT;
  }
}
