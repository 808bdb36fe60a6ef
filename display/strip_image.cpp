// The glyph strip and the requests that put pixels on the window.
#include "display/strip_image.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <memory>
#include <utility>

namespace {

struct ImageCloser {
  void operator()(XImage* img) const { XDestroyImage(img); }
};

struct GcCloser {
  Display* dpy = nullptr;
  void operator()(_XGC* gc) const { XFreeGC(dpy, gc); }
};

class PixmapOwner {
 public:
  PixmapOwner() = default;
  PixmapOwner(Display* dpy, Pixmap pm) : dpy_(dpy), pm_(pm) {}
  PixmapOwner(const PixmapOwner&) = delete;
  PixmapOwner& operator=(const PixmapOwner&) = delete;
  PixmapOwner& operator=(PixmapOwner&& other) noexcept {
    reset();
    std::swap(dpy_, other.dpy_);
    std::swap(pm_, other.pm_);
    return *this;
  }
  ~PixmapOwner() { reset(); }
  void reset() {
    if (dpy_ && pm_) XFreePixmap(dpy_, pm_);
    dpy_ = nullptr;
    pm_ = 0;
  }
  Pixmap get() const { return pm_; }

 private:
  Display* dpy_ = nullptr;
  Pixmap pm_ = 0;
};

struct Strip {
  bool open = false;
  PixmapOwner pm;
  std::unique_ptr<XImage, ImageCloser> img;
  std::unique_ptr<_XGC, GcCloser> gc;
  std::unique_ptr<uint32_t[]> own;  // the strip when there is no display
  uint32_t* data = nullptr;
  uint64_t sent = 0;
};

Strip St;

}  // namespace

std::string StripOpen(Display* dpy, unsigned long window) {
  if (St.open) return {};
  if (dpy) {
    St.pm = PixmapOwner(dpy, XCreatePixmap(dpy, window, kStripWidth, kStripRows, 24));
    St.img.reset(XGetImage(dpy, St.pm.get(), 0, 0, kStripWidth, kStripRows, AllPlanes, ZPixmap));
    if (!St.img || !St.img->data || St.img->bits_per_pixel != 32 ||
        St.img->bytes_per_line != kStripWidth * 4) {
      StripClose();
      return "vexor: the display gives no " + std::to_string(kStripWidth) + " x " +
             std::to_string(kStripRows) + " depth-24 image with 32-bit pixels for the glyph strip";
    }
    // The strip is written as native 32-bit words; Xlib swaps if the server
    // wants the other byte order.
    St.img->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    St.gc = std::unique_ptr<_XGC, GcCloser>(XCreateGC(dpy, window, 0, nullptr), GcCloser{dpy});
    St.data = reinterpret_cast<uint32_t*>(St.img->data);
  } else {
    St.own = std::make_unique<uint32_t[]>(size_t(kStripWidth) * kStripRows);
    St.data = St.own.get();
  }
  St.open = true;
  return {};
}

void StripClose() {
  St.gc.reset();
  St.img.reset();
  St.pm.reset();
  St.own.reset();
  St.data = nullptr;
  St.open = false;
}

uint32_t* StripData() { return St.data; }

void StripBegin() {}

void StripPut(Display* dpy, unsigned long drawable, int srcX, int width, int rows, int dstX,
              int dstY) {
  if (!dpy || !St.img || !St.gc || width <= 0 || rows <= 0) return;
  XPutImage(dpy, drawable, St.gc.get(), St.img.get(), srcX, 0, dstX, dstY, unsigned(width),
            unsigned(rows));
  St.sent++;
}

void StripFill(Display* dpy, unsigned long drawable, uint32_t colour, int x, int y, int w, int h) {
  if (!dpy || !St.gc || w <= 0 || h <= 0) return;
  XSetForeground(dpy, St.gc.get(), colour & 0xffffff);
  XFillRectangle(dpy, drawable, St.gc.get(), x, y, unsigned(w), unsigned(h));
}

void StripCopy(Display* dpy, unsigned long drawable, int sx, int sy, int w, int h, int dx,
               int dy) {
  if (!dpy || !St.gc || w <= 0 || h <= 0) return;
  XCopyArea(dpy, drawable, drawable, St.gc.get(), sx, sy, unsigned(w), unsigned(h), dx, dy);
}

uint64_t StripImagesSent() { return St.sent; }
