// Painting a view's text rows, and the repaint of the whole window.
#include "display/paint.h"

#include <algorithm>
#include <vector>

#include "display/glyph_renderer.h"
#include "display/menu_paint.h"
#include "display/paint_draw.h"
#include "display/paint_recorder.h"
#include "display/screen.h"

using namespace paint_detail;

namespace {

// Pair numbers, by what they paint.
constexpr uint8_t kPairBlockPlain = 0;  // unmarked cells of a block's lines, the line end
constexpr uint8_t kPairMessage = 2;     // "[End of text]" and the rows below
constexpr uint8_t kPairCursorChar = 4;
constexpr uint8_t kPairCursorBlank = 5;
constexpr uint8_t kPairMarked = 6;
constexpr uint8_t kPairHilite = 9;
constexpr uint8_t kPairSoftBreak = 13;
constexpr uint8_t kPairText = 14;        // + syntax class
constexpr uint8_t kPairCursorLine = 22;  // + syntax class
constexpr int kSyntaxClasses = 8;
constexpr int kEndTextCol = 4;

const PaintBlock* blockOverride = nullptr;
PaintBlock blockCopy;
PromptSource promptSource = nullptr;
MenuPainter menuPainter = nullptr;
Colorizer colorizer = nullptr;

ActiveLine lineBuf;  // a stored line expanded for painting

// Cells of one text row after the view's block state.
void paintBlockState(RowImage& r, int state, int s, int t, int w) {
  switch (state) {
    case 1:
      r.paint(0, s, kPairBlockPlain);
      r.paint(s, w, kPairMarked);
      break;
    case 2:
      r.paint(0, w, kPairMarked);
      break;
    case 3:
      r.paint(0, t, kPairMarked);
      r.paint(t, w, kPairBlockPlain);
      break;
    case 4:
      r.paint(0, w, kPairBlockPlain);
      r.paint(s, t, kPairMarked);
      break;
    default:
      r.paint(0, w, kPairBlockPlain);
      break;
  }
}

// Syntax classes over the row; the row already holds the plain style.
void paintSyntax(RowImage& r, const ActiveLine& line, int leftCol, int w, uint8_t base) {
  uint8_t runs[kColorRunBytes + 1] = {};
  colorizer(runs, line.c, line.count);
  int pos = 0;
  for (int i = 0; i + 1 < kColorRunBytes; i += 2) {
    const int cls = runs[i];
    const int len = runs[i + 1];
    if (len == 0) break;
    if (cls < kSyntaxClasses)
      r.paint(pos - leftCol, std::min(pos + len - leftCol, w), uint8_t(base + cls));
    pos += len;
  }
}

// A view's text rows, all composed before any is sent, so that rows the
// window already shows elsewhere can be moved rather than sent.
std::vector<RowImage> frame;

void composeEndRows(Tcb* t, int from, int w) {
  static constexpr tchar kEndText[] = {'[', 'E', 'n', 'd', ' ', 'o', 'f',
                                       ' ', 't', 'e', 'x', 't', ']'};
  for (int row = from; row < t->rows; ++row) {
    RowImage& r = frame[size_t(row)];
    // The line-end column too, which may still show a mark of a line that
    // is gone.
    r.blank(w + 1, kPairMessage);
    if (row == from) r.put(kEndTextCol, kEndText, int(std::size(kEndText)));
  }
}

void paintRows(EditorState* V, Tcb* t) {
  // The top line: the cursor row's worth of lines above the cursor line, or
  // fewer at the start of the text.
  Link* line = t->curLine;
  int back = 0;
  while (back < t->row && !IsBase(line->prev())) {
    line = line->prev();
    ++back;
  }
  t->row = back;
  int lineNo = t->lineNo - back;

  const int w = RowWidth(t);
  const PaintBlock blk = PaintBlockState(V);
  const bool blockHere = blk.tcb && blk.tcb == t;
  const int s = blockHere ? std::min(blk.startCol - t->leftCol, w) : 0;
  const int e = blockHere ? std::min(blk.endCol - t->leftCol, w) : 0;

  Tcb* cur = V->curTcb;
  const Link* activeLink = cur ? cur->curLine : nullptr;
  const bool syntax = colorizer && ((t->mode | V->toggles) & TGL_SOURCE);
  if (t->rows <= 0) return;
  frame.resize(size_t(t->rows));
  for (int row = 0; row < t->rows; ++row, ++lineNo, line = line->next()) {
    if (IsBase(line)) {
      composeEndRows(t, row, w);
      break;
    }
    RowImage& r = frame[size_t(row)];
    const bool cursorLine = line == activeLink;
    const ActiveLine* text = &V->aline;
    uint16_t flags = V->aline.flags;
    if (!cursorLine) {
      GetLine(line, &lineBuf);
      text = &lineBuf;
      flags = line->word;
    }

    r.blank(w + 1, kPairText);
    for (int i = std::max(0, -t->leftCol); i < w && t->leftCol + i < text->count; ++i)
      r.ch[i] = text->c[t->leftCol + i];

    const int state = blockHere ? BlockRowState(blk, lineNo, s, e, w) : 0;
    if (state != 0) {
      paintBlockState(r, state, s, e, w);
    } else {
      uint8_t plain = kPairText;
      if (cursorLine)
        plain = kPairCursorLine;
      else if (flags & LINK_DIFF_A)
        plain = kPairDiffChanged;
      else if (flags & LINK_DIFF_B)
        plain = kPairDiffFiller;
      r.paint(0, w, plain);
      if (syntax) paintSyntax(r, *text, t->leftCol, w, cursorLine ? kPairCursorLine : kPairText);
    }

    if (t == cur && line == t->curLine) {
      const int c = t->col - t->leftCol;
      if (c >= 0 && c < w) r.paint(c, c + 1, r.ch[c] == ' ' ? kPairCursorBlank : kPairCursorChar);
      if (V->hiliteLen > 0) r.paint(c, std::min(c + V->hiliteLen, w), kPairHilite);
    }

    if (flags & LINK_SOFTBREAK) {
      r.ch[w] = '>';
      r.style[w] = kPairSoftBreak;
    } else {
      r.style[w] = kPairBlockPlain;
    }
  }
  MoveUnchanged(V, t->leftX, t->textY, t->leftCol, w, frame.data(), t->rows);
  for (int row = 0; row < t->rows; ++row)
    DrawRow(V, t, row, t->leftX, t->textY + row * V->lineHeight, frame[size_t(row)]);
}

// The window's pixels that no row covers: left of the first column, right
// of the line-end column, below the last row, and the line-end cell of the
// status and head rows.  Nothing else ever paints them, so after a resize
// they would keep pieces of the old layout.
void paintMargins(EditorState* V) {
  if (!S.display) return;
  const uint32_t bg = S.pairs[kPairText][1];
  const int cw = std::max(V->charWidth, 1);
  const int top = font ? -font->baseline : 0;  // from a baseline to its row's top
  int left = S.width, right = 0, bottom = 0;
  const bool split = !V->singleView && V->viewChain;
  for (Tcb* t = split ? V->viewChain : V->curTcb; t; t = split ? t->viewNext : nullptr) {
    if (!t->base) continue;
    const int w = RowWidth(t);
    const int headTop = t->statusY + top;
    const int textTop = t->textY + top;
    crapFill(S.display, S.window, bg, t->leftX + w * cw, headTop, cw, textTop - headTop);
    // Between the two views of a pair: the strip between the left view's
    // line-end column and the right view, which a layout change leaves
    // holding whatever was there before.
    if (const Tcb* p = split ? t->vsplitRight : nullptr) {
      const int gapX = t->leftX + (w + 1) * cw;
      if (p->leftX > gapX)
        crapFill(S.display, S.window, bg, gapX, headTop, p->leftX - gapX, textTop - headTop + t->rows * V->lineHeight);
    }
    left = std::min(left, t->leftX);
    right = std::max(right, t->leftX + (w + 1) * cw);
    bottom = std::max(bottom, textTop + t->rows * V->lineHeight);
  }
  if (right == 0) left = 0;  // no view: the whole window
  crapFill(S.display, S.window, bg, 0, 0, left, bottom);
  crapFill(S.display, S.window, bg, right, 0, S.width - right, bottom);
  crapFill(S.display, S.window, bg, 0, bottom, S.width, S.height - bottom);
}

}  // namespace

