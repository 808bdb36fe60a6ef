// Page browsing of the character chart, which asks the font which pages
// have glyphs: a font with glyphs on a few pages only, through the page
// test (the headless editor has no font to ask).
#include <gtest/gtest.h>

#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tools/char_chart.h"

namespace {

int sparseFont(int page) { return page == 0 || page == 1 || page == 0x25 || page == 0x200 || page == 0x10FF; }
int emptyFont(int) { return 0; }

class ChartPages : public ::testing::Test {
 protected:
  void SetUp() override {
    SetChartPageTest(sparseFont);
    AsciiChart(e.V());
  }
  void TearDown() override { SetChartPageTest(nullptr); }
  int press(int command) {
    HandleKey(e.V(), CMD_BASE + command, 0, 0);
    return ChartPage();
  }
  vt::Editor e;
};

TEST_F(ChartPages, EmptyPagesAreSkippedButNeverMoreThan256AtOnce) {
  EXPECT_EQ(press(cmd::OneRight), 1);
  EXPECT_EQ(press(cmd::OneRight), 0x25);
  // Nothing within 256 pages: the chart stops on the page reached.
  EXPECT_EQ(press(cmd::OneRight), 0x125);
  EXPECT_EQ(press(cmd::OneRight), 0x200);
  EXPECT_EQ(press(cmd::OneLeft), 0x100);
  EXPECT_EQ(press(cmd::OneLeft), 0x25);
  EXPECT_EQ(press(cmd::OneLeft), 1);
  EXPECT_EQ(press(cmd::OneLeft), 0);
  EXPECT_EQ(press(cmd::OneLeft), 0);
}

TEST_F(ChartPages, BrowsingStopsAtTheLastPageOfUnicode) {
  SetChartPageTest(emptyFont);
  for (int i = 0; i < 20; i++) press(cmd::OneRight);
  EXPECT_EQ(ChartPage(), kChartLastPage);
  // The last cell is U+10FFFF.
  pickChar(40 + 33 * 15, 45 + 25 * 15);
  int n = 0;
  const tchar* picks = ChartPicks(&n);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(picks[0], tchar(0x10FFFF));
  EXPECT_EQ(press(cmd::OneLeft), kChartLastPage - 256);
}

}  // namespace
