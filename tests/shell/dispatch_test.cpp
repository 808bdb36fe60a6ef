// The dispatcher and the commands routed so far, driven by number and by
// key name.
#include <gtest/gtest.h>

#include <climits>

#include "shell/commands.h"
#include "shell/key_names.h"
#include "shell/key_table.h"
#include "shell/toggles.h"
#include "tests/support/headless.h"

namespace {

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    swoshkey(keytab(), keymax());
    SetLitt(e.V(), 0);
  }
  void TearDown() override { SetLitt(e.V(), 0); }

  // Runs command n; answers the number as the dispatcher left it.
  int run(int n) {
    e->alertText[0] = 0;
    DoCommand(e.V(), &n);
    return n;
  }

  // A key press in editing mode as the event loop handles it, for keys that
  // translate to commands: returns the number dispatched, or -1000 when the
  // key reached no dispatch (text or a swallowed key).
  int press(const char* name) {
    int keycode;
    unsigned state;
    EXPECT_TRUE(ParseKeyName(name, &keycode, &state)) << name;
    int r = KeyConv(unsigned(keycode), state, &e->twoKeyPending);
    if (r <= 255) return -1000;
    int n = r + 0x40000000 - CMD_BASE;
    e->alertText[0] = 0;
    DoCommand(e.V(), &n);
    return n;
  }

  vt::Editor e;
};

TEST_F(Dispatch, NonCommandsDoNothingAndBecomeMinusOne) {
  uint32_t toggles = e->toggles;
  uint32_t mode = e.cur()->mode;
  for (int n : {INT_MIN, -5, -1, 0, 1, 152, 153, 154, 155, 156, 203, 1000, INT_MAX}) {
    EXPECT_EQ(run(n), -1) << n;
    EXPECT_EQ(e.alert(), "") << n;
  }
  EXPECT_EQ(e->toggles, toggles);
  EXPECT_EQ(e.cur()->mode, mode);
}

TEST_F(Dispatch, MacroKeysReachTheDispatcherAsNonCommands) {
  for (int n = 745; n <= 756; n++) EXPECT_EQ(run(n), -1) << n;
  EXPECT_EQ(run(1978), -1);
  EXPECT_EQ(press("F1"), -1);
  EXPECT_EQ(press("^B"), -1000);
  EXPECT_EQ(press("4"), -1);
  EXPECT_EQ(e.alert(), "");
}

TEST_F(Dispatch, AChosenMenuItemThatIsNoCommandBecomesMinusOneInPlace) {
  int menu[3] = {cmd::ToggleInsert, 154, cmd::ToggleInsert};
  DoCommand(e.V(), &menu[1]);
  EXPECT_EQ(menu[0], cmd::ToggleInsert);
  EXPECT_EQ(menu[1], -1);
  EXPECT_EQ(menu[2], cmd::ToggleInsert);
  DoCommand(e.V(), &menu[0]);
  EXPECT_EQ(menu[0], cmd::ToggleInsert);
}

TEST_F(Dispatch, CommandsLeftOutSayUnimplemented) {
  for (int n : {cmd::MarkParagraph, cmd::MacroLoad, cmd::MacroEdit, cmd::ToggleFormatOut, cmd::ViewStatus}) {
    EXPECT_EQ(run(n), n);
    EXPECT_EQ(e.alert(), "Unimplemented") << n;
  }
}

TEST_F(Dispatch, EveryCommandKeepsItsNumber) {
  e.open("one\ntwo\n", "a.txt");
  for (int n = 0; n < kCmdCount; n++) EXPECT_EQ(run(n), IsCommand(n) ? n : -1) << n;
}

TEST_F(Dispatch, NextAndPreviousText) {
  Tcb* a = e.open("a\n", "a.txt");  // takes the place of the empty scratch text
  Tcb* b = e.open("b\n", "b.txt");
  Tcb* c = e.open("c\n", "c.txt");
  ASSERT_EQ(e.cur(), c);
  run(cmd::NextText);
  EXPECT_EQ(e.cur(), a);
  run(cmd::NextText);
  EXPECT_EQ(e.cur(), b);
  run(cmd::PrevText);
  run(cmd::PrevText);
  EXPECT_EQ(e.cur(), c);
}

