// The text grid: every character takes exactly one cell on screen, whatever
// its glyph's advance.  The rows are painted without a display; a sink copies
// each run's cells out of the glyph strip into a picture of the window, as the
// X server would, and the checks read that picture.  The text font is a
// proportional one on purpose: its combining marks have no advance, "W" and
// the arrows are wider than a cell, format characters leave no ink.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/colors.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/paint_recorder.h"
#include "display/screen.h"
#include "tests/support/headless.h"

namespace {

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kScreenW = 800, kScreenH = 600;
constexpr uint32_t kUnpainted = 0xff000000;  // no colour of the strip has a top byte

// i, combining acute, W, zero width space, word joiner, byte-order mark, NUL,
// two wide arrows, the replacement character, an undecodable byte, a
// no-break space, LRE/RLE embeddings, a CJK ideograph the font lacks, x.
const std::vector<tchar> kHostile = {'i',    0x301,  'W',    0x200b, 0x2060, 0xfeff,
                                     0,      0x21d2, 0x21d4, 0xfffd, 0xdc80, 0xa0,
                                     0x202a, 0x202b, 0x4e2d, 'x'};

class Cells : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSans)) GTEST_SKIP() << "DejaVu Sans missing";
    S.display = nullptr;
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    crapSetFont(font, "text", kSans, 16, 0, 0, 0);
    ASSERT_EQ(crapOpenFontChecked(font), "");
    setColors();
    e->inputMode = 1;
    screen.assign(size_t(kScreenW) * kScreenH, kUnpainted);
    SetPaintSink([this](const PaintRun& run) { copyRun(run); });
  }
  void TearDown() override {
    SetPaintSink(nullptr);
    crapDeinit();
  }

  // What the X server would show of the run: the pixels that went out.
  void copyRun(const PaintRun& run) {
    const uint32_t* strip = crapStrip();
    for (int r = 0; r < font->lineHeight; ++r)
      for (int c = 0; c < run.sent; ++c) {
        const int x = run.x + c, y = run.y - font->baseline + r;
        if (x >= 0 && x < kScreenW && y >= 0 && y < kScreenH)
          screen[size_t(y) * kScreenW + x] = strip[size_t(r) * kStripWidth + run.stripX + c];
      }
  }

  int Cw() { return e->charWidth; }
  // Opens a one-line text and puts `chars` on its cursor line.
  void Line(const std::vector<tchar>& chars, int col) {
    e.open("placeholder\nsecond line\n");
    SetMetrics(e.V(), kScreenW, kScreenH, font->lineHeight, font->charWidth, font->ascent);
    PrepareView(e.V());
    e->aline.count = uint16_t(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) e->aline.c[i] = chars[i];
    e.cur()->col = col;
  }
  void Paint() { ViewText(e.V(), e.cur()); }

  // The pixels of cell `col` of text row `row`.
  std::vector<uint32_t> Cell(int row, int col) {
    const Tcb* t = e.cur();
    std::vector<uint32_t> out;
    const int top = t->textY - font->baseline + row * e->lineHeight;
    for (int y = top; y < top + font->lineHeight; ++y)
      for (int x = t->leftX + col * Cw(); x < t->leftX + (col + 1) * Cw(); ++x)
        out.push_back(screen[size_t(y) * kScreenW + x]);
    return out;
  }
  // The same character drawn alone in one cell.
  std::vector<uint32_t> Alone(tchar c, uint32_t fg, uint32_t bg) {
    crapCells(nullptr, 0, font, fg, bg, 0, 0, &c, 1, Cw());
    std::vector<uint32_t> out;
    for (int y = 0; y < font->lineHeight; ++y)
      for (int x = 0; x < Cw(); ++x) out.push_back(crapStrip()[size_t(y) * kStripWidth + x]);
    return out;
  }
  static int Count(const std::vector<uint32_t>& px, uint32_t colour) {
    return int(std::count(px.begin(), px.end(), colour));
  }

  vt::Editor e;
  std::vector<uint32_t> screen;
};

