// The glyph renderer: fonts, the glyph cache and the pixel strip.
#include "display/glyph_renderer.h"

#include <X11/Xlib.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/box_glyphs.h"
#include "display/fallback_fonts.h"
#include "display/glyph_coverage.h"
#include "display/strip_image.h"

GlyphFont* font = nullptr;
GlyphFont* font2 = nullptr;
GlyphFont* pfont = nullptr;

void FaceCloser::operator()(FT_FaceRec_* face) const {
  if (face) FT_Done_Face(face);
}

namespace {

constexpr size_t kCacheWords = kGlyphCacheBytes / 4;
constexpr int kHeaderWords = 4;
constexpr int kIndexSize = 0x10000;
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT;
constexpr FT_Render_Mode kRenderMode = FT_RENDER_MODE_NORMAL;
// A bitmap whose top lies above the line, or implausibly far below it, is
// drawn from the strip's top row.
constexpr int kRowOffsetMax = 128;
// The rows word of a cache entry: the rows kept, and a mark for a glyph that
// leaves no ink at all (a format character, a missing glyph in some fonts).
constexpr uint32_t kRowsMask = 0xffff;
constexpr uint32_t kNoInk = 0x10000;

struct LibraryCloser {
  void operator()(FT_LibraryRec_* lib) const { FT_Done_FreeType(lib); }
};

struct Renderer {
  int initFlag = 0;
  // Declared before the font chain so that the faces are closed first.
  std::unique_ptr<FT_LibraryRec_, LibraryCloser> ft;
  std::unique_ptr<uint32_t[]> fcData;
  size_t fcIn = 0;  // words
  size_t fcLimit = kCacheWords;
  std::unique_ptr<GlyphFont> fontchain;
  uint64_t loads = 0;
  uint64_t resets = 0;
};

Renderer R;

const char* ftErrorText(int code) {
  switch (FT_ERROR_BASE(code)) {
#undef FTERRORS_H_
#define FT_ERROR_START_LIST
#define FT_ERRORDEF(e, v, s) \
  case v:                    \
    return s;
#define FT_ERROR_END_LIST
#include FT_ERRORS_H
    default:
      break;
  }
  return "unknown error";
}

std::string ftFailure(const char* what, int code) {
  char buf[600];
  snprintf(buf, sizeof buf, "vexor: %s: %s (FreeType error %d)", what, ftErrorText(code), code);
  return buf;
}

void clearIndex(GlyphFont* f) {
  if (f->glyphs) std::fill_n(f->glyphs.get(), kIndexSize, nullptr);
  f->wide.clear();
}

// Printing sets this bit on its characters: page-sized glyphs stay out of
// the cache.
constexpr tchar kPrintBit = 0x80000000u;

const uint32_t* cachedEntry(const GlyphFont* f, tchar c) {
  if (c < kIndexSize) return f->glyphs[c];
  if (c & kPrintBit) return nullptr;
  const auto found = f->wide.find(c);
  return found == f->wide.end() ? nullptr : found->second;
}

void remember(GlyphFont* f, tchar c, const uint32_t* e) {
  if (c < kIndexSize)
    f->glyphs[c] = e;
  else
    f->wide[c] = e;
}

const uint8_t* coverageOf(const uint32_t* e) {
  return reinterpret_cast<const uint8_t*>(e + kHeaderWords);
}

size_t entryWords(int rows, int width) {
  return kHeaderWords + (size_t(rows) * size_t(width) + 3) / 4;
}

// ---- Colours ----------------------------------------------------------------

// One channel after another: fg over bg at coverage `cov`, rounded to the
// nearest value.  The sum never goes below zero, so adding 127 rounds.
uint32_t mix(uint32_t fg, uint32_t bg, unsigned cov) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned f = fg >> shift & 0xff, b = bg >> shift & 0xff;
    out |= ((f * cov + b * (255 - cov) + 127) / 255) << shift;
  }
  return out;
}

