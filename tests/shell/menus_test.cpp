// The main menu's items and lines, and the text list's entries, headless.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_table.h"
#include "shell/main_menu.h"
#include "shell/menu_table.h"
#include "shell/mouse.h"
#include "shell/popup_window.h"
#include "display/xlib.h"
#include "shell/text_list.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"
#include "edit/movement.h"

namespace {

using namespace menu_table;

constexpr const char* kText = "alpha beta\ngamma delta\nepsilon\nzeta eta theta\n";

void key(EditorState* V, int command) { HandleKey(V, CMD_BASE + command, 0, 0); }

// What a command leaves behind that a user could see.
std::string fingerprint(vt::Editor& e) {
  EditorState* V = e.V();
  std::string s = "mode " + std::to_string(V->inputMode) + " quit " + std::to_string(V->quit) + " alert [" +
                  V->alertText + "] toggles " + std::to_string(V->toggles);
  if (Tcb* t = V->curTcb) {
    s += " text " + std::string(t->fileName) + " [" + e.text() + "] at " + std::to_string(t->lineNo) + ":" +
         std::to_string(t->col) + " row " + std::to_string(t->row) + " left " + std::to_string(t->leftCol) +
         " modified " + std::to_string(e.modified()) + " mode " + std::to_string(t->mode);
  }
  const BlockRecord& b = V->blk;
  s += " block " + std::to_string(b.blkTcb != nullptr) + " " + std::to_string(b.startLine) + ":" +
       std::to_string(b.startCol) + "-" + std::to_string(b.endLine) + ":" + std::to_string(b.endCol);
  if (V->inputMode == ModePrompt) {
    ActiveLine prompt{};
    int n = 0;
    while (V->promptLine[n] && n < kAlineMax) prompt.c[n] = V->promptLine[n], n++;
    prompt.count = uint16_t(n);
    s += " prompt [" + vt::ToUtf8(prompt) + "]";
  }
  return s;
}

// An editor on a text in `dir` with a block marked and the cursor inside it.
void prepare(vt::Editor& e, const vt::TempDir& dir) {
  vt::WriteFile(dir.file("m.txt"), kText);
  Tcb* t = e.open(kText, "m.txt");
  CopyCut(t->dirName, sizeof t->dirName, dir.path().c_str());
  CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str());
  e->blk = BlockRecord{t, t, 1, 2, 0, 2, 4, 0, nullptr, nullptr, 0};
  ALineSet(e.V(), 2);
  t->col = 3;
  e->alertText[0] = 0;
}

TEST(MainMenu, EveryItemChosenByEnterDoesWhatItsCommandDoes) {
  int items = 0;
  for (int m = 0; m < kBarMenus; m++) {
    for (int i = 0; i < MenuItemCount(m); i++, items++) {
      const int command = Menus[m][i];
      SCOPED_TRACE(std::string(MenuHdr[m]) + " / " + CmdText[command]);
      vt::TempDir dir;
      std::string byMenu, direct;
      {
        vt::Editor e;
        prepare(e, dir);
        key(e.V(), cmd::ViewMenu);
        for (int k = 0; k < m; k++) key(e.V(), cmd::OneRight);
        for (int k = 0; k < i; k++) key(e.V(), cmd::OneDown);
        ASSERT_EQ(e->menuIndex, m);
        ASSERT_EQ(e->menuItem, i);
        ASSERT_TRUE(std::strstr(MenuLine(i), CmdText[command])) << MenuLine(i);
        key(e.V(), cmd::NewLine);
        // The menu is gone whatever the command did; a pop-up of the command's own is allowed.
        EXPECT_FALSE(MenuOpen() && MenuShown() == m && e->inputMode == ModeMenu);
        byMenu = fingerprint(e);
        if (MenuOpen()) key(e.V(), cmd::ViewMenu);
        if (TextListOpen()) HandleKey(e.V(), 27, 0, 0);
        // A dialogue the command opened closes on Esc (keycode 9), or its state outlives the editor.
        for (int k = 0; k < 3 && e->inputMode != ModeEdit; k++) HandleKey(e.V(), 27, 9, 0);
      }
      {
        vt::Editor e;
        prepare(e, dir);
        int n = command;
        DoCommand(e.V(), &n);
        direct = fingerprint(e);
        if (MenuOpen()) key(e.V(), cmd::ViewMenu);
        if (TextListOpen()) HandleKey(e.V(), 27, 0, 0);
        // A dialogue the command opened closes on Esc (keycode 9), or its state outlives the editor.
        for (int k = 0; k < 3 && e->inputMode != ModeEdit; k++) HandleKey(e.V(), 27, 9, 0);
      }
      EXPECT_EQ(byMenu, direct);
      // SaveConfig wrote into the settings folder every editor of this process reads.
      if (const char* cfg = std::getenv("VEXOR_CONFIG_DIR")) {
        for (const char* f : {"vexor.cfg", "vexor.cfg~"}) std::remove((std::string(cfg) + "/" + f).c_str());
      }
    }
  }
  EXPECT_EQ(items, 186);
}

