// A glyph as coverage bytes, whatever drew it: a fallback font, or the lines
// and blocks the renderer draws itself.  The cell painter caches and draws
// it like a glyph of the font.
#pragma once

#include <cstdint>
#include <vector>

struct CoverageGlyph {
  int width = 0, rows = 0;   // size of the bitmap
  int left = 0;              // its first column, from the cell's left edge
  int top = 0;               // its first row, from the line's top
  int advance = 0;           // the cell width it was made for
  std::vector<uint8_t> cov;  // rows x width bytes, 0 (none) .. 255 (full)
};
