#include "display/fallback_fonts.h"

bool FallbackGlyph(const GlyphFont*, tchar, CoverageGlyph*) { return false; }
void FallbackFontsReset() {}
