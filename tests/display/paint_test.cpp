// Painting views without a display: what each row shows and in which
// colours, read back through the paint recorder, with a few pixels of the
// glyph strip checked where the colour is the point.
#include "display/paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/colors.h"
#include "display/glyph_renderer.h"
#include "display/paint_recorder.h"
#include "display/screen.h"
#include "shell/key_table.h"
#include "tests/support/headless.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

constexpr int kStatus = kRowStatus;
constexpr int kHead = kRowHead;

// A fake prompt for the prompt-line tests.
std::vector<tchar> promptText;
int promptCursor = 0;
PromptView fakePrompt(EditorState*) { return PromptView{promptText.data(), promptCursor}; }

int menuPaints = 0;
void fakeMenu(EditorState*) { ++menuPaints; }

// Colours "int" as a keyword (class 3), then a plain run, then a string of
// five characters (class 4); the rest is left unlisted.
void fakeColorizer(uint8_t* runs, const tchar*, int) {
  const uint8_t r[] = {3, 3, 0, 2, 4, 5, 0, 0};
  std::copy(std::begin(r), std::end(r), runs);
}

std::vector<tchar> Wide(const std::string& s) {
  std::vector<tchar> out;
  for (unsigned char c : s) out.push_back(c);
  out.push_back(0);
  return out;
}

class Paint : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu Sans Mono missing";
    S.display = nullptr;
    S.window = 0;
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    crapSetFont(font, "text", kMono, 16, 0, 0, 0);
    ASSERT_EQ(crapOpenFontChecked(font), "");
    setColors();
    e->inputMode = 1;
  }
  void TearDown() override {
    SetPaintBlockOverride(nullptr);
    SetPromptSource(nullptr);
    SetMenuPainter(nullptr);
    SetColorizer(nullptr);
    SetLitt(nullptr, 0);
    crapDeinit();
  }

  // Opens the text and lays the window out with the real font.
  Tcb* Open(const std::string& text, int width = 800, int height = 600) {
    Tcb* t = e.open(text);
    Layout(width, height);
    return t;
  }
  void Layout(int width, int height) {
    SetMetrics(e.V(), width, height, font->lineHeight, font->charWidth, font->ascent);
    PrepareView(e.V());
  }
  void Paint1() {
    rec.clear();
    ViewText(e.V(), e.cur());
  }
  // Moves the cursor to line n (1-based), column col.
  void Goto(int n, int col) {
    AFlush(e.V());
    Tcb* t = e.cur();
    Link* l = t->base->next();
    for (int i = 1; i < n; ++i) l = l->next();
    t->curLine = l;
    t->lineNo = n;
    t->row = n - 1;
    t->col = col;
    ALoad(e.V());
  }
  std::string Row(int r) { return rec.row(e.cur(), r); }
  std::string Trim(int r) { return rec.rowTrimmed(e.cur(), r); }
  int Pair(int r, int c) { return rec.pairAt(e.cur(), r, c); }
  int W() { return e.cur()->cols; }
  // Pairs of cells [from, to) of a row, as one string of numbers.
  std::string Pairs(int r, int from, int to) {
    std::string s;
    for (int c = from; c < to; ++c) s += std::to_string(Pair(r, c)) + " ";
    return s;
  }
  std::string Same(int pair, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::to_string(pair) + " ";
    return s;
  }

  vt::Editor e;
  PaintRecorder rec;
};

// --- Status line ---

TEST_F(Paint, StatusLineShowsPositionRowAndTheCodeOfTheCursorCharacter) {
  Open("hello\nworld\n");
  Goto(2, 1);
  Paint1();
  const std::string s = Row(kStatus);
  ASSERT_EQ(int(s.size()), W());
  EXPECT_EQ(s.substr(0, 27), "    pos:   2  row:     2   ");
  EXPECT_EQ(s.substr(size_t(W() - 9), 8), "  6f,111");  // the 'o' of "world"
  EXPECT_EQ(s.back(), ' ');
  for (int c = 0; c < W(); ++c) ASSERT_EQ(Pair(kStatus, c), 11) << c;
}