TEST_F(Cells, EveryCharacterKeepsToItsCellAndTheCursorShowsOnEach) {
  const uint32_t fg = S.pairs[22][0], bg = S.pairs[22][1];
  const uint32_t cursorBg = S.pairs[4][1];
  const int n = int(kHostile.size());
  for (int k = 0; k <= n; ++k) {
    Line(kHostile, k);
    Paint();
    for (int i = 0; i < n; ++i) {
      const std::vector<uint32_t> cell = Cell(0, i);
      if (i == k) {
        // The cursor's background fills what the glyph leaves free.
        EXPECT_GT(Count(cell, cursorBg), Cw()) << "cursor invisible on cell " << i;
        continue;
      }
      // Exactly what the character shows alone: nothing of a neighbour
      // reaches into the cell, and the character sits in its own column.
      const std::vector<uint32_t> alone = Alone(kHostile[size_t(i)], fg, bg);
      ASSERT_EQ(cell, alone) << "cell " << i << " (U+" << std::hex << kHostile[size_t(i)]
                             << ") with the cursor at " << std::dec << k;
      // Every character but the no-break space is visible.
      if (kHostile[size_t(i)] != 0xa0) {
        EXPECT_LT(Count(cell, bg), int(cell.size())) << "cell " << i << " shows nothing";
      } else {
        EXPECT_EQ(Count(cell, bg), int(cell.size()));
      }
    }
    // The cursor past the line's end is a blank cell of its own.
    if (k == n) {
      EXPECT_EQ(Count(Cell(0, n), S.pairs[5][1]), int(Cell(0, n).size()));
    }
  }
}

TEST_F(Cells, RowsAreSentAtTheirFullWidthSoNothingOfAnEarlierScreenStays) {
  // A long line of wide glyphs first, then the short hostile line over it:
  // the window must show what a fresh window shows.
  Line(std::vector<tchar>(200, 0x21d4), 0);
  Paint();
  Line(kHostile, 3);
  Paint();
  const std::vector<uint32_t> over = screen;
  screen.assign(screen.size(), kUnpainted);
  Paint();
  const Tcb* t = e.cur();
  for (int row = 0; row < t->rows; ++row) {
    const int top = t->textY - font->baseline + row * e->lineHeight;
    for (int y = top; y < top + font->lineHeight; ++y)
      for (int x = t->leftX; x < t->leftX + (t->cols + 1) * Cw(); ++x) {
        const size_t at = size_t(y) * kScreenW + x;
        ASSERT_NE(screen[at], kUnpainted) << "row " << row << " not painted at x " << x;
        ASSERT_EQ(over[at], screen[at]) << "stale pixel in row " << row << " at x " << x;
      }
  }
}

TEST_F(Cells, InklessGlyphsAreCachedWideOnesNarrowedAndTheStripHoldsWholeCells) {
  const uint32_t fg = 0xffffff, bg = 0;
  const std::vector<tchar> blanks = {0x200b, 0xfeff, 0x2060, 0xa0, 0x2003};
  crapCells(nullptr, 0, font, fg, bg, 0, 0, blanks.data(), int(blanks.size()), 12);
  const std::vector<uint32_t> first(crapStrip(), crapStrip() + kStripWidth * kStripRows);
  const uint64_t loads = crapGlyphLoads();
  EXPECT_EQ(crapCells(nullptr, 0, font, fg, bg, 0, 0, blanks.data(), int(blanks.size()), 12), 60);
  EXPECT_EQ(crapGlyphLoads(), loads);  // none rendered again
  EXPECT_EQ(std::vector<uint32_t>(crapStrip(), crapStrip() + kStripWidth * kStripRows), first);
  // Format characters show a box; the space separators stay blank.
  auto inked = [&](int cell) {
    for (int y = 0; y < font->lineHeight; ++y)
      for (int x = cell * 12; x < cell * 12 + 12; ++x)
        if (crapStrip()[size_t(y) * kStripWidth + x] != bg) return true;
    return false;
  };
  EXPECT_TRUE(inked(0) && inked(1) && inked(2));
  EXPECT_FALSE(inked(3) || inked(4));
  // Glyphs wider than the font's cell are narrowed to show whole: their ink
  // reaches both edges of the cell.
  for (const tchar wideChar : {tchar(0x21d4), tchar(0xfffd), tchar('W')}) {
    const int cw = font->charWidth;
    crapCells(nullptr, 0, font, fg, bg, 0, 0, &wideChar, 1, cw);
    int first = cw, last = -1;
    for (int y = 0; y < font->lineHeight; ++y)
      for (int x = 0; x < cw; ++x)
        if (crapStrip()[size_t(y) * kStripWidth + x] != bg) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    EXPECT_LE(first, 1) << std::hex << wideChar;
    EXPECT_EQ(last, cw - 1) << std::hex << wideChar;
  }
  // A glyph wider than a tiny cell is cut at the cell's edge; the strip
  // holds only as many whole cells as fit.
  const std::vector<tchar> wide(300, 'W');
  EXPECT_EQ(crapCells(nullptr, 0, font, fg, bg, 0, 0, wide.data(), 300, 7), 2048 / 7 * 7);
  for (int y = 0; y < font->lineHeight; ++y)
    EXPECT_EQ(crapStrip()[size_t(y) * kStripWidth + 2048 / 7 * 7], bg);
}

}  // namespace
