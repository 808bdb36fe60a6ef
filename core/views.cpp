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

// A right-hand view is shown with its left partner, never as a row of its
// own, even when it was also added to the horizontal split: taking it twice
// would put it twice into the chain.
bool isRow(const Tcb* t) { return t->base && !t->vsplitLeft && (t->vsplitRight || t->hsplit == 1); }

// The views of the split layout in ring order, each right partner just
// before its left partner; returns the number of rows.
int buildChain(EditorState* V) {
  Tcb* chain = nullptr;
  int n = 0;
  Tcb* last = V->tcbRing->prev;
  Tcb* t = last;
  do {
    t->viewNext = nullptr;
    t = t->prev;
  } while (t != last);
  do {
    if (isRow(t)) {
      t->viewNext = chain;
      chain = t;
      if (Tcb* p = t->vsplitRight) {
        p->viewNext = chain;
        chain = p;
      }
      ++n;
    }
    t = t->prev;
  } while (t != last);
  V->viewChain = chain;
  return n;
}

// Row height and the spare pixels for n rows; false when a row would get
// no text row (the current one loses a further line to its tab line).
bool rowHeights(const EditorState* V, int n, int* h, int* s) {
  const int lh = V->lineHeight > 0 ? V->lineHeight : 1;
  if (n < 1) return false;
  const int g = (V->fullHeight - n * lh - lh) / n;
  if (g < 0) return false;
  *h = lh + g - g % lh;
  *s = V->fullHeight - n * *h;
  return (*h - lh) / lh >= 1 && (*h + *s - 2 * lh) / lh >= 1;
}

// The current text alone at full size, the split state kept.
void aloneLayout(EditorState* V) {
  singleLayout(V);
  V->viewChain = V->curTcb;
  V->curTcb->viewNext = nullptr;
}

// The cursor column inside the view's columns, also for a view that is not
// current: a half-width pair would otherwise hide a cursor at a line end
// past its right edge.
void keepColumnVisible(Tcb* t) {
  int left = t->leftCol;
  if (t->col - left + 2 >= t->cols) left = t->col - t->cols + 2;
  if (t->col < left) left = t->col;
  t->leftCol = left < 0 ? 0 : left;
}

void splitLayout(EditorState* V) {
  Tcb* cur = V->curTcb;
  const int n = buildChain(V);
  bool inLayout = false;
  for (Tcb* t = V->viewChain; t; t = t->viewNext) inLayout |= t == cur;
  int h = 0, s = 0;
  // A window too small for every row shows the current text alone until a
  // resize gives the rows room again.
  if (!inLayout || !rowHeights(V, n, &h, &s)) {
    aloneLayout(V);
    return;
  }
  const int lh = V->lineHeight > 0 ? V->lineHeight : 1;
  const int a = V->fontAscent;
  int y = 0;
  for (Tcb* t = V->viewChain; t; t = t->viewNext) {
    if (t->vsplitLeft) continue;  // laid out with its left partner
    Tcb* p = t->vsplitRight;
    t->leftX = 2;
    t->rightX = V->winWidth;
    t->cols = V->screenCols;
    t->statusY = y + a;
    if (t == cur || p == cur) {
      t->headY = y + lh + a;
      t->textY = y + 2 * lh + a;
      t->rows = (h + s - 2 * lh) / lh;
    } else {
      t->headY = 0;
      t->textY = y + lh + a;
      t->rows = (h - lh) / lh;
    }
    t->bottomY = t->textY - a + t->rows * lh;
    y = t->bottomY;
    if (t->row >= t->rows) t->row = t->rows - 1;
    if (!p) continue;
    t->cols = p->cols = (V->screenCols - 2) / 2;
    p->leftX = V->charWidth * (t->cols + 2);
    t->rightX = p->leftX - 2;
    // The right-hand view reaches the window's right edge, as a full-width
    // view does; the painter draws only its columns.
    p->rightX = V->winWidth;
    p->headY = t->headY;
    p->statusY = t->statusY;
    p->textY = t->textY;
    p->rows = t->rows;
    p->bottomY = t->bottomY;
    if (p->row >= p->rows) p->row = p->rows - 1;
  }
  for (Tcb* t = V->viewChain; t; t = t->viewNext) keepColumnVisible(t);
}

}  // namespace

void PrepareView(EditorState* V) {
  if (!V->curTcb) return;
  AFlush(V);
  if (V->singleView)
    singleLayout(V);
  else
    splitLayout(V);
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
  d->lineStale = main->lineStale;
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

// The split fields of the texts a split command changes, to put back when
// the new layout would not fit the window.
struct SplitState {
  Tcb* t;
  int32_t hsplit;
  Tcb* right;
  Tcb* left;
};

struct SplitUndo {
  SplitState saved[4];
  int count = 0;
  int32_t singleView;
  void keep(Tcb* t) {
    if (!t) return;
    for (int i = 0; i < count; ++i)
      if (saved[i].t == t) return;
    saved[count++] = SplitState{t, t->hsplit, t->vsplitRight, t->vsplitLeft};
  }
  void restore(EditorState* V) {
    for (int i = count - 1; i >= 0; --i) {
      saved[i].t->hsplit = saved[i].hsplit;
      saved[i].t->vsplitRight = saved[i].right;
      saved[i].t->vsplitLeft = saved[i].left;
    }
    V->singleView = singleView;
  }
};

// Lays out the new split, or refuses it when a view would be left without
// a text row.
void splitChanged(EditorState* V, SplitUndo& undo) {
  int h = 0, s = 0;
  if (!rowHeights(V, buildChain(V), &h, &s)) {
    undo.restore(V);
    SetAlert(V, "No room for the split");
  }
  PrepareView(V);
}

}  // namespace

void HSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  Tcb* cur = V->curTcb;
  if (!t || !cur) return;
  SplitUndo undo;
  undo.singleView = V->singleView;
  undo.keep(cur);
  undo.keep(t);
  if (Tcb* partner = t->vsplitRight ? t->vsplitRight : t->vsplitLeft) {
    undo.keep(partner);
    dissolvePair(t);
    partner->hsplit = 1;
  }
  cur->hsplit = t->hsplit = 1;
  V->singleView = 0;
  splitChanged(V, undo);
}

void VSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  Tcb* cur = V->curTcb;
  if (!t || !cur || t == cur || !t->base) return;
  if (t->vsplitRight || t->vsplitLeft || cur->vsplitRight || cur->vsplitLeft) return;
  SplitUndo undo;
  undo.singleView = V->singleView;
  undo.keep(cur);
  undo.keep(t);
  cur->vsplitRight = t;
  t->vsplitLeft = cur;
  cur->hsplit = t->hsplit = 0;
  V->singleView = 0;
  splitChanged(V, undo);
}

void ClearSplit(EditorState* V, int number) {
  Tcb* t = FindTcb(V, number);
  if (!t) return;
  t->hsplit = 0;
  dissolvePair(t);
  PrepareView(V);
}
