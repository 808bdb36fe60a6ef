// Typing at the cursor: insert and overwrite, the line limits, word wrap,
// the left and decimal stops, backspace with its ring, DelChr and CopyChr.
#include "edit/typing.h"

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/line_edit.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo_hooks.h"
#include "tests/support/headless.h"

namespace {

class Typing : public ::testing::Test {
 protected:
  void SetUp() override { udojoin = 0; }
  void Type(const std::string& s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    for (size_t i = 0; i < s.size();) {
      int len;
      TypeChar(ed.V(), int(uni8(p + i, int(s.size() - i), &len)));
      i += size_t(len);
    }
  }
  void SetInsert(bool on) {
    if (on)
      ed->toggles |= TGL_INSERT;
    else
      ed->toggles &= ~TGL_INSERT;
  }
  void At(int line, int col) {
    ALineSet(ed.V(), line);
    ed.cur()->col = col;
  }
  std::string Cursor() { return std::to_string(ed.lineNo()) + " " + std::to_string(ed.col()); }
  vt::Editor ed;
};

TEST_F(Typing, InsertModePushesTheRestRight) {
  ed.open("world\n");
  SetInsert(true);
  Type("hello ");
  EXPECT_EQ(ed.line(1), "hello world");
  EXPECT_EQ(ed.col(), 6);
  EXPECT_TRUE(ed.modified());
}

TEST_F(Typing, OverwriteReplacesAndBackspaceBlanks) {
  ed.open("abc\n");
  SetInsert(false);
  At(1, 1);
  Type("X");
  EXPECT_EQ(ed.line(1), "aXc");
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.line(1), "a c");
  EXPECT_EQ(ed.col(), 1);
  At(1, 2);
  Type("YZW");
  EXPECT_EQ(ed.line(1), "a YZW");
}

TEST_F(Typing, PastTheEndTheGapIsBlanks) {
  ed.open("ab\n");
  At(1, 5);
  Type("x");
  EXPECT_EQ(ed.line(1), "ab   x");
  EXPECT_EQ(ed.col(), 6);
}

TEST_F(Typing, StopsAtColumn1021AndOnAFullLine) {
  ed.open("\n");
  At(1, kTypeLimit);
  Type("x");
  EXPECT_EQ(ed->aline.count, kTypeLimit + 1);
  EXPECT_EQ(ed.col(), kTypeLimit + 1);
  Type("y");  // column 1022
  EXPECT_EQ(ed->aline.count, kTypeLimit + 1);

  ActiveLine& a = ed->aline;
  for (int i = 0; i < kLineMax; i++) a.c[i] = 'a';
  a.count = kLineMax;
  ed->alineDirty = 0;
  ed.cur()->col = 3;
  Type("b");
  EXPECT_EQ(ed->aline.count, kLineMax);
  EXPECT_EQ(ed->aline.c[3], tchar('a'));
  EXPECT_EQ(ed.col(), 3);
  EXPECT_FALSE(ed->alineDirty);
}

TEST_F(Typing, ALineThatWouldNotFitItsRecordTakesNoMoreCharacters) {
  // 341 euro signs take 1023 bytes: one more byte would be cut off when the
  // line is stored.
  std::string euros;
  for (int i = 0; i < 341; i++) euros += "\xe2\x82\xac";
  ed.open(euros + "\n");
  At(1, 0);
  Type("a");
  EXPECT_EQ(ed.line(1), euros);
  EXPECT_EQ(ed.col(), 0);
  // A blank that folds away still fits, and so does overwriting.
  SetInsert(false);
  Type("x");
  EXPECT_EQ(ed.line(1).substr(0, 1), "x");
  AFlush(ed.V());
  EXPECT_EQ(ed->alertText[0], 0);
  EXPECT_LE(FoldedBytes(&ed->aline), kLineMax);
}

