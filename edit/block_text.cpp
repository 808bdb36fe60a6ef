// Block texts: copying the block out, cutting it out, and laying a block
// text into the current text as a line block or over lines as a column
// block.  Every change is checked before it is made: a line that would not
// fit its record refuses the whole change ("Line too long"), and the records
// a change needs are had before any line is touched.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/editor_state.h"
#include "edit/block.h"
#include "edit/block_keeper.h"
#include "edit/block_lines.h"
#include "edit/undo_blocks.h"

namespace {

constexpr tchar kSpace = 0x20;

// Characters lo..hi-1 of `a` (clamped) become the whole line.
void slice(ActiveLine* a, int lo, int hi) {
  hi = std::clamp(hi, 0, int(a->count));
  lo = std::clamp(lo, 0, hi);
  std::memmove(a->c, a->c + lo, size_t(hi - lo) * sizeof(tchar));
  a->count = uint16_t(hi - lo);
}

// `a` padded to `col`, then `b` from column `from` on.
bool joinAt(ActiveLine* a, int col, const ActiveLine& b, int from) {
  TrimLine(a, std::min(col, kAlineMax));
  if (a->count > col) a->count = uint16_t(col);
  from = std::min<int>(from, b.count);
  const int n = b.count - from;
  if (a->count + n > kLineMax) return false;
  std::memcpy(a->c + a->count, b.c + from, size_t(n) * sizeof(tchar));
  a->count = uint16_t(a->count + n);
  return true;
}

// The views of `base` other than `self`.
template <typename F>
void otherViews(EditorState* V, const Tcb* self, const Link* base, F f) {
  Tcb* u = V->tcbRing;
  if (!u) return;
  do {
    if (u != self && u->base == base) f(u);
    u = u->next;
  } while (u != V->tcbRing);
}

template <typename F>
void allViews(EditorState* V, const Link* base, F f) {
  otherViews(V, nullptr, base, f);
}

// The views of a text, gathered once for a walk over many lines.
std::vector<Tcb*> viewsOf(EditorState* V, const Link* base) {
  std::vector<Tcb*> v;
  allViews(V, base, [&](Tcb* u) { v.push_back(u); });
  return v;
}

// `a` becomes the contents of line `l`, in its record when the size class
// allows (no new record, nothing to re-point), else in a new one that the
// views follow.  The line stays as it was when no record can be had.
Link* storeAt(EditorState* V, Link* l, ActiveLine* a, const std::vector<Tcb*>& views) {
  LineImage img;
  Tabify(V, &img, a);
  const uint16_t carried = uint16_t(l->word & LINK_CARRIED);
  if (LinkClass(img.word) == LinkClass(l->len())) {
    l->word = uint16_t(img.word | carried);
    std::memcpy(l->data(), img.text, img.word);
    return l;
  }
  Link* r = NewLink(V, img.word);
  if (!r) return l;
  r->word = uint16_t(img.word | carried);
  std::memcpy(r->data(), img.text, img.word);
  for (Tcb* u : views)
    if (u->curLine == l) u->curLine = r;
  ReplaceLink(V, l, r);
  return r;
}

// The cursor of a view after the line block start..end was cut out and its
// ends joined on the start line (the joined line is `joined`).
void seatAfterCut(Tcb* u, const BlockRecord& b, Link* joined, const Link* first, const Link* last) {
  const int span = b.endLine - b.startLine;
  int L = u->lineNo, c = u->col;
  bool onJoined = false;
  if (L > b.endLine || IsBase(u->curLine)) {
    L -= span;
  } else if (L > b.startLine && L < b.endLine) {
    L = b.startLine;
    c = b.startCol;
    onJoined = true;
  } else if (L == b.startLine && L == b.endLine) {
    if (c >= b.endCol)
      c -= b.endCol - b.startCol;
    else if (c > b.startCol)
      c = b.startCol;
    onJoined = true;
  } else if (L == b.startLine) {
    c = std::min(c, b.startCol);
    onJoined = true;
  } else if (L == b.endLine) {
    L = b.startLine;
    c = b.startCol + std::max(0, c - b.endCol);
    onJoined = true;
  }
  if (onJoined || u->curLine == first || u->curLine == last) u->curLine = joined;
  u->lineNo = L;
  u->col = c;
}

int textWidth(const Link* text) {
  const int w = text->width();
  if (w <= kAlineMax) return w;
  ActiveLine a;
  return IsBase(text->prev()) ? 0 : GetLine(text->prev(), &a);
}

}  // namespace

