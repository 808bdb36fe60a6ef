// The key dialogue: its window, rows and keys.
#include "config/key_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/dialog_window.h"
#include "config/key_edit.h"
#include "core/editor_state.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_press.h"
#include "shell/key_table.h"

namespace {

constexpr int kRowChars = 64;
constexpr int kInfoShown = 100;
constexpr int kNamesWidth = 20;
// Wide enough for the key names and the longest command name in the menu
// font; never narrower than 400 pixels.
constexpr int kRowCellsShown = 44;
constexpr int kMinWidth = 400, kHeight = 400;

// Keycodes of a PC keyboard.
constexpr unsigned kEsc = 9, kUp = 111, kDown = 116, kInsert = 118, kDelete = 119;

DialogWindow win;
int top;
int selected;

int rowY(int i) { return 30 + 25 * i; }

void rowText(char* out, int32_t row) {
  char line[256];
  if (const char* label = HeaderLabel(row)) {
    std::snprintf(line, sizeof line, "%s", label);
  } else {
    char names[128];
    GetKeyNameShort(names, sizeof names, int(row));
    const char* name = row >= 0 && row < kCmdCount ? CmdText[row] : CmdText[cmd::FirstOfTwo];
    std::snprintf(line, sizeof line, "%*.*s  %s", kNamesWidth, kNamesWidth, names, name);
  }
  // Blank-padded, so that a shorter row covers a longer one drawn before.
  const size_t n = std::min(std::strlen(line), size_t(kRowChars));
  std::memcpy(out, line, n);
  std::memset(out + n, ' ', size_t(kRowChars) - n);
  out[kRowChars] = 0;
}

void close(EditorState* V) {
  V->inputMode = ModeEdit;
  addIt = 0;
  insert2key = 0;
  win.close();
  V->redraw |= REDRAW_ALL;
}

}  // namespace

int KeySelected() { return selected; }
int KeyTop() { return top; }
bool KeyDialogOpen() { return win.isOpen(); }

void viewKeys(EditorState*) {
  if (!win.isOpen()) return;
  if (selected < top)
    top = selected;
  else if (selected - top > kKeyRowsShown - 2)
    top = selected - (kKeyRowsShown - 1);
  char text[kRowChars + 1];
  for (int i = 0; i < kKeyRowsShown; i++) {
    const int r = top + i;
    if (r < vlistn)
      rowText(text, vlist[r]);
    else
      std::snprintf(text, sizeof text, "%-*s", kRowChars, "");
    win.latin(5, rowY(i), r == selected ? 1 : 12, text);
  }
  win.latin(5, rowY(kKeyRowsShown), 1, info, std::min(kInfoShown, int(std::strlen(info))));
}

void KeyConfig(EditorState* V) {
  if (win.isOpen()) {
    close(V);
    return;
  }
  setInfo("");
  setupVlist();
  insert2key = 0;
  addIt = 0;
  // The rows may be fewer than when the dialogue was last open.
  selected = std::clamp(selected, 0, std::max(vlistn - 1, 0));
  top = std::clamp(top, 0, selected);
  win.open(100, 50, std::max(kMinWidth, 10 + kRowCellsShown * DialogCellWidth()), kHeight, viewKeys);
  V->inputMode = ModeKeyConfig;
  viewKeys(V);
}

void KeyConfKey(EditorState* V, unsigned keycode, unsigned state) {
  if (!win.isOpen() || IsModifierKeycode(keycode)) return;
  setInfo("");
  if (addIt) {
    // A first key keeps the dialogue waiting for the second.
    addIt = add(int(keycode), state, vlist[selected]);
  } else {
    switch (keycode) {
      case kEsc:
        close(V);
        return;
      case kUp:
        if (selected > 0) selected--;
        break;
      case kDown:
        if (selected < vlistn - 1) selected++;
        break;
      case kInsert:
        addIt = 1;
        setInfo("Press wanted key");
        break;
      case kDelete:
        if (!IsHeaderRow(vlist[selected])) deleteKey(vlist[selected]);
        break;
      default:
        return;
    }
  }
  // Deleting a first key removes its row.
  selected = std::min(selected, std::max(vlistn - 1, 0));
  viewKeys(V);
}
