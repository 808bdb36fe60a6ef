// Box drawing with the drag keys.
#include "tools/box_draw.h"

#include "core/editor_state.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo.h"

namespace {

constexpr tchar kBoxBase = 0x2500;
constexpr tchar kBoxLast = 0x257F;  // past it lie block elements and shapes
constexpr tchar kSpace = 0x20;

// For each character of the block, the first code whose entry it is; -1
// when no code draws it (dashes, arcs, diagonals).
constexpr std::array<int16_t, 128> makeReverse() {
  std::array<int16_t, 128> r{};
  for (auto& v : r) v = -1;
  for (int code = 255; code >= 0; code--)
    if (kBoxTable[size_t(code)] < kBoxWriteOnly) r[kBoxTable[size_t(code)]] = int16_t(code);
  return r;
}
constexpr std::array<int16_t, 128> kReverse = makeReverse();

constexpr uint8_t kStyleBytes[4] = {0x00, 0x55, 0xAA, 0xFF};
constexpr const char* kStyleNames[4] = {"", "Thin", "Wide", "Double"};

int style = 0;  // 0 off, 1 thin, 2 wide, 3 double

// Where the last step left the cursor, with the code of that cell: its
// arms may be more than the character there shows (a mix the block has no
// character for).  Trusted only while the cell still holds what was there.
struct Remembered {
  const EditorState* V = nullptr;
  const Link* base = nullptr;
  int line = 0, col = 0, code = 0;
  tchar ch = 0;
} last;

// The arm field a move points into, and the one pointing back at the cell
// the move came from.
int armShift(int move) { return move == MOVE_ONEUP ? 4 : move == MOVE_ONEDOWN ? 0 : move == MOVE_ONELEFT ? 2 : 6; }
int backShift(int move) { return move == MOVE_ONEUP ? 0 : move == MOVE_ONEDOWN ? 4 : move == MOVE_ONELEFT ? 6 : 2; }

bool draws(int move) {
  return move == MOVE_ONEUP || move == MOVE_ONEDOWN || move == MOVE_ONELEFT || move == MOVE_ONERIGHT;
}

tchar cellChar(const EditorState* V) {
  const int col = V->curTcb->col;
  return col < V->aline.count ? V->aline.c[col] : kSpace;
}

// The cursor cell can take a character: a line of the text, a column
// typing may write.
bool writable(const EditorState* V) {
  const Tcb* t = V->curTcb;
  return !IsBase(t->curLine) && t->col >= 0 && t->col <= kTypeLimit;
}

// The move reaches another cell that can take a character.
bool reaches(const EditorState* V, int move) {
  const Tcb* t = V->curTcb;
  switch (move) {
    case MOVE_ONEUP: return !IsBase(t->curLine->prev());
    case MOVE_ONEDOWN: return !IsBase(t->curLine->next());
    case MOVE_ONELEFT: return t->col > 0;
    default: return t->col < kTypeLimit;
  }
}

// The code of the cursor cell; -1 when nothing may be drawn there.
int cellCode(const EditorState* V, bool useRemembered) {
  const Tcb* t = V->curTcb;
  const tchar ch = cellChar(V);
  int code;
  if (useRemembered && last.V == V && last.base == t->base && last.line == t->lineNo && last.col == t->col &&
      last.ch == ch)
    code = last.code;
  else
    code = BoxCodeOf(ch);
  return code >= 0 && kBoxTable[size_t(code)] != kBoxMixed ? code : -1;
}

// Writes the character of `code` into the cursor cell (nothing when the
// block has none).  False when the line could not be stored any more.
bool put(EditorState* V, int code) {
  const tchar ch = BoxCharOf(code);
  if (ch == 0) return true;
  ActiveLine* line = &V->aline;
  const int col = V->curTcb->col;
  if (col < line->count && line->c[col] == ch) return true;
  LineGuard guard(line, col + 1);
  if (line->count <= col) TrimLine(line, col + 1);
  line->c[col] = ch;
  if (!guard.ok()) return false;
  V->alineDirty = 1;
  V->redraw |= REDRAW_TEXT;
  return true;
}

int withArm(int code, int shift) { return (code & ~(3 << shift)) | (kStyleBytes[style] & (3 << shift)); }

void forget() { last = Remembered{}; }

void onlyMove(EditorState* V, int move) {
  forget();
  CursorMove(V, move);
}

void drawStep(EditorState* V, int move) {
  Tcb* t = V->curTcb;
  if (!writable(V) || !reaches(V, move)) return onlyMove(V, move);
  const int code = cellCode(V, true);
  if (code < 0) return onlyMove(V, move);
  const int line = t->lineNo;
  const int first = move == MOVE_ONEUP ? line - 1 : line;
  const int lastLine = move == MOVE_ONEDOWN ? line + 1 : line;
  if (!UdoLinesBefore(V, first, lastLine)) return;
  if (!put(V, withArm(code, armShift(move)))) {
    UdoLinesCancel(V);
    SetAlert(V, "Line too long");
    return;
  }
  CursorMove(V, move);
  forget();
  const int there = cellCode(V, false);
  if (there >= 0) {
    const int joined = withArm(there, backShift(move));
    if (put(V, joined))
      last = {V, t->base, t->lineNo, t->col, joined, cellChar(V)};
    else
      SetAlert(V, "Line too long");
  }
  UdoLinesAfter(V, lastLine);
}

}  // namespace

tchar BoxCharOf(int code) {
  if (code == 0) return kSpace;
  const uint8_t e = kBoxTable[size_t(code & 0xff)];
  if (e == kBoxMixed || e == kBoxNone) return 0;
  return kBoxBase + (e & 0x7F);
}

int BoxCodeOf(tchar ch) {
  if (ch == kSpace) return 0;
  if (ch < kBoxBase || ch > kBoxLast) return -1;
  return kReverse[ch - kBoxBase];
}

uint32_t boxDraw_(EditorState* V, int movement) {
  if (movement == kBoxStyleStep) {
    // Turned off from outside (a new editor): start again from thin.
    if (!(V->toggles & TGL_BOXDRAW)) style = 0;
    style = (style + 1) & 3;
    forget();
    if (style == 0) return 0;
    SetAlert(V, kStyleNames[style]);
    return TGL_BOXDRAW;
  }
  if (!V->curTcb || !V->curTcb->base || !V->curTcb->curLine) return 0;
  if (!draws(movement) || style == 0)
    onlyMove(V, movement);
  else
    drawStep(V, movement);
  return V->toggles & TGL_BOXDRAW;
}
