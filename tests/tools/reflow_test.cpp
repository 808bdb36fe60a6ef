// Reflow with margins no key can set: the margin commands and the settings
// file both refuse a left margin at or right of the right one.
#include <gtest/gtest.h>

#include "tests/support/headless.h"
#include "tools/text_tools.h"

namespace {

TEST(Reflow, MarginsThatLeaveNoRoomChangeNothing) {
  for (auto [left, right] : {std::pair{10, 10}, {20, 5}, {0, 1023}}) {
    vt::Editor e;
    Tcb* t = e.open("aaa bbb\nccc\n");
    t->leftMargin = left;
    t->rightMargin = right;
    e->alertText[0] = 0;
    Reflow(e.V());
    EXPECT_EQ(e.alert(), "Bad margins") << left << " " << right;
    EXPECT_EQ(e.text(), "aaa bbb\nccc");
    EXPECT_FALSE(e.modified());
  }
}

TEST(Reflow, TheWidestMarginsStillFitALine) {
  vt::Editor e;
  std::string words;
  for (int i = 0; i < 300; i++) words += "abcd ";
  Tcb* t = e.open(words.substr(0, 1000) + "\n" + words.substr(0, 500) + "\n");
  t->leftMargin = 1020;
  t->rightMargin = 1021;
  Reflow(e.V());
  EXPECT_EQ(e.alert(), "");
  for (const std::string& l : e.lines()) {
    EXPECT_LE(l.size(), 1022u);
    EXPECT_EQ(l.find_first_not_of(' '), 1020u) << l;
  }
}

}  // namespace
