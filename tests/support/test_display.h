// The X server of the tests that need one (the suite starts a private Xvfb).
#pragma once

#include <chrono>
#include <cstdlib>
#include <thread>

#include "display/xlib.h"

namespace vt {

// Null without DISPLAY.  A server still busy with another test's client may
// turn a new connection away for a moment, so it is asked again for up to
// five seconds before the test skips.
inline Display* OpenTestDisplay() {
  const char* name = std::getenv("DISPLAY");
  Display* dpy = nullptr;
  for (int tries = 0; name && *name && !dpy && tries < 50; ++tries) {
    dpy = XOpenDisplay(nullptr);
    if (!dpy) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return dpy;
}

}  // namespace vt
