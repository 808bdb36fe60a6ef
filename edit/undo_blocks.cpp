// Undo and Redo of the block commands, the pastes and the line drags.
//
// Line blocks are taken back by cutting out what was inserted (kept for
// Redo) and putting back what was cut.  Column blocks laid over lines keep
// the lines they changed: Undo and Redo exchange those with the lines in
// the text, which also gives back what an overwrite covered and drops the
// lines appended at the text end.
#include "edit/undo_blocks.h"

#include <algorithm>

#include "core/editor_state.h"
#include "edit/block.h"
#include "edit/block_keeper.h"
#include "edit/block_lines.h"
#include "edit/undo.h"
#include "edit/undo_hooks.h"
#include "edit/undo_lines.h"
#include "edit/undo_ring.h"
#include "shell/commands.h"

using namespace udo;

namespace {

// Flags of the tail's last word; the count of appended lines sits above.
constexpr uint32_t kTargetKept = 0x1;  // B: the lines a column lay changed
constexpr uint32_t kSourceKept = 0x2;  // A: the lines a column move cut or blanked
constexpr uint32_t kLineAdded = 0x4;   // an empty last line was made for the insertion
constexpr uint32_t kFromOther = 0x8;   // the copied block lay in another text
constexpr int kAppendedShift = 8;

struct Kept {
  Link* lines = nullptr;
  int first = 0;
};

struct Pending {
  bool active = false;
  bool done = false;
  int cmd = 0;
  int line = 0, col = 0;
  BlockRecord blk{};
  bool blockHere = false;
  Kept kept[2];
  int nkept = 0;
  int appended = 0;
  bool lineAdded = false;
  Link* deleted = nullptr;  // DeleteBlock: a copy of the block
};

Pending pend;

bool recorded(int cmd) {
  switch (cmd) {
    case cmd::CopyBlock: case cmd::MoveBlock: case cmd::DeleteBlock: case cmd::UnDeleteBlock:
    case cmd::PasteFromBuf: case cmd::PasteCopyFromBuf: case cmd::DragLineUp: case cmd::DragLineDown:
      return true;
    default:
      return false;
  }
}

bool isBlockKind(uint8_t k) {
  return k == kCopyBlock || k == kMoveBlock || k == kDeleteBlock || k == kPasteBuf || k == kPasteCopyBuf ||
         k == kUnDeleteBlock;
}

int recordSize(uint8_t k) { return (k == kCopyBlock || k == kMoveBlock ? 2 : 1) * kBlockPosSize + kBlockRecTail; }

void clearPending(EditorState* V) {
  for (auto& k : pend.kept)
    if (k.lines) ReleaseText(V, k.lines);
  if (pend.deleted) ReleaseText(V, pend.deleted);
  pend = Pending{};
}

// A block position: the block, and the cursor.
struct Pos {
  int startLine, endLine, isColumn, line, col, startCol, endCol;
};

void putPos(uint8_t* p, uint8_t kind, const BlockRecord& b, int line, int col) {
  p[0] = kind;
  put32(p + 1, uint32_t(b.startLine));
  put32(p + 5, uint32_t(b.endLine));
  put32(p + 9, uint32_t(b.isColumn));
  put32(p + 13, uint32_t(line));
  put16(p + 17, uint32_t(col));
  p[19] = kind;
  put16(p + 20, uint32_t(b.startCol));
  put16(p + 22, uint32_t(b.endCol));
}

Pos getPos(const uint8_t* p) {
  return {int(get32(p + 1)), int(get32(p + 5)), int(get32(p + 9)), int(get32(p + 13)), get16(p + 17), get16(p + 20),
          get16(p + 22)};
}

void setBlock(EditorState* V, const Pos& p) {
  BlockRecord& b = V->blk;
  b = BlockRecord{V->curTcb, V->curTcb, p.startLine, p.startCol, 0, p.endLine, p.endCol, 0, nullptr, nullptr, p.isColumn};
}

void write(EditorState* V, uint8_t kind) {
  Tcb* t = V->curTcb;
  UdoMark(V, pend.line, pend.col);
  const int size = recordSize(kind);
  uint8_t* p = UdoAlloc(V, size);
  if (!p) return;
  uint32_t aux = 0;
  Link* a = nullptr;
  Link* b = nullptr;
  const BlockRecord& now = V->blk;
  if (kind == kCopyBlock || kind == kMoveBlock) {
    putPos(p, kind, pend.blk, pend.line, pend.col);
    putPos(p + kBlockPosSize, kind, now, t->lineNo, t->col);
  } else if (kind == kDeleteBlock) {
    putPos(p, kind, pend.blk, pend.line, pend.col);
  } else {
    putPos(p, kind, now, t->lineNo, t->col);
  }
  if (kind == kDeleteBlock) {
    a = pend.deleted;
    pend.deleted = nullptr;
  } else if (kind == kMoveBlock && pend.nkept == 2) {
    a = pend.kept[0].lines;
    b = pend.kept[1].lines;
    aux |= kSourceKept | kTargetKept;
  } else if (pend.nkept == 1 && kind != kMoveBlock) {
    b = pend.kept[0].lines;
    aux |= kTargetKept;
  }
  pend.kept[0].lines = pend.kept[1].lines = nullptr;
  if (pend.lineAdded) aux |= kLineAdded;
  if (kind == kCopyBlock && !pend.blockHere) aux |= kFromOther;
  aux |= uint32_t(pend.appended) << kAppendedShift;
  uint8_t* tail = p + size - kBlockRecTail;
  put32(tail, Link::handle(a));
  put32(tail + 4, Link::handle(b));
  tail[8] = kind;
  put32(tail + 9, aux);
  UdoCommit(V, size);
  UdoPos(V);
}

// Lines first..first+present-1 of the current text change places with the
// lines of `list` (which may hold another number of them).
bool swapRange(EditorState* V, int first, int present, Link* list) {
  Tcb* t = V->curTcb;
  if (!list || AFlush(V) != 0 || first < 1 || present < 0) return false;
  Link* base = t->base;
  Link* before = first == 1 ? base : LineOf(t, first - 1);
  if (!before) return false;
  Link* last = before;
  for (int i = 0; i < present; i++) {
    last = last->next();
    if (IsBase(last)) return false;
  }
  Link* after = last->next();
  Link* out = present > 0 ? before->next() : nullptr;
  UdoSwapRun(before, after, out, last, list);
  t->modified = 1;
  t->curLine = base->next();
  t->lineNo = 1;
  V->alineDirty = 0;
  V->redraw |= REDRAW_ALL;
  return true;
}

bool go(EditorState* V, int line, int col) {
  if (AFlush(V) != 0) return false;
  UdoGoQuick(V, line, col);
  UdoRefindViews(V);
  return true;
}

Link* handleAt(const uint8_t* p) { return Link::at(get32(p)); }

// n empty lines of no width.
Link* emptyText(EditorState* V, int n) {
  Link* text = NewBaseLink(V);
  for (int i = 0; text && i < n; i++) {
    if (!AddEmptyLine(V, text->prev())) {
      ReleaseText(V, text);
      return nullptr;
    }
  }
  return text;
}

// Cuts out the line block at `p`; the text it held (with the width it had
// when it was laid at `laid`, when given), or null.
Link* cutOut(EditorState* V, const Pos& p, const Pos* laid) {
  if (!p.isColumn && p.startLine == p.endLine && p.endCol <= p.startCol) {
    // Nothing was inserted (a block past its line's end held nothing).
    RemoveBlk(V);
    return emptyText(V, 1);
  }
  setBlock(V, p);
  if (BlkUse(V) != 0) return nullptr;
  Link* text = PullBlk(V);
  // Blanks the block ended with were not stored; its width keeps them.
  if (text && !p.isColumn && laid)
    text->setWidth(uint16_t(laid->startLine == laid->endLine ? std::max(0, laid->endCol - laid->startCol) : laid->endCol));
  return text;
}

// The empty last line made for an insertion at the text's end goes again.
void dropAddedLine(EditorState* V, int line) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return;
  Link* l = LineOf(t, line);
  if (!l || !IsBase(l->next()) || l->len() != 0 || IsBase(l->prev())) return;
  t->curLine = t->base->next();
  t->lineNo = 1;
  DeleteLink(V, l);
}

