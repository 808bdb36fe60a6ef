// The glyph renderer, driven without a display: strings are composed into the
// strip in memory and checked pixel by pixel.
#include "display/glyph_renderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/fontconfig_api.h"
#include "display/fallback_fonts.h"
#include "tests/support/test_display.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::vector<tchar> T(const std::string& s) {
  std::vector<tchar> out;
  for (unsigned char c : s) out.push_back(c);
  return out;
}

uint32_t Px(int x, int y) { return crapStrip()[y * kStripWidth + x]; }

std::vector<uint32_t> Strip() {
  return std::vector<uint32_t>(crapStrip(), crapStrip() + kStripWidth * kStripRows);
}

// Columns [first, last] holding any pixel other than `bg` in rows [0, rows);
// first > last when there is none.
std::pair<int, int> InkSpan(uint32_t bg, int rows, int from = 0, int to = kStripWidth) {
  int first = to, last = from - 1;
  for (int y = 0; y < std::min(rows, kStripRows); ++y)
    for (int x = from; x < to; ++x)
      if (Px(x, y) != bg) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

bool Inked(uint32_t bg, int rows, int from, int to) {
  auto [first, last] = InkSpan(bg, rows, from, to);
  return first <= last;
}

// How far pixel `px` lies from fg over bg at coverage g (0..255), in the
// worst channel: the exact value is bg + (fg - bg) x g / 255.
double BlendError(uint32_t px, uint32_t fg, uint32_t bg, uint32_t g) {
  double worst = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double f = fg >> shift & 0xff, b = bg >> shift & 0xff;
    worst = std::max(worst, std::abs(double(px >> shift & 0xff) - (b + (f - b) * g / 255.0)));
  }
  return px >> 24 ? 1e9 : worst;
}

// Each channel of px between those of a and b.
bool Between(uint32_t px, uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t v = px >> shift & 0xff, x = a >> shift & 0xff, y = b >> shift & 0xff;
    if (v < std::min(x, y) || v > std::max(x, y)) return false;
  }
  return px >> 24 == 0;
}

// Colour pairs where channels rise and fall at once, and an equal pair.
const std::pair<uint32_t, uint32_t> kPairs[] = {
    {0x000000, 0xffffff}, {0xff12f0a5, 0xc3570f}, {0x20c040, 0xd02080},
    {0x0000ff, 0xffff00}, {0xe0e0e0, 0x102030}, {0x808080, 0x808080}};

class GlyphRenderer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono) || !std::filesystem::exists(kSans))
      GTEST_SKIP() << "DejaVu fonts missing (package fonts-dejavu-core)";
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
  }
  void TearDown() override {
    crapSetCacheLimit(0);
    crapDeinit();
  }
  GlyphFont* Open(const char* path, int size, int fixed = 0, int ascent = 0, int line = 0) {
    GlyphFont* f = nullptr;
    crapSetFont(f, "test", path, size, fixed, ascent, line);
    EXPECT_EQ(crapOpenFontChecked(f), "");
    return f;
  }
  int Draw(GlyphFont* f, const std::vector<tchar>& s, uint32_t fg = 0xffffff, uint32_t bg = 0) {
    return crapText(nullptr, 0, f, fg, bg, 0, 0, s.data(), int(s.size()));
  }
};

TEST_F(GlyphRenderer, MetricsFollowTheFontUnlessSet) {
  GlyphFont* f = Open(kMono, 16);
  EXPECT_GT(f->ascent, 0);
  EXPECT_LT(f->descent, 0);
  EXPECT_EQ(f->baseline, f->ascent);
  EXPECT_EQ(f->lineHeight, f->ascent - f->descent);
  EXPECT_EQ(f->charWidth, crapWidth(f, "H", 1));
  EXPECT_EQ(f->spaceAdvance, f->charWidth);  // monospaced

  GlyphFont* g = Open(kMono, 16, 12, 11, 25);
  EXPECT_EQ(g->baseline, 11);
  EXPECT_EQ(g->lineHeight, 25);
  EXPECT_EQ(g->charWidth, 12);
  EXPECT_EQ(g->spaceAdvance, 12);
}

