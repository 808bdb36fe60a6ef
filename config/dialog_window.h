// The pop-up window the key, colour and font dialogues draw in.
//
// A DialogWindow is an X child window of the editor window while it is open
// and is destroyed with its owner or on close().  Without a display (tests)
// opening only marks it open, and every drawing call still reaches the
// dialogue sink, so what a dialogue shows can be checked headless.  Only one
// dialogue is open at a time; the open one repaints itself when the server
// exposes its window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/line_store.h"  // tchar
#include "shell/popup_window.h"

struct EditorState;

// One drawing call, as the sink sees it.
struct DialogDraw {
  enum Kind { Text, Fill, Line, Triangle };
  Kind kind;
  int x, y;         // text: start of the baseline; fill: top left; line: from
  int x2, y2;       // fill: width and height; line: to; triangle: apex (x, y), base y2, half width x2
  int pair;         // text: the colour pair; -1 for the other kinds
  uint32_t colour;  // fill, line, triangle: 0xRRGGBB
  std::string text; // text: UTF-8
};
using DialogSink = std::function<void(const DialogDraw&)>;
// Installs (or with an empty function removes) the sink.
void SetDialogSink(DialogSink sink);

class DialogWindow {
 public:
  DialogWindow() = default;
  ~DialogWindow() { close(); }
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates and maps a child of the editor window with a border of 1,
  // taking key, button, exposure and structure events.  `repaint` draws the
  // whole dialogue when the window is exposed.
  void open(int x, int y, int width, int height, void (*repaint)(EditorState*));
  void close();
  bool isOpen() const { return open_; }
  int width() const { return width_; }

  // Menu-font text in colour pair `pair`, the baseline at y; returns the
  // width drawn in pixels.  `latin` takes each byte as one character
  // (key names carry Latin-1 bytes); `utf` decodes UTF-8.
  int latin(int x, int y, int pair, const char* s, int n = -1);
  int utf(int x, int y, int pair, const std::string& s);
  int chars(int x, int y, int pair, const tchar* s, int n);
  void fill(uint32_t colour, int x, int y, int w, int h);
  // Fills the whole window with `colour`, which also becomes the colour
  // the server clears it to.
  void clear(uint32_t colour);
  void line(uint32_t colour, int x1, int y1, int x2, int y2);
  // A filled triangle with its apex at (x, apexY) and a base from
  // (x - half, baseY) to (x + half, baseY).
  void triangle(uint32_t colour, int x, int apexY, int half, int baseY);

 private:
  bool open_ = false;
  int width_ = 0;
  int height_ = 0;
  PopupWindow popup_;
  unsigned long win_ = 0;  // popup_'s window while there is a display, else 0
  void* gc_ = nullptr;
};

// The menu font's cell width and ascent (sensible numbers without a font).
int DialogCellWidth();
int DialogAscent();

// Hooks the three dialogues into the event loop (their input modes and the
// repaint of an exposed dialogue).
void InstallDialogHooks();
