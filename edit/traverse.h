// The line-by-line walker: hands every line of the current text, or of the
// marked block, to a callback as an editable copy with the column range that
// belongs to the walk on that line, and stores the copy back when the
// callback says it changed it.
#pragma once

struct EditorState;
struct ActiveLine;
struct Link;

// Flags of Traverse.
constexpr int TRAV_NEED_BLOCK = 0x02;   // no block in the current text: return 1
constexpr int TRAV_USE_BLOCK = 0x04;    // the block when the current text has one
constexpr int TRAV_FROM_CURSOR = 0x08;  // begin at the cursor
constexpr int TRAV_NEED_COLUMN = 0x10;  // with a block: it must be a column block
constexpr int TRAV_BACKWARDS = 0x20;    // from the last line towards the first
constexpr int TRAV_AT_CURSOR = 0x80;    // with 0x08: the cursor column is walked too

constexpr int kTravNoLimit = 0x7fff;  // end column of a line walked to its end

// A line callback: `from` and `to` are already clamped to the line's length
// (from <= to); columns from..to-1 belong to the walk.  Answers nonzero when
// it changed `line`, which is then stored.  It may read V->travLine and
// V->travLink and set V->travStop to end the walk after this line.
using TravFn = int (*)(EditorState* V, ActiveLine* line, int from, int to, void* arg);

// Flushes the cursor line and walks.  Returns the callback's answer for the
// last line visited, or 1 when nothing was visited (a block was required and
// there is none, the block is unusable or not a column block when one is
// required, or a walk from the cursor starts outside the block it is
// confined to).  The cursor line is not reloaded: a caller whose callback
// changes lines reloads it (ALoad).
//
// `skip`, when given, is asked first about every line but a cursor line the
// walk begins in: answering true passes the line over unread, for a walk
// that looks for something its stored bytes show to be missing.
using TravSkip = bool (*)(const Link* line, void* arg);
int Traverse(EditorState* V, int flags, TravFn fn, void* arg, TravSkip skip = nullptr);