TEST_F(GlyphRenderer, SpacesPaintOnlyBackground) {
  for (int fixed : {0, 13}) {
    GlyphFont* f = Open(kSans, 16, fixed);
    Draw(f, T("MMMMMMMM"), 0xffffff, 0);  // leave ink behind in the strip
    const int w = crapText(nullptr, 0, f, 0xffffff, 0xff123456, 0, 0, T("     ").data(), 5);
    EXPECT_EQ(w, 5 * (fixed ? fixed : f->spaceAdvance));
    // The strip holds 0x00RRGGBB: the colour's top byte does not reach it.
    EXPECT_FALSE(Inked(0x123456, f->lineHeight, 0, kStripWidth)) << "fixed " << fixed;
  }
}

TEST_F(GlyphRenderer, NarrowGlyphIsCentredInItsFixedCell) {
  GlyphFont* f = Open(kMono, 16, 20);
  EXPECT_EQ(Draw(f, T("ii")), 40);
  for (int cell = 0; cell < 2; ++cell) {
    auto [first, last] = InkSpan(0, f->lineHeight, cell * 20, cell * 20 + 20);
    ASSERT_LE(first, last);
    EXPECT_NEAR((first + last) / 2.0, cell * 20 + 9.5, 1.0) << "cell " << cell;
  }
  // A glyph wider than its cell starts at the cell's left edge.
  GlyphFont* narrow = Open(kMono, 16, 5);
  Draw(narrow, T(" W"));
  auto [first, last] = InkSpan(0, narrow->lineHeight);
  EXPECT_LE(first, 5 + 1);
  EXPECT_GE(first, 5);
  EXPECT_GT(last, 10);  // it spills over into the next cell
}

TEST_F(GlyphRenderer, StringIsCutAtTheStripEdge) {
  GlyphFont* f = Open(kMono, 16);
  const int adv = f->charWidth;
  const int fit = kStripWidth / adv;
  std::string text(fit, 'M');
  text += "Q";  // the first character that does not fit
  text += std::string(100, 'M');
  EXPECT_EQ(Draw(f, T(text)), fit * adv);
  EXPECT_LT(InkSpan(0, f->lineHeight).second, fit * adv);
  // Q was neither drawn nor cached: drawing it alone goes to FreeType.
  const uint64_t loads = crapGlyphLoads();
  Draw(f, T("Q"));
  EXPECT_EQ(crapGlyphLoads(), loads + 1);

  // Spaces are not width-tested: the pen may run past the strip.
  EXPECT_EQ(Draw(f, T(std::string(300, ' '))), 300 * adv);
}

TEST_F(GlyphRenderer, GlyphsAreClippedToTheStrip) {
  // Ink outside the strip must not wrap into a neighbouring row: the strip
  // rows are contiguous, so a pixel at column -1 would land on column 2047
  // of the row above, one at 2048 on column 0 of the row below.
  GlyphFont* sans = Open(kSans, 16, 0, 0, 30);
  for (const char* s : {"j", "_", "jj", "/"}) {
    Draw(sans, T(s));
    EXPECT_FALSE(Inked(0, kStripRows, kStripWidth - 64, kStripWidth)) << s;
  }
  // A glyph far narrower than its fixed cell: its own advance fits at the
  // end, its centred bitmap lies beyond column 2047.
  GlyphFont* wide = Open(kSans, 16, 40, 0, 30);
  for (int cached = 0; cached < 2; ++cached) {
    std::string text(kStripWidth / 40, ' ');
    text += "i";
    EXPECT_EQ(Draw(wide, T(text)), int(text.size()) * 40);
    EXPECT_FALSE(Inked(0, kStripRows, 0, 1000)) << "cached " << cached;
  }
  // Trailing spaces keep sweeping the last glyph across the right edge.
  for (int spaces = 395; spaces < 410; ++spaces) {
    std::string text(spaces, ' ');
    Draw(sans, T(text + "W_j"));
    EXPECT_FALSE(Inked(0, kStripRows, 0, 1000)) << spaces;
  }
}

