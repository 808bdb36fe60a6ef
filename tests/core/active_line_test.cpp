// Folding and expanding lines, and the primitives that edit an active line.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/headless.h"

namespace {

using vt::FromUtf8;
using vt::Stored;
using vt::ToUtf8;

std::string fold(EditorState* V, const std::string& s) {
  ActiveLine line;
  FromUtf8(&line, s);
  LineImage img;
  Tabify(V, &img, &line);
  return std::string(reinterpret_cast<char*>(img.text), img.word & LINK_LENMASK);
}

std::string expand(EditorState* V, const std::string& stored) {
  Link* b = NewBaseLink(V);
  Link* l = AddBytesLine(V, b, uint16_t(stored.size()), reinterpret_cast<const uint8_t*>(stored.data()));
  ActiveLine line;
  GetLine(l, &line);
  return ToUtf8(line);
}

TEST(Tabify, BlanksEndingOnATabStopFoldIntoOneTab) {
  vt::Editor e;
  EditorState* V = e.V();
  EXPECT_EQ(fold(V, "abcdefg "), "abcdefg");  // trailing blank removed first
  EXPECT_EQ(fold(V, "        x"), "\tx");
  EXPECT_EQ(fold(V, "         x"), "\t x");
  EXPECT_EQ(fold(V, "abcdefg x"), "abcdefg\tx");  // the single space ends on a stop
  EXPECT_EQ(fold(V, "ab      c"), "ab\tc");       // six spaces reach column 8
  EXPECT_EQ(fold(V, "ab     c"), "ab     c");     // five do not
  EXPECT_EQ(fold(V, "                x"), "\t\tx");
  EXPECT_EQ(fold(V, ""), "");
  EXPECT_EQ(fold(V, "     "), "");
  EXPECT_EQ(fold(V, "\xc3\xa9       x"), "\xc3\xa9\tx");  // columns count characters, not bytes
}

TEST(GetLine, TabsExpandToTheNextStop) {
  vt::Editor e;
  EXPECT_EQ(expand(e.V(), "\tx"), "        x");
  EXPECT_EQ(expand(e.V(), "ab\t"), "ab      ");
  EXPECT_EQ(expand(e.V(), "abcdefgh\tx"), "abcdefgh        x");
  EXPECT_EQ(expand(e.V(), "\xe2\x82\xac\tx"), "\xe2\x82\xac       x");
}

TEST(Utf8, WellFormedSequencesDecodeAndEveryOtherByteIsACharacterOfItsOwn) {
  int len;
  const uint8_t e_acute[] = {0xC3, 0xA9};
  EXPECT_EQ(uni8(e_acute, 2, &len), 0xE9u);
  EXPECT_EQ(len, 2);
  const uint8_t euro[] = {0xE2, 0x82, 0xAC};
  EXPECT_EQ(uni8(euro, 3, &len), 0x20ACu);
  const uint8_t emoji[] = {0xF0, 0x9F, 0x98, 0x80};
  EXPECT_EQ(uni8(emoji, 4, &len), 0x1F600u);
  EXPECT_EQ(len, 4);
  // A stray continuation byte is no TAB, a byte 0xFF no DEL, a cut, loose,
  // overlong, surrogate or out-of-range form no character: each byte stands
  // for itself, as U+DC00 + the byte, and is written back as that byte.
  const std::vector<std::vector<uint8_t>> bad = {
      {0x89}, {0xA9}, {0xFF}, {0xC3, 0x29}, {0xE2, 0x82}, {0xC0, 0xAF}, {0xE0, 0x80, 0xAF},
      {0xED, 0xB2, 0x80}, {0xF4, 0x90, 0x80, 0x80}, {0xF8, 0x88, 0x80, 0x80}};
  for (const auto& b : bad) {
    EXPECT_EQ(uni8(b.data(), int(b.size()), &len), 0xDC00u + b[0]) << int(b[0]);
    EXPECT_EQ(len, 1);
    uint8_t out[4];
    ASSERT_EQ(utf8(out, 0, 0xDC00u + b[0]), 1);
    EXPECT_EQ(out[0], b[0]);
  }
  // Nothing past the data is read: the euro sign cut by the count.
  EXPECT_EQ(uni8(euro, 2, &len), 0xDCE2u);
  // Code points UTF-8 cannot carry are written as U+FFFD, so that what is
  // stored reads back as one character.
  uint8_t out[4];
  for (tchar cp : {0xD800u, 0xDC7Fu, 0xDFFFu, 0x110000u}) {
    ASSERT_EQ(utf8(out, 0, cp), 3);
    EXPECT_EQ(uni8(out, 3, &len), 0xFFFDu);
  }
}

TEST(Utf8, AnyBytesSurviveDecodingAndEncoding) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; round++) {
    std::vector<uint8_t> in(1 + rng() % 12);
    for (auto& b : in) b = uint8_t(rng() % 4 == 0 ? 0x80 + rng() % 0x80 : rng());
    std::vector<uint8_t> out;
    for (size_t i = 0; i < in.size();) {
      int len;
      tchar c = uni8(in.data() + i, int(in.size() - i), &len);
      uint8_t buf[4];
      out.insert(out.end(), buf, buf + utf8(buf, 0, c));
      i += size_t(len);
    }
    ASSERT_EQ(out, in);
  }
}

