// The text list pop-up: its entries, keys and clicks.
#include "shell/text_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/file_io.h"
#include "display/menu_paint.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/mouse.h"
#include "shell/popup_window.h"

namespace {

constexpr int kListX = 2, kListY = 25;     // where the rebuilt list sits
constexpr int kFirstBaseline = 20;
constexpr int kTextX = 2;
constexpr int kCloseBelowY = 41;           // presses on the editor window below it close the list
constexpr int kOpenWidth = 200, kOpenHeight = 100;

struct Entry {
  char text[kTextListEntry];
  // Kept beside its text, not read back from it: from number 100 on the
  // shown digits would name another text.
  int number;
};

PopupWindow filemenu;
Entry entries[kTextListMax];
int nlines = 0;
int SelectedFile = 0;

// Cuts s to fit `size` bytes with its 0, never inside a UTF-8 character.
void cutAtCharacter(char* s, size_t size) {
  size_t n = std::strlen(s);
  if (n < size) return;
  n = size - 1;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xc0) == 0x80) n--;
  s[n] = 0;
}

void makeEntry(EditorState* V, Entry* e, const Tcb* t) {
  // The cipher key after the name's '@' never shows; the '@' does, to say
  // the text is enciphered.
  const size_t plain = PlainNameLen(t->fileName);
  const int shown = int(plain) + (t->fileName[plain] ? 1 : 0);
  char full[2 * kPathMax + 16];
  std::snprintf(full, sizeof full, "%c%01d %s/%.*s", TextModified(V, t) ? '*' : ' ', t->number + 1, t->dirName,
                shown, t->fileName);
  cutAtCharacter(full, sizeof e->text);
  std::memcpy(e->text, full, std::strlen(full) + 1);
  e->number = t->number;
}

void rebuild(EditorState* V) {
  nlines = 0;
  Tcb* t = V->tcbRing;
  if (!t) return;
  do {
    if (t->base && nlines < kTextListMax) makeEntry(V, &entries[nlines++], t);
    t = t->next;
  } while (t != V->tcbRing);
}

void paint() {
  if (!filemenu.isOpen()) return;
  for (int i = 0; i < nlines; i++)
    MenuDrawText(filemenu.id(), i == SelectedFile ? kPairMenuMark : kPairMenu, kTextX,
                 kFirstBaseline + kTextListRow * i, entries[i].text, true);
}

void close(EditorState* V) {
  filemenu.close();
  V->inputMode = ModeEdit;
  V->redraw |= REDRAW_ALL;
}

int selectedNumber() { return SelectedFile >= 0 && SelectedFile < nlines ? entries[SelectedFile].number : -1; }

// C: closes the highlighted text, when nothing in it can be lost and no
// view of it is in use.
void closeText(EditorState* V) {
  Tcb* t = FindTcb(V, selectedNumber());
  Tcb* cur = V->curTcb;
  // Changes made through a duplicate count: closing takes the duplicates too.
  if (!t || !cur || TextModified(V, t) || !V->singleView) return;
  // A duplicate of it (or it, of a current duplicate) shares its lines.
  if (cur->base == t->base) return;
  ReleaseTcb(V, &t);
  ViewFileMenu(V, 1);
}

void clickItem(EditorState* V, const XButtonEvent& b) {
  if (b.y < 2) return;
  const int row = (b.y - 2) / kTextListRow;
  if (row >= nlines) return;
  // The clicked row first: fast clicks on two rows act on the second.
  SelectedFile = row;
  if (DblClk()) {
    const int n = selectedNumber();
    close(V);
    SelectView(V, n);
  } else {
    ViewFileMenu(V, -1);
  }
}

}  // namespace

void FileMenuUp(EditorState* V) {
  if (filemenu.isOpen()) {
    close(V);
    return;
  }
  const int y = V->curTcb ? V->curTcb->headY : 0;
  filemenu.create(0, y, kOpenWidth, kOpenHeight);
  // Shown first, then painted: drawing into a window not yet mapped is lost.
  filemenu.map();
  ViewFileMenu(V, 0);
  V->inputMode = ModeTextList;
}

int ViewFileMenu(EditorState* V, int how) {
  if (how >= 0) {
    rebuild(V);
    if (how == 0) {
      SelectedFile = 0;
      for (int i = 0; i < nlines; i++)
        if (V->curTcb && entries[i].number == V->curTcb->number) SelectedFile = i;
    } else if (how == 1 && SelectedFile > 0) {
      SelectedFile--;
    }
    SelectedFile = std::clamp(SelectedFile, 0, std::max(nlines - 1, 0));
    int widest = 0;
    for (int i = 0; i < nlines; i++) widest = std::max(widest, MenuTextWidth(V, entries[i].text, -1, true));
    filemenu.moveResize(kListX, kListY, widest + 5, kTextListRow * nlines + kTextListRow);
  }
  paint();
  return nlines;
}

void FileMenuKey(EditorState* V, int key) {
  if (key == 27 || key == CMD_BASE + cmd::ViewFileMenu) {
    close(V);
    return;
  }
  if (key >= '1' && key <= '9') {
    close(V);
    SelectView(V, key - '1');
    return;
  }
  const int n = selectedNumber();
  switch (key) {
    case 'C':
    case 'c':
      closeText(V);
      return;
    case 'D':
    case 'd':
      close(V);
      OpenDup(V, n);
      return;
    case 'H':
    case 'h':
      close(V);
      HSplit(V, n);
      return;
    case 'U':
    case 'u':
      close(V);
      ClearSplit(V, n);
      return;
    case 'V':
    case 'v':
      close(V);
      VSplit(V, n);
      return;
    case CMD_BASE + cmd::OneUp:
      if (SelectedFile > 0) SelectedFile--;
      ViewFileMenu(V, -1);
      return;
    case CMD_BASE + cmd::OneDown:
      if (SelectedFile < nlines - 1) SelectedFile++;
      ViewFileMenu(V, -1);
      return;
    case CMD_BASE + cmd::NewLine:
      close(V);
      SelectView(V, n);
      return;
    default:
      return;
  }
}

void ClickFM(EditorState* V, XEvent* ev) {
  const XButtonEvent& b = ev->xbutton;
  if (filemenu.isOpen() && b.window == filemenu.id()) {
    clickItem(V, b);
  } else if (b.window == S.window && b.y > kCloseBelowY) {
    close(V);
  }
}

bool TextListOpen() { return filemenu.isOpen(); }
int TextListCount() { return nlines; }
int TextListSelected() { return SelectedFile; }
const char* TextListEntry(int i) { return i >= 0 && i < nlines ? entries[i].text : ""; }
int TextListNumber(int i) { return i >= 0 && i < nlines ? entries[i].number : -1; }
unsigned long TextListWindow() { return filemenu.id(); }

void ResetTextList() {
  filemenu.close();
  nlines = 0;
  SelectedFile = 0;
}