bool putAt(EditorState* V, const Pos& p, Link* text, bool column) {
  if (!go(V, p.startLine, p.startCol)) return false;
  return (column ? LayColumns(V, text, false, false) : PutBlk(V, text)) == 0;
}

}  // namespace

bool UdoBlkKeep(EditorState* V, int first, int count) {
  if (!pend.active || replaying || pend.nkept >= 2) return true;
  Tcb* t = V->curTcb;
  Link* list = NewBaseLink(V);
  if (!list) return false;
  Link* l = count > 0 ? LineOf(t, first) : nullptr;
  for (int i = 0; i < count && l && !IsBase(l); i++, l = l->next()) {
    if (!AddBytesLine(V, list->prev(), uint16_t(l->word & ~LINK_BASE), l->data())) {
      ReleaseText(V, list);
      return false;
    }
  }
  pend.kept[pend.nkept++] = {list, first};
  return true;
}

void UdoBlkAppended(EditorState*, int n) {
  if (pend.active && !replaying) pend.appended = n;
}

void UdoBlkLineAdded(EditorState*) {
  if (pend.active && !replaying) pend.lineAdded = true;
}

void UdoBlkDone(EditorState*) {
  if (pend.active && !replaying) pend.done = true;
}

bool UdoBlockPre(EditorState* V, int cmd, bool* mayRun) {
  if (!recorded(cmd)) return false;
  clearPending(V);
  *mayRun = true;
  Tcb* t = V->curTcb;
  pend.active = true;
  pend.cmd = cmd;
  pend.line = t->lineNo;
  pend.col = t->col;
  pend.blk = V->blk;
  pend.blockHere = V->blk.blkTcb == t;
  if (cmd == cmd::DeleteBlock && pend.blockHere && BlkUse(V) == 0) {
    // The log keeps every deleted block; without room for it, no delete.
    pend.blk = V->blk;
    pend.deleted = GetBlk(V);
    if (!pend.deleted) {
      *mayRun = false;
      clearPending(V);
    }
  }
  return true;
}

