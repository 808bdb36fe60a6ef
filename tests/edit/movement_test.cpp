// The cursor-line primitives and the line, page, screen and position moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/move_parts.h"
#include "shell/event_loop.h"
#include "shell/prompt.h"
#include "tests/edit/move_fixture.h"

namespace movetest {
namespace {

// ---- Line primitives ------------------------------------------------------

TEST_F(Moves, LineUpAndDownStopAtTheEndsAndKeepTheRow) {
  ed.open(Numbered(3));
  At(1, 0, 4);
  EXPECT_EQ(ALineUp(V()), 1);
  EXPECT_EQ(Pos(), "1 0 4");
  EXPECT_EQ(ALineDown(V()), 0);
  EXPECT_EQ(ALineDown(V()), 0);
  EXPECT_EQ(Pos(), "3 0 4");
  ExpectLoaded();
  EXPECT_EQ(ALineDown(V()), 1);
  EXPECT_EQ(ed.lineNo(), 3);
  EXPECT_EQ(ALineUp(V()), 0);
  EXPECT_EQ(vt::ToUtf8(V()->aline), "L2");
}

TEST_F(Moves, LeavingALineStoresItsEdit) {
  ed.open("abc\ndef\n");
  vt::FromUtf8(&V()->aline, "abcXYZ");
  V()->alineDirty = 1;
  ASSERT_EQ(ALineDown(V()), 0);
  EXPECT_EQ(ed.line(1), "abcXYZ");
  EXPECT_EQ(V()->alineDirty, 0);
  EXPECT_TRUE(T()->modified);
  EXPECT_EQ(vt::CheckList(T()->base), "");
}

TEST_F(Moves, FromTheEndOfTextPositionUpGoesToTheLastLine) {
  // After the last line is deleted the cursor may stand on the base link.
  ed.open(Numbered(2));
  T()->curLine = T()->base;
  T()->lineNo = 3;
  ALoad(V());
  EXPECT_EQ(ALineDown(V()), 1);
  EXPECT_EQ(ALineUp(V()), 0);
  EXPECT_EQ(ed.lineNo(), 2);
  ExpectLoaded();
}

TEST_F(Moves, LineSetWalksToTheNumberOrTheLastLine) {
  ed.open(Numbered(50));
  // From the first line, from the middle in both directions, past the end.
  for (int from : {1, 25, 50}) {
    for (int n : {1, 2, 12, 24, 25, 26, 49, 50, 51, 1000, kLastLine}) {
      At(from, 0, 0);
      ASSERT_EQ(ALineSet(V(), n), 0);
      EXPECT_EQ(ed.lineNo(), n > 50 ? 50 : n) << "from " << from << " to " << n;
      ExpectLoaded();
    }
  }
}

TEST_F(Moves, ATextWithoutLinesRefusesEveryMove) {
  ed.open("x\n");
  Link* base = NewBaseLink(V());
  Tcb* t = NewText(V(), base, MODE_UTF8);
  ASSERT_EQ(t->curLine, base);
  EXPECT_EQ(ALineSet(V(), 1), 1);
  EXPECT_EQ(ALineUp(V()), 1);
  EXPECT_EQ(ALineDown(V()), 1);
  for (int m = 0; m <= 37; m++) {
    if (m == MOVE_GOTOLINE) continue;
    CursorMove(V(), m);
    EXPECT_EQ(T()->curLine, base) << "move " << m;
  }
  EXPECT_EQ(vt::CheckList(base), "");
}

TEST_F(Moves, AFlushThatCannotStoreKeepsTheCursorAndTheEdit) {
  ed.open("ab\ncd\n");
  // Use up the arena and allow no further block.
  V()->memBlockLimit = V()->memBlocks;
  for (int len : {kLineMax, 300, 0})
    while (NewLink(V(), len)) {
    }
  V()->alertText[0] = 0;
  std::string longer(300, 'x');
  vt::FromUtf8(&V()->aline, longer);
  V()->alineDirty = 1;
  EXPECT_EQ(ALineDown(V()), 1);
  EXPECT_EQ(ALineSet(V(), 2), 1);
  EXPECT_EQ(StepLines(V(), 1), 0);
  Move(MOVE_ONEDOWN);
  Move(MOVE_PAGEDOWN);
  EXPECT_EQ(ed.lineNo(), 1);
  EXPECT_EQ(V()->alineDirty, 1);
  EXPECT_EQ(vt::ToUtf8(V()->aline), longer);
}

TEST_F(Moves, SetALineQuickMovesTheRowWithTheLineInsideTheView) {
  ed.open(Numbered(200));
  const int rows = T()->rows;
  ASSERT_EQ(rows, 35);
  auto quick = [&](int from, int row, int to) {
    At(from, 3, row);
    Link* l = T()->base->next();
    for (int i = 1; i < to; i++) l = l->next();
    SetALineQuick(V(), l, to);
    ExpectLoaded();
    EXPECT_EQ(ed.col(), 3);
    return T()->row;
  };
  EXPECT_EQ(quick(10, 5, 14), 9);
  EXPECT_EQ(quick(10, 5, 7), 2);
  EXPECT_EQ(quick(10, 5, 6), 1);
  EXPECT_EQ(quick(10, 5, 2), 1);  // never the top row
  EXPECT_EQ(quick(10, 5, 100), rows - 2);  // never the bottom row
}

TEST_F(Moves, AdjustKeepsTheColumnOnScreen) {
  ed.open("x\n");
  Tcb* t = T();
  ASSERT_EQ(t->cols, 98);
  t->leftCol = 0;
  t->col = 96;
  V()->redraw = 0;
  Adjust(V(), t);
  EXPECT_EQ(t->leftCol, 0);
  EXPECT_EQ(V()->redraw, 0);  // nothing changed, nothing to repaint
  t->col = 97;
  Adjust(V(), t);
  EXPECT_EQ(t->leftCol, 0);
  t->col = 98;
  Adjust(V(), t);
  EXPECT_EQ(t->leftCol, 1);
  EXPECT_TRUE(V()->redraw & REDRAW_TEXT);
  t->col = 0;
  Adjust(V(), t);
  EXPECT_EQ(t->leftCol, 0);
}

TEST_F(Moves, FindLOLIsTheFirstCharacterAboveTheSpace) {
  ActiveLine line;
  vt::FromUtf8(&line, "");
  EXPECT_EQ(findLOL(&line), 0);
  vt::FromUtf8(&line, "    ");
  EXPECT_EQ(findLOL(&line), 4);
  vt::FromUtf8(&line, "   x y");
  EXPECT_EQ(findLOL(&line), 3);
  vt::FromUtf8(&line, "\x01 z");  // control characters count as blank
  EXPECT_EQ(findLOL(&line), 2);
}

// ---- Vertical moves -------------------------------------------------------

TEST_F(Moves, OneUpAtTheTopRowScrollsTheText) {
  ed.open(Numbered(20));
  At(10, 2, 0);
  Move(MOVE_ONEUP);
  EXPECT_EQ(Pos(), "9 2 0");
  At(1, 2, 0);
  V()->redraw = 0;
  Move(MOVE_ONEUP);
  EXPECT_EQ(Pos(), "1 2 0");
}

TEST_F(Moves, OneDownAtTheBottomRowScrollsAndStopsAtTheLastLine) {
  ed.open(Numbered(50));
  At(40, 0, 34);
  Move(MOVE_ONEDOWN);
  EXPECT_EQ(Pos(), "41 0 34");
  At(50, 0, 20);
  Move(MOVE_ONEDOWN);
  EXPECT_EQ(Pos(), "50 0 20");
}

TEST_F(Moves, AllUpAndAllDownMoveOnlyTheRow) {
  ed.open(Numbered(5));
  At(3, 1, 0);
  Move(MOVE_ALLUP);
  EXPECT_EQ(Pos(), "3 1 0");
  Move(MOVE_ALLDOWN);
  EXPECT_EQ(Pos(), "3 1 1");
  At(3, 1, 34);
  Move(MOVE_ALLDOWN);
  EXPECT_EQ(Pos(), "3 1 34");
  Move(MOVE_ALLUP);
  EXPECT_EQ(Pos(), "3 1 33");
}

TEST_F(Moves, PagesMoveRowsLessOneLinesAndStopAtTheEnds) {
  ed.open(Numbered(100));
  At(1, 4, 7);
  Move(MOVE_PAGEDOWN);
  EXPECT_EQ(Pos(), "35 4 7");
  ExpectLoaded();
  Move(MOVE_PAGEDOWN);
  Move(MOVE_PAGEDOWN);
  EXPECT_EQ(Pos(), "100 4 7");
  ExpectLoaded();
  Move(MOVE_PAGEUP);
  EXPECT_EQ(Pos(), "66 4 7");
  At(20, 0, 3);
  Move(MOVE_PAGEUP);
  EXPECT_EQ(Pos(), "1 0 3");
  ExpectLoaded();
}

TEST_F(Moves, TopAndBottomOfScreen) {
  ed.open(Numbered(100));
  At(20, 0, 10);
  Move(MOVE_TOPOFSCRN);
  EXPECT_EQ(Pos(), "10 0 0");
  Move(MOVE_BOTTOMOFSCRN);
  EXPECT_EQ(Pos(), "44 0 34");
  ExpectLoaded();
  // A short text shown low in the view: the row reaches the top anyway,
  // and the bottom stops at the last line.
  ed.open(Numbered(5));
  At(3, 0, 30);
  Move(MOVE_TOPOFSCRN);
  EXPECT_EQ(Pos(), "1 0 0");
  Move(MOVE_BOTTOMOFSCRN);
  EXPECT_EQ(Pos(), "5 0 4");
}

TEST_F(Moves, FirstAndLastLineAndPosition) {
  ed.open("  first\nmid\n" + std::string(200, 'z') + "\n");
  At(2, 5, 1);
  Move(MOVE_FIRSTLINE);
  EXPECT_EQ(Pos(), "1 5 0");
  Move(MOVE_LASTLINE);
  EXPECT_EQ(Pos(), "3 5 34");  // the bottom row even in a short text
  Move(MOVE_FIRSTPOS);
  EXPECT_EQ(Pos(), "1 0 0");
  Move(MOVE_LASTPOS);
  EXPECT_EQ(Pos(), "3 200 34");
  EXPECT_EQ(T()->leftCol, 200 - 98 + 1);
  Move(MOVE_FIRSTPOS);
  EXPECT_EQ(T()->leftCol, 0);
}

TEST_F(Moves, MakeTopMiddleBottomSetTheRow) {
  ed.open(Numbered(100));
  At(50, 0, 3);
  Move(MOVE_MAKEMIDDLE);
  EXPECT_EQ(Pos(), "50 0 17");
  Move(MOVE_MAKEBOTTOM);
  EXPECT_EQ(Pos(), "50 0 34");
  Move(MOVE_MAKETOP);
  EXPECT_EQ(Pos(), "50 0 0");
}

// ---- Columns --------------------------------------------------------------

TEST_F(Moves, LeftAndRightStopAtTheLineLimitsNotTheText) {
  ed.open("ab\n");
  At(1, 0, 0);
  Move(MOVE_ONELEFT);
  EXPECT_EQ(ed.col(), 0);
  At(1, 2, 0);
  Move(MOVE_ONERIGHT);
  EXPECT_EQ(ed.col(), 3);  // past the end is allowed
  At(1, 1022, 0);
  Move(MOVE_ONERIGHT);
  EXPECT_EQ(ed.col(), 1023);
  Move(MOVE_ONERIGHT);
  EXPECT_EQ(ed.col(), 1023);
  EXPECT_EQ(T()->leftCol, 1023 - 98 + 1);
  EXPECT_FALSE(ed.modified());
}

TEST_F(Moves, EndOfLineIgnoresTrailingBlanksWithoutChangingTheText) {
  ed.open("abc   \n\n");
  At(1, 0, 0);
  Move(MOVE_ENDOFLINE);
  EXPECT_EQ(ed.col(), 3);
  EXPECT_FALSE(ed.modified());
  Move(MOVE_BEGOFLINE);
  EXPECT_EQ(ed.col(), 0);
  At(2, 7, 1);
  Move(MOVE_ENDOFLINE);
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(Moves, LeftOfLineGoesToTheFirstCharacterAndIsKeptOnScreen) {
  ed.open("    word\n      \n" + std::string(150, ' ') + "x\n");
  At(1, 0, 0);
  Move(MOVE_LEFTOFLINE);
  EXPECT_EQ(ed.col(), 4);
  At(2, 0, 0);
  Move(MOVE_LEFTOFLINE);
  EXPECT_EQ(ed.col(), 6);  // a blank line: its length
  At(3, 0, 0);
  Move(MOVE_LEFTOFLINE);
  EXPECT_EQ(ed.col(), 150);
  EXPECT_LE(T()->leftCol, 150);
  EXPECT_GE(T()->leftCol + T()->cols - 1, 150);
}

// ---- Remembered positions -------------------------------------------------

TEST_F(Moves, BlockEndsOnlyInTheTextThatHoldsTheBlock) {
  ed.open(Numbered(10));
  V()->blk.blkTcb = T();
  V()->blk.startLine = 3;
  V()->blk.startCol = 1;
  V()->blk.endLine = 7;
  V()->blk.endCol = 150;
  At(5, 0, 4);
  Move(MOVE_BLOCKBEG);
  EXPECT_EQ(Pos(), "3 1 4");
  Move(MOVE_BLOCKEND);
  EXPECT_EQ(Pos(), "7 150 4");
  EXPECT_GT(T()->leftCol + T()->cols, 150);  // the column is on screen
  // A block of another text is no block here.
  Tcb* first = T();
  ed.open("one\n");
  ed.open("two\nthree\n");
  ASSERT_NE(T(), first);
  At(2, 1, 1);
  Move(MOVE_BLOCKBEG);
  Move(MOVE_BLOCKEND);
  EXPECT_EQ(Pos(), "2 1 1");
}

TEST_F(Moves, PrevPosGoesToTheLastEditInTheCurrentText) {
  ed.open(Numbered(10));
  At(8, 0, 7);
  V()->lastEditLine = 0;
  Move(MOVE_PREVPOS);
  EXPECT_EQ(Pos(), "8 0 7");
  V()->lastEditLine = 4;
  V()->lastEditCol = 2;
  Move(MOVE_PREVPOS);
  EXPECT_EQ(Pos(), "4 2 7");
  V()->lastEditLine = 99;  // a line number past the end
  Move(MOVE_PREVPOS);
  EXPECT_EQ(ed.lineNo(), 10);
}

TEST_F(Moves, MarkAndJumpAcrossTexts) {
  ed.open(Numbered(10), "a.txt");
  ed.open("x\n");  // the first text was replaced; open a second one
  Tcb* b = T();
  SelectView(V(), 0);
  Tcb* a = T();
  ASSERT_NE(a, b);
  At(6, 1, 5);
  Move(MOVE_MARKPOS);
  SelectView(V(), b->number);
  ASSERT_EQ(T(), b);
  Move(MOVE_JUMPTOPOS);
  ASSERT_EQ(T(), a);
  EXPECT_EQ(Pos(), "6 1 5");
  ExpectLoaded();
}

TEST_F(Moves, JumpWithoutAMarkOrToAClosedTextDoesNothing) {
  ed.open(Numbered(10));
  At(4, 2, 3);
  V()->markLine = 0;
  V()->redraw = 0;
  Move(MOVE_JUMPTOPOS);
  EXPECT_EQ(Pos(), "4 2 3");
  V()->markText = 77;  // no such text
  V()->markLine = 9;
  V()->redraw = 0;
  Move(MOVE_JUMPTOPOS);
  EXPECT_EQ(Pos(), "4 2 3");
  EXPECT_EQ(V()->redraw, 0);
}

TEST_F(Moves, ZapTradesCursorAndMarkAndTwiceReturns) {
  ed.open(Numbered(30));
  ed.open("other\ntext\n");
  Tcb* b = T();
  At(2, 3, 1);
  Move(MOVE_MARKPOS);
  SelectView(V(), 0);
  At(25, 0, 12);
  Move(MOVE_ZAP);
  EXPECT_EQ(T(), b);
  EXPECT_EQ(Pos(), "2 3 1");
  EXPECT_EQ(V()->markLine, 25);
  EXPECT_EQ(V()->markText, 0);
  Move(MOVE_ZAP);
  EXPECT_EQ(T()->number, 0);
  EXPECT_EQ(Pos(), "25 0 12");
  EXPECT_EQ(V()->markLine, 2);
}

TEST_F(Moves, EveryMoveButTheTabMovesForgetsTheLastTabStop) {
  ed.open(Numbered(5));
  for (int m : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 25, 26, 27,
                28, 29, 30, 32, 35, 36, 37}) {
    At(3, 2, 2);
    T()->lastTabKind = '<';
    Move(m);
    EXPECT_EQ(T()->lastTabKind, 0) << "move " << m;
  }
}

TEST_F(Moves, UnknownMoveNumbersDoNothing) {
  ed.open(Numbered(5));
  At(3, 2, 2);
  for (int m : {-1, 10, 31, 38, 1000}) {
    V()->redraw = 0;
    Move(m);
    EXPECT_EQ(Pos(), "3 2 2");
    EXPECT_EQ(V()->redraw, 0);
  }
}

}  // namespace
}  // namespace movetest

