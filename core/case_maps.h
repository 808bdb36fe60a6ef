// Upper- and lower-case maps and the word-separator maps.
//
// V->upcase and V->locase give, for every code point below U+2000, its
// simple (one-to-one) Unicode case counterpart; no mapping changes the
// number of characters, so a case change never changes a line's length.
// V->nocase is the identity and V->wordBreak the identity with ASCII
// punctuation (except '_' and '`'), U+00A3 and U+00A4 mapped to a space,
// which marks a character that ends a word.
#pragma once

#include <cstdint>

#include "core/line_store.h"

struct EditorState;

constexpr int kCaseMapSize = 8192;  // U+0000 .. U+1FFF

// A run sets map[first] = value, map[first + step] = value + step, ... up to
// map[last]; a pair sets map[code] = value.  Lists end with a zero entry.
struct CaseRun {
  uint16_t first, value, last, step;
};
struct CasePair {
  uint16_t code, value;
};

// Sets every entry to its own index, then applies the runs.
void initRun(uint16_t* map, const CaseRun* runs);
// Applies the pairs.
void initXlt(uint16_t* map, const CasePair* pairs);

// Builds the four maps and makes V->wordClass the word-break map.
void initCase(EditorState* V);

// The upper (upper true) or lower counterpart of c; c itself at or above
// U+2000.
tchar CaseChar(const EditorState* V, tchar c, bool upper);

// Traversal callbacks: change columns from..to-1 of line (clamped to its
// count) to upper / lower case; answer 1 (the line was changed).
int DoBlkUpper(EditorState* V, ActiveLine* line, int from, int to, void* arg = nullptr);
int DoBlkLower(EditorState* V, ActiveLine* line, int from, int to, void* arg = nullptr);