bool UdoBlockPost(EditorState* V, int cmd) {
  if (!recorded(cmd)) return false;
  if (pend.active && pend.done && pend.cmd == cmd && V->curTcb) {
    switch (cmd) {
      case cmd::DragLineUp:
      case cmd::DragLineDown:
        UdoMark(V, pend.line, pend.col);
        UdoSmall(V, cmd == cmd::DragLineUp ? kDragLineUp : kDragLineDown, 0);
        UdoPos(V);
        break;
      default:
        write(V, uint8_t(cmd));
        break;
    }
  }
  clearPending(V);
  return true;
}

bool UdoBlockUndo(EditorState* V, uint8_t* rec) {
  const uint8_t k = rec[0];
  if (!isBlockKind(k)) return true;
  uint8_t* tail = rec + recordSize(k) - kBlockRecTail;
  const uint32_t aux = get32(tail + 9);
  const Pos first = getPos(rec);
  const Pos placed = k == kCopyBlock || k == kMoveBlock ? getPos(rec + kBlockPosSize) : first;
  const int lines = placed.endLine - placed.startLine + 1;
  switch (k) {
    case kCopyBlock:
    case kPasteBuf:
    case kPasteCopyBuf:
    case kUnDeleteBlock: {
      Link* text = nullptr;
      if (aux & kTargetKept) {
        if (k == kUnDeleteBlock) {
          // The restored text goes back to the store; a text of no width
          // left no block to copy it from.
          setBlock(V, placed);
          text = placed.startCol < placed.endCol ? GetBlk(V) : emptyText(V, lines);
          if (!text) return false;
        }
        if (!swapRange(V, placed.startLine, lines, handleAt(tail + 4))) {
          if (text) ReleaseText(V, text);
          return false;
        }
      } else {
        text = cutOut(V, placed, &placed);
        if (!text) return false;
        if (aux & kLineAdded) dropAddedLine(V, placed.startLine);
      }
      if (k == kUnDeleteBlock) {
        if (V->delBlk) ReleaseText(V, V->delBlk);
        V->delBlk = text;
      } else if (text) {
        if (Link* old = handleAt(tail)) ReleaseText(V, old);
        put32(tail, Link::handle(text));
      }
      RemoveBlk(V);
      if (k == kCopyBlock && !(aux & kFromOther)) setBlock(V, first);
      return go(V, first.line, first.col);
    }
    case kMoveBlock:
      if (aux & kTargetKept) {
        if (!swapRange(V, placed.startLine, lines, handleAt(tail + 4)) ||
            !swapRange(V, first.startLine, first.endLine - first.startLine + 1, handleAt(tail)))
          return false;
      } else {
        Link* text = cutOut(V, placed, &placed);
        if (!text) return false;
        if (aux & kLineAdded) dropAddedLine(V, placed.startLine);
        if (!putAt(V, first, text, false)) {
          ReleaseText(V, text);
          return false;
        }
      }
      setBlock(V, first);
      return go(V, first.line, first.col);
    case kDeleteBlock: {
      Link* copy = CopyText(V, handleAt(tail));
      if (!copy) return false;
      if (!putAt(V, first, copy, first.isColumn)) {
        ReleaseText(V, copy);
        return false;
      }
      setBlock(V, first);
      return go(V, first.line, first.col);
    }
    default:
      return true;
  }
}

