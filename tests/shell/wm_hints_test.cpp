// What the window manager reads from the window, read back from a server.
#include "shell/wm_hints.h"

#include <gtest/gtest.h>

#include "display/xlib.h"

#include <vector>

#include "tests/support/test_display.h"

namespace {

class WmHints : public ::testing::Test {
 protected:
  void SetUp() override {
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 100, 0, 0, 0);
    SetPlacement(Placement{});
  }
  void TearDown() override {
    if (!dpy) return;
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
  }
  XSizeHints hints() {
    XSizeHints h{};
    long supplied = 0;
    XSync(dpy, False);
    EXPECT_TRUE(XGetWMNormalHints(dpy, win, &h, &supplied));
    return h;
  }
  std::pair<unsigned, unsigned> size() {
    Window root;
    int x, y;
    unsigned w = 0, h = 0, bw, depth;
    XSync(dpy, False);
    XGetGeometry(dpy, win, &root, &x, &y, &w, &h, &bw, &depth);
    return {w, h};
  }
  Display* dpy = nullptr;
  Window win = 0;
};

// Start-up with a geometry, then a font change: the hints always carry the
// cell of the current font and the user's placement, and the window never
// stays smaller than the minimum the layout needs.
TEST_F(WmHints, FollowTheFontKeepThePlacementAndRaiseASmallWindow) {
  Placement p;
  p.userMask = XValue | YValue | WidthValue | HeightValue;
  p.x = 33;
  p.y = 44;
  p.width = 200;
  p.height = 100;
  p.gravity = SouthEastGravity;
  SetPlacement(p);
  UpdateSizeHints(dpy, win, 11, 22, 200, 100);
  XSizeHints h = hints();
  const long want = PMinSize | PResizeInc | PBaseSize | USPosition | USSize | PWinGravity;
  EXPECT_EQ(h.flags & want, want);
  EXPECT_EQ(h.width_inc, 11);
  EXPECT_EQ(h.height_inc, 22);
  EXPECT_EQ(h.base_width, 10);
  EXPECT_EQ(h.base_height, 44);
  EXPECT_EQ(h.min_width, 10 + kMinColumns * 11);
  EXPECT_EQ(h.min_height, 44 + kMinTextRows * 22);
  EXPECT_EQ(h.win_gravity, SouthEastGravity);
  const unsigned minW = unsigned(10 + kMinColumns * 11);
  EXPECT_EQ(size(), std::make_pair(minW, 110u)) << "raised to the minimum";

  // Every ConfigureNotify runs Resize: an unchanged cell sends nothing.
  XDeleteProperty(dpy, win, XA_WM_NORMAL_HINTS);
  UpdateSizeHints(dpy, win, 11, 22, int(minW), 110);
  XSync(dpy, False);
  XSizeHints none{};
  long supplied = 0;
  EXPECT_FALSE(XGetWMNormalHints(dpy, win, &none, &supplied));

  UpdateSizeHints(dpy, win, 9, 30, int(minW), 110);  // a taller, narrower font
  h = hints();
  EXPECT_EQ(h.width_inc, 9);
  EXPECT_EQ(h.height_inc, 30);
  EXPECT_EQ(h.base_height, 60);
  EXPECT_EQ(h.min_height, 60 + 3 * 30);
  EXPECT_TRUE(h.flags & USPosition) << "the placement is kept";
  EXPECT_EQ(size(), std::make_pair(minW, 150u)) << "only the height was too small";
}

TEST_F(WmHints, GeometryAsXProgramsTakeIt) {
  const int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
  Placement p = GeometryPlacement(dpy, DefaultScreen(dpy), nullptr, 800, 600);
  EXPECT_EQ(p.userMask, 0);
  EXPECT_EQ(p.width, 800);
  EXPECT_EQ(p.height, 600);

  p = GeometryPlacement(dpy, DefaultScreen(dpy), "640x480+33+44", 800, 600);
  EXPECT_EQ(p.userMask, XValue | YValue | WidthValue | HeightValue);
  EXPECT_EQ(p.x, 33);
  EXPECT_EQ(p.y, 44);
  EXPECT_EQ(p.width, 640) << "pixels, not cells";
  EXPECT_EQ(p.height, 480);
  EXPECT_EQ(p.gravity, NorthWestGravity);

  p = GeometryPlacement(dpy, DefaultScreen(dpy), "300x200-10-20", 800, 600);
  EXPECT_EQ(p.x, sw - 300 - 10);
  EXPECT_EQ(p.y, sh - 200 - 20);
  EXPECT_EQ(p.gravity, SouthEastGravity);

  p = GeometryPlacement(dpy, DefaultScreen(dpy), "+5+6", 700, 500);
  EXPECT_EQ(p.width, 700) << "the configured size stays";
  EXPECT_EQ(p.height, 500);
  EXPECT_EQ(p.x, 5);
  p = GeometryPlacement(dpy, DefaultScreen(dpy), "x300", 700, 500);
  EXPECT_EQ(p.width, 700);
  EXPECT_EQ(p.height, 300);
}

TEST_F(WmHints, IconPixmapMaskAndNetIcon) {
  Atom netIcon = XInternAtom(dpy, "_NET_WM_ICON", False);
  WindowIcon::WriteInputHints(dpy, win);
  {
    WindowIcon icon;
    icon.install(dpy, win, netIcon);
    XSync(dpy, False);
    XWMHints* wm = XGetWMHints(dpy, win);
    ASSERT_NE(wm, nullptr);
    EXPECT_EQ(wm->flags & (InputHint | StateHint | IconPixmapHint | IconMaskHint),
              InputHint | StateHint | IconPixmapHint | IconMaskHint);
    EXPECT_TRUE(wm->input);
    EXPECT_EQ(wm->initial_state, NormalState);
    Window root;
    int x, y;
    unsigned w = 0, h = 0, bw, depth = 0;
    ASSERT_TRUE(XGetGeometry(dpy, wm->icon_pixmap, &root, &x, &y, &w, &h, &bw, &depth));
    EXPECT_EQ(w, unsigned(kPixmapIconSize));
    EXPECT_EQ(depth, 24u);
    ASSERT_TRUE(XGetGeometry(dpy, wm->icon_mask, &root, &x, &y, &w, &h, &bw, &depth));
    EXPECT_EQ(depth, 1u);
    XFree(wm);
  }
  // Width, height and pixels per size, in order, and nothing after them.
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(dpy, win, netIcon, 0, 1 << 20, False, XA_CARDINAL, &type, &format,
                               &n, &after, &data),
            Success);
  ASSERT_NE(data, nullptr);
  const long* v = reinterpret_cast<const long*>(data);
  size_t at = 0;
  for (const int size : kNetIconSizes) {
    ASSERT_LT(at + 2, n);
    EXPECT_EQ(v[at], size);
    EXPECT_EQ(v[at + 1], size);
    // An opaque middle pixel: the pixels are ARGB, not premultiplied zeros.
    EXPECT_EQ(uint32_t(v[at + 2 + size_t(size / 2) * size_t(size) + size_t(size / 2)]) >> 24,
              0xffu);
    at += 2 + size_t(size) * size_t(size);
  }
  EXPECT_EQ(at, n);
  XFree(data);
}

}  // namespace