TEST_F(Dispatch, GlobalToggles) {
  struct {
    int command;
    uint32_t bit;
    uint8_t repaint;
  } cases[] = {
      {cmd::ToggleInsert, TGL_INSERT, REDRAW_STATUS},     {cmd::ToggleSourceView, TGL_SOURCE, REDRAW_ALL},
      {cmd::ToggleNoKeyRepeat, TGL_NOREPEAT, REDRAW_STATUS}, {cmd::TogglePointing, TGL_POINTING, 0},
      {cmd::Toggle1Click, TGL_ONECLICK, 0},               {cmd::ToggleSyncScroll, TGL_SYNCSCROLL, 0},
      {cmd::ToggleWordSet, TGL_WORDSET, REDRAW_STATUS},
  };
  for (const auto& c : cases) {
    uint32_t before = e->toggles;
    e->redraw = 0;
    run(c.command);
    EXPECT_EQ(e->toggles, before ^ c.bit) << c.command;
    EXPECT_EQ(e->redraw, c.repaint) << c.command;
    run(c.command);
    EXPECT_EQ(e->toggles, before) << c.command;
  }
}

TEST_F(Dispatch, WordSetSwitchesTheWordMap) {
  ASSERT_TRUE(e->toggles & TGL_WORDSET);
  ASSERT_EQ(e->wordClass, e->wordBreak);
  run(cmd::ToggleWordSet);
  EXPECT_EQ(e->wordClass, e->nocase);
  run(cmd::ToggleWordSet);
  EXPECT_EQ(e->wordClass, e->wordBreak);
}

TEST_F(Dispatch, TextTogglesChangeOnlyTheCurrentText) {
  Tcb* a = e.open("a\n", "a.txt");
  Tcb* b = e.open("b\n", "b.txt");
  uint32_t aMode = a->mode;
  struct {
    int command;
    uint32_t bit;
  } cases[] = {{cmd::ToggleWordwrap, MODE_WRAP}, {cmd::ToggleTabsOut, MODE_TABSOUT}, {cmd::ToggleTabMode, MODE_TABMODE},
               {cmd::ToggleCR, MODE_CR},         {cmd::ToggleLF, MODE_LF}};
  for (const auto& c : cases) {
    uint32_t before = b->mode;
    uint32_t toggles = e->toggles;
    e->redraw = 0;
    run(c.command);
    EXPECT_EQ(b->mode, before ^ c.bit) << c.command;
    EXPECT_EQ(e->toggles, toggles) << c.command;
    EXPECT_EQ(e->redraw, REDRAW_STATUS) << c.command;
  }
  EXPECT_EQ(a->mode, aMode);
}

TEST_F(Dispatch, EncodingCommandsChooseOneEncodingAndConvertNothing) {
  Tcb* t = e.open("h\xC3\xA4j\n", "a.txt", MODE_UTF8);
  t->mode |= MODE_CR | MODE_LF | MODE_WRAP;
  run(cmd::DosCodepage);
  EXPECT_EQ(t->mode & MODE_ENCODING, MODE_CP);
  EXPECT_EQ(t->mode & (MODE_CR | MODE_LF | MODE_WRAP), MODE_CR | MODE_LF | MODE_WRAP);
  run(cmd::Iso8859);
  EXPECT_EQ(t->mode & MODE_ENCODING, MODE_LATIN1);
  run(cmd::Utf8);
  EXPECT_EQ(t->mode & MODE_ENCODING, MODE_UTF8);
  run(cmd::Utf8);  // a choice, not a flip
  EXPECT_EQ(t->mode & MODE_ENCODING, MODE_UTF8);
  EXPECT_EQ(e.text(), "h\xC3\xA4j");
  EXPECT_FALSE(e.modified());
}

