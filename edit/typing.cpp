// Typing at the cursor and removing single characters.
#include "edit/typing.h"

#include <algorithm>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_edit.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_hooks.h"
#include "shell/commands.h"

namespace {

constexpr int kLastCodePoint = 0x10ffff;
constexpr uint8_t kRepaintLine = 0x2;
constexpr tchar kSpace = 0x20;
constexpr tchar kTab = 0x09, kLF = 0x0a, kCR = 0x0d;
constexpr uint32_t kTubeMask = kAlineMax - 1;

bool haveText(const EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }
// The cursor stands on the end-of-text position, where nothing is written.
bool atTextEnd(const EditorState* V) { return (V->aline.flags & LINK_BASE) != 0; }
bool atStop(const Tcb* t) { return t->lastTabKind == ',' || t->lastTabKind == '<'; }

// Puts ch into the cursor line at the cursor; the cursor stays.  False when
// the character cannot be written there.
bool place(EditorState* V, tchar ch) {
  if (!haveText(V) || atTextEnd(V)) return false;
  ActiveLine* line = &V->aline;
  const int col = V->curTcb->col;
  if (col < 0 || col > kTypeLimit) return false;
  // Blanks past the cursor would only push the line towards its limit.
  if (line->count > col) TrimLine(line, col);
  LineGuard guard(line, col + 1);
  if (InsertChar(line, col, ch, !(V->toggles & TGL_INSERT)) != 0) return false;
  return guard.ok();
}

// The rest of a write: the line is changed, the block follows, the cursor
// steps right.
void finishWrite(EditorState* V) {
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
  BlockAdjust(V, BLK_CHAR_WRITTEN);
  CursorMove(V, MOVE_ONERIGHT);
}

// The word being typed has run past the right margin: it moves to a new
// line, indented like this one, and this line is marked as continuing
// there.  A word that is alone on its line stays: splitting before it would
// only push it down again with every character.
void wrapWord(EditorState* V) {
  Tcb* t = V->curTcb;
  const int c = t->col;
  CursorMove(V, MOVE_WORDLEFT);
  const int w = t->col;
  const int line = t->lineNo;
  // The split is kept as the lines it changes, soft line end included.
  t->col = c;
  const bool kept = w > LeftmostWord(&V->aline, std::max(t->leftMargin, 0)) && UdoLinesBefore(V, line, line);
  t->col = w;
  if (!kept || NewLine(V) != 0) {
    UdoLinesCancel(V);
    t->col = c;
    Adjust(V, t);
    return;
  }
  Link* above = t->curLine->prev();
  if (!IsBase(above)) above->word |= LINK_SOFTBREAK;
  t->col += c - w;
  Adjust(V, t);
  UdoLinesAfter(V, line + 1);
}

// Text at a left or decimal stop grows leftwards into the blanks before it;
// the cursor stays on the stop.  False when nothing was written.
bool rightAlign(EditorState* V, tchar ch) {
  if (!haveText(V) || atTextEnd(V)) return false;
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  const int col = t->col;
  if (col < 0 || col > kTypeLimit) return false;
  const uint16_t count = line->count;
  LineGuard guard(line, col + 1);
  if (count < col + 1) TrimLine(line, col + 1);
  int n = col - 1;
  while (n > 1 && !(line->c[n] == kSpace && line->c[n - 1] == kSpace)) n--;
  n = std::max(n, 0);
  // Only a blank may give way: text reaching the line start is not pushed
  // out of it.
  if (line->c[n] != kSpace) {
    line->count = count;
    return false;
  }
  for (int i = n; i < col; i++) line->c[i] = line->c[i + 1];
  line->c[col] = ch;
  if (!guard.ok()) return false;
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
  return true;
}

void typeChar(EditorState* V, tchar ch);

void pushTube(EditorState* V, tchar ch) {
  V->tubeIndex = (V->tubeIndex - 1) & kTubeMask;
  V->tube[V->tubeIndex] = ch;
}

// Removes the character left of the cursor (in overwrite mode blanks it)
// and steps left.  Beyond the line end nothing changes and a blank counts as
// removed.
tchar removeLeft(EditorState* V) {
  ActiveLine* line = &V->aline;
  const int at = V->curTcb->col - 1;
  tchar removed = kSpace;
  if (at < line->count && !atTextEnd(V)) {
    LineGuard guard(line, line->count);
    removed = line->c[at];
    const bool insert = V->toggles & TGL_INSERT;
    if (insert)
      LDelete(V, line, at, at + 1);
    else
      line->c[at] = kSpace;
    if (guard.ok()) {
      if (insert) BlockAdjust(V, BLK_CHAR_REMOVED);
      V->alineDirty = 1;
    } else {
      removed = kSpace;  // the line stays as it was
    }
  }
  CursorMove(V, MOVE_ONELEFT);
  V->redraw |= kRepaintLine;
  return removed;
}

// Backspace at the line start: the cursor line goes onto the end of the one
// above.  0 when joined.  From the end-of-text position there is nothing to
// join: the cursor only steps up onto the last line.
int joinAbove(EditorState* V) {
  Tcb* t = V->curTcb;
  const int col = t->col;
  if (ALineUp(V) != 0) return 1;
  udojoin = 1;
  const int r = Concat(V);
  if (r == 0 || r == 1) CursorMove(V, MOVE_ALLUP);  // the row follows the line
  if (r == 0) return 0;
  udojoin = 0;
  if (r != 1) {
    // Too long to join: back where the cursor was.
    ALineDown(V);
    t->col = col;
  }
  return 1;
}

}  // namespace

