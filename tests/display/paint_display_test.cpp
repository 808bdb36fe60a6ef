// Painting into a real window (run when an X display is there, as under the
// test suite's private Xvfb): where rows land, and which rows are sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "config/colors.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/paint_draw.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tests/support/key_trail.h"
#include "tests/support/test_display.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// An 800 x 600 window with the renderer on it and the text font loaded;
// skips without fonts or a 24-bit display.  Only a test that reads pixels
// back maps it: tests run side by side on one server, and a mapped window
// over another would hide the other's pixels.
class PaintDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
    const int scr = XDefaultScreen(dpy);
    if (XDefaultDepth(dpy, scr) != 24) GTEST_SKIP() << "display is not 24 bits deep";
    win = XCreateSimpleWindow(dpy, XRootWindow(dpy, scr), 0, 0, 800, 600, 0, 0, 0);
    ASSERT_EQ(crapInitChecked(dpy, win), "");
    crapSetFont(font, "text", kMono, 16, 0, 0, 0);
    ASSERT_EQ(crapOpenFontChecked(font), "");
    setColors();
  }
  void TearDown() override {
    S.display = nullptr;
    S.window = 0;
    if (!dpy) return;
    crapDeinit();
    if (win) XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
  }
  // Paints into the window from here on.
  void attach() {
    S.display = dpy;
    S.window = win;
  }
  Display* dpy = nullptr;
  Window win = 0;
};

