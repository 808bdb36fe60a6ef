// A pop-up window of the menus and dialogues: a child of the editor window, created when
// the menu opens and destroyed when it closes.  Without a display (the
// headless tests) only its geometry is kept, under a stand-in id, so that
// events can still be addressed to it.
#pragma once

#include <cstdint>

class PopupWindow {
 public:
  // The stand-in id of a pop-up without a display: never 0, which is the
  // headless editor window's.
  static constexpr unsigned long kHeadlessId = 0x7f000001;

  PopupWindow() = default;
  PopupWindow(const PopupWindow&) = delete;
  PopupWindow& operator=(const PopupWindow&) = delete;
  ~PopupWindow() { close(); }

  bool isOpen() const { return open_; }
  unsigned long id() const { return open_ ? win_ : 0; }
  int x() const { return x_; }
  int y() const { return y_; }
  int width() const { return w_; }
  int height() const { return h_; }

  // A 1-pixel black border on `background` (white unless given), taking key
  // presses, button presses, exposure and structure events; not yet shown.
  void create(int x, int y, int width, int height, uint32_t background = 0xFFFFFFFF);
  void map();
  void moveResize(int x, int y, int width, int height);
  // Unmaps and destroys it; nothing when it is closed.
  void close();

 private:
  bool open_ = false;
  unsigned long win_ = 0;
  void* display_ = nullptr;  // the connection it was made on
  int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
};