Link* LineOf(Tcb* t, int n) {
  Link* base = t->base;
  if (n < 1) return nullptr;
  Link* l = base->next();
  int at = 1;
  if (!IsBase(t->curLine) && t->lineNo >= 1 && t->lineNo <= n) {
    l = t->curLine;
    at = t->lineNo;
  }
  for (; at < n && !IsBase(l); at++) l = l->next();
  return IsBase(l) ? nullptr : l;
}

Link* MakeLine(EditorState* V, ActiveLine* a) {
  LineImage img;
  Tabify(V, &img, a);
  Link* l = NewLink(V, img.word);
  if (!l) return nullptr;
  l->word = uint16_t(img.word | (a->flags & LINK_CARRIED & ~LINK_BASE));
  std::memcpy(l->data(), img.text, img.word);
  l->nextH = l->prevH = 0;
  return l;
}

void ReplaceLink(EditorState* V, Link* old, Link* with) {
  BindLink(old->prev(), with);
  BindLink(with, old->next());
  ReleaseLink(V, old);
}

bool LineFits(const ActiveLine& a) { return a.count <= kLineMax && FoldedBytes(&a) <= kLineMax; }

Link* CopyText(EditorState* V, const Link* text) {
  Link* copy = NewBaseLink(V);
  if (!copy) return nullptr;
  copy->setWidth(text->width());
  for (const Link* l = text->next(); l != text; l = l->next()) {
    if (!AddBytesLine(V, copy->prev(), uint16_t(l->word & (LINK_LENMASK | LINK_ASREAD)), l->data())) {
      ReleaseText(V, copy);
      return nullptr;
    }
  }
  return copy;
}

Link* GetBlk(EditorState* V) {
  if (BlkUse(V) != 0) return nullptr;
  const BlockRecord& b = V->blk;
  Link* text = NewBaseLink(V);
  if (!text) return nullptr;
  ActiveLine a;
  int width = 0;
  for (Link* l = b.startLink;; l = l->next()) {
    Link* added;
    const bool first = l == b.startLink, last = l == b.endLink;
    if (b.isColumn || first || last) {
      GetLine(l, &a);
      a.flags = 0;
      if (b.isColumn)
        slice(&a, b.startCol, b.endCol);
      else
        slice(&a, first ? b.startCol : 0, last ? b.endCol : kAlineMax);
      if (last) width = a.count;
      // Blanks fold into TABs by column, so a slice can need more bytes
      // than the line it came from.
      if (!LineFits(a)) {
        ReleaseText(V, text);
        SetAlert(V, "Line too long");
        return nullptr;
      }
      added = MakeLine(V, &a);
      if (added) {
        BindLink(text->prev(), added);
        BindLink(added, text);
      }
    } else {
      added = AddBytesLine(V, text->prev(), uint16_t(l->word & (LINK_LENMASK | LINK_ASREAD)), l->data());
    }
    if (!added) {
      ReleaseText(V, text);
      return nullptr;
    }
    if (last) break;
  }
  text->setWidth(uint16_t(b.isColumn ? b.endCol - b.startCol : width));
  return text;
}

