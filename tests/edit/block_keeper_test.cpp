// The block keeps covering the same text while the text around it is
// edited.
#include "edit/block_keeper.h"

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/line_edit.h"
#include "edit/movement.h"
#include "edit/typing.h"
#include "edit/undo_hooks.h"
#include "tests/support/headless.h"

namespace {

class Keeper : public ::testing::Test {
 protected:
  void SetUp() override {
    udojoin = 0;
    ed.open("line one\nline two\nline three\nline four\nline five\n");
  }
  void Block(int sl, int sc, int el, int ec, bool column = false) {
    BlockRecord& b = ed->blk;
    b.blkTcb = b.blkView = ed.cur();
    b.startLine = sl;
    b.startCol = sc;
    b.endLine = el;
    b.endCol = ec;
    b.isColumn = column;
  }
  void At(int line, int col) {
    ALineSet(ed.V(), line);
    ed.cur()->col = col;
  }
  std::string Blk() {
    const BlockRecord& b = ed->blk;
    return std::to_string(b.startLine) + ":" + std::to_string(b.startCol) + "-" + std::to_string(b.endLine) + ":" +
           std::to_string(b.endCol);
  }
  // The text the block covers (a line block).
  std::string Covered() {
    const BlockRecord& b = ed->blk;
    std::string s;
    for (int n = b.startLine; n <= b.endLine; n++) {
      std::string l = ed.line(n);
      size_t from = n == b.startLine ? size_t(b.startCol) : 0;
      size_t to = n == b.endLine ? size_t(b.endCol) : l.size();
      if (n > b.startLine) s += "|";
      if (from < l.size()) s += l.substr(from, std::min(to, l.size()) - from);
    }
    return s;
  }
  vt::Editor ed;
};

TEST_F(Keeper, TypingBeforeTheStartMovesItInInsertModeOnly) {
  Block(2, 5, 3, 4);
  ASSERT_EQ(Covered(), "two|line");
  ed->toggles |= TGL_INSERT;
  At(2, 0);
  TypeChar(ed.V(), 'X');
  EXPECT_EQ(Blk(), "2:6-3:4");
  EXPECT_EQ(Covered(), "two|line");
  ed->toggles &= ~TGL_INSERT;
  TypeChar(ed.V(), 'Y');
  EXPECT_EQ(Blk(), "2:6-3:4");
}

TEST_F(Keeper, TypingAtTheEndColumnExtendsTheBlock) {
  Block(1, 0, 1, 4);
  At(1, 4);
  TypeChar(ed.V(), 'S');
  EXPECT_EQ(Covered(), "lineS");
  At(1, 0);
  TypeChar(ed.V(), '>');  // at the start: the block moves right
  EXPECT_EQ(Covered(), "lineS");
}

TEST_F(Keeper, BackspaceBeforeTheBlockPullsItLeft) {
  Block(2, 5, 2, 8);
  At(2, 4);
  BackSpace(ed.V(), 1);
  EXPECT_EQ(Blk(), "2:4-2:7");
  EXPECT_EQ(Covered(), "two");
  DeleteChar(ed.V());  // the blank before the block
  EXPECT_EQ(ed.line(2), "lintwo");
  EXPECT_EQ(Covered(), "two");
}

TEST_F(Keeper, AColumnBlockIgnoresCharacters) {
  Block(1, 2, 3, 6, true);
  At(2, 0);
  TypeChar(ed.V(), 'x');
  BackSpace(ed.V(), 1);
  EXPECT_EQ(Blk(), "1:2-3:6");
}

TEST_F(Keeper, WordDeletionsShrinkTheColumnsToTheCut) {
  ed.open("alpha beta gamma\n");
  Block(1, 8, 1, 14);
  ASSERT_EQ(Covered(), "ta gam");
  At(1, 6);
  DeleteRightWord(ed.V());  // "beta " goes; the block keeps "gam"
  EXPECT_EQ(ed.line(1), "alpha gamma");
  EXPECT_EQ(Blk(), "1:6-1:9");
  EXPECT_EQ(Covered(), "gam");
  At(1, 6);
  DeleteLeftWord(ed.V());  // "alpha " back to... column 5
  EXPECT_EQ(Blk(), "1:5-1:8");
}

TEST_F(Keeper, LinesInsertedOrAddedShiftTheLinesBelow) {
  Block(2, 1, 4, 3);
  At(2, 0);
  InsNewLine(ed.V());  // before the start line
  EXPECT_EQ(Blk(), "3:1-5:3");
  At(3, 0);
  AddNewLine(ed.V());  // after the start line: the end moves
  EXPECT_EQ(Blk(), "3:1-6:3");
  At(6, 0);
  DupLine(ed.V());  // after the end line: nothing moves
  EXPECT_EQ(Blk(), "3:1-6:3");
}

TEST_F(Keeper, DeletingLinesPullsTheBlockUp) {
  Block(3, 5, 5, 4);
  At(1, 0);
  DeleteLine(ed.V());
  EXPECT_EQ(Blk(), "2:5-4:4");
  At(2, 0);
  DeleteLine(ed.V());  // the start line itself: the block starts at its successor
  EXPECT_EQ(Blk(), "2:0-3:4");
  UndoDeleteLine(ed.V());  // restored before the cursor line
  EXPECT_EQ(Blk(), "3:0-4:4");
}

TEST_F(Keeper, JoiningMovesTheNextLinesEndsOntoTheJoinedLine) {
  Block(2, 5, 3, 4);
  ASSERT_EQ(Covered(), "two|line");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.line(1), "line oneline two");
  EXPECT_EQ(Blk(), "1:13-2:4");
  EXPECT_EQ(Covered(), "two|line");
}