// The last row of the line's ink: the bitmap row FreeType gives for c.
int LastGlyphRow(GlyphFont* f, tchar c) {
  FT_Face face = f->face.get();
  EXPECT_EQ(FT_Load_Char(face, c, FT_LOAD_RENDER), 0);
  return f->baseline - face->glyph->bitmap_top + int(face->glyph->bitmap.rows) - 1;
}

TEST_F(GlyphRenderer, EveryRowOfATallLineIsPaintedAndGlyphsReachTheirLastRow) {
  // The largest text size the font settings allow, and a large line space.
  GlyphFont* big = Open(kMono, 50);
  GlyphFont* spaced = Open(kMono, 16, 0, 0, 50);
  ASSERT_GT(big->lineHeight, 50);
  ASSERT_LE(big->lineHeight, kStripRows);
  EXPECT_EQ(spaced->lineHeight, 50);
  const uint32_t fg = 0xffffff, bg = 0x101010;
  for (GlyphFont* f : {big, spaced}) {
    const int cw = f->charWidth;
    for (int cells = 0; cells < 2; ++cells) {
      const auto text = T("M|g");
      const int w = cells ? crapCellsAt(f, fg, bg, 0, text.data(), 3, cw) : Draw(f, text, fg, bg);
      EXPECT_EQ(w, 3 * cw);
      // No band: the line's last row is painted in the row's colours.
      for (int y = 0; y < f->lineHeight; ++y) ASSERT_EQ(Px(w - 1, y), bg) << "row " << y;
      for (tchar c : {tchar('|'), tchar('g')}) {
        const int at = c == '|' ? cw : 2 * cw;
        const int last = std::min(LastGlyphRow(f, c), f->lineHeight - 1);
        bool lastRowInked = false;
        for (int x = at; x < at + cw; ++x) lastRowInked |= Px(x, last) != bg;
        EXPECT_TRUE(lastRowInked) << "cells " << cells << " char " << char(c) << " row " << last;
      }
    }
  }
  EXPECT_GE(LastGlyphRow(big, '|'), 50);  // far below the old 30-row strip

  // A shorter line leaves the rows below it alone.
  GlyphFont* plain = Open(kMono, 16);
  Draw(spaced, T("x"), 0xffffff, 0x202020);
  Draw(plain, T("x"), 0xffffff, 0x303030);
  EXPECT_EQ(Px(kStripWidth - 1, plain->lineHeight - 1), 0x303030u);
  EXPECT_EQ(Px(kStripWidth - 1, plain->lineHeight), 0x202020u);
}

TEST_F(GlyphRenderer, EachGlyphGoesThroughFreeTypeOnce) {
  GlyphFont* f = Open(kMono, 16);
  const auto text = T("Hello, world");  // 8 distinct glyphs and a space
  uint64_t loads = crapGlyphLoads();
  Draw(f, text, 0x00ff00, 0x000080);
  EXPECT_EQ(crapGlyphLoads() - loads, 8u);
  const std::vector<uint32_t> first = Strip();
  loads = crapGlyphLoads();
  for (int i = 0; i < 100; ++i) Draw(f, text, 0x00ff00, 0x000080);
  EXPECT_EQ(crapGlyphLoads(), loads);
  EXPECT_EQ(Strip(), first);  // the cached masks give the same pixels

  // The cache is per font: another size renders its own glyphs.
  GlyphFont* g = Open(kMono, 20);
  loads = crapGlyphLoads();
  Draw(g, T("Hello"));
  EXPECT_EQ(crapGlyphLoads() - loads, 4u);

  // Beyond the 16-bit range (emoji, mathematical letters) glyphs are cached
  // like the others, by crapText and by the cells alike; with bit 31 set
  // (printing) every drawing goes to FreeType, and bit 31 does not change
  // the glyph.  The font's own glyphs are meant here, not another font's.
  FcApiPretendMissing(true);
  FallbackFontsRestart();
  Draw(f, {'A'});
  const std::vector<uint32_t> plainA = Strip();
  const std::vector<tchar> wide = {0x1F600u, 0x1D400u, 0x10FFFFu};
  loads = crapGlyphLoads();
  Draw(f, wide, 0xfff0c0, 0x400020);
  const std::vector<uint32_t> wideFirst = Strip();
  EXPECT_EQ(crapGlyphLoads() - loads, 3u);
  loads = crapGlyphLoads();
  for (int i = 0; i < 3; ++i) Draw(f, {0x80000041u, 0x1F600u, 0x1D400u, 0x10FFFFu});
  EXPECT_EQ(crapGlyphLoads() - loads, 3u);
  for (int i = 0; i < 3; ++i) crapCellsAt(f, 0xffffff, 0, 0, wide.data(), 3, f->charWidth);
  EXPECT_EQ(crapGlyphLoads() - loads, 3u);
  Draw(f, wide, 0xfff0c0, 0x400020);
  EXPECT_EQ(Strip(), wideFirst);
  Draw(f, {0x80000041u});
  EXPECT_EQ(Strip(), plainA);
  // Emptying the cache forgets them.
  crapClearCache();
  loads = crapGlyphLoads();
  Draw(f, {0x1D400u, 0x1D400u});
  EXPECT_EQ(crapGlyphLoads() - loads, 1u);
  FcApiPretendMissing(false);
  FallbackFontsRestart();
}

