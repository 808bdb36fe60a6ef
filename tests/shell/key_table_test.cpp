// Key names, the default key table and key translation.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "shell/commands.h"
#include "shell/key_names.h"
#include "shell/key_table.h"

namespace {

// PC keycodes and X modifier state bits.
constexpr unsigned kEsc = 9, kOne = 10, kFour = 13, kBkSp = 22, kQ = 24, kY = 29, kA = 38, kK = 45, kB = 56;
constexpr unsigned kSpace = 65, kF1 = 67, kHome = 110, kUp = 111, kLeft = 113, kDel = 119;
constexpr unsigned kShift = 0x1, kLock = 0x2, kCtrl = 0x4, kAlt = 0x8, kNumLock = 0x10, kMod3 = 0x20;
constexpr unsigned kWin = 0x40, kAltGr = 0x80;

constexpr int bound(int command) { return 256 + command; }

class KeyTable : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  void reset() {
    swoshkey(keytab(), keymax());
    SetLitt(nullptr, 0);
    pending = 0;
  }
  int conv(unsigned keycode, unsigned state = 0) { return KeyConv(keycode, state, &pending); }
  std::string names(int command) {
    char buf[256];
    GetKeyNameShort(buf, sizeof buf, command);
    return buf;
  }
  // Adds a pair in the first free slot, as the key configuration does.
  void bind(uint16_t key, uint16_t binding) {
    uint16_t* t = keytab();
    for (int i = 0; i < *keymax(); i += 2)
      if (t[i] == 0) {
        t[i] = key;
        t[i + 1] = binding;
        return;
      }
    FAIL() << "no free pair";
  }
  int32_t pending = 0;
};

// --- Key names ---------------------------------------------------------------

TEST(KeyNames, FollowThePcKeyboard) {
  EXPECT_STREQ(KeyNames[kEsc], "Esc");
  EXPECT_STREQ(KeyNames[kF1], "F1");
  EXPECT_STREQ(KeyNames[kHome], "Home");
  EXPECT_STREQ(KeyNames[kA], "A");
  EXPECT_STREQ(KeyNames[kK], "K");
  EXPECT_STREQ(KeyNames[kB], "B");
  EXPECT_STREQ(KeyNames[20], "+");
  EXPECT_STREQ(KeyNames[34], "\xC5");
  EXPECT_STREQ(KeyNames[35], "^");
  EXPECT_STREQ(KeyNames[47], "\xD6");
  EXPECT_STREQ(KeyNames[48], "\xC4");
  EXPECT_STREQ(KeyNames[49], "\xA7");
  EXPECT_STREQ(KeyNames[51], "\"");
  EXPECT_STREQ(KeyNames[63], "n*");
  EXPECT_STREQ(KeyNames[91], "#.");
  EXPECT_STREQ(KeyNames[94], "<");
  EXPECT_STREQ(KeyNames[95], "F11");
  EXPECT_STREQ(KeyNames[96], "F12");
  EXPECT_STREQ(KeyNames[106], "#/");
  EXPECT_STREQ(KeyNames[114], "Rght");
  EXPECT_STREQ(KeyNames[117], "PgDw");
  for (int code : {0, 8, 21, 37, 50, 62, 64, 66, 77, 78, 92, 93, 97, 105, 107, 109, 120, 127})
    EXPECT_STREQ(KeyNames[code], "n/a") << code;
}

TEST(KeyNames, NamedKeysAreDistinctAndFitFourCharacters) {
  std::set<std::string> seen;
  int named = 0;
  for (const auto& name : KeyNames) {
    EXPECT_LE(std::strlen(name), 4u);
    if (std::string(name) == "n/a") continue;
    named++;
    EXPECT_TRUE(seen.insert(name).second) << name;
  }
  EXPECT_EQ(named, 89);
}

