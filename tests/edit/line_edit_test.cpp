// Line editing: splitting with automatic indentation, joining, deleting
// words and line ends, whole-line commands with the deleted-line store, and
// the indent and comment commands.
#include "edit/line_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "edit/typing.h"
#include "edit/undo_hooks.h"
#include "tests/support/headless.h"

namespace {

class LineEdit : public ::testing::Test {
 protected:
  void SetUp() override { udojoin = 0; }
  void At(int line, int col) {
    ALineSet(ed.V(), line);
    ed.cur()->col = col;
  }
  void Type(const std::string& s) {
    for (unsigned char c : s) TypeChar(ed.V(), c);
  }
  std::string Cursor() { return std::to_string(ed.lineNo()) + " " + std::to_string(ed.col()); }
  Link* Line(int n) {
    Link* l = ed.cur()->base->next();
    while (--n > 0) l = l->next();
    return l;
  }
  vt::Editor ed;
};

// ---- NewLine ---------------------------------------------------------------

TEST_F(LineEdit, EnterInAnIndentedLineIndentsTheRest) {
  ed.open("    abcdef\n");
  At(1, 7);
  ed.cur()->row = 0;
  EXPECT_EQ(NewLine(ed.V()), 0);
  EXPECT_EQ(ed.text(), "    abc\n    def");
  EXPECT_EQ(Cursor(), "2 4");
  EXPECT_EQ(ed.cur()->row, 1);
  EXPECT_TRUE(ed.modified());
}

TEST_F(LineEdit, EnterInsideTheIndentationSplitsAtTheText) {
  ed.open("    abc\n");
  At(1, 2);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "\n    abc");
  EXPECT_EQ(Cursor(), "2 4");
}

TEST_F(LineEdit, EnterOnABlankLineTakesTheIndentationFromAbove) {
  ed.open("        one\n        two\n\n");
  At(3, 0);
  NewLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 4);
  EXPECT_EQ(Cursor(), "4 8");
  Type("x");
  EXPECT_EQ(ed.line(4), "        x");
}

TEST_F(LineEdit, TheLookBackGoesNoFurtherThan128Lines) {
  std::string text = "      deep\n";
  for (int i = 0; i < 127; i++) text += "\n";
  ed.open(text + "\n");  // the indented line and 128 empty ones
  At(128, 0);            // 127 lines above it are empty, then the indented one
  NewLine(ed.V());
  EXPECT_EQ(ed.col(), 6);
  At(129 + 1, 0);  // the last line: the indented one is 129 lines up
  ASSERT_EQ(ed.lineNo(), 130);
  NewLine(ed.V());
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(LineEdit, EnterAtTheStartAndAtTheEnd) {
  ed.open("abc\n");
  At(1, 0);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "\nabc");
  EXPECT_EQ(Cursor(), "2 0");
  At(2, 3);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "\nabc\n");
  EXPECT_EQ(Cursor(), "3 0");
}

TEST_F(LineEdit, EnterBeyondTheLineEndAddsAnEmptyLine) {
  ed.open("  ab\nnext\n");
  At(1, 40);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "  ab\n\nnext");
  EXPECT_EQ(Cursor(), "2 2");
}

TEST_F(LineEdit, EnterKeepsTheBookmarkAndEndsTheSoftBreak) {
  ed.open("hello world\nnext\n");
  Line(1)->word |= LINK_BOOKMARK | LINK_SOFTBREAK;
  At(1, 5);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "hello\n world\nnext");
  EXPECT_EQ(Line(1)->word & (LINK_BOOKMARK | LINK_SOFTBREAK), LINK_BOOKMARK);
  EXPECT_EQ(Line(2)->word & (LINK_BOOKMARK | LINK_SOFTBREAK), 0);
}

TEST_F(LineEdit, EnterWithALeftMargin) {
  ed.open("ab\n");
  ed.cur()->leftMargin = 4;
  At(1, 1);  // left of the margin: the split is at the margin
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "ab\n");
  EXPECT_EQ(Cursor(), "2 0");  // nothing longer above: column 0
  ed.open("      abc def\n");
  ed.cur()->leftMargin = 4;
  At(1, 10);
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "      abc\n      def");
  EXPECT_EQ(Cursor(), "2 6");
}

TEST_F(LineEdit, ASplitThatUndoesAJoinAddsNoIndentation) {
  ed.open("    abcdef\n");
  At(1, 7);
  udojoin = 1;
  NewLine(ed.V());
  EXPECT_EQ(udojoin, 0);
  EXPECT_EQ(ed.text(), "    abc\ndef");
  EXPECT_EQ(Cursor(), "2 0");
}

