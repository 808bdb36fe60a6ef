// The Print window and its keys.
#include "print/print_window.h"

#include <cstdio>

#include "config/dialog_window.h"
#include "core/editor_state.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "print/cups_api.h"
#include "print/print_config.h"
#include "print/print_job.h"
#include "print/print_settings.h"
#include "shell/event_loop.h"
#include "shell/key_press.h"

namespace {

constexpr int kX = 100, kY = 50, kWidth = 600, kHeight = 500;
constexpr int kPairMenu = 12, kPairRed = 1;
constexpr unsigned kSpaceKeycode = 65;
constexpr const char* kHelp[] = {"Press printer number to start printing", "Press space bar to stop",
                                 "N toggle line numbering", "Esc closes window"};

DialogWindow win;
const CupsApi* cups = nullptr;
CupsDest* printers = nullptr;
int nprinters = 0;

// A space bar pressed while pages are rendered; other keys are dropped.
bool spacePressed() {
  if (!S.display) return false;
  XEvent ev;
  if (!XCheckMaskEvent(S.display, KeyPressMask | KeyReleaseMask, &ev)) return false;
  return ev.type == KeyPress && ev.xkey.keycode == kSpaceKeycode;
}

void closeWindow(EditorState* V) {
  V->inputMode = ModeEdit;
  win.close();
  ForgetPrintJob();
  if (cups && printers) cups->freeDests(nprinters, printers);
  printers = nullptr;
  nprinters = 0;
  cups = nullptr;
  // The library stays loaded: it keeps per-thread state whose destructor
  // would be gone with it, and the next Print finds it at once.
  V->redraw |= REDRAW_ALL;
}

void printKeyHook(EditorState* V, int code, unsigned keycode, unsigned) { printKey(V, code, keycode); }
void printCfgKeyHook(EditorState* V, int code, unsigned, unsigned) { printCfgKey(V, code); }

}  // namespace

bool PrintWindowOpen() { return win.isOpen(); }
int PrintersListed() { return nprinters; }

void viewPrint(EditorState*) {
  if (!win.isOpen()) return;
  const uint32_t bg = S.pairs[kPairMenu][1];
  win.clear(bg);
  int y = 20;
  for (int i = 0; i < nprinters; i++, y += 20) {
    char line[300];
    std::snprintf(line, sizeof line, "Prt# %d  %s", i, printers[i].name ? printers[i].name : "");
    win.utf(20, y, kPairMenu, line);
  }
  win.latin(10, y, kPairMenu, printVal[PRINT_LINENUM] ? "Line Numbers" : "            ");
  for (int i = 0; i < 4; i++) win.latin(10, y + 70 + 20 * i, kPairRed, kHelp[i]);
}

void StartPrint(EditorState* V) {
  if (win.isOpen()) {
    closeWindow(V);
    return;
  }
  win.open(kX, kY, kWidth, kHeight, viewPrint);
  V->inputMode = ModePrint;
  // Without the library the window stays empty until Esc.
  cups = LoadCups();
  if (cups) {
    nprinters = cups->getDests2(nullptr, &printers);
    if (nprinters < 0 || !printers) nprinters = 0;
  }
  viewPrint(V);
}

void printKey(EditorState* V, int code, unsigned keycode) {
  if (!win.isOpen() || IsModifierKeycode(keycode)) return;
  if (code == ' ') {
    StopPrint(V);
  } else if (code == 'N' || code == 'n') {
    printVal[PRINT_LINENUM] = printVal[PRINT_LINENUM] ? 0 : 1;
    viewPrint(V);
  } else if (code == 27) {
    closeWindow(V);
  } else if (code >= '0' && code <= '9' && code - '0' < nprinters) {
    printIt(V, cups, &printers[code - '0']);
    viewPrint(V);
  }
}

void InstallPrintHooks() {
  LoopHooks& h = loopHooks();
  h.keys[ModePrint] = printKeyHook;
  h.keys[ModePrintConfig] = printCfgKeyHook;
  SetPrintStopPoll(spacePressed);
}
