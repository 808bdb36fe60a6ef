// The screen record S: the display connection, the window and the colour
// pairs the painter uses.
#pragma once

#include <cstdint>

#ifndef _XLIB_H_
struct _XDisplay;
typedef struct _XDisplay Display;
#endif

constexpr int kPairCount = 30;

struct Screen {
  int32_t screen;
  int32_t width;
  int32_t height;
  unsigned long window;
  Display* display;  // null: paint into the strip only (tests, benchmarks)
  uint32_t pairs[kPairCount][2];  // foreground, background as 0xRRGGBB
};

extern Screen S;
