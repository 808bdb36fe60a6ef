// Splitting and joining lines, and deleting words and line ends.
#include "edit/line_edit.h"

#include <algorithm>
#include <cstring>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo_hooks.h"

namespace {

constexpr uint8_t kRepaintLine = 0x2;
constexpr tchar kSpace = 0x20;
constexpr int kIndentLookBack = 128;

bool haveText(const EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }
bool atTextEnd(const EditorState* V) { return (V->aline.flags & LINK_BASE) != 0; }
int leftMargin(const Tcb* t) { return std::clamp(t->leftMargin, 0, kTypeLimit); }

// The column from which a joined line's characters are taken: its blanks
// up to the left margin go, anything else stays.
int joinSkip(const ActiveLine* next, int margin) {
  int s = 0;
  while (s < margin && s < next->count && next->c[s] == kSpace) s++;
  return s;
}

bool separates(const EditorState* V, tchar c) { return V->wordClass[c & 0x1fff] == 0x20; }

// The indentation for a new line after a blank or short one: that of the
// nearest line above, within 128, that is longer than `a`; column 0 when
// there is none.
int indentAbove(EditorState* V, int a) {
  Tcb* t = V->curTcb;
  ActiveLine up;
  Link* l = t->curLine->prev();
  for (int i = 0; i < kIndentLookBack && !IsBase(l); i++, l = l->prev()) {
    GetLine(l, &up);
    if (up.count > a) return LeftmostWord(&up, leftMargin(t));
  }
  return 0;
}

// At the end-of-text position a new line is made the last line.
int newLastLine(EditorState* V) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return 1;
  Link* l = AddEmptyLine(V, t->curLine->prev());
  if (!l) return 1;
  t->curLine = l;
  t->modified = 1;
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
  return 0;
}

}  // namespace

int JoinShift(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!haveText(V) || IsBase(t->curLine) || IsBase(t->curLine->next())) return 0;
  ActiveLine next;
  GetLine(t->curLine->next(), &next);
  const int m = leftMargin(t);
  return std::max(m, int(V->aline.count)) - joinSkip(&next, m);
}

int Concat(EditorState* V) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  Link* next = t->curLine->next();
  if (IsBase(t->curLine) || IsBase(next)) return 1;
  ActiveLine below;
  GetLine(next, &below);
  const int m = leftMargin(t);
  const int at = std::max(m, int(V->aline.count));
  const int s = joinSkip(&below, m);
  const int width = below.count - s;
  if (at + width > kLineMax) return 2;
  ActiveLine joined = V->aline;
  TrimLine(&joined, at);
  std::memcpy(joined.c + at, below.c + s, size_t(width) * sizeof(tchar));
  joined.count = uint16_t(at + width);
  if (joined.count > kAlwaysFits && FoldedBytes(&joined) > kLineMax) return 2;
  BlockAdjust(V, BLK_LINES_JOINED);
  udoJoinSkip = s;
  // The joined line ends where the next line ended; a bookmark on either
  // line stays.
  joined.flags = uint16_t(below.flags | (V->aline.flags & LINK_BOOKMARK));
  V->aline = joined;
  t->col = at;
  // Another view on the line below stays with its text, now on this line.
  for (Tcb* u = t->next; u != t; u = u->next)
    if (u->base == t->base && u->curLine == next) {
      u->curLine = t->curLine;
      u->lineNo = t->lineNo;
      u->col = at + std::max(0, u->col - s);
    }
  DeleteLink(V, next);
  V->alineDirty = 1;
  AFlush(V);
  return 0;
}

void JoinNext(EditorState* V) {
  udojoin = 1;
  if (Concat(V) != 0) udojoin = 0;
  V->redraw |= REDRAW_TEXT;
}

void JoinLine(EditorState* V) {
  Concat(V);
  Adjust(V, V->curTcb);
  V->redraw |= REDRAW_TEXT;
}