TEST_F(LineEdit, EnterAtTheEndOfTextPositionAddsALastLine) {
  ed.open("one\ntwo\n");
  At(2, 0);
  DeleteLine(ed.V());
  ASSERT_EQ(Cursor(), "2 0");
  NewLine(ed.V());
  EXPECT_EQ(ed.text(), "one\n");
  EXPECT_EQ(ed.lineNo(), 2);
  Type("x");
  EXPECT_EQ(ed.text(), "one\nx");
}

// ---- Joining ---------------------------------------------------------------

TEST_F(LineEdit, JoinLineAppendsTheNextLine) {
  ed.open("abc\ndef\nghi\n");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.text(), "abcdef\nghi");
  EXPECT_EQ(Cursor(), "1 3");
  At(2, 0);
  JoinLine(ed.V());  // the last line: nothing
  EXPECT_EQ(ed.text(), "abcdef\nghi");
}

TEST_F(LineEdit, AJoinTakesTheSoftBreakOfTheNextLineAndKeepsBookmarks) {
  ed.open("a\nb\nc\n");
  Line(1)->word |= LINK_BOOKMARK | LINK_SOFTBREAK;
  Line(2)->word |= LINK_SOFTBREAK;
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(Line(1)->word & (LINK_BOOKMARK | LINK_SOFTBREAK), LINK_BOOKMARK | LINK_SOFTBREAK);
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.text(), "abc");
  EXPECT_EQ(Line(1)->word & (LINK_BOOKMARK | LINK_SOFTBREAK), LINK_BOOKMARK);
}

TEST_F(LineEdit, AJoinDropsOnlyTheBlanksBeforeTheLeftMargin) {
  ed.open("ab\n      cd\nxy\n  zw\nuv\nz   w\n");
  ed.cur()->leftMargin = 4;
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.line(1), "ab    cd");  // joined at the margin, 4 blanks dropped
  EXPECT_EQ(ed.col(), 4);
  At(2, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.line(2), "xy  zw");  // only the 2 blanks there were
  // Text standing left of the margin is kept, not cut away.
  At(3, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.line(3), "uv  z   w");
}

TEST_F(LineEdit, AJoinThatWouldOverfillTheLineIsRefused) {
  std::string a(1000, 'a'), b(100, 'b');
  ed.open(a + "\n" + b + "\n");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(ed.line(1), a);
  At(2, 0);
  BackSpace(ed.V(), 1);  // nor does backspace join them
  EXPECT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(Cursor(), "2 0");
  EXPECT_EQ(udojoin, 0);
  // Joining into exactly 1023 characters works.
  ed.open(std::string(1000, 'a') + "\n" + std::string(23, 'b') + "\n");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 1);
  EXPECT_EQ(ed.line(1).size(), 1023u);
}

TEST_F(LineEdit, AJoinThatWouldOverflowTheRecordIsRefused) {
  std::string euros;
  for (int i = 0; i < 300; i++) euros += "\xe2\x82\xac";  // 900 bytes
  ed.open(euros + "\n" + std::string(200, 'x') + "\n");
  At(1, 0);
  JoinLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(ed->alertText[0], 0);
}

// ---- Words and line ends ---------------------------------------------------

TEST_F(LineEdit, DelRtWordTakesTheWordAndItsBlanks) {
  ed.open("foo bar  baz\n");
  At(1, 0);
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.line(1), "bar  baz");
  EXPECT_EQ(ed->blkShift, 4);
  At(1, 3);  // on blanks: only the blanks go
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.line(1), "barbaz");
  At(1, 3);
  DeleteRightWord(ed.V());  // the last word runs to the line end
  EXPECT_EQ(ed.line(1), "bar");
}

TEST_F(LineEdit, DelRtWordUnderBothWordMaps) {
  ed.open("foo.bar baz\n");
  ed->wordClass = ed->wordBreak;
  At(1, 0);
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.line(1), "bar baz");
  ed.open("foo.bar baz\n");
  ed->wordClass = ed->nocase;
  At(1, 0);
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.line(1), "baz");
}

TEST_F(LineEdit, DelRtWordAtTheLineEndJoins) {
  ed.open("ab\ncd\n");
  At(1, 4);
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.text(), "ab  cd");
  EXPECT_EQ(udojoin, 1);
  udojoin = 0;
  At(1, 6);  // nothing left to join
  DeleteRightWord(ed.V());
  EXPECT_EQ(ed.text(), "ab  cd");
  EXPECT_EQ(udojoin, 0);
}

TEST_F(LineEdit, DelLtWordTakesTheWordBeforeTheCursor) {
  ed.open("foo bar\n");
  At(1, 7);  // the line end counts as a blank
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "foo");
  EXPECT_EQ(Cursor(), "1 3");
  EXPECT_EQ(ed->blkShift, 4);
  ed.open("foobar baz\n");
  At(1, 3);  // inside a word: its left part
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "bar baz");
  EXPECT_EQ(ed.col(), 0);
  At(1, 4);  // at a word start: back to the end of the word before
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "barbaz");
  EXPECT_EQ(ed.col(), 3);
}

