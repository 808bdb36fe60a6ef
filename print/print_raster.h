// One printed line as grey samples: the print font's glyphs drawn black on
// white into a raster as wide as the page raster and as tall as one printed
// line, whatever the density and font size.  The raster keeps the glyphs it
// rendered for the length of one print job (the screen's glyph cache is not
// filled with page-sized glyphs).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/line_store.h"  // tchar

struct GlyphFont;

class PrintRaster {
 public:
  // `f` must stay open while the raster is used.
  PrintRaster(GlyphFont* f, int width);
  int width() const { return width_; }
  int rows() const { return rows_; }

  // Clears to white and draws the characters from the left edge; what
  // passes the right edge is cut.
  void draw(const tchar* s, int n);
  // Row r as 2 x width lower-case hex digits, high digit first.
  void hexRow(int r, char* out) const;
  const uint8_t* row(int r) const { return pixels_.data() + size_t(r) * size_t(width_); }

 private:
  struct Glyph {
    int advance = 0, left = 0, top = 0, w = 0, h = 0;
    std::vector<uint8_t> coverage;
  };
  const Glyph& glyph(tchar c);

  GlyphFont* font_;
  int width_, rows_, baseline_;
  std::vector<uint8_t> pixels_;
  std::unordered_map<tchar, Glyph> glyphs_;
};

// 2 x width characters 'f': a white raster row.
std::string WhiteRow(int width);
