// Scrolling, the scroll commands of a vertical pair, and the soft line end.
#include <gtest/gtest.h>

#include "shell/event_loop.h"
#include "shell/toggles.h"
#include "tests/edit/move_fixture.h"

namespace movetest {
namespace {

TEST_F(Moves, ScrollUpAndDownMoveTheLineUnderAFixedRow) {
  ed.open(Numbered(10));
  At(5, 2, 4);
  Scroll(V(), SCROLL_UP);
  EXPECT_EQ(Pos(), "4 2 4");
  Scroll(V(), SCROLL_DOWN);
  Scroll(V(), SCROLL_DOWN);
  EXPECT_EQ(Pos(), "6 2 4");
  ExpectLoaded();
  At(10, 0, 9);
  Scroll(V(), SCROLL_DOWN);
  EXPECT_EQ(Pos(), "10 0 9");
  At(1, 0, 0);
  Scroll(V(), SCROLL_UP);
  EXPECT_EQ(Pos(), "1 0 0");
}

TEST_F(Moves, SidewaysScrollingCarriesTheCursorAlong) {
  ed.open("x\n");
  Tcb* t = T();
  ASSERT_EQ(t->cols, 98);
  const int maxLeft = 1023 - 98;
  At(1, 5, 0);
  Scroll(V(), SCROLL_LEFT);
  EXPECT_EQ(t->leftCol, 0);
  EXPECT_EQ(ed.col(), 5);
  Scroll(V(), SCROLL_RIGHT);
  EXPECT_EQ(t->leftCol, 1);
  EXPECT_EQ(ed.col(), 6);
  Scroll(V(), SCROLL_LEFT);
  EXPECT_EQ(t->leftCol, 0);
  EXPECT_EQ(ed.col(), 5);
  // Pages are the width less 10 columns.
  Scroll(V(), SCROLL_PAGERIGHT);
  EXPECT_EQ(t->leftCol, 88);
  EXPECT_EQ(ed.col(), 93);
  Scroll(V(), SCROLL_PAGELEFT);
  EXPECT_EQ(t->leftCol, 0);
  EXPECT_EQ(ed.col(), 5);
  // The last page stops at the largest left column, whatever the step.
  for (int i = 0; i < 20; i++) Scroll(V(), SCROLL_PAGERIGHT);
  EXPECT_EQ(t->leftCol, maxLeft);
  EXPECT_EQ(ed.col(), maxLeft + 5);
  Scroll(V(), SCROLL_RIGHT);
  EXPECT_EQ(t->leftCol, maxLeft);
  EXPECT_LE(ed.col(), 1023);
  // A page left near the start goes only as far as column 0.
  t->leftCol = 3;
  t->col = 10;
  Scroll(V(), SCROLL_PAGELEFT);
  EXPECT_EQ(t->leftCol, 0);
  EXPECT_EQ(ed.col(), 7);
}

TEST_F(Moves, APageRightFromBeyondTheLargestLeftColumnDoesNotGoBack) {
  // A view made narrower can leave the left column past the largest one.
  ed.open("x\n");
  Tcb* t = T();
  t->leftCol = 1000;
  t->col = 1010;
  Scroll(V(), SCROLL_PAGERIGHT);
  EXPECT_EQ(t->leftCol, 1000);
  EXPECT_EQ(ed.col(), 1010);
}

TEST_F(Moves, ScrollForgetsTheLastTabStopAndAsksForARepaint) {
  ed.open(Numbered(3));
  T()->lastTabKind = ',';
  V()->redraw = 0;
  Scroll(V(), SCROLL_LEFT);  // nothing to scroll
  EXPECT_EQ(T()->lastTabKind, 0);
  EXPECT_TRUE(V()->redraw & REDRAW_TEXT);
}

TEST_F(Moves, TheScrollCommandsReachScrollAndThePageMoves) {
  ed.open(Numbered(100));
  At(50, 5, 10);
  Cmd(cmd::ScrollRight);
  EXPECT_EQ(T()->leftCol, 1);
  Cmd(cmd::ScrollLeft);
  Cmd(cmd::PageRight);
  EXPECT_EQ(T()->leftCol, 88);
  Cmd(cmd::PageLeft);
  EXPECT_EQ(T()->leftCol, 0);
  EXPECT_EQ(Pos(), "50 5 10");
  Cmd(cmd::Scrolldown);
  EXPECT_EQ(Pos(), "51 5 10");
  Cmd(cmd::ScrollUp);
  EXPECT_EQ(Pos(), "50 5 10");
  Cmd(cmd::PageDown);
  EXPECT_EQ(Pos(), "84 5 10");
  Cmd(cmd::PageUp);
  EXPECT_EQ(Pos(), "50 5 10");
}

TEST_F(Moves, SynchronisedScrollingMovesBothHalvesOfAPair) {
  ed.open(Numbered(100), "a.txt");
  ed.open(Numbered(100), "b.txt");
  Tcb* right = T();
  SelectView(V(), 0);
  Tcb* left = T();
  ASSERT_NE(left, right);
  left->vsplitRight = right;
  right->vsplitLeft = left;
  right->row = 3;
  At(10, 0, 3);
  // Unsynchronised: only the current text moves.
  V()->toggles &= ~TGL_SYNCSCROLL;
  Cmd(cmd::Scrolldown);
  EXPECT_EQ(left->lineNo, 11);
  EXPECT_EQ(right->lineNo, 1);
  V()->toggles |= TGL_SYNCSCROLL;
  Cmd(cmd::PageDown);
  EXPECT_EQ(left->lineNo, 45);
  EXPECT_EQ(right->lineNo, 35);
  EXPECT_EQ(T(), left);
  ExpectLoaded();
}

TEST_F(Moves, SoftLineEndIsFlippedStoredAndTheViewScrollsDown) {
  ed.open("one\ntwo\nthree\n");
  At(1, 1, 0);
  vt::FromUtf8(&V()->aline, "one!");
  V()->alineDirty = 1;
  ToggleSet(V(), TOGGLE_SOFTCR);
  Link* first = T()->base->next();
  EXPECT_TRUE(first->word & LINK_SOFTBREAK);
  EXPECT_EQ(vt::Stored(first), "one!");  // the edit went with it
  EXPECT_EQ(Pos(), "2 1 0");  // the row stays
  EXPECT_EQ(V()->alertText, std::string());
  // Again on the same line clears it.
  At(1, 1, 0);
  ToggleSet(V(), TOGGLE_SOFTCR);
  EXPECT_FALSE(T()->base->next()->word & LINK_SOFTBREAK);
  // On the last line the flag changes and the cursor stays.
  At(3, 0, 2);
  ToggleSet(V(), TOGGLE_SOFTCR);
  EXPECT_TRUE(T()->base->prev()->word & LINK_SOFTBREAK);
  EXPECT_EQ(Pos(), "3 0 2");
  EXPECT_EQ(vt::CheckList(T()->base), "");
}

TEST_F(Moves, SoftLineEndLeavesTheEndOfTextPositionAlone) {
  ed.open("one\n");
  T()->curLine = T()->base;
  T()->lineNo = 2;
  ALoad(V());
  ToggleSet(V(), TOGGLE_SOFTCR);
  EXPECT_EQ(T()->base->word, LINK_BASE);
  EXPECT_FALSE(T()->modified);
}

// ---- Tab moves in tab mode ------------------------------------------------

class TabModeMoves : public Moves {
 protected:
  void SetUp() override {
    ed.open("abc\n");
    T()->mode |= MODE_TABMODE;
  }
};

TEST_F(TabModeMoves, TabRightAndLeftOnlyMoveTheCursor) {
  At(1, 0, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 8);
  EXPECT_EQ(T()->lastTabKind, '|');
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 16);
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.col(), 8);
  At(1, 5, 0);
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(T()->lastTabKind, ' ');
  EXPECT_EQ(ed.line(1), "abc");
  EXPECT_FALSE(ed.modified());
}

TEST_F(TabModeMoves, TheStopKindsAreRemembered) {
  T()->ruler[3] = '<';
  T()->ruler[5] = ',';
  At(1, 0, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(T()->lastTabKind, '<');
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 5);
  EXPECT_EQ(T()->lastTabKind, ',');
  Move(MOVE_ONELEFT);
  EXPECT_EQ(T()->lastTabKind, 0);
}

TEST_F(TabModeMoves, NoStopToTheRightDoesNothingAndAsksForNoRepaint) {
  Cmd(cmd::ClearAllTabs);
  At(1, 2, 0);
  V()->redraw = 0;
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 2);
  EXPECT_EQ(V()->redraw, 0);
  // The last reachable stop is column 1022; one at 1023 is out of reach.
  T()->ruler[1023] = '|';
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 2);
  T()->ruler[1022] = '|';
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 1022);
  EXPECT_EQ(T()->leftCol, 1022 - 98 + 1);
  // At column 0 TabLt does nothing.
  At(1, 0, 0);
  V()->redraw = 0;
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(V()->redraw, 0);
}

}  // namespace
}  // namespace movetest
