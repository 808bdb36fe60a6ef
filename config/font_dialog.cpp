// The font dialogue: items, text editing, the font file list, applying.
#include "config/font_dialog.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "config/dialog_window.h"
#include "config/fonts.h"
#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

constexpr int kWidth = 850, kHeight = 290;
constexpr int kRowStep = 25;
constexpr int kListBytes = (kFontListMax + 1) * kFontItemSize;
constexpr int kTextMax = kFontItemSize - 1;  // bytes a text item holds
constexpr int kMenuFontFile = 1, kMenuSize = 2, kTextFontFile = 4, kTextSize = 5;


struct Hint {
  const char* text;
  int x, y;
};
constexpr Hint kHints[] = {{"Numerics: Adjust with Left/Righr arrows", 250, 180},
                           {"File name: Enter for selection list", 250, 210},
                           {"Commit changes with space bar", 250, 240}};
constexpr int kNoteX = 250, kNoteY = 270;

DialogWindow win;
int fontSelected;
int curpos;
std::unique_ptr<char[]> fontList;  // only while the list is shown
int listCount, listSel, listTop;
std::string note;
FontData inUse;  // the settings the editor's fonts were last built from

char* textOf(int item) {
  switch (item) {
    case 0: return fontData.menuFont;
    case 1: return fontData.menuFontFile;
    case 3: return fontData.textFont;
    case 4: return fontData.textFontFile;
    default: return nullptr;
  }
}

int32_t* numberOf(int item) {
  switch (item) {
    case kMenuSize: return &fontData.menuSize;
    case kTextSize: return &fontData.textSize;
    case 6: return &fontData.textWidth;
    case 7: return &fontData.textBaseline;
    case 8: return &fontData.textLineSpace;
    default: return nullptr;
  }
}

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

// Edit positions move by whole UTF-8 characters.
int prevPos(const char* s, int pos) {
  if (pos <= 0) return 0;
  int p = pos - 1;
  while (p > 0 && pos - p < 4 && continuation(s[p])) p--;
  return p;
}

int nextPos(const char* s, int pos) {
  const int n = int(std::strlen(s));
  if (pos >= n) return n;
  int p = pos + 1;
  while (p < n && p - pos < 4 && continuation(s[p])) p++;
  return p;
}

uint32_t background() { return S.pairs[12][1]; }

void drawItem(int a) {
  const int y = DialogAscent() + kRowStep + kRowStep * a;
  int x = 10 + win.latin(10, y, a == fontSelected ? 13 : 12, item[a]) + 10;
  if (const char* t = textOf(a)) {
    if (a != fontSelected) {
      x += win.utf(x, y, 12, std::string(":  ") + t + " ");
    } else {
      const std::string s = t;
      const size_t at = size_t(curpos), next = size_t(nextPos(t, curpos));
      x += win.utf(x, y, 12, ":  " + s.substr(0, at));
      x += win.utf(x, y, 13, at < s.size() ? s.substr(at, next - at) : std::string(" "));
      if (at < s.size()) x += win.utf(x, y, 12, s.substr(next) + " ");
    }
  } else {
    char num[16];
    std::snprintf(num, sizeof num, "  %d", int(*numberOf(a)));
    x += win.latin(x, y, 12, num);
  }
  win.fill(background(), x, y - DialogAscent(), kWidth - x, kRowStep);
}

void drawList() {
  for (int k = 0; k < kFontListRows && listTop + k < listCount; k++) {
    const int i = listTop + k;
    win.utf(10, kRowStep * (k + 1), i == listSel ? 13 : 12, fontList.get() + size_t(i) * kFontItemSize);
  }
}

// The fonts may have changed: the editor's rows and cells follow them.
void relayout(EditorState* V) {
  if (font && font->face) Resize(V, &S);
  V->redraw |= REDRAW_ALL;
}

void closeList() {
  fontList.reset();
  listCount = listSel = listTop = 0;
}

void openList() {
  const char* pattern = textOf(fontSelected - 1);
  fontList = std::make_unique<char[]>(kListBytes);
  fontScann(fontList.get(), pattern, kFontListMax);
  listCount = 0;
  while (listCount < kFontListMax && fontList[size_t(listCount) * kFontItemSize]) listCount++;
  listSel = listTop = 0;
  // Start on the file in use when fontconfig lists it.
  for (int i = 0; i < listCount; i++)
    if (std::strcmp(fontList.get() + size_t(i) * kFontItemSize, textOf(fontSelected)) == 0) listSel = i;
  if (listSel >= kFontListRows) listTop = listSel - (kFontListRows - 1);
  if (listCount == 0) note = "No font files found";
}