int NewLine(EditorState* V) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  if (IsBase(t->curLine)) return newLastLine(V);
  ActiveLine* line = &V->aline;
  const int m = leftMargin(t);
  // A split that undoes a join puts no indentation in.
  const bool plain = udojoin != 0;
  udojoin = 0;
  int a = plain ? 0 : LeftmostWord(line, m);
  const int oldCol = t->col;
  const uint16_t oldCount = line->count;
  if (t->col < m || t->col < a) t->col = a;
  const int col = t->col;
  udoSplitCol = col;
  TrimLine(line, m);
  if (!plain && a >= line->count) a = indentAbove(V, a);

  ActiveLine fresh;
  fresh.next = fresh.prev = nullptr;
  fresh.flags = 0;
  fresh.count = 0;
  TrimLine(&fresh, m);
  const bool moves = col < line->count;
  if (moves) {
    TrimLine(&fresh, a);
    const int n = line->count - col;
    std::memcpy(fresh.c + fresh.count, line->c + col, size_t(n) * sizeof(tchar));
    fresh.count = uint16_t(fresh.count + n);
  }
  // Text moved to another column folds differently: a split that would
  // not fit a record changes nothing.
  if (fresh.count > kAlwaysFits && FoldedBytes(&fresh) > kLineMax) {
    t->col = oldCol;
    line->count = oldCount;
    SetAlert(V, "Line too long");
    return 1;
  }
  Link* added = AddLine(V, t->curLine, &fresh);
  if (!added) {
    t->col = oldCol;
    line->count = oldCount;
    return 1;
  }

  BlockAdjust(V, BLK_SPLIT_BEGIN);
  if (moves) line->count = uint16_t(col);
  t->col = a;
  BlockAdjust(V, BLK_SPLIT_END);
  // The split line ends here for good; its bookmark stays with it.
  line->flags &= LINK_BOOKMARK;
  V->alineDirty = 1;
  AFlush(V);
  t->leftCol = 0;
  t->modified = 1;
  CursorMove(V, MOVE_ONEDOWN);
  V->redraw |= REDRAW_TEXT;
  return 0;
}

void DeleteRightWord(EditorState* V) {
  if (!haveText(V) || atTextEnd(V)) return;
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  const int c = t->col;
  TrimLine(line, c);
  if (c >= line->count) {
    JoinNext(V);
    return;
  }
  const int len = line->count;
  int e = len;
  if (line->c[c] != kSpace) {
    // Up to the start of the next word.
    for (int i = c + 1; i < len; i++)
      if (separates(V, line->c[i - 1]) && !separates(V, line->c[i])) {
        e = i;
        break;
      }
  } else {
    // Over the blanks.
    for (int i = c + 1; i < len; i++)
      if (line->c[i - 1] == kSpace && line->c[i] != kSpace) {
        e = i;
        break;
      }
  }
  LineGuard guard(line, len);
  udosavstr(line, c, e);
  LDelete(V, line, c, e);
  if (!guard.ok()) {
    udosavstr(line, c, c);
    return;
  }
  V->blkShift = e - c;
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
  BlockAdjust(V, BLK_WORD_REMOVED);
}

void DeleteLeftWord(EditorState* V) {
  if (!haveText(V) || atTextEnd(V)) return;
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  const int c = t->col;
  TrimLine(line, c);
  if (c <= 0) {
    if (ALineUp(V) != 0) return;
    t->col = V->aline.count;
    udojoin = 1;
    if (Concat(V) != 0) {
      udojoin = 0;
      ALineDown(V);
      t->col = 0;
      return;
    }
    if (t->row > 0) t->row--;
    Adjust(V, t);
    V->redraw |= REDRAW_TEXT;
    return;
  }
  // Beyond the line end the cursor stands on a blank.
  const bool onBlank = c >= line->count || line->c[c] == kSpace;
  int s = 0;
  for (int i = c - 1; i >= 1; i--) {
    const tchar left = line->c[i - 1], here = line->c[i];
    const bool stop = onBlank ? (left != kSpace && here == kSpace)
                              : (!separates(V, left) && separates(V, here));
    if (stop) {
      s = i;
      break;
    }
  }
  LineGuard guard(line, line->count);
  udosavstr(line, s, c);
  LDelete(V, line, s, c);
  if (!guard.ok()) {
    udosavstr(line, c, c);
    return;
  }
  t->col = s;
  V->blkShift = c - s;
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
  Adjust(V, t);
  BlockAdjust(V, BLK_WORD_REMOVED);
}

void DeleteToEol(EditorState* V) {
  if (!haveText(V) || atTextEnd(V)) return;
  ActiveLine* line = &V->aline;
  const int col = V->curTcb->col;
  if (col < 0 || col >= line->count) return;
  udosavstr(line, col, line->count);
  line->count = uint16_t(col);
  V->alineDirty = 1;
  V->redraw |= kRepaintLine | REDRAW_STATUS;
}

void UndoLine(EditorState* V) {
  if (!haveText(V) || !V->alineDirty) return;
  ALoad(V);
  V->redraw |= kRepaintLine;
}
