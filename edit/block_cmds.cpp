// The block commands: marking, copy, move, delete, restore, open as a text,
// fill, and reading and writing files as blocks.
#include <algorithm>
#include <cstring>

#include "core/editor_state.h"
#include "core/file_commands.h"
#include "core/file_io.h"
#include "edit/block.h"
#include "edit/block_keeper.h"
#include "edit/block_lines.h"
#include "edit/movement.h"
#include "edit/traverse.h"
#include "edit/undo.h"
#include "edit/undo_blocks.h"
#include "shell/file_prompt.h"
#include "shell/prompt.h"

namespace {

constexpr tchar kSpace = 0x20;

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }
bool blockHere(EditorState* V) { return V->blk.blkTcb && V->blk.blkTcb == V->curTcb; }
bool isSep(EditorState* V, tchar c) { return V->wordClass[c & 0x1fff] == kSpace; }

void restart(EditorState* V) {
  RemoveBlk(V);
  V->blk.blkView = V->curTcb;
}

void finishMark(EditorState* V) {
  BlockRecord& b = V->blk;
  if (b.startLine && b.endLine) {
    b.blkTcb = V->curTcb;
    V->redraw |= REDRAW_ALL;
  }
}

void markWord(EditorState* V) {
  Tcb* t = V->curTcb;
  BlockRecord& b = V->blk;
  b.isColumn = 0;
  if (IsBase(t->curLine)) return;
  if (b.startLine == 0 || t->lineNo != b.endLine) {
    if (t->col > 0 && t->col <= V->aline.count && !isSep(V, V->aline.c[t->col - 1])) CursorMove(V, MOVE_WORDLEFT);
    if (t->col >= V->aline.count || isSep(V, V->aline.c[t->col])) return;
    restart(V);
    b.isColumn = 0;
    b.startLine = t->lineNo;
    b.startCol = t->col;
  }
  // At the line's end there is no next word on this line.
  if (t->col >= V->aline.count) return;
  CursorMove(V, MOVE_WORDEND);
  int col = t->col;
  const int least = b.startLine == t->lineNo ? b.startCol + 1 : 1;
  while (col > least && col <= V->aline.count && isSep(V, V->aline.c[col - 1])) col--;
  t->col = col;
  b.endLine = t->lineNo;
  b.endCol = col;
}

}  // namespace

void MarkBlk(EditorState* V, int kind) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  // The end-of-text position is no place in a line: nothing is marked there.
  if (IsBase(t->curLine) && kind != MARK_ALL) return;
  BlockRecord& b = V->blk;
  if ((b.blkTcb && b.blkTcb != t) || (b.blkView && b.blkView != t)) RemoveBlk(V);
  b.blkView = t;
  const int a = t->lineNo, c = t->col;
  switch (kind) {
    case MARK_ALL: {
      if (AFlush(V) != 0) return;
      ActiveLine last;
      GetLine(t->base->prev(), &last);
      TrimLine(&last, 0);
      restart(V);
      b = BlockRecord{t, t, 1, 0, 0, CountLines(t->base), last.count, 0, nullptr, nullptr, 0};
      break;
    }
    case MARK_WORD:
      markWord(V);
      break;
    case MARK_TO_EOL: {
      ActiveLine l = V->aline;
      TrimLine(&l, 0);
      b.isColumn = 0;
      if (IsBase(t->curLine) || c >= l.count) {
        restart(V);
        return;
      }
      b.startLine = b.endLine = a;
      b.startCol = c;
      b.endCol = l.count;
      break;
    }
    case MARK_BEGIN:
      b.isColumn = 0;
      if (!b.endLine || a < b.endLine || (a == b.endLine && c < b.endCol)) {
        b.startLine = a;
        b.startCol = c;
      } else {
        restart(V);
        b.startLine = a;
        b.startCol = c;
      }
      break;
    case MARK_END:
      b.isColumn = 0;
      if (!b.startLine || a > b.startLine || (a == b.startLine && c > b.startCol)) {
        b.endLine = a;
        b.endCol = c;
      } else {
        restart(V);
        b.endLine = a;
        b.endCol = c;
      }
      break;
    case MARK_COL_UPLEFT:
      b.isColumn = 1;
      if (!b.endLine || (b.endLine >= a && c < b.endCol)) {
        b.startLine = a;
        b.startCol = c;
      } else {
        restart(V);
        b.isColumn = 1;
        b.startLine = a;
        b.startCol = c;
      }
      break;
    case MARK_COL_DOWNRIGHT:
      b.isColumn = 1;
      if (!b.startLine || (a >= b.startLine && b.startCol < c)) {
        b.endLine = a;
        b.endCol = c;
      } else {
        restart(V);
        b.isColumn = 1;
        b.endLine = a;
        b.endCol = c;
      }
      break;
    default:
      return;
  }
  finishMark(V);
}

void UnmarkBlk(EditorState* V, int) {
  RemoveBlk(V);
  V->redraw |= REDRAW_ALL;
}

