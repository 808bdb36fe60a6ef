// Walking the lines of the text or of the block.
#include "edit/traverse.h"

#include <algorithm>
#include <climits>

#include "core/editor_state.h"
#include "edit/block_keeper.h"

namespace {

// The lines a walk covers and the columns that belong to it on each.
struct Range {
  bool block = false;   // confined to the block
  bool column = false;  // ... a column block
  int firstNo = 1, lastNo = INT_MAX;  // INT_MAX: up to the end of the text
  Link* firstLink = nullptr;
  Link* lastLink = nullptr;
  int startCol = 0, endCol = kTravNoLimit;

  int fromLimit(int no) const {
    if (no == firstNo) return block ? startCol : 0;
    return column ? startCol : 0;
  }
  int toLimit(int no) const {
    if (no == lastNo && block) return endCol;
    return column ? endCol : kTravNoLimit;
  }
};

}  // namespace

int Traverse(EditorState* V, int flags, TravFn fn, void* arg, TravSkip skip) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !fn) return 1;
  AFlush(V);
  Link* base = t->base;
  if (base->next() == base) return 1;

  Range r;
  const bool blockHere = V->blk.blkTcb && V->blk.blkTcb == t;
  if ((flags & (TRAV_NEED_BLOCK | TRAV_USE_BLOCK)) && blockHere) {
    if (BlkUse(V) != 0) return 1;
    const BlockRecord& b = V->blk;
    if (!b.isColumn && (flags & TRAV_NEED_COLUMN)) return 1;
    r.block = true;
    r.column = b.isColumn != 0;
    r.firstNo = b.startLine;
    r.lastNo = b.endLine;
    r.firstLink = b.startLink;
    r.lastLink = b.endLink;
    r.startCol = b.startCol;
    r.endCol = b.endCol;
  } else if (flags & TRAV_NEED_BLOCK) {
    return 1;
  } else {
    r.firstLink = base->next();
    r.lastLink = base->prev();
  }

  const bool back = (flags & TRAV_BACKWARDS) != 0;
  // A backward walk of the whole text from a cursor inside it never needs the
  // number of the last line: counting would cost a walk over the text.
  const bool fromCursorLine = (flags & TRAV_FROM_CURSOR) && !IsBase(t->curLine);
  if (back && r.lastNo == INT_MAX && !(fromCursorLine && !r.block)) r.lastNo = CountLines(base);

  // Where the walk begins, and the limits of its first line when it begins
  // at the cursor.
  Link* link = back ? r.lastLink : r.firstLink;
  int no = back ? r.lastNo : r.firstNo;
  bool atCursor = false;
  int curFrom = 0, curTo = 0;
  if (flags & TRAV_FROM_CURSOR) {
    // The end-of-text position lies after every line.
    const bool pastEnd = IsBase(t->curLine);
    const int L = pastEnd ? INT_MAX : t->lineNo;
    const int col = t->col;
    const bool colIn = (flags & TRAV_AT_CURSOR) != 0;
    if (!back) {
      if (pastEnd) return 1;
      // A cursor past the range leaves nothing of it ahead.
      if (L > r.lastNo) return 1;
      if (L > r.firstNo || (L == r.firstNo && col >= r.fromLimit(L))) {
        atCursor = true;
        curFrom = colIn ? col : col + 1;
        if (L != r.lastNo) curFrom = std::min(curFrom, r.toLimit(L));
        curTo = r.toLimit(L);
      }
    } else {
      if (L < r.firstNo) return 1;
      if (L < r.lastNo || (L == r.lastNo && col <= r.toLimit(L))) {
        atCursor = true;
        curTo = colIn ? col : col - 1;
        if (L != r.lastNo) curTo = std::min(curTo, r.toLimit(L));
        curTo = std::max(curTo, 0);
        curFrom = r.fromLimit(L);
      }
    }
    if (atCursor) {
      link = t->curLine;
      no = L;
    }
  }

  V->travStop = 0;
  ActiveLine line;
  int result = 1;
  for (bool first = true;; first = false) {
    if (skip && !(first && atCursor) && skip(link, arg)) {
      if (no == (back ? r.firstNo : r.lastNo)) break;
      Link* next = back ? link->prev() : link->next();
      if (IsBase(next)) break;
      link = next;
      no += back ? -1 : 1;
      continue;
    }
    GetLine(link, &line);
    int from = first && atCursor ? curFrom : r.fromLimit(no);
    int to = first && atCursor ? curTo : r.toLimit(no);
    to = std::clamp(to, 0, int(line.count));
    from = std::clamp(from, 0, to);
    V->travLine = no;
    V->travLink = link;
    result = fn(V, &line, from, to, arg);
    if (result) {
      Link* stored = PutLine(V, link, &line);
      if (t->curLine == link) t->curLine = stored;
      link = stored;
      V->travLink = stored;
    }
    // Line numbers, not Links, mark the range's end: a stored line may have
    // moved to another record.
    if (V->travStop || no == (back ? r.firstNo : r.lastNo)) break;
    Link* next = back ? link->prev() : link->next();
    if (IsBase(next)) break;
    link = next;
    no += back ? -1 : 1;
  }
  return result;
}
