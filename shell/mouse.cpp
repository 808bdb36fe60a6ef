// Presses, releases and motion of the mouse.
#include "shell/mouse.h"

#include <algorithm>

#include "core/editor_state.h"
#include "display/menu_paint.h"
#include "display/xlib.h"
#include "edit/drag.h"
#include "edit/movement.h"
#include "help/help_viewer.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/main_menu.h"
#include "shell/text_list.h"
#include "tools/char_chart.h"

namespace {

constexpr int kMaxCol = kAlineMax - 1;
constexpr int kListColumns = 2;  // top-line columns 0..2 open the text list

uint32_t tick = 0;
bool pressedBefore = false;  // a first press is never the second of a pair
int dblClk = 0;
int A = 0;  // the text font's ascent at the last press
int dbx = 0, dby = 0;
int DragInProgress = 0;
// The view whose text area took the last press; null when the press was
// elsewhere, so that motion never drags from a stale cell.
Tcb* pressView = nullptr;

int cellWidth(const EditorState* V) { return V->charWidth > 0 ? V->charWidth : 1; }
int lineHeight(const EditorState* V) { return V->lineHeight > 0 ? V->lineHeight : 1; }

// Column under x in view t, from its first shown column, never left of it.
int columnAt(const EditorState* V, const Tcb* t, int x) {
  const int c = x >= t->leftX ? (x - t->leftX) / cellWidth(V) : 0;
  return std::clamp(c, 0, std::max(kMaxCol - t->leftCol, 0));
}

// Text row under y in view t, within its rows.
int rowAt(const EditorState* V, const Tcb* t, int y) {
  const int top = t->textY - A;
  const int r = y >= top ? (y - top) / lineHeight(V) : 0;
  return std::clamp(r, 0, std::max(t->rows - 1, 0));
}

bool contains(const Tcb* t, int x, int y, int a) {
  return t->textY - a <= y && y <= t->bottomY && t->leftX - 2 <= x && x <= t->rightX;
}

// The cursor to column leftCol + c of text row r, line by line so that the
// end of the text stops it.
void placeCursor(EditorState* V, int c, int r) {
  Tcb* t = V->curTcb;
  t->col = std::min(t->leftCol + c, kMaxCol);
  V->redraw |= REDRAW_ALL;
  for (int d, last = 0; (d = r - t->row) != 0 && d != last;) {
    last = d;
    CursorMove(V, d > 0 ? MOVE_ONEDOWN : MOVE_ONEUP);
  }
  t->col = std::min(t->leftCol + c, kMaxCol);
}

void runCommand(EditorState* V, int command) { DoCommand(V, &command); }

// Shift marks the block's begin, and once that is set, its end.
void shiftMark(EditorState* V, unsigned state) {
  if (!(state & ShiftMask)) return;
  const BlockRecord& b = V->blk;
  const bool begun = b.startLine != 0 && b.blkView == V->curTcb;
  runCommand(V, begun ? cmd::MarkBlockEnd : cmd::MarkBlockBegin);
}

void pressInEditing(EditorState* V, XEvent* ev) {
  const XButtonEvent& b = ev->xbutton;
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  if (b.button == Button3) {
    rightMenu(V, ev);
    Repaint(V);
    return;
  }
  const int col = b.x >= t->leftX ? (b.x - t->leftX) / cellWidth(V) : 0;
  if (b.y < MenuLineHeight(V)) {
    runCommand(V, col <= kListColumns ? cmd::ViewFileMenu : cmd::ViewMenu);
    Repaint(V);
    return;
  }
  if (!V->singleView && !contains(t, b.x, b.y, A)) {
    if (!dblClk) return;
    for (Tcb* v = V->viewChain; v; v = v->viewNext) {
      if (v->base && v != V->curTcb && contains(v, b.x, b.y, A)) {
        SelectView(V, v->number);
        break;
      }
    }
    Repaint(V);
    return;
  }
  static constexpr int kWheel[] = {cmd::ScrollUp, cmd::Scrolldown, cmd::ScrollLeft, cmd::ScrollRight};
  if (b.button >= 4 && b.button <= 7) {
    runCommand(V, kWheel[b.button - 4]);
    Repaint(V);
    return;
  }
  if (b.y >= t->textY - A) {
    dbx = columnAt(V, t, b.x);
    dby = rowAt(V, t, b.y);
    pressView = t;
    if (!dblClk) return;  // a drag may follow; the cursor stays
    placeCursor(V, dbx, dby);
  }
  shiftMark(V, b.state);
  Repaint(V);
}

}  // namespace

int DblClk() { return dblClk; }

void ResetMouse() {
  tick = 0;
  pressedBefore = false;
  dblClk = 0;
  dbx = dby = 0;
  DragInProgress = 0;
  pressView = nullptr;
}

void ClickIt(EditorState* V, XEvent* ev) {
  const XButtonEvent& b = ev->xbutton;
  const uint32_t time = uint32_t(b.time);
  dblClk = (pressedBefore && time - tick <= kDoubleClickMs) || (V->toggles & TGL_ONECLICK) ? 1 : 0;
  tick = time;
  pressedBefore = true;
  A = V->fontAscent;
  pressView = nullptr;
  // The character chart takes its clicks whether pointing is on or not.
  if (V->inputMode == ModeChart) {
    ChartPress(V, b.window, b.button, b.x, b.y);
    return;
  }
  if (!(V->toggles & TGL_POINTING)) return;
  switch (V->inputMode) {
    case ModeMenu:
      ClickMM(V, ev);
      Repaint(V);
      return;
    case ModeTextList:
      ClickFM(V, ev);
      Repaint(V);
      return;
    case ModeHelp:
      clickHelp(V, ev);
      Repaint(V);
      return;
    case ModeEdit:
      pressInEditing(V, ev);
      return;
    default:
      return;
  }
}

void ClickItUp(EditorState*, XEvent*) {
  DragInProgress = 0;
  pressView = nullptr;
}

void ClickItMove(EditorState* V, XEvent* ev) {
  if (!(V->toggles & TGL_POINTING) || V->inputMode != ModeEdit) return;
  Tcb* t = V->curTcb;
  if (!t || !t->base || pressView != t) return;
  const XMotionEvent& m = ev->xmotion;
  if (!DragInProgress) {
    placeCursor(V, dbx, dby);
    DragInProgress = 1;
  } else if (m.y >= t->textY - A) {
    const int targetCol = std::min(t->leftCol + columnAt(V, t, m.x), kMaxCol);
    const int r = rowAt(V, t, m.y);
    if (targetCol == t->col && r == t->row) return;
    int last = 0;
    for (int d; (d = targetCol - t->col) != 0 && d != last;) {
      last = d;
      DragBlk(V, d > 0 ? MOVE_ONERIGHT : MOVE_ONELEFT);
    }
    last = 0;
    for (int d; (d = r - t->row) != 0 && d != last;) {
      last = d;
      DragBlk(V, d > 0 ? MOVE_ONEDOWN : MOVE_ONEUP);
    }
  }
  Repaint(V);
}
