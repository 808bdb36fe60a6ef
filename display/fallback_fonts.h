// Characters the text font lacks, drawn from another installed font that
// has them (found through fontconfig), scaled to the cell and set on the
// same baseline.
#pragma once

#include <cstdint>

#include "core/line_store.h"  // tchar
#include "display/coverage_glyph.h"

struct GlyphFont;

// The glyph of c from the first font that covers it, made for f's cell
// (f->charWidth x f->lineHeight, baseline f->baseline); false when no
// installed font has c or fontconfig cannot be loaded.  Which font has c is
// asked once per code point and kept for the rest of the run.
bool FallbackGlyph(const GlyphFont* f, tchar c, CoverageGlyph* out);
// Forgets the faces opened for the fonts' sizes (the fonts changed).
void FallbackFontsReset();
// Forgets everything, fontconfig's configuration included, so that the next
// character reads it again (tests change FONTCONFIG_FILE).
void FallbackFontsRestart();
// How often fontconfig's fonts were searched for a code point.
uint64_t FallbackLookups();
