// Opening, drawing, scrolling and closing the help window.
#include "help/help_viewer.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "config/dialog_window.h"
#include "core/editor_state.h"
#include "display/menu_paint.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "help/help_text.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_table.h"

namespace {

constexpr int kX = 100, kY = 50, kWidth = 700, kHeight = 500;
constexpr int kLeft = 20, kFirstBaseline = 35, kLineStep = 20, kStripAbove = 15;
constexpr int kKeyColumn = 24;  // characters before the key names on a command line
constexpr int kRuleLength = 60;
// Shift, Control, Caps Lock, Alt, AltGr and the Windows keys, pressed alone.
constexpr unsigned kModifierKeys[] = {50, 62, 37, 105, 66, 64, 108, 133};

DialogWindow win;
const char* help = nullptr;     // the page start
const char* t = nullptr;        // the first line shown
const char* lastPage = nullptr; // what a null page opens again
int lastMod = ModeEdit;         // the input mode before the window opened

// The end of the line at p: its first character below ' '.
const char* lineEnd(const char* p) {
  while (static_cast<unsigned char>(*p) >= ' ') p++;
  return p;
}

// The command number of a line "+N", or -1.
int commandLine(const char* p, const char* end) {
  if (end - p < 2 || *p != '+' || end - p > 4) return -1;
  int n = 0;
  for (const char* q = p + 1; q < end; q++) {
    if (*q < '0' || *q > '9') return -1;
    n = n * 10 + (*q - '0');
  }
  return n < kCmdCount ? n : -1;
}

// What a line of the page shows.
std::string shown(const char* p, const char* end) {
  if (end - p == 1 && *p == '-') return std::string(kRuleLength, '-');
  const int n = commandLine(p, end);
  if (n < 0) return std::string(p, end);
  std::string s = std::string(" ") + CmdText[n];
  if (s.size() < kKeyColumn) s.resize(kKeyColumn, ' ');
  char keys[256];
  GetKeyNameShort(keys, sizeof keys, n);
  return s + keys;
}

void close(EditorState* V) {
  win.close();
  V->inputMode = lastMod;
  V->redraw |= REDRAW_ALL;
}

void repaint(EditorState* V) { viewHelp(V); }

void oneUp(EditorState* V) {
  if (t == help) return;
  const char* p = t - 1;  // the '\n' ending the line above
  while (p > help && p[-1] != '\n') p--;
  t = p;
  viewHelp(V);
}

void oneDown(EditorState* V) {
  const char* end = lineEnd(t);
  if (*end != '\n' || end[1] == '\r' || end[1] == 0) return;
  t = end + 1;
  viewHelp(V);
}

void keyHook(EditorState* V, int code, unsigned keycode, unsigned) { helpKey(V, code, keycode); }

}  // namespace

void helpUp(EditorState* V, const char* page) {
  if (win.isOpen()) {
    close(V);
    return;
  }
  if (!page) page = lastPage ? lastPage : helpText;
  lastPage = page;
  win.open(kX, kY, kWidth, kHeight, repaint);
  lastMod = V->inputMode;
  V->inputMode = ModeHelp;
  help = t = page;
  viewHelp(V);
}

void cmdHelpUp(EditorState* V, int n) {
  helpUp(V, helpText + (n >= 0 && n < kHelpIndexSize ? helpIndex[n] : 0));
}

void viewHelp(EditorState*) {
  if (!win.isOpen() || !t) return;
  const uint32_t bg = S.pairs[kPairMenu][1];
  // Each line owns a strip of kLineStep rows around its baseline.
  auto stripTop = [](int baseline) { return baseline - kStripAbove; };
  int y = kFirstBaseline;
  win.fill(bg, 0, 0, kWidth, stripTop(y));
  for (const char* p = t; *p && *p != '\r' && stripTop(y) < kHeight;) {
    const char* end = lineEnd(p);
    const std::string s = shown(p, end);
    win.fill(bg, 0, stripTop(y), kLeft, kLineStep);
    const int w = s.empty() ? 0 : win.latin(kLeft, y, kPairMenu, s.c_str(), int(s.size()));
    win.fill(bg, kLeft + w, stripTop(y), kWidth - kLeft - w, kLineStep);
    y += kLineStep;
    if (*end != '\n') break;
    p = end + 1;
  }
  win.fill(bg, 0, stripTop(y), kWidth, kHeight - stripTop(y));
}

void helpKey(EditorState* V, int code, unsigned keycode) {
  for (unsigned k : kModifierKeys)
    if (keycode == k) return;
  if (code == 27) close(V);
  else if (code == CMD_BASE + cmd::OneUp) oneUp(V);
  else if (code == CMD_BASE + cmd::OneDown) oneDown(V);
}

void clickHelp(EditorState* V, XEvent* ev) {
  switch (ev->xbutton.button) {
    case 4:
      oneUp(V);
      break;
    case 5:
      oneDown(V);
      break;
    case 6:
    case 7:
      break;
    default:
      close(V);
  }
}

bool HelpOpen() { return win.isOpen(); }
const char* HelpPage() { return win.isOpen() ? help : nullptr; }
const char* HelpFirstLine() { return win.isOpen() ? t : nullptr; }

void InstallHelpHooks() {
  win.close();
  help = t = lastPage = nullptr;
  lastMod = ModeEdit;
  loopHooks().keys[ModeHelp] = keyHook;
}