TEST(Utf8, EncodingRoundTripsEveryPlane) {
  uint8_t buf[8];
  for (tchar cp : {0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    int n = utf8(buf, 0, cp);
    int len;
    EXPECT_EQ(uni8(buf, n, &len), cp);
    EXPECT_EQ(len, n);
  }
}

TEST(Tabify, OverlongLineIsCutAtACharacterBoundaryWithAnAlert) {
  vt::Editor e;
  std::string s;
  for (int i = 0; i < 1000; i++) s += "\xe2\x82\xac";
  std::string out = fold(e.V(), s);
  EXPECT_EQ(out.size(), 1023u);
  EXPECT_EQ(out.substr(0, 3), "\xe2\x82\xac");
  EXPECT_STREQ(e->alertText, "UTF-8 ovverrun, too long line(s) has been truncated");
  // Two-byte characters: the cut backs off the split one.
  e->alertText[0] = 0;
  std::string two;
  for (int i = 0; i < 600; i++) two += "\xc3\xa9";
  EXPECT_EQ(fold(e.V(), two).size(), 1022u);
}

// Expand, fold, expand again gives the same characters, for random lines of
// letters, blanks, TABs and UTF-8.
TEST(Tabify, RoundTripPropertyOverRandomLines) {
  vt::Editor e;
  EditorState* V = e.V();
  std::mt19937 rng(20261207);
  const tchar alphabet[] = {'a', 'b', ' ', ' ', ' ', '\t', 0xE9, 0x20AC, 0x1F600, '"', 'x'};
  Link* b = NewBaseLink(V);
  for (int iter = 0; iter < 20000; iter++) {
    // Build a stored line the way the file reader would: raw bytes with TABs.
    std::string raw;
    int len = int(rng() % 90);
    uint8_t buf[4];
    for (int i = 0; i < len; i++) {
      int n = utf8(buf, 0, alphabet[rng() % std::size(alphabet)]);
      raw.append(reinterpret_cast<char*>(buf), size_t(n));
    }
    Link* l = AddBytesLine(V, b, uint16_t(raw.size()), reinterpret_cast<const uint8_t*>(raw.data()));
    ActiveLine first, second;
    GetLine(l, &first);
    LineImage img;
    ActiveLine work = first;
    Tabify(V, &img, &work);
    Link* f = AddBytesLine(V, b, img.word, img.text);
    GetLine(f, &second);
    TrimLine(&first, 0);  // folding drops trailing blanks, nothing else
    ASSERT_EQ(ToUtf8(first), ToUtf8(second)) << "raw: " << raw;
    DeleteLink(V, l);
    DeleteLink(V, f);
  }
}

TEST(PutLine, BaseLinkIsNeverWritten) {
  vt::Editor e;
  Link* b = NewBaseLink(e.V());
  ActiveLine line;
  FromUtf8(&line, "hello");
  e.cur()->modified = 0;
  EXPECT_EQ(PutLine(e.V(), b, &line), b);
  EXPECT_EQ(b->word, LINK_BASE);
  EXPECT_EQ(e.cur()->modified, 0);
}

TEST(PutLine, GrowingPastTheClassMovesTheLineAndFreesTheOldRecord) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("abcdef\nnext\n");
  Link* old = e.cur()->curLine;
  ActiveLine line;
  FromUtf8(&line, "abcdefg");
  Link* moved = PutLine(V, old, &line);
  ASSERT_NE(moved, old);
  EXPECT_EQ(Stored(moved), "abcdefg");
  EXPECT_EQ(e.cur()->modified, 1);
  EXPECT_EQ(V->freeList[1], old);
  EXPECT_EQ(NewLink(V, 3), old);
  EXPECT_EQ(vt::CheckList(e.cur()->base), "");
}

