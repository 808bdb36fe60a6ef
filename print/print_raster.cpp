// Drawing printed lines with the print font.
#include "print/print_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "display/glyph_coverage.h"
#include "display/glyph_renderer.h"

namespace {

// Two hex digits per grey level, as they lie in memory.
constexpr std::array<uint16_t, 256> makeHex() {
  std::array<uint16_t, 256> t{};
  constexpr char digits[] = "0123456789abcdef";
  for (int i = 0; i < 256; i++) {
    const auto hi = uint16_t(uint8_t(digits[i >> 4])), lo = uint16_t(uint8_t(digits[i & 15]));
    t[size_t(i)] = std::endian::native == std::endian::little ? uint16_t(hi | lo << 8) : uint16_t(hi << 8 | lo);
  }
  return t;
}
constexpr std::array<uint16_t, 256> kHex = makeHex();


}  // namespace

PrintRaster::PrintRaster(GlyphFont* f, int width)
    : font_(f),
      width_(std::max(width, 0)),
      rows_(f ? std::max(f->lineHeight, 1) : 1),
      baseline_(f ? f->baseline : 0),
      pixels_(size_t(width_) * size_t(rows_), 0xff) {}

const PrintRaster::Glyph& PrintRaster::glyph(tchar c) {
  auto found = glyphs_.find(c);
  if (found != glyphs_.end()) return found->second;
  Glyph g;
  FT_Face face = font_ && font_->face ? font_->face.get() : nullptr;
  if (face && FT_Load_Glyph(face, FT_Get_Char_Index(face, c & 0x7fffffff), FT_LOAD_DEFAULT) == 0 &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.w = int(bm.width);
    g.h = int(bm.rows);
    g.advance = int(slot->advance.x >> 6);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.coverage.resize(size_t(g.w) * size_t(g.h));
    for (int r = 0; r < g.h; r++)
      for (int col = 0; col < g.w; col++) g.coverage[size_t(r) * size_t(g.w) + size_t(col)] = GlyphCoverage(bm, r, col);
  } else if (font_) {
    // A glyph the font cannot give takes an empty cell.
    g.advance = font_->charWidth;
  }
  if (font_ && font_->fixedAdvance) {
    g.left = font_->fixedAdvance >= g.w ? (font_->fixedAdvance - g.w) / 2 : 0;
    g.advance = font_->fixedAdvance;
  }
  return glyphs_.emplace(c, std::move(g)).first->second;
}

void PrintRaster::draw(const tchar* s, int n) {
  std::fill(pixels_.begin(), pixels_.end(), 0xff);
  if (!font_) return;
  const int space = font_->fixedAdvance ? font_->fixedAdvance : font_->spaceAdvance;
  int64_t pen = 0;
  for (int i = 0; i < n && pen < width_; i++) {
    const tchar c = s[i] & 0x7fffffff;
    if (c == ' ') {
      pen += space;
      continue;
    }
    const Glyph& g = glyph(c);
    const int64_t x0 = pen + g.left;
    const int y0 = baseline_ - g.top;
    for (int r = 0; r < g.h; r++) {
      const int y = y0 + r;
      if (y < 0 || y >= rows_) continue;
      uint8_t* dst = pixels_.data() + size_t(y) * size_t(width_);
      const uint8_t* cov = g.coverage.data() + size_t(r) * size_t(g.w);
      for (int col = 0; col < g.w; col++) {
        const int64_t x = x0 + col;
        if (x < 0 || x >= width_) continue;
        // Overlapping glyphs keep the darker ink.
        const uint8_t grey = uint8_t(255 - cov[col]);
        if (grey < dst[x]) dst[x] = grey;
      }
    }
    pen += g.advance;
  }
}

void PrintRaster::hexRow(int r, char* out) const {
  const uint8_t* p = row(r);
  for (int x = 0; x < width_; x++) std::memcpy(out + 2 * x, &kHex[p[x]], 2);
}

std::string WhiteRow(int width) { return std::string(size_t(std::max(width, 0)) * 2, 'f'); }
