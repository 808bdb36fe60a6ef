// Drawing the menus' lines with the menu font.
#include "display/menu_paint.h"

#include <cstring>
#include <string>

#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"

namespace {

// UTF-8 taken apart: characters the font can measure as Latin-1, and how
// many others there are.
std::string latinPart(const char* s, int n, int* others) {
  std::string latin;
  *others = 0;
  const auto* p = reinterpret_cast<const uint8_t*>(s);
  for (int i = 0; i < n;) {
    int len = 1;
    const tchar c = uni8(p + i, n - i, &len);
    if (len < 1) len = 1;
    if (c < 0x100)
      latin += char(c);
    else
      ++*others;
    i += len;
  }
  return latin;
}

int barBottom = kMenuBarUnknown;

}  // namespace

void SetMenuBarBottom(int y) { barBottom = y; }
int MenuBarBottom() { return barBottom; }

int MenuLineHeight(const EditorState* V) {
  if (V->menuLineHeight > 1) return V->menuLineHeight;
  return V->lineHeight > 0 ? V->lineHeight : 1;
}

int MenuAscent(const EditorState* V) {
  if (font2) return font2->baseline;
  return V->fontAscent;
}

int MenuTextWidth(EditorState* V, const char* s, int n, bool utf) {
  if (!s) return 0;
  if (n < 0) n = int(std::strlen(s));
  const int cell = V->menuCharWidth > 1 ? V->menuCharWidth : (V->charWidth > 0 ? V->charWidth : 1);
  int others = 0;
  const std::string latin = utf ? latinPart(s, n, &others) : std::string(s, size_t(n));
  if (!font2 || (!font2->face && !font2->glyphs)) return (int(latin.size()) + others) * cell;
  return crapWidth(font2, latin.data(), int(latin.size())) + others * cell;
}

void MenuDrawText(unsigned long drawable, int pair, int x, int y, const char* s, bool utf) {
  if (!font2 || !s || !*s) return;
  const uint32_t fg = S.pairs[pair][0], bg = S.pairs[pair][1];
  if (utf)
    utf2ImageString(S.display, drawable, fg, bg, x, y, s, 0);
  else
    font2ImageString(S.display, drawable, fg, bg, x, y, s, -1);
}

void MenuFill(unsigned long drawable, int pair, int x, int y, int width, int height) {
  if (width > 0 && height > 0) crapFill(S.display, drawable, S.pairs[pair][1], x, y, width, height);
}
