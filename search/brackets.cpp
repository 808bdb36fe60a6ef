// Bracket matching: from a bracket to its partner of the same kind, leaving
// out what C-family comments hide, also comments over several lines.
#include <cstring>

#include "core/line_store.h"
#include "edit/movement.h"
#include "edit/traverse.h"
#include "search/search.h"

namespace {

constexpr char kOpeners[] = "([{<";
constexpr char kClosers[] = ")]}>";

// The scan, carried from one line to the next.
struct Scan {
  tchar from;     // the bracket under the cursor
  tchar partner;  // the one looked for
  int step;       // +1 forward, -1 backward
  int depth;      // brackets like `from` seen and not yet closed
  bool hold;      // inside a block comment
};

int strp(const char* s, tchar c) {
  if (c == 0 || c > 0x7f) return -1;
  const char* at = std::strrchr(s, int(c));
  return at ? int(at - s) : -1;
}

// Answers true when the partner is at column j.
bool compare(Scan& s, tchar c) {
  s.hold = false;
  if (c == s.from) {
    s.depth++;
  } else if (c == s.partner) {
    if (s.depth == 0) return true;
    s.depth--;
  }
  return false;
}

// A line holding neither bracket nor '/' changes nothing in the scan.
bool nothingHere(const Link* line, void* arg) {
  const Scan& s = *static_cast<const Scan*>(arg);
  const auto* b = line->data();
  const size_t n = size_t(line->len());
  return !std::memchr(b, '/', n) && !std::memchr(b, int(s.from), n) && !std::memchr(b, int(s.partner), n);
}

int doMatch(EditorState* V, ActiveLine* line, int first, int end, void* arg) {
  Scan& s = *static_cast<Scan*>(arg);
  const tchar* c = line->c;
  const int n = line->count;
  for (int p = 0; p + 1 < n; p++) {
    if (c[p] == '/' && c[p + 1] == '/') {
      if (p < end) end = p;
      break;
    }
  }
  if (end <= first) return 0;
  auto opensComment = [&](int j) { return c[j] == '/' && j + 1 < n && c[j + 1] == '*'; };
  auto closesComment = [&](int j) { return c[j] == '/' && j > 0 && c[j - 1] == '*'; };
  const bool fwd = s.step > 0;
  for (int j = fwd ? first : end - 1; fwd ? j < end : j >= first; j += s.step) {
    bool hit = false;
    if (fwd && closesComment(j)) {
      hit = compare(s, c[j]);
    } else if (fwd && opensComment(j)) {
      s.hold = true;
    } else if (!fwd && closesComment(j)) {
      s.hold = true;
    } else if (!fwd && opensComment(j)) {
      hit = compare(s, c[j]);
    } else if (!s.hold) {
      hit = compare(s, c[j]);
    }
    if (hit) {
      SetALineQuick(V, V->travLink, V->travLine);
      V->curTcb->col = j;
      V->hiliteLen = 1;
      V->travStop = 1;
      return 0;
    }
  }
  return 0;
}

}  // namespace

void Match(EditorState* V, int backward) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || t->col < 0 || t->col >= V->aline.count) return;
  const tchar c = V->aline.c[t->col];
  const int i = strp(backward ? kClosers : kOpeners, c);
  if (i < 0) return;
  Scan s{c, tchar(backward ? kOpeners[i] : kClosers[i]), backward ? -1 : 1, 0, false};
  const int flags = backward ? TRAV_BACKWARDS | TRAV_FROM_CURSOR | TRAV_AT_CURSOR : TRAV_FROM_CURSOR;
  Traverse(V, flags, doMatch, &s, nothingHere);
  inView(V);
}
