// Keeping the marked block over the same text while lines are edited, and
// the checks every block command starts with.
#include "edit/block_keeper.h"

#include <algorithm>

#include "core/editor_state.h"
#include "edit/line_edit.h"

namespace {

// Line-number shift of both block ends for lines inserted or removed.
void shiftLines(BlockRecord& b, bool startMoves, bool endMoves, int by) {
  if (startMoves) b.startLine += by;
  if (endMoves) b.endLine += by;
}

void charEvent(EditorState* V, BlockRecord& b, int L, int c, int by) {
  if (b.isColumn || !(V->toggles & TGL_INSERT)) return;
  // Marks past the line's end are pushed right only as far as a line reaches.
  if (b.startLine == L && b.startCol >= c) b.startCol = std::min(b.startCol + by, kAlineMax - 1);
  if (b.endLine == L && b.endCol >= c) b.endCol = std::min(b.endCol + by, kAlineMax);
}

}  // namespace

void BlockAdjust(EditorState* V, int event) {
  Tcb* t = V->curTcb;
  BlockRecord& b = V->blk;
  if (!t || b.blkView != t) return;
  const int L = t->lineNo, c = t->col;
  switch (event) {
    case BLK_CHAR_WRITTEN:
      charEvent(V, b, L, c, 1);
      break;
    case BLK_CHAR_REMOVED:
      charEvent(V, b, L, c, -1);
      break;
    case BLK_WORD_REMOVED:
      if (b.startLine == L && b.startCol >= c) b.startCol = std::max(c, b.startCol - V->blkShift);
      if (b.endLine == L && b.endCol >= c) b.endCol = std::max(c, b.endCol - V->blkShift);
      break;
    case BLK_LINE_RESTORED:
    case BLK_LINE_INSERTED:
      shiftLines(b, b.startLine >= L, b.endLine >= L, 1);
      break;
    case BLK_LINE_DELETED:
      if (IsBase(t->curLine) && t->lineNo > 1 && b.endLine >= L) {
        // The last line went: a block on it has lost its lines there.
        if (b.startLine >= L) {
          RemoveBlk(V);
          break;
        }
        // A line block now ends where the new last line does.
        b.endLine = L - 1;
        if (!b.isColumn) {
          ActiveLine last;
          GetLine(t->base->prev(), &last);
          b.endCol = last.count;
        }
        break;
      }
      if (b.startLine == L) b.startCol = 0;
      if (b.endLine == L) b.endCol = 0;
      shiftLines(b, L < b.startLine, L < b.endLine, -1);
      break;
    case BLK_LINES_JOINED: {
      // A mark past the end of the line below moves with it, but no
      // further than a line reaches.
      const int shift = JoinShift(V);
      if (L < b.startLine) {
        if (b.startLine == L + 1) b.startCol = std::clamp(b.startCol + shift, 0, kAlineMax - 1);
        b.startLine--;
      }
      if (L < b.endLine) {
        if (b.endLine == L + 1) b.endCol = std::clamp(b.endCol + shift, 0, kAlineMax);
        b.endLine--;
      }
      break;
    }
    case BLK_SPLIT_BEGIN:
      if (L < b.startLine) {
        b.startLine++;
      } else if (b.startLine == L && b.startCol >= c) {
        b.startLine = L + 1;
        b.startCol -= c;
        b.startSplit = 1;
      }
      if (L < b.endLine) {
        b.endLine++;
      } else if (b.endLine == L && c < b.endCol) {
        b.endLine = L + 1;
        b.endCol -= c;
        b.endSplit = 1;
      }
      break;
    case BLK_SPLIT_END:
      // Each split carries an end once.
      if (b.startSplit) b.startCol += c;
      if (b.endSplit) b.endCol += c;
      b.startSplit = b.endSplit = 0;
      break;
    case BLK_LINE_ADDED:
      shiftLines(b, L < b.startLine, L < b.endLine, 1);
      break;
    default:
      break;
  }
  // A finished block the edit turned inside out covers nothing any more.
  if (b.blkTcb && b.endLine && (b.endLine < b.startLine || b.endLine < 1)) RemoveBlk(V);
}

void RemoveBlk(EditorState* V) {
  const int32_t isColumn = V->blk.isColumn;
  V->blk = BlockRecord{};
  V->blk.isColumn = isColumn;
  V->blkShift = 0;
  V->travStop = 0;
  V->travLine = 0;
  V->travLink = nullptr;
  V->redraw |= REDRAW_TEXT;
}

int ValidateBlk(EditorState* V) {
  const BlockRecord& b = V->blk;
  const bool ok = b.blkTcb && b.blkTcb->base && b.startLine >= 1 && b.endLine >= b.startLine &&
                  ((!b.isColumn && b.endLine > b.startLine) || b.startCol < b.endCol);
  if (!ok) RemoveBlk(V);
  return ok ? 1 : 0;
}

int BlkUse(EditorState* V) {
  if (!ValidateBlk(V)) return 1;
  AFlush(V);
  BlockRecord& b = V->blk;
  Link* base = b.blkTcb->base;
  Link* l = base->next();
  int n = 1;
  for (; n < b.startLine && l != base; n++) l = l->next();
  if (l == base) return 1;
  b.startLink = l;
  for (; n < b.endLine && l->next() != base; n++) l = l->next();
  if (n < b.endLine) return 1;
  b.endLink = l;
  return 0;
}
