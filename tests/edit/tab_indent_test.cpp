// Tab moves that write and backspace, and the indentation moves.
#include <gtest/gtest.h>

#include "tests/edit/move_fixture.h"

namespace movetest {
namespace {

class TabMoves : public Moves {
 protected:
  void Insert(bool on) {
    if (on)
      V()->toggles |= TGL_INSERT;
    else
      V()->toggles &= ~TGL_INSERT;
  }
  void ClearRuler() {
    for (tchar& c : T()->ruler) c = ' ';
  }
};

TEST_F(TabMoves, TabRightWritesBlanksUpToTheStop) {
  ed.open("abcdef\n");
  ASSERT_FALSE(T()->mode & MODE_TABMODE);
  Insert(true);
  At(1, 2, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.line(1), "ab      cdef");
  EXPECT_EQ(ed.col(), 8);
  EXPECT_EQ(T()->lastTabKind, '|');
  EXPECT_TRUE(ed.modified());
}

TEST_F(TabMoves, TabRightInOverwriteModeBlanksTheCharacters) {
  ed.open("abcdefghij\n");
  Insert(false);
  At(1, 2, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.line(1), "ab      ij");
  EXPECT_EQ(ed.col(), 8);
}

TEST_F(TabMoves, AfterALeftStopTheNextTabFirstStepsOverOneColumn) {
  ed.open("abc\n");
  Insert(true);
  ClearRuler();
  T()->ruler[5] = '<';
  T()->ruler[10] = '|';
  At(1, 0, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.line(1), "     abc");
  EXPECT_EQ(T()->lastTabKind, '<');
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.line(1), "     a    bc");
  EXPECT_EQ(ed.col(), 10);
  EXPECT_EQ(T()->lastTabKind, '|');
}

TEST_F(TabMoves, TabRightPastTheLastStopDoesNothing) {
  ed.open("abc\n");
  At(1, 1000, 0);
  Move(MOVE_TABRT);
  EXPECT_EQ(ed.col(), 1008);
  V()->redraw = 0;
  Move(MOVE_TABRT);  // the default ruler ends at 1008
  EXPECT_EQ(ed.col(), 1008);
  EXPECT_EQ(V()->redraw, 0);
  AFlush(V());
  EXPECT_EQ(ed.line(1), "abc");  // blanks past the end are not stored
}

TEST_F(TabMoves, TabRightOnTheEndOfTextPositionWritesNothing) {
  ed.open("abc\n");
  T()->curLine = T()->base;
  T()->lineNo = 2;
  T()->col = 0;
  ALoad(V());
  Move(MOVE_TABRT);
  EXPECT_EQ(T()->base->word, LINK_BASE);
  EXPECT_EQ(vt::CheckList(T()->base), "");
}

TEST_F(TabMoves, TabLeftBackspacesToTheStop) {
  ed.open("abcdefghijkl\n");
  Insert(true);
  At(1, 10, 0);
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.line(1), "abcdefghkl");
  EXPECT_EQ(ed.col(), 8);
  EXPECT_EQ(T()->lastTabKind, '|');
  At(1, 5, 0);
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.line(1), "fghkl");
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(TabMoves, TabLeftAfterALeftStopStillStepsLeft) {
  // A backspace right after a move to a left stop deletes at the stop
  // without moving; TabLt must still reach the stop to its left.
  ed.open("abcdefghij\n");
  Insert(true);
  ClearRuler();
  T()->ruler[6] = '<';
  At(1, 0, 0);
  T()->mode |= MODE_TABMODE;
  Move(MOVE_TABRT);
  T()->mode &= ~MODE_TABMODE;
  ASSERT_EQ(T()->lastTabKind, '<');
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(ed.line(1), "ghij");
}

TEST_F(TabMoves, TabLeftDoesNotJoinLinesAtTheLeftMargin) {
  ed.open("first\nabcdefghij\n");
  Insert(true);
  T()->leftMargin = 4;
  At(2, 6, 1);
  Move(MOVE_TABLT);
  EXPECT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(ed.line(1), "first");
  EXPECT_EQ(ed.line(2), "abcdghij");
  EXPECT_EQ(Pos(), "2 0 1");
}

// ---- Indentation moves ----------------------------------------------------

class IndentMoves : public Moves {
 protected:
  void SetUp() override {
    ed.open(
        "top\n"             // 1
        "    four\n"        // 2
        "  two\n"           // 3
        "\n"                // 4
        "    \n"            // 5: blanks only
        "      six\n"       // 6
        "    four again\n"  // 7
        "  two\n");         // 8
  }
};

TEST_F(IndentMoves, DownSkipsOtherIndentsAndEmptyLines) {
  At(2, 5, 1);
  Move(MOVE_INDENTDOWN);
  EXPECT_EQ(Pos(), "7 5 6");
  ExpectLoaded();
  EXPECT_FALSE(ed.modified());
  Move(MOVE_INDENTDOWN);  // no further line indented by 4
  EXPECT_EQ(Pos(), "7 5 6");
  ExpectLoaded();
}

TEST_F(IndentMoves, UpFindsTheNearestLineAbove) {
  At(8, 0, 7);
  Move(MOVE_INDENTUP);
  EXPECT_EQ(Pos(), "3 0 2");
  Move(MOVE_INDENTUP);
  EXPECT_EQ(Pos(), "3 0 2");
  At(7, 0, 6);
  Move(MOVE_INDENTUP);
  EXPECT_EQ(ed.lineNo(), 2);
  EXPECT_FALSE(ed.modified());
}

TEST_F(IndentMoves, FromAnEmptyLineTheUnindentedLinesMatch) {
  At(4, 0, 3);
  Move(MOVE_INDENTUP);
  EXPECT_EQ(ed.lineNo(), 1);
  At(4, 0, 3);
  Move(MOVE_INDENTDOWN);
  EXPECT_EQ(ed.lineNo(), 4);  // nothing below starts at column 0
}

TEST_F(IndentMoves, AnEditOfTheCursorLineIsStoredAndKept) {
  At(2, 8, 1);
  vt::FromUtf8(&V()->aline, "    four!");
  V()->alineDirty = 1;
  Move(MOVE_INDENTDOWN);
  EXPECT_EQ(ed.lineNo(), 7);
  EXPECT_EQ(ed.line(2), "    four!");
  // Without a match the edited line stays the cursor line, stored.
  vt::FromUtf8(&V()->aline, "    four again?");
  V()->alineDirty = 1;
  Move(MOVE_INDENTDOWN);
  EXPECT_EQ(ed.lineNo(), 7);
  EXPECT_EQ(vt::ToUtf8(V()->aline), "    four again?");
  EXPECT_EQ(ed.line(7), "    four again?");
}

TEST_F(IndentMoves, TheCommandsAreRouted) {
  At(3, 0, 2);
  Cmd(cmd::IndentDown);
  EXPECT_EQ(ed.lineNo(), 8);
  Cmd(cmd::IndentUp);
  EXPECT_EQ(ed.lineNo(), 3);
}

}  // namespace
}  // namespace movetest