namespace {

// Column block: each block line gives up columns startCol..endCol-1.
Link* pullColumns(EditorState* V) {
  BlockRecord b = V->blk;
  Tcb* t = b.blkTcb;
  Link* text = GetBlk(V);
  if (!text) return nullptr;
  ActiveLine a;
  // What follows the columns moves left and folds into TABs anew, which
  // can take more bytes: every line must fit before any changes.
  Link* l = b.startLink;
  for (int n = b.startLine;; n++, l = l->next()) {
    GetLine(l, &a);
    if (a.count > b.startCol) {
      LDelete(V, &a, b.startCol, std::min<int>(b.endCol, a.count));
      if (!LineFits(a)) {
        ReleaseText(V, text);
        SetAlert(V, "Line too long");
        return nullptr;
      }
    }
    if (n == b.endLine) break;
  }
  if (t == V->curTcb && !UdoBlkKeep(V, b.startLine, b.endLine - b.startLine + 1)) {
    ReleaseText(V, text);
    return nullptr;
  }
  const std::vector<Tcb*> views = viewsOf(V, t->base);
  l = b.startLink;
  for (int n = b.startLine;; n++) {
    Link* next = l->next();
    GetLine(l, &a);
    if (a.count > b.startCol) {
      LDelete(V, &a, b.startCol, std::min<int>(b.endCol, a.count));
      storeAt(V, l, &a, views);
    }
    if (n == b.endLine) break;
    l = next;
  }
  RemoveBlk(V);
  t->modified = 1;
  return text;
}

// Line block: its lines leave the text; one line made of the first line's
// characters before the start and the last line's after the end takes
// their place.
Link* pullLines(EditorState* V) {
  BlockRecord b = V->blk;
  Tcb* t = b.blkTcb;
  ActiveLine first, last, joined;
  GetLine(b.startLink, &first);
  GetLine(b.endLink, &last);
  joined = first;
  joined.flags = first.flags & LINK_CARRIED;
  if (!joinAt(&joined, b.startCol, last, b.endCol) || !LineFits(joined)) {
    SetAlert(V, "Line too long");
    return nullptr;
  }
  const bool one = b.startLink == b.endLink;
  first.flags = last.flags = 0;
  slice(&first, b.startCol, one ? b.endCol : kAlineMax);
  slice(&last, 0, b.endCol);
  const int width = one ? first.count : last.count;
  // A piece starting inside a line folds its blanks into TABs anew.
  if (!LineFits(first) || (!one && !LineFits(last))) {
    SetAlert(V, "Line too long");
    return nullptr;
  }
  Link* text = NewBaseLink(V);
  Link* firstPiece = text ? MakeLine(V, &first) : nullptr;
  Link* lastPiece = firstPiece && !one ? MakeLine(V, &last) : nullptr;
  Link* join = firstPiece && (one || lastPiece) ? MakeLine(V, &joined) : nullptr;
  if (!join) {
    if (firstPiece) ReleaseLink(V, firstPiece);
    if (lastPiece) ReleaseLink(V, lastPiece);
    if (text) ReleaseLink(V, text);
    return nullptr;
  }
  // Nothing can fail from here on.
  Link* before = b.startLink->prev();
  Link* after = b.endLink->next();
  BindLink(before, join);
  BindLink(join, after);
  if (one) {
    BindLink(text, firstPiece);
    BindLink(firstPiece, text);
  } else {
    Link* inner = b.startLink->next();
    BindLink(text, firstPiece);
    if (inner != b.endLink) {
      BindLink(firstPiece, inner);
      BindLink(b.endLink->prev(), lastPiece);
    } else {
      BindLink(firstPiece, lastPiece);
    }
    BindLink(lastPiece, text);
  }
  text->setWidth(uint16_t(width));
  allViews(V, t->base, [&](Tcb* u) { seatAfterCut(u, b, join, b.startLink, b.endLink); });
  // Inner lines went with the block; a view whose cursor was on one has
  // been seated on the joined line above.
  ReleaseLink(V, b.startLink);
  if (!one) ReleaseLink(V, b.endLink);
  RemoveBlk(V);
  t->modified = 1;
  return text;
}

}  // namespace

Link* PullBlk(EditorState* V) {
  if (BlkUse(V) != 0) return nullptr;
  Tcb* t = V->blk.blkTcb;
  Link* text = V->blk.isColumn ? pullColumns(V) : pullLines(V);
  if (text && t == V->curTcb) ALoad(V);
  V->redraw |= REDRAW_ALL;
  return text;
}