TEST(PutLine, FlagsBitsAreKeptByPutLineButNotByAddLine) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("one\n");
  ActiveLine line;
  FromUtf8(&line, "marked");
  line.flags = LINK_BOOKMARK | LINK_SOFTBREAK | 17;
  Link* added = AddLine(V, e.cur()->base, &line);
  EXPECT_EQ(added->word, 6);
  Link* put = PutLine(V, e.cur()->curLine, &line);
  EXPECT_EQ(put->word, 6 | LINK_BOOKMARK | LINK_SOFTBREAK);
}

TEST(ActiveLine, FlushWritesBackAndReloadsTheFoldedForm) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("first\nsecond\n");
  EXPECT_EQ(AFlush(V), 0);  // nothing dirty: nothing happens
  EXPECT_EQ(e.cur()->modified, 0);
  StrInsert("        x   ", &V->aline, 0);
  V->alineDirty = 1;
  EXPECT_EQ(AFlush(V), 0);
  EXPECT_EQ(V->alineDirty, 0);
  EXPECT_EQ(e.cur()->modified, 1);
  EXPECT_EQ(Stored(e.cur()->curLine), "\tx   first");
  EXPECT_EQ(ToUtf8(V->aline), "        x   first");
  ALoad(V);
  EXPECT_EQ(V->aline.count, 17);
}

TEST(ActiveLine, RefusedFlushKeepsTheTypedLineAndTheStoredText) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("short\n");
  V->memBlockLimit = V->memBlocks;
  while (NewLink(V, 200)) {
  }
  V->alertText[0] = 0;
  std::string longer(300, 'y');
  StrInsert(longer.c_str(), &V->aline, 5);
  V->alineDirty = 1;
  EXPECT_EQ(AFlush(V), 1);
  EXPECT_STREQ(V->alertText, "Out of memory");
  EXPECT_EQ(V->alineDirty, 1);
  EXPECT_EQ(Stored(e.cur()->curLine), "short");
  EXPECT_EQ(ToUtf8(V->aline), "short" + longer);
  EXPECT_EQ(vt::CheckList(e.cur()->base), "");
}

TEST(ActiveLine, TrimLinePadsOrDropsOnlyTrailingSpaces) {
  ActiveLine l;
  FromUtf8(&l, "ab    ");
  TrimLine(&l, 4);
  EXPECT_EQ(ToUtf8(l), "ab  ");
  TrimLine(&l, 0);
  EXPECT_EQ(ToUtf8(l), "ab");
  TrimLine(&l, 5);
  EXPECT_EQ(ToUtf8(l), "ab   ");
  TrimLine(&l, 1025);
  EXPECT_EQ(l.count, 5);
  FromUtf8(&l, "abc");
  TrimLine(&l, 1);
  EXPECT_EQ(ToUtf8(l), "abc");
}

