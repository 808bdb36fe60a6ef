// The record for changes confined to a range of lines: the lines as they
// were are kept as a detached list outside the ring, and Undo and Redo swap
// the list with the lines in the text.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_edit.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_hooks.h"
#include "edit/undo_lines.h"
#include "edit/undo_ring.h"

using namespace udo;

namespace {

struct Place {
  int32_t line, col;
};

struct BlockState {
  bool present;
  bool isColumn;
  int32_t startLine, startCol, endLine, endCol;
};

struct Pending {
  bool active = false;
  int first = 0, last = 0;
  Place cursor{};
  BlockState block{};
  Link* kept = nullptr;  // base link of the copied lines
  bool toStore = false;  // the replaced line went to the deleted-line store
};

Pending pending;

constexpr uint8_t kToStore = 16;  // flag of a kept-lines record

// The deleted-line store's newest line goes when it reads as `line`.
void fromStore(EditorState* V, const Link* line) {
  Link* newest = V->delBase->prev();
  if (!line || V->delCount <= 0 || IsBase(newest) || !udo::SameText(newest, line)) return;
  DeleteLink(V, newest);
  V->delCount--;
}

// A copy of `line` becomes the store's newest line, as DelLine keeps it.
void intoStore(EditorState* V, const Link* line) {
  const int len = line->len();
  if (len < 1 || len > kDelKeepMax) return;
  Link* copy = NewLink(V, len);
  if (!copy) return;
  copy->word = uint16_t(line->word & ~LINK_BASE);
  std::copy(line->data(), line->data() + len, copy->data());
  Link* store = V->delBase;
  BindLink(store->prev(), copy);
  BindLink(copy, store);
  if (++V->delCount > V->delMax) {
    DeleteLink(V, store->next());
    V->delCount--;
  }
}

BlockState blockOf(EditorState* V) {
  const BlockRecord& b = V->blk;
  BlockState s{};
  s.present = b.blkTcb && V->curTcb && b.blkTcb->base == V->curTcb->base;
  s.isColumn = b.isColumn != 0;
  s.startLine = b.startLine;
  s.startCol = b.startCol;
  s.endLine = b.endLine;
  s.endCol = b.endCol;
  return s;
}

void putBlock(uint8_t* p, const BlockState& s) {
  put32(p, uint32_t(s.startLine));
  put16(p + 4, uint32_t(s.startCol));
  put32(p + 6, uint32_t(s.endLine));
  put16(p + 10, uint32_t(s.endCol));
}

BlockState getBlock(const uint8_t* p, uint8_t flags, int shift) {
  BlockState s{};
  s.present = (flags >> shift) & 1;
  s.isColumn = (flags >> (shift + 1)) & 1;
  s.startLine = int32_t(get32(p));
  s.startCol = get16(p + 4);
  s.endLine = int32_t(get32(p + 6));
  s.endCol = get16(p + 10);
  return s;
}

void restoreBlock(EditorState* V, const BlockState& s) {
  if (!s.present) {
    // A block of this text that was not there then goes: its lines may be gone.
    if (V->blk.blkTcb && V->curTcb && V->blk.blkTcb->base == V->curTcb->base) RemoveBlk(V);
    return;
  }
  BlockRecord& b = V->blk;
  b.blkTcb = V->curTcb;
  if (!b.blkView) b.blkView = V->curTcb;
  b.isColumn = s.isColumn;
  b.startLine = s.startLine;
  b.startCol = s.startCol;
  b.endLine = s.endLine;
  b.endCol = s.endCol;
  b.startLink = b.endLink = nullptr;
}

bool sameLines(const Link* a, const Link* b) {
  return (a->word & ~LINK_BASE) == (b->word & ~LINK_BASE) && std::memcmp(a->data(), b->data(), size_t(a->len())) == 0;
}

}  // namespace

Link* UdoLinkAt(EditorState* V, int n) {
  Tcb* t = V->curTcb;
  Link* base = t->base;
  if (n < 1) return nullptr;
  // From the cursor line when that is nearer.
  Link* l = base->next();
  int at = 1;
  if (t->lineNo >= 1 && std::abs(t->lineNo - n) < n - 1) {
    l = t->curLine;
    at = t->lineNo;
  }
  while (at < n) {
    if (IsBase(l)) return nullptr;
    l = l->next();
    at++;
  }
  while (at > n) {
    l = l->prev();
    at--;
    if (IsBase(l)) return nullptr;
  }
  return l;
}