void WriteChar(EditorState* V, tchar ch) {
  if (place(V, ch)) finishWrite(V);
}

namespace {

// Writes a typed character with its undo record; in overwrite mode the
// character written over comes back on Undo.  False when it did not go in.
bool writeRecorded(EditorState* V, tchar ch) {
  Tcb* t = V->curTcb;
  const bool over = !(V->toggles & TGL_INSERT);
  tchar replaced = udo::kNothingReplaced;
  if (over) {
    int n = V->aline.count;
    while (n > t->col && V->aline.c[n - 1] == kSpace) n--;
    if (t->col < n) replaced = V->aline.c[t->col];
  }
  // Recorded only once it is certain the character goes in.
  if (!place(V, ch)) return false;
  if (over)
    UdoTypeOver(V, ch, replaced);
  else
    UdoType(V, ch);
  finishWrite(V);
  UdoPos(V);
  return true;
}

}  // namespace

void WriteTyped(EditorState* V, tchar ch) {
  if (haveText(V)) writeRecorded(V, ch);
}

void TypeChar(EditorState* V, int code) {
  if (!haveText(V) || code <= 0 || code > kLastCodePoint) return;
  const tchar ch = tchar(code);
  // A line holds no TAB or line-end characters: a typed TAB moves to the
  // next stop as the Tab key does, a typed line end splits the line as
  // Enter does.
  if (ch == kTab) {
    CursorMove(V, MOVE_TABRT);
    return;
  }
  if (ch == kCR || ch == kLF) {
    // Recorded as the command is.
    if (UdoPreCmd(V, cmd::NewLine)) NewLine(V);
    UdoPostCmd(V, cmd::NewLine);
    return;
  }
  if (UdoWideBefore(V, false)) {
    typeChar(V, ch);
    UdoWideAfter(V);
    return;
  }
  typeChar(V, ch);
}

namespace {

void typeChar(EditorState* V, tchar ch) {
  Tcb* t = V->curTcb;
  if (atStop(t)) {
    // Text moves within the line: kept as the line it was.
    if (!UdoLineBefore(V)) return;
    if (t->lastTabKind == ',')
      DTab(V, ch);
    else
      RTab(V, ch);
    UdoLineAfter(V);
    return;
  }
  if (!writeRecorded(V, ch)) return;
  if (ch != kSpace && (t->mode & MODE_WRAP) && t->col > t->rightMargin + 1) wrapWord(V);
}

}  // namespace

void CopyChar(EditorState* V) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  Link* above = t->curLine->prev();
  if (IsBase(above) || t->col < 0 || t->col > kTypeLimit) return;
  ActiveLine up;
  GetLine(above, &up);
  if (up.count <= t->col) return;
  TypeChar(V, int(up.c[t->col]));
}

void RTab(EditorState* V, tchar ch) { rightAlign(V, ch); }

void DTab(EditorState* V, tchar ch) {
  // The decimal sign steps over the stop, so the decimals follow normally.
  if (rightAlign(V, ch) && (ch == ',' || ch == '.')) CursorMove(V, MOVE_ONERIGHT);
}

void RDel(EditorState* V) {
  if (!haveText(V) || atTextEnd(V)) return;
  ActiveLine* line = &V->aline;
  const int col = V->curTcb->col;
  if (col < 0 || col >= kLineMax) return;
  LineGuard guard(line, col + 1);
  if (line->count < col + 1) TrimLine(line, col + 1);
  int b = col;
  while (b > 1 && !(line->c[b] == kSpace && line->c[b - 1] == kSpace)) {
    line->c[b] = line->c[b - 1];
    b--;
  }
  line->c[b] = kSpace;
  if (!guard.ok()) return;
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
}

void BackSpace(EditorState* V, int save) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  if (atStop(t)) {
    if (!UdoLineBefore(V)) return;
    RDel(V);
    UdoLineAfter(V);
    return;
  }
  tchar removed = kSpace;
  const bool over = !(V->toggles & TGL_INSERT);
  if (t->col == 0 || t->col == t->leftMargin) {
    if (joinAbove(V) != 0) return;
  } else {
    removed = removeLeft(V);
  }
  if (save) pushTube(V, removed);
  UdoBackSpace(V, removed, over);
  UdoPos(V);
}

void UnBackSpace(EditorState* V) {
  if (!haveText(V)) return;
  TypeChar(V, int(V->tube[V->tubeIndex & kTubeMask]));
  V->tubeIndex = (V->tubeIndex + 1) & kTubeMask;
}

void toTube(EditorState* V) {
  if (!haveText(V) || V->curTcb->col <= 0) return;
  CursorMove(V, MOVE_ONELEFT);
  const int col = V->curTcb->col;
  pushTube(V, col < V->aline.count ? V->aline.c[col] : kSpace);
}

void DeleteChar(EditorState* V) {
  if (!haveText(V) || atTextEnd(V)) return;
  Tcb* t = V->curTcb;
  ActiveLine* line = &V->aline;
  TrimLine(line, t->col);
  if (t->col >= line->count) {
    JoinNext(V);
    return;
  }
  // The character is taken as a backspace from its right would take it in
  // insert mode, but without the join at the left margin that a backspace
  // makes there.
  t->lastTabKind = 0;
  const uint32_t insert = V->toggles & TGL_INSERT;
  V->toggles |= TGL_INSERT;
  t->col++;
  const tchar removed = removeLeft(V);
  V->toggles = (V->toggles & ~TGL_INSERT) | insert;
  UdoBackSpace(V, removed);
  UdoPos(V);
}