TEST(ActiveLine, LDeleteCutsOrClosesTheGap) {
  vt::Editor e;
  ActiveLine l;
  FromUtf8(&l, "abcdef");
  LDelete(e.V(), &l, 4, 1);
  EXPECT_EQ(ToUtf8(l), "aef");
  LDelete(e.V(), &l, 1, 99);
  EXPECT_EQ(ToUtf8(l), "a");
  LDelete(e.V(), &l, 5, 9);
  EXPECT_EQ(ToUtf8(l), "a");
  EXPECT_EQ(e->quit, 0);
}

TEST(ActiveLine, LCopyReadsBeyondTheSourceAsSpaces) {
  ActiveLine src, dst;
  FromUtf8(&src, "abc");
  FromUtf8(&dst, "XY");
  LCopy(&src, 1, 5, &dst, 4);
  EXPECT_EQ(ToUtf8(dst), "XY  bc  ");
  FromUtf8(&dst, "12345");
  LCopy(&src, 0, 2, &dst, 1);
  EXPECT_EQ(ToUtf8(dst), "1ab2345");
  // Copying within one line.
  FromUtf8(&dst, "abcd");
  LCopy(&dst, 0, 2, &dst, 4);
  EXPECT_EQ(ToUtf8(dst), "abcdab");
  // A result reaching 1024 characters copies nothing.
  FromUtf8(&dst, std::string(1000, 'z'));
  FromUtf8(&src, std::string(30, 'q'));
  LCopy(&src, 0, 24, &dst, 0);
  EXPECT_EQ(dst.count, 1000);
}

TEST(ActiveLine, InsertCharStopsAtTheTypingLimit) {
  ActiveLine l;
  FromUtf8(&l, "");
  EXPECT_EQ(InsertChar(&l, 1022, 'x', false), 1);
  EXPECT_EQ(l.count, 0);
  FromUtf8(&l, std::string(1022, 'a'));
  EXPECT_EQ(InsertChar(&l, 1021, 'x', false), 0);
  EXPECT_EQ(l.count, 1023);
  EXPECT_EQ(l.c[1021], tchar('x'));
  EXPECT_EQ(InsertChar(&l, 0, 'y', false), 1);
  EXPECT_EQ(l.count, 1023);

  FromUtf8(&l, "ab");
  EXPECT_EQ(InsertChar(&l, 5, 'z', false), 0);
  EXPECT_EQ(ToUtf8(l), "ab   z");
  EXPECT_EQ(InsertChar(&l, 0, 'Q', true), 0);  // overwrite inside: no growth
  EXPECT_EQ(ToUtf8(l), "Qb   z");
  EXPECT_EQ(InsertChar(&l, 6, '!', true), 0);  // overwrite at the end grows
  EXPECT_EQ(ToUtf8(l), "Qb   z!");
  EXPECT_EQ(InsertChar(&l, 1, '-', false), 0);
  EXPECT_EQ(ToUtf8(l), "Q-b   z!");
}

TEST(ActiveLine, StrInsertAndLeftmostWord) {
  ActiveLine l;
  FromUtf8(&l, "ab");
  EXPECT_EQ(StrInsert("\xc3\xa9t\xc3\xa9", &l, 1), 0);
  EXPECT_EQ(ToUtf8(l), "a\xc3\xa9t\xc3\xa9" "b");
  EXPECT_EQ(StrInsert("x", &l, 8), 0);
  EXPECT_EQ(ToUtf8(l), "a\xc3\xa9t\xc3\xa9" "b   x");
  FromUtf8(&l, std::string(1020, 'a'));
  EXPECT_EQ(StrInsert("1234", &l, 0), 1);
  EXPECT_EQ(l.count, 1020);
  EXPECT_EQ(StrInsert("123", &l, 0), 0);

  FromUtf8(&l, "   word");
  EXPECT_EQ(LeftmostWord(&l, 0), 3);
  EXPECT_EQ(LeftmostWord(&l, 4), 4);
  FromUtf8(&l, "x   ");
  EXPECT_EQ(LeftmostWord(&l, 1), 1);
}

}  // namespace
