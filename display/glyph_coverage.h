// How much of one pixel a FreeType bitmap covers, 0..255, whatever its pixel
// mode: the screen's glyph cache and the print raster read glyphs alike.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>

// Modes other than grey, mono and colour have no coverage to offer: reading
// those as bytes would run past the bitmap.
inline uint8_t GlyphCoverage(const FT_Bitmap& bm, int row, int col) {
  const int pitch = bm.pitch;
  const unsigned char* line = pitch >= 0
                                  ? bm.buffer + size_t(row) * size_t(pitch)
                                  : bm.buffer + size_t(int(bm.rows) - 1 - row) * size_t(-pitch);
  switch (bm.pixel_mode) {
    case FT_PIXEL_MODE_GRAY:
      return line[col];
    case FT_PIXEL_MODE_MONO:
      return (line[col >> 3] & (0x80 >> (col & 7))) ? 0xff : 0;
    case FT_PIXEL_MODE_BGRA:
      return line[col * 4 + 3];
    default:
      return 0;
  }
}
