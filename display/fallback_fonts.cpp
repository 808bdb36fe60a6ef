#include "display/fallback_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "config/fontconfig_api.h"
#include "display/glyph_coverage.h"
#include "display/glyph_renderer.h"

namespace {

struct LibraryCloser {
  void operator()(FT_LibraryRec_* lib) const { FT_Done_FreeType(lib); }
};
struct OwnFaceCloser {
  void operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, OwnFaceCloser>;

// The fonts in fontconfig's order of preference, sorted once: a character's
// font is the first of them whose character set has it.  Sorting with the
// character in the pattern would give the same font, at the price of a sort
// of every installed font per character.
struct Fallbacks {
  bool started = false;  // fontconfig was asked for the list
  FcConfig* config = nullptr;
  FcFontSet* sorted = nullptr;
  std::unordered_map<tchar, int> fontOf;  // code point -> place in sorted, -1: none has it
  std::map<std::pair<int, int>, FacePtr> faces;  // (place, pixel size) -> face
  uint64_t lookups = 0;
};

// Its own FreeType library: the renderer's may be closed and reopened while
// these faces live.  Declared before the faces' owner so that it goes last.
std::unique_ptr<FT_LibraryRec_, LibraryCloser> library;
Fallbacks F;

const FcApi* start() {
  const FcApi* fc = FcApiLoad();
  if (!fc || F.started) return F.sorted ? fc : nullptr;
  F.started = true;
  F.config = fc->InitLoadConfigAndFonts();
  if (!F.config) return nullptr;
  FcPattern* pat = fc->NameParse(reinterpret_cast<const FcChar8*>("monospace"));
  if (!pat) return nullptr;
  // Outline fonts first: they scale to any cell and give clean coverage; a
  // colour font's fixed pictures only when nothing else has the character.
  fc->PatternAddBool(pat, "color", 0);
  fc->ConfigSubstitute(F.config, pat, FcMatchPattern);
  fc->DefaultSubstitute(pat);
  int result = FcResultMatch;
  F.sorted = fc->FontSort(F.config, pat, 0, nullptr, &result);
  fc->PatternDestroy(pat);
  return F.sorted ? fc : nullptr;
}

// Picks the fixed size nearest above the pixel size (the sharpest to scale
// down), else the largest; its height in pixels, or 0.
double selectStrike(FT_Face face, int pixelSize) {
  int best = -1;
  for (int i = 0; i < face->num_fixed_sizes; ++i) {
    const FT_Pos h = face->available_sizes[i].y_ppem;
    if (best < 0) {
      best = i;
      continue;
    }
    const FT_Pos b = face->available_sizes[best].y_ppem;
    const bool bigEnough = h >= FT_Pos(pixelSize) * 64, bestBigEnough = b >= FT_Pos(pixelSize) * 64;
    if ((bigEnough && (!bestBigEnough || h < b)) || (!bigEnough && !bestBigEnough && h > b)) best = i;
  }
  if (best < 0 || FT_Select_Size(face, best) != 0) return 0;
  return double(face->available_sizes[best].y_ppem) / 64.0;
}

FT_Face faceFor(const FcApi& fc, int place, int pixelSize) {
  auto found = F.faces.find({place, pixelSize});
  if (found != F.faces.end()) return found->second.get();
  FT_Face face = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  const FcPattern* p = F.sorted->fonts[place];
  if (!library) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return nullptr;
    library.reset(lib);
  }
  if (fc.PatternGetString(p, "file", 0, &file) == FcResultMatch && file) {
    if (fc.PatternGetInteger(p, "index", 0, &index) != FcResultMatch) index = 0;
    if (FT_New_Face(library.get(), reinterpret_cast<const char*>(file), index, &face) != 0) face = nullptr;
  }
  if (face) {
    const bool sized = FT_IS_SCALABLE(face) ? FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) == 0
                                            : selectStrike(face, pixelSize) > 0;
    if (!sized) {
      FT_Done_Face(face);
      face = nullptr;
    }
  }
  // A font that cannot be opened is remembered as such too.
  F.faces[{place, pixelSize}].reset(face);
  return face;
}

