// Characters the text font lacks, drawn from another installed font that
// has them (found through fontconfig), scaled to the cell and set on the
// same baseline.
#pragma once

#include "core/line_store.h"  // tchar
#include "display/coverage_glyph.h"

struct GlyphFont;

// The glyph of c from the first font that covers it, made for f's cell
// (f->charWidth x f->lineHeight, baseline f->baseline); false when no
// installed font has c or fontconfig cannot be loaded.
bool FallbackGlyph(const GlyphFont* f, tchar c, CoverageGlyph* out);
// Forgets the faces opened for the fonts' sizes (the fonts changed).
void FallbackFontsReset();