TEST_F(Paint, StatusCodeFieldForLatinEuroAndPastTheLineEnd) {
  Open("\xc3\xa9 \xe2\x82\xac\n");
  auto field = [&] { return Row(kStatus).substr(size_t(W() - 9), 8); };
  Paint1();
  EXPECT_EQ(field(), "  e9,233");
  Goto(1, 2);
  Paint1();
  EXPECT_EQ(field(), " U+ 20ac");
  Goto(1, 1);
  Paint1();
  EXPECT_EQ(field(), "  20, 32");
  Goto(1, 3);
  Paint1();
  EXPECT_EQ(field(), "  ##,###");
}

TEST_F(Paint, StatusShowsTheModifiedMarkForUnstoredTyping) {
  Open("abc\n");
  Paint1();
  EXPECT_EQ(Row(kStatus)[26], ' ');
  e->aline.c[0] = 'x';
  e->alineDirty = 1;
  Paint1();
  EXPECT_EQ(Row(kStatus)[26], '*');
  AFlush(e.V());
  e.cur()->modified = 1;
  Paint1();
  EXPECT_EQ(Row(kStatus)[26], '*');
  EXPECT_EQ(Row(kStatus).substr(0, 26), "    pos:   1  row:     1  ");
}

TEST_F(Paint, StatusNumbersTheTextOnlyInSplitLayout) {
  Open("abc\n");
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(0, 4), "    ");
  e->singleView = 0;
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(0, 9), "01  pos: ");
  // A pending two-key sequence or literal mode takes the number's place in
  // the current view.
  SetLitt(e.V(), 1);
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(0, 9), "L   pos: ");
}

TEST_F(Paint, StatusFlagWordsFollowTheTextModeAndTheGlobalToggles) {
  Tcb* t = Open("abc\n");
  e->toggles = 0;
  t->mode &= ~MODE_WRAP;
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(30, 19), std::string(19, ' '));
  e->toggles = 0x1 | TGL_INSERT | TGL_BOXDRAW | TGL_WORDSET;
  t->mode |= MODE_WRAP;
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(30, 19), "Rec Ins Wrp Box Wst");
  e->toggles = TGL_BOXDRAW;
  t->mode &= ~MODE_WRAP;
  Paint1();
  EXPECT_EQ(Row(kStatus).substr(30, 19), "            Box    ");
}

// --- Tab line ---

TEST_F(Paint, TabLineShowsTheRulerWithMarksRightOfTheMargins) {
  Tcb* t = Open("abc\n");
  t->leftMargin = 4;
  t->rightMargin = 20;
  Paint1();
  const std::string r = Row(kHead);
  ASSERT_EQ(int(r.size()), W());
  EXPECT_EQ(r.substr(0, 25), "     v  |       |    v  |");
  for (int c = 0; c < W(); ++c) ASSERT_EQ(Pair(kHead, c), 8) << c;

  // Scrolled: the ruler from leftCol, a margin left of the view has no mark.
  t->leftCol = 10;
  Paint1();
  EXPECT_EQ(Row(kHead).substr(0, 15), "      |    v  |");
}

TEST_F(Paint, TabLineMarksOnlyBetweenTheFirstAndTheLastColumn) {
  Tcb* t = Open("abc\n");
  t->leftMargin = -1;  // would fall on column 0
  t->rightMargin = W() - 2;
  Paint1();
  EXPECT_NE(Row(kHead)[0], 'v');
  EXPECT_EQ(Row(kHead)[size_t(W() - 1)], 'v');
  t->rightMargin = W() - 1;
  Paint1();
  EXPECT_EQ(Row(kHead).find('v'), std::string::npos);
}

// --- Text rows ---

