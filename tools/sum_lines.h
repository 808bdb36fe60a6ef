// The column sum: the numbers standing in a column block are added up and
// the total goes into the cursor line, ending just left of the cursor.
#pragma once

struct EditorState;

// Every line of the block counts; the total is kept in double precision,
// printed with two decimals, whole ("Line too long" when the line cannot
// take it).
void SumBlock(EditorState* V);