TEST_F(Typing, CodesThatAreNoCharactersAndTheTextEndAreIgnored) {
  ed.open("a\nb\n");
  TypeChar(ed.V(), 0);
  TypeChar(ed.V(), -1);
  TypeChar(ed.V(), 0x110000);
  EXPECT_FALSE(ed->alineDirty);
  At(2, 0);
  DeleteLine(ed.V());  // the cursor is now past the last line
  ASSERT_TRUE(ed->aline.flags & LINK_BASE);
  Type("x");
  EXPECT_EQ(ed.lineCount(), 1);
  EXPECT_EQ(ed.line(1), "a");
  Tcb* keep = ed->curTcb;
  ed->curTcb = nullptr;
  TypeChar(ed.V(), 'x');
  ed->curTcb = keep;
}

TEST_F(Typing, WideCharactersAreStoredAsUtf8) {
  ed.open("\n");
  Type("\xe2\x82\xac\xf0\x9f\x98\x80");
  AFlush(ed.V());
  EXPECT_EQ(vt::Stored(ed.cur()->curLine), "\xe2\x82\xac\xf0\x9f\x98\x80");
}

// ---- Word wrap -----------------------------------------------------------

class Wrap : public Typing {
 protected:
  void SetUp() override {
    Typing::SetUp();
    ed.open("\n");
    ed.cur()->mode |= MODE_WRAP;
    ed.cur()->rightMargin = 20;
  }
};

TEST_F(Wrap, AWordCrossingColumn21MovesDownWithTheIndentation) {
  At(1, 0);
  Type("  The quick brown fox");  // 'x' at column 20 still fits
  EXPECT_EQ(ed.lineCount(), 1);
  Type("es");  // 'e' at column 21 crosses
  ASSERT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(ed.line(1), "  The quick brown");
  EXPECT_EQ(ed.line(2), "  foxes");
  EXPECT_EQ(Cursor(), "2 7");
  Link* first = ed.cur()->base->next();
  EXPECT_TRUE(first->word & LINK_SOFTBREAK);
  EXPECT_FALSE(first->next()->word & LINK_SOFTBREAK);
  Type(" jump");
  EXPECT_EQ(ed.line(2), "  foxes jump");
}

TEST_F(Wrap, TheCursorStaysBehindTheCharacterJustTyped) {
  Type("aaaa bbbb cccc dddd eeee");
  ASSERT_EQ(ed.lineCount(), 2);
  EXPECT_EQ(ed.line(2), "eeee");
  EXPECT_EQ(Cursor(), "2 4");
}

TEST_F(Wrap, BlanksAndAWordAloneOnItsLineDoNotWrap) {
  Type("abc");
  At(1, 25);
  Type(" ");
  EXPECT_EQ(ed.lineCount(), 1);
  At(1, 0);
  std::string word(30, 'w');
  Type(word);
  EXPECT_EQ(ed.lineCount(), 1);
  EXPECT_EQ(ed.line(1), word + "abc");
  ed.open("\n");  // a new text: word wrap off
  Type("one two three four five six");
  EXPECT_EQ(ed.lineCount(), 1);
}

// ---- Left and decimal stops ------------------------------------------------

class Stops : public Typing {
 protected:
  void open(const char* text) {
    ed.open(text);
    for (tchar& c : ed.cur()->ruler) c = ' ';
  }
  void Stop(int col, tchar kind) { ed.cur()->ruler[col] = kind; }
  void TabRight() { CursorMove(ed.V(), MOVE_TABRT); }
};

TEST_F(Stops, DigitsAtADecimalStopAlignRightThenTheDecimalsFollow) {
  open("\n");
  Stop(20, ',');
  TabRight();
  ASSERT_EQ(ed.col(), 20);
  ASSERT_EQ(ed.cur()->lastTabKind, ',');
  Type("123");
  EXPECT_EQ(ed.line(1), std::string(18, ' ') + "123");
  EXPECT_EQ(ed.col(), 20);
  Type(".");
  EXPECT_EQ(ed.col(), 21);
  EXPECT_EQ(ed.cur()->lastTabKind, 0);
  Type("45");
  EXPECT_EQ(ed.line(1), std::string(17, ' ') + "123.45");
}

TEST_F(Stops, ACommaStepsOverTheStopToo) {
  open("\n");
  Stop(12, ',');
  TabRight();
  Type("7,5");
  EXPECT_EQ(ed.line(1), std::string(11, ' ') + "7,5");
}