TEST_F(Paint, ShortTextEndsWithTheEndOfTextRowAndBlankRows) {
  Tcb* t = Open("one\ntwo\nthree\n");
  Paint1();
  EXPECT_EQ(Trim(0), "one");
  EXPECT_EQ(Trim(2), "three");
  EXPECT_EQ(Trim(3), "    [End of text]");
  for (int r = 3; r < t->rows; ++r) {
    // The rows reach over the line-end column as well.
    ASSERT_EQ(rec.width(t, r), W() + 1) << r;
    for (int c = 0; c <= W(); ++c) ASSERT_EQ(Pair(r, c), 2) << r << "," << c;
  }
  EXPECT_EQ(Trim(4), "");
  EXPECT_EQ(rec.rows(t).back(), t->rows - 1);
}

TEST_F(Paint, ACursorRowAboveTheFirstLineIsPulledUp) {
  Tcb* t = Open("one\ntwo\nthree\nfour\n");
  Goto(2, 0);
  t->row = 5;
  Paint1();
  EXPECT_EQ(t->row, 1);
  EXPECT_EQ(Trim(0), "one");
  EXPECT_EQ(Trim(1), "two");
  EXPECT_EQ(Pair(1, 0), 4);  // the cursor is where the row now says
}

TEST_F(Paint, CursorLineAndOtherLinesTakeTheirPairs) {
  Open("Hello world\nnext\n");
  Goto(1, 0);
  Paint1();
  EXPECT_EQ(Pair(0, 0), 4);                // cursor on 'H'
  EXPECT_EQ(Pairs(0, 1, 4), Same(22, 3));  // the rest of the cursor line
  EXPECT_EQ(Pair(0, W() - 1), 22);
  EXPECT_EQ(Pairs(1, 0, 4), Same(14, 4));  // an ordinary line
  EXPECT_EQ(Pair(1, W()), 0);              // its line end
  EXPECT_EQ(Row(1)[size_t(W())], ' ');

  Goto(1, 5);  // the space between the words
  Paint1();
  EXPECT_EQ(Pair(0, 5), 5);
  EXPECT_EQ(Pair(0, 0), 22);
  Goto(2, 9);  // past the end of "next"
  Paint1();
  EXPECT_EQ(Pair(1, 9), 5);
  EXPECT_EQ(Row(1)[9], ' ');
}

TEST_F(Paint, TheCursorCellIsDrawnInTheCursorColours) {
  Open("xHx\n");
  Goto(1, 1);
  bool seen = false;
  const int cw = e->charWidth;
  SetPaintSink([&](const PaintRun& run) {
    if (run.row != 0 || run.col != 1) return;
    seen = true;
    EXPECT_EQ(run.pair, 4);
    EXPECT_EQ(run.text, "H");
    const uint32_t* strip = crapStrip();
    // The top row of the cell is background; the stems of the H are ink.
    EXPECT_EQ(strip[run.stripX] & 0xffffff, S.pairs[4][1]);
    bool ink = false;
    for (int y = 0; y < font->lineHeight; ++y)
      for (int x = run.stripX; x < run.stripX + cw; ++x)
        ink = ink || (strip[y * kStripWidth + x] & 0xffffff) == S.pairs[4][0];
    EXPECT_TRUE(ink);
    // The cell left of it, sent in the same transfer or not, is not in the
    // cursor colours.
    if (run.stripX >= cw) {
      EXPECT_EQ(strip[run.stripX - 1] & 0xffffff, S.pairs[22][1]);
    }
  });
  ViewText(e.V(), e.cur());
  SetPaintSink(nullptr);
  EXPECT_TRUE(seen);
}

TEST_F(Paint, EveryRowCoversTheViewWidthAndTheLineEnd) {
  Tcb* t = Open("a\nb\nc\n");
  Paint1();
  for (int r = 0; r < 3; ++r) EXPECT_EQ(rec.width(t, r), W() + 1) << r;
  EXPECT_EQ(rec.width(t, kStatus), W());
  EXPECT_EQ(rec.width(t, kHead), W());
  // Rows are one line height apart from the first text baseline.
  for (const PaintRun& run : rec.runs())
    if (run.row >= 0) {
      ASSERT_EQ(run.y, t->textY + run.row * e->lineHeight);
    }
}

