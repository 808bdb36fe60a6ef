// The matchers of the plain and word-bound searches.  Each tries start
// columns a..n-1 of a line; the caller has already kept n low enough that
// the whole pattern fits in the line (and in the block).
#include "search/search.h"

#include "core/encoding.h"
#include "core/line_store.h"

namespace {

bool matchesAt(const EditorState* V, const ActiveLine* line, int c) {
  const tchar* p = V->pattern;
  for (int k = 0; p[k]; k++)
    if (c + k >= line->count || Fold(V->caseMap, line->c[c + k]) != p[k]) return false;
  return true;
}

// The match at c ends the line or is followed by a blank.
bool endsWord(const EditorState* V, const ActiveLine* line, int c) {
  const int e = c + tstrlen(V->pattern);
  return e >= line->count || IsSearchBlank(V, line->c[e]);
}

bool found(EditorState* V, int c) {
  V->curTcb->col = c;
  return true;
}

bool plain(EditorState* V, const ActiveLine* line, int a, int n, bool word) {
  const tchar first = V->pattern[0];
  auto ok = [&](int c) {
    if (Fold(V->caseMap, line->c[c]) != first || !matchesAt(V, line, c)) return false;
    return !word || ((c == 0 || IsSearchBlank(V, line->c[c - 1])) && endsWord(V, line, c));
  };
  if (V->searchFlags & 0x20) {
    for (int c = n - 1; c >= a; c--)
      if (ok(c)) return found(V, c);
  } else {
    for (int c = a; c < n; c++)
      if (ok(c)) return found(V, c);
  }
  return false;
}

bool begWord(EditorState* V, const ActiveLine* line, int a, int n) {
  int c = a;
  while (c < n) {
    while (c < n && IsSearchBlank(V, line->c[c])) c++;
    if (c >= n) break;
    if (matchesAt(V, line, c)) return found(V, c);
    while (c < n && !IsSearchBlank(V, line->c[c])) c++;
  }
  return false;
}

bool endWord(EditorState* V, const ActiveLine* line, int a, int n) {
  for (int c = a; c < n; c++)
    if (matchesAt(V, line, c) && endsWord(V, line, c)) return found(V, c);
  return false;
}

}  // namespace

int RunMatcher(EditorState* V, const ActiveLine* line, int a, int n) {
  if (a >= n) return 0;
  switch (V->searchFn) {
    case kMatchPlain:
      return plain(V, line, a, n, false);
    case kMatchWord:
      return plain(V, line, a, n, true);
    case kMatchFirstOnly:
    case kMatchCol1:
      // Only the first column of the range counts.
      return matchesAt(V, line, a) && (!V->optWord || endsWord(V, line, a)) && found(V, a);
    case kMatchBegWord:
      return begWord(V, line, a, n);
    case kMatchEndWord:
      return endWord(V, line, a, n);
    case kMatchFuzzy:
      return SearchFuzzy(V, line, a, n);
    default:
      return 0;
  }
}
