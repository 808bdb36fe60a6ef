#include "shell/wm_hints.h"

#include "display/xlib.h"

#include <algorithm>
#include <string>

#include "display/app_icon.h"

namespace {

constexpr int kRightMargin = 10;  // pixels kept free right of the text
constexpr int kHeadRows = 2;      // status line and tab line above the text

Placement placement;
// The window and cell the size hints were last written for.
Display* hintsDpy = nullptr;
Window hintsWin = 0;
int hintsCellW = 0, hintsCellH = 0;

void placementInto(XSizeHints* h) {
  const Placement& p = placement;
  if (p.userMask & (XValue | YValue)) {
    h->flags |= USPosition;
    h->x = p.x;
    h->y = p.y;
  }
  if (p.userMask & (WidthValue | HeightValue)) {
    h->flags |= USSize;
    h->width = p.width;
    h->height = p.height;
  } else if (p.width > 0) {
    h->flags |= PSize;
    h->width = p.width;
    h->height = p.height;
  }
  h->flags |= PWinGravity;
  h->win_gravity = p.gravity;
}

struct SizeHintsPtr {
  XSizeHints* h = XAllocSizeHints();
  ~SizeHintsPtr() {
    if (h) XFree(h);
  }
};

}  // namespace

SizeSteps WindowSizeSteps(int charWidth, int lineHeight) {
  const int cw = std::max(charWidth, 1), lh = std::max(lineHeight, 1);
  SizeSteps s{};
  s.incWidth = cw;
  s.incHeight = lh;
  // The columns are (width - margin) / cell; the rows below the two head
  // rows are height / line - 2.
  s.baseWidth = kRightMargin;
  s.baseHeight = kHeadRows * lh;
  s.minWidth = s.baseWidth + kMinColumns * cw;
  s.minHeight = s.baseHeight + kMinTextRows * lh;
  return s;
}

Placement GeometryPlacement(Display* dpy, int screen, const char* geometry, int width,
                            int height) {
  Placement p;
  p.width = width;
  p.height = height;
  if (!geometry) return p;
  SizeHintsPtr hints;
  if (!hints.h) return p;
  // Pixels, not cells: a base of 0 and steps of 1.
  hints.h->flags = PBaseSize | PResizeInc | PMinSize;
  hints.h->base_width = hints.h->base_height = 0;
  hints.h->width_inc = hints.h->height_inc = 1;
  hints.h->min_width = hints.h->min_height = 1;
  std::string configured = std::to_string(width) + "x" + std::to_string(height);
  int x = 0, y = 0, w = width, h = height, gravity = NorthWestGravity;
  p.userMask = XWMGeometry(dpy, screen, geometry, configured.c_str(), 0, hints.h, &x, &y, &w, &h,
                           &gravity);
  p.x = x;
  p.y = y;
  if (w > 0 && h > 0) {
    p.width = w;
    p.height = h;
  }
  p.gravity = gravity;
  return p;
}

void SetPlacement(const Placement& p) { placement = p; }

void WritePlacementHints(Display* dpy, Window window) {
  SizeHintsPtr hints;
  if (!hints.h) return;
  hints.h->flags = 0;
  placementInto(hints.h);
  XSetWMNormalHints(dpy, window, hints.h);
}

void UpdateSizeHints(Display* dpy, Window window, int charWidth, int lineHeight, int width,
                     int height) {
  if (!dpy || !window || charWidth <= 0 || lineHeight <= 0) return;
  if (dpy == hintsDpy && window == hintsWin && charWidth == hintsCellW &&
      lineHeight == hintsCellH)
    return;
  SizeHintsPtr hints;
  if (!hints.h) return;
  const SizeSteps s = WindowSizeSteps(charWidth, lineHeight);
  hints.h->flags = PMinSize | PResizeInc | PBaseSize;
  hints.h->min_width = s.minWidth;
  hints.h->min_height = s.minHeight;
  hints.h->width_inc = s.incWidth;
  hints.h->height_inc = s.incHeight;
  hints.h->base_width = s.baseWidth;
  hints.h->base_height = s.baseHeight;
  placementInto(hints.h);
  XSetWMNormalHints(dpy, window, hints.h);
  hintsDpy = dpy;
  hintsWin = window;
  hintsCellW = charWidth;
  hintsCellH = lineHeight;
  // Without a manager, or before it reads the hints, the window keeps the
  // size it was given: a minimum the layout needs is the program's to keep.
  if (width < s.minWidth || height < s.minHeight)
    XResizeWindow(dpy, window, unsigned(std::max(width, s.minWidth)),
                  unsigned(std::max(height, s.minHeight)));
}

std::vector<long> NetWmIcon() {
  std::vector<long> list;
  for (const int n : kNetIconSizes) {
    list.push_back(n);
    list.push_back(n);
    for (const uint32_t p : IconPixels(n)) list.push_back(long(p));
  }
  return list;
}

void WindowIcon::WriteInputHints(Display* dpy, Window window) {
  XWMHints hints{};
  hints.flags = InputHint | StateHint | WindowGroupHint;
  hints.input = True;
  hints.initial_state = NormalState;
  hints.window_group = window;
  XSetWMHints(dpy, window, &hints);
}

void WindowIcon::install(Display* dpy, Window window, unsigned long netWmIconAtom) {
  release();
  dpy_ = dpy;
  const int n = kPixmapIconSize;
  const std::vector<uint32_t> argb = IconPixels(n);
  // The icon on black where it is not opaque; the mask cuts that away.
  std::vector<uint32_t> rgb(argb.size());
  std::vector<char> bits(size_t((n + 7) / 8) * size_t(n), 0);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const uint32_t p = argb[size_t(y * n + x)];
      const uint32_t a = p >> 24;
      uint32_t c = 0;
      for (int shift = 0; shift < 24; shift += 8) c |= (((p >> shift) & 0xff) * a / 255) << shift;
      rgb[size_t(y * n + x)] = c;
      if (a >= 128) bits[size_t(y * ((n + 7) / 8) + x / 8)] |= char(1 << (x % 8));
    }
  }
  const int screen = DefaultScreen(dpy);
  const Window root = RootWindow(dpy, screen);
  pixmap_ = XCreatePixmap(dpy, root, unsigned(n), unsigned(n), 24);
  XImage* image = XCreateImage(dpy, DefaultVisual(dpy, screen), 24, ZPixmap, 0,
                               reinterpret_cast<char*>(rgb.data()), unsigned(n), unsigned(n), 32,
                               n * 4);
  if (image) {
    GC gc = XCreateGC(dpy, pixmap_, 0, nullptr);
    XPutImage(dpy, pixmap_, gc, image, 0, 0, 0, 0, unsigned(n), unsigned(n));
    XFreeGC(dpy, gc);
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
  }
  mask_ = XCreateBitmapFromData(dpy, root, bits.data(), unsigned(n), unsigned(n));

  XWMHints hints{};
  hints.flags = InputHint | StateHint | WindowGroupHint | IconPixmapHint | IconMaskHint;
  hints.input = True;
  hints.initial_state = NormalState;
  hints.window_group = window;
  hints.icon_pixmap = pixmap_;
  hints.icon_mask = mask_;
  XSetWMHints(dpy, window, &hints);

  if (netWmIconAtom) {
    const std::vector<long> list = NetWmIcon();
    XChangeProperty(dpy, window, netWmIconAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
  }
}

void WindowIcon::release() {
  if (!dpy_) return;
  if (pixmap_) XFreePixmap(dpy_, pixmap_);
  if (mask_) XFreePixmap(dpy_, mask_);
  pixmap_ = mask_ = 0;
  dpy_ = nullptr;
}