// The 256 finished pixels of one (fg, bg) pair.  A row is painted in few
// pairs and the next row mostly in the same, so a handful of tables, picked
// by a hash of the pair, are kept.
struct BlendTable {
  uint32_t fg = 0, bg = 0;
  bool ready = false;
  uint32_t px[256];
};
BlendTable blendTables[16];

const uint32_t* blendTable(uint32_t fg, uint32_t bg) {
  BlendTable& t = blendTables[((fg * 0x9e3779b1u) ^ (bg * 0x85ebca6bu)) >> 28];
  if (!t.ready || t.fg != fg || t.bg != bg) {
    for (unsigned g = 0; g < 256; ++g) t.px[g] = mix(fg, bg, g);
    t.fg = fg;
    t.bg = bg;
    t.ready = true;
  }
  return t.px;
}

// Blends the foreground into the strip through a cache entry, over whatever
// is there: proportional glyphs may overlap their neighbours.  Glyphs go
// left to right, so the strip from `inkEnd` on still holds only the
// background, and there the table has every pixel.  Only the line's own
// `lineRows` rows are painted: the rest of the strip is never sent.
void paintEntry(uint32_t* dd, int lineRows, int64_t pen, const uint32_t* e, uint32_t fg,
                uint32_t bg, const uint32_t* table, int64_t* inkEnd) {
  const int rows = int(e[1] & kRowsMask);
  const int width = int(e[2]);
  const int xoff = int16_t(e[3] & 0xffff);
  const int row0 = int16_t(e[3] >> 16);
  const int64_t x0 = pen + xoff;
  const int64_t from = std::max<int64_t>(0, -x0);
  const int64_t to = std::min<int64_t>(width, kStripWidth - x0);
  if (from >= to) return;
  const int64_t clean = std::clamp<int64_t>(*inkEnd - x0, from, to);
  *inkEnd = std::max(*inkEnd, x0 + to);
  const uint8_t* cov = coverageOf(e);
  for (int r = 0; r < rows; ++r) {
    const int y = row0 + r;
    if (y < 0 || y >= lineRows) continue;
    uint32_t* dst = dd + size_t(y) * kStripWidth + x0;
    const uint8_t* m = cov + size_t(r) * width;
    for (int64_t c = from; c < clean; ++c) {
      const uint32_t old = dst[c];
      if (old == bg)
        dst[c] = table[m[c]];
      else if (m[c])
        dst[c] = mix(fg, old, m[c]);
    }
    for (int64_t c = clean; c < to; ++c) dst[c] = table[m[c]];
  }
}

// Room for `words` more words in the cache, emptying it when it is full.
// Null when the entry could never fit.
uint32_t* cacheRoom(size_t words) {
  if (!R.fcData || words > R.fcLimit) return nullptr;
  if (R.fcIn + words > R.fcLimit) {
    crapClearCache();
    ++R.resets;
  }
  uint32_t* at = R.fcData.get() + R.fcIn;
  R.fcIn += words;
  return at;
}

// Where the rendered bitmap of `slot` sits: its left edge from the pen and
// the strip row of its top.
void bitmapPlace(const GlyphFont* f, const FT_GlyphSlot slot, int* xoff, int* row) {
  const int w = int(slot->bitmap.width);
  if (f->fixedAdvance)
    *xoff = f->fixedAdvance >= w ? (f->fixedAdvance - w) / 2 : 0;
  else
    *xoff = slot->bitmap_left;
  const int r = f->baseline - slot->bitmap_top;
  *row = r < 0 || r > kRowOffsetMax ? 0 : r;
}

// Room for one uncacheable glyph (printing, or a full cache that cannot take
// it): header and the largest bitmap the strip keeps.
uint32_t scratchEntry[kHeaderWords + size_t(kStripRows) * kStripWidth / 4];

// A fresh entry for a glyph of `keep` x `w` pixels: in the cache when the
// character may be cached and there is room, else in the scratch entry.
uint32_t* newEntry(tchar c, int keep, int w) {
  uint32_t* e = (c & kPrintBit) ? nullptr : cacheRoom(entryWords(keep, w));
  return e ? e : scratchEntry;
}

