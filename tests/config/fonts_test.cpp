// Font settings: built-in values, finding font files, building the fonts.
#include "config/fonts.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "config/defaults.h"
#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

bool HaveFontconfig() {
  void* h = dlopen("libfontconfig.so.1", RTLD_LAZY);
  if (h) dlclose(h);
  return h != nullptr;
}

TEST(Defaults, BuiltInValues) {
  Defaults d{1, 2, 3, 4, 5};
  initDef(nullptr, &d);
  EXPECT_EQ(d.winWidth, 800);
  EXPECT_EQ(d.winHeight, 600);
  EXPECT_EQ(d.leftMargin, 0);
  EXPECT_EQ(d.rightMargin, 79);
  EXPECT_EQ(d.mode, 0x4232u);
  // Insert and word set are the global toggles a fresh editor starts with.
  EXPECT_EQ(d.mode & TGL_GLOBAL_MASK, TGL_INSERT | TGL_WORDSET);
}

TEST(FontSettings, BuiltInValues) {
  std::memset(&fontData, 0x55, sizeof fontData);
  fontsInit();
  EXPECT_STREQ(fontData.menuFont, ":Mono:Courier");
  EXPECT_STREQ(fontData.textFont, ":Mono:Courier");
  EXPECT_STREQ(fontData.menuFontFile, "");
  EXPECT_STREQ(fontData.textFontFile, "");
  EXPECT_EQ(fontData.menuSize, 18);
  EXPECT_EQ(fontData.textSize, 18);
  EXPECT_EQ(fontData.textWidth, 0);
  EXPECT_EQ(fontData.textBaseline, 0);
  EXPECT_EQ(fontData.textLineSpace, 0);
}

TEST(FontFiles, AnExistingFileIsKept) {
  vt::TempDir dir;
  const std::string f = dir.file("my.ttf");
  vt::WriteFile(f, "not really a font");
  char file[kFontItemSize];
  std::snprintf(file, sizeof file, "%s", f.c_str());
  ASSERT_TRUE(ResolveFontFile(file, true, tryFonts));
  EXPECT_EQ(std::string(file), f);
}

TEST(FontFiles, FallbacksInOrderTheFirstThatExists) {
  vt::TempDir dir;
  vt::WriteFile(dir.file("second.otf"), "x");
  vt::WriteFile(dir.file("third.otf"), "x");
  char list[4][64] = {};
  std::snprintf(list[0], 64, "%s", dir.file("first.ttf").c_str());
  std::snprintf(list[1], 64, "%s", dir.file("second.otf").c_str());
  std::snprintf(list[2], 64, "%s", dir.file("third.otf").c_str());
  char file[kFontItemSize] = "/no/such/font.ttf";
  ASSERT_TRUE(ResolveFontFile(file, false, list));
  EXPECT_EQ(std::string(file), dir.file("second.otf"));

  char empty[kFontItemSize] = "";
  ASSERT_TRUE(ResolveFontFile(empty, false, list));
  EXPECT_EQ(std::string(empty), dir.file("second.otf"));
}

TEST(FontFiles, NothingFoundLeavesTheSettingAlone) {
  char list[2][64] = {"/no/such/a.ttf", ""};
  char file[kFontItemSize] = "/no/such/b.ttf";
  EXPECT_FALSE(ResolveFontFile(file, false, list));
  EXPECT_STREQ(file, "/no/such/b.ttf");
  char dirAsFile[kFontItemSize] = "/usr";  // a directory is no font file
  char none[1][64] = {""};
  EXPECT_FALSE(ResolveFontFile(dirAsFile, false, none));
}

TEST(FontFiles, FontconfigMatchForMono) {
  if (!HaveFontconfig()) GTEST_SKIP() << "libfontconfig.so.1 missing";
  char found[kFontItemSize] = "";
  ASSERT_EQ(fontFinder(found, "Mono"), 0);
  EXPECT_TRUE(std::filesystem::is_regular_file(found)) << found;
  // An empty setting becomes that same match.
  char file[kFontItemSize] = "";
  char none[1][64] = {""};
  ASSERT_TRUE(ResolveFontFile(file, true, none));
  EXPECT_STREQ(file, found);
  // fontconfig can be loaded and unloaded again and again.
  for (int i = 0; i < 3; i++) {
    char again[kFontItemSize] = "";
    EXPECT_EQ(fontFinder(again, "Mono"), 0);
    EXPECT_STREQ(again, found);
  }
}