TEST(KeyNames, EveryKeyRoundTripsWithEveryModifierCombination) {
  for (int code = 0; code < kKeyNameCount; code++) {
    if (std::string(KeyNames[code]) == "n/a") continue;
    for (unsigned combo = 0; combo < 32; combo++) {
      unsigned state = 0;
      for (int m = 0; m < kModifierCount; m++)
        if (combo & (1u << m)) state |= kModifierStates[m];
      char text[32];
      KeyText(text, sizeof text, KeyValue(unsigned(code), state));
      int keycode = -1;
      unsigned parsed = ~0u;
      ASSERT_TRUE(ParseKeyName(text, &keycode, &parsed)) << text;
      EXPECT_EQ(keycode, code) << text;
      EXPECT_EQ(parsed, state) << text;
    }
  }
}

TEST(KeyNames, ParseTheWrittenForms) {
  struct Case {
    const char* text;
    int keycode;
    unsigned state;
  } cases[] = {
      {"^K", 45, kCtrl},       {"ShUp", 111, kShift},        {"@gU", 30, kAltGr},
      {"Ent", 36, 0},          {"F1", 67, 0},                {"^Left", 113, kCtrl},
      {"@G", 42, kAlt},        {"WnSp", 65, kWin},           {"^", 35, 0},
      {"^^", 35, kCtrl},       {"Sh^", 35, kShift},          {"^\xA7", 49, kCtrl},
      {"^\xC2\xA7", 49, kCtrl},  // the same written in UTF-8
      {"\xC3\x85", 34, 0},       // Å in UTF-8
      {"Sh^@Wn@gHome", 110, kShift | kCtrl | kAlt | kWin | kAltGr},
      {"@gSh^K", 45, kShift | kCtrl | kAltGr},  // prefixes in any order
      {"#+", 86, 0},           {"+", 20, 0},                 {"\"", 51, 0},
  };
  for (const auto& c : cases) {
    int keycode = -1;
    unsigned state = ~0u;
    ASSERT_TRUE(ParseKeyName(c.text, &keycode, &state)) << c.text;
    EXPECT_EQ(keycode, c.keycode) << c.text;
    EXPECT_EQ(state, c.state) << c.text;
  }
}

TEST(KeyNames, RejectTextThatNamesNoKey) {
  for (const char* text : {"", "n/a", "^n/a", "Sh", "^^^", "ShShA", "@g", "k", "^k", "Ctrl+K", "^K+B", "F13", "@",
                           "\xC3\xA5"}) {
    int keycode = 7;
    unsigned state = 7;
    EXPECT_FALSE(ParseKeyName(text, &keycode, &state)) << text;
  }
  int keycode;
  unsigned state;
  EXPECT_FALSE(ParseKeyName(nullptr, &keycode, &state));
}

TEST(KeyNames, KeyTextCutsToFit) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(KeyText(buf, 5, KeyValue(kHome, kShift | kCtrl)), 4);
  EXPECT_STREQ(buf, "Sh^H");
  EXPECT_EQ(buf[5], 'x');
}

// --- The default table -------------------------------------------------------

TEST_F(KeyTable, SwoshkeyLoadsTheDefaultsAndLeavesRoomBehind) {
  uint16_t table[kKeyTabWords];
  for (auto& w : table) w = 0xffff;
  int32_t count = -1;
  swoshkey(table, &count);
  EXPECT_EQ(count, 628);
  for (int i = 0; i < kKeyInitPairs; i++) {
    EXPECT_EQ(table[2 * i], KeyInitTab[i].key) << i;
    EXPECT_EQ(table[2 * i + 1], KeyInitTab[i].binding) << i;
  }
  for (int i = 2 * kKeyInitPairs; i < kKeyTabWords; i++) ASSERT_EQ(table[i], 0) << i;
  // The live table starts out the same, before any configuration is read.
  EXPECT_EQ(std::memcmp(keytab(), table, sizeof table), 0);
  EXPECT_EQ(*keymax(), 628);
}

