// The dispatcher's bracket: what each command needs recorded to be taken
// back.  Only a command that changed the text leaves a record; the place it
// ran is marked first, so that Undo shows it before changing anything.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/undo.h"
#include "edit/undo_blocks.h"
#include "edit/undo_hooks.h"
#include "edit/undo_lines.h"
#include "edit/undo_ring.h"
#include "shell/commands.h"

using namespace udo;

namespace {

// The state before the command, for the after half.
struct Before {
  int line = 0, col = 0;
  // Lines between two lines that the command leaves alone, two before the
  // cursor line and three after it (or the base): what it adds or removes
  // shows there without a walk over the whole text.
  const Link* from = nullptr;
  const Link* to = nullptr;
  int lines = 0;
  bool onEnd = false;      // the cursor stood on the end-of-text position
  int total = 0;           // lines of the text, when the cursor stood there
  Link* keptLine = nullptr;  // DelLine: a copy of the line
  bool viaLines = false;   // recorded as a range of lines
  bool wide = false;       // kept as the lines around the cursor
  ActiveLine cursorLine;   // Indent and CommentOut: the line they write into
};

Before pre;

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

// The commands whose record depends on whether they added or removed a
// line; only for them are the lines counted (the text may be long).
bool countsLines(int cmd) {
  switch (cmd) {
    case cmd::DelLine: case cmd::UnDelLine: case cmd::InsLine: case cmd::AddLine: case cmd::DupLine:
    case cmd::JoinLine: case cmd::NewLine:
      return true;
    default:
      return false;
  }
}

int linesBetween(const Link* from, const Link* to) {
  int n = 0;
  const Link* l = from;
  do {
    l = l->next();
    n++;
  } while (l != to);
  return n;
}

void frameCursorLine(const Tcb* t) {
  const Link* a = t->curLine;
  for (int i = 0; i < 2 && !IsBase(a); i++) a = a->prev();
  const Link* b = t->curLine;
  for (int i = 0; i < 3 && !IsBase(b); i++) b = b->next();
  pre.from = IsBase(a) ? t->base : a;
  pre.to = IsBase(b) ? t->base : b;
  pre.lines = linesBetween(pre.from, pre.to);
}

int linesNow(int cmd) { return countsLines(cmd) ? linesBetween(pre.from, pre.to) : 0; }

int trimmedCount(const ActiveLine& l) {
  int n = l.count;
  while (n > 0 && l.c[n - 1] == 0x20) n--;
  return n;
}

bool sameLine(const ActiveLine& a, const ActiveLine& b) {
  if (trimmedCount(a) != trimmedCount(b)) return false;
  for (int i = 0; i < trimmedCount(a); i++)
    if (a.c[i] != b.c[i]) return false;
  return true;
}

// The lines the case commands change: those of the block when the current
// text has one, else the whole text.
void caseRange(EditorState* V, int* first, int* last) {
  *first = 1;
  *last = CountLines(V->curTcb->base);
  const BlockRecord& b = V->blk;
  if (b.blkTcb && b.blkTcb->base == V->curTcb->base && ValidateBlk(V)) {
    *first = std::max(1, std::min(b.startLine, b.endLine));
    *last = std::min(*last, std::max(b.startLine, b.endLine));
  }
}

void markBefore(EditorState* V) { UdoMark(V, pre.line, pre.col); }

// The commands that edit the cursor line or join it with a neighbour.
bool editsAround(int cmd) {
  switch (cmd) {
    case cmd::Backspace: case cmd::UnBackspace: case cmd::DelChr: case cmd::NewLine: case cmd::CopyChr:
    case cmd::DelRtWord: case cmd::DelLtWord: case cmd::DelToEol: case cmd::TabRt: case cmd::TabLt:
    case cmd::JoinLine: case cmd::Indent: case cmd::UnIndent: case cmd::CommentOut: case cmd::UnComment:
    case cmd::BackspaceNoSave:
    case cmd::LineupLeft: case cmd::LineupRight: case cmd::MoveColumn: case cmd::LineupCokumn:
    case cmd::LineupComment:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool UdoPreCmd(EditorState* V, int cmd) {
  if (pre.keptLine) {
    ReleaseLink(V, pre.keptLine);
    pre.keptLine = nullptr;
  }
  UdoLinesCancel(V);
  pre.viaLines = false;
  if (!haveText(V) || replaying) return true;
  Tcb* t = V->curTcb;
  pre.line = t->lineNo;
  pre.col = t->col;
  pre.onEnd = IsBase(t->curLine);
  if (countsLines(cmd)) frameCursorLine(t);
  savLen = 0;
  const bool joins = cmd == cmd::Backspace || cmd == cmd::BackspaceNoSave || cmd == cmd::DelChr ||
                     cmd == cmd::DelRtWord || cmd == cmd::DelLtWord || cmd == cmd::JoinLine;
  pre.wide = editsAround(cmd) && UdoWideBefore(V, joins);
  if (pre.wide) return true;
  switch (cmd) {
    case cmd::UndoCursorline:
    case cmd::ViewFileMenu:
      udoReset(V);
      break;
    case cmd::DelLine:
      if (pre.onEnd) break;
      if (t->base->next()->next() == t->base) {
        // The text keeps one line: the line is replaced by an empty one.
        pre.viaLines = true;
        if (!UdoLinesBefore(V, 1, 1)) return false;
        UdoLinesIntoStore();
        return true;
      }
      if (AFlush(V) != 0) return false;
      pre.keptLine = NewLink(V, t->curLine->len());
      if (!pre.keptLine) return false;
      pre.keptLine->word = uint16_t(t->curLine->word & ~LINK_BASE);
      pre.keptLine->nextH = pre.keptLine->prevH = 0;
      std::copy(t->curLine->data(), t->curLine->data() + t->curLine->len(), pre.keptLine->data());
      break;
    case cmd::NewLine:
    case cmd::AddLine:
      if (pre.onEnd) {
        // On the end-of-text position the line number is one past the last line.
        pre.viaLines = true;
        pre.total = t->lineNo - 1;
        return UdoLinesBefore(V, pre.total + 1, pre.total);
      }
      break;
    case cmd::Indent:
    case cmd::CommentOut:
      pre.cursorLine = V->aline;
      break;
    case cmd::LineupLeft: case cmd::LineupRight: case cmd::MoveColumn: case cmd::LineupCokumn:
    case cmd::LineupComment:
      udospc(0, 0);  // the tool names the columns only when it shifts the line
      break;
    case cmd::CenterLine:
    case cmd::UpperCase:
    case cmd::LowerCase:
      pre.viaLines = true;
      return UdoLineBefore(V);
    case cmd::BlockToUpperCase:
    case cmd::BlockToLowerCase:
    case cmd::ROT13: {
      int first, last;
      caseRange(V, &first, &last);
      pre.viaLines = true;
      return UdoLinesBefore(V, first, last);
    }
    default: {
      bool run = true;
      if (UdoBlockPre(V, cmd, &run)) return run;
      break;
    }
  }
  return true;
}

void UdoPostCmd(EditorState* V, int cmd) {
  if (!haveText(V) || replaying) {
    if (pre.wide) {
      pre.wide = false;
      quiet--;
    }
    udojoin = 0;
    UdoLinesCancel(V);
    return;
  }
  Tcb* t = V->curTcb;
  if (pre.wide) {
    pre.wide = false;
    UdoWideAfter(V);
    savLen = 0;
    return;
  }
  if (pre.viaLines) {
    pre.viaLines = false;
    if (cmd == cmd::DelLine)
      UdoLinesAfter(V, 1);
    else if (cmd == cmd::NewLine || cmd == cmd::AddLine)
      UdoLinesAfter(V, pre.total + (linesNow(cmd) > pre.lines ? 1 : 0));
    else
      UdoLineAfter(V);  // confined to their lines
    udojoin = 0;
    return;
  }
  const int lines = linesNow(cmd);
  switch (cmd) {
    case cmd::DelChr:
      if (udojoin) {
        // Marked on the joined line, where Redo joins again.
        udojoin = 0;
        UdoMarkHere(V);
        UdoSmall(V, kJoin, uint32_t(udoJoinSkip) << 8);
        UdoPos(V);
      }
      break;
    case cmd::DelLine:
      if (pre.keptLine && lines < pre.lines) {
        markBefore(V);
        UdoSmall(V, kDelLine, Link::handle(pre.keptLine));
        pre.keptLine = nullptr;
        UdoPos(V);
      }
      break;
    case cmd::UnDelLine:
    case cmd::InsLine:
    case cmd::AddLine:
    case cmd::DupLine:
      if (lines > pre.lines) {
        markBefore(V);
        UdoSmall(V, uint8_t(cmd), 0);
        UdoPos(V);
      }
      break;
    case cmd::JoinLine:
      if (lines < pre.lines) {
        UdoMarkHere(V);  // on the join, where Redo joins again
        UdoSmall(V, kJoin, uint32_t(udoJoinSkip) << 8);
        UdoPos(V);
      }
      break;
    case cmd::Indent:
    case cmd::CommentOut: {
      // The pair went into the line the command started on; on the last
      // line the cursor stays there.
      Link* l = UdoLinkAt(V, pre.line);
      ActiveLine now;
      if (pre.line == t->lineNo)
        now = V->aline;
      else if (l)
        GetLine(l, &now);
      if (l && !sameLine(now, pre.cursorLine)) {
        markBefore(V);
        UdoSmall(V, cmd == cmd::Indent ? kIndent : kComment, uint32_t(pre.line));
        // The record acts where the pair went, not where the cursor moved on.
        V->lastEditLine = pre.line;
        V->lastEditCol = pre.col;
      }
      break;
    }
    case cmd::NewLine:
      if (lines > pre.lines) {
        markBefore(V);
        if (udoSplitCol != pre.col) {
          // Split at the indentation, away from the cursor: Undo comes
          // back to where the cursor stood through a position of its own.
          V->lastEditLine = pre.line;
          V->lastEditCol = pre.col;
          UdoMark(V, pre.line, udoSplitCol);
        }
        uint8_t* p = UdoAlloc(V, 14);
        if (p) {
          p[0] = kNewLine;
          put32(p + 1, uint32_t(pre.line));
          put32(p + 5, uint32_t(t->lineNo));
          p[9] = kNewLine;
          put16(p + 10, uint32_t(udoSplitCol));
          put16(p + 12, uint32_t(t->col));
          UdoCommit(V, 14);
        }
        UdoPos(V);
      }
      break;
    case cmd::DelRtWord:
    case cmd::DelLtWord:
    case cmd::DelToEol:
      if (udojoin) {
        // Marked on the joined line, where Redo joins again.
        udojoin = 0;
        UdoMarkHere(V);
        UdoSmall(V, kJoin, uint32_t(udoJoinSkip) << 8);
        UdoPos(V);
      } else if (savLen > 0) {
        markBefore(V);
        const int size = 14 + 4 * savLen;
        if (uint8_t* p = UdoAlloc(V, size)) {
          p[0] = uint8_t(cmd);
          put16(p + 1, uint32_t(savLen));
          put32(p + 3, uint32_t(t->lineNo));
          put16(p + 7, uint32_t(t->col));
          for (int i = 0; i < savLen; i++) put32(p + 9 + 4 * i, savstr[i]);
          p[size - 5] = uint8_t(cmd);
          put16(p + size - 4, uint32_t(savLen));
          put16(p + size - 2, 0);
          UdoCommit(V, size);
        }
        UdoPos(V);
      }
      break;
    case cmd::LineupLeft: case cmd::LineupRight: case cmd::MoveColumn: case cmd::LineupCokumn:
    case cmd::LineupComment:
      if (strfrom != strto) {
        // Made on the line the command started on; the cursor has moved down.
        markBefore(V);
        if (uint8_t* p = UdoAlloc(V, 10)) {
          p[0] = uint8_t(cmd);
          put32(p + 1, uint32_t(pre.line));
          p[5] = uint8_t(cmd);
          put16(p + 6, uint32_t(strfrom));
          put16(p + 8, uint32_t(strto));
          UdoCommit(V, 10);
        }
        UdoPos(V);
      }
      break;
    default:
      UdoBlockPost(V, cmd);
      break;
  }
  savLen = 0;
  udojoin = 0;
  if (pre.keptLine) {
    ReleaseLink(V, pre.keptLine);
    pre.keptLine = nullptr;
  }
}
