// The keys README.md's "The first ten minutes" table and the manual page
// teach a new user must run the commands they name in the default key
// table: a wrong key in the documents is the first thing a user meets.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shell/commands.h"
#include "shell/key_names.h"
#include "shell/key_table.h"

namespace {

struct Row {
  std::string keys;     // as written for people: "Ctrl+K S", "Shift+Space"
  std::string command;  // the command name in backticks
};

std::string readFile(const std::string& name) {
  std::ifstream in(std::string(VEXOR_SOURCE_DIR) + "/" + name);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The rows of the key table under the heading "## The first ten minutes".
std::vector<Row> readmeRows() {
  std::istringstream in(readFile("README.md"));
  std::vector<Row> rows;
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0) {
      inSection = line == "## The first ten minutes";
      continue;
    }
    if (!inSection || line.rfind("| ", 0) != 0) continue;
    std::vector<std::string> cells;
    std::stringstream cellsIn(line.substr(1));
    std::string cell;
    while (std::getline(cellsIn, cell, '|')) cells.push_back(trim(cell));
    if (cells.size() < 2 || cells[0] == "keys" || cells[0].rfind("---", 0) == 0) continue;
    std::string command = cells[1];
    if (command.size() > 2 && command.front() == '`' && command.back() == '`')
      command = command.substr(1, command.size() - 2);
    rows.push_back({cells[0], command});
  }
  return rows;
}

// One key as people write it ("Ctrl+K", "Shift+Space", "S") in the key
// name notation ("^K", "ShSp", "S").
std::string notation(const std::string& written) {
  static const std::pair<const char*, const char*> kMods[] = {
      {"Shift", "Sh"}, {"Ctrl", "^"}, {"Alt", "@"}, {"Win", "Wn"}, {"AltGr", "@g"}};
  static const std::pair<const char*, const char*> kNames[] = {
      {"Space", "Sp"}, {"Enter", "Ent"}, {"BackSpace", "BkSp"}, {"Right", "Rght"}};
  std::string out, rest = written;
  for (size_t plus; (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
    const std::string mod = rest.substr(0, plus);
    bool known = false;
    for (const auto& [word, prefix] : kMods)
      if (mod == word) out += prefix, known = true;
    if (!known) return "";
    rest = rest.substr(plus + 1);
  }
  for (const auto& [word, name] : kNames)
    if (rest == word) rest = name;
  return out + rest;
}

// Presses the written keys ("Ctrl+K S": a first key and a bare second key)
// in the default table; the binding value, or what KeyConv returned.
int press(const std::string& keys) {
  swoshkey(keytab(), keymax());
  int32_t pending = 0;
  std::istringstream in(keys);
  std::string one;
  int result = 0;
  bool first = true;
  while (in >> one) {
    if (!first && result != -2) return -100;  // a second key after a key that was no first key
    const int value = ParseKeyValue(notation(one));
    if (value < 0) return -101;
    unsigned state = 0;
    for (int i = 0; i < kModifierCount; i++)
      if (value & kModifierBits[i]) state |= kModifierStates[i];
    result = KeyConv(unsigned(value & KEY_CODEMASK), state, &pending);
    first = false;
  }
  return result;
}

TEST(DocsKeys, TheReadmeTableRunsTheCommandsItNames) {
  const std::vector<Row> rows = readmeRows();
  ASSERT_GE(rows.size(), 10u) << "README.md has no key table under \"## The first ten minutes\"";
  std::set<std::string> named;
  for (const Row& r : rows) {
    const int n = FindCommand(r.command);
    ASSERT_GE(n, 0) << r.keys << ": no command named '" << r.command << "'";
    EXPECT_EQ(press(r.keys), BIND_COMMAND + n) << r.keys << " does not run " << r.command;
    named.insert(r.command);
  }
  // What a new user needs in the first minutes: open, save, save and
  // close, close, go to a line, search, undo, blocks and the menu.
  for (const char* needed : {"OpenText", "SaveStay", "SaveExit", "DiscardExit", "GotoLine", "Search",
                             "Undo", "MarkBlockBegin", "MarkBlockEnd", "CopyBlock", "MoveBlock",
                             "DeleteBlock", "ViewMenu"})
    EXPECT_TRUE(named.count(needed)) << "the table lacks " << needed;
}

// A wrong key must not pass for a right one: the reading of the table and
// the presses themselves are checked on keys known to differ.
TEST(DocsKeys, PressTellsKeysApart) {
  EXPECT_EQ(press("Ctrl+K S"), BIND_COMMAND + cmd::SaveStay);
  EXPECT_EQ(press("Ctrl+K D"), BIND_COMMAND + cmd::SaveExit);
  EXPECT_NE(press("Ctrl+Q S"), BIND_COMMAND + cmd::SaveStay);
  EXPECT_NE(press("Alt+K B"), BIND_COMMAND + cmd::MarkBlockBegin);
  EXPECT_EQ(press("Shift+Space"), BIND_COMMAND + cmd::ViewMenu);
  EXPECT_NE(press("Ctrl+J S"), BIND_COMMAND + cmd::GotoLine);  // no first key: no sequence
  EXPECT_LT(press("Meta+Z"), 0);
}

// The manual page's KEYS section describes each key of the README table
// with the same command: its tag line ".B <keys>", then the command in
// ".RB ( <command> )" before the next entry.
TEST(DocsKeys, TheManualPageNamesTheSameCommands) {
  std::istringstream in(readFile("dist/vexor.1"));
  std::vector<std::string> keysSection;
  std::string line;
  bool inKeys = false;
  while (std::getline(in, line)) {
    if (line.rfind(".SH ", 0) == 0) {
      inKeys = line == ".SH KEYS";
      continue;
    }
    if (inKeys) keysSection.push_back(line);
  }
  ASSERT_FALSE(keysSection.empty()) << "dist/vexor.1 has no KEYS section";
  for (const Row& r : readmeRows()) {
    size_t i = 0;
    while (i < keysSection.size() && keysSection[i] != ".B " + r.keys) i++;
    ASSERT_LT(i, keysSection.size()) << "the manual page has no entry for " << r.keys;
    std::string body;
    for (i++; i < keysSection.size(); i++) {
      const std::string& l = keysSection[i];
      if (l == ".TP" || l == ".PP") break;
      body += l + "\n";
    }
    EXPECT_NE(body.find(".RB ( " + r.command + " )"), std::string::npos)
        << "the manual page's entry for " << r.keys << " does not name " << r.command << ":\n"
        << body;
  }
}

}  // namespace