TEST_F(Paint, SoftBreakLinesEndInAMark) {
  Open("first\nsecond\nthird\n");
  Link* second = e.cur()->base->next()->next();
  second->word |= LINK_SOFTBREAK;
  Paint1();
  EXPECT_EQ(Row(1)[size_t(W())], '>');
  EXPECT_EQ(Pair(1, W()), 13);
  EXPECT_EQ(Row(2)[size_t(W())], ' ');
  EXPECT_EQ(Pair(2, W()), 0);
  // On the cursor line the active line's flags count.
  Goto(2, 0);
  e->aline.flags &= uint16_t(~LINK_SOFTBREAK);
  Paint1();
  EXPECT_EQ(Row(1)[size_t(W())], ' ');
}

TEST_F(Paint, SearchHitIsPaintedFromTheCursorAndCutAtTheRowEnd) {
  Open("find the needle here\nother\n");
  Goto(1, 9);
  e->hiliteLen = 6;
  Paint1();
  EXPECT_EQ(Pair(0, 8), 22);
  EXPECT_EQ(Pairs(0, 9, 15), Same(9, 6));  // over the cursor cell too
  EXPECT_EQ(Pair(0, 15), 22);
  EXPECT_EQ(Pairs(1, 9, 15), Same(14, 6));

  Goto(1, W() - 3);
  e->hiliteLen = 10;
  Paint1();
  EXPECT_EQ(Pairs(0, W() - 3, W()), Same(9, 3));
  EXPECT_EQ(Pair(0, W()), 0);  // the line end is not part of the hit
}

TEST_F(Paint, HorizontalScrollShowsTheLineFromLeftCol) {
  Tcb* t = Open("0123456789abcdef\nxy\n");
  Goto(1, 12);
  t->leftCol = 10;
  Paint1();
  EXPECT_EQ(Trim(0), "abcdef");
  EXPECT_EQ(Trim(1), "");    // "xy" lies left of the view
  EXPECT_EQ(Pair(0, 2), 4);  // the cursor on 'c'
  EXPECT_EQ(Row(0)[2], 'c');
}

TEST_F(Paint, ComparedLinesGetTheirBackgrounds) {
  Open("same\nchanged\nfiller\n");
  Link* l2 = e.cur()->base->next()->next();
  l2->word |= LINK_DIFF_A;
  l2->next()->word |= LINK_DIFF_B;
  Paint1();
  EXPECT_EQ(Pair(1, 0), kPairDiffChanged);
  EXPECT_EQ(Pair(2, 0), kPairDiffFiller);
  for (const PaintRun& run : rec.runs()) {
    if (run.row == 1 && run.col == 0) {
      EXPECT_EQ(run.bg, 0xffe0e0u);
      EXPECT_EQ(run.fg, S.pairs[14][0]);
    }
    if (run.row == 2 && run.col == 0) {
      EXPECT_EQ(run.bg, 0xe0e0ffu);
    }
  }
}

TEST_F(Paint, OnlyTheCurrentViewShowsACursor) {
  Tcb* a = Open("aaa\n");
  AFlush(e.V());
  Tcb* b = e.open("bbb\n");
  Layout(800, 600);
  ASSERT_NE(a, b);
  rec.clear();
  ViewText(e.V(), a);
  EXPECT_EQ(rec.pairAt(a, 0, 0), 14);
  EXPECT_EQ(rec.rowTrimmed(a, 0), "aaa");
  // Its status line describes its own cursor character.
  EXPECT_EQ(rec.row(a, kStatus).substr(size_t(a->cols - 9), 8), "  61, 97");
}

// --- Blocks ---

