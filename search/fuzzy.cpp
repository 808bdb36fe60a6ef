// The fuzzy matcher: the first blank-delimited word within a few edits of
// the search text.
#include "search/search.h"

#include <algorithm>

#include "core/encoding.h"
#include "core/line_store.h"

namespace {

constexpr int kFuzzyMax = 63;  // longest word or pattern compared
constexpr int kTooFar = 0xffff;

// The edit distance, or as soon as it must exceed `cap`, cap + 1: every
// count in a row only grows in the rows below it.
int distance(const tchar* w, int n, const tchar* p, int m, int cap) {
  if (m > kFuzzyMax || n > kFuzzyMax || n < 0) return kTooFar;
  int r[kFuzzyMax + 1];
  for (int k = 0; k <= n; k++) r[k] = k;
  for (int t = 0; t < m; t++) {
    int diag = t;
    r[0] = t + 1;
    int least = r[0];
    for (int k = 1; k <= n; k++) {
      const int up = r[k];
      r[k] = std::min({up + 1, r[k - 1] + 1, diag + (p[t] == w[k - 1] ? 0 : 1)});
      diag = up;
      least = std::min(least, r[k]);
    }
    if (least > cap) return cap + 1;
  }
  return r[n];
}

// Compares the word [i, j) and reports it when close enough.
bool tryWord(EditorState* V, const ActiveLine* line, int i, int j, int m) {
  const int n = j - i;
  // Lengths further apart than the limit cost more edits than it allows.
  if (n > kFuzzyMax || n - m > V->fuzzyLimit || m - n > V->fuzzyLimit) return false;
  tchar w[kFuzzyMax + 1];
  for (int k = 0; k < n; k++) w[k] = Fold(V->caseMap, line->c[i + k]);
  if (distance(w, n, V->pattern, m, V->fuzzyLimit) > V->fuzzyLimit) return false;
  V->curTcb->col = i;
  V->patLen = n;
  return true;
}

}  // namespace

int levenshtein(const tchar* w, int n, const tchar* p) { return distance(w, n, p, tstrlen(p), kTooFar); }

void FuzzyLimit(EditorState* V) {
  int L = tstrlen(V->pattern);
  if (L >= 3 && V->pattern[L - 2] == '=' && V->pattern[L - 1] >= '0' && V->pattern[L - 1] <= '9') {
    const int d = int(V->pattern[L - 1] - '0');
    V->pattern[L - 2] = 0;
    if (d > 0) {
      V->fuzzyLimit = d;
      return;
    }
    L -= 2;
  }
  V->fuzzyLimit = L <= 4 ? 1 : L <= 7 ? 2 : L == 8 ? 3 : L / 3;
}

int SearchFuzzy(EditorState* V, const ActiveLine* line, int a, int n) {
  const int m = tstrlen(V->pattern);
  int e = std::min(int(line->count), n);
  auto blank = [&](int c) { return IsSearchBlank(V, line->c[c]); };
  // A word cut by the start of the range is not tried.
  if (a > 0 && a <= line->count && !blank(a - 1))
    while (a < e && !blank(a)) a++;
  if (!(V->searchFlags & 0x20)) {
    for (;;) {
      while (a < e && blank(a)) a++;
      if (a >= e) return 0;
      const int i = a;
      while (a < e && !blank(a)) a++;
      if (tryWord(V, line, i, a, m)) return 1;
    }
  }
  for (;;) {
    while (e > a && blank(e - 1)) e--;
    if (a >= e) return 0;
    int i = e;
    while (i > a && !blank(i - 1)) i--;
    if (tryWord(V, line, i, e, m)) return 1;
    e = i;
  }
}