TEST_F(Dispatch, Margins) {
  Tcb* t = e.cur();
  t->leftMargin = 0;
  t->rightMargin = 79;
  t->col = 10;
  run(cmd::SetLmargin);
  EXPECT_EQ(t->leftMargin, 10);
  t->col = 90;
  run(cmd::SetLmargin);  // right of the right margin: nothing
  EXPECT_EQ(t->leftMargin, 10);
  t->col = 79;
  run(cmd::SetLmargin);  // on the right margin: nothing
  EXPECT_EQ(t->leftMargin, 10);
  t->col = 5;
  run(cmd::SetRmargin);  // left of the left margin: nothing
  EXPECT_EQ(t->rightMargin, 79);
  t->col = 10;
  run(cmd::SetRmargin);
  EXPECT_EQ(t->rightMargin, 79);
  t->col = 60;
  run(cmd::SetRmargin);
  EXPECT_EQ(t->rightMargin, 60);
}

TEST_F(Dispatch, TabRuler) {
  Tcb* t = e.cur();
  auto at = [&](int col, int command) {
    t->col = col;
    run(command);
  };
  at(3, cmd::SetTab);
  at(4, cmd::SetLeftTab);
  at(5, cmd::SetDecimalTab);
  at(8, cmd::ClearTab);
  EXPECT_EQ(t->ruler[3], tchar('|'));
  EXPECT_EQ(t->ruler[4], tchar('<'));
  EXPECT_EQ(t->ruler[5], tchar(','));
  EXPECT_EQ(t->ruler[8], tchar(' '));
  EXPECT_EQ(t->ruler[16], tchar('|'));
  at(1023, cmd::SetTab);
  EXPECT_EQ(t->ruler[1023], tchar('|'));

  run(cmd::ClearAllTabs);
  for (int c = 0; c < kAlineMax; c++) ASSERT_EQ(t->ruler[c], tchar(' ')) << c;
  run(cmd::ResetAllTabs);
  for (int c = 0; c < kAlineMax; c++)
    ASSERT_EQ(t->ruler[c], tchar(c > 0 && c % 8 == 0 && c <= 1008 ? '|' : ' ')) << c;
}

TEST_F(Dispatch, ZoomFlipsTheLayout) {
  ASSERT_EQ(e->singleView, 1);
  run(cmd::ZoomText);
  EXPECT_EQ(e->singleView, 0);
  run(cmd::ZoomText);
  EXPECT_EQ(e->singleView, 1);
}

TEST_F(Dispatch, WithoutATextTextTogglesDoNothing) {
  Tcb* keep = e->curTcb;
  e->curTcb = nullptr;
  uint32_t toggles = e->toggles;
  for (int n : {cmd::ToggleWordwrap, cmd::Utf8, cmd::SetTab, cmd::SetLmargin, cmd::ClearAllTabs, cmd::ZoomText,
                cmd::NextText})
    EXPECT_EQ(run(n), n);
  EXPECT_EQ(e->singleView, 1);
  run(cmd::ToggleInsert);
  EXPECT_EQ(e->toggles, toggles ^ TGL_INSERT);
  e->curTcb = keep;
}

TEST_F(Dispatch, InsertLiteralTakesTheNextKeyAsText) {
  EXPECT_EQ(press("^Y"), cmd::DelLine);
  EXPECT_EQ(run(cmd::InsertLiteral), cmd::InsertLiteral);
  EXPECT_EQ(litteral(), 1);
  EXPECT_STREQ(twokeystr(), "L");
  EXPECT_EQ(press("^Y"), -1000);
}

TEST_F(Dispatch, KeysByName) {
  uint32_t toggles = e->toggles;
  EXPECT_EQ(press("Ins"), cmd::ToggleInsert);
  EXPECT_EQ(e->toggles, toggles ^ TGL_INSERT);
  EXPECT_EQ(press("^O"), -1000);
  EXPECT_STREQ(twokeystr(), "^O");
  uint32_t mode = e.cur()->mode;
  EXPECT_EQ(press("W"), cmd::ToggleWordwrap);
  EXPECT_EQ(e.cur()->mode, mode ^ MODE_WRAP);
  EXPECT_EQ(press("@gS"), cmd::ToggleSourceView);
  EXPECT_EQ(press("^K"), -1000);
  EXPECT_EQ(press("1"), -1000);  // swallowed
  EXPECT_EQ(e->twoKeyPending, 0);
  EXPECT_EQ(press("A"), -1000);  // types again
}

}  // namespace
