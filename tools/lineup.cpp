// The line-ups, MoveColumn and NewLineColumn: the cursor line's text moves
// sideways to the cursor column; only blanks are added or removed, so Undo
// takes each back from the two columns it records.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "tools/text_tools.h"

namespace {

constexpr tchar kSpace = 0x20;
constexpr int kLineChars = kLineMax;  // characters a rebuilt line may hold

bool blank(tchar c) { return c == kSpace; }

// First non-blank column, or -1 for a line of blanks.
int firstText(const ActiveLine* l) {
  for (int i = 0; i < l->count; i++)
    if (!blank(l->c[i])) return i;
  return -1;
}

int trimmedEnd(const ActiveLine* l) {
  int n = l->count;
  while (n > 0 && blank(l->c[n - 1])) n--;
  return n;
}

// out = columns 0..keep-1 of `line`, blanks up to `at`, then columns
// from..end-1.  False when the result would not fit a line.
bool rebuild(const ActiveLine* line, int keep, int at, int from, int end, ActiveLine* out) {
  if (at + (end - from) > kLineChars) return false;
  out->next = line->next;
  out->prev = line->prev;
  out->flags = line->flags;
  std::copy(line->c, line->c + keep, out->c);
  std::fill(out->c + keep, out->c + at, kSpace);
  std::copy(line->c + from, line->c + end, out->c + at);
  out->count = uint16_t(at + end - from);
  return FoldedBytes(out) <= kLineMax;
}

bool editable(EditorState* V) {
  const Tcb* t = V->curTcb;
  return t && t->base && t->curLine && !IsBase(t->curLine);
}

bool sameLine(const ActiveLine& a, const ActiveLine& b) {
  return a.count == b.count && std::equal(a.c, a.c + a.count, b.c);
}

// Puts the rebuilt line in place, tells the undo log the text moved from
// column `from` to `to`, and steps down.  A result that does not fit
// changes nothing and leaves the cursor on the line.
bool apply(EditorState* V, bool fits, const ActiveLine& out, int from, int to) {
  if (!fits) {
    SetAlert(V, "Line too long");
    return false;
  }
  if (!sameLine(out, V->aline)) {
    std::copy(out.c, out.c + out.count, V->aline.c);
    V->aline.count = out.count;
    V->alineDirty = 1;
    udospc(from, to);
    V->redraw |= REDRAW_TEXT;
  }
  CursorMove(V, MOVE_ONEDOWN);
  return true;
}

// Where the previous MoveColumn left the cursor, and its series' column.
struct Series {
  const Link* text = nullptr;
  int line = 0, col = -1;
  int column = 0;  // first non-blank column of the series' first line
};
Series series;

}  // namespace

int findColumn(const ActiveLine* line, int start) {
  int i = std::max(start, 0);
  while (i < line->count && blank(line->c[i])) i++;
  if (i >= line->count) return -1;
  // One blank joins words into a field; two end it.
  for (int p = i;; p--) {
    if (p <= 2) return -1;
    if (blank(line->c[p - 1]) && blank(line->c[p - 2])) return p;
  }
}

int findComment(const ActiveLine* line, int col) {
  int p = -1;
  for (int i = line->count - 2; i >= 10; i--) {
    if (line->c[i] == '/' && line->c[i + 1] == '/') {
      p = i;
      break;
    }
  }
  // "///" moves whole: the rightmost pair may be the tail of a longer run.
  while (p > 0 && line->c[p - 1] == '/') p--;
  if (p < 10) return -1;
  if (p < col) return p;
  for (int i = std::max(col - 1, 0); i < p; i++)
    if (!blank(line->c[i])) return -1;
  return p;
}

void Lineup(EditorState* V, int) {
  if (!editable(V)) return;
  const ActiveLine* a = &V->aline;
  const int c = V->curTcb->col;
  const int w = firstText(a);
  if (w < 0) {
    CursorMove(V, MOVE_ONEDOWN);
    return;
  }
  ActiveLine out;
  const bool fits = rebuild(a, 0, c, w, trimmedEnd(a), &out);
  apply(V, fits, out, w, c);
}

void LineupRight(EditorState* V, int) {
  if (!editable(V)) return;
  const ActiveLine* a = &V->aline;
  const int w = firstText(a);
  if (w < 0) {
    CursorMove(V, MOVE_ONEDOWN);
    return;
  }
  const int e = trimmedEnd(a);
  const int s = std::max(0, V->curTcb->col - (e - w));
  ActiveLine out;
  const bool fits = rebuild(a, 0, s, w, e, &out);
  apply(V, fits, out, w, s);
}

void LineupColumn(EditorState* V, int comment) {
  if (!editable(V)) return;
  const ActiveLine* a = &V->aline;
  const int c = V->curTcb->col;
  const int p = comment ? findComment(a, c) : findColumn(a, c);
  if (p <= 0) {
    CursorMove(V, MOVE_ONEDOWN);
    return;
  }
  int target = c;
  if (c < p) {
    // Leftwards the field moves over blanks only, and stays apart from the
    // text before it: two blanks part fields, one a comment.
    int q = p;
    while (q > 0 && blank(a->c[q - 1])) q--;
    if (q > 0) target = std::max(c, q + (comment ? 1 : 2));
  }
  ActiveLine out;
  const bool fits = rebuild(a, std::min(p, target), target, p, std::max(trimmedEnd(a), p), &out);
  apply(V, fits, out, p, target);
}

void MoveColumn(EditorState* V, int) {
  if (!editable(V)) return;
  Tcb* t = V->curTcb;
  const ActiveLine* a = &V->aline;
  const int c = t->col;
  if (series.text != t->base || series.line != t->lineNo || series.col != c) {
    if (trimmedEnd(a) == 0) {
      series = Series{};
      CursorMove(V, MOVE_ONEDOWN);
      return;
    }
    series.column = firstText(a);
  }
  const int w = firstText(a);
  // Lines indented less than the series' first line, and blank ones, stay.
  if (w >= 0 && w >= series.column) {
    ActiveLine out;
    const bool fits = rebuild(a, 0, c, series.column, trimmedEnd(a), &out);
    if (!apply(V, fits, out, series.column, c)) return;
  } else {
    CursorMove(V, MOVE_ONEDOWN);
  }
  series.text = t->base;
  series.line = t->lineNo;
  series.col = t->col;
}

void NewLineColumn(EditorState* V, int) {
  if (!editable(V)) return;
  Tcb* t = V->curTcb;
  if (t->col <= 0) return;
  const int p = findColumn(&V->aline, t->col - 1);
  if (p < 0) return;
  t->col = p;
  CursorMove(V, MOVE_ONEDOWN);
}