bool UdoBlockRedo(EditorState* V, uint8_t* rec) {
  const uint8_t k = rec[0];
  if (!isBlockKind(k)) return true;
  uint8_t* tail = rec + recordSize(k) - kBlockRecTail;
  const uint32_t aux = get32(tail + 9);
  const Pos first = getPos(rec);
  const Pos placed = k == kCopyBlock || k == kMoveBlock ? getPos(rec + kBlockPosSize) : first;
  const int appended = int(aux >> kAppendedShift);
  const int lines = placed.endLine - placed.startLine + 1;
  switch (k) {
    case kCopyBlock:
    case kPasteBuf:
    case kPasteCopyBuf:
    case kUnDeleteBlock:
      if (aux & kTargetKept) {
        if (!swapRange(V, placed.startLine, lines - appended, handleAt(tail + 4))) return false;
        if (k == kUnDeleteBlock && V->delBlk) {
          ReleaseText(V, V->delBlk);
          V->delBlk = nullptr;
        }
      } else {
        Link* text = k == kUnDeleteBlock ? V->delBlk : handleAt(tail);
        if (!text || !putAt(V, placed, text, false)) return false;
        if (k == kUnDeleteBlock)
          V->delBlk = nullptr;
        else
          put32(tail, 0);
      }
      setBlock(V, placed);
      return go(V, placed.line, placed.col);
    case kMoveBlock:
      if (aux & kTargetKept) {
        if (!swapRange(V, first.startLine, first.endLine - first.startLine + 1, handleAt(tail)) ||
            !swapRange(V, placed.startLine, lines - appended, handleAt(tail + 4)))
          return false;
      } else {
        Link* text = cutOut(V, first, &placed);
        if (!text) return false;
        if (!putAt(V, placed, text, false)) {
          ReleaseText(V, text);
          return false;
        }
      }
      setBlock(V, placed);
      return go(V, placed.line, placed.col);
    case kDeleteBlock: {
      if (!go(V, first.line, first.col)) return false;
      Link* text = cutOut(V, first, nullptr);
      if (!text) return false;
      if (V->delBlk) ReleaseText(V, V->delBlk);
      V->delBlk = text;
      UdoPos(V);
      return true;
    }
    default:
      return true;
  }
}

void UdoBlockDrop(EditorState* V, const uint8_t* rec) {
  if (!isBlockKind(rec[0])) return;
  const uint8_t* tail = rec + recordSize(rec[0]) - kBlockRecTail;
  if (Link* a = handleAt(tail)) ReleaseText(V, a);
  if (Link* b = handleAt(tail + 4)) ReleaseText(V, b);
}

int UdoBlockLines(const uint8_t* rec) {
  if (!isBlockKind(rec[0])) return 0;
  const uint8_t* tail = rec + recordSize(rec[0]) - kBlockRecTail;
  int n = 0;
  if (const Link* a = handleAt(tail)) n += CountLines(a);
  if (const Link* b = handleAt(tail + 4)) n += CountLines(b);
  return n;
}
