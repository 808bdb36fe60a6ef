// Destroys a window of another client, as a misbehaving program or a
// window manager might.  Built by the end-to-end scripts (g++
// destroy_window.cpp -lX11); not part of the editor.
//
//   destroy_window WINDOW-ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: destroy_window WINDOW-ID\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long win = std::strtoul(argv[1], &end, 0);
  if (!end || *end || win == 0) {
    std::fprintf(stderr, "destroy_window: bad window id \"%s\"\n", argv[1]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "destroy_window: cannot open the display\n");
    return 1;
  }
  XDestroyWindow(d, win);
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}
