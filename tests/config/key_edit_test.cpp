// Editing the key table: what the key dialogue and the key lines of the
// configuration file rely on.
#include "config/key_edit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "shell/commands.h"
#include "shell/key_names.h"
#include "shell/key_table.h"

namespace {

struct KeyEdit : ::testing::Test {
  void SetUp() override { ResetKeyTable(); }
  void TearDown() override { ResetKeyTable(); }

  // The binding of the key written `name` ("^K+S" for a sequence), -1 none.
  static int bound(const char* name) {
    int pending = 0;
    std::string text = name;
    const size_t plus = text.find('+', 1);
    int code;
    unsigned state;
    if (plus != std::string::npos && plus + 1 < text.size()) {
      EXPECT_TRUE(ParseKeyName(text.substr(0, plus).c_str(), &code, &state));
      EXPECT_EQ(KeyConv(unsigned(code), state, &pending), -2);
      EXPECT_NE(pending, 0);
      text = text.substr(plus + 1);
    }
    EXPECT_TRUE(ParseKeyName(text.c_str(), &code, &state)) << name;
    return KeyConv(unsigned(code), pending ? 0 : state, &pending);
  }
  static int press(const char* name, int32_t row) {
    int code;
    unsigned state;
    EXPECT_TRUE(ParseKeyName(name, &code, &state)) << name;
    return add(code, state, row);
  }
  static std::string infoText() {
    std::string s = info;
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  static std::string saved() {
    std::string out;
    saveKeys(out);
    return out;
  }
};

TEST_F(KeyEdit, AddReportsWhatItOverwritesAndNeverTouchesAHeader) {
  setInfo("");
  press("@D", cmd::DelLine);
  EXPECT_EQ(infoText(), "Assignment to MarkAll overwritten");
  EXPECT_EQ(bound("@D"), BIND_COMMAND + cmd::DelLine);
  // A macro key's binding names no command: the message says so instead of
  // reading a name past the table.
  press("F1", cmd::Undo);
  EXPECT_EQ(infoText(), "Assignment to macro key overwritten");
  EXPECT_EQ(bound("F1"), BIND_COMMAND + cmd::Undo);
  insertKey(KeyValue(38, 0x8), 'a');  // Alt+A typing its letter
  press("@A", cmd::Redo);
  EXPECT_EQ(infoText(), "Printable overvritten");
  // A menu header assigns nothing and keeps the old binding.
  press("^Y", kRowHeader + 3);
  EXPECT_EQ(bound("^Y"), BIND_COMMAND + cmd::DelLine);
  // Esc is never assigned; it cancels a pending sequence.
  EXPECT_EQ(press("^K", cmd::Undo), 1);
  EXPECT_EQ(infoText(), "Press 2:nd key");
  EXPECT_EQ(press("Esc", cmd::Undo), 0);
  EXPECT_EQ(insert2key, 0);
  EXPECT_EQ(bound("Esc"), -1);
  // Nor is a key the file could not name.
  EXPECT_EQ(add(104, 0, cmd::Undo), 0);  // keypad Enter
  EXPECT_EQ(infoText(), "Key without a name");
}

TEST_F(KeyEdit, NewFirstKeysAndTheirSequencesComeAndGoTogether) {
  setupVlist();
  const int rowsBefore = vlistn;
  EXPECT_EQ(vlist[0], kRowHeader);
  EXPECT_STREQ(HeaderLabel(vlist[0]), "File");
  EXPECT_EQ(vlist[1], cmd::OpenText);
  EXPECT_EQ(press("@Q", kRowTwokey), 0);
  EXPECT_EQ(vlistn, rowsBefore + 1);
  const int32_t row = vlist[vlistn - 1];
  EXPECT_EQ(row + BIND_COMMAND, kFirstNewGroup);
  EXPECT_EQ(press("@Q", cmd::Undo), 1);  // the first key: its second awaited
  EXPECT_EQ(press("X", cmd::Undo), 0);
  EXPECT_EQ(press("@Q", cmd::Redo), 1);
  EXPECT_EQ(press("Y", cmd::Redo), 0);
  EXPECT_EQ(bound("@Q+X"), BIND_COMMAND + cmd::Undo);
  setInfo("");
  deleteKey(row);
  EXPECT_EQ(infoText(), "2 2:nd keys deleted");
  EXPECT_EQ(vlistn, rowsBefore);
  EXPECT_EQ(bound("@Q"), -1);
  // Delete on a command row takes its keys one at a time, in table order.
  deleteKey(cmd::ViewMenu);
  EXPECT_EQ(bound("ShSp"), -1);
  EXPECT_EQ(bound("^\xA7"), BIND_COMMAND + cmd::ViewMenu);
  deleteKey(kRowHeader);  // a header: nothing
  EXPECT_EQ(bound("^\xA7"), BIND_COMMAND + cmd::ViewMenu);
}

TEST_F(KeyEdit, GroupsRestartWithTheTableAndNeverWrapIntoCommands) {
  press("@Q", kRowTwokey);
  EXPECT_EQ(nxt2key, kFirstNewGroup + kGroupStep);
  ResetKeyTable();
  EXPECT_EQ(nxt2key, kFirstNewGroup);
  // 59 groups fit above the built-in ones; the 60th first key is refused.
  const char* keys[] = {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "A", "S", "D", "F", "G",
                        "H", "J", "K", "L", "Z", "X", "C", "V", "B", "N", "M", "1", "2", "3", "4"};
  int made = 0;
  for (const char* prefix : {"Wn@", "Sh@"})
    for (const char* k : keys) {
      setInfo("");
      press((std::string(prefix) + k).c_str(), kRowTwokey);
      if (infoText() != "No more first keys") made++;
    }
  EXPECT_EQ(made, 59);
  // No wrapped group turned into a command or macro binding.
  int others = 0;
  for (int i = 0; i < *keymax(); i += 2)
    if (keytab()[i] && !(keytab()[i + 1] & BIND_FIRSTKEY)) others++;
  EXPECT_EQ(others, kKeyInitPairs - 5);
  // A group freed by deleting its first key is handed out again.
  deleteKey(kFirstNewGroup - BIND_COMMAND);
  setInfo("");
  press("Wn@5", kRowTwokey);
  EXPECT_NE(infoText(), "No more first keys");
}

TEST_F(KeyEdit, SavedDifferenceNamesExactlyTheChangedKeys) {
  EXPECT_EQ(saved(), "");
  // A sequence added under an unchanged built-in first key still names it.
  press("^K", cmd::Undo);
  press("X", cmd::Undo);
  press("@D", cmd::DelLine);
  deleteKey(cmd::SaveStay);  // ^K+S
  press("^G", kRowTwokey);
  press("^G", cmd::Redo);
  press("+", cmd::Redo);
  EXPECT_EQ(saved(),
            " Key- MarkAll @D\n"
            " Key- SaveStay ^K+S\n"
            " Key+ FirstOfTwo ^G\n"
            " Key+ DelLine @D\n"
            " Key+ Redo ^G++\n"
            " Key+ Undo ^K+X\n");
}

TEST_F(KeyEdit, KeyLinesReplayOntoTheDefaults) {
  press("^K", cmd::Undo);
  press("X", cmd::Undo);
  press("@D", cmd::DelLine);
  press("^G", kRowTwokey);
  press("^G", cmd::Redo);
  press("+", cmd::Redo);
  deleteKey(kRowTwokey + 0);  // header: nothing
  deleteKey(0x8200 - BIND_COMMAND);  // ^Q and all its sequences
  const std::string before = saved();
  ResetKeyTable();
  std::istringstream in(before);
  std::string plusMinus, name, text;
  while (in >> plusMinus >> name >> text) {
    int n = name == "FirstOfTwo" ? 0 : -1;
    for (int i = 2; i < kCmdCount && n < 0; i++)
      if (name == CmdText[i]) n = i;
    ASSERT_TRUE(applyKeyLine(plusMinus == "Key+", n, text.c_str())) << plusMinus << name << text;
  }
  EXPECT_EQ(saved(), before);
  EXPECT_EQ(bound("^A"), BIND_COMMAND + cmd::MarkAll);  // "Key- MarkAll @D" spared ^A
  EXPECT_EQ(bound("@D"), BIND_COMMAND + cmd::DelLine);
  EXPECT_EQ(bound("^G++"), BIND_COMMAND + cmd::Redo);
  EXPECT_EQ(bound("^K+X"), BIND_COMMAND + cmd::Undo);
  int pending = 0;
  EXPECT_EQ(KeyConv(24, XSTATE_CTRL, &pending), -1);  // ^Q leads nothing now
}

TEST_F(KeyEdit, KeyLinesThatCannotApplyAreRefused) {
  EXPECT_FALSE(applyKeyLine(true, cmd::Undo, "^Nope"));
  EXPECT_FALSE(applyKeyLine(true, cmd::Undo, "^G+X"));  // ^G leads no sequences
  EXPECT_FALSE(applyKeyLine(true, 0, "^K+X"));
  EXPECT_FALSE(applyKeyLine(true, 1, "^G"));
  EXPECT_TRUE(applyKeyLine(false, cmd::Undo, "^G"));  // nothing to remove: harmless
  EXPECT_EQ(saved(), "");
  // Latin-1 key names are read as the bytes written.
  EXPECT_TRUE(applyKeyLine(true, cmd::Undo, "@\xD6"));
  EXPECT_EQ(saved(), " Key+ Undo @\xD6\n");
}

}  // namespace