TEST_F(KeyTable, DefaultsComeInTheirFixedOrder) {
  // Plain keys first, in this order.
  const unsigned plain[] = {kBkSp, 23, 36, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 95, 96,
                            111, 112, 113, 114, 116, 117, 118, 119};
  for (size_t i = 0; i < std::size(plain); i++) EXPECT_EQ(KeyInitTab[i].key, plain[i]) << i;

  // Then the modifier groups, then the second keys grouped by first key.
  auto group = [](uint16_t key) -> std::string {
    switch (key & 0xff00) {
      case 0: return "plain";
      case 0x100: return "Sh";
      case 0x200: return "^";
      case 0x400: return "@";
      case 0x1000: return "@g";
      case 0x800: return "Wn";
      case 0x8200: return "^Q+";
      case 0x8400: return "^K+";
      case 0x8600: return "^O+";
      case 0x8800: return "@K+";
      case 0x8A00: return "^B+";
      default: return "?";
    }
  };
  std::vector<std::pair<std::string, int>> runs;
  for (const auto& p : KeyInitTab) {
    std::string g = group(p.key);
    if (runs.empty() || runs.back().first != g) runs.push_back({g, 0});
    runs.back().second++;
  }
  std::vector<std::pair<std::string, int>> expected = {
      {"plain", 23}, {"Sh", 10}, {"^", 26}, {"@", 19}, {"@g", 8}, {"Wn", 9},
      {"^Q+", 17},   {"^K+", 15}, {"^O+", 14}, {"@K+", 2}, {"^B+", 10},
      {"plain", 2},  {"^", 2}};  // Home, End, ^Home, ^End after the classic 153
  EXPECT_EQ(runs, expected);
}

TEST_F(KeyTable, DefaultsBindRealCommandsAndReachableSecondKeys) {
  std::set<uint16_t> firsts;
  for (const auto& p : KeyInitTab)
    if (p.binding & 0x8000) firsts.insert(p.binding);
  EXPECT_EQ(firsts, (std::set<uint16_t>{0x8200, 0x8400, 0x8600, 0x8800, 0x8A00}));
  for (const auto& p : KeyInitTab) {
    if (p.key & 0x8000) {
      EXPECT_TRUE(firsts.count(p.key & 0xff00)) << std::hex << p.key;
    }
    if (p.binding & 0x8000) continue;
    if (p.binding >= 1000) {
      EXPECT_TRUE((p.binding >= 1001 && p.binding <= 1012) || p.binding == 2234) << p.binding;
    } else {
      EXPECT_TRUE(IsCommand(p.binding - 256)) << p.binding;
    }
  }
}

// --- Translation -------------------------------------------------------------

TEST_F(KeyTable, BoundKeysGiveTheirBindingUnboundOnesTypeText) {
  EXPECT_EQ(conv(kDel), bound(cmd::DelChr));
  EXPECT_EQ(conv(kY, kCtrl), bound(cmd::DelLine));
  EXPECT_EQ(conv(kSpace, kShift), bound(cmd::ViewMenu));
  EXPECT_EQ(conv(kSpace, kAltGr), bound(cmd::ViewFileMenu));
  EXPECT_EQ(conv(kUp, kAlt), bound(cmd::AllUp));
  EXPECT_EQ(conv(kLeft, kWin), bound(cmd::MatchBack));
  EXPECT_EQ(conv(kA), -1);
  EXPECT_EQ(conv(kA, kShift), -1);
  EXPECT_EQ(conv(kEsc), -1);
  EXPECT_EQ(conv(kY, kCtrl | kShift), -1);  // a different key value
  EXPECT_EQ(pending, 0);
}

TEST_F(KeyTable, MacroKeysPassThrough) {
  EXPECT_EQ(conv(kF1), 1001);
  EXPECT_EQ(conv(96), 1012);
  EXPECT_EQ(conv(kB, kCtrl), -2);
  EXPECT_EQ(conv(kFour), 2234);
  // The event loop turns a binding into a code by adding 0x40000000.
  EXPECT_EQ(1001 + 0x40000000, CMD_BASE + 745);
  EXPECT_EQ(2234 + 0x40000000, CMD_BASE + 1978);
}