void listKey(int key) {
  if (key == 27) {
    closeList();
    return;
  }
  if (key < CMD_BASE) return;
  const int n = key - CMD_BASE;
  if (n == cmd::OneUp && listSel > 0) {
    if (--listSel < listTop) listTop = listSel;
  } else if (n == cmd::OneDown && listSel + 1 < listCount) {
    if (++listSel >= listTop + kFontListRows) listTop = listSel - (kFontListRows - 1);
  } else if (n == cmd::NewLine) {
    if (listCount > 0) std::snprintf(textOf(fontSelected), kFontItemSize, "%s", fontList.get() + size_t(listSel) * kFontItemSize);
    curpos = 0;
    closeList();
  }
}

void apply(EditorState* V) {
  const std::string err = fontsSetChecked(V, printVal[PRINT_FONTSIZE]);
  if (err.empty()) {
    inUse = fontData;
    note = FontsNote();
  } else {
    // A font that failed to open leaves the editor without one: build the
    // fonts in use again, and keep what was typed for the user to mend.
    const FontData typed = fontData;
    fontData = inUse;
    fontsSetChecked(V, printVal[PRINT_FONTSIZE]);
    fontData = typed;
    note = err;
  }
  relayout(V);
}

// Types a character into the selected text item, as UTF-8.
void insertChar(int c) {
  char* t = textOf(fontSelected);
  // Control characters would only hide in a name or path.
  if (!t || c < 0x20 || (c >= 0x7f && c < 0xa0)) return;
  uint8_t bytes[4];
  const int len = utf8(bytes, 0, tchar(c));
  const int n = int(std::strlen(t));
  if (n + len > kTextMax) {
    note = "Font text full";
    return;
  }
  std::memmove(t + curpos + len, t + curpos, size_t(n - curpos + 1));
  std::memcpy(t + curpos, bytes, size_t(len));
  curpos += len;
}

void editKey(int key) {
  char* t = textOf(fontSelected);
  int32_t* number = numberOf(fontSelected);
  if (key < CMD_BASE) {
    insertChar(key);
    return;
  }
  const int n = key - CMD_BASE;
  if (n == cmd::OneUp || n == cmd::OneDown) {
    fontSelected = n == cmd::OneUp ? (fontSelected > 0 ? fontSelected - 1 : 0)
                                   : (fontSelected < kFontItems - 1 ? fontSelected + 1 : kFontItems - 1);
    curpos = 0;
  } else if (n == cmd::OneLeft || n == cmd::OneRight) {
    const bool right = n == cmd::OneRight;
    if (number) {
      // A font needs a size; a cell, baseline or line space of 0 is the font's own.
      const bool size = fontSelected == kMenuSize || fontSelected == kTextSize;
      const int least = size ? kFontSizeMin : 0;
      const int most = size ? kFontSizeMax : kFontCellMax;
      if (right && *number < most) ++*number;
      if (!right && *number > least) --*number;
    } else {
      curpos = right ? nextPos(t, curpos) : prevPos(t, curpos);
    }
  } else if (n == cmd::Backspace && t && curpos > 0) {
    const int from = prevPos(t, curpos);
    std::memmove(t + from, t + curpos, std::strlen(t + curpos) + 1);
    curpos = from;
  } else if (n == cmd::NewLine && (fontSelected == kMenuFontFile || fontSelected == kTextFontFile)) {
    openList();
  }
}

void close(EditorState* V) {
  closeList();
  V->inputMode = ModeEdit;
  win.close();
  relayout(V);
}

}  // namespace

int FontSelected() { return fontSelected; }
int FontEditPos() { return curpos; }
bool FontListShown() { return fontList != nullptr; }
int FontListCount() { return listCount; }
int FontListSelected() { return listSel; }
int FontListTop() { return listTop; }
const std::string& FontNote() { return note; }
bool FontDialogOpen() { return win.isOpen(); }

void viewFonts(EditorState*) {
  if (!win.isOpen()) return;
  win.fill(background(), 0, 0, kWidth, kHeight);
  if (fontList) {
    drawList();
  } else {
    for (int a = 0; a < kFontItems; a++) drawItem(a);
    for (const Hint& h : kHints) win.latin(h.x, h.y, 1, h.text);
  }
  if (!note.empty()) win.utf(kNoteX, kNoteY, 1, note);
}

void FontConfig(EditorState* V) {
  if (win.isOpen()) {
    close(V);
    return;
  }
  note.clear();
  inUse = fontData;
  // The texts may have been replaced since the dialogue was last open.
  const char* t = textOf(fontSelected);
  if (!t || curpos > int(std::strlen(t))) curpos = 0;
  win.open(10, 50, kWidth, kHeight, viewFonts);
  V->inputMode = ModeFontConfig;
  viewFonts(V);
}

void FontKey(EditorState* V, int key) {
  if (!win.isOpen()) return;
  note.clear();
  if (fontList) {
    listKey(key);
  } else if (key == 27) {
    close(V);
    return;
  } else if (key == ' ') {
    apply(V);
  } else {
    editKey(key);
  }
  viewFonts(V);
}
