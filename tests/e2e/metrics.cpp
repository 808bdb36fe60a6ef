// Prints the text font's cell as the editor lays its window out, for the
// end-to-end scripts, which take every row and column position from it:
//
//   LH=<line height> CW=<cell width> BASE=<baseline> FONT=<font file>
//
// The font is chosen exactly as at start-up (fontconfig's match, then the
// fallback files), so run it with the same FONTCONFIG_FILE as the editor.
#include <cstdio>

#include "config/fonts.h"
#include "display/glyph_renderer.h"

int main() {
  fontsInit();
  if (const std::string err = crapInitChecked(nullptr, 0); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  if (const std::string err = fontsSetChecked(nullptr); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  std::printf("LH=%d CW=%d BASE=%d FONT=%s\n", font->lineHeight, font->charWidth, font->baseline,
              font->path.c_str());
  crapDeinit();
  return 0;
}
