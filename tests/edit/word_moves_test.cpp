// Moves by words under both word maps.
#include <gtest/gtest.h>

#include <vector>

#include "tests/edit/move_fixture.h"

namespace movetest {
namespace {

class WordMoves : public Moves {
 protected:
  void Punctuation() { V()->wordClass = V()->wordBreak; }
  void Plain() { V()->wordClass = V()->nocase; }
  // The columns visited by repeating move m on line 1 from column `from`
  // until the cursor leaves the line or stops.
  std::vector<int> Walk(int m, int from) {
    std::vector<int> cols;
    At(1, from, 0);
    for (int i = 0; i < 40; i++) {
      int before = ed.col();
      Move(m);
      if (ed.lineNo() != 1 || ed.col() == before) break;
      cols.push_back(ed.col());
    }
    return cols;
  }
  using V_ = std::vector<int>;
};

TEST_F(WordMoves, PunctuationSeparatesOnlyUnderThePunctuationMap) {
  // "a,b c_d": the comma separates words with the punctuation map only; the
  // underscore never does.
  ed.open("a,b c_d\nnext\n");
  Punctuation();
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{2, 4, 7}));
  EXPECT_EQ(Walk(MOVE_WORDLEFT, 7), (V_{4, 2, 0}));
  Plain();
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{4, 7}));
  EXPECT_EQ(Walk(MOVE_WORDLEFT, 7), (V_{4, 0}));
}

TEST_F(WordMoves, TheToggleSwitchesTheMapWordMovesUse) {
  ed.open("foo.bar baz\n");
  ASSERT_EQ(V()->wordClass, V()->wordBreak);  // the start-up map
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{4, 8, 11}));
  Cmd(cmd::ToggleWordSet);
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{8, 11}));
  Cmd(cmd::ToggleWordSet);
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{4, 8, 11}));
}

TEST_F(WordMoves, WordLeftAtColumnZeroGoesToTheEndOfTheLineAbove) {
  ed.open("one\ntwo\nthree\nfour\nfive words\n");
  At(5, 0, 4);
  Move(MOVE_WORDLEFT);
  EXPECT_EQ(Pos(), "4 4 3");
  At(1, 0, 0);
  Move(MOVE_WORDLEFT);
  EXPECT_EQ(Pos(), "1 0 0");
  // From past the end of a line: to the start of its last word.
  At(5, 20, 4);
  Move(MOVE_WORDLEFT);
  EXPECT_EQ(Pos(), "5 5 4");
  // Leading blanks: the start of the line.
  ed.open("   x\n");
  At(1, 3, 0);
  Move(MOVE_WORDLEFT);
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(WordMoves, WordRightAtOrPastTheEndGoesToTheNextLine) {
  ed.open("ab cd\nnext\n");
  At(1, 5, 0);
  Move(MOVE_WORDRIGHT);
  EXPECT_EQ(Pos(), "2 0 1");
  At(1, 30, 34);
  Move(MOVE_WORDRIGHT);
  EXPECT_EQ(Pos(), "2 0 34");  // the bottom row stays
  At(2, 4, 1);
  Move(MOVE_WORDRIGHT);
  EXPECT_EQ(Pos(), "2 4 1");  // the last line: nothing moves
  // The last word of a line: the line end.
  At(1, 3, 0);
  Move(MOVE_WORDRIGHT);
  EXPECT_EQ(ed.col(), 5);
}

TEST_F(WordMoves, WordEndMovesStopBehindWords) {
  ed.open("ab  cd.ef\nx\n");
  Punctuation();
  EXPECT_EQ(Walk(MOVE_WORDENDRIGHT, 0), (V_{2, 4, 6, 7, 9}));
  EXPECT_EQ(Walk(MOVE_WORDENDLEFT, 9), (V_{6, 2, 0}));
  Plain();
  EXPECT_EQ(Walk(MOVE_WORDENDRIGHT, 0), (V_{2, 4, 9}));
  EXPECT_EQ(Walk(MOVE_WORDENDLEFT, 9), (V_{2, 0}));
  // Past the line end WordEndLeft first comes back to the end.
  At(1, 15, 0);
  Move(MOVE_WORDENDLEFT);
  EXPECT_EQ(ed.col(), 9);
}

TEST_F(WordMoves, WordEndMovesCrossLines) {
  ed.open("first\nsecond line\n");
  At(2, 0, 1);
  Move(MOVE_WORDENDLEFT);
  EXPECT_EQ(Pos(), "1 5 0");
  Move(MOVE_WORDENDLEFT);
  Move(MOVE_WORDENDLEFT);
  EXPECT_EQ(Pos(), "1 0 0");  // column 0 of the first line: stays
  At(1, 5, 0);
  Move(MOVE_WORDENDRIGHT);
  EXPECT_EQ(Pos(), "2 0 1");
  At(2, 11, 1);
  Move(MOVE_WORDENDRIGHT);
  EXPECT_EQ(Pos(), "2 11 1");
}

TEST_F(WordMoves, WordEndForMarkingGoesBehindTheWord) {
  ed.open("say hello, world\nnext\n");
  Punctuation();
  At(1, 4, 0);
  Move(MOVE_WORDEND);
  EXPECT_EQ(ed.col(), 9);
  Move(MOVE_WORDEND);
  EXPECT_EQ(ed.col(), 16);  // "world" ends the line
  Move(MOVE_WORDEND);
  EXPECT_EQ(Pos(), "2 0 1");
  At(2, 4, 1);
  Move(MOVE_WORDEND);
  EXPECT_EQ(Pos(), "2 4 1");  // the last line's end: stays
}

TEST_F(WordMoves, WordMovesKeepTheCursorOnScreen) {
  std::string longLine(300, 'a');
  longLine[150] = ' ';
  ed.open(longLine + "\n");
  At(1, 0, 0);
  Move(MOVE_WORDRIGHT);
  EXPECT_EQ(ed.col(), 151);
  EXPECT_EQ(T()->leftCol, 151 - 98 + 1);
  Move(MOVE_WORDLEFT);
  EXPECT_EQ(ed.col(), 0);
  EXPECT_EQ(T()->leftCol, 0);
}

TEST_F(WordMoves, CharactersPastU1FFFUseTheirLowBits) {
  // U+2021 shares its map entry with '!' (0x21): a separator under the
  // punctuation map, as every character the map is indexed with.
  ed.open("ab\xE2\x80\xA1" "cd\n");
  Punctuation();
  EXPECT_EQ(Walk(MOVE_WORDRIGHT, 0), (V_{3, 5}));
}

}  // namespace
}  // namespace movetest