TEST(MainMenu, EveryPopUpItemChosenByADoubleClickDoesWhatItsCommandDoes) {
  uint32_t time = 10000;
  auto press = [&](EditorState* V, unsigned long window, int x, int y, unsigned button, uint32_t ms) {
    XEvent ev{};
    ev.xbutton.type = ButtonPress;
    ev.xbutton.window = window;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    ev.xbutton.button = button;
    ev.xbutton.time = time += ms;
    ClickIt(V, &ev);
  };
  for (int i = 0; i < MenuItemCount(kPopupMenu); i++) {
    const int command = Menus[kPopupMenu][i];
    SCOPED_TRACE(CmdText[command]);
    vt::TempDir dir;
    std::string byMenu, direct;
    {
      vt::Editor e;
      prepare(e, dir);
      e->toggles |= TGL_POINTING;
      e->menuLineHeight = 16;
      press(e.V(), 0, 400, 300, Button3, 1000);
      ASSERT_TRUE(MenuIsPopup());
      EXPECT_STREQ(MenuLine(i), CmdText[command]);
      for (uint32_t ms : {1000u, 50u}) press(e.V(), PopupWindow::kHeadlessId, 10, 2 + 16 * i + 8, Button1, ms);
      EXPECT_FALSE(MenuOpen());
      e->toggles &= ~TGL_POINTING;
      byMenu = fingerprint(e);
    }
    {
      vt::Editor e;
      prepare(e, dir);
      int n = command;
      DoCommand(e.V(), &n);
      direct = fingerprint(e);
    }
    EXPECT_EQ(byMenu, direct);
  }
}

TEST(MainMenu, LinesShowTheBoundKeysRightAlignedAndAreCutAt29Characters) {
  swoshkey(keytab(), keymax());
  vt::Editor e;
  key(e.V(), cmd::ViewMenu);
  char keys[64];
  GetKeyNameShort(keys, sizeof keys, cmd::SaveExit);
  const std::string line = MenuLine(1);
  const size_t at = line.find(keys);
  ASSERT_NE(at, std::string::npos) << line;
  EXPECT_EQ(line.substr(at + std::strlen(keys)), "  SaveExit");
  // Every key text ends in the same column.
  const size_t end = at + std::strlen(keys);
  for (int i = 0; i < MenuItemCount(0); i++) EXPECT_EQ(std::string(MenuLine(i)).substr(end, 2), "  ") << i;
  key(e.V(), cmd::ViewMenu);

  // Many keys bound to one command: its line is cut, the others keep theirs.
  uint16_t* t = keytab();
  int added = 0;
  for (int w = kKeyInitWords; w + 1 < *keymax() && added < 6; w += 2) {
    if (t[w] != 0) continue;
    t[w] = KeyValue(67 + unsigned(added), XSTATE_SHIFT | XSTATE_CTRL | XSTATE_ALT | XSTATE_WIN);
    t[w + 1] = uint16_t(BIND_COMMAND + cmd::SaveStay);
    added++;
  }
  ASSERT_EQ(added, 6);
  key(e.V(), cmd::ViewMenu);
  EXPECT_EQ(std::strlen(MenuLine(2)), size_t(kMenuLineMax));
  for (int i = 0; i < MenuItemCount(0); i++) EXPECT_LE(std::strlen(MenuLine(i)), size_t(kMenuLineMax)) << i;
  key(e.V(), cmd::ViewMenu);
  swoshkey(keytab(), keymax());
}