TEST_F(Keeper, JoiningAtTheLeftMarginCountsTheDroppedBlanks) {
  ed.open("ab\n      cdef\n");
  ed.cur()->leftMargin = 4;
  Block(2, 7, 2, 9);
  ASSERT_EQ(Covered(), "de");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.line(1), "ab    cdef");
  EXPECT_EQ(Covered(), "de");
}

TEST_F(Keeper, EnterInsideTheBlockCarriesItsEndsToTheNewLine) {
  ed.open("  abcdef\n");
  Block(1, 4, 1, 7);
  ASSERT_EQ(Covered(), "cde");
  At(1, 5);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "  abc\n  def");
  EXPECT_EQ(Blk(), "1:4-2:4");
  EXPECT_EQ(Covered(), "c|  de");  // the new line's indentation lies inside
  EXPECT_EQ(ed->blk.startSplit, 0);
  EXPECT_EQ(ed->blk.endSplit, 0);
  At(1, 2);  // before the start: both ends go down
  NewLine(ed.V());
  EXPECT_EQ(Blk(), "2:4-3:4");
  EXPECT_EQ(Covered(), "c|  de");
}

TEST_F(Keeper, EnterAtTheBlockEndLeavesItWhereItIs) {
  ed.open("abcdef\n");
  Block(1, 1, 1, 3);
  At(1, 3);
  NewLine(ed.V());
  EXPECT_EQ(Blk(), "1:1-1:3");
  EXPECT_EQ(Covered(), "bc");
}

TEST_F(Keeper, OnlyEditsInTheMarkingViewCount) {
  Block(2, 5, 3, 4);
  ed->blk.blkView = nullptr;
  At(2, 0);
  TypeChar(ed.V(), 'X');
  DeleteLine(ed.V());
  EXPECT_EQ(Blk(), "2:5-3:4");
}

TEST_F(Keeper, ValidationAndLines) {
  Block(2, 3, 2, 3);  // empty
  EXPECT_EQ(ValidateBlk(ed.V()), 0);
  EXPECT_EQ(ed->blk.blkTcb, nullptr);
  Block(2, 3, 3, 0);  // a line block over a line end is not empty
  EXPECT_EQ(BlkUse(ed.V()), 0);
  EXPECT_EQ(vt::Stored(ed->blk.startLink), "line two");
  EXPECT_EQ(vt::Stored(ed->blk.endLink), "line three");
  Block(2, 3, 3, 0, true);  // the same as a column block is empty
  EXPECT_EQ(BlkUse(ed.V()), 1);
  Block(4, 0, 6, 2);  // past the end
  EXPECT_EQ(BlkUse(ed.V()), 1);
  EXPECT_EQ(ed->blk.blkTcb, ed.cur());
  ed->blk.isColumn = 1;
  ed->travLine = 4;
  RemoveBlk(ed.V());
  EXPECT_EQ(ed->blk.isColumn, 1);  // the kind survives
  EXPECT_EQ(ed->blk.startLine, 0);
  EXPECT_EQ(ed->travLine, 0);
}

}  // namespace
