#include "core/case_maps.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/editor_state.h"

namespace {

class CaseMaps : public ::testing::Test {
 protected:
  void SetUp() override {
    V = std::make_unique<EditorState>();
    initCase(V.get());
  }
  tchar up(tchar c) const { return CaseChar(V.get(), c, true); }
  tchar low(tchar c) const { return CaseChar(V.get(), c, false); }
  std::unique_ptr<EditorState> V;
};

struct LetterPair {
  tchar upper, lower;
};

// A few letters of every script the maps cover.
constexpr LetterPair kPairs[] = {
    // Basic Latin, Latin-1
    {'A', 'a'}, {'Z', 'z'}, {0xC0, 0xE0}, {0xD6, 0xF6}, {0xD8, 0xF8}, {0xDE, 0xFE},
    // Latin Extended-A
    {0x100, 0x101}, {0x12E, 0x12F}, {0x141, 0x142}, {0x14A, 0x14B}, {0x178, 0xFF}, {0x17D, 0x17E},
    // Latin Extended-B
    {0x181, 0x253}, {0x18E, 0x1DD}, {0x1CD, 0x1CE}, {0x1F7, 0x1BF}, {0x218, 0x219}, {0x220, 0x19E},
    {0x23D, 0x19A}, {0x24A, 0x24B},
    // IPA letters that have capitals
    {0x1A9, 0x283}, {0x1B7, 0x292}, {0x244, 0x289}, {0x245, 0x28C}, {0x19F, 0x275},
    // Greek and Coptic
    {0x391, 0x3B1}, {0x3A9, 0x3C9}, {0x386, 0x3AC}, {0x38F, 0x3CE}, {0x370, 0x371}, {0x37F, 0x3F3},
    {0x3E2, 0x3E3}, {0x3FD, 0x37B}, {0x3F9, 0x3F2}, {0x3CF, 0x3D7},
    // Cyrillic
    {0x401, 0x451}, {0x410, 0x430}, {0x42F, 0x44F}, {0x462, 0x463}, {0x4C0, 0x4CF}, {0x4C1, 0x4C2},
    {0x4D0, 0x4D1}, {0x52E, 0x52F},
    // Armenian
    {0x531, 0x561}, {0x556, 0x586},
    // Georgian (Mtavruli and Mkhedruli)
    {0x1C90, 0x10D0}, {0x1CBA, 0x10FA}, {0x1CBF, 0x10FF},
    // Latin Extended Additional
    {0x1E00, 0x1E01}, {0x1E80, 0x1E81}, {0x1E94, 0x1E95}, {0x1EA0, 0x1EA1}, {0x1EFE, 0x1EFF},
    // Greek Extended
    {0x1F08, 0x1F00}, {0x1F4D, 0x1F45}, {0x1F59, 0x1F51}, {0x1F6F, 0x1F67}, {0x1FBA, 0x1F70},
    {0x1FFB, 0x1F7D}, {0x1FB8, 0x1FB0}, {0x1FEC, 0x1FE5}, {0x1FFC, 0x1FF3},
};

TEST_F(CaseMaps, LettersOfEveryScriptMapBothWays) {
  for (const LetterPair& p : kPairs) {
    EXPECT_EQ(up(p.lower), p.upper) << std::hex << p.lower;
    EXPECT_EQ(low(p.upper), p.lower) << std::hex << p.upper;
    EXPECT_EQ(up(p.upper), p.upper) << std::hex << p.upper;
    EXPECT_EQ(low(p.lower), p.lower) << std::hex << p.lower;
    EXPECT_EQ(up(low(p.upper)), p.upper) << std::hex << p.upper;
  }
}

TEST_F(CaseMaps, NoMappingChangesTheLength) {
  EXPECT_EQ(up(0xDF), 0xDFu);    // sharp s has no one-letter capital
  EXPECT_EQ(low(0x1E9E), 0xDFu);  // but the capital sharp s lowers to it
  EXPECT_EQ(up(0x149), 0x149u);   // n preceded by apostrophe
  EXPECT_EQ(up(0x390), 0x390u);   // iota with dialytika and tonos
  EXPECT_EQ(up(0x587), 0x587u);   // Armenian ligature ech yiwn
  EXPECT_EQ(up(0x1E96), 0x1E96u);
}

TEST_F(CaseMaps, DottedAndDotlessI) {
  EXPECT_EQ(up(0x131), tchar('I'));
  EXPECT_EQ(low(0x131), 0x131u);
  EXPECT_EQ(low(0x130), tchar('i'));
  EXPECT_EQ(up(0x130), 0x130u);
  EXPECT_EQ(up('i'), tchar('I'));
  EXPECT_EQ(low('I'), tchar('i'));
}

TEST_F(CaseMaps, TitleCaseDigraphs) {
  for (tchar c : {0x1C4u, 0x1C5u, 0x1C6u}) {
    EXPECT_EQ(up(c), 0x1C4u);
    EXPECT_EQ(low(c), 0x1C6u);
  }
  EXPECT_EQ(up(0x1C8), 0x1C7u);
  EXPECT_EQ(low(0x1CB), 0x1CCu);
  EXPECT_EQ(up(0x1F2), 0x1F1u);
  EXPECT_EQ(low(0x1F2), 0x1F3u);
  // Greek capitals with prosgegrammeni are title case: they only lower.
  EXPECT_EQ(up(0x1F80), 0x1F88u);
  EXPECT_EQ(up(0x1F88), 0x1F88u);
  EXPECT_EQ(low(0x1FBC), 0x1FB3u);
}

TEST_F(CaseMaps, OneWayVariants) {
  EXPECT_EQ(up(0x3C2), 0x3A3u);  // final sigma
  EXPECT_EQ(low(0x3A3), 0x3C3u);
  EXPECT_EQ(up(0xB5), 0x39Cu);   // micro sign
  EXPECT_EQ(low(0x39C), 0x3BCu);
  EXPECT_EQ(up(0x17F), tchar('S'));  // long s
  EXPECT_EQ(up(0x3D1), 0x398u);
  EXPECT_EQ(low(0x3F4), 0x3B8u);
  EXPECT_EQ(up(0x1FBE), 0x399u);
  EXPECT_EQ(up(0x1C80), 0x412u);  // rounded ve
  EXPECT_EQ(up(0x1E9B), 0x1E60u);
}

TEST_F(CaseMaps, NothingMapsBeyondTheTable) {
  EXPECT_EQ(low(0x10A0), 0x10A0u);  // Asomtavruli: its small letter is U+2D00
  EXPECT_EQ(up(0x23A), 0x23Au);
  EXPECT_EQ(low(0x23A), 0x23Au);    // lowers to U+2C65
  EXPECT_EQ(up(0x250), 0x250u);     // uppers to U+2C6F
  EXPECT_EQ(up(0x1D79), 0x1D79u);   // uppers to U+A77D
  EXPECT_EQ(up(0x1C88), 0x1C88u);   // uppers to U+A64A
  EXPECT_EQ(up(0x13F8), 0x13F8u);   // Cherokee is not covered
  for (int i = 0; i < kCaseMapSize; ++i) {
    ASSERT_LT(V->upcase[i], kCaseMapSize);
    ASSERT_LT(V->locase[i], kCaseMapSize);
  }
}

TEST_F(CaseMaps, AtOrAboveU2000Unchanged) {
  for (tchar c : {0x2000u, 0x2014u, 0x20ACu, 0x2061u, 0x2C65u, 0x1F600u, 0x10041u}) {
    EXPECT_EQ(up(c), c);
    EXPECT_EQ(low(c), c);
  }
}

TEST(CaseMapBuilders, RunsThenPairs) {
  static uint16_t map[kCaseMapSize];
  const CaseRun runs[] = {{0x100, 0x101, 0x106, 2}, {0x41, 0x61, 0x43, 1}, {0, 0, 0, 0}};
  const CasePair pairs[] = {{0x102, 0x7}, {0, 0}};
  map[0x50] = 1;
  initRun(map, runs);
  initXlt(map, pairs);
  EXPECT_EQ(map[0x50], 0x50);  // reset to identity first
  EXPECT_EQ(map[0x100], 0x101);
  EXPECT_EQ(map[0x101], 0x101);
  EXPECT_EQ(map[0x104], 0x105);
  EXPECT_EQ(map[0x106], 0x107);
  EXPECT_EQ(map[0x108], 0x108);
  EXPECT_EQ(map[0x102], 0x7);
  EXPECT_EQ(map[0x43], 0x63);
  EXPECT_EQ(map[0x44], 0x44);
}

// --- Block callbacks ---

class BlockCase : public CaseMaps {
 protected:
  void SetUp() override {
    CaseMaps::SetUp();
    line = std::make_unique<ActiveLine>();
  }
  void load(const std::u32string& s) {
    line->count = uint16_t(s.size());
    for (size_t i = 0; i < s.size(); ++i) line->c[i] = s[i];
    line->c[s.size()] = U'x';  // beyond the count: must stay
  }
  std::u32string text() const { return std::u32string(line->c, line->c + line->count); }
  std::unique_ptr<ActiveLine> line;
};

TEST_F(BlockCase, UpperWholeLineKeepsUnmappable) {
  load(U"stra\u00DFe \u20AC\u2014 \u0131i \u03C2");
  EXPECT_EQ(DoBlkUpper(V.get(), line.get(), 0, line->count), 1);
  EXPECT_EQ(text(), U"STRA\u00DFE \u20AC\u2014 II \u03A3");
}

TEST_F(BlockCase, OnlyTheColumnRange) {
  load(U"abcdef");
  DoBlkUpper(V.get(), line.get(), 1, 3);
  EXPECT_EQ(text(), U"aBCdef");
  DoBlkLower(V.get(), line.get(), 2, 6);
  EXPECT_EQ(text(), U"aBcdef");
}

TEST_F(BlockCase, RangeClampedToTheLine) {
  load(U"ab");
  EXPECT_EQ(DoBlkUpper(V.get(), line.get(), -3, 500), 1);
  EXPECT_EQ(text(), U"AB");
  EXPECT_EQ(line->c[2], tchar(U'x'));
  EXPECT_EQ(line->count, 2);
  load(U"\u0130STANBUL");
  EXPECT_EQ(DoBlkLower(V.get(), line.get(), 0, 20), 1);
  EXPECT_EQ(text(), U"istanbul");
}

// --- Word maps ---

int countWords(const uint16_t* map, const std::u32string& s) {
  int words = 0;
  bool in = false;
  for (char32_t c : s) {
    bool wordChar = map[c & 0x1fff] != 0x20;
    if (wordChar && !in) ++words;
    in = wordChar;
  }
  return words;
}

TEST_F(CaseMaps, WordBreakMapsExactlyThePunctuation) {
  const std::u32string breaks = U"!\"#$%&'()*+,-./:;<=>?@[\\]^{|}~\u00A3\u00A4";
  ASSERT_EQ(breaks.size(), 32u);
  for (char32_t c : breaks) EXPECT_EQ(V->wordBreak[c], 0x20) << std::hex << unsigned(c);
  int spaces = 0;
  for (int i = 0; i < kCaseMapSize; ++i) {
    if (V->wordBreak[i] == 0x20) ++spaces;
    else EXPECT_EQ(V->wordBreak[i], i);
    EXPECT_EQ(V->nocase[i], i);
  }
  EXPECT_EQ(spaces, 33);  // the 32 and the space itself
  EXPECT_NE(V->wordBreak['_'], 0x20);
  EXPECT_NE(V->wordBreak['`'], 0x20);
  EXPECT_NE(V->wordBreak[0xA5], 0x20);
}

TEST_F(CaseMaps, WordClassStartsAsWordBreak) {
  EXPECT_EQ(V->wordClass, V->wordBreak);
  EXPECT_EQ(countWords(V->wordBreak, U"foo.bar"), 2);
  EXPECT_EQ(countWords(V->nocase, U"foo.bar"), 1);
  EXPECT_EQ(countWords(V->wordBreak, U"snake_case x\u00A3y"), 3);
}

}  // namespace
