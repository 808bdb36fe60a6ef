// What the window tells the window manager about itself: the sizes it can
// use (WM_NORMAL_HINTS), where the user asked it to be, its input model and
// its icon (WM_HINTS, _NET_WM_ICON).
#pragma once

#include <cstdint>
#include <vector>

struct _XDisplay;

// Window sizes in whole text cells: base + k * inc fills the text area
// exactly (k columns and k rows); the minimum holds the status line, the
// tab line and a few text rows of a useful width.
struct SizeSteps {
  int minWidth, minHeight;
  int baseWidth, baseHeight;
  int incWidth, incHeight;
};
constexpr int kMinTextRows = 3;
// The status line's position, row, mode words and "Tab"/"Spc" end at this
// column; narrower, it drops the words first (the character code field is
// dropped on narrow views by design).
constexpr int kMinColumns = 54;
SizeSteps WindowSizeSteps(int charWidth, int lineHeight);

// Where the window is placed, from -geometry: X's geometry mask bits
// (XValue, YValue, WidthValue, HeightValue; none for the configured size)
// and the window gravity.
struct Placement {
  int userMask = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int gravity = 1;  // NorthWestGravity
};
// The placement of a -geometry (null: none) over the configured size, as
// X programs compute it: W and H in pixels, negative offsets from the
// right and bottom edges of the screen.
Placement GeometryPlacement(_XDisplay* dpy, int screen, const char* geometry, int width,
                            int height);
// Kept for every later WM_NORMAL_HINTS, which replaces the whole property.
void SetPlacement(const Placement& p);
// WM_NORMAL_HINTS with the placement only, before the window is mapped.
void WritePlacementHints(_XDisplay* dpy, unsigned long window);
// WM_NORMAL_HINTS for the text font's cell, when the cell is new for this
// window; a window smaller than the new minimum is made that large.
void UpdateSizeHints(_XDisplay* dpy, unsigned long window, int charWidth, int lineHeight,
                     int width, int height);

// The sizes of _NET_WM_ICON, and the one the icon pixmap of WM_HINTS has.
constexpr int kNetIconSizes[] = {16, 32, 48, 64, 128};
constexpr int kPixmapIconSize = 64;
// The _NET_WM_ICON list: width, height, then the ARGB pixels, per size.
std::vector<long> NetWmIcon();

// The icon pixmap and its mask, made on the window's display and freed
// before the display is closed.
class WindowIcon {
 public:
  WindowIcon() = default;
  WindowIcon(const WindowIcon&) = delete;
  WindowIcon& operator=(const WindowIcon&) = delete;
  ~WindowIcon() { release(); }
  // WM_HINTS with input True and the Normal state, before the window maps.
  static void WriteInputHints(_XDisplay* dpy, unsigned long window);
  // WM_HINTS again with the icon and its mask, and _NET_WM_ICON.
  void install(_XDisplay* dpy, unsigned long window, unsigned long netWmIconAtom);
  void release();

 private:
  _XDisplay* dpy_ = nullptr;
  unsigned long pixmap_ = 0, mask_ = 0;
};
