// Moves by words.  A character separates words when the map in force
// (V->wordClass: blanks only, or blanks and punctuation) sends it to a space.
#include "core/editor_state.h"
#include "edit/move_parts.h"
#include "edit/movement.h"

namespace {

struct Words {
  const ActiveLine* line;
  const uint16_t* map;
  int len;
  bool sep(int i) const { return map[line->c[i] & 0x1fff] == 0x20; }
};

Words words(EditorState* V) { return {&V->aline, V->wordClass, V->aline.count}; }

// To column 0 of the next line, the row following the line.
void nextLineStart(EditorState* V) {
  Tcb* t = V->curTcb;
  if (ALineDown(V) != 0) return;
  t->col = 0;
  if (t->row < t->rows - 1) t->row++;
}

void wordLeft(EditorState* V) {
  Tcb* t = V->curTcb;
  if (t->col <= 0) {
    if (ALineUp(V) != 0) return;
    t->col = V->aline.count;
    if (t->row > 0) t->row--;
    return;
  }
  Words w = words(V);
  int p = t->col < w.len ? t->col : w.len;
  while (p > 0 && w.sep(p - 1)) p--;
  while (p > 0 && !w.sep(p - 1)) p--;
  t->col = p;
}

void wordRight(EditorState* V) {
  Tcb* t = V->curTcb;
  Words w = words(V);
  if (t->col >= w.len) return nextLineStart(V);
  int i = t->col + 1;
  while (i < w.len && !(w.sep(i - 1) && !w.sep(i))) i++;
  t->col = i;
}

void wordEndLeft(EditorState* V) {
  Tcb* t = V->curTcb;
  if (t->col <= 0) {
    if (ALineUp(V) != 0) return;
    if (t->row > 0) t->row--;
    t->col = V->aline.count;
    return;
  }
  Words w = words(V);
  if (t->col > w.len) {
    t->col = w.len;
    return;
  }
  int p = t->col - 1;
  while (p >= 1 && !(!w.sep(p - 1) && w.sep(p))) p--;
  t->col = p >= 1 ? p : 0;
}

void wordEndRight(EditorState* V) {
  Tcb* t = V->curTcb;
  Words w = words(V);
  if (t->col >= w.len) return nextLineStart(V);
  const bool onSep = w.sep(t->col);
  int i = t->col + 1;
  while (i < w.len && w.sep(i) == onSep) i++;
  t->col = i;
}

// Just behind the end of the word at or after the cursor (word marking).
void wordEnd(EditorState* V) {
  Tcb* t = V->curTcb;
  Words w = words(V);
  if (t->col >= w.len) {
    if (ALineDown(V) != 0) return;
    if (t->row < t->rows - 1) t->row++;
    t->col = 0;
    return;
  }
  int i = t->col + 1;
  while (i < w.len && !(!w.sep(i - 1) && w.sep(i))) i++;
  t->col = i;
}

}  // namespace

int WordMove(EditorState* V, int move) {
  switch (move) {
    case MOVE_WORDLEFT: wordLeft(V); break;
    case MOVE_WORDRIGHT: wordRight(V); break;
    case MOVE_WORDENDLEFT: wordEndLeft(V); break;
    case MOVE_WORDENDRIGHT: wordEndRight(V); break;
    case MOVE_WORDEND: wordEnd(V); break;
    default: return 1;
  }
  Adjust(V, V->curTcb);
  return 0;
}
