// Painting into a real window (run when an X display is there, as under the
// test suite's private Xvfb): where rows land, and which rows are sent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/colors.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "edit/typing.h"
#include "tests/support/headless.h"
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

}  // namespace
