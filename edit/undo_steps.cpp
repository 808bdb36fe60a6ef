// Undo and Redo: one record per press, each shown at its place first.
#include <algorithm>
#include <cstring>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_edit.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_blocks.h"
#include "edit/undo_hooks.h"
#include "edit/undo_lines.h"
#include "edit/undo_ring.h"

using namespace udo;

namespace {

constexpr tchar kSpace = 0x20;
constexpr uint8_t kRepaintLine = 0x2;

struct Replay {
  Replay() { replaying++; }
  ~Replay() { replaying--; }
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;
};

// Puts the cursor at (line, col); the end-of-text position is line count+1.
// False when the place is not in the text.
bool go(EditorState* V, int line, int col) {
  Tcb* t = V->curTcb;
  if (line < 1 || col < 0 || col >= kAlineMax) return false;
  if (line != t->lineNo) {
    // Walked from the cursor line: far less than counting the text.
    Link* l = UdoLinkAt(V, line);
    if (!l || AFlush(V) != 0) return false;
    V->alineDirty = 0;
    SetALineQuick(V, l, line);
  }
  t->col = col;
  Adjust(V, t);
  inView(V);
  return true;
}

bool atLastPos(EditorState* V) {
  const Tcb* t = V->curTcb;
  return V->lastEditLine == 0 || (t->lineNo == V->lastEditLine && t->col == V->lastEditCol);
}

void dirty(EditorState* V) {
  V->alineDirty = 1;
  V->curTcb->modified = 1;
  V->redraw |= kRepaintLine;
}

bool onText(EditorState* V) { return !(V->aline.flags & LINK_BASE); }

// n characters into the cursor line at `at`, the line padded up to it.
bool insertAt(EditorState* V, int at, const tchar* chars, int n) {
  ActiveLine* line = &V->aline;
  if (!onText(V) || at < 0 || std::max(int(line->count), at) + n > kLineMax) return false;
  // A line that would not fit its record is left alone rather than cut.
  LineGuard guard(line, std::max(int(line->count), at) + n);
  TrimLine(line, std::max(int(line->count), at));
  std::memmove(line->c + at + n, line->c + at, size_t(line->count - at) * sizeof(tchar));
  std::copy(chars, chars + n, line->c + at);
  line->count = uint16_t(line->count + n);
  if (!guard.ok()) return false;
  dirty(V);
  return true;
}

void removeAt(EditorState* V, int at, int n) {
  ActiveLine* line = &V->aline;
  if (!onText(V) || at < 0 || at >= line->count || n <= 0) return;
  n = std::min(n, line->count - at);
  std::memmove(line->c + at, line->c + at + n, size_t(line->count - at - n) * sizeof(tchar));
  line->count = uint16_t(line->count - n);
  dirty(V);
}

void putAt(EditorState* V, int at, tchar ch) {
  ActiveLine* line = &V->aline;
  if (!onText(V) || at < 0 || at >= kLineMax) return;
  LineGuard guard(line, std::max(int(line->count), at + 1));
  TrimLine(line, std::max(int(line->count), at + 1));
  line->c[at] = ch;
  if (guard.ok()) dirty(V);
}

// The cursor line trades places with the line below (or above), and the
// cursor goes with it.
bool dragLine(EditorState* V, bool down) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return false;
  Link* l = t->curLine;
  Link* other;
  if (down) {
    if (IsBase(l) || IsBase(l->next())) return false;
    other = l->next();
    SwapLines(l);
    t->lineNo++;
  } else {
    if (IsBase(l->prev())) return false;
    other = l->prev();
    SwapLines(l->prev());
    t->lineNo--;
  }
  // Other views of the text on either line go with it.
  const int step = down ? 1 : -1;
  for (Tcb* u = t->next; u != t; u = u->next) {
    if (u->base != t->base) continue;
    if (u->curLine == l)
      u->lineNo += step;
    else if (u->curLine == other)
      u->lineNo -= step;
  }
  t->modified = 1;
  V->redraw |= REDRAW_TEXT;
  return true;
}

// The block keeps covering the same text through the log's own line
// changes, as it does through the editing commands'.  Line L+1 joins line
// L at `col`, less its first `skip` characters.
void blockJoined(EditorState* V, int L, int col, int skip) {
  BlockRecord& b = V->blk;
  if (!V->curTcb || b.blkView != V->curTcb) return;
  auto move = [&](int32_t& line, int32_t& c) {
    if (line == L + 1) {
      line = L;
      c = std::min(col + std::max(0, c - skip), kAlineMax);
    } else if (line > L + 1) {
      line--;
    }
  };
  move(b.startLine, b.startCol);
  move(b.endLine, b.endCol);
}

