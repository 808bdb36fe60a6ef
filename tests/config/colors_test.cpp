// The colour roles, their built-in colours and the pairs made from them.
#include "config/colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "display/screen.h"
#include "tests/support/headless.h"

namespace {

// The documented defaults, by name.
struct Expected {
  const char* name;
  uint32_t color;
};
constexpr Expected kDefaults[kColorRoles] = {
    {"Status", 0x00000000},       {"StatusBkg", 0xffb0dc1c},     {"Tab", 0xff000000},
    {"TabBkg", 0xffece8ec},       {"Prompt", 0x00008000},        {"Message", 0xffdc4000},
    {"Hilite", 0x00ffff00},       {"HiliteBkg", 0xffff0000},     {"MarkedBkg", 0xffd0ffd0},
    {"Menu", 0x00000000},         {"MenuMark", 0x00000000},      {"MenuMarkBkg", 0xffffd0d0},
    {"BlackText", 0xff000000},    {"RedText", 0xffff0000},       {"Background", 0xffffffff},
    {"StdText", 0x00000000},      {"CursorLineBkg", 0xffe8e864}, {"CursorChr", 0xff940000},
    {"CursorChrBkg", 0xffffd0d0}, {"EmptyCursor", 0xffffb0b0},   {"Reserved", 0x00ba50c4},
    {"Keyword", 0x000060b0},      {"String", 0x00e00000},        {"Literal", 0x00ff80e0},
    {"Number", 0x00b88800},       {"Preproc", 0x00008000},       {"Comment%", 0x00808080},
};

// Which pair sides each role colours: foreground pairs, background pairs.
struct Use {
  std::vector<int> fg, bg;
};
const std::vector<Use>& Uses() {
  static const std::vector<Use> uses = {
      {{11}, {}},          // Status
      {{}, {11}},          // StatusBkg
      {{8}, {}},           // Tab
      {{}, {8, 10}},       // TabBkg
      {{10}, {}},          // Prompt
      {{2}, {}},           // Message
      {{9}, {}},           // Hilite
      {{}, {9}},           // HiliteBkg
      {{}, {6}},           // MarkedBkg
      {{12}, {}},          // Menu
      {{13}, {}},          // MenuMark
      {{}, {13}},          // MenuMarkBkg
      {{0}, {}},           // BlackText
      {{1}, {}},           // RedText
      {{}, {0, 1, 2, 12, 14, 15, 16, 17, 18, 19, 20, 21}},  // Background
      {{6, 14, 22}, {}},   // StdText
      {{}, {3, 22, 23, 24, 25, 26, 27, 28, 29}},            // CursorLineBkg
      {{4}, {}},           // CursorChr
      {{}, {4}},           // CursorChrBkg
      {{}, {5}},           // EmptyCursor
      {{16, 24}, {}},      // Reserved
      {{17, 25}, {}},      // Keyword
      {{18, 26}, {}},      // String
      {{19, 27}, {}},      // Literal
      {{20, 28}, {}},      // Number
      {{21, 29}, {}},      // Preproc
      {{15, 23}, {}},      // Comment%
  };
  return uses;
}

// Runs first: co must be usable before any configuration is read.
TEST(ColorsAtStart, ColoursInForceAreTheDefaults) {
  for (int i = 0; i < kColorRoles; ++i) EXPECT_EQ(co[size_t(i)], kDefaults[i].color) << kDefaults[i].name;
}

class Colors : public ::testing::Test {
 protected:
  void SetUp() override { getDefColors(nullptr, co.data()); }
  void TearDown() override {
    getDefColors(nullptr, co.data());
    setColors();
  }
};

TEST_F(Colors, DefaultsAndNamesAreTheDocumentedOnes) {
  uint32_t table[kColorRoles + 1];
  table[kColorRoles] = 0xdeadbeef;
  vt::Editor e;
  getDefColors(e.V(), table);
  for (int i = 0; i < kColorRoles; ++i) {
    EXPECT_EQ(table[i], kDefaults[i].color) << kDefaults[i].name;
    EXPECT_STREQ(colorRoles[size_t(i)].name, kDefaults[i].name);
  }
  EXPECT_EQ(table[kColorRoles], 0xdeadbeefu) << "wrote past the 27 roles";
}

TEST_F(Colors, NamesAreUniqueAndFitTheirEntries) {
  std::set<std::string> seen;
  for (const ColorRoleDef& r : colorRoles) {
    EXPECT_LT(std::strlen(r.name), size_t(kColorNameSize));
    EXPECT_TRUE(seen.insert(r.name).second) << r.name;
  }
}

TEST_F(Colors, EachRoleColoursExactlyItsPairs) {
  for (int role = 0; role < kColorRoles; ++role) {
    getDefColors(nullptr, co.data());
    setColors();
    uint32_t before[kPairCount][2];
    std::memcpy(before, S.pairs, sizeof before);
    co[size_t(role)] = 0xff123456;
    setColors();
    const Use& use = Uses()[size_t(role)];
    for (int p = 0; p < kPairCount; ++p) {
      for (int side = 0; side < 2; ++side) {
        const std::vector<int>& mine = side == 0 ? use.fg : use.bg;
        const bool expected = std::find(mine.begin(), mine.end(), p) != mine.end();
        if (expected)
          EXPECT_EQ(S.pairs[p][side], 0x123456u) << kDefaults[role].name << " pair " << p;
        else
          EXPECT_EQ(S.pairs[p][side], before[p][side]) << kDefaults[role].name << " pair " << p;
      }
    }
  }
}

TEST_F(Colors, FixedSidesAndTopBytes) {
  for (auto& c : co) c = 0xff777777;
  setColors();
  EXPECT_EQ(S.pairs[3][0], 0x000000u);
  EXPECT_EQ(S.pairs[5][0], 0xff0000u);
  EXPECT_EQ(S.pairs[7][0], 0x000000u);
  EXPECT_EQ(S.pairs[7][1], 0xb0ffb0u);
  // The top byte of a role is carried but never reaches a pair.
  getDefColors(nullptr, co.data());
  setColors();
  EXPECT_EQ(S.pairs[11][1], 0xb0dc1cu);
  EXPECT_EQ(S.pairs[0][1], 0xffffffu);
}

TEST_F(Colors, RestoringADefaultAppliesAtOnce) {
  co[COLOR_HILITE] = 0x00000001;
  setColors();
  EXPECT_EQ(S.pairs[9][0], 0x000001u);
  uint32_t defaults[kColorRoles];
  getDefColors(nullptr, defaults);
  co[COLOR_HILITE] = defaults[COLOR_HILITE];
  setColors();
  EXPECT_EQ(S.pairs[9][0], 0xffff00u);
  EXPECT_EQ(co[COLOR_HILITE], 0x00ffff00u);
}

}  // namespace
