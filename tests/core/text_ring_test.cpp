// Opening, replacing, closing and selecting texts in the ring.
#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace {

int ringSize(EditorState* V) {
  int n = 0;
  Tcb* t = V->tcbRing;
  do {
    n++;
    t = t->next;
  } while (t != V->tcbRing);
  return n;
}

TEST(TextRing, UntouchedScratchTextIsReplacedByTheFirstFile) {
  vt::Editor e;
  ASSERT_EQ(e.cur()->kind, KIND_NEW);
  Tcb* t = e.open("hello\n");
  EXPECT_EQ(ringSize(e.V()), 1);
  EXPECT_EQ(t->number, 0);
  EXPECT_EQ(t, e->tcbRing);
  EXPECT_EQ(e.line(1), "hello");
}

TEST(TextRing, TypedScratchTextStaysAndTheFileGetsTextNumberOne) {
  vt::Editor e;
  InsertChar(&e->aline, 0, 'x', false);
  e->alineDirty = 1;
  Tcb* scratch = e.cur();
  Tcb* t = e.open("hello\n");
  EXPECT_EQ(ringSize(e.V()), 2);
  EXPECT_EQ(t->number, 1);
  // The typed character was stored in the scratch text, not lost.
  EXPECT_EQ(vt::Stored(scratch->base->next()), "x");
  EXPECT_EQ(scratch->modified, 1);
}

TEST(TextRing, NewTextSetsUpCursorMarginsModeAndRuler) {
  vt::Editor e;
  e->defaults.mode = 0x4232 | MODE_WRAP | TGL_INSERT;
  e->defaults.rightMargin = 70;
  Tcb* t = e.open("a\nb\n", "x.txt", MODE_LATIN1);
  EXPECT_EQ(t->lineNo, 1);
  EXPECT_EQ(t->col, 0);
  EXPECT_EQ(t->curLine, t->base->next());
  EXPECT_EQ(t->rightMargin, 70);
  // A file without TABs starts with TABs-out off.
  EXPECT_EQ(t->mode, ((0x4232u | MODE_WRAP) & MODE_TEXT_MASK & ~MODE_TABSOUT) | MODE_LATIN1);
  EXPECT_EQ(t->ruler[0], tchar(' '));
  EXPECT_EQ(t->ruler[8], tchar('|'));
  EXPECT_EQ(t->ruler[1008], tchar('|'));
  EXPECT_EQ(t->ruler[1016], tchar(' '));
  EXPECT_EQ(t->ruler[9], tchar(' '));
  // Encoding 0 means UTF-8.
  InsertChar(&e->aline, 0, 'x', false);
  Link* b = NewBaseLink(e.V());
  AddEmptyLine(e.V(), b);
  EXPECT_EQ(NewText(e.V(), b, 0)->mode & MODE_ENCODING, MODE_UTF8);
}

TEST(TextRing, ClosedNumbersAreReused) {
  vt::Editor e;
  e.open("zero\n");
  e.open("one\n");
  Tcb* two = e.open("two\n");
  ASSERT_EQ(two->number, 2);
  Tcb* one = FindTcb(e.V(), 1);
  ASSERT_NE(one, nullptr);
  ReleaseTcb(e.V(), &one);
  EXPECT_EQ(one, e->tcbRing);  // the first text that still has one
  EXPECT_EQ(FindTcb(e.V(), 1), nullptr);
  Tcb* again = e.open("again\n");
  EXPECT_EQ(again->number, 1);
  EXPECT_EQ(ringSize(e.V()), 3);
}

TEST(TextRing, ClosingAMainTextClosesItsDuplicates) {
  vt::Editor e;
  Tcb* main = e.open("shared\nlines\n");
  e.open("other\n");
  Tcb* dup = OpenDup(e.V(), main->number);
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(dup->kind, KIND_DUP);
  EXPECT_STREQ(dup->fileName, "*DUP* test.txt");
  EXPECT_EQ(dup->base, main->base);
  EXPECT_EQ(e.cur(), dup);

  Tcb* which = main;
  ReleaseTcb(e.V(), &which);
  EXPECT_EQ(main->base, nullptr);
  EXPECT_EQ(dup->base, nullptr);
  EXPECT_NE(e.cur(), dup);
  EXPECT_NE(e.cur()->base, nullptr);
  EXPECT_EQ(e.line(1), "other");
}