// The first font that has c and really gives a glyph for it, or -1.
int lookup(const FcApi& fc, tchar c, int pixelSize) {
  ++F.lookups;
  for (int i = 0; i < F.sorted->nfont; ++i) {
    FcCharSet* chars = nullptr;
    if (fc.PatternGetCharSet(F.sorted->fonts[i], "charset", 0, &chars) != FcResultMatch || !chars ||
        !fc.CharSetHasChar(chars, FcChar32(c)))
      continue;
    FT_Face face = faceFor(fc, i, pixelSize);
    if (face && FT_Get_Char_Index(face, c) != 0) return i;
  }
  return -1;
}

// How far a glyph must shrink to keep `above` pixels over the baseline and
// `below` under it inside f's line.
double fitLine(const GlyphFont* f, double above, double below) {
  double s = 1.0;
  if (above > f->baseline && above > 0) s = std::min(s, f->baseline / above);
  const int room = f->lineHeight - f->baseline;
  if (below > room && below > 0) s = std::min(s, std::max(room, 0) / below);
  return s;
}

// Copies a w x h coverage picture, its top-left corner at (left, top) of the
// cell, into out; what would leave the cell is cut, and a picture that does
// not fit across is centred first.
template <class Cov>
void fill(const GlyphFont* f, int w, int h, int left, int top, Cov cov, CoverageGlyph* out) {
  const int cell = f->charWidth;
  if (left < 0 || left + w > cell) left = std::max(0, (cell - w) / 2);
  const int x0 = 0, x1 = std::min(w, cell - left);
  const int y0 = std::max(0, -top), y1 = std::min(h, f->lineHeight - top);
  out->advance = cell;
  out->left = left;
  out->top = top + y0;
  out->width = std::max(0, x1 - x0);
  out->rows = std::max(0, y1 - y0);
  out->cov.assign(size_t(out->width) * size_t(out->rows), 0);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out->cov[size_t(y - y0) * out->width + (x - x0)] = cov(y, x);
}

bool outlineGlyph(const GlyphFont* f, FT_Face face, FT_UInt index, CoverageGlyph* out) {
  constexpr FT_Int32 kLoad = FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP;
  if (FT_Load_Glyph(face, index, kLoad) != 0) return false;
  const FT_Glyph_Metrics& m = face->glyph->metrics;
  const double above = m.horiBearingY / 64.0, below = (m.height - m.horiBearingY) / 64.0;
  const double width = m.width / 64.0;
  const double sy = fitLine(f, above, below);
  double sx = sy;
  if (width * sx > f->charWidth && width > 0) sx = f->charWidth / width;
  if (sx < 1.0 || sy < 1.0) {
    FT_Matrix scale{FT_Fixed(sx * 0x10000), 0, 0, FT_Fixed(sy * 0x10000)};
    FT_Set_Transform(face, &scale, nullptr);
    const bool ok = FT_Load_Glyph(face, index, kLoad) == 0;
    FT_Set_Transform(face, nullptr, nullptr);
    if (!ok) return false;
  }
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  fill(f, int(bm.width), int(bm.rows), slot->bitmap_left, f->baseline - slot->bitmap_top,
       [&](int y, int x) { return GlyphCoverage(bm, y, x); }, out);
  return true;
}