void UdoRefindViews(EditorState* V) {
  // Found again by number when next painted or made current.
  if (V->curTcb) MarkViewsStale(V, V->curTcb->base);
}

void UdoGoQuick(EditorState* V, int line, int col) {
  Tcb* t = V->curTcb;
  Link* l = UdoLinkAt(V, line);
  if (!l) {
    l = t->base;
    line = CountLines(t->base) + 1;
  }
  V->alineDirty = 0;
  SetALineQuick(V, l, line);
  t->col = std::clamp(col, 0, kAlineMax - 1);
  Adjust(V, t);
  inView(V);
}

bool UdoLinesBefore(EditorState* V, int first, int last) {
  if (quiet) return true;
  UdoLinesCancel(V);
  if (replaying || !V->undoArea || !V->curTcb || !V->curTcb->base) return true;
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return false;
  Link* kept = NewBaseLink(V);
  if (!kept) return false;
  if (last >= first) {
    Link* l = UdoLinkAt(V, first);
    for (int n = first; n <= last && l && !IsBase(l); n++, l = l->next()) {
      if (!AddBytesLine(V, kept->prev(), uint16_t(l->word & ~LINK_BASE), l->data())) {
        ReleaseText(V, kept);
        SetAlert(V, "Out of memory");
        return false;
      }
    }
  }
  pending.active = true;
  pending.first = first;
  pending.last = last;
  pending.cursor = {t->lineNo, t->col};
  pending.block = blockOf(V);
  pending.kept = kept;
  pending.toStore = false;
  return true;
}

bool UdoLineBefore(EditorState* V) {
  if (!V->curTcb || !V->curTcb->curLine || IsBase(V->curTcb->curLine)) {
    UdoLinesCancel(V);
    return true;
  }
  const int n = V->curTcb->lineNo;
  return UdoLinesBefore(V, n, n);
}

void UdoLineAfter(EditorState* V) { UdoLinesAfter(V, pending.last); }

namespace {

// Blanks at the end of a line kept as read are written back only while the
// line is unchanged; the small records cannot give them back once an edit
// has dropped them.
bool blanksAsRead(const Link* l) {
  if (!l || IsBase(l) || !(l->word & LINK_ASREAD) || l->len() == 0) return false;
  const uint8_t last = l->data()[l->len() - 1];
  return last == ' ' || last == '\t';
}

int wideFirst = 0;
Link* wideBoundary = nullptr;  // the line after the range, which the change leaves alone

}  // namespace

bool UdoWideBefore(EditorState* V, bool joins) {
  Tcb* t = V->curTcb;
  if (quiet || replaying || !t || !t->base || !t->curLine) return false;
  Link* l = t->curLine;
  if (!blanksAsRead(l) && (!joins || (!blanksAsRead(l->prev()) && (IsBase(l) || !blanksAsRead(l->next())))))
    return false;
  if (AFlush(V) != 0) return false;
  l = t->curLine;
  // The cursor line and its neighbours; the end-of-text position has only
  // the line before it.
  wideFirst = std::max(1, t->lineNo - 1);
  int wideLast = t->lineNo;
  wideBoundary = IsBase(l) ? l : l->next();
  if (!IsBase(wideBoundary)) {
    wideLast++;
    wideBoundary = wideBoundary->next();
  }
  if (IsBase(l)) wideLast--;
  if (!UdoLinesBefore(V, wideFirst, wideLast)) return false;
  quiet++;
  return true;
}

void UdoWideAfter(EditorState* V) {
  quiet--;
  udojoin = 0;
  // Counted up to the line after the range: the text may be long.
  int last = wideFirst - 1;
  for (Link* l = UdoLinkAt(V, wideFirst); l && l != wideBoundary && !IsBase(l); l = l->next()) last++;
  UdoLinesAfter(V, last);
}

void UdoLinesCancel(EditorState* V) {
  if (quiet) return;
  if (pending.kept) ReleaseText(V, pending.kept);
  pending = Pending{};
}