TEST(BlockRows, StatesOfLineAndColumnBlocks) {
  const int cols = 80;
  PaintBlock stream{nullptr, 3, 5, 5, 2, 0};
  EXPECT_EQ(BlockRowState(stream, 2, 5, 2, cols), 0);
  EXPECT_EQ(BlockRowState(stream, 3, 5, 2, cols), 1);
  EXPECT_EQ(BlockRowState(stream, 4, 5, 2, cols), 2);
  EXPECT_EQ(BlockRowState(stream, 5, 5, 2, cols), 3);
  EXPECT_EQ(BlockRowState(stream, 6, 5, 2, cols), 0);
  // Start scrolled off to the left: the first line is wholly marked.
  EXPECT_EQ(BlockRowState(stream, 3, -4, 2, cols), 2);
  // End scrolled off to the left: the last line is unmarked.
  EXPECT_EQ(BlockRowState(stream, 5, 5, -1, cols), 5);
  EXPECT_EQ(BlockRowState(stream, 5, 5, cols, cols), 2);

  PaintBlock column{nullptr, 2, 4, 6, 9, 1};
  EXPECT_EQ(BlockRowState(column, 4, 4, 9, cols), 4);
  EXPECT_EQ(BlockRowState(column, 4, -6, -1, cols), 5);      // left of the view
  EXPECT_EQ(BlockRowState(column, 4, cols, cols, cols), 5);  // right of it
  EXPECT_EQ(BlockRowState(column, 4, 0, 9, cols), 3);
  EXPECT_EQ(BlockRowState(column, 4, 4, cols, cols), 1);
  EXPECT_EQ(BlockRowState(column, 4, -2, cols, cols), 2);
  // A block on one line is painted as a column block.
  PaintBlock one{nullptr, 7, 1, 7, 3, 0};
  EXPECT_EQ(BlockRowState(one, 7, 1, 3, cols), 4);
}

TEST_F(Paint, StreamBlockMarksFromItsStartToItsEnd) {
  Tcb* t = Open("line 1\nline 2\nline three\nline four\nline five\nline 6\n");
  Goto(6, 0);
  const PaintBlock blk{t, 3, 5, 5, 2, 0};
  SetPaintBlockOverride(&blk);
  Paint1();
  EXPECT_EQ(Pairs(1, 0, 3), Same(14, 3));         // before the block
  EXPECT_EQ(Pairs(2, 0, 5), Same(0, 5));          // line 3 before column 5
  EXPECT_EQ(Pairs(2, 5, W()), Same(6, W() - 5));  // line 3 from column 5
  EXPECT_EQ(Pairs(3, 0, W()), Same(6, W()));      // line 4 whole
  EXPECT_EQ(Pairs(4, 0, 2), Same(6, 2));          // line 5 columns 0..1
  EXPECT_EQ(Pairs(4, 2, W()), Same(0, W() - 2));
  EXPECT_EQ(Pair(5, 1), 22);  // the cursor line after it
  EXPECT_EQ(Pair(5, 0), 4);
  EXPECT_EQ(Trim(2), "line three");
}

TEST_F(Paint, ColumnBlockScrolledOutOfViewIsUnmarked) {
  Tcb* t = Open("abcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrstuvwxyz\nzzz\n");
  Goto(3, 0);
  const PaintBlock blk{t, 1, 2, 2, 6, 1};
  SetPaintBlockOverride(&blk);
  Paint1();
  EXPECT_EQ(Pairs(0, 0, 8), "0 0 6 6 6 6 0 0 ");
  EXPECT_EQ(Pairs(1, 0, 8), "0 0 6 6 6 6 0 0 ");
  t->leftCol = 10;
  Paint1();
  EXPECT_EQ(Pairs(0, 0, W()), Same(0, W()));
  EXPECT_EQ(Pairs(1, 0, W()), Same(0, W()));
  EXPECT_EQ(Pairs(2, 1, 3), Same(22, 2));
}

