// The main menu and the pointer pop-up: layout, painting, keys, clicks.
#include "shell/main_menu.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "display/menu_paint.h"
#include "display/paint.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "help/help_viewer.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_table.h"
#include "shell/menu_table.h"
#include "shell/mouse.h"
#include "shell/popup_window.h"
#include "shell/text_list.h"

using namespace menu_table;

namespace {

constexpr int kOpenX = 0, kOpenY = 25, kOpenWidth = 200, kOpenHeight = 100;
constexpr int kItemsY = 43;                  // top of the item window under the bar
constexpr int kBarBaseline = 15;             // upper row of titles
constexpr int kUpperX = 2, kLowerX = 25;     // where each row of titles starts
constexpr int kUpperTop = 7, kUpperBottom = 24, kLowerBottom = 40;  // click bands
constexpr int kItemX = 2, kItemBaseline = 20;
constexpr int kKeyTextMax = 64;

PopupWindow menu;
bool rmenu = false;  // the open menu is the pointer pop-up
int rxpos = 0, rypos = 0;
int shown = 0;       // the menu in the item window
int count = 0;
int checkCol = 0;
int itemsWidth = kOpenWidth;  // what the widest line needs
char MenuLines[kMenuItems][kMenuLineMax + 1];

int lineWidth(EditorState* V, const char* s) { return MenuTextWidth(V, s, -1, false); }

int titleAdvance(EditorState* V, int m) { return lineWidth(V, MenuHdr[m]) + lineWidth(V, "  "); }

void close(EditorState* V) {
  menu.close();
  SetMenuBarBottom(kMenuBarUnknown);
  V->inputMode = ModeEdit;
  V->redraw |= REDRAW_ALL;
}

void runCommand(EditorState* V, int command) {
  int n = command;  // DoCommand may write -1 back: never into the table
  DoCommand(V, &n);
}

void showHelp(EditorState* V) { cmdHelpUp(V, Menus[shown][V->menuItem]); }

// Lines of menu m: the key texts right-aligned, the command names after
// them; in the pop-up the names alone.
void buildLines(EditorState* V, int m) {
  char keys[kMenuItems][kKeyTextMax];
  int w = 0;
  for (int i = 0; i < count; i++) {
    GetKeyNameShort(keys[i], sizeof keys[i], Menus[m][i]);
    w = std::max(w, int(std::strlen(keys[i])));
  }
  const int gap = (m == kSettingsMenu || m == kFormatMenu) ? 3 : 2;
  checkCol = w + 2;
  int widest = 0;
  for (int i = 0; i < count; i++) {
    char line[kKeyTextMax + 64];
    const char* name = CmdText[Menus[m][i]];
    if (rmenu)
      std::snprintf(line, sizeof line, "%s", name);
    else
      std::snprintf(line, sizeof line, "%*s%*s%s", w, keys[i], gap, "", name);
    // Latin-1 bytes, one a character: cut anywhere.
    const size_t n = std::min(std::strlen(line), size_t(kMenuLineMax));
    std::memcpy(MenuLines[i], line, n);
    MenuLines[i][n] = 0;
    widest = std::max(widest, lineWidth(V, MenuLines[i]));
  }
  for (int i = count; i < kMenuItems; i++) MenuLines[i][0] = 0;
  V->menuCount = count;
  itemsWidth = widest + 5;
}

int markColumn() { return shown == kSettingsMenu ? checkCol : checkCol - 1; }

void markSwitches(EditorState* V) {
  if (rmenu || (shown != kSettingsMenu && shown != kFormatMenu)) return;
  const int col = markColumn();
  if (col < 0 || col >= kMenuLineMax) return;
  const uint32_t bits = (V->curTcb ? V->curTcb->mode : 0) | V->toggles;
  for (int i = 0; i < count; i++) {
    const uint32_t mask = SwitchMask(shown, i);
    if (!mask || int(std::strlen(MenuLines[i])) <= col) continue;
    MenuLines[i][col] = (bits & mask) ? '*' : ' ';
  }
}

// Where the item window goes: under the selected title, or at the
// pointer; inside the window either way.
void place(EditorState* V) {
  const int w = itemsWidth, h = MenuLineHeight(V) * (count + 1);
  int x, y;
  if (rmenu) {
    x = std::min(rxpos, V->winWidth - w);
    y = std::min(rypos, V->winHeight - h);
  } else {
    x = std::min(MenuTitleX(V, V->menuIndex), V->winWidth - w);
    y = kItemsY;
  }
  menu.moveResize(std::max(x, 0), std::max(y, 0), w, h);
}

int barTextTop(EditorState* V) {
  const Tcb* top = (V->singleView || !V->viewChain) ? V->curTcb : V->viewChain;
  return top ? top->textY - V->fontAscent : 0;
}

// The bar covers the status and tab rows of the top view.
int barBottom(EditorState* V) {
  const int mlh = MenuLineHeight(V);
  return std::max(kBarBaseline + mlh + (mlh - MenuAscent(V)), barTextTop(V));
}

// Each row of titles in one piece, then the selected title over it.
void paintBar(EditorState* V) {
  if (rmenu) return;
  const int mlh = MenuLineHeight(V);
  MenuFill(S.window, kPairMenu, 0, 0, V->winWidth + 10, barBottom(V));
  for (int row = 0; row < 2; row++) {
    char line[kBarMenus * (kTitleSize + 2)] = {};
    for (int m = row; m < kBarMenus; m += 2) {
      std::strcat(line, MenuHdr[m]);
      std::strcat(line, "  ");
    }
    MenuDrawText(S.window, kPairMenu, row == 0 ? kUpperX : kLowerX, kBarBaseline + row * mlh, line, false);
  }
  const int m = V->menuIndex;
  char title[kTitleSize + 3] = {};
  std::memcpy(title, MenuHdr[m], std::strlen(MenuHdr[m]));
  std::strcat(title, "  ");
  MenuDrawText(S.window, kPairMenuMark, MenuTitleX(V, m), kBarBaseline + (m % 2) * mlh, title, false);
}

void paintItems(EditorState* V) {
  const int mlh = MenuLineHeight(V);
  for (int i = 0; i < count; i++) {
    const bool selected = !rmenu && i == V->menuItem;
    MenuDrawText(menu.id(), selected ? kPairMenuMark : kPairMenu, kItemX, kItemBaseline + i * mlh, MenuLines[i],
                 false);
  }
  // The bar hides the alert line: an alert (no help yet, a refused switch)
  // shows in the spare line under the items instead.
  MenuFill(menu.id(), kPairMenu, 0, kItemBaseline + (count - 1) * mlh + (mlh - MenuAscent(V)), menu.width(), mlh);
  if (V->alertText[0])
    MenuDrawText(menu.id(), kPairMenuMark, kItemX, kItemBaseline + count * mlh, V->alertText, false);
}

// Title of the bar row under x (0 upper, 1 lower), or -1 right of its last.
int clickMMHdr(EditorState* V, int row, int x) {
  int sum = row == 0 ? kUpperX : kLowerX;
  for (int m = row; m < kBarMenus; m += 2) {
    sum += titleAdvance(V, m);
    if (sum > x) return m;
  }
  return -1;
}

uint64_t fnv(uint64_t h, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 0x100000001b3ull;
  return h;
}

// Everything the menu's pixels depend on, so that a repaint that would
// change nothing sends nothing: a key press repaints the window.
uint64_t signature(EditorState* V) {
  uint64_t h = 0xcbf29ce484222325ull;
  const int fields[] = {shown, V->menuIndex, V->menuItem, count, rmenu, menu.x(), menu.y(), menu.width(),
                        menu.height(), V->winWidth, barTextTop(V), MenuLineHeight(V)};
  h = fnv(h, fields, sizeof fields);
  h = fnv(h, MenuLines, sizeof MenuLines);
  // An alert is painted where the bar's lower row is.
  h = fnv(h, V->alertText, std::strlen(V->alertText));
  return fnv(h, S.pairs, sizeof S.pairs);
}

uint64_t paintedSig = 0;

void paint(EditorState* V, bool force) {
  place(V);
  markSwitches(V);
  SetMenuBarBottom(rmenu ? 0 : barBottom(V));
  const uint64_t sig = signature(V);
  if (!force && sig == paintedSig) return;
  paintedSig = sig;
  paintBar(V);
  paintItems(V);
}

void clickMMItem(EditorState* V, const XButtonEvent& b) {
  if (b.y < 2) return;
  const int item = (b.y - 2) / MenuLineHeight(V);
  if (item >= count) return;
  if (rmenu) {
    if (!DblClk()) return;
    close(V);
    runCommand(V, Menus[kPopupMenu][item]);
    return;
  }
  if (V->toggles & TGL_ONECLICK) V->menuItem = item;
  if (DblClk()) {
    if (b.button == Button3) {
      showHelp(V);
      return;
    }
    const int command = Menus[shown][V->menuItem];
    close(V);
    runCommand(V, command);
    return;
  }
  V->menuItem = item;
  if (SwitchMask(shown, item)) runCommand(V, Menus[shown][item]);
  ViewMenu(V, -1);
}

void openWindow(EditorState* V, int m) {
  menu.create(kOpenX, kOpenY, kOpenWidth, kOpenHeight);
  paintedSig = 0;
  // Shown first, then painted: drawing into a window not yet mapped is lost.
  menu.map();
  ViewMenu(V, m);
  // The bar covers the rows it replaces: the rest of the window stays.
  V->inputMode = ModeMenu;
}

void paintHook(EditorState* V) {
  // After a whole-window repaint (a new size, an exposure) nothing of it is left.
  if (menu.isOpen()) paint(V, (V->redraw & REDRAW_ALL) != 0);
}

void repaintPopups(EditorState* V) {
  if (menu.isOpen()) paint(V, true);
  if (TextListOpen()) ViewFileMenu(V, -1);
}

void menuKeyHook(EditorState* V, int code, unsigned, unsigned) { MenuKey(V, code); }
void listKeyHook(EditorState* V, int code, unsigned, unsigned) { FileMenuKey(V, code); }

}  // namespace

