// Pop-up windows of the menus and dialogues.
#include "shell/popup_window.h"

#include "display/xlib.h"
#include "display/screen.h"

namespace {

constexpr long kPopupEvents = KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask;
static_assert(kPopupEvents == 0x28005);

unsigned size(int v) { return unsigned(v > 1 ? v : 1); }

// The connection it was made on is still the editor's, with its window: a
// pop-up outliving the display is not destroyed through a closed one.
bool live(void* display) { return display && display == S.display && S.window; }

}  // namespace

void PopupWindow::create(int x, int y, int width, int height, uint32_t background) {
  close();
  x_ = x;
  y_ = y;
  w_ = width;
  h_ = height;
  open_ = true;
  if (!S.display || !S.window) {
    win_ = kHeadlessId;
    display_ = nullptr;
    return;
  }
  Display* d = S.display;
  win_ = XCreateSimpleWindow(d, S.window, x, y, size(width), size(height), 1,
                             BlackPixel(d, S.screen), background);
  XSelectInput(d, win_, kPopupEvents);
  display_ = d;
}

void PopupWindow::map() {
  if (open_ && live(display_)) XMapWindow(static_cast<Display*>(display_), win_);
}

void PopupWindow::moveResize(int x, int y, int width, int height) {
  if (!open_) return;
  if (x == x_ && y == y_ && width == w_ && height == h_) return;
  x_ = x;
  y_ = y;
  w_ = width;
  h_ = height;
  if (live(display_)) XMoveResizeWindow(static_cast<Display*>(display_), win_, x, y, size(width), size(height));
}

void PopupWindow::close() {
  if (!open_) return;
  if (live(display_)) {
    Display* d = static_cast<Display*>(display_);
    XUnmapWindow(d, win_);
    XDestroyWindow(d, win_);
  }
  open_ = false;
  win_ = 0;
  display_ = nullptr;
}