TEST_F(LineEdit, DelLtWordUnderBothWordMaps) {
  ed.open("foo.bar\n");
  ed->wordClass = ed->wordBreak;
  At(1, 6);
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "foor");  // back to the end of foo
  ed.open("foo.bar\n");
  ed->wordClass = ed->nocase;
  At(1, 6);
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "r");
}

TEST_F(LineEdit, DelLtWordPastTheEndTakesOnlyTheGap) {
  ed.open("ab\n");
  At(1, 9);
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.line(1), "ab");
  EXPECT_EQ(Cursor(), "1 2");
}

TEST_F(LineEdit, DelLtWordAtColumnZeroJoinsTheLineAbove) {
  ed.open("abc\ndef\n");
  At(2, 0);
  ed.cur()->row = 1;
  DeleteLeftWord(ed.V());
  EXPECT_EQ(ed.text(), "abcdef");
  EXPECT_EQ(Cursor(), "1 3");
  EXPECT_EQ(ed.cur()->row, 0);
  EXPECT_EQ(udojoin, 1);
  udojoin = 0;
  At(1, 0);
  DeleteLeftWord(ed.V());  // the first line: nothing
  EXPECT_EQ(ed.text(), "abcdef");
  EXPECT_EQ(udojoin, 0);
}

TEST_F(LineEdit, DelToEolCutsAtTheCursor) {
  ed.open("abcdef\n");
  At(1, 2);
  DeleteToEol(ed.V());
  EXPECT_EQ(ed.line(1), "ab");
  EXPECT_EQ(ed.col(), 2);
  At(1, 5);
  DeleteToEol(ed.V());
  EXPECT_EQ(ed.line(1), "ab");
  At(1, 0);
  DeleteToEol(ed.V());
  EXPECT_EQ(ed.line(1), "");
}

TEST_F(LineEdit, UndoCursorlineDropsTheLinesUnsavedEdits) {
  ed.open("keep\n");
  At(1, 4);
  Type("xyz");
  EXPECT_EQ(ed.line(1), "keepxyz");
  UndoLine(ed.V());
  EXPECT_EQ(ed.line(1), "keep");
  EXPECT_FALSE(ed->alineDirty);
}

// ---- Whole lines ---------------------------------------------------------------

TEST_F(LineEdit, AddLineOpensALineBelowAndKeepsTheColumn) {
  ed.open("one\ntwo\n");
  At(1, 2);
  AddNewLine(ed.V());
  EXPECT_EQ(ed.text(), "one\n\ntwo");
  EXPECT_EQ(Cursor(), "2 2");
  At(3, 1);
  AddNewLine(ed.V());  // after the last line
  EXPECT_EQ(ed.text(), "one\n\ntwo\n");
  EXPECT_EQ(Cursor(), "4 1");
}

TEST_F(LineEdit, InsLineOpensALineAboveButNotAboveTheFirst) {
  ed.open("one\ntwo\n");
  At(2, 1);
  InsNewLine(ed.V());
  EXPECT_EQ(ed.text(), "one\n\ntwo");
  EXPECT_EQ(Cursor(), "2 1");
  At(1, 0);
  InsNewLine(ed.V());
  EXPECT_EQ(ed.text(), "one\n\ntwo");
  EXPECT_EQ(Cursor(), "1 0");
}

TEST_F(LineEdit, DupLineCopiesTheEditedLineWithoutItsMarks) {
  ed.open("abc\nz\n");
  Line(1)->word |= LINK_BOOKMARK;
  At(1, 3);
  Type("d");
  DupLine(ed.V());
  EXPECT_EQ(ed.text(), "abcd\nabcd\nz");
  EXPECT_EQ(Cursor(), "2 4");
  EXPECT_TRUE(Line(1)->word & LINK_BOOKMARK);
  EXPECT_FALSE(Line(2)->word & LINK_BOOKMARK);
}

TEST_F(LineEdit, DeletedLinesComeBackNewestFirstUpTo250) {
  std::string text;
  for (int i = 1; i <= 261; i++) text += "line " + std::to_string(i) + "\n";
  ed.open(text);
  At(1, 0);
  for (int i = 0; i < 260; i++) DeleteLine(ed.V());
  EXPECT_EQ(ed.text(), "line 261");
  EXPECT_EQ(ed->delCount, 250);
  for (int i = 0; i < 250; i++) UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 251);
  EXPECT_EQ(ed.line(1), "line 11");
  EXPECT_EQ(ed.line(250), "line 260");
  EXPECT_EQ(Cursor(), "1 0");
  UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 251);
  EXPECT_EQ(ed->delCount, 0);
}

