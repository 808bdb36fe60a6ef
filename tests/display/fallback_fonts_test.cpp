// Characters the text font lacks come from other fonts: maths signs, CJK,
// kana, Georgian, Ethiopic, Braille and emoji show as glyphs inside their
// cells, on the text's baseline, and only a character no font has keeps the
// missing-glyph box.  fontconfig sees only the pinned font packages, through
// a configuration of the test's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "config/fontconfig_api.h"
#include "display/fallback_fonts.h"
#include "display/glyph_renderer.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
// The packages the pictures come from, by one file of each.
const char* const kPinned[] = {
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",              // fonts-wqy-microhei
    "/usr/share/fonts/truetype/freefont/FreeSerif.ttf",            // fonts-freefont-ttf
    "/usr/share/fonts/truetype/ancient-scripts/Symbola_hint.ttf",  // fonts-symbola
    "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf",           // fonts-noto-color-emoji
};
constexpr tchar kNobody = 0x10fffd;  // private use: no font has it
constexpr uint32_t kFg = 0x000000, kBg = 0xffffff;

// ∑ ∏ ⋅ ∮, an ideograph, hiragana, katakana, Georgian, Ethiopic, Braille,
// an emoji.
const std::vector<tchar> kShown = {0x2211, 0x220f, 0x22c5, 0x222e, 0x4e2d, 0x3042,
                                   0x30a2, 0x10d0, 0x1200, 0x283f, 0x1f600};

class Fallback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir = std::make_unique<vt::TempDir>(); }
  static void TearDownTestSuite() { dir.reset(); }

  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    for (const char* file : kPinned)
      if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " missing (scripts/install-deps.sh)";
    Pin({"dejavu", "wqy", "freefont", "ancient-scripts", "noto"});
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    f = Open(18);
  }
  void TearDown() override {
    FcApiPretendMissing(false);
    crapDeinit();
    unsetenv("FONTCONFIG_FILE");
    FallbackFontsRestart();
  }

  // fontconfig sees these folders of /usr/share/fonts/truetype only.
  static void Pin(const std::vector<std::string>& folders) {
    const std::string conf = dir->file("fonts.conf");
    std::ofstream out(conf);
    out << "<?xml version=\"1.0\"?>\n<fontconfig>\n";
    for (const std::string& d : folders) out << "  <dir>/usr/share/fonts/truetype/" << d << "</dir>\n";
    out << "  <cachedir>" << dir->file("cache") << "</cachedir>\n</fontconfig>\n";
    out.close();
    setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    FallbackFontsRestart();
  }
  static GlyphFont* Open(int size, int ascent = 0, int line = 0) {
    GlyphFont* g = nullptr;
    crapSetFont(g, "test", kMono, size, 0, ascent, line);
    EXPECT_EQ(crapOpenFontChecked(g), "");
    return g;
  }

  // Draws a space, c and a space as cells; the strip's first line height of
  // rows and three cells.
  std::vector<uint32_t> Row(GlyphFont* g, tchar c) {
    const tchar s[3] = {' ', c, ' '};
    crapCellsAt(g, kFg, kBg, 0, s, 3, g->charWidth);
    std::vector<uint32_t> px;
    for (int y = 0; y < g->lineHeight; ++y)
      for (int x = 0; x < 3 * g->charWidth; ++x) px.push_back(crapStrip()[size_t(y) * kStripWidth + x]);
    return px;
  }
  // The middle cell of Row.
  std::vector<uint32_t> Cell(GlyphFont* g, tchar c) {
    const std::vector<uint32_t> row = Row(g, c);
    std::vector<uint32_t> cell;
    const int w = g->charWidth;
    for (int y = 0; y < g->lineHeight; ++y)
      cell.insert(cell.end(), row.begin() + y * 3 * w + w, row.begin() + y * 3 * w + 2 * w);
    return cell;
  }
  // The lowest row of ink in the middle cell.
  int Bottom(GlyphFont* g, tchar c) {
    const std::vector<uint32_t> cell = Cell(g, c);
    int bottom = -1;
    for (size_t i = 0; i < cell.size(); ++i)
      if (cell[i] != kBg) bottom = int(i) / g->charWidth;
    return bottom;
  }

  static std::unique_ptr<vt::TempDir> dir;
  GlyphFont* f = nullptr;
};
std::unique_ptr<vt::TempDir> Fallback::dir;