// Fills in an entry's header; records it for `c` unless it is the scratch.
const uint32_t* finishEntry(GlyphFont* f, tchar c, uint32_t* e, int advance, int keep, int w,
                            int xoff, int row, bool ink) {
  e[0] = uint32_t(advance);
  e[1] = uint32_t(keep) | (ink ? 0 : kNoInk);
  e[2] = uint32_t(w);
  e[3] = uint32_t(uint16_t(int16_t(xoff))) | (uint32_t(row) << 16);
  if (e != scratchEntry) remember(f, c, e);
  return e;
}

// The glyph FreeType just rendered into the face's slot, as an entry.
const uint32_t* slotEntry(GlyphFont* f, tchar c) {
  const FT_GlyphSlot slot = f->face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  int xoff, r;
  bitmapPlace(f, slot, &xoff, &r);
  int w = std::min(int(bm.width), kStripWidth);
  int keep = std::max(0, std::min(int(bm.rows), kStripRows - r));
  if (w == 0 || keep == 0 || xoff < INT16_MIN || xoff > INT16_MAX) w = keep = 0;
  uint32_t* e = newEntry(c, keep, w);
  bool ink = false;
  auto* cov = reinterpret_cast<uint8_t*>(e + kHeaderWords);
  for (int row = 0; row < keep; ++row)
    for (int col = 0; col < w; ++col) {
      const uint8_t g = GlyphCoverage(bm, row, col);
      ink = ink || g != 0;
      *cov++ = g;
    }
  return finishEntry(f, c, e, int(slot->advance.x >> 6), keep, w, xoff, r, ink);
}

// A glyph that did not come from the font's own face, as an entry.
const uint32_t* drawnEntry(GlyphFont* f, tchar c, const CoverageGlyph& g) {
  int w = std::clamp(g.width, 0, kStripWidth);
  int keep = std::max(0, std::min(g.rows, kStripRows - std::max(g.top, 0)));
  if (w == 0 || keep == 0 || g.cov.size() < size_t(g.width) * size_t(g.rows)) w = keep = 0;
  uint32_t* e = newEntry(c, keep, w);
  bool ink = false;
  auto* cov = reinterpret_cast<uint8_t*>(e + kHeaderWords);
  for (int row = 0; row < keep; ++row)
    for (int col = 0; col < w; ++col) {
      const uint8_t v = g.cov[size_t(row) * g.width + col];
      ink = ink || v != 0;
      *cov++ = v;
    }
  return finishEntry(f, c, e, g.advance, keep, w, g.left, std::max(g.top, 0), ink);
}

bool renderFace(FT_Face face, FT_UInt index) {
  ++R.loads;
  return FT_Load_Glyph(face, index, kLoadFlags) == 0 &&
         FT_Render_Glyph(face->glyph, kRenderMode) == 0;
}

enum class Glyph { Drawn, Stop };

// Renders a character that is not in the cache, caches it when it may be,
// and draws it at the pen.  A character the face lacks comes from a
// fallback font when one has it.
Glyph renderGlyph(GlyphFont* f, tchar c, uint32_t fg, uint32_t bg, const uint32_t* table,
                  int64_t* pen, int64_t* inkEnd) {
  FT_Face face = f->face.get();
  const uint32_t* e = nullptr;
  CoverageGlyph drawn;
  const FT_UInt index = FT_Get_Char_Index(face, c & ~kPrintBit);
  // Lines and blocks as the text rows draw them (both share this font's
  // cache, so whichever draws a character first decides how it looks), and
  // what the face lacks from a fallback font; printing keeps to its font.
  if (!(c & kPrintBit) &&
      (BoxGlyph(c, f->charWidth, f->lineHeight, f->baseline, &drawn) ||
       (index == 0 && FallbackGlyph(f, c, &drawn)))) {
    if (*pen + drawn.advance > kStripWidth) return Glyph::Stop;
    e = drawnEntry(f, c, drawn);
  } else if (renderFace(face, index)) {
    // A glyph that does not fit is neither drawn nor cached.
    if (*pen + (face->glyph->advance.x >> 6) > kStripWidth) return Glyph::Stop;
    e = slotEntry(f, c);
  } else {
    // A broken glyph in a font must not end an editing session: it takes an
    // empty cell.
    if (*pen + f->charWidth > kStripWidth) return Glyph::Stop;
    *pen += f->fixedAdvance ? f->fixedAdvance : f->charWidth;
    return Glyph::Drawn;
  }
  paintEntry(StripData(), std::clamp(f->lineHeight, 0, kStripRows), *pen, e, fg, bg, table,
             inkEnd);
  *pen += f->fixedAdvance ? f->fixedAdvance : int32_t(e[0]);
  return Glyph::Drawn;
}

