#include "display/box_glyphs.h"

bool BoxGlyph(tchar, int, int, int, CoverageGlyph*) { return false; }
