// The case commands: one character at the cursor, or the block (the whole
// text when there is none).
#pragma once

struct EditorState;

// BlockToUpperCase (upper 1) and BlockToLowerCase (upper 0).
void BlockToCase(EditorState* V, int upper);
// UpperCase (direction 0) and LowerCase (1): the character under the cursor,
// then one column right.
void CaseSwitch(EditorState* V, int direction);