TEST_F(Paint, ABlockIsPaintedOnlyInTheViewThatHoldsIt) {
  Tcb* a = Open("abc\ndef\n");
  AFlush(e.V());
  Tcb* b = e.open("abc\ndef\n");
  Layout(800, 600);
  const PaintBlock blk{a, 1, 0, 2, 2, 0};
  SetPaintBlockOverride(&blk);
  Paint1();
  EXPECT_EQ(rec.pairAt(b, 1, 0), 14);
  rec.clear();
  ViewText(e.V(), a);
  EXPECT_EQ(rec.pairAt(a, 0, 0), 6);
  EXPECT_EQ(rec.pairAt(a, 1, 0), 6);
  EXPECT_EQ(rec.pairAt(a, 1, 2), 0);
}

TEST_F(Paint, CursorAndHitArePaintedOverTheBlock) {
  Tcb* t = Open("abcdef\n");
  Goto(1, 2);
  const PaintBlock blk{t, 1, 0, 1, 5, 0};
  SetPaintBlockOverride(&blk);
  Paint1();
  EXPECT_EQ(Pairs(0, 0, 6), "6 6 4 6 6 0 ");
}

// --- Alert and prompt ---

TEST_F(Paint, AlertIsCutAtTheViewWidthAndShownBytewise) {
  Tcb* t = Open("abc\n");
  Layout(10 + 20 * font->charWidth, 600);
  ASSERT_EQ(t->cols, 20);
  SetAlert(e.V(), "Cannot write caf\xc3\xa9 and a lot more besides");
  Paint1();
  const std::string head = Row(kHead);
  // 0xc3 0xa9 become the two characters U+00C3 U+00A9.
  EXPECT_EQ(head, "Cannot write caf\xc3\x83\xc2\xa9 a");
  EXPECT_EQ(rec.width(t, kHead), 20);
  for (int c = 0; c < 20; ++c) ASSERT_EQ(Pair(kHead, c), 2);
  for (const PaintRun& run : rec.runs())
    if (run.row == kHead) {
      EXPECT_EQ(run.y, t->headY);
    }
}

TEST_F(Paint, AlertOfAnotherViewLeavesThisViewItsRuler) {
  Tcb* a = Open("abc\n");
  AFlush(e.V());
  Tcb* b = e.open("def\n");
  Layout(800, 600);
  ASSERT_EQ(e.cur(), b);
  SetAlert(e.V(), "x");
  e->textWithAlert = a;
  Paint1();
  EXPECT_EQ(Row(kHead).substr(0, 9), " v      |");
  // The view that holds it, when not current, shows it lower down.
  rec.clear();
  ViewAlert(e.V(), a);
  ASSERT_FALSE(rec.runs().empty());
  EXPECT_EQ(rec.runs()[0].y, e->statusHeight + 4 * e->lineHeight);
  EXPECT_EQ(rec.runs()[0].x, a->leftX);
  EXPECT_EQ(rec.rowTrimmed(a, kHead), "x");
  // A closed text shows no alert.
  rec.clear();
  Link* base = a->base;
  a->base = nullptr;
  ViewAlert(e.V(), a);
  a->base = base;
  EXPECT_TRUE(rec.runs().empty());
}

TEST_F(Paint, PromptTakesTheTabLineWithItsCursor) {
  Tcb* t = Open("abc\n");
  SetPromptSource(fakePrompt);
  promptText = Wide("Find: abc");
  promptCursor = 0;
  e->inputMode = 2;
  Paint1();
  EXPECT_EQ(Trim(kHead), "Find: abc");
  EXPECT_EQ(Pairs(kHead, 0, W()), Same(10, W()));
  promptCursor = 7;
  Paint1();
  EXPECT_EQ(Pair(kHead, 6), 10);
  EXPECT_EQ(Pair(kHead, 7), 4);
  EXPECT_EQ(Pair(kHead, 8), 10);
  promptCursor = 9;  // after the answer: a blank
  Paint1();
  EXPECT_EQ(Pair(kHead, 9), 5);
  // The alert does not replace the prompt.
  SetAlert(e.V(), "Wrong");
  Paint1();
  EXPECT_EQ(Trim(kHead), "Find: abc");
  for (const PaintRun& run : rec.runs())
    if (run.row == kHead) {
      EXPECT_EQ(run.y, t->headY);
    }
}

