// The scroll commands, alone and with a side-by-side partner.
#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"

namespace {

std::string Numbered(int n, const char* tag) {
  std::string s;
  for (int i = 1; i <= n; i++) s += std::string(tag) + std::to_string(i) + "\n";
  return s;
}

class SideBySide : public ::testing::Test {
 protected:
  void SetUp() override {
    right = ed.open(Numbered(100, "right "), "right.txt");
    left = ed.open(Numbered(100, "left "), "left.txt");
    left->vsplitRight = right;
    right->vsplitLeft = left;
    for (Tcb* t : {left, right}) t->rows = 10;
  }
  std::string LineOf(Tcb* t) {
    ActiveLine l;
    GetLine(t->curLine, &l);
    return vt::ToUtf8(l);
  }
  vt::Editor ed;
  Tcb* left = nullptr;
  Tcb* right = nullptr;
};

TEST_F(SideBySide, PartnerFollowsOnlyWithSynchronisedScrolling) {
  ed->toggles &= ~TGL_SYNCSCROLL;
  SyncroScroll(ed.V(), cmd::PageDown);
  EXPECT_GT(left->lineNo, 1);
  EXPECT_EQ(right->lineNo, 1);

  ed->toggles |= TGL_SYNCSCROLL;
  const int before = left->lineNo;
  SyncroScroll(ed.V(), cmd::PageDown);
  EXPECT_GT(left->lineNo, before);
  EXPECT_GT(right->lineNo, 1);
  EXPECT_EQ(LineOf(right), "right " + std::to_string(right->lineNo));
  // The first text is current again, with its own cursor line loaded.
  EXPECT_EQ(ed->curTcb, left);
  EXPECT_EQ(ed.line(left->lineNo), "left " + std::to_string(left->lineNo));
  EXPECT_EQ(vt::ToUtf8(ed->aline), "left " + std::to_string(left->lineNo));
}

TEST_F(SideBySide, TheRightTextDrivesItsLeftPartnerToo) {
  ed->toggles |= TGL_SYNCSCROLL;
  SelectView(ed.V(), right->number);
  SyncroScroll(ed.V(), cmd::PageDown);
  EXPECT_GT(right->lineNo, 1);
  EXPECT_GT(left->lineNo, 1);
  EXPECT_EQ(ed->curTcb, right);
}

TEST_F(SideBySide, TypingInTheFirstTextStaysThere) {
  // The partner is moved with its own cursor line: the unsaved line of the
  // current text must not be written into the partner.
  ed->toggles |= TGL_SYNCSCROLL;
  ed->toggles |= TGL_INSERT;
  TypeChar(ed.V(), '*');
  SyncroScroll(ed.V(), cmd::PageDown);
  EXPECT_EQ(ed.line(1), "*left 1");
  SelectView(ed.V(), right->number);
  EXPECT_EQ(ed.line(1), "right 1");
  EXPECT_EQ(ed.lineCount(), 100);
  EXPECT_EQ(right->modified, 0);
}

TEST_F(SideBySide, PageUpReturnsAndOtherCommandsDoNothing) {
  ed->toggles |= TGL_SYNCSCROLL;
  SyncroScroll(ed.V(), cmd::PageDown);
  SyncroScroll(ed.V(), cmd::PageUp);
  EXPECT_EQ(left->lineNo, 1);
  EXPECT_EQ(right->lineNo, 1);
  SyncroScroll(ed.V(), cmd::OneDown);  // not a scroll command
  scrolls(ed.V(), cmd::Search);
  EXPECT_EQ(left->lineNo, 1);
  EXPECT_EQ(right->lineNo, 1);
}

}  // namespace