TEST_F(KeyTable, CapsLockNumLockAndOtherModifiersChangeNoBinding) {
  for (unsigned extra : {kLock, kNumLock, kMod3, kLock | kNumLock}) {
    EXPECT_EQ(conv(kY, kCtrl | extra), bound(cmd::DelLine)) << extra;
    EXPECT_EQ(conv(kDel, extra), bound(cmd::DelChr)) << extra;
    EXPECT_EQ(conv(kA, extra), -1) << extra;
    EXPECT_EQ(conv(kK, kCtrl | extra), -2) << extra;
    EXPECT_EQ(conv(kB, extra), bound(cmd::MarkBlockBegin)) << extra;
  }
}

TEST_F(KeyTable, KeycodesFoldOntoTheLow128) {
  EXPECT_EQ(conv(kDel + 128), bound(cmd::DelChr));
  EXPECT_EQ(KeyValue(133, kWin), 0x800 | 5);  // the Windows key itself names nothing
}

TEST_F(KeyTable, TwoKeySequences) {
  EXPECT_EQ(conv(kK, kCtrl), -2);
  EXPECT_EQ(pending, 0x8400);
  EXPECT_STREQ(twokeystr(), "^K");
  EXPECT_EQ(conv(kB), bound(cmd::MarkBlockBegin));
  EXPECT_EQ(pending, 0);
  EXPECT_STREQ(twokeystr(), "");

  // The second key's modifiers are ignored.
  conv(kK, kCtrl);
  EXPECT_EQ(conv(kB, kCtrl), bound(cmd::MarkBlockBegin));
  conv(kK, kCtrl);
  EXPECT_EQ(conv(kB, kShift | kAlt | kWin), bound(cmd::MarkBlockBegin));

  // Alt+K has sequences of its own.
  EXPECT_EQ(conv(kK, kAlt), -2);
  EXPECT_STREQ(twokeystr(), "@K");
  EXPECT_EQ(conv(kK), bound(cmd::MarkColumnDownRight));

  // Ctrl+O then the key named "+".
  conv(24 + 8, kCtrl);  // O
  EXPECT_EQ(conv(20), bound(cmd::SetTab));
}

TEST_F(KeyTable, AnUnboundSecondKeyIsSwallowedAndEndsTheSequence) {
  conv(kK, kCtrl);
  EXPECT_EQ(conv(kOne), -2);  // nothing to type
  EXPECT_EQ(pending, 0);
  EXPECT_STREQ(twokeystr(), "");
  EXPECT_EQ(conv(kB), -1);  // B alone types again
  // Esc does not cancel specially: it is swallowed like any unbound key.
  conv(kQ, kCtrl);
  EXPECT_STREQ(twokeystr(), "^Q");
  EXPECT_EQ(conv(kEsc), -2);
  EXPECT_STREQ(twokeystr(), "");
}

TEST_F(KeyTable, AFirstKeyAfterAFirstKeyIsJustASecondKey) {
  conv(kK, kCtrl);
  EXPECT_EQ(conv(kK, kCtrl), bound(cmd::MarkBlockEnd));  // ^K then K
  EXPECT_EQ(pending, 0);
}

TEST_F(KeyTable, TheIndicatorNamesOnlyTheLastModifier) {
  bind(KeyValue(kHome, kShift | kCtrl), 0x8C00);
  bind(KeyValue(kBkSp, kWin | kAltGr | kAlt), 0x8E00);
  EXPECT_EQ(conv(kHome, kShift | kCtrl), -2);
  EXPECT_STREQ(twokeystr(), "^Home");
  conv(kA);
  // The longest indicator: a two-letter modifier and a four-letter name.
  EXPECT_EQ(conv(kBkSp, kWin | kAltGr | kAlt), -2);
  EXPECT_STREQ(twokeystr(), "@gBkSp");
}