int PutBlk(EditorState* V, Link* text) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !text || IsBase(text->next()) || AFlush(V) != 0) return 1;
  const bool atEnd = IsBase(t->curLine);
  const int L = t->lineNo, c = t->col;
  int n = 0;
  for (const Link* l = text->next(); l != text; l = l->next()) n++;
  const int w = textWidth(text);
  ActiveLine cur, first, last;
  if (atEnd) {
    cur.count = 0;
    cur.flags = 0;
  } else {
    cur = V->aline;
  }
  GetLine(text->next(), &first);
  GetLine(text->prev(), &last);
  // The last text line, padded to the width, takes the cursor line's rest;
  // the first takes the part before the cursor.
  ActiveLine tail = last;
  TrimLine(&tail, std::min(w, kAlineMax));
  ActiveLine head = cur;
  head.flags = cur.flags & LINK_CARRIED;
  bool ok = joinAt(&tail, tail.count, cur, c);
  if (n == 1) {
    ok = ok && joinAt(&head, c, tail, 0);
  } else {
    ok = ok && joinAt(&head, c, first, 0);
    tail.flags = 0;
  }
  if (!ok || !LineFits(head) || (n > 1 && !LineFits(tail))) {
    SetAlert(V, "Line too long");
    return 1;
  }
  Link* newFirst = MakeLine(V, &head);
  Link* newLast = n > 1 && newFirst ? MakeLine(V, &tail) : nullptr;
  if (!newFirst || (n > 1 && !newLast)) {
    if (newFirst) ReleaseLink(V, newFirst);
    return 1;
  }
  // Nothing can fail from here on.
  Link* oldFirst = text->next();
  Link* oldLast = text->prev();
  ReplaceLink(V, oldFirst, newFirst);
  if (n > 1) ReplaceLink(V, oldLast, newLast);
  Link* before = atEnd ? t->base->prev() : t->curLine->prev();
  Link* after = atEnd ? t->base : t->curLine->next();
  Link* gone = atEnd ? nullptr : t->curLine;
  Link* lastIn = text->prev();
  BindLink(before, text->next());
  BindLink(lastIn, after);
  ReleaseLink(V, text);
  otherViews(V, t, t->base, [&](Tcb* u) {
    if (gone && u->curLine == gone)
      u->curLine = newFirst;
    else if (u->lineNo > L || IsBase(u->curLine))
      u->lineNo += n - (atEnd ? 0 : 1);
  });
  if (gone) ReleaseLink(V, gone);
  t->curLine = newFirst;
  if (atEnd) UdoBlkLineAdded(V);
  BlockRecord& b = V->blk;
  b = BlockRecord{t, t, L, c, 0, L + n - 1, n == 1 ? w + c : w, 0, nullptr, nullptr, 0};
  t->modified = 1;
  ALoad(V);
  V->redraw |= REDRAW_ALL;
  return 0;
}

namespace {

// Line i of a column lay: `target` with `src` laid at column c over `w`
// columns.  False when the result would not fit.
bool layLine(ActiveLine* target, const ActiveLine& src, int c, int w, bool overwrite) {
  const int n = std::min<int>(src.count, w);
  if (overwrite) {
    if (std::max<int>(target->count, c + w) > kLineMax) return false;
    TrimLine(target, std::max<int>(target->count, c + w));
    std::copy(src.c, src.c + n, target->c + c);
    std::fill(target->c + c + n, target->c + c + w, kSpace);
  } else {
    // Stored lines lose their trailing blanks: a text line goes in at its
    // full width wherever the target line goes on past the column.
    const int m = target->count > c ? w : n;
    if (m == 0) return true;
    if (std::max<int>(target->count, c) + m > kLineMax) return false;
    TrimLine(target, std::max<int>(target->count, c));
    std::memmove(target->c + c + m, target->c + c, size_t(target->count - c) * sizeof(tchar));
    std::copy(src.c, src.c + n, target->c + c);
    std::fill(target->c + c + n, target->c + c + m, kSpace);
    target->count = uint16_t(target->count + m);
  }
  return target->count <= kLineMax / 4 || LineFits(*target);
}

}  // namespace