// ---- Cells ----------------------------------------------------------------

// The cache entry of a character, rendering it when it is not cached yet.
// Glyphs without ink are cached too, with the kNoInk mark, so that a line of
// them is not rendered again on every repaint.  Null when FreeType fails.
const uint32_t* cellEntry(GlyphFont* f, tchar c) {
  if (const uint32_t* e = cachedEntry(f, c)) return e;
  CoverageGlyph drawn;
  if (BoxGlyph(c, f->charWidth, f->lineHeight, f->baseline, &drawn)) return drawnEntry(f, c, drawn);
  FT_Face face = f->face.get();
  const FT_UInt index = FT_Get_Char_Index(face, c & ~kPrintBit);
  if (index == 0 && FallbackGlyph(f, c, &drawn)) return drawnEntry(f, c, drawn);
  if (!renderFace(face, index)) return nullptr;
  // A glyph wider than the font's cell (an arrow, the replacement character)
  // is narrowed to it, so that it shows whole; a bitmap font's glyph cannot
  // be, and is cut at the cell instead.
  const int cell = f->charWidth;
  if (cell > 0 && int(face->glyph->bitmap.width) > cell) {
    FT_Matrix narrow{FT_Fixed(int64_t(cell) * 0x10000 / face->glyph->bitmap.width), 0, 0, 0x10000};
    FT_Set_Transform(face, &narrow, nullptr);
    const bool ok = renderFace(face, index);
    FT_Set_Transform(face, nullptr, nullptr);
    if (!ok) return nullptr;
  }
  return slotEntry(f, c);
}

// Characters that are meant to look blank: the space separators.
bool blankByDesign(tchar c) {
  return c == 0xa0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200a) || c == 0x202f ||
         c == 0x205f || c == 0x3000;
}

// The mark of a character the font cannot show: a hollow box inside the cell.
void paintMissing(uint32_t* dd, int left, int cell, int rows, uint32_t fg) {
  const int x0 = left + (cell > 4 ? 1 : 0);
  const int x1 = left + cell - 1 - (cell > 4 ? 1 : 0);
  const int y0 = rows > 8 ? 2 : 0;
  const int y1 = rows - 1 - (rows > 8 ? 2 : 0);
  if (x1 < x0 || y1 < y0) return;
  for (int x = x0; x <= x1; ++x) {
    dd[size_t(y0) * kStripWidth + x] = fg;
    dd[size_t(y1) * kStripWidth + x] = fg;
  }
  for (int y = y0; y <= y1; ++y) {
    dd[size_t(y) * kStripWidth + x0] = fg;
    dd[size_t(y) * kStripWidth + x1] = fg;
  }
}

// One glyph in the cell from `left`, `cell` pixels wide: placed as the font
// places it when its advance is the cell, centred otherwise, and cut at the
// cell's edges either way.  The cell holds nothing but its background, so
// each pixel is the finished one from the pair's table.
void paintCell(uint32_t* dd, const uint32_t* e, const GlyphFont* f, int left, int cell, int rows,
               const uint32_t* table) {
  const int width = int(e[2]);
  const int keep = int(e[1] & kRowsMask);
  const int row0 = int16_t(e[3] >> 16);
  const int own = f->fixedAdvance ? f->fixedAdvance : int32_t(e[0]);
  const int xoff = own == cell ? int(int16_t(e[3] & 0xffff)) : (cell - width) / 2;
  const int from = std::max(0, -xoff);
  const int to = std::min(width, cell - xoff);
  const uint8_t* cov = coverageOf(e);
  for (int r = 0; r < keep; ++r) {
    const int y = row0 + r;
    if (y < 0 || y >= rows) continue;
    uint32_t* dst = dd + size_t(y) * kStripWidth + left + xoff;
    const uint8_t* m = cov + size_t(r) * width;
    for (int c = from; c < to; ++c) dst[c] = table[m[c]];
  }
}

