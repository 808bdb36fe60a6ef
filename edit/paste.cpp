// The paste buffer.  Its kind on insertion follows the block record's
// isColumn, which outlives the block; a width above 1024 (whole lines) puts
// the insertion's end at its last line's end.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/block.h"
#include "edit/block_keeper.h"
#include "edit/block_lines.h"
#include "edit/line_edit.h"
#include "edit/paste.h"
#include "edit/undo.h"
#include "edit/undo_blocks.h"

namespace {

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

// The block as a block text: cut out (recorded as the lines it changed) or
// copied.  Null when nothing was taken.
Link* takeBlock(EditorState* V, bool cut) {
  if (!haveText(V) || BlkUse(V) != 0) return nullptr;
  if (!cut) return GetBlk(V);
  if (V->blk.blkTcb != V->curTcb) return nullptr;
  const BlockRecord b = V->blk;
  if (!UdoLinesBefore(V, b.startLine, b.endLine)) return nullptr;
  Link* text = PullBlk(V);
  if (!text) {
    UdoLinesCancel(V);
    return nullptr;
  }
  UdoLinesAfter(V, b.isColumn ? b.endLine : b.startLine);
  return text;
}

// The lines of `text` go to the end of the buffer, which must exist.
void appendText(EditorState* V, Link* text, bool column) {
  Link* buf = V->pasteBase;
  const int w = text->width();
  if (!IsBase(text->next())) {
    Link* first = text->next();
    Link* last = text->prev();
    BindLink(buf->prev(), first);
    BindLink(last, buf);
  }
  ReleaseLink(V, text);
  buf->setWidth(uint16_t(column ? std::max<int>(buf->width(), w) : w));
}

}  // namespace

void ClearBuf(EditorState* V, int) {
  if (V->pasteBase) ReleaseText(V, V->pasteBase);
  V->pasteBase = nullptr;
}

void CopyToBuf(EditorState* V, int cut) {
  // The old contents go only once the block has been taken.
  Link* fresh = NewBaseLink(V);
  if (!fresh) return;
  const bool column = V->blk.isColumn;
  Link* text = takeBlock(V, cut != 0);
  ClearBuf(V);
  V->pasteBase = fresh;
  if (!text) {
    ClearBuf(V);
    return;
  }
  appendText(V, text, column);
}

void AppendToBuf(EditorState* V, int cut) {
  if (!haveText(V) || BlkUse(V) != 0) return;
  if (!V->pasteBase && !(V->pasteBase = NewBaseLink(V))) return;
  const bool column = V->blk.isColumn;
  Link* text = takeBlock(V, cut != 0);
  if (!text) {
    if (IsBase(V->pasteBase->next())) ClearBuf(V);
    return;
  }
  appendText(V, text, column);
}

void AppendLineToBuf(EditorState* V, int cut) {
  if (!haveText(V) || IsBase(V->curTcb->curLine)) return;
  const bool fresh = !V->pasteBase;
  if (fresh && !(V->pasteBase = NewBaseLink(V))) return;
  ActiveLine line = V->aline;
  line.flags = 0;
  Link* copy = LineFits(line) ? MakeLine(V, &line) : nullptr;
  if (!copy || AFlush(V) != 0) {
    if (copy) ReleaseLink(V, copy);
    if (fresh) ClearBuf(V);
    return;
  }
  Tcb* t = V->curTcb;
  const int L = t->lineNo;
  const bool only = IsBase(t->curLine->prev()) && IsBase(t->curLine->next());
  if (cut && !UdoLinesBefore(V, L, L)) {
    ReleaseLink(V, copy);
    if (fresh) ClearBuf(V);
    return;
  }
  Link* buf = V->pasteBase;
  BindLink(buf->prev(), copy);
  BindLink(copy, buf);
  buf->setWidth(kWholeLines);
  V->blk.isColumn = 0;
  if (cut) {
    // Other views of the text follow as the line store removes the line.
    DeleteLine(V);
    UdoLinesAfter(V, only ? L : L - 1);
  }
}

void PasteFromBuf(EditorState* V, int take) {
  if (!haveText(V) || !V->pasteBase) return;
  const bool column = V->blk.isColumn;
  Link* text = take ? V->pasteBase : CopyText(V, V->pasteBase);
  if (!text) return;
  const int r = column ? PutColBlk(V, text) : PutBlk(V, text);
  if (r != 0) {
    if (!take) ReleaseText(V, text);
    return;
  }
  if (take) V->pasteBase = nullptr;
  UdoBlkDone(V);
}

void OpenBuf(EditorState* V, int) {
  if (!haveText(V) || !V->pasteBase || TcbTabFull(V)) return;
  Link* text = V->pasteBase;
  const uint16_t width = text->width();
  text->setWidth(0);
  Tcb* t = NewText(V, text, 0);
  if (!t) {
    text->setWidth(width);
    return;
  }
  V->pasteBase = nullptr;
  t->kind = KIND_NEW;
  t->fileName[0] = 0;
  CopyCut(t->dirName, sizeof t->dirName, V->curDir);
  V->redraw |= REDRAW_ALL;
}
