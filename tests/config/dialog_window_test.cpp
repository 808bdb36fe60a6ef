// The dialogues' windows on a real X server: created as children of the
// editor window, drawn, repainted by themselves when the server exposes
// them (the editor's own rows are not repainted for that), and gone when
// closed.  Skips without a display or without the test font.
#include <gtest/gtest.h>

#include "display/xlib.h"

#include <filesystem>

#include "config/color_dialog.h"
#include "config/colors.h"
#include "config/font_dialog.h"
#include "config/fonts.h"
#include "config/key_dialog.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_press.h"
#include "tests/support/headless.h"
#include "tests/support/test_display.h"

namespace {

constexpr const char* kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
int mainPaints = 0;
void countPaint(EditorState*) { ++mainPaints; }

class DialogWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
    savedPaint = loopHooks().paint;
    savedS = S;
    loopHooks().paint = countPaint;
    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 900, 600, 0, 0, 0xffffff);
    XSelectInput(dpy, win, ExposureMask | StructureNotifyMask);
    XMapWindow(dpy, win);
    S.display = dpy;
    S.window = win;
    S.width = 900;
    S.height = 600;
    ASSERT_EQ(crapInitChecked(dpy, win), "");
    fontsInit();
    std::snprintf(fontData.menuFontFile, kFontItemSize, "%s", kMono);
    std::snprintf(fontData.textFontFile, kFontItemSize, "%s", kMono);
    ASSERT_EQ(fontsSetChecked(ed.V()), "");
    getDefColors(ed.V(), co.data());
    setColors();
    pump();
  }
  void TearDown() override {
    if (!dpy) return;
    if (ColorDialogOpen()) run(cmd::CmdNo("ColorConfig"));
    if (FontDialogOpen()) run(cmd::CmdNo("FontConfig"));
    if (KeyDialogOpen()) run(cmd::CmdNo("KeyConfig"));
    crapDeinit();
    loopHooks().paint = savedPaint;
    S = savedS;
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
  }
  void run(int n) { DoCommand(ed.V(), &n); }
  // Handles what the server has sent, as the event loop would.
  void pump() {
    XSync(dpy, False);
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      HandleEvent(ed.V(), &ev);
    }
  }
  Window child() {
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    XQueryTree(dpy, win, &root, &parent, &kids, &n);
    const Window c = n ? kids[n - 1] : 0;
    if (kids) XFree(kids);
    return c;
  }
  int children() {
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    XQueryTree(dpy, win, &root, &parent, &kids, &n);
    if (kids) XFree(kids);
    return int(n);
  }
  unsigned long pixel(Window w, int x, int y) {
    XImage* img = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xdeadbeef;
    const unsigned long p = XGetPixel(img, 0, 0) & 0xffffff;
    XDestroyImage(img);
    return p;
  }
  void key(unsigned keycode, int typed = -1) {
    PressKey(ed.V(), keycode, 0, [&] { return typed; });
  }

  Display* dpy = nullptr;
  Window win = 0;
  vt::Editor ed;
  void (*savedPaint)(EditorState*) = nullptr;
  Screen savedS;
};

TEST_F(DialogWindows, TheColourDialogueRepaintsItselfWhenUncovered) {
  run(cmd::CmdNo("ColorConfig"));
  pump();
  ASSERT_EQ(children(), 1);
  const Window c = child();
  XWindowAttributes a;
  XGetWindowAttributes(dpy, c, &a);
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 50);
  EXPECT_EQ(a.width, 600);
  EXPECT_EQ(a.height, 400);
  EXPECT_EQ(a.border_width, 1);
  // StatusBkg into the adjuster: its square shows it.
  key(116);       // Down
  key(33, 'p');   // P
  pump();
  EXPECT_EQ(pixel(c, 460, 330), 0xb0dc1cu);
  EXPECT_EQ(pixel(c, 400, 349), 0x000000u) << "the red bar is black from the bottom";
  // The server forgets the window's contents; the dialogue draws them again
  // without a repaint of the editor's rows.
  XClearArea(dpy, c, 0, 0, 0, 0, False);
  XSync(dpy, False);
  ASSERT_NE(pixel(c, 460, 330), 0xb0dc1cu);
  mainPaints = 0;
  XClearArea(dpy, c, 0, 0, 0, 0, True);
  pump();
  EXPECT_EQ(pixel(c, 460, 330), 0xb0dc1cu);
  EXPECT_EQ(mainPaints, 0);
  // A new Background reaches the whole window, also where nothing is drawn
  // and where the server clears it.
  for (int i = 0; i < 13; i++) key(116);  // to Background
  key(33, 'p');
  key(27, 'r');
  for (int i = 0; i < 16; i++) key(113);  // Left: red 0xff - 64
  key(36);                                // Return
  pump();
  EXPECT_EQ(pixel(c, 590, 390), 0xbfffffu);
  EXPECT_EQ(pixel(c, 350, 25), 0xbfffffu) << "the role list's background too";
  XClearArea(dpy, c, 0, 0, 0, 0, True);
  pump();
  EXPECT_EQ(pixel(c, 590, 390), 0xbfffffu);
  key(9, 27);  // Esc
  pump();
  EXPECT_EQ(children(), 0);
  EXPECT_EQ(ed->inputMode, ModeEdit);
}

TEST_F(DialogWindows, KeyAndFontDialoguesOpenWhereTheyBelongAndClose) {
  run(cmd::CmdNo("KeyConfig"));
  pump();
  ASSERT_EQ(children(), 1);
  XWindowAttributes a;
  XGetWindowAttributes(dpy, child(), &a);
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 50);
  EXPECT_GE(a.width, 400);
  EXPECT_EQ(a.height, 400);
  // The selected first row is drawn in RedText somewhere along its text.
  bool red = false;
  for (int x = 5; x < 60 && !red; x++)
    for (int y = 15; y < 35 && !red; y++) red = pixel(child(), x, y) == 0xff0000;
  EXPECT_TRUE(red) << "\"File\" in the selected row's colours";
  key(9);
  pump();
  EXPECT_EQ(children(), 0);

  run(cmd::CmdNo("FontConfig"));
  pump();
  ASSERT_EQ(children(), 1);
  XGetWindowAttributes(dpy, child(), &a);
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, 50);
  EXPECT_EQ(a.width, 850);
  EXPECT_EQ(a.height, 290);
  key(9, 27);
  pump();
  EXPECT_EQ(children(), 0);
  EXPECT_EQ(ed->inputMode, ModeEdit);
}

}  // namespace
