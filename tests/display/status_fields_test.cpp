// The status line on views of every width: position, row and the modified
// mark always show; the flag words, the TAB mode and the character code
// field show whole where they fit and are dropped from the right where not.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/colors.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/paint_recorder.h"
#include "display/screen.h"
#include "shell/wm_hints.h"
#include "tests/support/headless.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

class StatusFields : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu Sans Mono missing";
    S.display = nullptr;
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    crapSetFont(font, "text", kMono, 16, 0, 0, 0);
    ASSERT_EQ(crapOpenFontChecked(font), "");
    setColors();
    e->inputMode = 1;
    e.open("hello\n");
  }
  void TearDown() override { crapDeinit(); }

  // The status line of the view laid out `cols` columns wide.
  std::string Status(int cols) {
    SetMetrics(e.V(), cols * font->charWidth + 10, 600, font->lineHeight, font->charWidth,
               font->ascent);
    PrepareView(e.V());
    EXPECT_EQ(e.cur()->cols, cols);
    rec.clear();
    ViewStatus(e.V(), e.cur());
    return rec.row(e.cur(), kRowStatus);
  }

  vt::Editor e;
  PaintRecorder rec;
};

TEST_F(StatusFields, NarrowViewsDropWholeFieldsFromTheRightAndKeepPositionRowAndMark) {
  e.cur()->modified = 1;
  e.cur()->mode |= MODE_WRAP | MODE_TABSOUT;
  e->toggles |= 0x1 | TGL_INSERT | TGL_BOXDRAW | TGL_WORDSET;
  const std::string fixed = "    pos:   1  row:     1  *";
  struct Field {
    int col;
    std::string text;
  };
  for (int cols = 10; cols <= 90; ++cols) {
    const std::string s = Status(cols);
    ASSERT_EQ(int(s.size()), cols);
    EXPECT_EQ(s.substr(0, fixed.size()), fixed.substr(0, size_t(cols))) << cols << " columns";
    // Each field is there whole, or its place is blank; none is cut.
    const Field fields[] = {{30, "Rec"}, {34, "Ins"}, {38, "Wrp"}, {42, "Box"},
                            {46, "Wst"}, {50, "Tab"}, {cols - 9, "  68,104"}};
    std::string expect = fixed.substr(0, size_t(cols));
    expect.resize(size_t(cols), ' ');
    int used = int(fixed.size());
    for (const Field& f : fields) {
      if (f.col < used || f.col + int(f.text.size()) > cols) continue;
      expect.replace(size_t(f.col), f.text.size(), f.text);
      used = f.col + int(f.text.size());
    }
    EXPECT_EQ(s, expect) << cols << " columns";
  }
  // The cases seen: a 45-column view kept "Ins20, 32" over the row; a
  // vertical split of the default window (34 columns) lost the mark.
  EXPECT_EQ(Status(45), fixed + "   Rec Ins Wrp Box");
  EXPECT_EQ(Status(34), fixed + "   Rec ");
  EXPECT_EQ(Status(80).substr(30), "Rec Ins Wrp Box Wst Tab" + std::string(18, ' ') + "  68,104 ");
}

TEST_F(StatusFields, TabModeOfTheTextShowsAsTabOrSpc) {
  e.cur()->mode |= MODE_TABSOUT;
  EXPECT_EQ(Status(80).substr(50, 3), "Tab");
  e.cur()->mode &= ~MODE_TABSOUT;
  EXPECT_EQ(Status(80).substr(50, 3), "Spc");
  // A global toggle with the same bit does not count: the mode is the text's.
  e->toggles |= MODE_TABSOUT;
  EXPECT_EQ(Status(80).substr(50, 3), "Spc");
}

// The smallest window the window manager is told of still shows every mode
// word and the TAB mode.
TEST_F(StatusFields, TheMinimumWindowWidthHoldsEveryModeWord) {
  e.cur()->mode |= MODE_WRAP | MODE_TABSOUT;
  e->toggles |= 0x1 | TGL_INSERT | TGL_BOXDRAW | TGL_WORDSET;
  const std::string s = Status(kMinColumns);
  for (const char* word : {"pos:", "row:", "Rec", "Ins", "Wrp", "Box", "Wst", "Tab"})
    EXPECT_NE(s.find(word), std::string::npos) << word << " missing from '" << s << "'";
}

}  // namespace
