// The fuzzy matcher: the first blank-delimited word within a few edits of
// the search text.
#include "search/search.h"

#include <algorithm>
#include <iterator>

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

// The pattern's ASCII characters counted, for a quick lower bound of the
// distance: characters of one side without a partner on the other each cost
// an edit.  Off when the pattern holds other characters.
struct Bag {
  bool on = false;
  uint8_t count[128];
} bag;

// Characters of the pattern that `chars` (folded, ASCII; others skipped)
// can pair with, each pattern character used once.
int commonWith(const tchar* chars, int n) {
  static uint8_t used[128];  // all 0 between calls
  int common = 0;
  for (int k = 0; k < n; k++) {
    const tchar c = chars[k];
    if (c < 128 && used[c] < bag.count[c]) {
      used[c]++;
      common++;
    }
  }
  for (int k = 0; k < n; k++)
    if (chars[k] < 128) used[chars[k]] = 0;
  return common;
}

bool tooFarApart(const tchar* w, int n, int m, int limit) {
  return bag.on && std::max(n, m) - commonWith(w, n) > limit;
}

void countPattern(const EditorState* V) {
  bag.on = true;
  std::fill(std::begin(bag.count), std::end(bag.count), uint8_t(0));
  for (const tchar* p = V->pattern; *p; p++) {
    if (*p >= 128) {
      bag.on = false;
      return;
    }
    bag.count[*p]++;
  }
}

// Compares the word [i, j) and reports it when close enough.
bool tryWord(EditorState* V, const ActiveLine* line, int i, int j, int m) {
  const int n = j - i;
  // Lengths further apart than the limit cost more edits than it allows.
  if (n > kFuzzyMax || n - m > V->fuzzyLimit || m - n > V->fuzzyLimit) return false;
  tchar w[kFuzzyMax + 1];
  for (int k = 0; k < n; k++) w[k] = Fold(V->caseMap, line->c[i + k]);
  if (tooFarApart(w, n, m, V->fuzzyLimit) || distance(w, n, V->pattern, m, V->fuzzyLimit) > V->fuzzyLimit)
    return false;
  V->curTcb->col = i;
  V->patLen = n;
  return true;
}

// Whether a word of the stored bytes [from, to) could be close enough,
// judged without decoding: its length and the bag bound, taking each
// multi-byte or raw byte as a character that might be any one.
bool mayMatch(const uint8_t* b, int from, int to, int m, int limit, const EditorState* V) {
  const int hi = to - from;
  if (hi < m - limit) return false;
  int lo = 0;
  for (int k = from; k < to; k++) lo += b[k] < 0x80 || b[k] >= 0xc0;
  if (lo > m + limit || lo > kFuzzyMax) return false;
  tchar folded[kFuzzyMax * 4];
  int n = 0, other = 0;
  for (int k = from; k < to && n < kFuzzyMax * 4; k++) {
    if (b[k] >= 0x80)
      other++;
    else
      folded[n++] = Fold(V->caseMap, b[k]);
  }
  return std::max(lo, m) - commonWith(folded, n) - other <= limit;
}

}  // namespace

bool FuzzyCannotMatch(const Link* line, void* arg) {
  const EditorState* V = static_cast<const EditorState*>(arg);
  if (!bag.on) return false;
  const uint8_t* b = line->data();
  const int n = line->len();
  const int m = tstrlen(V->pattern);
  for (int i = 0; i < n;) {
    while (i < n && (b[i] == ' ' || b[i] == '\t')) i++;
    const int from = i;
    while (i < n && b[i] != ' ' && b[i] != '\t') i++;
    if (i > from && mayMatch(b, from, i, m, V->fuzzyLimit, V)) return false;
  }
  return true;
}

int levenshtein(const tchar* w, int n, const tchar* p) { return distance(w, n, p, tstrlen(p), kTooFar); }

void FuzzyLimit(EditorState* V) {
  int L = tstrlen(V->pattern);
  if (L >= 3 && V->pattern[L - 2] == '=' && V->pattern[L - 1] >= '0' && V->pattern[L - 1] <= '9') {
    const int d = int(V->pattern[L - 1] - '0');
    V->pattern[L - 2] = 0;
    if (d > 0) {
      V->fuzzyLimit = d;
      countPattern(V);
      return;
    }
    L -= 2;
  }
  V->fuzzyLimit = L <= 4 ? 1 : L <= 7 ? 2 : L == 8 ? 3 : L / 3;
  countPattern(V);
}


int SearchFuzzy(EditorState* V, const ActiveLine* line, int a, int n) {
  const int m = tstrlen(V->pattern);
  int e = std::min(int(line->count), n);
  // The word map of this matcher is the identity: only the space is a blank.
  const tchar* c = line->c;
  auto blank = [c](int k) { return c[k] == ' '; };
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