TEST_F(Paint, PromptWithoutATextUsesTheWholeWidth) {
  Open("abc\n");
  SetPromptSource(fakePrompt);
  promptText = Wide("Discard text [Y/N]:");
  promptCursor = 0;
  e->inputMode = 2;
  rec.clear();
  ViewText(e.V(), nullptr);
  ASSERT_FALSE(rec.runs().empty());
  EXPECT_EQ(rec.rowTrimmed(nullptr, kHead), "Discard text [Y/N]:");
  EXPECT_EQ(rec.width(nullptr, kHead), e->screenCols);
  EXPECT_EQ(rec.runs()[0].x, 2);
  EXPECT_EQ(rec.runs()[0].y, e->statusHeight + e->lineHeight);
  // Nothing else is painted for no view.
  for (const PaintRun& run : rec.runs()) EXPECT_EQ(run.row, kHead);
}

TEST_F(Paint, MenuModeLeavesTheHeadRowAndRepaintsTheMenu) {
  Open("abc\n");
  SetMenuPainter(fakeMenu);
  menuPaints = 0;
  e->inputMode = 6;
  Paint1();
  EXPECT_EQ(menuPaints, 1);
  EXPECT_EQ(Row(kHead), "");
  EXPECT_EQ(Row(kStatus), "");
  EXPECT_EQ(Trim(0), "abc");
}

// --- Syntax colouring hook ---

TEST_F(Paint, SyntaxRunsTakeTheirClassPairs) {
  Open("int x = \"str\";\nint y;\n");
  SetColorizer(fakeColorizer);
  e->toggles |= TGL_SOURCE;
  Goto(1, 14);
  Paint1();
  EXPECT_EQ(Pairs(1, 0, 11), "17 17 17 14 14 18 18 18 18 18 14 ");
  EXPECT_EQ(Pairs(0, 0, 11), "25 25 25 22 22 26 26 26 26 26 22 ");
  // A run straddling leftCol is shortened.
  e.cur()->leftCol = 2;
  Paint1();
  EXPECT_EQ(Pairs(1, 0, 4), "17 14 14 18 ");
  // Without the toggle the colouring is off.
  e->toggles &= ~TGL_SOURCE;
  e.cur()->mode &= ~MODE_SOURCE;
  e.cur()->leftCol = 0;
  Paint1();
  EXPECT_EQ(Pairs(1, 0, 4), Same(14, 4));
}

// --- Wide views and the whole window ---

TEST_F(Paint, ViewsWiderThanTheStripArePaintedInPieces) {
  std::string longLine(600, 'x');
  Tcb* t = Open(longLine + "\n", 3400, 300);
  ASSERT_GT(t->cols, 300);
  Goto(1, 290);
  Paint1();
  EXPECT_EQ(Pair(0, 290), 4);
  EXPECT_EQ(rec.width(t, 0), t->cols + 1);
  for (const PaintRun& run : rec.runs()) {
    const int cells = int(run.text.size());  // all ASCII here
    ASSERT_LE(run.stripX + cells * e->charWidth, kStripWidth);
  }
}

TEST_F(Paint, RedrawPaintsTheViewsOfTheLayout) {
  Tcb* a = Open("aaa\n");
  AFlush(e.V());
  Tcb* b = e.open("bbb\n");
  Layout(800, 600);
  e->redraw = REDRAW_ALL | REDRAW_TEXT;
  rec.clear();
  redraw(e.V());
  EXPECT_TRUE(rec.rows(a).empty());
  EXPECT_EQ(rec.rowTrimmed(b, 0), "bbb");
  EXPECT_EQ(e->redraw, 0);

  // A split layout by hand: both views, in chain order.
  e->singleView = 0;
  e->viewChain = a;
  a->viewNext = b;
  b->viewNext = nullptr;
  rec.clear();
  redraw(e.V());
  EXPECT_EQ(rec.rowTrimmed(a, 0), "aaa");
  EXPECT_EQ(rec.rowTrimmed(b, 0), "bbb");
  ASSERT_FALSE(rec.runs().empty());
  EXPECT_EQ(rec.runs().front().view, a);
  EXPECT_EQ(rec.runs().back().view, b);
}

