// Box-drawing characters and block elements (U+2500..U+259F), drawn by the
// renderer itself so that they fill the whole cell: lines meet the lines of
// the cells beside, above and below, and blocks leave no gap between rows.
#pragma once

#include "core/line_store.h"  // tchar
#include "display/coverage_glyph.h"

// Draws c into a cell `cellWidth` x `lineHeight` pixels (baseline `baseline`
// rows from the top); false, with `out` untouched, for any other character.
bool BoxGlyph(tchar c, int cellWidth, int lineHeight, int baseline, CoverageGlyph* out);
