#include "display/colorize.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "display/paint.h"

namespace {

std::vector<tchar> wide(const std::u32string& s) { return {s.begin(), s.end()}; }

// The runs as "class:length" words, up to the end pair.
std::string runsOf(const std::vector<tchar>& line) {
  uint8_t runs[kColorRunBytes + 1];
  std::fill(std::begin(runs), std::end(runs), 0xEE);
  colorizeline(runs, line.data(), int(line.size()));
  EXPECT_EQ(runs[kColorRunBytes], 0xEE) << "wrote past the area";
  std::string out;
  for (int i = 0; i + 1 < kColorRunBytes; i += 2) {
    if (runs[i] == 0 && runs[i + 1] == 0) return out;
    out += (out.empty() ? "" : " ") + std::to_string(runs[i]) + ":" + std::to_string(runs[i + 1]);
  }
  ADD_FAILURE() << "no end pair";
  return out;
}

std::string runsOf(const std::u32string& s) { return runsOf(wide(s)); }

TEST(Colorize, ClassesOfCSource) {
  struct {
    const char32_t* line;
    const char* runs;
  } cases[] = {
      {U"int x = 0x1f;", "3:3 0:5 6:4"},
      {U"int x = 0x1F;", "3:3 0:5 6:3"},            // F is upper case: no number digit
      {U"s = \"a // b\"; // c", "0:4 4:8 0:2 1:4"},  // slashes in a string are no comment
      {U"/* block */ x", ""},                         // block comments are plain
      {U"#include <a.h>", "7:14"},
      {U"  #define X 1", "0:2 7:11"},
      {U"# include <a.h>", ""},
      {U"#foo", ""},
      {U"#includes", ""},                            // the word is matched whole
      {U"INT Int int", "0:8 3:3"},
      {U"NULL NIL", "3:4 0:1 3:3"},
      {U"x1 int2 12abc", "0:8 6:5"},
      {U"'a' \"open", "5:3 0:1 4:5"},               // no closing quote: to the line end
      {U"a\\\"b\" c", "0:2 4:3"},                   // a backslash escapes nothing
      {U"return;", "2:6"},
      {U"while(i<9)", "2:5 0:3 6:1"},
      {U"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(runsOf(c.line), c.runs) << std::u32string_view(c.line).size();
}

// Characters beyond one byte are other scripts, never quotes, digits or
// slashes: U+2022 ends in 0x22, U+0431 in 0x31, U+022F in 0x2F.
TEST(Colorize, CodePointsAboveOneByteArePlain) {
  EXPECT_EQ(runsOf(U"\u2022 text \u2022"), "");
  EXPECT_EQ(runsOf(U"\u0431\u0431 int"), "0:3 3:3");
  EXPECT_EQ(runsOf(U"a \u022F\u022F b"), "");
  EXPECT_EQ(runsOf(U"\u00e9int"), "0:1 3:3");  // Latin-1 letters end words like ASCII signs
}

TEST(Colorize, LongRunsAndFullAreas) {
  // A 600-character comment goes in pairs of at most 255.
  EXPECT_EQ(runsOf(U"x " + std::u32string(U"//") + std::u32string(598, U'c')), "0:2 1:255 1:255 1:90");
  // A 300-blank gap before a keyword: the plain run is split as well.
  EXPECT_EQ(runsOf(std::u32string(300, U' ') + U"int"), "0:255 0:45 3:3");
  // Forty keywords: thirty pairs, then the rest stays plain.
  std::u32string many;
  for (int i = 0; i < 40; i++) many += U"int ";
  std::string want;
  for (int i = 0; i < 15; i++) want += std::string(i ? " " : "") + (i ? "0:1 " : "") + "3:3";
  want += " 0:1";
  EXPECT_EQ(runsOf(many), want);
}

// Random lines of any code points: never a write outside the area, and the
// runs never cover more than the line.
TEST(Colorize, RandomLinesStayInsideLineAndArea) {
  std::mt19937 rng(7);
  const std::u32string alphabet = U"\"'/#09afxzAZ_ \t.;(\u2022\u0431\u022f\U0001F600";
  for (int n = 0; n < 2000; n++) {
    std::vector<tchar> line(rng() % 1024);
    for (tchar& c : line) c = rng() % 3 ? alphabet[rng() % alphabet.size()] : tchar(rng() % 0x110000);
    uint8_t runs[kColorRunBytes + 8];
    std::fill(std::begin(runs), std::end(runs), 0xEE);
    colorizeline(runs, line.data(), int(line.size()));
    for (int i = kColorRunBytes; i < kColorRunBytes + 8; i++) ASSERT_EQ(runs[i], 0xEE);
    size_t covered = 0;
    int i = 0;
    for (; i + 1 < kColorRunBytes && (runs[i] | runs[i + 1]); i += 2) {
      ASSERT_LT(runs[i], 8);
      ASSERT_GT(runs[i + 1], 0);
      covered += runs[i + 1];
    }
    ASSERT_LT(i + 1, kColorRunBytes) << "no end pair";
    ASSERT_LE(covered, line.size());
  }
}

}  // namespace