int widenAndDraw(Display* dpy, unsigned long drawable, GlyphFont* f, uint32_t fg, uint32_t bg,
                 int x, int y, const char* s, int n) {
  if (!s) return 0;
  if (n < 0) n = int(strnlen(s, kImageStringMax));
  n = std::min(n, kImageStringMax);
  tchar buf[kImageStringMax];
  for (int i = 0; i < n; ++i) buf[i] = static_cast<unsigned char>(s[i]);
  return crapText(dpy, drawable, f, fg, bg, x, y, buf, n);
}

}  // namespace

std::string crapInitChecked(Display* dpy, unsigned long window) {
  if (R.initFlag) return {};
  if (std::string err = StripOpen(dpy, window); !err.empty()) return err;
  FT_Library lib = nullptr;
  if (const int err = FT_Init_FreeType(&lib)) {
    StripClose();
    return ftFailure("cannot start FreeType", err);
  }
  R.ft.reset(lib);
  R.fcData = std::make_unique_for_overwrite<uint32_t[]>(kCacheWords);
  R.fcIn = 0;
  R.initFlag = 1;
  return {};
}

void crapInit(Display* dpy, unsigned long window) {
  const std::string err = crapInitChecked(dpy, window);
  if (err.empty()) return;
  fprintf(stderr, "%s\n", err.c_str());
  exit(1);
}

void crapDeinit() {
  if (!R.initFlag) return;
  R.fontchain.reset();  // closes every face before the library goes
  font = font2 = pfont = nullptr;
  R.ft.reset();
  StripClose();
  R.fcData.reset();
  R.fcIn = 0;
  R.initFlag = 0;
}

void crapSetFont(GlyphFont*& f, const char* name, const char* path, int pixelSize,
                 int fixedAdvance, int ascentSet, int lineHeightSet) {
  if (!f) {
    auto rec = std::make_unique<GlyphFont>();
    rec->glyphs = std::make_unique<const uint32_t*[]>(kIndexSize);
    rec->next = std::move(R.fontchain);
    R.fontchain = std::move(rec);
    f = R.fontchain.get();
  }
  snprintf(f->name, sizeof f->name, "%s", name ? name : "");
  f->path = path ? path : "";
  f->pixelSize = pixelSize;
  f->fixedAdvance = fixedAdvance;
  f->ascentSet = ascentSet;
  f->lineHeightSet = lineHeightSet;
  f->face.reset();
  // Glyphs of the old settings must not be drawn with the new ones.
  clearIndex(f);
}