PaintBlock PaintBlockState(EditorState* V) {
  if (blockOverride) return *blockOverride;
  const BlockRecord& b = V->blk;
  // A block still being marked (one end set) shows nothing.
  if (!b.blkTcb || !b.startLine || !b.endLine) return PaintBlock{};
  return PaintBlock{b.blkTcb, b.startLine, b.startCol, b.endLine, b.endCol, b.isColumn};
}

void SetPaintBlockOverride(const PaintBlock* blk) {
  if (blk) blockCopy = *blk;
  blockOverride = blk ? &blockCopy : nullptr;
}

int BlockRowState(const PaintBlock& b, int lineNo, int s, int t, int cols) {
  if (lineNo < b.startLine || lineNo > b.endLine) return 0;
  if (b.isColumn || b.startLine == b.endLine) {
    if (s >= cols || t <= 0) return 5;
    if (s > 0 && t < cols) return 4;
    if (s > 0) return 1;
    if (t >= cols) return 2;
    return 3;
  }
  if (lineNo > b.startLine && lineNo < b.endLine) return 2;
  if (lineNo == b.endLine) {
    if (t <= 0) return 5;
    return t < cols ? 3 : 2;
  }
  if (s > cols) return 5;
  return s >= 0 ? 1 : 2;
}

void SetPromptSource(PromptSource source) { promptSource = source; }
void SetMenuPainter(MenuPainter painter) { menuPainter = painter; }
void SetColorizer(Colorizer c) { colorizer = c; }

namespace paint_detail {
PromptView CurrentPrompt(EditorState* V) {
  static constexpr tchar kEmpty[1] = {0};
  if (promptSource) return promptSource(V);
  return PromptView{kEmpty, 0};
}
}  // namespace paint_detail

void ViewText(EditorState* V, Tcb* t) {
  if (V->inputMode == kModePrompt)
    ViewPrompt(V, t);
  else if (V->alertText[0] && t == V->textWithAlert)
    ViewAlert(V, t);
  else if (V->inputMode != kModeMenu)
    // Also when another view holds the alert: the head row would otherwise
    // keep what was painted there before.
    ViewTab(V, t);
  if (!t) return;

  // The main menu's bar covers the top view's status and tab rows; the
  // other views keep their status lines.
  if (V->inputMode != kModeMenu || t->statusY - V->fontAscent >= MenuBarBottom()) ViewStatus(V, t);
  if (V->inputMode == kModeMenu && menuPainter) menuPainter(V);
  if (t->base && t->curLine) paintRows(V, t);
}

void redraw(EditorState* V) {
  SettleViews(V);
  if (V->redraw & REDRAW_ALL) {
    paint_detail::ForgetSentRows();
    paintMargins(V);
  }
  Tcb* cur = V->curTcb;
  if (V->singleView || !V->viewChain) {
    ViewText(V, cur && cur->base ? cur : nullptr);
  } else {
    for (Tcb* t = V->viewChain; t; t = t->viewNext)
      if (t->base) ViewText(V, t);
  }
  V->redraw = 0;
}