TEST_F(LineEdit, OnlyLinesOf1To160BytesAreKept) {
  ed.open(std::string(200, 'L') + "\n" + std::string(160, 'M') + "\n\nend\n");
  At(1, 0);
  DeleteLine(ed.V());  // 200 bytes: gone for good
  EXPECT_EQ(udoflag, 1);
  EXPECT_EQ(ed->delCount, 0);
  UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 3);
  DeleteLine(ed.V());  // 160 bytes: kept
  EXPECT_EQ(udoflag, 0);
  DeleteLine(ed.V());  // empty: not kept
  EXPECT_EQ(udoflag, 1);
  EXPECT_EQ(ed->delCount, 1);
  UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.text(), std::string(160, 'M') + "\nend");
  // TABs count by their stored size.
  ed.open(std::string(100, '\t') + "x\n");  // 801 characters
  ASSERT_EQ(vt::Stored(ed.cur()->curLine).size(), 101u);
  DeleteLine(ed.V());
  EXPECT_EQ(ed->delCount, 1);
}

TEST_F(LineEdit, DeletingTheLastLineLeavesTheCursorPastTheEnd) {
  ed.open("one\ntwo\n");
  At(2, 1);
  DeleteLine(ed.V());
  EXPECT_EQ(ed.text(), "one");
  EXPECT_EQ(ed.lineNo(), 2);
  EXPECT_TRUE(IsBase(ed.cur()->curLine));
  DeleteLine(ed.V());  // nothing to delete there
  EXPECT_EQ(ed.text(), "one");
  UndoDeleteLine(ed.V());  // comes back as the last line
  EXPECT_EQ(ed.text(), "one\ntwo");
  EXPECT_EQ(Cursor(), "2 1");
}

TEST_F(LineEdit, DeletingTheOnlyLineLeavesOneEmptyLine) {
  ed.open("solo\n");
  DeleteLine(ed.V());
  EXPECT_EQ(ed.lineCount(), 1);
  EXPECT_EQ(ed.text(), "");
  EXPECT_EQ(ed.lineNo(), 1);
  EXPECT_FALSE(IsBase(ed.cur()->curLine));
  UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.text(), "solo\n");
}

TEST_F(LineEdit, ADeletedLineCanBeRestoredInAnotherTextWithItsBookmark) {
  ed.open("moving\n");
  ed.cur()->curLine->word |= LINK_BOOKMARK;
  ALoad(ed.V());
  DeleteLine(ed.V());
  ed.open("a\nb\n");
  At(2, 0);
  UndoDeleteLine(ed.V());
  EXPECT_EQ(ed.text(), "a\nmoving\nb");
  EXPECT_TRUE(Line(2)->word & LINK_BOOKMARK);
  EXPECT_EQ(vt::CheckList(ed->delBase), "");
}

// ---- Indent and comment ----------------------------------------------------------

TEST_F(LineEdit, IndentAndUnIndentWorkALineAtATime) {
  ed.open("abc\n def\nghi\n");
  At(1, 0);
  Indent(ed.V());
  EXPECT_EQ(ed.line(1), "  abc");
  EXPECT_EQ(Cursor(), "2 0");
  Indent(ed.V());
  EXPECT_EQ(ed.line(2), "   def");
  At(1, 0);
  UnIndent(ed.V());
  UnIndent(ed.V());
  EXPECT_EQ(ed.text(), "abc\n def\nghi");
  EXPECT_EQ(Cursor(), "3 0");
  UnIndent(ed.V());  // nothing to take, the last line: the cursor stays
  EXPECT_EQ(ed.text(), "abc\n def\nghi");
  EXPECT_EQ(Cursor(), "3 0");
}

TEST_F(LineEdit, IndentPastTheLineEndOnlyMovesDown) {
  ed.open("ab\ncd\n");
  At(1, 5);
  Indent(ed.V());
  EXPECT_EQ(ed.text(), "ab\ncd");
  EXPECT_EQ(Cursor(), "2 5");
}

TEST_F(LineEdit, IndentInsertsEvenInOverwriteMode) {
  ed.open("abc\n");
  ed->toggles &= ~TGL_INSERT;
  Indent(ed.V());
  EXPECT_EQ(ed.line(1), "  abc");
  EXPECT_FALSE(ed->toggles & TGL_INSERT);
}

TEST_F(LineEdit, CommentOutAndUnComment) {
  ed.open("int a;\nint b;\n");
  At(1, 0);
  Comment(ed.V());
  Comment(ed.V());
  EXPECT_EQ(ed.text(), "//int a;\n//int b;");
  EXPECT_EQ(Cursor(), "2 0");
  At(1, 0);
  UnComment(ed.V());
  EXPECT_EQ(ed.text(), "int a;\n//int b;");
  ed.open("/x\n");
  UnComment(ed.V());  // one slash is all there is
  EXPECT_EQ(ed.text(), "x");
}

}  // namespace