void UdoLinesAfter(EditorState* V, int newLast) {
  if (!pending.active || quiet) return;
  Tcb* t = V->curTcb;
  if (!t || !t->base || AFlush(V) != 0) {
    // The change is not in the store: nothing to take back.
    UdoLinesCancel(V);
    return;
  }
  if (newLast == pending.last) {
    bool same = true;
    Link* k = pending.kept->next();
    Link* l = pending.last >= pending.first ? UdoLinkAt(V, pending.first) : nullptr;
    for (int n = pending.first; same && n <= pending.last; n++, k = k->next(), l = l->next())
      same = l && !IsBase(l) && !IsBase(k) && sameLines(k, l);
    if (same) {
      UdoLinesCancel(V);
      return;
    }
  }
  UdoMark(V, pending.cursor.line, pending.cursor.col);
  uint8_t* p = UdoAlloc(V, kLinesSize);
  if (!p) {
    UdoLinesCancel(V);
    return;
  }
  const BlockState after = blockOf(V);
  p[0] = kLines;
  put32(p + 1, uint32_t(pending.first));
  put32(p + 5, uint32_t(pending.last));
  put32(p + 9, uint32_t(newLast));
  put32(p + 13, uint32_t(pending.cursor.line));
  put16(p + 17, uint32_t(pending.cursor.col));
  put32(p + 19, uint32_t(t->lineNo));
  put16(p + 23, uint32_t(t->col));
  p[25] = uint8_t((pending.block.present ? 1 : 0) | (pending.block.isColumn ? 2 : 0) | (after.present ? 4 : 0) |
                  (after.isColumn ? 8 : 0) | (pending.toStore ? kToStore : 0));
  putBlock(p + 26, pending.block);
  putBlock(p + 38, after);
  p[50] = kLines;
  put32(p + 51, Link::handle(pending.kept));
  UdoCommit(V, kLinesSize);
  pending.kept = nullptr;
  pending = Pending{};
  UdoPos(V);
}

void UdoLinesIntoStore() { pending.toStore = true; }

bool UdoLinesSwap(EditorState* V, uint8_t* rec, bool undo) {
  Tcb* t = V->curTcb;
  const int first = int(get32(rec + 1));
  const int lastBefore = int(get32(rec + 5)), lastAfter = int(get32(rec + 9));
  const int present = undo ? lastAfter : lastBefore;
  Link* kept = Link::at(get32(rec + 51));
  if (!kept || AFlush(V) != 0) return false;
  const int count = CountLines(t->base);
  if (first < 1 || first > count + 1 || present > count || (present >= first ? false : present != first - 1))
    return false;
  // The neighbours of the range: the line before it and the one after.
  Link* before = first == 1 ? t->base : UdoLinkAt(V, first - 1);
  Link* after = present >= count ? t->base : UdoLinkAt(V, present + 1);
  if (!before || !after) return false;
  Link* out = present >= first ? before->next() : nullptr;
  Link* outLast = present >= first ? after->prev() : nullptr;
  Link* in = kept->next() != kept ? kept->next() : nullptr;
  UdoSwapRun(before, after, out, outLast, kept);
  t->modified = 1;
  const Place c = undo ? Place{int32_t(get32(rec + 13)), get16(rec + 17)} : Place{int32_t(get32(rec + 19)), get16(rec + 23)};
  // The cursor line may have been swapped out: find it afresh.
  t->curLine = t->base->next();
  t->lineNo = 1;
  UdoGoQuick(V, c.line, c.col);
  UdoRefindViews(V);
  restoreBlock(V, getBlock(rec + (undo ? 26 : 38), rec[25], undo ? 0 : 2));
  if (rec[25] & kToStore) {
    // DelLine of the only line: the store takes the line back and gives
    // it again, so that UnDelLine finds the store as the command left it.
    if (undo)
      fromStore(V, in);
    else if (out)
      intoStore(V, out);
  }
  V->redraw |= REDRAW_TEXT;
  return true;
}

void UdoSwapRun(Link* before, Link* after, Link* out, Link* outLast, Link* list) {
  Link* in = list->next() != list ? list->next() : nullptr;
  Link* inLast = list->prev();
  if (in) {
    BindLink(before, in);
    BindLink(inLast, after);
  } else {
    BindLink(before, after);
  }
  if (out) {
    BindLink(list, out);
    BindLink(outLast, list);
  } else {
    BindLink(list, list);
  }
}