void TglColumnBlk(EditorState* V, int) {
  BlockRecord& b = V->blk;
  if (b.blkTcb && b.blkTcb != V->curTcb) return;
  if (!b.blkTcb || b.startCol < b.endCol || b.endCol <= 0) b.isColumn = !b.isColumn;
  V->redraw |= REDRAW_ALL;
}

int BlkMoveBadPos(EditorState* V) {
  const BlockRecord& b = V->blk;
  const Tcb* t = V->curTcb;
  if (!blockHere(V) || b.isColumn) return 0;
  const int L = t->lineNo, c = t->col;
  const bool afterStart = L > b.startLine || (L == b.startLine && c >= b.startCol);
  const bool beforeEnd = L < b.endLine || (L == b.endLine && c <= b.endCol);
  return afterStart && beforeEnd ? 1 : 0;
}

void ALineSetBlk(EditorState* V, int n) {
  Tcb* t = V->blk.blkTcb;
  if (!t) return;
  if (t == V->curTcb) {
    ALineSet(V, n);
    return;
  }
  if (Link* l = LineOf(t, n)) {
    t->curLine = l;
    t->lineNo = n;
  }
}

namespace {

int insertText(EditorState* V, Link* text, bool column) { return column ? PutColBlk(V, text) : PutBlk(V, text); }

}  // namespace

void CopyBlk(EditorState* V, int) {
  if (!haveText(V) || BlkUse(V) != 0) return;
  const bool column = V->blk.isColumn;
  Link* text = GetBlk(V);
  if (!text) return;
  if (insertText(V, text, column) != 0) {
    ReleaseText(V, text);
    return;
  }
  UdoBlkDone(V);
}

void MoveBlk(EditorState* V, int) {
  if (!haveText(V) || !blockHere(V) || BlkUse(V) != 0 || BlkMoveBadPos(V)) return;
  Tcb* t = V->curTcb;
  const BlockRecord was = V->blk;
  const int line = t->lineNo, col = t->col, modified = t->modified;
  if (was.isColumn && !(V->toggles & TGL_INSERT)) {
    // Copied, then blanked where it was.
    Link* text = GetBlk(V);
    if (!text) return;
    if (LayColumns(V, text, true, true) != 0) {
      ReleaseText(V, text);
      return;
    }
    BlankBlk(V);
    if (LayColumns(V, text, true, false) != 0) ReleaseText(V, text);
    UdoBlkDone(V);
    return;
  }
  Link* text = PullBlk(V);
  if (!text) return;
  if (insertText(V, text, was.isColumn) == 0) {
    UdoBlkDone(V);
    return;
  }
  // The block cannot go to the cursor: it goes back where it was.
  ALineSet(V, was.startLine);
  V->curTcb->col = was.startCol;
  if (was.isColumn)
    LayColumns(V, text, false, false);
  else
    PutBlk(V, text);
  ALineSet(V, line);
  t->col = col;
  t->modified = modified;
  V->blk = was;
  V->blk.startLink = V->blk.endLink = nullptr;
  SetAlert(V, "Line too long");
}

void DeleteBlk(EditorState* V, int) {
  if (!haveText(V) || !blockHere(V) || BlkUse(V) != 0) return;
  Link* text = PullBlk(V);
  if (!text) return;
  if (V->delBlk) ReleaseText(V, V->delBlk);
  V->delBlk = text;
  UdoBlkDone(V);
}

void UnDeleteBlk(EditorState* V, int) {
  if (!haveText(V) || !V->delBlk) return;
  if (insertText(V, V->delBlk, V->blk.isColumn) != 0) return;
  V->delBlk = nullptr;
  UdoBlkDone(V);
}

void OpenBlk(EditorState* V, int move) {
  if (!haveText(V) || TcbTabFull(V) || BlkUse(V) != 0) return;
  if (move && !blockHere(V)) return;
  const int last = V->blk.isColumn ? V->blk.endLine : V->blk.startLine;
  if (move && !UdoLinesBefore(V, V->blk.startLine, V->blk.endLine)) return;
  Link* text = move ? PullBlk(V) : GetBlk(V);
  if (!text) {
    UdoLinesCancel(V);
    return;
  }
  // The cut is recorded in the text it came from, before the new one shows.
  if (move) UdoLinesAfter(V, last);
  BlkToText(V, text);
}

void BlkToText(EditorState* V, Link* text) {
  text->setWidth(0);
  Tcb* t = NewText(V, text, 0);
  if (!t) {
    ReleaseText(V, text);
    return;
  }
  t->kind = KIND_NEW;
  t->fileName[0] = 0;
  CopyCut(t->dirName, sizeof t->dirName, V->curDir);
  V->redraw |= REDRAW_ALL;
}

// Fill.