TEST_F(GlyphRenderer, ChangingAFontDropsItsOldGlyphs) {
  GlyphFont* f = Open(kMono, 16);
  Draw(f, T("M"));
  const int smallWidth = InkSpan(0, f->lineHeight).second;
  crapSetFont(f, "test", kMono, 26, 0, 0, 0);  // same record, no cache clear
  ASSERT_EQ(crapOpenFontChecked(f), "");
  Draw(f, T("M"));
  EXPECT_GT(InkSpan(0, f->lineHeight).second, smallWidth);
}

// The chart's pick line draws with crapText, the text rows with cells, and
// both share the font's cache: a line character must reach the cell's edges
// whichever drew it first.
TEST_F(GlyphRenderer, LineCharactersFillTheCellWhicheverPathDrawsThemFirst) {
  // Lines spaced wider than the font's own box glyphs reach.
  GlyphFont* f = Open(kMono, 16, 10, 0, 26);
  const int cw = f->charWidth;
  const tchar bar[] = {0x2502};
  auto endsInked = [&] {
    bool top = false, bottom = false;
    for (int x = 0; x < cw; ++x) {
      top = top || Px(x, 0) != 0;
      bottom = bottom || Px(x, f->lineHeight - 1) != 0;
    }
    return top && bottom;
  };
  for (bool textFirst : {true, false}) {
    crapClearCache();
    if (textFirst) {
      Draw(f, {0x2502});
      EXPECT_TRUE(endsInked()) << "crapText";
    }
    crapCellsAt(f, 0xffffff, 0, 0, bar, 1, cw);
    EXPECT_TRUE(endsInked()) << "cells, crapText first: " << textFirst;
    Draw(f, {0x2502});
    EXPECT_TRUE(endsInked()) << "crapText after cells, crapText first: " << textFirst;
  }
}

