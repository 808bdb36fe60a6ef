// Text comparison.
//
// The walk follows two line cursors: equal lines are stepped over
// together; at a difference the next line of one text that the other
// holds further on is found (confirmed by a run of ten equal lines from
// either side when there is one), the lines skipped on each side are
// flagged, and fillers even the two sides out.  Every line is hashed once
// as shown, and the lines of each text are indexed by hash, so that
// finding the next match costs one look-up per line tried instead of a
// walk through the other text.
#include "tools/compare.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/editor_state.h"
#include "edit/undo.h"
#include "tools/line_anchors.h"

namespace {

constexpr uint16_t kChanged = LINK_DIFF_A;
constexpr uint16_t kFiller = LINK_DIFF_B;
constexpr int kConfirmRun = 10;  // equal lines in a row that confirm a match
constexpr int kTries = 3;

ActiveLine scratch[2];

// The characters shown, trailing blanks left out.
int shown(const Link* l, ActiveLine* line) {
  GetLine(l, line);
  int n = line->count;
  while (n > 0 && line->c[n - 1] == 0x20) n--;
  return n;
}

// 0 for a line that shows nothing, never 0 otherwise.
uint64_t hashOf(const Link* l) {
  const int n = shown(l, &scratch[0]);
  if (n == 0) return 0;
  uint64_t h = 1469598103934665603ull;
  for (int i = 0; i < n; i++) {
    h ^= scratch[0].c[i];
    h *= 1099511628211ull;
  }
  return h ? h : 1;
}

struct Side {
  std::vector<Link*> lines;
  std::vector<uint64_t> hash;
  std::unordered_map<uint64_t, std::vector<int>> where;  // lines that show something, by hash

  explicit Side(Link* base) {
    for (Link* l = base->next(); !IsBase(l); l = l->next()) lines.push_back(l);
    hash.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); i++) {
      hash.push_back(hashOf(lines[i]));
      if (hash[i]) where[hash[i]].push_back(int(i));
    }
  }
  int size() const { return int(lines.size()); }
};

bool same(const Side& X, int x, const Side& Y, int y) {
  if (x >= X.size() || y >= Y.size()) return false;
  if (X.hash[size_t(x)] != Y.hash[size_t(y)]) return false;
  const Link* a = X.lines[size_t(x)];
  const Link* b = Y.lines[size_t(y)];
  if (a->len() == b->len() && std::memcmp(a->data(), b->data(), size_t(a->len())) == 0) return true;
  // Stored otherwise (as read, or folded): compare what they show.
  const int n = shown(a, &scratch[0]);
  return shown(b, &scratch[1]) == n && std::memcmp(scratch[0].c, scratch[1].c, size_t(n) * sizeof(tchar)) == 0;
}

// The first place in Y from y0 on that holds line x of X; -1 when none.
int firstIn(const Side& X, int x, const Side& Y, int y0) {
  const auto it = Y.where.find(X.hash[size_t(x)]);
  if (it == Y.where.end()) return -1;
  const std::vector<int>& at = it->second;
  for (auto p = std::lower_bound(at.begin(), at.end(), y0); p != at.end(); ++p)
    if (same(X, x, Y, *p)) return *p;
  return -1;
}

// The nearest pair of equal lines from (x0, y0) on, counting the lines
// skipped on both sides; lines that show nothing are no anchors.  Taking
// simply the first line of X found anywhere further on in Y would, when
// the changed line's old text comes again far down (a "}" or a repeated
// heading), skip and mark everything in between.
bool find(const Side& X, int x0, const Side& Y, int y0, int* fx, int* fy) {
  int best = -1;
  for (int x = x0; x < X.size() && (best < 0 || x - x0 < best); x++) {
    if (!X.hash[size_t(x)]) continue;
    const int y = firstIn(X, x, Y, y0);
    if (y < 0) continue;
    const int cost = (x - x0) + (y - y0);
    if (best < 0 || cost < best) {
      best = cost;
      *fx = x;
      *fy = y;
    }
  }
  return best >= 0;
}

bool confirmed(const Side& X, int x, const Side& Y, int y) {
  for (int n = 0; n < kConfirmRun; n++)
    if (!same(X, x + n, Y, y + n)) return false;
  return true;
}

// From X's side: a run of ten from (fx, fy), else from the next places in
// Y of the lines of X, a few tries.
bool confirm(const Side& X, const Side& Y, int* fx, int* fy) {
  int cx = *fx, cy = *fy;
  for (int t = 0; t < kTries; t++) {
    if (confirmed(X, cx, Y, cy)) {
      *fx = cx;
      *fy = cy;
      return true;
    }
    if (t + 1 < kTries && !find(X, cx, Y, cy + 1, &cx, &cy)) return false;
  }
  return false;
}

