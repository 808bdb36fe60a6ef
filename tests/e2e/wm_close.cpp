// Asks a window to close the way a window manager does: a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW.  Built by the end-to-end scripts
// (g++ wm_close.cpp -lX11); not part of the editor.
//
//   wm_close WINDOW-ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wm_close WINDOW-ID\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long win = std::strtoul(argv[1], &end, 0);
  if (!end || *end || win == 0) {
    std::fprintf(stderr, "wm_close: bad window id \"%s\"\n", argv[1]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "wm_close: cannot open the display\n");
    return 1;
  }
  XEvent ev;
  std::memset(&ev, 0, sizeof ev);
  ev.xclient.type = ClientMessage;
  ev.xclient.window = win;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  const Status ok = XSendEvent(d, win, False, NoEventMask, &ev);
  XSync(d, False);
  XCloseDisplay(d);
  return ok ? 0 : 1;
}