TEST_F(GlyphRenderer, FullCacheIsEmptiedAndRefilled) {
  GlyphFont* f = Open(kMono, 16);
  const std::string probe = "The quick brown fox";
  Draw(f, T(probe), 0xffffff, 0);
  const std::vector<uint32_t> expected = Strip();
  // Glyphs above U+FFFF must not outlive the cache they point into.
  const std::vector<tchar> wideProbe = {0x1D400u, 0x1D4B6u, 0x1F600u};
  Draw(f, wideProbe, 0xffffff, 0);
  const std::vector<uint32_t> wideExpected = Strip();

  crapSetCacheLimit(20000);
  const uint64_t resets = crapCacheResets();
  for (tchar c = 0x21; c < 0x250; ++c) {
    Draw(f, {c, c, c});
    ASSERT_LE(crapCacheUsed(), 20000u);
  }
  EXPECT_GT(crapCacheResets(), resets);
  Draw(f, T(probe), 0xffffff, 0);
  EXPECT_EQ(Strip(), expected);
  Draw(f, wideProbe, 0xffffff, 0);
  EXPECT_EQ(Strip(), wideExpected);
  // Refilled: the glyph is cached again after one load.
  crapClearCache();
  uint64_t loads = crapGlyphLoads();
  Draw(f, T("Z"));
  Draw(f, T("Z"));
  EXPECT_EQ(crapGlyphLoads() - loads, 1u);

  // An entry larger than the whole cache is drawn, just never cached.
  crapSetCacheLimit(64);
  loads = crapGlyphLoads();
  Draw(f, T(probe), 0xffffff, 0);
  Draw(f, T(probe), 0xffffff, 0);
  EXPECT_EQ(Strip(), expected);
  EXPECT_EQ(crapGlyphLoads() - loads, 2u * 16);  // 16 non-spaces
  EXPECT_EQ(crapCacheUsed(), 0u);
}

TEST_F(GlyphRenderer, FullSizeCacheFillsAndEmpties) {
  // Baseline 1 keeps some hundred rows of each glyph: entries of kilobytes.
  GlyphFont* f = Open(kMono, 100, 0, 1);
  const uint64_t resets = crapCacheResets();
  for (tchar c = 0x100; c < 0x900 && crapCacheResets() == resets; c += 16) {
    std::vector<tchar> s;
    for (tchar k = 0; k < 16; ++k) s.push_back(c + k);
    Draw(f, s);
    ASSERT_LE(crapCacheUsed(), kGlyphCacheBytes);
  }
  EXPECT_GT(crapCacheResets(), resets);
}

TEST_F(GlyphRenderer, GlyphPixelsBlendTheTwoColoursByCoverage) {
  GlyphFont* sans = Open(kSans, 22);
  GlyphFont* mono = Open(kMono, 22);
  const auto text = T("Ag%@W|");
  const int n = int(text.size());
  const int cw = mono->charWidth;
  // String and cell rows, from the renderer and then from the cache.
  auto draw = [&](int way, uint32_t fg, uint32_t bg) {
    if (way == 0) return Draw(sans, text, fg, bg);
    const int w = crapCellsAt(mono, fg, bg, 0, text.data(), 2, cw);
    return w + crapCellsAt(mono, fg, bg, w, text.data() + 2, n - 2, cw);
  };
  for (int way = 0; way < 2; ++way) {
    GlyphFont* f = way ? mono : sans;
    crapClearCache();
    // White on black shows each pixel's coverage in all three bytes.
    const int width = draw(way, 0xffffff, 0);
    const std::vector<uint32_t> cover = Strip();
    int partial = 0;
    for (int y = 0; y < f->lineHeight; ++y)
      for (int x = 0; x < width; ++x) {
        const uint32_t g = cover[y * kStripWidth + x] & 0xff;
        ASSERT_EQ(cover[y * kStripWidth + x], g * 0x010101u);
        partial += g > 0 && g < 255;
      }
    ASSERT_GT(partial, 50);
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 0) crapClearCache();
      for (auto [fg, bg] : kPairs) {
        draw(way, fg, bg);
        for (int y = 0; y < f->lineHeight; ++y)
          for (int x = 0; x < width; ++x) {
            const uint32_t g = cover[y * kStripWidth + x] & 0xff;
            const uint32_t px = Px(x, y);
            ASSERT_LE(BlendError(px, fg, bg, g), 0.5)
                << std::hex << px << " fg " << fg << " bg " << bg << " cov " << g << std::dec
                << " way " << way << " pass " << pass << " at " << x << "," << y;
            // Black on white stays exactly as it always was.
            if (fg == 0 && bg == 0xffffff) {
              ASSERT_EQ(px, 0xffffff - g * 0x010101u);
            }
          }
      }
    }
  }

  // Glyphs that overlap blend over each other: every pixel stays between the
  // colours, and on black the ink of both is at least that of either.
  GlyphFont* tight = Open(kSans, 22, 6);
  Draw(tight, T("W"));
  const std::vector<uint32_t> one = Strip();
  Draw(tight, T("WW"));
  const std::vector<uint32_t> two = Strip();
  int overlap = 0;
  for (int y = 0; y < tight->lineHeight; ++y)
    for (int x = 6; x < 40; ++x) {
      const uint32_t a = one[y * kStripWidth + x] & 0xff, b = one[y * kStripWidth + x - 6] & 0xff;
      ASSERT_GE(two[y * kStripWidth + x] & 0xff, std::max(a, b)) << x << "," << y;
      overlap += a > 0 && b > 0;
    }
  ASSERT_GT(overlap, 0);
  for (auto [fg, bg] : kPairs) {
    Draw(tight, T("WWWW"), fg, bg);
    for (int i = 0; i < tight->lineHeight * kStripWidth; ++i)
      ASSERT_TRUE(Between(crapStrip()[i], fg, bg)) << std::hex << crapStrip()[i] << " " << fg;
  }
}