TEST(FontFiles, ListingKeepsTrueTypeAndOpenTypeFilesUpToTheLimit) {
  if (!HaveFontconfig()) GTEST_SKIP() << "libfontconfig.so.1 missing";
  constexpr int kMost = 3;
  char list[(kMost + 1) * kFontItemSize];
  std::memset(list, 'x', sizeof list);
  EXPECT_EQ(fontScann(list, ":", kMost), 2);
  int n = 0;
  while (n <= kMost && list[n * kFontItemSize]) {
    const std::string name = list + n * kFontItemSize;
    EXPECT_TRUE(name.ends_with("ttf") || name.ends_with("otf")) << name;
    n++;
  }
  EXPECT_LE(n, kMost);
  EXPECT_GT(n, 0) << "this machine has DejaVu fonts";
  EXPECT_EQ(list[n * kFontItemSize], 0) << "the list ends with an empty entry";
}

class BuildFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    fontsInit();
  }
  void TearDown() override { crapDeinit(); }
  vt::Editor ed;
};

TEST_F(BuildFonts, ThreeFontsFromTheSettings) {
  std::snprintf(fontData.textFontFile, kFontItemSize, "%s", kMono);
  fontData.menuSize = 14;
  fontData.textSize = 24;
  ASSERT_EQ(fontsSetChecked(ed.V(), 30), "");
  ASSERT_NE(font, nullptr);
  ASSERT_NE(font2, nullptr);
  ASSERT_NE(pfont, nullptr);
  EXPECT_EQ(font->pixelSize, 24);
  EXPECT_EQ(font2->pixelSize, 14);
  EXPECT_EQ(pfont->pixelSize, 30);
  EXPECT_EQ(font->path, kMono);
  EXPECT_EQ(pfont->path, kMono);
  EXPECT_EQ(font->fixedAdvance, 0) << "TextWidth 0 keeps the natural advance";
  EXPECT_GT(font->charWidth, 0);
  // The menu file was empty and is now a file that exists.
  EXPECT_TRUE(std::filesystem::is_regular_file(fontData.menuFontFile)) << fontData.menuFontFile;
}

TEST_F(BuildFonts, FixedTextCellGivesThePrintFontItsNaturalCell) {
  std::snprintf(fontData.textFontFile, kFontItemSize, "%s", kMono);
  fontData.textWidth = 15;
  fontData.textLineSpace = 30;
  fontData.textBaseline = 20;
  ASSERT_EQ(fontsSetChecked(ed.V()), "");
  EXPECT_EQ(font->charWidth, 15);
  EXPECT_EQ(font->lineHeight, 30);
  EXPECT_EQ(font->baseline, 20);
  EXPECT_EQ(pfont->pixelSize, kDefaultPrintFontSize);
  // DejaVu Sans Mono at 20 pixels is 12 pixels wide, not the screen's 15.
  EXPECT_EQ(pfont->fixedAdvance, 12);
  EXPECT_EQ(pfont->lineHeightSet, 0);
}

TEST_F(BuildFonts, AMissingFileIsReplaced) {
  std::snprintf(fontData.textFontFile, kFontItemSize, "/no/such/dir/font.ttf");
  ASSERT_EQ(fontsSetChecked(ed.V()), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(fontData.textFontFile));
  EXPECT_EQ(font->path, fontData.textFontFile);
}

// A saved font file that turned into something else must not keep the
// editor from starting: it is taken as missing, and the note says so.
TEST_F(BuildFonts, AFileThatIsNoFontIsReplacedAndReported) {
  vt::TempDir dir;
  vt::WriteFile(dir.file("bad.ttf"), "this is not a font");
  std::snprintf(fontData.textFontFile, kFontItemSize, "%s", dir.file("bad.ttf").c_str());
  const std::string err = fontsSetChecked(ed.V());
  EXPECT_EQ(err, "");
  EXPECT_EQ(FontsNote(), "Not a font file: " + dir.file("bad.ttf"));
  EXPECT_STRNE(fontData.textFontFile, dir.file("bad.ttf").c_str());
  ASSERT_TRUE(font);
  EXPECT_EQ(font->path, fontData.textFontFile);
  fontsSetChecked(ed.V());
  EXPECT_EQ(FontsNote(), "");
}

}  // namespace
