// List operations on line lists.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/headless.h"

namespace {

std::vector<std::string> texts(const Link* base) {
  std::vector<std::string> out;
  for (const Link* l = base->next(); l != base; l = l->next()) out.push_back(vt::Stored(l));
  return out;
}

Link* addText(EditorState* V, Link* after, const char* s) {
  return AddBytesLine(V, after, uint16_t(std::strlen(s)), reinterpret_cast<const uint8_t*>(s));
}

using Lines = std::vector<std::string>;

TEST(LineList, BaseLinkFormsAnEmptyCircle) {
  vt::Editor e;
  Link* b = NewBaseLink(e.V());
  EXPECT_TRUE(IsBase(b));
  EXPECT_EQ(b->word, LINK_BASE);
  EXPECT_EQ(b->next(), b);
  EXPECT_EQ(b->prev(), b);
  EXPECT_EQ(b->width(), 0);
  b->setWidth(0x0401);
  EXPECT_EQ(b->width(), 0x0401);
  EXPECT_EQ(CountLines(b), 0);
}

TEST(LineList, AddRemoveAndMoveLinesKeepTheCircleSound) {
  vt::Editor e;
  EditorState* V = e.V();
  Link* b = NewBaseLink(V);
  Link* a = addText(V, b, "a");
  Link* c = addText(V, a, "c");
  addText(V, a, "b");
  EXPECT_EQ(texts(b), (Lines{"a", "b", "c"}));
  EXPECT_EQ(vt::CheckList(b), "");

  // Flags ride along with a copied line.
  c->word |= LINK_BOOKMARK;
  Link* copy = AddUtfLine(V, c, c);
  EXPECT_EQ(copy->word, c->word);
  EXPECT_EQ(texts(b), (Lines{"a", "b", "c", "c"}));

  e.cur()->modified = 0;
  EXPECT_EQ(vt::Stored(DeleteLink(V, copy)), "");  // the base follows the last line
  EXPECT_EQ(e.cur()->modified, 1);
  EXPECT_EQ(texts(b), (Lines{"a", "b", "c"}));

  Link* cursor = a;
  e.cur()->modified = 0;
  Link* pulled = PullLink(V, &cursor);
  EXPECT_EQ(pulled, a);
  EXPECT_EQ(vt::Stored(cursor), "b");
  EXPECT_EQ(e.cur()->modified, 1);
  EXPECT_EQ(texts(b), (Lines{"b", "c"}));
  cursor = b->prev();
  InsertLink(V, &cursor, pulled);
  EXPECT_EQ(cursor, pulled);
  EXPECT_EQ(texts(b), (Lines{"b", "c", "a"}));

  SwapLines(b->next());  // b moves one place down
  EXPECT_EQ(texts(b), (Lines{"c", "b", "a"}));
  EXPECT_EQ(vt::CheckList(b), "");
}

TEST(LineList, BindLinkSplicesRunsOfLines) {
  vt::Editor e;
  EditorState* V = e.V();
  Link* b = NewBaseLink(V);
  Link* l1 = addText(V, b, "1");
  Link* l2 = addText(V, l1, "2");
  Link* l3 = addText(V, l2, "3");
  // Lift 2 out into a list of its own.
  Link* other = NewBaseLink(V);
  BindLink(l1, l3);
  BindLink(other, l2);
  BindLink(l2, other);
  EXPECT_EQ(texts(b), (Lines{"1", "3"}));
  EXPECT_EQ(texts(other), (Lines{"2"}));
  EXPECT_EQ(vt::CheckList(b), "");
  EXPECT_EQ(vt::CheckList(other), "");
}

TEST(LineList, ResizeKeepsTheRecordWithinItsClassAndMovesItOtherwise) {
  vt::Editor e;
  EditorState* V = e.V();
  Link* b = NewBaseLink(V);
  Link* l = addText(V, b, "abcdef");
  addText(V, l, "next");
  EXPECT_EQ(ResizeLink(V, l, 0), l);
  Link* moved = ResizeLink(V, l, 7);
  ASSERT_NE(moved, l);
  EXPECT_EQ(moved->prev(), b);
  EXPECT_EQ(b->next(), moved);
  EXPECT_EQ(vt::Stored(moved->next()), "next");
  EXPECT_EQ(moved->next()->prev(), moved);
  // The old 16-byte record is the next one handed out for a short line.
  EXPECT_EQ(V->freeList[1], l);
  EXPECT_EQ(NewLink(V, 0), l);
}

TEST(LineList, ReleaseTextGivesEveryRecordBack) {
  vt::Editor e;
  EditorState* V = e.V();
  Link* b = NewBaseLink(V);
  Link* last = b;
  for (int i = 0; i < 5; i++) last = addText(V, last, "x");
  ReleaseText(V, b);
  int onList = 0;
  for (Link* l = V->freeList[1]; l; l = l->next()) onList++;
  EXPECT_EQ(onList, 6);  // five lines and the base
  ReleaseText(V, nullptr);
  EXPECT_EQ(V->quit, 0);
}

TEST(LineList, ReleasingALineAsATextIsFatal) {
  vt::Editor e;
  Link* b = NewBaseLink(e.V());
  Link* l = addText(e.V(), b, "x");
  ReleaseText(e.V(), l);
  EXPECT_EQ(e->quit, 1);
  EXPECT_EQ(e->fatal, 1);
  EXPECT_EQ(vt::CheckList(b), "");  // nothing was released
}

}  // namespace