TEST(TextRing, ClosingADuplicateLeavesTheMainTextAndKeepsItsTyping) {
  vt::Editor e;
  Tcb* main = e.open("shared\n");
  Tcb* dup = OpenDup(e.V(), main->number);
  StrInsert("typed ", &e->aline, 0);
  e->alineDirty = 1;
  Tcb* which = dup;
  ReleaseTcb(e.V(), &which);
  EXPECT_EQ(dup->base, nullptr);
  ASSERT_NE(main->base, nullptr);
  EXPECT_EQ(vt::Stored(main->base->next()), "typed shared");
  EXPECT_EQ(vt::CheckList(main->base), "");
}

TEST(TextRing, AnEmptyDuplicateIsNeverReplacedUnderItsMainText) {
  vt::Editor e;
  Tcb* main = e.open("");
  Tcb* dup = OpenDup(e.V(), main->number);
  ASSERT_EQ(e.cur(), dup);
  Tcb* t = e.open("file\n");
  EXPECT_NE(t, dup);
  EXPECT_NE(t, main);
  EXPECT_EQ(dup->base, main->base);
  EXPECT_EQ(vt::CheckList(main->base), "");
}

TEST(TextRing, AnEmptiedNamedFileIsNotReplaced) {
  vt::Editor e;
  Tcb* named = e.open("");
  named->modified = 1;  // the user deleted everything
  Tcb* t = e.open("next\n");
  EXPECT_NE(t, named);
  EXPECT_NE(named->base, nullptr);
}

TEST(TextRing, ClosingTheLastTextLeavesNone) {
  vt::Editor e;
  ReleaseTcb(e.V(), &e->curTcb);
  EXPECT_EQ(e->curTcb, nullptr);
}

TEST(Views, StepViewWalksOpenTextsAndSkipsFreeOnes) {
  vt::Editor e;
  e.open("0\n");
  e.open("1\n");
  e.open("2\n");
  Tcb* one = FindTcb(e.V(), 1);
  ReleaseTcb(e.V(), &one);
  SelectView(e.V(), 2);
  EXPECT_EQ(e.line(1), "2");
  StepView(e.V(), 0);  // from the last open text to the first
  EXPECT_EQ(e.cur()->number, 0);
  StepView(e.V(), 0);
  EXPECT_EQ(e.cur()->number, 2);
  StepView(e.V(), 1);
  EXPECT_EQ(e.cur()->number, 0);
  SelectView(e.V(), 1);  // a closed number: nothing happens
  EXPECT_EQ(e.cur()->number, 0);
}

TEST(Views, SelectingKeepsTheTypedLineOfTheTextLeft) {
  vt::Editor e;
  e.open("a\n");
  e.open("b\n");
  SelectView(e.V(), 0);
  StrInsert("x", &e->aline, 1);
  e->alineDirty = 1;
  SelectView(e.V(), 1);
  SelectView(e.V(), 0);
  EXPECT_EQ(e.line(1), "ax");
}

TEST(Views, SingleLayoutFillsTheWindow) {
  vt::Editor e;  // 800 x 600, cells 8 x 16, ascent 12
  Tcb* t = e.cur();
  EXPECT_EQ(e->winWidth, 790);
  EXPECT_EQ(e->screenCols, 98);
  EXPECT_EQ(t->cols, 98);
  EXPECT_EQ(t->statusY, 12);
  EXPECT_EQ(t->headY, 28);
  EXPECT_EQ(t->textY, 44);
  EXPECT_EQ(t->rows, (600 - 32) / 16);
  EXPECT_EQ(t->bottomY, t->rows * 16 + 32);
}

TEST(InView, ScrollsSidewaysToKeepTheCursorVisible) {
  vt::Editor e;
  Tcb* t = e.cur();
  t->cols = 80;
  t->leftCol = 0;
  t->col = 78;
  inView(e.V());
  EXPECT_EQ(t->leftCol, 0);
  t->col = 79;
  e->redraw = 0;
  inView(e.V());
  EXPECT_EQ(t->leftCol, 1);
  EXPECT_TRUE(e->redraw & REDRAW_TEXT);
  t->col = 0;
  inView(e.V());
  EXPECT_EQ(t->leftCol, 0);
}

}  // namespace
