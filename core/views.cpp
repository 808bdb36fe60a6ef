// Screen geometry of the views and selection of the current text.
#include <cstdio>
#include <cstring>

#include "core/editor_state.h"

void SetMetrics(EditorState* V, int width, int height, int lineHeight, int charWidth, int ascent) {
  V->winWidth = width - 10;
  V->fullHeight = height;
  V->winHeight = height - V->statusHeight;
  V->lineHeight = lineHeight > 0 ? lineHeight : 1;
  V->charWidth = charWidth > 0 ? charWidth : 1;
  V->fontAscent = ascent;
  V->screenCols = V->winWidth / V->charWidth;
  if (V->screenCols < 1) V->screenCols = 1;
}

namespace {

void singleLayout(EditorState* V) {
  int lh = V->lineHeight > 0 ? V->lineHeight : 1;
  int a = V->fontAscent;
  int rows = (V->fullHeight - 2 * lh) / lh;
  if (rows < 1) rows = 1;
  Tcb* t = V->tcbRing;
  do {
    t->leftX = 2;
    t->rightX = V->winWidth;
    t->cols = V->screenCols;
    t->statusY = a;
    t->headY = a + lh;
    t->textY = a + 2 * lh;
    t->rows = rows;
    t->bottomY = rows * lh + 2 * lh;
    if (t->row >= rows) t->row = rows - 1;
    t = t->next;
  } while (t != V->tcbRing);
}

void selectTcb(EditorState* V, Tcb* t) {
  AFlush(V);
  V->curTcb = t;
  ALoad(V);
  PrepareView(V);
}

}  // namespace

void PrepareView(EditorState* V) {
  if (!V->curTcb) return;
  AFlush(V);
  singleLayout(V);
  if (!V->singleView) {
    V->viewChain = V->curTcb;
    V->curTcb->viewNext = nullptr;
  }
  ALoad(V);
  V->redraw |= REDRAW_ALL;
  if (V->updateTitle) V->updateTitle(V);
  inView(V);
}

void SelectView(EditorState* V, int number) {
  if (Tcb* t = FindTcb(V, number)) selectTcb(V, t);
}

void StepView(EditorState* V, int direction) {
  Tcb* cur = V->curTcb;
  if (!cur || cur->next == cur) return;
  Tcb* t = cur;
  do {
    t = direction == 0 ? t->next : t->prev;
  } while (!t->base && t != cur);
  if (t != cur) selectTcb(V, t);
}

Tcb* OpenDup(EditorState* V, int number) {
  Tcb* main = FindTcb(V, number);
  if (!main) return nullptr;
  AFlush(V);  // the duplicate must see the typed cursor line
  Tcb* d = NewTcb(V);
  if (!d) return nullptr;
  d->kind = KIND_DUP;
  char name[kNameMax];
  std::snprintf(name, sizeof name, "*DUP* %.*s", kNameMax - 7, main->fileName);
  CopyCut(d->fileName, sizeof d->fileName, name);
  CopyCut(d->dirName, sizeof d->dirName, main->dirName);
  d->base = main->base;
  d->curLine = main->curLine;
  d->lineNo = main->lineNo;
  d->col = main->col;
  d->leftCol = main->leftCol;
  d->leftMargin = main->leftMargin;
  d->rightMargin = main->rightMargin;
  d->row = main->row;
  d->modified = main->modified;
  d->mode = main->mode;
  std::memcpy(d->ruler, main->ruler, sizeof d->ruler);
  d->hsplit = 0;
  d->vsplitRight = d->vsplitLeft = nullptr;
  selectTcb(V, d);
  return d;
}

namespace {

void dissolvePair(Tcb* t) {
  if (Tcb* r = t->vsplitRight) r->vsplitLeft = nullptr;
  if (Tcb* l = t->vsplitLeft) l->vsplitRight = nullptr;
  t->vsplitRight = t->vsplitLeft = nullptr;
}

void splitChanged(EditorState* V) {
  PrepareView(V);
  inView(V);
}

}  // namespace

void HSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  Tcb* cur = V->curTcb;
  if (!t || !cur) return;
  if (Tcb* partner = t->vsplitRight ? t->vsplitRight : t->vsplitLeft) {
    dissolvePair(t);
    partner->hsplit = 1;
  }
  cur->hsplit = t->hsplit = 1;
  V->singleView = 0;
  splitChanged(V);
}

void VSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  Tcb* cur = V->curTcb;
  if (!t || !cur || t == cur || !t->base) return;
  if (t->vsplitRight || t->vsplitLeft || cur->vsplitRight || cur->vsplitLeft) return;
  cur->vsplitRight = t;
  t->vsplitLeft = cur;
  cur->hsplit = t->hsplit = 0;
  V->singleView = 0;
  splitChanged(V);
}

void ClearSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  if (!t) return;
  t->hsplit = 0;
  dissolvePair(t);
  splitChanged(V);
}