// Through a real window: the rows land where the view's geometry says.
TEST_F(PaintDisplay, RowsLandAtTheViewsPositions) {
  XMapWindow(dpy, win);
  XSync(dpy, False);
  vt::Editor e;
  e->inputMode = 1;
  Tcb* t = e.open("  word\nline\n");
  SetMetrics(e.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(e.V());
  t->col = 1;  // a blank under the cursor
  attach();
  redraw(e.V());
  XSync(dpy, False);
  const int cw = e->charWidth;
  const int top = font->baseline;
  auto px = [&](int x, int y) {
    XImage* img = XGetImage(dpy, win, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long v = img ? XGetPixel(img, 0, 0) & 0xffffff : 0xdeadbeef;
    if (img) XDestroyImage(img);
    return v;
  };
  // Middle of the cursor cell on the first text row: the blank cursor.
  EXPECT_EQ(px(t->leftX + cw + cw / 2, t->textY - top + 1), S.pairs[5][1]);
  // Its neighbour on the cursor line, and the status and tab rows.
  EXPECT_EQ(px(t->leftX + cw / 2, t->textY - top + 1), S.pairs[22][1]);
  EXPECT_EQ(px(t->leftX + 1, t->statusY - top + 1), S.pairs[11][1]);
  EXPECT_EQ(px(t->leftX + 1, t->headY - top + 1), S.pairs[8][1]);
  // The line after the cursor line, then the rows after the text.
  EXPECT_EQ(px(t->leftX + 1, t->textY + e->lineHeight - top + 1), S.pairs[14][1]);
  EXPECT_EQ(px(t->leftX + 1, t->textY + 3 * e->lineHeight - top + 1), S.pairs[2][1]);
}

// After a typed key only what changed travels to the X server; a repaint of
// the whole window (as after Expose) sends every row again.
TEST_F(PaintDisplay, UnchangedRowsAreNotSentAgain) {
  vt::Editor e;
  std::string text;
  for (int i = 0; i < 40; i++) text += "line " + std::to_string(i) + "\n";
  e.open(text);
  SetMetrics(e.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(e.V());
  attach();
  uint64_t before = crapImagesSent();
  redraw(e.V());
  const uint64_t full = crapImagesSent() - before;
  EXPECT_GT(full, uint64_t(e.cur()->rows));

  before = crapImagesSent();
  redraw(e.V());
  EXPECT_EQ(crapImagesSent() - before, 0u) << "nothing changed, nothing sent";

  TypeChar(e.V(), 'x');
  before = crapImagesSent();
  redraw(e.V());
  const uint64_t typed = crapImagesSent() - before;
  EXPECT_GT(typed, 0u);
  EXPECT_LE(typed, 8u) << "the cursor row and the status line";

  e->redraw |= REDRAW_ALL;
  before = crapImagesSent();
  redraw(e.V());
  EXPECT_GT(crapImagesSent() - before, uint64_t(e.cur()->rows)) << "every row again";
  XSync(dpy, False);
}

// Drawing goes to pixmaps here: their pixels are all kept, whatever other
// tests' windows cover, so what was painted can be read back exactly.
class PaintPixmaps : public PaintDisplay {
 protected:
  void SetUp() override {
    PaintDisplay::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (Pixmap& p : pm) p = XCreatePixmap(dpy, win, 800, 600, 24);
    gc = XCreateGC(dpy, win, 0, nullptr);
  }
  void TearDown() override {
    if (dpy && gc) XFreeGC(dpy, gc);
    for (Pixmap p : pm)
      if (dpy && p) XFreePixmap(dpy, p);
    PaintDisplay::TearDown();
  }
  void fill(Pixmap p, unsigned long colour) {
    XSetForeground(dpy, gc, colour);
    XFillRectangle(dpy, p, gc, 0, 0, 800, 600);
  }
  std::vector<uint32_t> grab(Pixmap p) {
    XImage* img = XGetImage(dpy, p, 0, 0, 800, 600, AllPlanes, ZPixmap);
    std::vector<uint32_t> px(800 * 600);
    EXPECT_EQ(img->bits_per_pixel, 32);
    for (int y = 0; y < 600; ++y) {
      std::memcpy(&px[size_t(y * 800)], img->data + y * img->bytes_per_line, 800 * 4);
      for (int x = 0; x < 800; ++x) px[size_t(y * 800 + x)] &= 0xffffff;
    }
    XDestroyImage(img);
    return px;
  }
  // Paints on `p` what changed since its last repaint.
  void paintOn(Pixmap p, EditorState* V) {
    S.display = dpy;
    S.window = p;
    S.width = 800;
    S.height = 600;
    redraw(V);
  }
  // The whole window painted afresh on the spare pixmap (filled with a
  // colour no painter uses first), leaving what is known of pm[0] alone.
  std::vector<uint32_t> reference(EditorState* V) {
    fill(pm[1], 0xff00ff);
    V->redraw |= REDRAW_ALL;
    paintOn(pm[1], V);
    std::vector<uint32_t> px = grab(pm[1]);
    S.window = pm[0];
    return px;
  }
  static uint64_t pixelsSince(const paint_detail::PaintTraffic& before) {
    return paint_detail::PaintTrafficSent().pixels - before.pixels;
  }
  Pixmap pm[2] = {};
  GC gc = nullptr;
};

using namespace cmd;

void Command(EditorState* V, int n) { HandleKey(V, CMD_BASE + n, 0, 0); }

std::string MixedText(std::mt19937& rng, int lines) {
  static constexpr const char* kWords[] = {"alpha", "beta", "gamma", "  ", "delta", "\t", "x", "ω€"};
  std::string text;
  for (int i = 0; i < lines; ++i) {
    const unsigned kind = rng() % 10;
    if (kind == 0) text += std::string(150 + rng() % 200, char('a' + rng() % 26));  // past the window
    else if (kind == 1) text += "the same line again";
    else if (kind != 2)
      for (unsigned w = rng() % 12; w > 0; --w) text += std::string(kWords[rng() % 8]) + " ";
    text += "\n";
  }
  return text;
}

// The decisive check: after every step of a long random mix of scrolling,
// editing, marking, splits, the prompt and alerts, the window painted step
// by step (moved bands, sent cells, filled blanks) is pixel for pixel what a
// repaint of the whole window shows.
TEST_F(PaintPixmaps, EveryStepLeavesWhatAFullRepaintPaints) {
  std::mt19937 rng(21);
  vt::Editor e;
  e->inputMode = ModeEdit;
  Tcb* other = e.open(MixedText(rng, 120), "other.txt");
  Tcb* third = e.open(MixedText(rng, 60), "third.txt");
  e.open(MixedText(rng, 400), "main.txt");
  SetMetrics(e.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(e.V());
  EditorState* V = e.V();
  fill(pm[0], 0x00ff00);
  V->redraw |= REDRAW_ALL;
  paintOn(pm[0], V);

  struct Move {
    const char* name;
    int weight;
  };
  static constexpr Move kMoves[] = {
      {"OneDown", 12}, {"OneUp", 8},        {"PageDown", 4},   {"PageUp", 3},     {"Scrolldown", 4},
      {"ScrollUp", 3}, {"EndOfLine", 3},    {"BegOfLine", 2},  {"ScrollRight", 3}, {"ScrollLeft", 2},
      {"PageRight", 1}, {"PageLeft", 1},    {"WordRight", 3},  {"OneRight", 3},   {"DelLine", 2},
      {"InsLine", 2},  {"NewLine", 2},      {"Backspace", 2},  {"DelChr", 2},     {"MarkBlockBegin", 1},
      {"MarkBlockEnd", 1}, {"MarkColumnDownRight", 1}, {"UnmarkBlock", 1}, {"FirstLine", 1},
      {"LastLine", 1}, {"MakeTopOfScrn", 1}, {"ToggleSourceView", 1}, {"DupLine", 1}, {"Undo", 1},
  };
  int total = 0;
  for (const Move& m : kMoves) total += m.weight;
  vt::KeyTrail trail;
  const paint_detail::PaintTraffic start = paint_detail::PaintTrafficSent();
  for (int step = 0; step < 400; ++step) {
    std::string what;
    const unsigned pick = rng() % 100;
    if (pick < 15) {
      const char c = "abc xyz"[rng() % 7];
      HandleKey(V, c, 0, 0);
      what = std::string("type ") + c;
    } else if (pick < 17) {
      Command(V, FindCommand("Search"));  // the prompt over the tab line
      HandleKey(V, 'q', 0, 0);
      what = "search prompt";
    } else if (pick < 19) {
      SetAlert(V, "An alert across the head row");
      what = "alert";
    } else if (pick < 20 && V->singleView) {
      if (rng() % 2) HSplit(V, other->number);
      else VSplit(V, third->number);
      what = "split";
    } else {
      int r = int(rng() % unsigned(total));
      const Move* m = kMoves;
      while (r >= m->weight) r -= (m++)->weight;
      Command(V, FindCommand(m->name));
      what = m->name;
    }
    trail.add(what, e.lineNo(), e.col());
    paintOn(pm[0], V);
    const std::vector<uint32_t> got = grab(pm[0]);
    const std::vector<uint32_t> want = reference(V);
    if (got != want) {
      const size_t i = size_t(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin());
      FAIL() << "step " << step << " pixel " << i % 800 << "," << i / 800 << std::hex << ": "
             << got[i] << " instead of " << want[i] << trail.str();
    }
    if (V->inputMode != ModeEdit) HandleKey(V, 27, 9, 0);  // Esc closes the prompt
  }
  // Bands were moved, blanks filled, and the split happened.
  EXPECT_GT(paint_detail::PaintTrafficSent().copies - start.copies, 100u);
  EXPECT_GT(paint_detail::PaintTrafficSent().fills - start.fills, 1000u);
  EXPECT_EQ(V->singleView, 0);
}

// What a step costs at 800 x 600: a one-line scroll sends no more than two
// rows of pixels (the new row and the status line), a typed key the cells
// it changed, a page flip over repeated lines and a sideways scroll little.
TEST_F(PaintPixmaps, ScrollsAndKeysSendOnlyWhatIsNew) {
  vt::Editor e;
  e->inputMode = ModeEdit;
  std::string text;
  for (int i = 0; i < 300; i++)
    text += "line " + std::to_string(i) + " " + std::string(size_t(i % 7) * 30, char('a' + i % 26)) + "\n";
  e.open(text);
  SetMetrics(e.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(e.V());
  EditorState* V = e.V();
  Tcb* t = e.cur();
  const uint64_t row = uint64_t(800) * uint64_t(font->lineHeight);
  V->redraw |= REDRAW_ALL;
  paintOn(pm[0], V);

  auto cost = [&](auto&& action) {
    const paint_detail::PaintTraffic before = paint_detail::PaintTrafficSent();
    action();
    paintOn(pm[0], V);
    return pixelsSince(before);
  };
  for (int i = 0; i < t->rows + 3; ++i) {
    const uint64_t sent = cost([&] { Command(V, OneDown); });
    ASSERT_LE(sent, 2 * row) << "down " << i;  // scrolls once the cursor meets the bottom
  }
  EXPECT_LE(cost([&] { Command(V, Scrolldown); }), 2 * row);
  EXPECT_LE(cost([&] { Command(V, ScrollUp); }), 2 * row);
  EXPECT_EQ(cost([] {}), 0u) << "nothing changed, nothing sent";
  // A line deleted or put back mid-page: the rows below move a row.
  for (int i = 0; i < t->rows / 2; ++i) Command(V, OneUp);
  paintOn(pm[0], V);
  EXPECT_LE(cost([&] { Command(V, DelLine); }), 3 * row);
  EXPECT_LE(cost([&] { Command(V, UnDelLine); }), 3 * row);

  // A typed key: the rest of its line and a few cells of the status line.
  Command(V, BegOfLine);
  paintOn(pm[0], V);
  const uint64_t cell = uint64_t(font->charWidth) * uint64_t(font->lineHeight);
  const uint64_t typed = cost([&] { TypeChar(V, 'x'); });
  EXPECT_GT(typed, 0u);
  EXPECT_LE(typed, (uint64_t(V->aline.count) + 12) * cell);

  // Sideways by one column: a column of cells per row and the status line.
  Command(V, FirstLine);
  paintOn(pm[0], V);
  EXPECT_LE(cost([&] { Command(V, ScrollRight); }), 2 * row + uint64_t(t->rows) * 2 * cell);
  EXPECT_LE(cost([&] { Command(V, ScrollLeft); }), 2 * row + uint64_t(t->rows) * 2 * cell);

  // A page of lines that repeat every seven: its rows are on the window
  // already, a few rows away.
  vt::Editor r;
  r->inputMode = ModeEdit;
  std::string repeated;
  for (int i = 0; i < 400; i++) repeated += "row of kind " + std::to_string(i % 7) + "\n";
  r.open(repeated);
  SetMetrics(r.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(r.V());
  V = r.V();
  V->redraw |= REDRAW_ALL;
  paintOn(pm[0], V);
  const uint64_t flip = cost([&] { Command(V, PageDown); });
  EXPECT_LE(flip, 3 * row) << "the cursor row, the row it left and the status line";
  EXPECT_EQ(grab(pm[0]), reference(V));
}

// A band moved from a covered part of the window leaves pixels nobody
// knows: GraphicsExpose repaints the whole window, NoExpose nothing.
TEST_F(PaintPixmaps, GraphicsExposeRepaintsTheWholeWindow) {
  vt::Editor e;
  e->inputMode = ModeEdit;
  std::string text;
  for (int i = 0; i < 100; i++) text += "line " + std::to_string(i) + "\n";
  e.open(text);
  SetMetrics(e.V(), 800, 600, font->lineHeight, font->charWidth, font->ascent);
  PrepareView(e.V());
  paintOn(pm[0], e.V());
  XEvent ev{};
  ev.type = NoExpose;
  ev.xnoexpose.drawable = pm[0];
  auto sentBy = [&](XEvent& event) {
    const paint_detail::PaintTraffic before = paint_detail::PaintTrafficSent();
    HandleEvent(e.V(), &event);
    return paint_detail::PaintTrafficSent().puts - before.puts;
  };
  EXPECT_EQ(sentBy(ev), 0u);
  ev = XEvent{};
  ev.type = GraphicsExpose;
  ev.xgraphicsexpose.drawable = pm[0];
  ev.xgraphicsexpose.count = 1;  // more of the series to come
  EXPECT_EQ(sentBy(ev), 0u);
  ev.xgraphicsexpose.count = 0;
  EXPECT_GT(sentBy(ev), uint64_t(e.cur()->rows)) << "every row again";
}

}  // namespace