namespace movetest {
namespace {

TEST_F(Moves, GotoLineAsksForANumberAndEscLeavesTheCursor) {
  ed.open(Numbered(9));
  At(5, 2, 4);
  Move(MOVE_GOTOLINE);
  ASSERT_EQ(V()->inputMode, ModePrompt);
  std::string message;
  for (int i = 0; i < V()->promptAnswer - 1; i++) message += char(V()->promptLine[i]);
  EXPECT_EQ(message, "Goto line:");
  Prompt(V(), '3');
  Prompt(V(), 27);
  EXPECT_EQ(V()->inputMode, ModeEdit);
  EXPECT_EQ(Pos(), "5 2 4");
  Cmd(cmd::GotoLine);
  Prompt(V(), '3');
  Prompt(V(), CMD_BASE + cmd::NewLine);
  EXPECT_EQ(Pos(), "3 2 4");  // the row stays
  ExpectLoaded();
}

TEST_F(Moves, DoGotoTakesOnlyPositiveNumbers) {
  ed.open(Numbered(9));
  At(5, 0, 4);
  for (int n : {0, -3}) {
    V()->promptNumber = n;
    DoGoto(V());
    EXPECT_EQ(ed.lineNo(), 5);
  }
  V()->promptNumber = 999999;
  DoGoto(V());
  EXPECT_EQ(ed.lineNo(), 9);
  ExpectLoaded();
}

}  // namespace
}  // namespace movetest

namespace movetest {
namespace {

TEST_F(Moves, InAnEmptyTextTheCursorStaysAtTheStart) {
  // The scratch text: one empty line.
  for (int m : {0, 1, 2, 4, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 21, 22, 24, 25, 26, 27, 29, 30, 32, 33,
                34, 35, 36, 37}) {
    At(1, 0, 0);
    Move(m);
    EXPECT_EQ(ed.lineNo(), 1) << "move " << m;
    EXPECT_EQ(ed.col(), 0) << "move " << m;
  }
  EXPECT_EQ(ed.lines(), std::vector<std::string>{""});
  EXPECT_FALSE(ed.modified());
}

TEST_F(Moves, BeginningOfLineFromTheLastColumnScrollsBack) {
  ed.open("abc\n");
  At(1, 1023, 0);
  Move(MOVE_ONERIGHT);
  ASSERT_GT(T()->leftCol, 0);
  Move(MOVE_BEGOFLINE);
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(T()->leftCol, 0);
}

}  // namespace
}  // namespace movetest