TEST_F(Stops, TextAtALeftStopGrowsLeftwardsAndBackspaceTakesItBack) {
  open("\n");
  Stop(10, '<');
  TabRight();
  Type("ab");
  EXPECT_EQ(ed.line(1), std::string(9, ' ') + "ab");
  EXPECT_EQ(ed.col(), 10);
  Type("c");
  EXPECT_EQ(ed.line(1), std::string(8, ' ') + "abc");
  // A backspace swallows the character on the stop; the rest moves right.
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.line(1), std::string(9, ' ') + "ab");
  EXPECT_EQ(ed.col(), 10);
}

TEST_F(Stops, TextIsNotPushedOutOfTheLineStart) {
  open("abcdefghij\n");
  At(1, 10);
  ed.cur()->lastTabKind = '<';
  Type("x");
  EXPECT_EQ(ed.line(1), "abcdefghij");
  EXPECT_FALSE(ed->alineDirty);
  At(1, 0);
  ed.cur()->lastTabKind = ',';
  Type("y");
  EXPECT_EQ(ed.line(1), "abcdefghij");
}

TEST_F(Stops, AtColumnZeroTheCharacterIsSimplyWritten) {
  open("\n");
  At(1, 0);
  ed.cur()->lastTabKind = '<';
  Type("q");
  EXPECT_EQ(ed.line(1), "q");
  EXPECT_EQ(ed.col(), 0);
}

// ---- Backspace and its ring -------------------------------------------------

TEST_F(Typing, ThreeBackspacesAndThreeUnBackspacesRestoreTheText) {
  ed.open("abc\n");
  At(1, 3);
  for (int i = 0; i < 3; i++) BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.line(1), "");
  EXPECT_EQ(ed.col(), 0);
  for (int i = 0; i < 3; i++) UnBackSpace(ed.V());
  EXPECT_EQ(ed.line(1), "abc");
  EXPECT_EQ(ed.col(), 3);
}

TEST_F(Typing, TheRingKeepsTheLast1024Characters) {
  std::string first, second;
  for (int i = 0; i < 1000; i++) first += char('a' + i % 26);
  for (int i = 0; i < 30; i++) second += char('A' + i % 26);
  ed.open(first + "\n" + second + "\n");
  At(1, 1000);
  for (int k = 0; k < 1000; k++) BackSpace(ed.V(), 1);
  At(2, 30);
  for (int k = 0; k < 30; k++) BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.text(), "\n");
  for (int k = 0; k < 1024; k++) UnBackSpace(ed.V());
  // The last run comes back first; of the first, the six characters saved
  // first were overwritten.  Typing stops at column 1021.
  EXPECT_EQ(ed.line(2), (second + first.substr(0, 994)).substr(0, kTypeLimit + 1));
}

TEST_F(Typing, BackspaceNoSaveLeavesTheRingAlone) {
  ed.open("xyz\n");
  At(1, 3);
  BackSpace(ed.V(), 0);
  EXPECT_EQ(ed.line(1), "xy");
  UnBackSpace(ed.V());
  EXPECT_EQ(ed.line(1), "xy ");  // the ring holds blanks at start-up
}

TEST_F(Typing, BackOnlySaveKeepsCharactersWithoutDeleting) {
  ed.open("abc\n");
  At(1, 3);
  for (int i = 0; i < 3; i++) toTube(ed.V());
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(ed.line(1), "abc");
  toTube(ed.V());  // column 0: nothing
  EXPECT_EQ(ed.col(), 0);
  At(1, 3);
  for (int i = 0; i < 3; i++) UnBackSpace(ed.V());
  EXPECT_EQ(ed.line(1), "abcabc");
  At(1, 9);
  toTube(ed.V());  // past the end: a blank
  At(1, 0);
  UnBackSpace(ed.V());
  EXPECT_EQ(ed.line(1), " abcabc");
}

