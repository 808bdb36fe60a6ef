// Shared by the block files only: line helpers and the column lay.
#pragma once

#include "core/line_store.h"

struct EditorState;
struct Tcb;

// Line n of the text of `t` (1-based), or null past its end.
Link* LineOf(Tcb* t, int n);
// A detached record holding `a` folded (its carried flags kept); null when
// memory ran out.
Link* MakeLine(EditorState* V, ActiveLine* a);
// `with` takes the place of `old` in its list; `old` is released.
void ReplaceLink(EditorState* V, Link* old, Link* with);
// Whether `a` fits a stored record.
bool LineFits(const ActiveLine& a);
// Lays a block text over the lines from the cursor at the cursor column,
// inserting or overwriting; with dryRun only checks that every line would
// fit.  0 done, 1 refused (nothing changed, the text kept).
int LayColumns(EditorState* V, Link* text, bool overwrite, bool dryRun);