TEST_F(GlyphRenderer, MissingFontFileIsReportedByName) {
  GlyphFont* f = nullptr;
  crapSetFont(f, "none", "/nonexistent/dir/NoSuch.ttf", 16, 0, 0, 0);
  const std::string err = crapOpenFontChecked(f);
  EXPECT_EQ(err,
            "vexor: cannot open font file \"/nonexistent/dir/NoSuch.ttf\": cannot open resource "
            "(FreeType error 1)");
  EXPECT_EQ(f->face, nullptr);
  EXPECT_EQ(crapText(nullptr, 0, f, 0, 0, 0, 0, T("x").data(), 1), 0);  // closed font: no-op

  const std::string notFont = ::testing::TempDir() + "not_a_font.ttf";
  std::ofstream(notFont) << "plain text, not a font\n";
  crapSetFont(f, "none", notFont.c_str(), 16, 0, 0, 0);
  EXPECT_THAT(crapOpenFontChecked(f),
              ::testing::AllOf(::testing::HasSubstr(notFont), ::testing::HasSubstr("unknown file format")));
  std::remove(notFont.c_str());
}

TEST_F(GlyphRenderer, FailingToOpenAFontEndsTheProcessWithAMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  GlyphFont* f = nullptr;
  crapSetFont(f, "none", "/nonexistent/NoSuch.ttf", 16, 0, 0, 0);
  EXPECT_EXIT(crapOpenFont(f), ::testing::ExitedWithCode(1),
              "^vexor: cannot open font file \"/nonexistent/NoSuch.ttf\": cannot open resource");
}

TEST(GlyphRendererStart, OpeningAFontBeforeStartIsAnError) {
  GlyphFont* f = nullptr;
  crapSetFont(f, "early", kMono, 16, 0, 0, 0);
  EXPECT_THAT(crapOpenFontChecked(f), ::testing::HasSubstr("not started"));
  EXPECT_EQ(crapStrip(), nullptr);
}

// Copies DejaVu Sans Mono with the outline of "A" damaged, so that FreeType
// opens the font but cannot load that one glyph.
std::string DamagedFont() {
  std::ifstream in(kMono, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  auto be16 = [&](size_t at) { return unsigned(b.at(at) << 8 | b.at(at + 1)); };
  auto be32 = [&](size_t at) { return be16(at) << 16 | be16(at + 2); };
  size_t glyf = 0, loca = 0, head = 0;
  for (unsigned i = 0, n = be16(4); i < n; ++i) {
    const size_t t = 12 + 16 * i;
    const std::string tag(b.begin() + t, b.begin() + t + 4);
    if (tag == "glyf") glyf = be32(t + 8);
    if (tag == "loca") loca = be32(t + 8);
    if (tag == "head") head = be32(t + 8);
  }
  if (!glyf || !loca || !head) return {};
  // Glyph index of "A" in this font, found through the renderer's own face.
  GlyphFont* probe = nullptr;
  crapSetFont(probe, "probe", kMono, 16, 0, 0, 0);
  if (crapOpenFontChecked(probe) != "") return {};
  const unsigned index = FT_Get_Char_Index(probe->face.get(), 'A');
  const size_t at = glyf + (be16(head + 50) ? be32(loca + 4 * index) : 2 * be16(loca + 2 * index));
  b.at(at) = 0x7f;  // 32767 contours
  b.at(at + 1) = 0xff;
  for (int k = 10; k < 40; ++k) b.at(at + k) = 0xff;
  const std::string path = ::testing::TempDir() + "damaged_mono.ttf";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(b.data()), b.size());
  return path;
}

