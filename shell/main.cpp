// vexor: entry point.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int, char**) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "vexor: cannot open the X display%s%s%s; vexor needs an X server\n",
                 name ? " \"" : "", name ? name : " (DISPLAY is not set)", name ? "\"" : "");
    return 1;
  }
  XCloseDisplay(d);
  return 0;
}
