// Text comparison: the current text against the text beside it in a
// vertical split.  Lines that differ are flagged (LINK_DIFF_A, painted
// light red); empty filler lines (LINK_DIFF_B, light blue) go into the
// shorter side of each difference so that equal lines stand side by side.
//
// Lines compare as they are shown: the same characters, trailing blanks
// left out, whether they are stored as read or folded into TABs.
#pragma once

struct EditorState;

// "No Split" when the current text has no partner.
void Compare(EditorState* V);
// Clears the flags in the current text and its split partners and deletes
// the filler lines nothing was typed into.
void UnCompare(EditorState* V);
