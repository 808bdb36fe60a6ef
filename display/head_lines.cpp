// The rows above a view's text: the status line, and the tab ruler or, in
// its place, the prompt or the alert.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "display/paint.h"
#include "display/paint_draw.h"
#include "display/paint_recorder.h"
#include "shell/key_table.h"

using namespace paint_detail;

namespace {

constexpr uint8_t kPairMessage = 2;
constexpr uint8_t kPairCursorChar = 4;
constexpr uint8_t kPairCursorBlank = 5;
constexpr uint8_t kPairTab = 8;
constexpr uint8_t kPairPrompt = 10;
constexpr uint8_t kPairStatus = 11;

// The status line's layout was made for rows of at most 255 characters: the
// character code field keeps its place there on wider views.
constexpr int kStatusLayoutMax = 255;
constexpr int kCodeFieldWidth = 9;
constexpr int kPrefixBlanks = 4;  // before "pos:"
// Whether blanks are written as TABs ("Tab") or as spaces ("Spc"), after the
// flag words.
constexpr int kTabWordCol = 50;

struct FlagWord {
  uint32_t bit;
  char word[4];
  int col;
};

// clang-format off
constexpr FlagWord kFlagWords[] = {
    {0x1, "Rec", 30},  // macro recording
    {TGL_INSERT, "Ins", 34},
    {MODE_WRAP, "Wrp", 38},
    {TGL_BOXDRAW, "Box", 42},
    {TGL_WORDSET, "Wst", 46},
};
// clang-format on

ActiveLine cursorBuf;

// Copies s into the line at column `at` without its terminator.
void place(char* line, int size, int at, const char* s) {
  for (int i = 0; s[i] && at + i < size; ++i)
    if (at + i >= 0) line[at + i] = s[i];
}

// The line the view's cursor is on: the active line for the current text's
// cursor line, the stored line otherwise.
const ActiveLine* cursorLineOf(EditorState* V, const Tcb* t) {
  if (V->curTcb && t->curLine == V->curTcb->curLine) return &V->aline;
  if (!t->curLine) return nullptr;
  GetLine(t->curLine, &cursorBuf);
  return &cursorBuf;
}

void codeField(char* out, size_t size, const ActiveLine* line, int col) {
  if (!line || col < 0 || col >= line->count) {
    snprintf(out, size, "  ##,###");
    return;
  }
  const tchar c = line->c[col];
  if (c > 255)
    snprintf(out, size, " U+%5x", unsigned(c));
  else
    snprintf(out, size, "  %2x,%3d", unsigned(c), int(c));
}

}  // namespace

void ViewStatus(EditorState* V, Tcb* t) {
  if (!t) return;
  const int w = RowWidth(t);
  char line[kRowCells + 16];
  std::memset(line, ' ', sizeof line);
  const int size = int(sizeof line);

  const bool modified = TextModified(V, t);
  char field[64];
  const int fixedEnd = snprintf(field, sizeof field, "    pos: %3d  row: %5d  %c", t->col + 1,
                                t->lineNo, modified ? '*' : ' ');
  place(line, size, 0, field);

  // In the blanks before "pos": a pending two-key sequence, or the text's
  // number in a split layout.
  const char* pending = twokeystr();
  if (pending && pending[0] && t == V->curTcb) {
    snprintf(field, sizeof field, "%.*s", kPrefixBlanks, pending);
    place(line, size, 0, field);
  } else if (!V->singleView) {
    snprintf(field, sizeof field, "%02d", t->number + 1);
    place(line, size, 0, field);
  }

  // The other fields from left to right; on a narrow view those that would
  // not fit whole, or would cover a field left of them, are dropped, so
  // position, row and the modified mark always show.
  int used = fixedEnd;
  auto add = [&](int col, const char* s) {
    const int len = int(std::strlen(s));
    if (col < used || col + len > w) return;
    place(line, size, col, s);
    used = col + len;
  };
  const uint32_t bits = t->mode | V->toggles;
  for (const FlagWord& f : kFlagWords)
    if (bits & f.bit) add(f.col, f.word);
  add(kTabWordCol, (t->mode & MODE_TABSOUT) ? "Tab" : "Spc");
  codeField(field, sizeof field, cursorLineOf(V, t), t->col);
  add(std::min(w, kStatusLayoutMax) - kCodeFieldWidth, field);

  RowImage& r = ScratchRow();
  r.blank(w, kPairStatus);
  r.putBytes(0, line, w);
  DrawRow(V, t, kRowStatus, t->leftX, t->statusY, r);
}

void ViewTab(EditorState* V, Tcb* t) {
  if (!t || t->headY == 0 || V->inputMode == kModePrompt) return;
  const int w = RowWidth(t);
  RowImage& r = ScratchRow();
  r.blank(w, kPairTab);
  for (int i = 0; i < w; ++i) {
    const int at = t->leftCol + i;
    const tchar c = at >= 0 && at < kAlineMax ? t->ruler[at] : ' ';
    r.ch[i] = c ? c : ' ';
  }
  // The margin marks stand one column right of the margins.
  for (const int margin : {t->leftMargin, t->rightMargin}) {
    const int c = margin + 1 - t->leftCol;
    if (c >= 1 && c <= w - 1) r.ch[c] = 'v';
  }
  DrawRow(V, t, kRowHead, t->leftX, t->headY, r);
}

void ViewPrompt(EditorState* V, Tcb* t) {
  if (t && t != V->curTcb) return;
  int x = 2;
  int y = V->statusHeight + V->lineHeight;
  int width = V->screenCols;
  if (t) {
    x = t->leftX;
    width = t->cols;
    if (t->headY) y = t->headY;
  }
  const int w = std::clamp(width, 0, kAlineMax);
  const PromptView p = CurrentPrompt(V);
  RowImage& r = ScratchRow();
  r.blank(w, kPairPrompt);
  if (p.line) r.put(0, p.line, w);
  const int k = p.cursor;
  if (k > 0 && k < w) r.style[k] = r.ch[k] == ' ' ? kPairCursorBlank : kPairCursorChar;
  DrawRow(V, t, kRowHead, x, y, r);
}

void ViewAlert(EditorState* V, Tcb* t) {
  // A closed text keeps its record but has no view any more.
  if (!t || t != V->textWithAlert || !t->base || !V->alertText[0]) return;
  int y = V->statusHeight + 4 * V->lineHeight;
  if (t == V->curTcb && t->headY) y = t->headY;
  const int w = RowWidth(t);
  RowImage& r = ScratchRow();
  r.blank(w, kPairMessage);
  // Each byte is one character: the alert is not decoded.
  r.putBytes(0, V->alertText, std::min(w, int(sizeof V->alertText)));
  DrawRow(V, t, kRowHead, t->leftX, y, r);
}
