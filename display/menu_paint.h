// Drawing the menus' lines with the menu font: the main menu's bar and item
// window, the text list.  Without a display the glyph strip is filled and
// nothing is sent; without a menu font nothing is drawn and widths are
// counted in the menu cell.
#pragma once

#include <cstdint>

struct EditorState;

constexpr int kPairMenu = 12;      // menu lines
constexpr int kPairMenuMark = 13;  // the selected title, item or entry

// Width in pixels of n bytes of s (n < 0: up to its 0).  Latin-1 bytes,
// or UTF-8 when `utf`.
int MenuTextWidth(EditorState* V, const char* s, int n, bool utf);
// Draws s with its baseline at (x, y) on `drawable` in colour pair `pair`.
void MenuDrawText(unsigned long drawable, int pair, int x, int y, const char* s, bool utf);
// Fills a rectangle with the background of colour pair `pair`.
void MenuFill(unsigned long drawable, int pair, int x, int y, int width, int height);
// The menu font's line height and the pixels above its baseline.
int MenuLineHeight(const EditorState* V);
int MenuAscent(const EditorState* V);

// The pixel row below the main menu's bar: in the menu mode the status
// lines above it are not painted.  0 while the pointer pop-up is open (no
// bar); kMenuBarUnknown, every status line, when the menu has not said.
constexpr int kMenuBarUnknown = 1 << 30;
void SetMenuBarBottom(int y);
int MenuBarBottom();
