// CursorMove: every cursor movement command by its move number.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/move_parts.h"
#include "edit/movement.h"
#include "shell/prompt.h"

namespace {

void gotoAnswered(EditorState* V, int, intptr_t) { DoGoto(V); }

bool blockHere(EditorState* V) { return V->blk.blkTcb && V->blk.blkTcb == V->curTcb; }

// To line n and column col; the row stays.
void toLineCol(EditorState* V, int n, int col) {
  if (n < 1 || ALineSet(V, n) != 0) return;
  V->curTcb->col = std::clamp(col, 0, kAlineMax - 1);
}

// 0 moved (or nothing to move), 1 ended without effect.
int jumpToMark(EditorState* V) {
  if (V->markLine == 0) return 0;
  if (V->markText != V->curTcb->number) SelectView(V, V->markText);
  if (!V->curTcb || V->curTcb->number != V->markText) return 1;
  toLineCol(V, V->markLine, V->markCol);
  return 0;
}

// One move; returns 1 when it ended without effect (no repaint wanted).
int move(EditorState* V, int m) {
  Tcb* t = V->curTcb;
  const int lastRow = std::max(t->rows - 1, 0);
  switch (m) {
    case MOVE_ONEUP:
      if (ALineUp(V) == 0 && t->row > 0) t->row--;
      break;
    case MOVE_ALLUP:
      if (t->row > 0) t->row--;
      break;
    case MOVE_ONEDOWN:
      if (ALineDown(V) == 0 && t->row < lastRow) t->row++;
      break;
    case MOVE_ALLDOWN:
      if (t->row < lastRow) t->row++;
      break;
    case MOVE_ONELEFT:
      if (t->col > 0) t->col--;
      break;
    case MOVE_ONERIGHT:
      if (t->col <= kAlineMax - 2) t->col++;
      break;
    case MOVE_PAGEUP:
      StepLines(V, -(t->rows - 1));
      break;
    case MOVE_PAGEDOWN:
      StepLines(V, t->rows - 1);
      break;
    case MOVE_WORDLEFT:
    case MOVE_WORDRIGHT:
    case MOVE_WORDENDLEFT:
    case MOVE_WORDENDRIGHT:
    case MOVE_WORDEND:
      return WordMove(V, m);
    case MOVE_TOPOFSCRN:
      if (t->row > 0) {
        StepLines(V, -t->row);
        t->row = 0;
      }
      break;
    case MOVE_BOTTOMOFSCRN:
      if (t->row < lastRow) t->row += StepLines(V, lastRow - t->row);
      break;
    case MOVE_FIRSTLINE:
    case MOVE_FIRSTPOS:
      ALineSet(V, 1);
      t->row = 0;
      if (m == MOVE_FIRSTPOS) t->col = 0;
      break;
    case MOVE_LASTLINE:
    case MOVE_LASTPOS:
      ALineSet(V, kLastLine);
      t->row = lastRow;
      if (m == MOVE_LASTPOS) t->col = V->aline.count;
      break;
    case MOVE_MAKETOP: t->row = 0; break;
    case MOVE_MAKEMIDDLE: t->row = lastRow / 2; break;
    case MOVE_MAKEBOTTOM: t->row = lastRow; break;
    case MOVE_GOTOLINE:
      Prompt(V, kPromptNumber, "Goto line:", nullptr, 0, 0, gotoAnswered);
      break;
    case MOVE_BEGOFLINE: t->col = 0; break;
    case MOVE_ENDOFLINE:
      // Blanks behind the text are dropped from the copy only: moving is
      // not editing, so the line is not marked changed.
      TrimLine(&V->aline, 0);
      t->col = V->aline.count;
      break;
    case MOVE_TABRT:
    case MOVE_TABLT:
      return TabMove(V, m);
    case MOVE_BLOCKBEG:
      if (blockHere(V)) toLineCol(V, V->blk.startLine, V->blk.startCol);
      break;
    case MOVE_BLOCKEND:
      if (blockHere(V)) toLineCol(V, V->blk.endLine, V->blk.endCol);
      break;
    case MOVE_PREVPOS:
      if (V->lastEditLine != 0) toLineCol(V, V->lastEditLine, V->lastEditCol);
      break;
    case MOVE_MARKPOS:
      V->markText = t->number;
      V->markLine = t->lineNo;
      V->markCol = t->col;
      break;
    case MOVE_JUMPTOPOS:
      return jumpToMark(V);
    case MOVE_ZAP: {
      const uint8_t text = t->number;
      const int line = t->lineNo, col = t->col;
      const int r = jumpToMark(V);
      V->markText = text;
      V->markLine = line;
      V->markCol = col;
      return r;
    }
    case MOVE_LEFTOFLINE: t->col = findLOL(&V->aline); break;
    case MOVE_INDENTUP:
    case MOVE_INDENTDOWN:
      IndentMove(V, m == MOVE_INDENTUP);
      break;
    default:
      return 1;
  }
  return 0;
}

}  // namespace

void CursorMove(EditorState* V, int m) {
  if (!V->curTcb || !V->curTcb->base) return;
  if (m != MOVE_TABRT && m != MOVE_TABLT) V->curTcb->lastTabKind = 0;
  if (move(V, m) != 0) return;
  // Whatever the move, the cursor column ends up on the screen (the move
  // may have changed the current text).
  Adjust(V, V->curTcb);
  V->redraw |= REDRAW_TEXT;
}
