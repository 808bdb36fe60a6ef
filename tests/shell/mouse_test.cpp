// The mouse, headless: synthetic presses, motion and releases into ClickIt,
// ClickItMove and ClickItUp.  The window is 800 x 600 with 8 x 16 cells and
// an ascent of 12: text row r of the single view spans y = 32 + 16r ..
// 47 + 16r, column c x = 2 + 8c .. 9 + 8c.
#include <gtest/gtest.h>

#include "display/xlib.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/main_menu.h"
#include "shell/menu_table.h"
#include "shell/mouse.h"
#include "shell/popup_window.h"
#include "shell/text_list.h"
#include "tests/support/headless.h"

namespace {

constexpr int kMenuLine = 16;

class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text;
    for (int i = 1; i <= 60; i++) text += "line " + std::to_string(i) + "\n";
    e.open(text, "a.txt");
    e->toggles |= TGL_POINTING;
    e->toggles &= ~TGL_ONECLICK;
    e->menuLineHeight = kMenuLine;
    e->menuCharWidth = 8;
    PrepareView(e.V());
  }

  // A press at (x, y) `ms` after the previous one.
  void press(int x, int y, unsigned button = Button1, unsigned state = 0, uint32_t ms = 1000,
             unsigned long window = 0) {
    time_ += ms;
    XEvent ev{};
    ev.xbutton.type = ButtonPress;
    ev.xbutton.window = window;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    ev.xbutton.button = button;
    ev.xbutton.state = state;
    ev.xbutton.time = time_;
    ClickIt(e.V(), &ev);
  }
  void release() {
    XEvent ev{};
    ev.xbutton.type = ButtonRelease;
    ClickItUp(e.V(), &ev);
  }
  void move(int x, int y) {
    XEvent ev{};
    ev.xmotion.type = MotionNotify;
    ev.xmotion.x = x;
    ev.xmotion.y = y;
    ev.xmotion.state = Button1Mask;
    ClickItMove(e.V(), &ev);
  }
  // Two presses 100 ms apart on the cell of column c, text row r.
  void doubleClick(int c, int r, unsigned state = 0) {
    press(cellX(c), cellY(r), Button1, state);
    press(cellX(c), cellY(r), Button1, state, 100);
  }
  static int cellX(int c) { return 2 + 8 * c + 3; }
  static int cellY(int r) { return 32 + 16 * r + 5; }

  vt::Editor e;
  uint32_t time_ = 5000;
};

TEST_F(Mouse, PressesUpTo199MsApartMakeADoubleClickAndTheOneClickToggleMakesEveryPressOne) {
  press(cellX(3), cellY(2));
  EXPECT_FALSE(DblClk());
  press(cellX(3), cellY(2), Button1, 0, 199);
  EXPECT_TRUE(DblClk());
  press(cellX(3), cellY(2), Button1, 0, 200);
  EXPECT_FALSE(DblClk());
  // The time stamps wrap: the difference is taken unsigned.
  time_ = 0xFFFFFFF0u;
  press(cellX(3), cellY(2));
  press(cellX(3), cellY(2), Button1, 0, 0x30);
  EXPECT_TRUE(DblClk());
  e->toggles |= TGL_ONECLICK;
  press(cellX(3), cellY(2), Button1, 0, 5000);
  EXPECT_TRUE(DblClk());
}

TEST_F(Mouse, ASingleClickLeavesTheCursorADoubleClickPlacesIt) {
  press(cellX(4), cellY(2));
  EXPECT_EQ(e.lineNo(), 1);
  EXPECT_EQ(e.col(), 0);
  press(cellX(4), cellY(2), Button1, 0, 150);
  EXPECT_EQ(e.lineNo(), 3);
  EXPECT_EQ(e.col(), 4);
  doubleClick(0, 0);
  EXPECT_EQ(e.lineNo(), 1);
  EXPECT_EQ(e.col(), 0);
}

TEST_F(Mouse, ClicksOffTheTextAreClampedToItsCellsAndItsLastLine) {
  vt::Editor small;
  small.open("one\ntwo\nthree\n", "b.txt");
  small->toggles |= TGL_POINTING;
  small->menuLineHeight = kMenuLine;
  PrepareView(small.V());
  auto dbl = [&](int x, int y) {
    for (uint32_t ms : {1000u, 50u}) {
      time_ += ms;
      XEvent ev{};
      ev.xbutton.type = ButtonPress;
      ev.xbutton.x = x;
      ev.xbutton.y = y;
      ev.xbutton.button = Button1;
      ev.xbutton.time = time_;
      ClickIt(small.V(), &ev);
    }
  };
  // Below the text: the last line; far right: no column past 1023.
  dbl(100000, 590);
  EXPECT_EQ(small.lineNo(), 3);
  EXPECT_LE(small.col(), 1023);
  // Left of the text: its first shown column.
  dbl(-50, 100000);
  EXPECT_EQ(small.lineNo(), 3);
  const int firstShown = small.cur()->leftCol;
  EXPECT_EQ(small.col(), firstShown);
  // The status and head rows, and the border left of the text, place nothing.
  dbl(cellX(2), 18);
  dbl(790, 20);
  EXPECT_EQ(small.lineNo(), 3);
  EXPECT_EQ(small.col(), firstShown);
  EXPECT_EQ(small->inputMode, ModeEdit);
}