TEST_F(KeyTable, LiteralModeTakesBoundKeysAsText) {
  SetLitt(nullptr, 1);
  EXPECT_EQ(litteral(), 1);
  EXPECT_STREQ(twokeystr(), "L");
  EXPECT_EQ(conv(kY, kCtrl), -1);
  EXPECT_EQ(conv(kUp), -1);
  EXPECT_EQ(conv(kK, kCtrl), -1);  // no sequence starts
  EXPECT_EQ(pending, 0);
  // Only the input method's character ends it, not a key press as such.
  EXPECT_EQ(litteral(), 1);
  EXPECT_STREQ(twokeystr(), "L");
  SetLitt(nullptr, 0);
  EXPECT_STREQ(twokeystr(), "");
  EXPECT_EQ(conv(kY, kCtrl), bound(cmd::DelLine));
}

TEST_F(KeyTable, OnlyUsedPairsAreSearched) {
  // Keycode 0 with no modifier must not match a free pair.
  EXPECT_EQ(conv(0), -1);
  uint16_t* t = keytab();
  t[628] = KeyValue(kA, kCtrl);
  t[629] = bound(cmd::Undo);
  t[630] = KeyValue(kEsc, 0);
  t[631] = bound(cmd::About);
  EXPECT_EQ(conv(kEsc), -1);  // beyond the words in use
  *keymax() = 632;
  EXPECT_EQ(conv(kEsc), bound(cmd::About));
  EXPECT_EQ(conv(kA, kCtrl), bound(cmd::MarkAll));  // the first match wins
  // A count beyond the table is held to its end.
  *keymax() = 5000;
  EXPECT_EQ(conv(kQ, kAltGr), -1);
  EXPECT_EQ(names(cmd::Redo), "WnZ");
}

// --- Key names of commands ---------------------------------------------------

TEST_F(KeyTable, KeyNamesOfCommands) {
  EXPECT_EQ(names(cmd::ViewMenu), "ShSp, ^\xA7, WnSp");
  EXPECT_EQ(names(cmd::MarkBlockBegin), "^K+B");
  EXPECT_EQ(names(cmd::MarkParagraph), "n/a");
  EXPECT_EQ(names(cmd::MarkAll), "^A, @D");
  EXPECT_EQ(names(cmd::MarkColumnDownRight), "@K+K");
  EXPECT_EQ(names(cmd::SetTab), "^O++");
  EXPECT_EQ(names(cmd::BackOnlySave), "@gBkSp");
  EXPECT_EQ(names(cmd::DelChr), "Del");
  EXPECT_EQ(names(745), "F1");  // a macro key, by its binding
}

TEST_F(KeyTable, KeyNamesFollowTheLiveTable) {
  bind(KeyValue(kHome, kShift | kCtrl | kAlt | kWin | kAltGr), bound(cmd::MarkBlockBegin));
  EXPECT_EQ(names(cmd::MarkBlockBegin), "^K+B, Sh^@Wn@gHome");
  // Sequences whose first key is gone cannot be typed and are not shown.
  uint16_t* t = keytab();
  for (int i = 0; i < *keymax(); i += 2)
    if (t[i + 1] == 0x8400) t[i] = t[i + 1] = 0;
  EXPECT_EQ(names(cmd::MarkBlockEnd), "n/a");
  EXPECT_EQ(names(cmd::MarkBlockBegin), "Sh^@Wn@gHome");
}

TEST_F(KeyTable, KeyNamesAreCutToTheBuffer) {
  char buf[12];
  std::memset(buf, 'x', sizeof buf);
  GetKeyNameShort(buf, 8, cmd::ViewMenu);
  EXPECT_STREQ(buf, "ShSp, ^");
  EXPECT_EQ(buf[8], 'x');
  GetKeyNameShort(buf, 3, cmd::MarkParagraph);
  EXPECT_STREQ(buf, "n/");
}

}  // namespace
