// The program's icon: one description of flat shapes on a 256-unit square,
// drawn at any pixel size for the window manager and written as SVG and PNG
// for the desktop's icon theme.  No X here: the build tool uses it too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kIconUnits = 256;  // the description's square

struct IconShape {
  int x0, y0, x1, y1;  // corners in units, x1/y1 exclusive
  int radius;          // of the corners, 0 for a plain rectangle
  uint32_t rgb;        // 0xRRGGBB, opaque
};

// The shapes in painting order.
const std::vector<IconShape>& IconShapes();

// The icon as size x size pixels, rows from the top, each 0xAARRGGBB with
// straight (not premultiplied) colour and anti-aliased edges.
std::vector<uint32_t> IconPixels(int size);

// The same description as a scalable SVG document.
std::string IconSvg();

// An 8-bit RGBA PNG (colour type 6) of width x height ARGB pixels.
std::string EncodePng(const std::vector<uint32_t>& argb, int width, int height);
