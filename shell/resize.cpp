// Window geometry from the window size and the two fonts.
#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "shell/event_loop.h"
#include "shell/wm_hints.h"

namespace {
constexpr int kStatusHeight = 20;
constexpr int kMarginPixels = 10;  // kept free at the right edge
}  // namespace

void ResizeMetrics(EditorState* V, int width, int height, int lineHeight, int charWidth,
                   int ascent, int menuLineHeight, int menuCharWidth) {
  V->statusHeight = kStatusHeight;
  SetMetrics(V, width, height, lineHeight, charWidth, ascent);
  // A font without a usable cell must not divide by zero.
  V->menuLineHeight = menuLineHeight > 0 ? menuLineHeight : 1;
  V->menuCharWidth = menuCharWidth > 0 ? menuCharWidth : 1;
  V->menuCols = (width - kMarginPixels) / V->menuCharWidth;
  if (V->menuCols < 1) V->menuCols = 1;
}

void Resize(EditorState* V, Screen* scr) {
  const GlyphFont* text = font;
  const GlyphFont* menu = font2 ? font2 : font;
  ResizeMetrics(V, scr->width, scr->height, text ? text->lineHeight : 0,
                text ? text->charWidth : 0, text ? text->baseline : 0,
                menu ? menu->lineHeight : 0, menu ? menu->charWidth : 0);
  // The window manager sizes the window in cells of the text font.
  if (text) UpdateSizeHints(scr->display, scr->window, text->charWidth, text->lineHeight,
                            scr->width, scr->height);
  PrepareView(V);
}