int LayColumns(EditorState* V, Link* text, bool overwrite, bool dryRun) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !text || IsBase(text->next()) || AFlush(V) != 0) return 1;
  const int L = t->lineNo, c = std::min(t->col, kLineMax);
  int w = text->width();
  if (w > kAlineMax) {
    w = 0;
    ActiveLine a;
    for (const Link* l = text->next(); l != text; l = l->next()) w = std::max(w, GetLine(l, &a));
  }
  const int used = c + w >= kAlineMax ? std::max(0, kLineMax - c) : w;
  // The check: every target line, and every appended one, must fit.
  int n = 0, existing = 0;
  ActiveLine src, line;
  Link* target = t->curLine;
  for (const Link* l = text->next(); l != text; l = l->next(), n++) {
    if (IsBase(target)) {
      line.count = 0;
    } else {
      // A short line fits whatever is laid on it: each stored byte is at
      // most 8 columns (a TAB), each laid column at most 4 bytes.
      const int len = target->len();
      target = target->next();
      existing++;
      if (8 * len + c + used <= kLineMax && len + c + 4 * used <= kLineMax) continue;
      GetLine(target->prev(), &line);
    }
    GetLine(l, &src);
    if (!layLine(&line, src, c, used, overwrite)) {
      SetAlert(V, "Line too long");
      return 1;
    }
  }
  if (dryRun) return 0;
  // Appended lines are had before any line changes.
  Link* extra = NewBaseLink(V);
  if (!extra) return 1;
  for (int i = existing; i < n; i++) {
    if (!AddEmptyLine(V, extra->prev())) {
      ReleaseText(V, extra);
      return 1;
    }
  }
  if (!UdoBlkKeep(V, L, existing)) {
    ReleaseText(V, extra);
    return 1;
  }
  if (n > existing) {
    Link* base = t->base;
    Link* firstNew = extra->next();
    BindLink(base->prev(), firstNew);
    BindLink(extra->prev(), base);
    BindLink(extra, extra);
    otherViews(V, t, base, [&](Tcb* u) {
      if (IsBase(u->curLine)) u->lineNo += n - existing;
    });
    if (IsBase(t->curLine)) t->curLine = firstNew;
    UdoBlkAppended(V, n - existing);
  }
  ReleaseLink(V, extra);
  const std::vector<Tcb*> views = viewsOf(V, t->base);
  Link* l = t->curLine;
  Link* firstLine = nullptr;
  for (const Link* s = text->next(); s != text; s = s->next()) {
    GetLine(s, &src);
    GetLine(l, &line);
    Link* next = l->next();
    layLine(&line, src, c, used, overwrite);
    Link* r = storeAt(V, l, &line, views);
    if (!firstLine) firstLine = r;
    l = next;
  }
  ReleaseText(V, text);
  t->curLine = firstLine;
  t->lineNo = L;
  BlockRecord& b = V->blk;
  b = BlockRecord{t, t, L, c, 0, L + n - 1, std::min(c + w, kLineMax), 0, nullptr, nullptr, 1};
  t->modified = 1;
  ALoad(V);
  V->redraw |= REDRAW_ALL;
  return 0;
}

int PutColBlk(EditorState* V, Link* text) { return LayColumns(V, text, !(V->toggles & TGL_INSERT), false); }

void BlankBlk(EditorState* V) {
  if (BlkUse(V) != 0 || !V->blk.isColumn) return;
  const BlockRecord b = V->blk;
  Tcb* t = b.blkTcb;
  if (t == V->curTcb && !UdoBlkKeep(V, b.startLine, b.endLine - b.startLine + 1)) return;
  ActiveLine a;
  const std::vector<Tcb*> views = viewsOf(V, t->base);
  Link* l = b.startLink;
  for (int n = b.startLine;; n++) {
    Link* next = l->next();
    GetLine(l, &a);
    if (a.count > b.startCol) {
      std::fill(a.c + b.startCol, a.c + std::min<int>(a.count, b.endCol), kSpace);
      storeAt(V, l, &a, views);
    }
    if (n == b.endLine) break;
    l = next;
  }
  t->modified = 1;
  if (t == V->curTcb) ALoad(V);
}