namespace {

struct FillWalk {
  const tchar* fill;
  int n;
  int at;
  int startCol, endCol;
};

int fillLine(EditorState*, ActiveLine* line, int, int, void* arg) {
  auto* f = static_cast<FillWalk*>(arg);
  TrimLine(line, std::max<int>(line->count, f->endCol));
  for (int c = f->startCol; c < f->endCol; c++) {
    line->c[c] = f->fill[f->at];
    f->at = (f->at + 1) % f->n;
  }
  return 1;
}

char fillAnswer[kPromptAnswerMax * 4 + 4];

void fillAnswered(EditorState* V, int, intptr_t) {
  tchar fill[kPromptAnswerMax + 1];
  int n = 0;
  const auto* p = reinterpret_cast<const uint8_t*>(V->reply);
  const int len = int(std::strlen(V->reply));
  for (int i = 0; i < len && n < kPromptAnswerMax;) {
    int sl;
    fill[n++] = uni8(p + i, len - i, &sl);
    i += sl;
  }
  FillWith(V, fill, n);
}

}  // namespace

int FillWith(EditorState* V, const tchar* fill, int n) {
  if (!haveText(V) || !blockHere(V) || BlkUse(V) != 0 || !V->blk.isColumn) return 1;
  // An empty answer fills nothing.
  if (n <= 0) return 1;
  const BlockRecord b = V->blk;
  if (b.endCol > kLineMax) return 1;
  // Every line must still fit once filled.
  ActiveLine a;
  Link* l = b.startLink;
  for (int no = b.startLine;; no++, l = l->next()) {
    GetLine(l, &a);
    TrimLine(&a, std::max<int>(a.count, b.endCol));
    int at = 0;
    for (int c = b.startCol; c < b.endCol; c++, at = (at + 1) % n) a.c[c] = fill[at];
    if (!LineFits(a)) {
      SetAlert(V, "Line too long");
      return 1;
    }
    if (no == b.endLine) break;
  }
  if (!UdoLinesBefore(V, b.startLine, b.endLine)) return 1;
  FillWalk f{fill, n, 0, b.startCol, b.endCol};
  Traverse(V, TRAV_NEED_BLOCK | TRAV_NEED_COLUMN, fillLine, &f);
  ALoad(V);
  V->curTcb->modified = 1;
  UdoLinesAfter(V, b.endLine);
  V->redraw |= REDRAW_TEXT;
  return 0;
}

void FillBlk(EditorState* V, int) {
  if (!haveText(V) || !blockHere(V) || !V->blk.isColumn) return;
  fillAnswer[0] = 0;
  Prompt(V, kPromptText, "Fill with:", fillAnswer, 0, 0, fillAnswered, sizeof fillAnswer);
}

// Reading and writing.

namespace {

char readName[kNameMax];
char writeName[kNameMax];

void readAnswered(EditorState* V, int, intptr_t) { ReadBlock(V, V->reply); }
void writeAnswered(EditorState* V, int, intptr_t) { WriteBlock(V, V->reply); }

}  // namespace

int ReadBlock(EditorState* V, const char* name) {
  if (!haveText(V)) return 1;
  Tcb* t = V->curTcb;
  const int width = (t->mode & MODE_WRAP) ? std::clamp(t->rightMargin, 1, kLineMax) : 0;
  ReadStatus st = ReadStatus::Read;
  V->memFailed = 0;
  Link* text = GetFile(V, name, width, t->mode & MODE_ENCODING, &st);
  if (!text) return 1;
  if (st != ReadStatus::Read || V->memFailed) {
    if (st == ReadStatus::Missing) SetAlert(V, "File not found");
    if (V->memFailed) SetAlert(V, "Out of memory");
    ReleaseText(V, text);
    return 1;
  }
  ActiveLine last;
  text->setWidth(uint16_t(GetLine(text->prev(), &last)));
  text->word = LINK_BASE;
  const int L = t->lineNo, n = CountLines(text);
  const bool atEnd = IsBase(t->curLine);
  if (!UdoLinesBefore(V, L, atEnd ? L - 1 : L)) {
    ReleaseText(V, text);
    return 1;
  }
  if (PutBlk(V, text) != 0) {
    UdoLinesCancel(V);
    ReleaseText(V, text);
    return 1;
  }
  UdoLinesAfter(V, L + n - 1);
  return 0;
}

void ReadBlockCmd(EditorState* V, int) {
  if (!haveText(V)) return;
  FilePrompt_(V, kPromptFileName, "Insert file:", readName, 0, 0, readAnswered);
}

void WriteBlock(EditorState* V, const char* name) {
  if (!haveText(V)) return;
  const BlockRecord& b = V->blk;
  if (!b.blkTcb) {
    if (AFlush(V) != 0) return;
    SaveBlk(V, name, V->curTcb->base, 0);
    return;
  }
  if (b.blkTcb != V->curTcb) {
    SetAlert(V, "Block is in another text");
    return;
  }
  Link* text = GetBlk(V);
  if (!text) return;
  text->setWidth(0);
  SaveBlk(V, name, text, 1);
}

void WriteBlockCmd(EditorState* V, int) {
  if (!haveText(V)) return;
  FilePrompt_(V, kPromptFileName, "Write block:", writeName, 0, 0, writeAnswered);
}