TEST_F(Typing, BackspaceAtColumnZeroJoinsTheLineAbove) {
  ed.open("first\nsecond\n");
  At(2, 0);
  ed.cur()->row = 1;
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.text(), "firstsecond");
  EXPECT_EQ(Cursor(), "1 5");
  EXPECT_EQ(ed.cur()->row, 0);
  EXPECT_EQ(udojoin, 0);  // taken by the join's record
  BackSpace(ed.V(), 1);
  At(1, 0);
  BackSpace(ed.V(), 1);  // line 1: nothing
  EXPECT_EQ(ed.text(), "firssecond");
  EXPECT_EQ(Cursor(), "1 0");
}

TEST_F(Typing, BackspaceAtTheLeftMarginJoinsAtTheMargin) {
  ed.open("ab\n    cd\n");
  ed.cur()->leftMargin = 4;
  At(2, 4);
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.text(), "ab  cd");
  EXPECT_EQ(Cursor(), "1 4");
  // Inside the margin a backspace deletes as usual.
  At(1, 2);
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.text(), "a  cd");
}

TEST_F(Typing, BackspaceFromTheTextEndOnlyStepsOntoTheLastLine) {
  ed.open("one\ntwo\n");
  At(2, 0);
  DeleteLine(ed.V());
  ASSERT_TRUE(ed->aline.flags & LINK_BASE);
  ed.cur()->row = 1;
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.text(), "one");
  EXPECT_EQ(Cursor(), "1 0");
  EXPECT_EQ(ed.cur()->row, 0);
  EXPECT_EQ(udojoin, 0);          // nothing was joined
  EXPECT_EQ(ed->tubeIndex, 0u);   // and nothing went into the ring
}

TEST_F(Typing, BackspacePastTheLineEndOnlyMovesLeft) {
  ed.open("ab\n");
  At(1, 6);
  BackSpace(ed.V(), 1);
  EXPECT_EQ(ed.col(), 5);
  EXPECT_EQ(ed.line(1), "ab");
  EXPECT_FALSE(ed->alineDirty);
}

// ---- DelChr ----------------------------------------------------------------

TEST_F(Typing, DelChrRemovesTheCharacterOrJoinsTheNextLine) {
  ed.open("abc\ndef\n");
  At(1, 1);
  DeleteChar(ed.V());
  EXPECT_EQ(ed.line(1), "ac");
  EXPECT_EQ(ed.col(), 1);
  At(1, 2);
  DeleteChar(ed.V());
  EXPECT_EQ(ed.text(), "acdef");
  EXPECT_EQ(ed.col(), 2);
  EXPECT_EQ(udojoin, 1);  // for the command's join record
  udojoin = 0;
  At(1, 5);
  DeleteChar(ed.V());  // last line: nothing to join, nothing recorded
  EXPECT_EQ(ed.text(), "acdef");
  EXPECT_EQ(udojoin, 0);
}

TEST_F(Typing, DelChrPastTheEndPadsBeforeJoining) {
  ed.open("ab\ncd\n");
  At(1, 4);
  DeleteChar(ed.V());
  EXPECT_EQ(ed.text(), "ab  cd");
}

TEST_F(Typing, DelChrDeletesInOverwriteModeAndBesideTheMargin) {
  ed.open("zz\nabcdefgh\n");
  SetInsert(false);
  ed.cur()->leftMargin = 4;
  At(2, 3);
  DeleteChar(ed.V());
  EXPECT_EQ(ed.text(), "zz\nabcefgh");
  EXPECT_EQ(Cursor(), "2 3");
  EXPECT_FALSE(ed->toggles & TGL_INSERT);
  // At a decimal stop it deletes plainly too.
  ed.cur()->lastTabKind = ',';
  DeleteChar(ed.V());
  EXPECT_EQ(ed.line(2), "abcfgh");
}

// ---- CopyChr ----------------------------------------------------------------

TEST_F(Typing, CopyChrTypesTheCharacterAbove) {
  ed.open("abc\nxyz\n");
  At(2, 1);
  CopyChar(ed.V());
  EXPECT_EQ(ed.line(2), "xbyz");
  EXPECT_EQ(ed.col(), 2);
  At(2, 3);
  CopyChar(ed.V());  // the line above is too short
  EXPECT_EQ(ed.line(2), "xbyz");
  At(1, 0);
  CopyChar(ed.V());  // no line above
  EXPECT_EQ(ed.line(1), "abc");
}

}  // namespace
