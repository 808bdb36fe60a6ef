// The command names and numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <set>
#include <string>

#include "shell/commands.h"

namespace {

TEST(CmdText, EveryNameFitsItsTwentyBytes) {
  ASSERT_EQ(sizeof CmdText, 204u * 20u);
  size_t longest = 0;
  for (const auto& name : CmdText) {
    EXPECT_EQ(name[19], 0) << name;
    longest = std::max(longest, std::strlen(name));
  }
  EXPECT_EQ(longest, 19u);
  EXPECT_STREQ(CmdText[cmd::AppendCopyLineToBuf], "AppendCopyLineToBuf");
}

TEST(CmdText, NamesAreUnique) {
  std::set<std::string> seen;
  for (const auto& name : CmdText) {
    if (name[0]) {
      EXPECT_TRUE(seen.insert(name).second) << name;
    }
  }
  EXPECT_EQ(seen.size(), 204u - 7u);
}

TEST(CmdText, GapsAndEndMark) {
  for (int n : {1, 117, 152, 153, 154, 155, 156}) EXPECT_STREQ(CmdText[n], "") << n;
  EXPECT_STREQ(CmdText[203], "%");
  EXPECT_STREQ(CmdText[0], "FirstOfTwo");
}

// Numbers are the vocabulary of the configuration file and the help; a name
// out of place moves every command after it.
TEST(CmdText, NumbersAcrossTheTable) {
  struct {
    int n;
    const char* name;
  } expected[] = {
      {2, "OneLeft"},         {20, "Scrolldown"},     {29, "Backspace"},     {44, "MarkBlockBegin"},
      {50, "MarkParagraph"},  {80, "ToggleInsert"},   {94, "ROT13"},         {109, "MacroSave"},
      {116, "Print"},         {118, "CharCount"},     {128, "LineupCokumn"}, {151, "HelpOnHelp"},
      {157, "CopyToClip"},    {170, "UTF-8"},         {171, "ISO-8859"},     {189, "Undo"},
      {200, "SendMorse"},     {201, "ViewMenu"},      {202, "ViewFileMenu"},
  };
  for (const auto& e : expected) EXPECT_STREQ(CmdText[e.n], e.name) << e.n;
  EXPECT_EQ(cmd::Utf8, 170);
  EXPECT_EQ(cmd::Iso8859, 171);
  EXPECT_EQ(cmd::StopPrint, 117);
  EXPECT_EQ(cmd::ViewFileMenu, 202);
}

TEST(FindCommand, MatchesWholeNamesExactly) {
  EXPECT_EQ(FindCommand("MarkBlockBegin"), 44);
  EXPECT_EQ(FindCommand("UTF-8"), 170);
  EXPECT_EQ(FindCommand("FirstOfTwo"), 0);
  EXPECT_EQ(FindCommand("ViewFileMenu"), 202);
  EXPECT_EQ(FindCommand("markblockbegin"), -1);
  EXPECT_EQ(FindCommand("MarkBlock"), -1);
  EXPECT_EQ(FindCommand("MarkBlockBeginX"), -1);
  // Neither the unnamed numbers (117 stops printing) nor the end mark can
  // be named.
  EXPECT_EQ(FindCommand(""), -1);
  EXPECT_EQ(FindCommand("%"), -1);
}

TEST(IsCommand, OnlyNumbersWithAnAction) {
  for (int n : {INT_MIN, -1, 0, 1, 152, 153, 154, 155, 156, 203, 745, 756, 1978, INT_MAX})
    EXPECT_FALSE(IsCommand(n)) << n;
  int count = 0;
  for (int n = 0; n < 1000; n++) count += IsCommand(n);
  EXPECT_EQ(count, 203 - 7);
  for (int n : {2, 117, 151, 157, 202}) EXPECT_TRUE(IsCommand(n)) << n;
}

TEST(CmdBase, CommandsStartAboveEveryCharacter) {
  EXPECT_EQ(CMD_BASE, 0x40000100);
  EXPECT_GT(CMD_BASE, 0x10FFFF);
}

}  // namespace
