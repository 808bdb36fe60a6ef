// Gives a window another background colour, as seen where the server clears
// it before an Expose: a test can then tell pixels the client never painted
// from pixels it painted in its own background colour.  Built by the
// end-to-end scripts (g++ win_background.cpp -lX11); not part of the editor.
//
//   win_background WINDOW-ID RRGGBB
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: win_background WINDOW-ID RRGGBB\n");
    return 2;
  }
  const unsigned long win = std::strtoul(argv[1], nullptr, 0);
  const unsigned long colour = std::strtoul(argv[2], nullptr, 16);
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "win_background: cannot open the display\n");
    return 1;
  }
  XSetWindowBackground(d, win, colour);
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}
