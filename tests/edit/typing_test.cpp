// Typing characters at the cursor: insert and overwrite, the line limits.
#include "edit/typing.h"

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "tests/support/headless.h"

namespace {

class Typing : public ::testing::Test {
 protected:
  void Type(const std::string& s) {
    for (unsigned char c : s) TypeChar(ed.V(), c);
  }
  void SetInsert(bool on) {
    if (on)
      ed->toggles |= TGL_INSERT;
    else
      ed->toggles &= ~TGL_INSERT;
  }
  vt::Editor ed;
};

TEST_F(Typing, InsertModePushesTheRestRight) {
  ed.open("world\n");
  SetInsert(true);
  Type("hello ");
  EXPECT_EQ(ed.line(1), "hello world");
  EXPECT_EQ(ed.col(), 6);
  EXPECT_TRUE(ed->alineDirty);
  EXPECT_TRUE(ed.modified());
}

TEST_F(Typing, OverwriteModeReplacesAndExtendsAtTheEnd) {
  ed.open("abc\n");
  SetInsert(false);
  Type("XYZW");
  EXPECT_EQ(ed.line(1), "XYZW");
  EXPECT_EQ(ed.col(), 4);
}

TEST_F(Typing, PastTheEndThePadIsBlanks) {
  ed.open("ab\n");
  ed.cur()->col = 5;
  SetInsert(true);
  Type("x");
  EXPECT_EQ(ed.line(1), "ab   x");
  EXPECT_EQ(ed.col(), 6);
}

TEST_F(Typing, BlanksPastTheCursorDoNotCountAgainstTheLimit) {
  // A line of 1023 characters whose tail is blank still takes a character
  // typed before the blanks.
  std::string s(10, 'a');
  ed.open(s + "\n");
  ActiveLine& a = ed->aline;
  for (int i = 10; i < kLineMax; i++) a.c[i] = ' ';
  a.count = kLineMax;
  ed.cur()->col = 10;
  SetInsert(true);
  TypeChar(ed.V(), 'b');
  EXPECT_EQ(ed.line(1), s + "b");
}

TEST_F(Typing, StopsAtTheLastTypingColumnAndOnAFullLine) {
  ed.open("\n");
  SetInsert(true);
  ed.cur()->col = kTypeLimit;
  TypeChar(ed.V(), 'x');
  EXPECT_EQ(ed->aline.count, kTypeLimit + 1);
  EXPECT_EQ(ed.col(), kTypeLimit + 1);
  TypeChar(ed.V(), 'y');  // column 1022: refused
  EXPECT_EQ(ed->aline.count, kTypeLimit + 1);
  EXPECT_EQ(ed.col(), kTypeLimit + 1);

  ActiveLine& a = ed->aline;
  for (int i = 0; i < kLineMax; i++) a.c[i] = 'a';
  a.count = kLineMax;
  ed.cur()->col = 3;
  TypeChar(ed.V(), 'b');
  EXPECT_EQ(a.count, kLineMax);
  EXPECT_EQ(a.c[3], tchar('a'));
  EXPECT_EQ(ed.col(), 3);
}

TEST_F(Typing, NonCharactersAndTheEndOfTextAreIgnored) {
  ed.open("a\n");
  TypeChar(ed.V(), 0);
  TypeChar(ed.V(), -1);
  TypeChar(ed.V(), 0x110000);
  TypeChar(ed.V(), 0x40000100 + 34);
  EXPECT_EQ(ed.line(1), "a");
  EXPECT_FALSE(ed->alineDirty);
  ed->aline.flags |= LINK_BASE;
  TypeChar(ed.V(), 'x');
  EXPECT_FALSE(ed->alineDirty);
  EXPECT_EQ(ed.col(), 0);
}

TEST_F(Typing, NothingWithoutAText) {
  Tcb* keep = ed->curTcb;
  ed->curTcb = nullptr;
  TypeChar(ed.V(), 'x');
  ed->curTcb = keep;
  EXPECT_EQ(ed.line(1), "");
}

TEST_F(Typing, TheViewFollowsTheCursorSideways) {
  ed.open("\n");
  Tcb* t = ed.cur();
  t->cols = 10;
  t->col = 7;
  ed->redraw = 0;
  TypeChar(ed.V(), 'x');
  EXPECT_EQ(t->leftCol, 0);
  TypeChar(ed.V(), 'y');  // column 9 would be under the line-end mark
  EXPECT_EQ(t->leftCol, 1);
  EXPECT_TRUE(ed->redraw & REDRAW_TEXT);
}

TEST_F(Typing, WideCharactersAreStoredAsUtf8) {
  ed.open("\n");
  SetInsert(true);
  TypeChar(ed.V(), 0x20ac);
  TypeChar(ed.V(), 0x1f600);
  EXPECT_EQ(ed.line(1), "\xe2\x82\xac\xf0\x9f\x98\x80");
  AFlush(ed.V());
  EXPECT_EQ(vt::Stored(ed.cur()->curLine), "\xe2\x82\xac\xf0\x9f\x98\x80");
}

}  // namespace