void MenuUp(EditorState* V) {
  if (menu.isOpen()) {
    close(V);
    return;
  }
  rmenu = false;
  openWindow(V, V->menuIndex);
}

void rightMenu(EditorState* V, XEvent* ev) {
  if (menu.isOpen()) return;
  rmenu = true;
  rxpos = ev->xbutton.x;
  rypos = ev->xbutton.y;
  openWindow(V, kPopupMenu);
}

int ViewMenu(EditorState* V, int m) {
  if (!menu.isOpen()) return 0;
  if (m >= 0 && m < kMenuCount) {
    shown = m;
    count = MenuItemCount(m);
    buildLines(V, m);
    if (!rmenu) V->menuItem = std::clamp(V->menuItem, 0, std::max(count - 1, 0));
  }
  paint(V, false);
  return count;
}

void MenuKey(EditorState* V, int key) {
  if (key == 27) {
    MenuUp(V);
    return;
  }
  if (rmenu || key <= 0) return;
  // Typed characters and command numbers share one range here, so a typed
  // quote acts as Enter and a typed '?' asks for help.
  const int b = key >= CMD_BASE ? key - CMD_BASE : key;
  switch (b) {
    case ' ':
      if (SwitchMask(shown, V->menuItem)) {
        runCommand(V, Menus[shown][V->menuItem]);
        ViewMenu(V, -1);
      }
      break;
    case '?':
      showHelp(V);
      break;
    case cmd::ViewMenu:
      MenuUp(V);
      break;
    case cmd::NewLine: {
      // Closed first: a command that asks a question finds the editing mode.
      const int command = Menus[shown][V->menuItem];
      close(V);
      runCommand(V, command);
      break;
    }
    case cmd::OneLeft:
    case cmd::OneRight:
      V->menuIndex = std::clamp(V->menuIndex + (b == cmd::OneLeft ? -1 : 1), 0, kBarMenus - 1);
      ViewMenu(V, V->menuIndex);
      break;
    case cmd::OneUp:
      if (V->menuItem > 0) V->menuItem--;
      ViewMenu(V, -1);
      break;
    case cmd::OneDown:
      if (V->menuItem < count - 1) V->menuItem++;
      ViewMenu(V, -1);
      break;
    default:
      break;
  }
}

