// The colour dialogue: preview, role list, adjuster and its keys.
#include "config/color_dialog.h"

#include <iterator>

#include "config/colors.h"
#include "config/dialog_window.h"
#include "core/editor_state.h"
#include "display/screen.h"
#include "shell/event_loop.h"
#include "shell/key_press.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xffffff;
constexpr int kChannelBlue = 0, kChannelGreen = 1, kChannelRed = 2;
constexpr int kStep = 4;

struct Sample {
  const char* text;
  int x, y, pair;
};

constexpr Sample kSamples[] = {
    {" Status line ", 5, 20, 11},  {" Tab line ", 5, 50, 8},   {"Prompt: text", 5, 80, 10},
    {"Messages", 5, 110, 2},       {"Hilite", 5, 140, 9},      {"Marked text", 5, 170, 6},
    {"Menu text", 5, 200, 12},     {"Menu selected", 5, 230, 13}, {"Black text", 5, 260, 0},
    {"Red text", 5, 290, 1},       {"Standard text", 180, 20, 14}, {"Cursor Char", 180, 50, 3},
    {"Blank cursor", 180, 80, 3},  {"Reserved words", 180, 110, 16}, {"Keywords", 180, 140, 17},
    {"\"string\"", 180, 170, 18},  {"'L''i''t''t'", 180, 200, 19}, {"numeral 12345", 180, 230, 20},
    {"#preproc.", 180, 260, 21},   {"//comment", 180, 290, 15},
    {"   Up/Down select item", 25, 328, 1}, {"     Enter set color", 25, 346, 1},
    {"Left/Right adjust RGB", 25, 364, 1},  {"     Space select RGB", 25, 382, 1},
};

// The cursor samples: one character of a text redrawn in a cursor pair.
struct CursorMark {
  const char* ch;
  int cell, y, pair;
};
constexpr CursorMark kCursorMarks[] = {{"C", 7, 50, 4}, {" ", 5, 80, 5}};

// Keycodes of a PC keyboard.
constexpr int kEsc = 9, kBackSpace = 22, kR = 27, kP = 33, kReturn = 36, kG = 42, kB = 56,
              kSpace = 65, kUp = 111, kLeft = 113, kRight = 114, kDown = 116, kInsert = 118,
              kDelete = 119;

DialogWindow win;
int selected;
uint32_t color;             // the adjuster, laid out like a role's colour
int toAdj = kChannelRed;    // the channel Left and Right change

constexpr int kBarX[3] = {420, 410, 400};  // by channel: blue, green, red

int channel(int c) { return int((color >> (8 * c)) & 0xff); }

void setChannel(int c, int value) {
  const int shift = 8 * c;
  color = (color & ~(0xffu << shift)) | (uint32_t(value & 0xff) << shift);
}

void preview(EditorState*) {
  // The editor shows the colours being set, not only the preview.
  setColors();
  // From the bottom up: where rows are closer than the font is high, each
  // keeps its descenders and loses only the empty top of the row below.
  for (auto s = std::rbegin(kSamples); s != std::rend(kSamples); ++s) win.latin(s->x, s->y, s->pair, s->text);
  const int cell = DialogCellWidth();
  for (const CursorMark& m : kCursorMarks) win.latin(180 + m.cell * cell, m.y, m.pair, m.ch);
}

void roles(EditorState*) {
  constexpr int kColumnRows = 14;
  for (int r = kColorRoles - 1; r >= 0; r--) {
    const int x = r < kColumnRows ? 350 : 475;
    const int y = 20 + 16 * (r % kColumnRows);
    win.latin(x, y, r == selected ? 13 : 12, colorRoles[size_t(r)].name);
  }
}

void setter(EditorState*) {
  win.fill(color & 0xffffff, 440, 310, 40, 40);
  for (int c = kChannelBlue; c <= kChannelRed; c++) {
    const int x = kBarX[c];
    const int top = 350 - channel(c) / 4;
    win.line(kBlack, x, 350, x, top);
    win.line(kWhite, x, top, x, 286);
    win.triangle(c == toAdj ? kBlack : kWhite, x, 360, 2, 370);
  }
  win.line(kBlack, 395, 286, 425, 286);
}

void close(EditorState* V) {
  V->inputMode = ModeEdit;
  win.close();
  V->redraw |= REDRAW_ALL;
}

}  // namespace

int ColorSelected() { return selected; }
uint32_t ColorAdjuster() { return color; }
int ColorChannel() { return toAdj; }
bool ColorDialogOpen() { return win.isOpen(); }

void viewColorDialog(EditorState* V) {
  if (!win.isOpen()) return;
  preview(V);
  roles(V);
  setter(V);
}

void ColorConfig(EditorState* V) {
  if (win.isOpen()) {
    close(V);
    return;
  }
  win.open(100, 50, 600, 400, viewColorDialog);
  V->inputMode = ModeColorConfig;
  viewColorDialog(V);
}

void ColorConfKey(EditorState* V, int keycode) {
  if (!win.isOpen() || IsModifierKeycode(unsigned(keycode))) return;
  uint32_t& role = co[size_t(selected)];
  const uint32_t before = role;
  switch (keycode) {
    case kEsc:
      close(V);
      return;
    case kBackSpace:
    case kDelete:
      role = colorRoles[size_t(selected)].def;
      break;
    case kR:
      toAdj = kChannelRed;
      break;
    case kG:
      toAdj = kChannelGreen;
      break;
    case kB:
      toAdj = kChannelBlue;
      break;
    case kSpace:
      toAdj = toAdj == kChannelBlue ? kChannelRed : toAdj - 1;
      break;
    case kP:
    case kInsert:
      color = role;
      break;
    case kReturn:
      role = color;
      break;
    case kUp:
      if (selected > 0) selected--;
      break;
    case kDown:
      if (selected < kColorRoles - 1) selected++;
      break;
    case kLeft:
      setChannel(toAdj, channel(toAdj) - kStep);
      break;
    case kRight:
      setChannel(toAdj, channel(toAdj) + kStep);
      break;
    default:
      break;
  }
  // A role changed may be one the dialogue itself is drawn in.
  if (role != before) {
    setColors();
    win.clear(S.pairs[12][1]);
  }
  preview(V);
  roles(V);
  setter(V);
  V->redraw |= REDRAW_ALL;
}
