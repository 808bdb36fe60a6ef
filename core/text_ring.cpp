// The ring of text control blocks: opening and closing texts.
#include <cstring>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/undo.h"

namespace {

bool sharedByOthers(EditorState* V, const Tcb* t) {
  const Tcb* u = V->tcbRing;
  do {
    if (u != t && u->base == t->base) return true;
    u = u->next;
  } while (u != V->tcbRing);
  return false;
}

// The untouched scratch text (one empty line) gives way to the first file
// opened.  A duplicate, or a text other views share, is never replaced: its
// lines would be released under them.  A named text the user has emptied is
// kept, so the emptying can still be saved.
bool replaceable(EditorState* V, const Tcb* t) {
  if (!t || !t->base) return false;
  if (t->base->nextH != t->base->prevH) return false;
  if (V->aline.count != 0) return false;
  if (t->kind == KIND_DUP || sharedByOthers(V, t)) return false;
  if (t->kind == KIND_FILE && TextModified(V, t)) return false;
  return true;
}

Tcb* firstOpen(EditorState* V) {
  Tcb* u = V->tcbRing;
  if (!u) return nullptr;
  do {
    if (u->base) return u;
    u = u->next;
  } while (u != V->tcbRing);
  return nullptr;
}

void dissolveVertical(Tcb* t) {
  if (t->vsplitRight) {
    t->vsplitRight->vsplitLeft = nullptr;
    t->vsplitRight = nullptr;
  }
  if (t->vsplitLeft) {
    t->vsplitLeft->vsplitRight = nullptr;
    t->vsplitLeft = nullptr;
  }
}

// An open view of the lines at `base`, null when none is left.
Tcb* viewOf(EditorState* V, const Link* base) {
  Tcb* u = V->tcbRing;
  if (!u) return nullptr;
  do {
    if (u->base == base) return u;
    u = u->next;
  } while (u != V->tcbRing);
  return nullptr;
}

}  // namespace

void ResetRuler(Tcb* t) {
  for (int i = 0; i < kAlineMax; i++) t->ruler[i] = (i % 8 == 0 && i >= 8 && i <= 1008) ? '|' : ' ';
}

Tcb* NewTcb(EditorState* V) {
  Tcb* u = V->tcbRing;
  do {
    if (!u->base) return u;
    u = u->next;
  } while (u != V->tcbRing);

  auto* t = static_cast<Tcb*>(NewTcbLink(V, sizeof(Tcb)));
  if (!t) return nullptr;
  std::memset(static_cast<void*>(t), 0, sizeof(Tcb));
  Tcb* last = V->tcbRing->prev;
  t->number = uint8_t(last->number + 1);
  t->leftX = 2;
  t->cols = V->screenCols;
  t->next = V->tcbRing;
  t->prev = last;
  last->next = t;
  V->tcbRing->prev = t;
  return t;
}

bool TextModified(EditorState* V, const Tcb* t) {
  if (!t->base) return false;
  if (V->alineDirty && V->curTcb && V->curTcb->base == t->base) return true;
  const Tcb* u = V->tcbRing;
  do {
    if (u->base == t->base && u->modified) return true;
    u = u->next;
  } while (u != V->tcbRing);
  return false;
}

void MarkSaved(EditorState* V, const Tcb* t) {
  if (!t->base) return;
  Tcb* u = V->tcbRing;
  do {
    if (u->base == t->base) u->modified = 0;
    u = u->next;
  } while (u != V->tcbRing);
}

Tcb* FindTcb(EditorState* V, int number) {
  Tcb* u = V->tcbRing;
  if (!u) return nullptr;
  do {
    if (u->base && u->number == number) return u;
    u = u->next;
  } while (u != V->tcbRing);
  return nullptr;
}

Tcb* NewText(EditorState* V, Link* base, uint32_t encoding) {
  Tcb* t;
  if (encoding != 0 && replaceable(V, V->curTcb)) {
    t = V->curTcb;
    ReleaseText(V, t->base);
    V->alineDirty = 0;
  } else {
    t = NewTcb(V);
    if (!t) return nullptr;
    if (encoding == 0) encoding = MODE_UTF8;
  }
  t->base = base;
  t->curLine = base->next();
  t->lineNo = 1;
  t->lineStale = 0;
  t->col = t->leftCol = t->row = 0;
  t->leftMargin = V->defaults.leftMargin;
  t->rightMargin = V->defaults.rightMargin;
  t->modified = 0;
  t->hsplit = 0;
  t->vsplitRight = t->vsplitLeft = nullptr;
  t->mode = (V->defaults.mode & MODE_TEXT_MASK) | (encoding & MODE_ENCODING);
  ResetRuler(t);

  AFlush(V);
  V->curTcb = t;
  ALoad(V);
  PrepareView(V);
  return t;
}

void ReleaseTcb(EditorState* V, Tcb** which) {
  Tcb* t = *which;
  if (!t || !t->base) {
    *which = firstOpen(V);
    return;
  }
  Link* base = t->base;
  Tcb* cur = V->curTcb;
  if (cur && cur->base == base) {
    // Typing in a duplicate belongs to the text that stays open.
    if (t->kind == KIND_DUP && cur == t)
      AFlush(V);
    else if (t->kind != KIND_DUP)
      V->alineDirty = 0;
  }
  dissolveVertical(t);
  // Out of the view chain at once: a repaint before the layout is rebuilt
  // must not reach it, nor a text that takes the record over.
  for (Tcb** p = &V->viewChain; *p; p = &(*p)->viewNext) {
    if (*p != t) continue;
    *p = t->viewNext;
    break;
  }
  t->viewNext = nullptr;
  t->base = nullptr;
  t->hsplit = 0;
  if (t->kind != KIND_DUP) {
    udoForget(V, base);  // its records would act on another text
    ReleaseText(V, base);
    Tcb* u = V->tcbRing;
    do {
      if (u->base == base && u->kind == KIND_DUP) {
        Tcb* dup = u;
        ReleaseTcb(V, &dup);
      }
      u = u->next;
    } while (u != V->tcbRing);
  }
  // A block marked in a closed view stays with another view of its lines;
  // with its text gone, it goes, marks and all.
  bool lost = false;
  for (Tcb** held : {&V->blk.blkTcb, &V->blk.blkView}) {
    if (*held != t) continue;
    *held = t->kind == KIND_DUP ? viewOf(V, base) : nullptr;
    lost |= !*held;
  }
  if (lost && !V->blk.blkTcb) RemoveBlk(V);
  *which = firstOpen(V);
  if (V->curTcb && !V->curTcb->base) V->curTcb = firstOpen(V);
}