void ClickMM(EditorState* V, XEvent* ev) {
  const XButtonEvent& b = ev->xbutton;
  if (menu.isOpen() && b.window == menu.id()) {
    clickMMItem(V, b);
    return;
  }
  if (b.window != S.window) return;
  const int row = b.y >= kUpperTop && b.y <= kUpperBottom ? 0 : b.y > kUpperBottom && b.y <= kLowerBottom ? 1 : -1;
  if (rmenu || row < 0) {
    close(V);
    return;
  }
  const int m = clickMMHdr(V, row, b.x);
  if (m < 0) return;
  V->menuIndex = m;
  ViewMenu(V, m);
}

bool MenuOpen() { return menu.isOpen(); }
bool MenuIsPopup() { return menu.isOpen() && rmenu; }
int MenuShown() { return shown; }
const char* MenuLine(int item) { return item >= 0 && item < count ? MenuLines[item] : ""; }
int MenuSwitchMark(int item) {
  if (!menu.isOpen() || rmenu || item < 0 || item >= count || !SwitchMask(shown, item)) return -1;
  const int col = markColumn();
  if (col < 0 || col >= int(std::strlen(MenuLines[item]))) return -1;
  return MenuLines[item][col] == '*' ? 1 : 0;
}

unsigned long MenuWindow() { return menu.id(); }
int MenuWindowX() { return menu.x(); }
int MenuWindowY() { return menu.y(); }
int MenuWindowWidth() { return menu.width(); }

int MenuTitleX(EditorState* V, int m) {
  if (m < 0 || m >= kBarMenus) return 0;
  int x = m % 2 == 0 ? kUpperX : kLowerX;
  for (int k = m % 2; k < m; k += 2) x += titleAdvance(V, k);
  return x;
}

void InstallMenuHooks() {
  // A fresh editor (the tests make many) starts with no pop-up open.
  menu.close();
  SetMenuBarBottom(kMenuBarUnknown);
  ResetTextList();
  LoopHooks& h = loopHooks();
  h.keys[ModeMenu] = menuKeyHook;
  h.keys[ModeTextList] = listKeyHook;
  h.buttonPress = ClickIt;
  h.buttonRelease = ClickItUp;
  h.motion = ClickItMove;
  h.repaintPopups = repaintPopups;
  SetMenuPainter(paintHook);
  ResetMouse();
}