TEST_F(Fallback, EachScriptShowsInkInItsOwnCellAndLine) {
  // A plain line, and one squeezed so that tall glyphs must shrink to fit.
  for (GlyphFont* g : {f, Open(24, 15, 20)}) {
    const std::vector<uint32_t> box = Cell(g, kNobody);
    for (tchar c : kShown) {
      const std::vector<uint32_t> row = Row(g, c);
      const int w = g->charWidth;
      int ink = 0;
      for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] == kBg) continue;
        const int x = int(i) % (3 * w);
        ASSERT_TRUE(x >= w && x < 2 * w) << "U+" << std::hex << c << " leaves its cell";
        ++ink;
      }
      EXPECT_GT(ink, 4) << "U+" << std::hex << c << " shows no ink at line height " << g->lineHeight;
      EXPECT_NE(Cell(g, c), box) << "U+" << std::hex << c << " is the missing-glyph box";
    }
  }
}

TEST_F(Fallback, FallbackLettersStandOnTheTextBaseline) {
  const int h = Bottom(f, 'H');
  ASSERT_GT(h, 0);
  EXPECT_NEAR(Bottom(f, 0x10d0), h, 1);  // Georgian an
  EXPECT_NEAR(Bottom(f, 0x1200), h, 1);  // Ethiopic ha
  // An ideograph's frame reaches a little under the baseline, never far.
  EXPECT_GE(Bottom(f, 0x4e2d), h - 1);
  EXPECT_LE(Bottom(f, 0x4e2d), h + 3);
}

TEST_F(Fallback, OnlyWhatNoFontHasKeepsTheBoxAndFontconfigIsAskedOnce) {
  const uint64_t before = FallbackLookups();
  const std::vector<uint32_t> box = Cell(f, kNobody);
  for (int i = 0; i < 3; ++i) {
    crapClearCache();  // as after a font change: the renderer asks again
    EXPECT_EQ(Cell(f, kNobody), box);
    EXPECT_NE(Cell(f, 0x4e2d), box);
  }
  EXPECT_EQ(FallbackLookups() - before, 2u);

  // Without fontconfig the ideograph is a box, as the text font has none.
  FallbackFontsRestart();
  FcApiPretendMissing(true);
  crapClearCache();
  EXPECT_EQ(Cell(f, 0x4e2d), box);
  EXPECT_EQ(Cell(f, kNobody), box);
  EXPECT_EQ(FallbackLookups(), before + 2);
}

TEST_F(Fallback, AColourEmojiIsScaledIntoTheCellWithItsFeatures) {
  // Only the colour emoji font has the face: no outline font to prefer.
  Pin({"noto"});
  crapClearCache();
  const std::vector<uint32_t> box = Cell(f, kNobody);
  const std::vector<uint32_t> row = Row(f, 0x1f600);
  const int w = f->charWidth;
  std::set<uint32_t> shades;
  for (size_t i = 0; i < row.size(); ++i) {
    if (row[i] == kBg) continue;
    const int x = int(i) % (3 * w);
    ASSERT_TRUE(x >= w && x < 2 * w) << "the emoji leaves its cell";
    shades.insert(row[i]);
  }
  EXPECT_NE(Cell(f, 0x1f600), box);
  // Eyes and mouth darker than the face: more than an outline and a fill.
  EXPECT_GT(shades.size(), 8u);
}

}  // namespace