// A pixel of a fixed-size bitmap as coverage.  A colour picture keeps its
// outline solid (alpha) and lets its dark parts -- eyes, mouths, strokes --
// stand out from light fills: alpha less half the (premultiplied)
// lightness.  Pure alpha would make every emoji a blot.
uint8_t pictureCoverage(const FT_Bitmap& bm, int row, int col) {
  if (bm.pixel_mode != FT_PIXEL_MODE_BGRA) return GlyphCoverage(bm, row, col);
  const int pitch = bm.pitch;
  const unsigned char* line = pitch >= 0 ? bm.buffer + size_t(row) * size_t(pitch)
                                         : bm.buffer + size_t(int(bm.rows) - 1 - row) * size_t(-pitch);
  const unsigned char* px = line + size_t(col) * 4;
  const int light = (19 * px[0] + 183 * px[1] + 54 * px[2]) >> 8;
  return uint8_t(std::max(0, px[3] - light / 2));
}

// A glyph of a font with fixed sizes only (colour emoji, bitmap fonts),
// scaled down by hand: each pixel is the mean of the source pixels under it.
bool pictureGlyph(const GlyphFont* f, FT_Face face, FT_UInt index, CoverageGlyph* out) {
  const double strike = selectStrike(face, f->pixelSize);
  if (strike <= 0) return false;
  const FT_Int32 load = FT_LOAD_DEFAULT | (FT_HAS_COLOR(face) ? FT_LOAD_COLOR : 0);
  if (FT_Load_Glyph(face, index, load) != 0) return false;
  if (face->glyph->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
    return false;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  const int bw = int(bm.width), bh = int(bm.rows);
  if (bw <= 0 || bh <= 0) return false;
  const double k = f->pixelSize / strike;
  const double ky = k * fitLine(f, slot->bitmap_top * k, (bh - slot->bitmap_top) * k);
  double kx = ky;
  if (bw * kx > f->charWidth) kx = double(f->charWidth) / bw;
  const int w = std::max(1, int(std::lround(bw * kx))), h = std::max(1, int(std::lround(bh * ky)));
  auto span = [](int d, double scale, int most) {
    const int from = std::min(most - 1, int(d / scale));
    return std::pair<int, int>(from, std::clamp(int((d + 1) / scale), from + 1, most));
  };
  fill(f, w, h, int(std::lround(slot->bitmap_left * kx)),
       f->baseline - int(std::lround(slot->bitmap_top * ky)),
       [&](int y, int x) {
         const auto [r0, r1] = span(y, ky, bh);
         const auto [c0, c1] = span(x, kx, bw);
         unsigned sum = 0;
         for (int r = r0; r < r1; ++r)
           for (int c = c0; c < c1; ++c) sum += pictureCoverage(bm, r, c);
         return uint8_t(sum / unsigned((r1 - r0) * (c1 - c0)));
       },
       out);
  return true;
}

}  // namespace

bool FallbackGlyph(const GlyphFont* f, tchar c, CoverageGlyph* out) {
  if (!f || f->pixelSize <= 0 || f->charWidth <= 0 || f->lineHeight <= 0) return false;
  c &= 0x7fffffff;  // the print flag
  const FcApi* fc = start();
  if (!fc) return false;
  auto known = F.fontOf.find(c);
  const int place = known != F.fontOf.end() ? known->second : F.fontOf[c] = lookup(*fc, c, f->pixelSize);
  if (place < 0) return false;
  FT_Face face = faceFor(*fc, place, f->pixelSize);
  if (!face) return false;
  const FT_UInt index = FT_Get_Char_Index(face, c);
  if (index == 0) return false;
  CoverageGlyph made;
  const bool ok = FT_IS_SCALABLE(face) ? outlineGlyph(f, face, index, &made)
                                       : pictureGlyph(f, face, index, &made);
  if (!ok) return false;
  *out = std::move(made);
  return true;
}

void FallbackFontsReset() { F.faces.clear(); }

void FallbackFontsRestart() {
  const FcApi* fc = FcApiLoad();
  if (fc && F.sorted) fc->FontSetDestroy(F.sorted);
  if (fc && F.config) fc->ConfigDestroy(F.config);
  const uint64_t lookups = F.lookups;
  F = Fallbacks{};
  F.lookups = lookups;
}

uint64_t FallbackLookups() { return F.lookups; }