TEST_F(GlyphRenderer, DamagedGlyphTakesAnEmptyCellInsteadOfEndingTheProcess) {
  const std::string path = DamagedFont();
  if (path.empty()) GTEST_SKIP() << "font layout not understood";
  GlyphFont* f = Open(path.c_str(), 16);
  ASSERT_NE(f->face, nullptr);
  if (FT_Load_Glyph(f->face.get(), FT_Get_Char_Index(f->face.get(), 'A'), 0) == 0)
    GTEST_SKIP() << "FreeType accepted the damaged glyph";
  EXPECT_EQ(Draw(f, T("BAB")), 3 * f->charWidth);
  // The damaged cell is empty; its neighbours are drawn.
  EXPECT_FALSE(Inked(0, f->lineHeight, f->charWidth, 2 * f->charWidth));
  EXPECT_TRUE(Inked(0, f->lineHeight, 2 * f->charWidth, 3 * f->charWidth));
  std::remove(path.c_str());
}

TEST_F(GlyphRenderer, ByteAndUtf8StringsDrawTheirCharacters) {
  font = Open(kMono, 16);
  font2 = Open(kSans, 16);
  crapText(nullptr, 0, font2, 0xffffff, 0, 0, 0, std::vector<tchar>{'a', 0x20ac, 'b'}.data(), 3);
  const std::vector<uint32_t> euro = Strip();
  EXPECT_EQ(utf2ImageString(nullptr, 0, 0xffffff, 0, 0, 0, "a\xe2\x82\xac" "b", 5), 0);
  EXPECT_EQ(Strip(), euro);
  utf2ImageString(nullptr, 0, 0xffffff, 0, 0, 0, "a\xe2\x82\xac" "b", 0);  // 0: whole string
  EXPECT_EQ(Strip(), euro);

  // A sequence cut by the length reads nothing beyond: its bytes are no
  // character and stand for themselves, as does a stray byte 0xFF.
  crapText(nullptr, 0, font2, 0xffffff, 0, 0, 0, std::vector<tchar>{0xDCE2, 0xDC82}.data(), 2);
  const std::vector<uint32_t> cut = Strip();
  const char truncated[2] = {'\xe2', '\x82'};
  utf2ImageString(nullptr, 0, 0xffffff, 0, 0, 0, truncated, 2);
  EXPECT_EQ(Strip(), cut);
  crapText(nullptr, 0, font2, 0xffffff, 0, 0, 0, std::vector<tchar>{0xDCFF}.data(), 1);
  const std::vector<uint32_t> del = Strip();
  utf2ImageString(nullptr, 0, 0xffffff, 0, 0, 0, "\xff", 1);
  EXPECT_EQ(Strip(), del);

  // Bytes are Latin-1 code points; -1 draws up to the NUL.
  crapText(nullptr, 0, font, 0xffffff, 0, 0, 0, std::vector<tchar>{0xe9, 'x'}.data(), 2);
  const std::vector<uint32_t> latin = Strip();
  EXPECT_EQ(fontImageString(nullptr, 0, 0xffffff, 0, 0, 0, "\xe9x", 2), 2 * font->charWidth);
  EXPECT_EQ(Strip(), latin);
  EXPECT_EQ(font2ImageString(nullptr, 0, 0xffffff, 0, 0, 0, "Menu", -1),
            crapWidth(font2, "Menu", 4));
  EXPECT_EQ(CrapDrawImageString(nullptr, 0, 0xffffff, 0, 0, 0, T("ab").data(), 2),
            2 * font->charWidth);
  // Overlong strings are cut at 1501 characters, not at the caller's length.
  const std::string longText(5000, ' ');
  EXPECT_EQ(fontImageString(nullptr, 0, 0, 0, 0, 0, longText.c_str(), 5000),
            kImageStringMax * font->charWidth);
}