// The line after the cursor line goes; `joined` when its text went onto
// the cursor line (the block was told by blockJoined).
void deleteNextLine(EditorState* V, bool joined = false) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return;
  Link* n = t->curLine->next();
  if (IsBase(t->curLine) || IsBase(n)) return;
  if (!joined) {
    // Told as the cursor line's deletion, one line down.
    Link* here = t->curLine;
    t->lineNo++;
    t->curLine = n->next();
    DeleteLink(V, n);
    BlockAdjust(V, BLK_LINE_DELETED);
    t->lineNo--;
    t->curLine = here;
    n = nullptr;
  }
  if (n) DeleteLink(V, n);
  t->modified = 1;
  UdoRefindViews(V);
  V->redraw |= REDRAW_TEXT;
}

void deleteCursorLine(EditorState* V) {
  Tcb* t = V->curTcb;
  if (IsBase(t->curLine) || AFlush(V) != 0) return;
  Link* gone = t->curLine;
  t->curLine = gone->next();
  DeleteLink(V, gone);
  BlockAdjust(V, BLK_LINE_DELETED);
  t->modified = 1;
  ALoad(V);
  UdoRefindViews(V);
  V->redraw |= REDRAW_TEXT;
}

// A copy of `kept` before the cursor line, which it becomes.
bool lineBack(EditorState* V, const Link* kept) {
  Tcb* t = V->curTcb;
  if (!kept || AFlush(V) != 0) return false;
  Link* l = AddBytesLine(V, t->curLine->prev(), uint16_t(kept->word & ~LINK_BASE), kept->data());
  if (!l) return false;
  BlockAdjust(V, BLK_LINE_INSERTED);
  t->curLine = l;
  t->modified = 1;
  ALoad(V);
  UdoRefindViews(V);
  V->redraw |= REDRAW_TEXT;
  return true;
}

// The cursor line is split at `col`: the rest goes to a new line after it,
// behind `indent` blanks, and the cursor to (new line, indent).  Margins
// play no part: the record says where.
bool splitAt(EditorState* V, int col, int indent) {
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  if (!onText(V) || col < 0 || indent < 0 || indent >= kAlineMax) return false;
  ActiveLine fresh{};
  const int rest = std::max(0, line->count - col);
  if (indent + rest > kLineMax) return false;
  TrimLine(&fresh, indent);
  std::copy(line->c + std::min<int>(col, line->count), line->c + line->count, fresh.c + indent);
  fresh.count = uint16_t(indent + rest);
  if (line->count > col) line->count = uint16_t(col);
  fresh.flags = uint16_t(line->flags & ~(LINK_BASE | LINK_BOOKMARK));
  line->flags &= LINK_BOOKMARK;
  dirty(V);
  if (AFlush(V) != 0 || !AddLine(V, t->curLine, &fresh)) return false;
  const int was = t->col;
  t->col = col;
  BlockAdjust(V, BLK_SPLIT_BEGIN);
  t->col = was;
  t->curLine = t->curLine->next();
  t->lineNo++;
  ALoad(V);
  t->col = indent;
  BlockAdjust(V, BLK_SPLIT_END);
  UdoRefindViews(V);
  V->redraw |= REDRAW_TEXT;
  return true;
}

// The next line joins the cursor line at `col` (the line padded up to it),
// less its first `skip` characters.
bool joinAt(EditorState* V, int col, int skip) {
  Tcb* t = V->curTcb;
  if (!onText(V) || IsBase(t->curLine->next())) return false;
  ActiveLine below;
  GetLine(t->curLine->next(), &below);
  skip = std::clamp(skip, 0, int(below.count));
  ActiveLine* line = &V->aline;
  // The join took the line as exactly `col` wide: blanks left past it (a
  // character blanked in overwrite mode) were trimmed, not joined behind.
  TrimLine(line, col);
  if (!insertAt(V, line->count, below.c + skip, below.count - skip)) return false;
  line->flags = uint16_t((below.flags & ~LINK_BASE) | (line->flags & LINK_BOOKMARK));
  blockJoined(V, t->lineNo, col, skip);
  deleteNextLine(V, true);
  t->col = col;
  return true;
}

tchar charAt(const uint8_t* p) { return tchar(get32(p)); }

}  // namespace