std::string crapOpenFontChecked(GlyphFont* f) {
  if (!f) return "vexor: no font to open";
  f->face.reset();
  clearIndex(f);
  if (!R.ft) return "vexor: cannot open font file \"" + f->path + "\": the renderer is not started";
  FT_Face face = nullptr;
  if (const int err = FT_New_Face(R.ft.get(), f->path.c_str(), 0, &face)) {
    const std::string what = "cannot open font file \"" + f->path + "\"";
    return ftFailure(what.c_str(), err);
  }
  f->face.reset(face);
  if (const int err = FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::max(f->pixelSize, 0)))) {
    f->face.reset();
    char what[400];
    snprintf(what, sizeof what, "cannot set font file \"%s\" to %d pixels", f->path.c_str(),
             f->pixelSize);
    return ftFailure(what, err);
  }
  const FT_Size_Metrics& m = face->size->metrics;
  f->ascent = int32_t(m.ascender >> 6);
  f->descent = int32_t(m.descender >> 6);
  f->baseline = f->ascentSet ? f->ascentSet : f->ascent;
  f->lineHeight = f->lineHeightSet ? f->lineHeightSet : f->ascent - f->descent;
  if (f->fixedAdvance) {
    f->spaceAdvance = f->charWidth = f->fixedAdvance;
  } else {
    f->charWidth = f->spaceAdvance = 0;
    ++R.loads;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, 'H'), kLoadFlags) == 0)
      f->charWidth = int32_t(face->glyph->advance.x >> 6);
    ++R.loads;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, ' '), kLoadFlags) == 0)
      f->spaceAdvance = int32_t(face->glyph->advance.x >> 6);
  }
  // The window geometry divides by these; a degenerate font (a size of 0, a
  // font without "H") must still give a usable cell.
  if (f->charWidth < 1) f->charWidth = std::max(1, f->spaceAdvance);
  if (f->lineHeight < 1) f->lineHeight = 1;
  return {};
}

void crapOpenFont(GlyphFont* f) {
  const std::string err = crapOpenFontChecked(f);
  if (err.empty()) return;
  fprintf(stderr, "%s\n", err.c_str());
  exit(1);
}

void crapClearCache() {
  R.fcIn = 0;
  FallbackFontsReset();
  for (GlyphFont* f = R.fontchain.get(); f; f = f->next.get()) clearIndex(f);
}

int crapText(Display* dpy, unsigned long drawable, GlyphFont* f, uint32_t fg, uint32_t bg,
             int x, int y, const tchar* s, int n) {
  if (!R.initFlag || !StripData() || !f) return 0;
  StripBegin();
  uint32_t* dd = StripData();
  const int rows = std::clamp(f->lineHeight, 0, kStripRows);
  fg &= 0xffffff;
  bg &= 0xffffff;
  std::fill_n(dd, size_t(rows) * kStripWidth, bg);
  const uint32_t* table = blendTable(fg, bg);
  int64_t pen = 0, inkEnd = 0;
  if (f->face && s) {
    for (int i = 0; i < n; ++i) {
      const tchar c = s[i];
      if (c == ' ') {
        pen += f->fixedAdvance ? f->fixedAdvance : f->spaceAdvance;
        continue;
      }
      if (const uint32_t* e = cachedEntry(f, c)) {
        const int adv = int32_t(e[0]);
        if (pen + adv > kStripWidth) break;
        paintEntry(dd, rows, pen, e, fg, bg, table, &inkEnd);
        pen += f->fixedAdvance ? f->fixedAdvance : adv;
        continue;
      }
      if (renderGlyph(f, c, fg, bg, table, &pen, &inkEnd) == Glyph::Stop) break;
    }
  }
  // Spaces may carry the pen past the strip; only the strip is sent.
  StripPut(dpy, drawable, 0, int(std::clamp<int64_t>(pen, 0, kStripWidth)), rows, x,
           y - f->baseline);
  return int(std::clamp<int64_t>(pen, INT_MIN, INT_MAX));
}

int crapCellsAt(GlyphFont* f, uint32_t fg, uint32_t bg, int stripX, const tchar* s, int n,
                int cell) {
  if (!R.initFlag || !StripData() || !f || cell < 1 || n < 1 || stripX < 0) return 0;
  if (stripX == 0) StripBegin();
  uint32_t* dd = StripData() + stripX;
  const int rows = std::clamp(f->lineHeight, 0, kStripRows);
  const int cells = std::min(n, (kStripWidth - stripX) / cell);
  if (cells <= 0) return 0;
  const int width = cells * cell;
  fg &= 0xffffff;
  bg &= 0xffffff;
  for (int r = 0; r < rows; ++r) std::fill_n(dd + size_t(r) * kStripWidth, width, bg);
  const uint32_t* table = blendTable(fg, bg);
  if (f->face && s) {
    for (int i = 0; i < cells; ++i) {
      const tchar c = s[i];
      if (c == ' ') continue;
      const uint32_t* e = cellEntry(f, c);
      // No ink: the cell must still show that something is there.
      if (!e || (e[1] & kNoInk)) {
        if (!blankByDesign(c)) paintMissing(dd, i * cell, cell, rows, fg);
        continue;
      }
      paintCell(dd, e, f, i * cell, cell, rows, table);
    }
  }
  return width;
}