TEST_F(GlyphRenderer, WidthMeasuresWithoutCaching) {
  GlyphFont* f = Open(kSans, 16);
  const int measured = crapWidth(f, "Hello, world", 12);
  uint64_t loads = crapGlyphLoads();
  EXPECT_EQ(crapWidth(f, "Hello, world", -1), measured);
  EXPECT_EQ(crapGlyphLoads() - loads, 11u);  // every non-space again: nothing cached
  EXPECT_EQ(Draw(f, T("Hello, world")), measured);
  loads = crapGlyphLoads();
  EXPECT_EQ(crapWidth(f, "Hello, world", 12), measured);  // now from the cache
  EXPECT_EQ(crapGlyphLoads(), loads);
}

TEST_F(GlyphRenderer, PageCheckFindsPagesWithGlyphs) {
  GlyphFont* f = Open(kMono, 16);
  EXPECT_EQ(crapPageCheck(f, 0), 1);
  EXPECT_EQ(crapPageCheck(f, 0x25), 1);  // box drawing
  EXPECT_EQ(crapPageCheck(f, 0xd8), 0);  // surrogates
  EXPECT_EQ(crapPageCheck(f, -1), 0);
  EXPECT_EQ(crapPageCheck(nullptr, 0), 0);
}

TEST_F(GlyphRenderer, DeinitReleasesFontsAndAllowsARestart) {
  font = Open(kMono, 16);
  pfont = Open(kMono, 12);
  crapDeinit();
  EXPECT_EQ(font, nullptr);
  EXPECT_EQ(pfont, nullptr);
  EXPECT_EQ(crapStrip(), nullptr);
  EXPECT_EQ(CrapDrawImageString(nullptr, 0, 0, 0, 0, 0, T("x").data(), 1), 0);
  ASSERT_EQ(crapInitChecked(nullptr, 0), "");
  GlyphFont* f = Open(kMono, 16);
  EXPECT_EQ(Draw(f, T("ok")), 2 * f->charWidth);
}

// With an X server at hand, the strip must reach the drawable unchanged.
TEST(GlyphRendererDisplay, StripIsSentWithItsPixels) {
  if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
  Display* dpy = vt::OpenTestDisplay();
  if (!dpy) GTEST_SKIP() << "no X display";
  const int scr = DefaultScreen(dpy);
  if (DefaultDepth(dpy, scr) != 24) {
    XCloseDisplay(dpy);
    GTEST_SKIP() << "display is not 24 bits deep";
  }
  const Window win =
      XCreateSimpleWindow(dpy, RootWindow(dpy, scr), 0, 0, 300, 90, 0, 0, 0xffffff);
  const Pixmap target = XCreatePixmap(dpy, win, 300, 90, 24);
  ASSERT_EQ(crapInitChecked(dpy, win), "");
  // Every row of the line reaches the drawable, at the largest size too.
  for (int size : {16, 50}) {
    GlyphFont* f = nullptr;
    crapSetFont(f, "test", kMono, size, 0, 0, 0);
    ASSERT_EQ(crapOpenFontChecked(f), "");
    const int w = crapText(dpy, target, f, 0x204080, 0xf0e0d0, 10, 5 + f->baseline,
                           T("Sent|").data(), 5);
    XImage* back = XGetImage(dpy, target, 10, 5, w, f->lineHeight, AllPlanes, ZPixmap);
    ASSERT_NE(back, nullptr);
    for (int y = 0; y < f->lineHeight; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(XGetPixel(back, x, y) & 0xffffff, Px(x, y)) << x << "," << y << " size " << size;
    XDestroyImage(back);
  }
  crapDeinit();
  XFreePixmap(dpy, target);
  XDestroyWindow(dpy, win);
  XCloseDisplay(dpy);
}

}  // namespace
