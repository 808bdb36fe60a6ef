// The print settings dialogue.
#include "print/print_config.h"

#include <cstdio>

#include "config/dialog_window.h"
#include "config/fonts.h"
#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "print/print_job.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

constexpr int kX = 10, kY = 50, kWidth = 850, kHeight = 290;
constexpr int kPairMenu = 12, kPairMark = 13;
constexpr int kStepMax = 250;
constexpr int kDensityMax = 190;
constexpr const char* mediaName[4] = {"None   ", "A4     ", "Letter ", "Legal  "};

DialogWindow win;
int selected = 0;
int fontsize = 0;

int rowStep() { return font2 && font2->lineHeight > 0 ? font2->lineHeight : DialogAscent() + 4; }

std::string shown(int item) {
  const int v = printVal[size_t(item)];
  char text[16];
  switch (item) {
    case PRINT_PAPERSIZE:
      return mediaName[PaperIndex(v)];
    case PRINT_DENSITY:
      std::snprintf(text, sizeof text, " %d ", v * 10);
      return text;
    case PRINT_ASPECT:
      std::snprintf(text, sizeof text, " %d", v);
      return text;
    case PRINT_LINENUM:
      return v ? " * " : "   ";
    default:
      std::snprintf(text, sizeof text, " %d ", v);
      return text;
  }
}

void closeDialog(EditorState* V) {
  V->inputMode = ModeEdit;
  win.close();
  if (printVal[PRINT_FONTSIZE] != fontsize) {
    const std::string err = fixPrintFont(printVal[PRINT_FONTSIZE]);
    if (!err.empty()) SetAlert(V, err.c_str());
  }
}

}  // namespace

bool PrintConfigOpen() { return win.isOpen(); }
int PrintConfigSelected() { return selected; }

void viewPrintCfg(EditorState*) {
  if (!win.isOpen()) return;
  win.clear(S.pairs[kPairMenu][1]);
  int y = DialogAscent() + 5;
  for (int i = 0; i < kPrintItems; i++, y += rowStep()) {
    const int w = win.latin(5, y, kPairMenu, itemTxt[size_t(i)].name);
    win.latin(5 + w + 25, y, i == selected ? kPairMark : kPairMenu, shown(i).c_str());
  }
}

void printConfig(EditorState* V) {
  if (win.isOpen()) {
    closeDialog(V);
    V->redraw |= REDRAW_ALL;
    return;
  }
  fontsize = printVal[PRINT_FONTSIZE];
  win.open(kX, kY, kWidth, kHeight, viewPrintCfg);
  V->inputMode = ModePrintConfig;
  viewPrintCfg(V);
}

void printCfgKey(EditorState* V, int key) {
  if (!win.isOpen()) return;
  if (key == 27) {
    closeDialog(V);
    if (font && font->face) Resize(V, &S);
    V->redraw |= REDRAW_ALL;
    return;
  }
  uint8_t& v = printVal[size_t(selected)];
  switch (key - CMD_BASE) {
    case cmd::OneUp:
      if (selected > 0) selected--;
      break;
    case cmd::OneDown:
      if (selected < kPrintItems - 1) selected++;
      break;
    case cmd::OneLeft:
      if (v > 0) v--;
      break;
    case cmd::OneRight:
      if (v < kStepMax) v++;
      break;
    default:
      break;
  }
  printVal[PRINT_PAPERSIZE] %= 4;
  if (printVal[PRINT_DENSITY] > kDensityMax) printVal[PRINT_DENSITY] = kDensityMax;
  printVal[PRINT_LINENUM] %= 2;
  viewPrintCfg(V);
}
