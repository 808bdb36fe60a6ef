// The help pages as compiled into the program, and the viewer driven by
// key presses and clicks without a display (what it draws is read from the
// dialogue sink).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/dialog_window.h"
#include "config/key_edit.h"
#include "display/xlib.h"
#include "help/help_text.h"
#include "help/help_viewer.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "shell/mouse.h"
#include "tests/support/headless.h"

namespace {

bool named(int n) { return IsCommand(n) && CmdText[n][0] != 0; }

// The lines of the page at `offset`, without the '\r' that ends it.
std::vector<std::string> pageLines(uint32_t offset) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* p = helpText + offset; *p && *p != '\r'; p++) {
    if (*p == '\n') lines.push_back(line), line.clear();
    else line += *p;
  }
  return lines;
}

TEST(HelpText, EveryNamedCommandHasOnePageThatNamesIt) {
  ASSERT_EQ(std::string(helpText, 38), " No help available for this command.\n\r");
  ASSERT_EQ(helpText[helpTextSize - 1], '\r');
  std::map<int, uint32_t> pageOf;  // every "+N" line in the whole text
  for (uint32_t start = 38; start < helpTextSize;) {
    const std::vector<std::string> lines = pageLines(start);
    size_t i = 0;
    for (; i < lines.size() && lines[i].size() > 1 && lines[i][0] == '+'; i++) {
      const int n = std::stoi(lines[i].substr(1));
      EXPECT_TRUE(named(n)) << lines[i] << " names no command";
      EXPECT_TRUE(pageOf.emplace(n, start).second) << CmdText[n] << " is on two pages";
    }
    EXPECT_GT(i, 0u) << "a page without a command at " << start;
    ASSERT_LT(i, lines.size());
    EXPECT_EQ(lines[i], "-") << "at " << start;
    EXPECT_GT(lines.size(), i + 1) << "a page without help lines at " << start;
    start = uint32_t(std::strchr(helpText + start, '\r') - helpText) + 1;
  }
  for (int n = 0; n < kHelpIndexSize; n++) {
    if (named(n)) {
      ASSERT_TRUE(pageOf.count(n)) << CmdText[n] << " has no page";
      EXPECT_EQ(helpIndex[n], pageOf[n]) << CmdText[n] << " is indexed to another page";
    } else {
      EXPECT_EQ(helpIndex[n], 0u) << n << " names no command but has a page";
    }
  }
}

// Only the commands the program leaves out are said to be missing, and
// they are.
TEST(HelpText, PagesSayUnimplementedExactlyForTheCommandsLeftOut) {
  EXPECT_EQ(std::strstr(helpText, "NOT IMPLEMENTED"), nullptr);
  const std::set<int> leftOut = {cmd::MarkParagraph, cmd::MacroLoad, cmd::MacroEdit, cmd::ToggleFormatOut,
                                 cmd::ViewStatus};
  vt::Editor e;
  for (int n = 0; n < kCmdCount; n++) {
    if (!named(n)) continue;
    std::string page;
    for (const std::string& l : pageLines(helpIndex[n])) page += l + "\n";
    EXPECT_EQ(page.find("Unimplemented") != std::string::npos, leftOut.count(n) == 1) << CmdText[n];
  }
  for (int n : leftOut) {
    e->alertText[0] = 0;
    int c = n;
    DoCommand(e.V(), &c);
    EXPECT_EQ(e.alert(), "Unimplemented") << CmdText[n];
  }
}

class HelpViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetKeyTable();
    SetDialogSink([this](const DialogDraw& d) {
      if (d.kind == DialogDraw::Text) drawn.push_back(d);
    });
  }
  void TearDown() override {
    SetDialogSink({});
    ResetKeyTable();
  }
  void run(int n) { DoCommand(e.V(), &n); }
  void press(const char* name, int typed = -1) {
    int keycode = 0;
    unsigned state = 0;
    ASSERT_TRUE(ParseKeyName(name, &keycode, &state)) << name;
    PressKey(e.V(), unsigned(keycode), state, [&] { return typed; });
  }
  // A press as the event loop hands it over; pointing is on.
  void click(unsigned button) {
    XEvent ev{};
    ev.type = ButtonPress;
    ev.xbutton.button = button;
    ev.xbutton.x = ev.xbutton.y = 200;
    ev.xbutton.time = (time += 1000);
    e->toggles |= TGL_POINTING;
    ClickIt(e.V(), &ev);
  }
  unsigned long time = 0;
  // The lines drawn by the last paint, top down, from baseline 35 on.
  std::vector<std::string> shown() {
    std::vector<std::string> out;
    size_t first = drawn.size();
    while (first > 0 && !(drawn[first - 1].y == 35 && drawn[first - 1].x == 20)) first--;
    if (first == 0) return out;
    for (size_t i = first - 1; i < drawn.size(); i++) out.push_back(drawn[i].text);
    return out;
  }
  static std::string commandLine(int n) {
    std::string s = std::string(" ") + CmdText[n];
    s.resize(24, ' ');
    char keys[256];
    GetKeyNameShort(keys, sizeof keys, n);
    return s + keys;
  }

  vt::Editor e;
  std::vector<DialogDraw> drawn;
};