TEST_F(Mouse, ShiftDoubleClicksMarkTheBlockBeginThenItsEnd) {
  doubleClick(2, 1, ShiftMask);
  doubleClick(5, 3, ShiftMask);
  EXPECT_EQ(e->blk.blkTcb, e.cur());
  EXPECT_EQ(e->blk.startLine, 2);
  EXPECT_EQ(e->blk.startCol, 2);
  EXPECT_EQ(e->blk.endLine, 4);
  EXPECT_EQ(e->blk.endCol, 5);
}

TEST_F(Mouse, TheWheelScrollsAllFourWays) {
  press(cellX(1), cellY(1), 5);
  EXPECT_EQ(e.cur()->row, 0) << "the text moved up a line under the cursor row";
  EXPECT_EQ(e.lineNo(), 2);
  press(cellX(1), cellY(1), 4);
  EXPECT_EQ(e.cur()->row, 0);
  EXPECT_EQ(e.lineNo(), 1);
  press(cellX(1), cellY(1), 7);
  EXPECT_GT(e.cur()->leftCol, 0);
  press(cellX(1), cellY(1), 6);
  EXPECT_EQ(e.cur()->leftCol, 0);
}

TEST_F(Mouse, TheTopLineOpensTheTextListInItsFirstThreeColumnsElseTheMenu) {
  press(cellX(2), 5);
  EXPECT_EQ(e->inputMode, ModeTextList);
  EXPECT_TRUE(TextListOpen());
  // A press on the editor window at y = 41 leaves the list, one below closes it.
  press(300, 41);
  EXPECT_TRUE(TextListOpen());
  press(300, 42);
  EXPECT_FALSE(TextListOpen());
  EXPECT_EQ(e->inputMode, ModeEdit);
  press(cellX(3), 5);
  EXPECT_EQ(e->inputMode, ModeMenu);
  EXPECT_TRUE(MenuOpen());
  press(300, 300);  // outside the bar: closes
  EXPECT_FALSE(MenuOpen());
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(Mouse, WithPointingOffPressesAndMotionDoNothing) {
  e->toggles &= ~TGL_POINTING;
  press(cellX(2), 5);
  doubleClick(4, 4);
  move(cellX(9), cellY(6));
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(e.lineNo(), 1);
  EXPECT_EQ(e.col(), 0);
}

TEST_F(Mouse, ADragFromTheTextAreaMarksFromThePressedCell) {
  press(cellX(2), cellY(1));
  move(cellX(2), cellY(1));  // the first motion puts the cursor on the pressed cell
  EXPECT_EQ(e.lineNo(), 2);
  EXPECT_EQ(e.col(), 2);
  move(cellX(6), cellY(3));
  EXPECT_EQ(e.lineNo(), 4);
  EXPECT_EQ(e.col(), 6);
  ASSERT_EQ(e->blk.blkTcb, e.cur());
  EXPECT_EQ(e->blk.startLine, 2);
  EXPECT_EQ(e->blk.startCol, 2);
  EXPECT_EQ(e->blk.endLine, 4);
  EXPECT_EQ(e->blk.endCol, 6);
  release();
  move(cellX(9), cellY(8));  // after the release: nothing
  EXPECT_EQ(e.lineNo(), 4);
}

TEST_F(Mouse, MotionAfterAPressOutsideTheTextAreaDragsNothing) {
  // A press in the text area, released; then presses elsewhere: the wheel,
  // the head row, the menu bar.  None of them may revive the old cell.
  press(cellX(5), cellY(5));
  release();
  for (auto [x, y, button] : {std::tuple{cellX(1), cellY(1), 5u}, {cellX(1), 20, 1u}}) {
    press(x, y, button);
    move(cellX(8), cellY(7));
    move(cellX(9), cellY(8));
  }
  EXPECT_EQ(e->blk.blkTcb, nullptr);
  EXPECT_EQ(e.col(), 0);
  press(cellX(3), 5);  // opens the menu, then motion while it is open
  move(cellX(9), cellY(8));
  press(300, 300);
  move(cellX(9), cellY(8));
  EXPECT_EQ(e->blk.blkTcb, nullptr);
  EXPECT_EQ(e.col(), 0);
}

TEST_F(Mouse, InTheSplitLayoutADoubleClickInAnotherViewSelectsItASingleOneDoesNot) {
  Tcb* a = e.cur();
  Tcb* b = e.open("other\n", "b.txt");
  SelectView(e.V(), a->number);
  HSplit(e.V(), b->number);
  // Geometry as the split layout gives it: a on top with its head row, b below.
  a->statusY = 12, a->headY = 28, a->textY = 44, a->bottomY = 300, a->rows = 16;
  b->statusY = 312, b->headY = 0, b->textY = 328, b->bottomY = 600, b->rows = 17;
  e->viewChain = a;
  a->viewNext = b;
  b->viewNext = nullptr;
  press(cellX(1), 400);
  EXPECT_EQ(e.cur(), a);
  press(cellX(1), 400, Button1, 0, 100);
  EXPECT_EQ(e.cur(), b);
}

TEST_F(Mouse, TheRightButtonOpensThePopUpWhoseDoubleClickRunsItsItem) {
  e->blk = BlockRecord{e.cur(), e.cur(), 1, 0, 0, 2, 3, 0, nullptr, nullptr, 0};
  press(700, 590, Button3);
  ASSERT_TRUE(MenuIsPopup());
  EXPECT_EQ(MenuShown(), menu_table::kPopupMenu);
  // Kept inside the window.
  EXPECT_LE(MenuWindowX() + MenuWindowWidth(), e->winWidth);
  EXPECT_STREQ(MenuLine(3), "UnmarkBlock");
  const int item3 = 2 + 3 * kMenuLine + 4;
  press(5, item3, Button1, 0, 1000, PopupWindow::kHeadlessId);
  EXPECT_TRUE(MenuOpen()) << "a single click does nothing";
  press(5, item3, Button1, 0, 100, PopupWindow::kHeadlessId);
  EXPECT_FALSE(MenuOpen());
  EXPECT_EQ(e->blk.blkTcb, nullptr) << "UnmarkBlock ran";
}

TEST_F(Mouse, MenuBarClicksSelectTitlesAndNothingRightOfTheLastOfARow) {
  press(cellX(3), 5);
  ASSERT_TRUE(MenuOpen());
  press(MenuTitleX(e.V(), 6) + 1, 10);  // Mark, upper row
  EXPECT_EQ(e->menuIndex, 6);
  press(MenuTitleX(e.V(), 7) + 1, 30);  // Block, lower row
  EXPECT_EQ(e->menuIndex, 7);
  // Right of Help, the lower row's last title: nothing, not Twokey.
  press(MenuTitleX(e.V(), 17) + 200, 30);
  EXPECT_EQ(e->menuIndex, 7);
  press(790, 10);
  EXPECT_EQ(e->menuIndex, 7);
  EXPECT_TRUE(MenuOpen());
  // An item: a single click selects it, a double click runs it (Block 2: DeleteBlock).
  e->blk = BlockRecord{e.cur(), e.cur(), 1, 0, 0, 2, 0, 0, nullptr, nullptr, 0};
  const int item2 = 2 + 2 * kMenuLine + 4;
  press(5, item2, Button1, 0, 1000, PopupWindow::kHeadlessId);
  EXPECT_EQ(e->menuItem, 2);
  EXPECT_TRUE(MenuOpen());
  press(5, item2, Button1, 0, 100, PopupWindow::kHeadlessId);
  EXPECT_FALSE(MenuOpen());
  EXPECT_EQ(e.line(1), "line 2");
}

TEST_F(Mouse, TextListClicksHighlightTheClickedRowBeforeADoubleClickSelects) {
  Tcb* a = e.cur();
  e.open("b\n", "b.txt");
  e.open("c\n", "c.txt");
  SelectView(e.V(), a->number);
  press(cellX(0), 5);
  ASSERT_TRUE(TextListOpen());
  // Fast clicks on two rows: the second row's text, not the first one's.
  press(20, 2 + 18 * 1 + 5, Button1, 0, 1000, PopupWindow::kHeadlessId);
  EXPECT_EQ(TextListSelected(), 1);
  press(20, 2 + 18 * 2 + 5, Button1, 0, 100, PopupWindow::kHeadlessId);
  EXPECT_FALSE(TextListOpen());
  EXPECT_STREQ(e.cur()->fileName, "c.txt");
  // Rows past the last entry, and above the first, are ignored.
  press(cellX(0), 5);
  press(20, 1, Button1, 0, 1000, PopupWindow::kHeadlessId);
  press(20, 2 + 18 * 3 + 5, Button1, 0, 100, PopupWindow::kHeadlessId);
  EXPECT_TRUE(TextListOpen());
  EXPECT_EQ(TextListSelected(), 2);
}

}  // namespace