void crapSendStrip(Display* dpy, unsigned long drawable, GlyphFont* f, int x, int y, int width) {
  const int rows = f ? std::clamp(f->lineHeight, 0, kStripRows) : 0;
  width = std::min(width, kStripWidth);
  StripPut(dpy, drawable, 0, width, rows, x, y - f->baseline);
}

int crapCells(Display* dpy, unsigned long drawable, GlyphFont* f, uint32_t fg, uint32_t bg,
              int x, int y, const tchar* s, int n, int cell) {
  const int width = crapCellsAt(f, fg, bg, 0, s, n, cell);
  crapSendStrip(dpy, drawable, f, x, y, width);
  return width;
}

void crapFill(Display* dpy, unsigned long drawable, uint32_t colour, int x, int y, int w, int h) {
  StripFill(dpy, drawable, colour, x, y, w, h);
}

int CrapDrawImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x,
                        int y, const tchar* s, int n) {
  return crapText(dpy, drawable, font, fg, bg, x, y, s, n);
}

int fontImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                    const char* s, int n) {
  return widenAndDraw(dpy, drawable, font, fg, bg, x, y, s, n);
}

int font2ImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                     const char* s, int n) {
  return widenAndDraw(dpy, drawable, font2, fg, bg, x, y, s, n);
}

int utf2ImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                    const char* utf, int n) {
  if (!utf) return 0;
  // Decoded here rather than with utftotstr, which needs room for every
  // input byte: the characters beyond the limit are simply not decoded.
  const int bytes = n > 0 ? n : int(strlen(utf));
  const auto* p = reinterpret_cast<const uint8_t*>(utf);
  tchar buf[kImageStringMax];
  int count = 0;
  for (int i = 0; i < bytes && count < kImageStringMax;) {
    int len = 1;
    buf[count++] = uni8(p + i, bytes - i, &len);
    i += len > 0 ? len : 1;
  }
  crapText(dpy, drawable, font2, fg, bg, x, y, buf, count);
  return 0;
}

int crapWidth(GlyphFont* f, const char* s, int n) {
  if (!f || !s) return 0;
  if (n < 0) n = int(strlen(s));
  int width = 0;
  for (int i = 0; i < n; ++i) {
    const unsigned c = static_cast<unsigned char>(s[i]);
    if (c == ' ') {
      width += f->spaceAdvance;
    } else if (f->glyphs && f->glyphs[c]) {
      width += int32_t(f->glyphs[c][0]);
    } else if (f->face) {
      FT_Face face = f->face.get();
      ++R.loads;
      if (FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_BITMAP_METRICS_ONLY) == 0)
        width += int(face->glyph->advance.x >> 6);
    }
  }
  return width;
}

int crapPageCheck(GlyphFont* f, int page) {
  if (!f || !f->face || page < 0 || page > 0x10ffff / 256) return 0;
  for (FT_ULong c = FT_ULong(page) * 256; c < FT_ULong(page) * 256 + 256; ++c)
    if (FT_Get_Char_Index(f->face.get(), c) != 0) return 1;
  return 0;
}

const uint32_t* crapStrip() { return StripData(); }

uint64_t crapGlyphLoads() { return R.loads; }
uint64_t crapImagesSent() { return StripImagesSent(); }

size_t crapCacheUsed() { return R.fcIn * 4; }

uint64_t crapCacheResets() { return R.resets; }

void crapSetCacheLimit(size_t bytes) {
  R.fcLimit = (bytes == 0 || bytes >= kGlyphCacheBytes) ? kCacheWords : bytes / 4;
  if (R.fcIn > R.fcLimit) crapClearCache();
}