TEST(MainMenu, ItsWindowsStayInsideTheWindowWhenItShrinks) {
  vt::Editor e;
  e->menuLineHeight = 16;
  e->menuCharWidth = 8;
  key(e.V(), cmd::ViewMenu);
  for (int k = 0; k < 17; k++) key(e.V(), cmd::OneRight);
  EXPECT_LE(MenuWindowX() + MenuWindowWidth(), e->winWidth);
  // A new size lays the views out again and repaints the whole window.
  ResizeMetrics(e.V(), 300, 200, 16, 8, 12, 16, 8);
  PrepareView(e.V());
  Repaint(e.V());
  EXPECT_GE(MenuWindowX(), 0);
  EXPECT_LE(MenuWindowX() + MenuWindowWidth(), e->winWidth);
  key(e.V(), cmd::ViewMenu);

  // The pointer pop-up near the bottom right corner, then a smaller window.
  e->toggles |= TGL_POINTING;
  ResizeMetrics(e.V(), 800, 600, 16, 8, 12, 16, 8);
  XEvent ev{};
  ev.xbutton.type = ButtonPress;
  ev.xbutton.x = 780;
  ev.xbutton.y = 590;
  ev.xbutton.button = Button3;
  ev.xbutton.time = 99999;
  ClickIt(e.V(), &ev);
  ASSERT_TRUE(MenuIsPopup());
  EXPECT_LE(MenuWindowX() + MenuWindowWidth(), e->winWidth);
  EXPECT_LE(MenuWindowY() + 16 * (MenuItemCount(kPopupMenu) + 1), e->winHeight);
  ResizeMetrics(e.V(), 400, 300, 16, 8, 12, 16, 8);
  PrepareView(e.V());
  Repaint(e.V());
  EXPECT_LE(MenuWindowX() + MenuWindowWidth(), e->winWidth);
  EXPECT_LE(MenuWindowY() + 16 * (MenuItemCount(kPopupMenu) + 1), e->winHeight);
  HandleKey(e.V(), 27, 0, 0);
  EXPECT_FALSE(MenuOpen());
}

TEST(TextList, EntriesAreCutSafelyAndKeepTheirOwnNumbers) {
  vt::Editor e;
  // A name of 254 bytes of two-byte characters, and an enciphered one.
  std::string longName;
  while (longName.size() < 254) longName += "\xc3\xa9";
  e.open("x\n", longName.c_str());
  e.open("y\n", "secret.txt@key123");
  for (int i = 0; i < 30; i++) e.open("z\n", ("t" + std::to_string(i)).c_str());
  key(e.V(), cmd::ViewFileMenu);
  ASSERT_EQ(TextListCount(), kTextListMax);
  for (int i = 0; i < TextListCount(); i++) {
    const std::string entry = TextListEntry(i);
    EXPECT_LT(entry.size(), size_t(kTextListEntry));
    EXPECT_EQ(entry.find("key123"), std::string::npos);
    // No character cut in two at the end.
    for (size_t k = 0; k < entry.size();) {
      const auto c = static_cast<unsigned char>(entry[k]);
      const size_t len = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
      ASSERT_LE(k + len, entry.size()) << i;
      k += len;
    }
  }
  EXPECT_EQ(std::string(TextListEntry(1)).substr(std::string(TextListEntry(1)).size() - 11), "secret.txt@");
  HandleKey(e.V(), 27, 0, 0);

  // Texts numbered from 100 on: the entry acts on its own text.
  Tcb* high = nullptr;
  for (int i = 0; i < 200 && (!high || high->number < 100); i++) high = e.open("w\n", "high.txt");
  ASSERT_GE(high->number, 100);
  for (int n = 0; n < high->number; n++) {
    Tcb* t = FindTcb(e.V(), n);
    if (t) ReleaseTcb(e.V(), &t);
  }
  Tcb* other = e.open("o\n", "other.txt");
  SelectView(e.V(), other->number);
  key(e.V(), cmd::ViewFileMenu);
  int at = -1;
  for (int i = 0; i < TextListCount(); i++)
    if (TextListNumber(i) == high->number) at = i;
  ASSERT_GE(at, 0);
  EXPECT_EQ(std::string(TextListEntry(at)).substr(1, 4), std::to_string(high->number + 1) + " ");
  while (TextListSelected() < at) key(e.V(), cmd::OneDown);
  while (TextListSelected() > at) key(e.V(), cmd::OneUp);
  key(e.V(), cmd::NewLine);
  EXPECT_EQ(e.cur(), high);
}

}  // namespace