TEST_F(HelpViewer, ShowsEachCommandOfAPageWithItsCurrentKeysAndARule) {
  cmdHelpUp(e.V(), cmd::PageDown);
  ASSERT_TRUE(HelpOpen());
  EXPECT_EQ(e->inputMode, ModeHelp);
  std::vector<std::string> lines = shown();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], commandLine(cmd::PageUp));
  EXPECT_EQ(lines[1], commandLine(cmd::PageDown));
  EXPECT_NE(lines[1].find("PgDw"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2], std::string(60, '-'));
  helpUp(e.V(), nullptr);  // the toggle closes it
  EXPECT_FALSE(HelpOpen());
  EXPECT_EQ(e->inputMode, ModeEdit);

  // A key bound anew shows up the next time the page opens.
  uint16_t* tab = keytab();
  int slot = 0;
  while (slot < *keymax() && tab[slot] != 0) slot += 2;
  ASSERT_LT(slot, *keymax());
  tab[slot] = KEY_SHIFT | 75;  // Shift+F9
  tab[slot + 1] = BIND_COMMAND + cmd::SendMorse;
  helpUp(e.V(), nullptr);  // a null page opens the one shown last
  EXPECT_EQ(HelpPage(), helpText + helpIndex[cmd::PageDown]);
  helpUp(e.V(), nullptr);
  drawn.clear();
  cmdHelpUp(e.V(), cmd::SendMorse);
  lines = shown();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], commandLine(cmd::SendMorse));
  EXPECT_NE(lines[0].find("ShF9"), std::string::npos) << lines[0];
}

TEST_F(HelpViewer, NumbersWithoutACommandShowPageZeroAlone) {
  for (int n : {0, 1, cmd::StopPrint, 152, 156, 202 + 1, -1}) {
    drawn.clear();
    cmdHelpUp(e.V(), n);
    EXPECT_EQ(shown(), std::vector<std::string>{" No help available for this command."}) << n;
    helpUp(e.V(), nullptr);
  }
}

TEST_F(HelpViewer, ScrollsWithinThePageAndClosesOnEscOrAClick) {
  cmdHelpUp(e.V(), cmd::Search);
  const char* top = HelpPage();
  press("Up");  // at the page start already
  EXPECT_EQ(HelpFirstLine(), top);
  press("Down");
  EXPECT_EQ(HelpFirstLine(), std::strchr(top, '\n') + 1);
  EXPECT_EQ(shown()[0], commandLine(cmd::SearchReplace));
  press("Up");
  EXPECT_EQ(HelpFirstLine(), top);
  // Down to the last line, and no further.
  const int lines = int(pageLines(helpIndex[cmd::Search]).size());
  for (int i = 0; i < lines + 3; i++) click(5);
  const std::string last = pageLines(helpIndex[cmd::Search]).back();
  EXPECT_EQ(std::string(HelpFirstLine(), last.size() + 1), last + "\n");
  EXPECT_EQ(shown(), std::vector<std::string>{last});
  click(4);
  EXPECT_EQ(shown().size(), 2u);
  // The side buttons leave it open (keys: the scenarios).
  click(6);
  click(7);
  EXPECT_TRUE(HelpOpen());
  press("Esc", 27);
  EXPECT_FALSE(HelpOpen());

  run(cmd::HelpOnHelp);
  EXPECT_EQ(HelpPage(), helpText + helpIndex[cmd::HelpOnHelp]);
  click(1);
  EXPECT_FALSE(HelpOpen());
  run(cmd::About);
  ASSERT_TRUE(HelpOpen());
  EXPECT_EQ(shown()[0], std::string(" vexor ") + VEXOR_VERSION);
  click(3);
  EXPECT_FALSE(HelpOpen());
  EXPECT_EQ(e->inputMode, ModeEdit);
}

}  // namespace