// The deleted-line store may hold the line DelLine put there stored anew,
// its bytes otherwise (a line split and joined again by records is written
// afresh).
bool udo::SameText(const Link* a, const Link* b) {
  ActiveLine x, y;
  GetLine(a, &x);
  GetLine(b, &y);
  TrimLine(&x, 0);
  TrimLine(&y, 0);
  return x.count == y.count && std::equal(x.c, x.c + x.count, y.c);
}

namespace {

// Reverses the record at `rec`; false when it does not fit the text.
bool undoOne(EditorState* V, uint8_t* rec) {
  Tcb* t = V->curTcb;
  const uint8_t k = rec[0];
  switch (k) {
    case kDelChar: {
      // A backspace on the end-of-text position only stepped left.
      const tchar c = charAt(rec + 1);
      if (onText(V) && !insertAt(V, t->col, &c, 1)) return false;
      t->col++;
      break;
    }
    case kOverBack:
      if (onText(V)) putAt(V, t->col, charAt(rec + 1));
      t->col++;
      break;
    case kType:
      if (t->col < 1) return false;
      removeAt(V, t->col - 1, 1);
      t->col--;
      break;
    case kOverType: {
      if (t->col < 1) return false;
      const tchar was = charAt(rec + 1);
      if (was == kNothingReplaced)
        removeAt(V, t->col - 1, 1);
      else
        putAt(V, t->col - 1, was);
      t->col--;
      break;
    }
    case kDelLine: {
      // DelLine kept the line in the deleted-line store when it could: it
      // comes back from there, so that UnDelLine finds the store as it was.
      const Link* kept = Link::at(get32(rec + 1));
      if (kept && kept->len() >= 1 && kept->len() <= kDelKeepMax && V->delCount > 0 && !IsBase(V->delBase->prev()) &&
          SameText(V->delBase->prev(), kept)) {
        UndoDeleteLine(V);
        break;
      }
      if (!lineBack(V, kept)) return false;
      break;
    }
    case kUnDelLine:
      DeleteLine(V);
      break;
    case kNewLine: {
      const int line = int(get32(rec + 1)), from = get16(rec + 10), to = get16(rec + 12);
      if (!go(V, line, from) || IsBase(t->curLine) || IsBase(t->curLine->next())) return false;
      ActiveLine below;
      GetLine(t->curLine->next(), &below);
      const int n = std::max(0, below.count - to);
      TrimLine(&V->aline, from);
      if (V->aline.count > from) V->aline.count = uint16_t(from);
      if (!insertAt(V, from, below.c + std::min<int>(to, below.count), n)) return false;
      V->aline.flags = uint16_t((V->aline.flags & LINK_BOOKMARK) | (below.flags & ~LINK_BASE));
      blockJoined(V, t->lineNo, from, to);
      deleteNextLine(V, true);
      t->col = from;
      break;
    }
    case kAddLine:
    case kDupLine:
      if (ALineUp(V) != 0) return false;
      deleteNextLine(V);
      break;
    case kInsLine:
      deleteCursorLine(V);
      break;
    case kDelRtWord:
    case kDelLtWord:
    case kDelToEol: {
      const int n = get16(rec + 1);
      tchar chars[kAlineMax];
      for (int i = 0; i < n; i++) chars[i] = charAt(rec + 9 + 4 * i);
      if (!go(V, int(get32(rec + 3)), get16(rec + 7)) || !insertAt(V, t->col, chars, n)) return false;
      if (k == kDelLtWord) t->col += n;
      break;
    }
    case kReplace: {
      const int n = get16(rec + 1), m = get16(rec + 3);
      if (!go(V, int(get32(rec + 5)), get16(rec + 9))) return false;
      tchar chars[kAlineMax];
      for (int i = 0; i < n; i++) chars[i] = charAt(rec + 11 + 4 * i);
      removeAt(V, t->col, m);
      if (!insertAt(V, t->col, chars, n)) return false;
      break;
    }
    case kLineupLeft: case kLineupRight: case kMoveColumn: case kLineupColumn: case kLineupComment: {
      const int from = get16(rec + 6), to = get16(rec + 8);
      if (!go(V, int(get32(rec + 1)), t->col)) return false;
      if (to < from) {
        tchar b[kAlineMax];
        std::fill(b, b + (from - to), kSpace);
        if (!insertAt(V, to, b, from - to)) return false;
      } else if (from < to) {
        removeAt(V, from, to - from);
      }
      break;
    }
    case kJoin: {
      // Split where the join was; the blanks it dropped before the left
      // margin come back.
      const int col = t->col;
      if (!splitAt(V, col, std::min<int>(int(get32(rec + 1) >> 8), kAlineMax - 1)) || ALineUp(V) != 0) return false;
      // The split took the blanks as text: give them their place again.
      t->col = col;
      break;
    }
    case kIndent:
    case kComment: {
      if (!go(V, int(get32(rec + 1)), t->col)) return false;
      removeAt(V, t->col, 2);
      break;
    }
    case kUnIndent:
    case kUnComment:
      ALineUp(V);
      if (k == kUnIndent)
        Indent(V);
      else
        Comment(V);
      ALineUp(V);
      break;
    case kDragLineUp:
    case kDragLineDown:
      // The drag the other way: the line goes back past its neighbour.
      if (!dragLine(V, k == kDragLineUp)) return false;
      break;
    case kPosLong:
    case kPosShort: {
      const bool s = k == kPosShort;
      const int line = s ? get16(rec + 7) : int(get32(rec + 1));
      const int col = s ? rec[1] : get16(rec + 10);
      if (line == 0) return true;  // no position before: only steps back
      if (!go(V, line, col)) return false;
      break;
    }
    case kLines:
      if (!UdoLinesSwap(V, rec, true)) return false;
      break;
    default:
      if (!UdoBlockUndo(V, rec)) return false;
      break;
  }
  UdoPos(V);
  return true;
}

bool redoOne(EditorState* V, uint8_t* rec) {
  Tcb* t = V->curTcb;
  const uint8_t k = rec[0];
  switch (k) {
    case kDelChar:
      if (t->col < 1) return false;
      removeAt(V, t->col - 1, 1);
      t->col--;
      break;
    case kOverBack:
      if (t->col < 1) return false;
      t->col--;
      if (t->col < V->aline.count) putAt(V, t->col, kSpace);
      break;
    case kType: {
      const tchar c = charAt(rec + 1);
      if (!insertAt(V, t->col, &c, 1)) return false;
      t->col++;
      break;
    }
    case kOverType:
      putAt(V, t->col, charAt(rec + 6));
      t->col++;
      break;
    case kDelLine:
      DeleteLine(V);
      break;
    case kUnDelLine:
      UndoDeleteLine(V);
      break;
    case kNewLine:
      if (!go(V, int(get32(rec + 1)), get16(rec + 10)) || !splitAt(V, get16(rec + 10), get16(rec + 12))) return false;
      break;
    case kAddLine:
      AddNewLine(V);
      break;
    case kDupLine:
      DupLine(V);
      break;
    case kInsLine:
      InsNewLine(V);
      break;
    case kDelRtWord:
    case kDelLtWord:
    case kDelToEol:
      if (!go(V, int(get32(rec + 3)), get16(rec + 7))) return false;
      removeAt(V, t->col, get16(rec + 1));
      break;
    case kReplace: {
      const int n = get16(rec + 1), m = get16(rec + 3);
      if (!go(V, int(get32(rec + 5)), get16(rec + 9))) return false;
      tchar chars[kAlineMax];
      for (int i = 0; i < m; i++) chars[i] = charAt(rec + 11 + 4 * (n + i));
      removeAt(V, t->col, n);
      if (!insertAt(V, t->col, chars, m)) return false;
      t->col += m;
      break;
    }
    case kLineupLeft: case kLineupRight: case kMoveColumn: case kLineupColumn: case kLineupComment: {
      const int from = get16(rec + 6), to = get16(rec + 8);
      if (!go(V, int(get32(rec + 1)), t->col)) return false;
      if (from < to) {
        tchar b[kAlineMax];
        std::fill(b, b + (to - from), kSpace);
        if (!insertAt(V, from, b, to - from)) return false;
      } else if (to < from) {
        removeAt(V, to, from - to);
      }
      ALineDown(V);
      break;
    }
    case kJoin:
      // At the cursor, where Undo left it: DelChr and the word deletions
      // pad up to it before they join.
      if (!joinAt(V, t->col, int(get32(rec + 1) >> 8))) return false;
      break;
    case kIndent:
      Indent(V);
      V->lastEditLine = int32_t(get32(rec + 1));  // as the command left it
      return true;
    case kComment:
      Comment(V);
      V->lastEditLine = int32_t(get32(rec + 1));
      return true;
    case kUnIndent:
    case kUnComment:
      removeAt(V, t->col, 2);
      ALineDown(V);
      break;
    case kDragLineUp:
    case kDragLineDown:
      if (!dragLine(V, k == kDragLineDown)) return false;
      break;
    case kPosLong:
    case kPosShort: {
      const bool s = k == kPosShort;
      const int line = s ? get16(rec + 9) : int(get32(rec + 5));
      const int col = s ? rec[2] : get16(rec + 12);
      if (line != 0 && !go(V, line, col)) return false;
      break;
    }
    case kLines:
      if (!UdoLinesSwap(V, rec, false)) return false;
      break;
    default:
      if (!UdoBlockRedo(V, rec)) return false;
      break;
  }
  UdoPos(V);
  return true;
}

// A record that does not fit the text: the log cannot be trusted.
void lost(EditorState* V) {
  udoReset(V);
  SetAlert(V, "NO Undo");
}

// The records before the head belong to another text than the current
// one, or the cursor is away from the last edit: go there first.
bool showPlace(EditorState* V) {
  RingHeader& r = Ring(V);
  if (r.logBase && CurBase(V) != r.logBase) {
    if (!ShowText(V, r.logBase)) {
      lost(V);
      return true;
    }
    if (V->lastEditLine && !go(V, V->lastEditLine, V->lastEditCol)) lost(V);
    return true;
  }
  if (!atLastPos(V)) {
    if (!go(V, V->lastEditLine, V->lastEditCol)) lost(V);
    return true;
  }
  return false;
}

}  // namespace

