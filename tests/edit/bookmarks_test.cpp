// Bookmarks and line centring.
#include "edit/bookmarks.h"

#include <gtest/gtest.h>

#include "tests/edit/move_fixture.h"

namespace movetest {
namespace {

class Bookmarks : public Moves {
 protected:
  Link* LineAt(int n) {
    Link* l = T()->base->next();
    for (int i = 1; i < n; i++) l = l->next();
    return l;
  }
  bool Marked(int n) { return (LineAt(n)->word & LINK_BOOKMARK) != 0; }
};

TEST_F(Bookmarks, SetAndClearMarkTheLineWithoutModifyingTheText) {
  ed.open(Numbered(5));
  At(3, 0, 2);
  SetBookmark(V(), 0);
  EXPECT_EQ(ed.alert(), "Bookmark Set");
  EXPECT_TRUE(Marked(3));
  EXPECT_TRUE(V()->aline.flags & LINK_BOOKMARK);
  EXPECT_FALSE(ed.modified());
  SetBookmark(V(), 1);
  EXPECT_EQ(ed.alert(), "Bookmark Cleared");
  EXPECT_FALSE(Marked(3));
  EXPECT_FALSE(V()->aline.flags & LINK_BOOKMARK);
}

TEST_F(Bookmarks, TheMarkSurvivesAnEditOfItsLine) {
  ed.open("short\nnext\n");
  At(1, 0, 0);
  SetBookmark(V(), 0);
  // Grow the line so that it moves to a record of another size.
  const uint16_t flags = V()->aline.flags;
  vt::FromUtf8(&V()->aline, std::string(100, 'w'));
  V()->aline.flags = flags;
  V()->alineDirty = 1;
  Move(MOVE_ONEDOWN);
  EXPECT_TRUE(Marked(1));
  EXPECT_EQ(ed.line(1), std::string(100, 'w'));
}

TEST_F(Bookmarks, NextAndPreviousFindTheNearestMarkAndDoNotWrap) {
  ed.open(Numbered(60));
  for (int n : {5, 50}) {
    At(n, 0, 0);
    SetBookmark(V(), 0);
  }
  At(1, 2, 0);
  FindBookmark(V(), 0);
  EXPECT_EQ(Pos(), "5 2 4");
  ExpectLoaded();
  FindBookmark(V(), 0);
  EXPECT_EQ(Pos(), "50 2 33");  // the row follows, kept off the bottom row
  V()->alertText[0] = 0;
  FindBookmark(V(), 0);
  EXPECT_EQ(ed.alert(), "No Bookmark");
  EXPECT_EQ(ed.lineNo(), 50);
  FindBookmark(V(), 1);
  EXPECT_EQ(ed.lineNo(), 5);
  FindBookmark(V(), 1);
  EXPECT_EQ(ed.alert(), "No Bookmark");
  EXPECT_EQ(ed.lineNo(), 5);
}

TEST_F(Bookmarks, ASearchFromTheFirstOrLastLineMeetsTheTextEnd) {
  ed.open(Numbered(3));
  At(1, 0, 0);
  FindBookmark(V(), 1);
  EXPECT_EQ(ed.alert(), "No Bookmark");
  At(3, 0, 2);
  SetBookmark(V(), 0);
  FindBookmark(V(), 0);  // the cursor line itself is not a find
  EXPECT_EQ(ed.alert(), "No Bookmark");
  EXPECT_EQ(ed.lineNo(), 3);
}

TEST_F(Bookmarks, AnUnstoredEditSurvivesTheSearch) {
  ed.open(Numbered(5));
  At(4, 0, 3);
  SetBookmark(V(), 0);
  At(1, 0, 0);
  vt::FromUtf8(&V()->aline, "typed");
  V()->alineDirty = 1;
  FindBookmark(V(), 0);
  EXPECT_EQ(ed.lineNo(), 4);
  EXPECT_EQ(ed.line(1), "typed");
  // And when nothing is found.
  vt::FromUtf8(&V()->aline, "again");
  V()->alineDirty = 1;
  FindBookmark(V(), 0);
  EXPECT_EQ(ed.line(4), "again");
}

TEST_F(Bookmarks, ClearAllRemovesEveryMarkIncludingTheCursorLine) {
  ed.open(Numbered(10));
  for (int n : {2, 6, 9}) {
    At(n, 0, 0);
    SetBookmark(V(), 0);
  }
  ClearBookmarks(V());
  EXPECT_EQ(ed.alert(), "Bookmarks Cleared");
  for (int n = 1; n <= 10; n++) EXPECT_FALSE(Marked(n)) << n;
  // The cursor line's copy was cleared too: storing it brings none back.
  V()->alineDirty = 1;
  AFlush(V());
  EXPECT_FALSE(Marked(9));
}

TEST_F(Bookmarks, NoMarkOnTheEndOfTextPosition) {
  ed.open("one\n");
  T()->curLine = T()->base;
  T()->lineNo = 2;
  ALoad(V());
  SetBookmark(V(), 0);
  EXPECT_EQ(T()->base->word, LINK_BASE);
  EXPECT_EQ(ed.alert(), "");
}

TEST_F(Bookmarks, TheCommandsAreRouted) {
  ed.open(Numbered(10));
  At(7, 0, 6);
  Cmd(cmd::SetBookMark);
  At(1, 0, 0);
  Cmd(cmd::NextBookMark);
  EXPECT_EQ(ed.lineNo(), 7);
  Cmd(cmd::RemoveBookMark);
  EXPECT_FALSE(Marked(7));
  Cmd(cmd::SetBookMark);
  At(10, 0, 9);
  Cmd(cmd::PrevBookMark);
  EXPECT_EQ(ed.lineNo(), 7);
  Cmd(cmd::RemoveAllBookMarks);
  EXPECT_FALSE(Marked(7));
}

// ---- Centring ---------------------------------------------------------------

TEST_F(Bookmarks, CenterLinePutsTheTextBetweenTheMargins) {
  ed.open("abc\n");
  T()->leftMargin = 0;
  T()->rightMargin = 79;
  At(1, 0, 0);
  CenterLine(V());
  EXPECT_EQ(ed.line(1), std::string(38, ' ') + "abc");
  EXPECT_TRUE(ed.modified());
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(Bookmarks, CenterLineKeepsWhatStandsLeftOfTheLeftMargin) {
  ed.open("ab      centre me   \n");
  T()->leftMargin = 4;
  T()->rightMargin = 24;
  At(1, 0, 0);
  CenterLine(V());
  // Width 9 between 4 and 24: 4 + (24 - 4 - 9) / 2 = 9.
  EXPECT_EQ(ed.line(1), "ab       centre me");
}

TEST_F(Bookmarks, CenterLineOnTooWideOrEmptyLines) {
  // Wider than the margins: it starts at the left margin.
  ed.open(std::string(10, ' ') + std::string(100, 'w') + "\n\n   \n");
  T()->leftMargin = 2;
  T()->rightMargin = 50;
  At(1, 0, 0);
  CenterLine(V());
  EXPECT_EQ(ed.line(1), "  " + std::string(100, 'w'));
  // Nothing to centre: the text stays unmodified.
  At(2, 0, 1);
  CenterLine(V());
  At(3, 0, 2);
  CenterLine(V());
  EXPECT_EQ(ed.line(2), "");
  EXPECT_FALSE(V()->alineDirty);
}

TEST_F(Bookmarks, CenterLineNeverPushesTextPastTheLineLimit) {
  // A right margin beyond the last column, as a configuration file may set.
  ed.open("0123456789\n");
  T()->leftMargin = 0;
  T()->rightMargin = 3000;
  At(1, 0, 0);
  CenterLine(V());
  std::string l = ed.line(1);
  ASSERT_EQ(l.size(), size_t(kLineMax));
  EXPECT_EQ(l.substr(kLineMax - 10), "0123456789");
  // Near the limit with ordinary margins the text is centred exactly.
  ed.open(std::string(900, ' ') + std::string(100, 'q') + "\n");
  T()->leftMargin = 900;
  T()->rightMargin = 1023;
  At(1, 0, 0);
  Cmd(cmd::CenterLine);
  EXPECT_EQ(ed.line(1), std::string(911, ' ') + std::string(100, 'q'));
}

}  // namespace
}  // namespace movetest
