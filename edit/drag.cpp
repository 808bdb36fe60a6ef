// Block and line dragging.
#include <algorithm>
#include <utility>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/drag.h"
#include "edit/movement.h"
#include "edit/undo_blocks.h"
#include "tools/box_draw.h"

namespace {

struct Pos {
  int line, col;
  bool operator==(const Pos&) const = default;
};

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

// The cursor; the end-of-text position counts as the end of the last line,
// where a block can end.
Pos cursorPos(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!IsBase(t->curLine)) return {t->lineNo, t->col};
  ActiveLine last;
  GetLine(t->base->prev(), &last);
  TrimLine(&last, 0);
  return {t->lineNo - 1, last.count};
}

Pos movedTo(EditorState* V, int move) {
  CursorMove(V, move);
  return cursorPos(V);
}

void setBlock(EditorState* V, Pos s, Pos e, int column) {
  BlockRecord& b = V->blk;
  b.blkTcb = b.blkView = V->curTcb;
  b.startLine = s.line;
  b.startCol = s.col;
  b.endLine = e.line;
  b.endCol = e.col;
  b.startSplit = b.endSplit = 0;
  b.isColumn = column;
}

void dragLines(EditorState* V, int move) {
  Tcb* t = V->curTcb;
  BlockRecord& b = V->blk;
  const Pos p = cursorPos(V);
  const bool here = b.blkTcb == t;
  Pos s{b.startLine, b.startCol}, e{b.endLine, b.endCol};
  if (here && p == s) {
    s = movedTo(V, move);
  } else if (here && p == e) {
    e = movedTo(V, move);
  } else {
    RemoveBlk(V);
    s = p;
    e = movedTo(V, move);
  }
  if (e.line < s.line) std::swap(s, e);
  if (s.line == e.line) {
    if (e.col < s.col) std::swap(s.col, e.col);
    if (s.col == e.col) {
      RemoveBlk(V);
      return;
    }
  }
  setBlock(V, s, e, 0);
}

void dragColumns(EditorState* V, int move) {
  Tcb* t = V->curTcb;
  BlockRecord& b = V->blk;
  const Pos p = cursorPos(V);
  const Pos q = movedTo(V, move);
  const bool inLines = p.line >= b.startLine && p.line <= b.endLine;
  // The end column is an edge too.
  const bool inCols = p.col >= b.startCol && p.col <= b.endCol;
  const bool onEdge = p.line == b.startLine || p.line == b.endLine || p.col == b.startCol || p.col == b.endCol;
  Pos s{b.startLine, b.startCol}, e{b.endLine, b.endCol};
  if (b.blkTcb != t || !inLines || !inCols || !onEdge) {
    RemoveBlk(V);
    s = p;
    e = q;
  } else {
    if (p.line == b.startLine)
      s.line = q.line;
    else if (p.line == b.endLine)
      e.line = q.line;
    if (p.col == b.startCol)
      s.col = q.col;
    else if (p.col == b.endCol)
      e.col = q.col;
  }
  if (e.line < s.line) std::swap(s.line, e.line);
  if (e.col < s.col) std::swap(s.col, e.col);
  if (s == e) {
    RemoveBlk(V);
    return;
  }
  setBlock(V, s, e, 1);
}

// The views of the current text other than the current one keep their
// lines: a view on one of the two exchanged lines follows it.
void followSwap(EditorState* V, const Link* up, const Link* down) {
  Tcb* cur = V->curTcb;
  Tcb* u = V->tcbRing;
  do {
    if (u != cur && u->base == cur->base) {
      if (u->curLine == up) u->lineNo--;
      else if (u->curLine == down) u->lineNo++;
    }
    u = u->next;
  } while (u != V->tcbRing);
}

}  // namespace

void DragBlk(EditorState* V, int move) {
  if (!haveText(V)) return;
  // Box drawing takes the drag keys for its lines.
  if (V->toggles & TGL_BOXDRAW) {
    boxDraw_(V, move);
    return;
  }
  if (V->blk.isColumn)
    dragColumns(V, move);
  else
    dragLines(V, move);
  V->redraw |= REDRAW_ALL;
}

void DragLineUp(EditorState* V, int) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  Link* l = t->curLine;
  if (IsBase(l) || IsBase(l->prev()) || AFlush(V) != 0) return;
  l = t->curLine;
  Link* above = l->prev();
  SwapLines(above);
  t->lineNo--;
  t->row = std::min(t->row, t->lineNo - 1);
  // The new order is a change to save.
  t->modified = 1;
  followSwap(V, l, above);
  UdoBlkDone(V);
  V->redraw |= REDRAW_TEXT;
}


void DragLineDown(EditorState* V, int) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  Link* l = t->curLine;
  if (IsBase(l) || IsBase(l->next()) || AFlush(V) != 0) return;
  l = t->curLine;
  Link* below = l->next();
  SwapLines(l);
  t->lineNo++;
  t->modified = 1;
  followSwap(V, below, l);
  ALoad(V);
  UdoBlkDone(V);
  V->redraw |= REDRAW_TEXT;
}