bool udo::ShowText(EditorState* V, uint32_t h) {
  Tcb* cur = V->curTcb;
  if (cur && Link::handle(cur->base) == h) return true;
  Tcb* u = V->tcbRing;
  if (!u) return false;
  do {
    if (u->base && Link::handle(u->base) == h) {
      AFlush(V);
      SelectView(V, u->number);
      return V->curTcb == u;
    }
    u = u->next;
  } while (u != V->tcbRing);
  return false;
}

void Undo(EditorState* V) {
  if (!V->undoArea || !V->curTcb || !V->curTcb->base) return;
  RingHeader& r = Ring(V);
  if (r.head == r.tail) {
    SetAlert(V, "NO Undo");
    return;
  }
  if (showPlace(V)) return;
  const uint32_t end = EndBefore(V, r.head);
  const int n = end >= kRingStart + 5 ? UdoRecordSizeBack(V->undoArea + end) : 0;
  if (n <= 0 || end < kRingStart + uint32_t(n)) {
    udoReset(V);
    SetAlert(V, "undo tilt");
    return;
  }
  uint8_t* rec = V->undoArea + end - n;
  if (rec[0] != V->undoArea[end - 5]) {
    udoReset(V);
    SetAlert(V, "undo tilt");
    return;
  }
  Replay replay;
  if (rec[0] == kTextSwitch) {
    r.head = end - uint32_t(n);
    r.logBase = get32(rec + 1);
    V->lastEditLine = int32_t(get32(rec + 5));
    V->lastEditCol = get16(rec + 9);
    if (r.logBase && !ShowText(V, r.logBase)) return lost(V);
    if (V->lastEditLine && !go(V, V->lastEditLine, V->lastEditCol)) lost(V);
    return;
  }
  if (!undoOne(V, rec)) return lost(V);
  r.head = end - uint32_t(n);
  Adjust(V, V->curTcb);
}

void Redo(EditorState* V) {
  if (!V->undoArea || !V->curTcb || !V->curTcb->base) return;
  RingHeader& r = Ring(V);
  if (r.head == r.top) {
    SetAlert(V, "NO Redo");
    return;
  }
  if (showPlace(V)) return;
  const uint32_t at = StartAt(V, r.head);
  uint8_t* rec = V->undoArea + at;
  const int n = at == r.top ? 0 : UdoRecordSize(rec);
  if (n <= 0 || at + uint32_t(n) > kRingLimit) {
    udoReset(V);
    SetAlert(V, "undo tilt");
    return;
  }
  Replay replay;
  if (rec[0] == kTextSwitch) {
    if (!ShowText(V, get32(rec + 12))) return lost(V);
    r.logBase = get32(rec + 12);
    V->lastEditLine = 0;
    V->lastEditCol = 0;
  } else if (!redoOne(V, rec)) {
    return lost(V);
  }
  r.head = at + uint32_t(n);
  if (r.wrap && r.head == r.wrap) r.head = kRingStart;
  Adjust(V, V->curTcb);
}