TEST_F(Paint, RedrawWithoutATextPaintsOnlyAnOpenPrompt) {
  Open("abc\n");
  Tcb* cur = e.cur();
  e->curTcb = nullptr;
  rec.clear();
  redraw(e.V());
  EXPECT_TRUE(rec.runs().empty());
  SetPromptSource(fakePrompt);
  promptText = Wide("Discard text [Y/N]:");
  e->inputMode = 2;
  redraw(e.V());
  EXPECT_EQ(rec.rowTrimmed(nullptr, kHead), "Discard text [Y/N]:");
  e->curTcb = cur;
}

// Every pixel of a run is its background, its foreground, or the renderer's
// mix of the two for a partly covered pixel; neighbouring runs sent in one
// transfer must not lend each other their colours.
TEST_F(Paint, RunsAreDrawnInTheirOwnColours) {
  Tcb* t = Open("int main = \"string\";\nline two here\nmarked lines\nmore marked\n   tail\n");
  SetColorizer(fakeColorizer);
  e->toggles |= TGL_SOURCE;
  t->base->next()->next()->word |= LINK_DIFF_A;
  Goto(1, 4);
  e->hiliteLen = 2;
  const PaintBlock blk{t, 3, 2, 4, 5, 0};
  SetPaintBlockOverride(&blk);
  const int cw = e->charWidth;
  const int lh = std::min(font->lineHeight, kStripRows);
  int runs = 0;
  SetPaintSink([&](const PaintRun& run) {
    if (run.row < 0 || run.row > 4) return;
    ++runs;
    const int cells = int(run.text.size());  // ASCII only
    const uint32_t* strip = crapStrip();
    int bgPixels = 0, area = 0;
    for (int y = 0; y < lh; ++y) {
      for (int x = run.stripX + 1; x < run.stripX + cells * cw - 1; ++x) {
        const uint32_t px = strip[y * kStripWidth + x] & 0xffffff;
        ++area;
        if (px == run.bg) {
          ++bgPixels;
          continue;
        }
        bool mix = false;
        for (uint32_t v = 0; v < 256 && !mix; ++v) {
          uint32_t blend = 0;
          for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t f = run.fg >> shift & 0xff, b = run.bg >> shift & 0xff;
            blend |= uint32_t(std::lround(b + (double(f) - b) * v / 255.0)) << shift;
          }
          mix = px == blend;
        }
        ASSERT_TRUE(mix) << "row " << run.row << " col " << run.col << " pair " << run.pair
                         << " pixel " << std::hex << px;
      }
    }
    EXPECT_GE(bgPixels * 10, area * 4) << "row " << run.row << " col " << run.col;
  });
  ViewText(e.V(), t);
  SetPaintSink(nullptr);
  EXPECT_GT(runs, 10);
}

TEST_F(Paint, UnmarkedPixelsOfTheEndRowsAreTheBackground) {
  Open("x\n");
  int checked = 0;
  SetPaintSink([&](const PaintRun& run) {
    if (run.row != 1) return;
    const uint32_t* strip = crapStrip();
    // Column 0 holds a blank: all background.
    for (int y = 0; y < font->lineHeight; ++y)
      ASSERT_EQ(strip[y * kStripWidth + run.stripX] & 0xffffff, co[COLOR_BACKGROUND] & 0xffffff);
    ++checked;
  });
  ViewText(e.V(), e.cur());
  SetPaintSink(nullptr);
  EXPECT_GT(checked, 0);
}

}  // namespace