struct Pass {
  EditorState* V;
  bool flagged = false;  // a flag was set
  int filledA = 0, filledB = 0;
  bool outOfMemory = false;

  // Flags lines from..to-1 as changed (fillers stay fillers).
  void mark(const Side& S, int from, int to) {
    for (int i = from; i < to; i++) {
      Link* l = S.lines[size_t(i)];
      if (!(l->word & (kFiller | kChanged))) {
        l->word |= kChanged;
        flagged = true;
      }
    }
  }

  // n fillers directly before line `at`.
  int fill(const Side& S, int at, int n) {
    Link* after = S.lines[size_t(at)]->prev();
    int made = 0;
    for (; made < n; made++) {
      Link* f = AddEmptyLine(V, after);
      if (!f) {
        outOfMemory = true;
        break;
      }
      f->word = kFiller;
    }
    return made;
  }
};

void sweep(const Side& A, int* pa, const Side& B, int* pb) {
  while (same(A, *pa, B, *pb)) {
    ++*pa;
    ++*pb;
  }
}

void compareSides(Pass& pass, const Side& A, const Side& B) {
  int pa = 0, pb = 0;
  sweep(A, &pa, B, &pb);
  while (pa < A.size() && pb < B.size() && !pass.outOfMemory) {
    int fa, fb;
    if (!find(A, pa, B, pb, &fa, &fb)) break;  // nothing after this is shared
    if (!confirm(A, B, &fa, &fb)) {
      int ca = fa, cb = fb;
      if (confirm(B, A, &cb, &ca)) {
        fa = ca;
        fb = cb;
      }
    }
    const int na = fa - pa, nb = fb - pb;
    pass.mark(A, pa, fa);
    pass.mark(B, pb, fb);
    pa = fa;
    pb = fb;
    if (na < nb) pass.filledA += pass.fill(A, pa, nb - na);
    if (nb < na) pass.filledB += pass.fill(B, pb, na - nb);
    sweep(A, &pa, B, &pb);
  }
}

Tcb* partner(const Tcb* t) { return t->vsplitLeft ? t->vsplitLeft : t->vsplitRight; }

bool haveText(const EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

}  // namespace

void Compare(EditorState* V) {
  if (!haveText(V)) return;
  Tcb* a = V->curTcb;
  Tcb* b = partner(a);
  if (!b || !b->base) {
    SetAlert(V, "No Split");
    return;
  }
  if (AFlush(V) != 0) return;
  if (a->base == b->base) return;  // a text beside its own duplicate
  LineAnchors anchors(V, {a->base, b->base});
  const int keepModified = a->modified;
  Pass pass{V};
  {
    const Side A(a->base), B(b->base);
    compareSides(pass, A, B);
  }
  anchors.renumber();
  a->modified = keepModified || pass.filledA > 0;
  if (pass.filledB > 0) b->modified = 1;
  // Older undo records name lines by number, and the numbers moved.
  if (pass.flagged || pass.filledA || pass.filledB) udoReset(V);
  ALoad(V);
  V->redraw |= REDRAW_ALL;
}

void UnCompare(EditorState* V) {
  if (!haveText(V) || AFlush(V) != 0) return;
  Tcb* cur = V->curTcb;
  Tcb* texts[3] = {cur, cur->vsplitLeft, cur->vsplitRight};
  std::vector<Link*> bases;
  for (Tcb* t : texts)
    if (t && t->base && std::find(bases.begin(), bases.end(), t->base) == bases.end()) bases.push_back(t->base);
  LineAnchors anchors(V, bases);
  const int keepModified = cur->modified;
  bool changed = false, curLost = false;
  for (size_t i = 0; i < bases.size(); i++) {
    Link* base = bases[i];
    // A filler nothing was typed into; a text keeps at least one line.
    auto going = [base](const Link* l) {
      return l->word == kFiller && !(l->prev() == base && l->next() == base);
    };
    bool lost = false;
    for (Link* l = base->next(); !IsBase(l);) {
      if (going(l)) {
        anchors.leave(l, going);
        l = DeleteLink(V, l);
        lost = changed = true;
        continue;
      }
      if (l->word & (kChanged | kFiller)) {
        l->word &= uint16_t(~(kChanged | kFiller));
        changed = true;
      }
      l = l->next();
    }
    if (!lost) continue;
    for (Tcb* t : texts)
      if (t && t->base == base) t->modified = 1;
    if (base == cur->base) curLost = true;
  }
  anchors.renumber();
  if (!curLost) cur->modified = keepModified;
  if (changed) udoReset(V);
  ALoad(V);
  V->redraw |= REDRAW_ALL;
}
