// Whole-line commands: adding, duplicating, deleting and restoring lines,
// and the indent and comment commands that work a line at a time.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_edit.h"
#include "edit/movement.h"
#include "edit/typing.h"
#include "edit/undo_hooks.h"

namespace {

bool haveText(const EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

// Inserts an empty line before the cursor line and makes it the cursor
// line, which keeps its number.
void emptyLineAbove(EditorState* V) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return;
  if (!AddEmptyLine(V, t->curLine->prev())) return;
  BlockAdjust(V, BLK_LINE_INSERTED);
  t->curLine = t->curLine->prev();
  t->modified = 1;
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
}

// Inserts an empty line, or with `copy` a copy of the stored cursor line,
// after the cursor line and moves down onto it, the column kept.  The copy
// takes the bytes as stored, so a line kept as read is written alike twice.
void lineBelow(EditorState* V, bool copy) {
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return;
  Link* src = t->curLine;
  Link* added = copy ? AddBytesLine(V, src, uint16_t(src->word & (LINK_LENMASK | LINK_ASREAD)), src->data())
                     : AddEmptyLine(V, src);
  if (!added) return;
  BlockAdjust(V, BLK_LINE_ADDED);
  t->modified = 1;
  CursorMove(V, MOVE_ONEDOWN);
  V->redraw |= REDRAW_TEXT;
}

// Writes ch twice at the cursor, inserting whatever the insert toggle says,
// and puts the cursor back.
void writePair(EditorState* V, tchar ch) {
  Tcb* t = V->curTcb;
  const int col = t->col;
  const uint32_t insert = V->toggles & TGL_INSERT;
  V->toggles |= TGL_INSERT;
  WriteChar(V, ch);
  WriteChar(V, ch);
  V->toggles = (V->toggles & ~TGL_INSERT) | insert;
  t->col = col;
  Adjust(V, t);
}

// Up to two characters ch at the cursor are deleted.  A blank with only
// blanks after it is the line's end, where DelChr would join the next line
// instead: it stays.
void deletePair(EditorState* V, tchar ch) {
  for (int i = 0; i < 2; i++) {
    const ActiveLine& line = V->aline;
    int end = line.count;
    while (end > 0 && line.c[end - 1] == ' ') end--;
    const int col = V->curTcb->col;
    if (col < end && line.c[col] == ch) DeleteChar(V);
  }
}

}  // namespace

void AddNewLine(EditorState* V) {
  if (!haveText(V)) return;
  // From the end-of-text position the new line becomes the last line.
  if (IsBase(V->curTcb->curLine))
    emptyLineAbove(V);
  else
    lineBelow(V, false);
}

void InsNewLine(EditorState* V) {
  if (!haveText(V) || IsBase(V->curTcb->curLine->prev())) return;
  emptyLineAbove(V);
}

void DupLine(EditorState* V) {
  if (!haveText(V) || IsBase(V->curTcb->curLine)) return;
  lineBelow(V, true);
}

void DeleteLine(EditorState* V) {
  if (!haveText(V)) return;
  Tcb* t = V->curTcb;
  if (IsBase(t->curLine) || AFlush(V) != 0) return;
  Link* cursor = t->curLine;
  Link* gone = PullLink(V, &cursor);
  Link* base = t->base;
  if (base->next() == base) {
    // A text keeps one line.
    Link* empty = AddEmptyLine(V, base);
    if (empty) cursor = empty;
  }
  const int len = gone->len();
  if (len >= 1 && len <= kDelKeepMax) {
    Link* store = V->delBase;
    BindLink(store->prev(), gone);
    BindLink(gone, store);
    if (++V->delCount > V->delMax) {
      DeleteLink(V, store->next());
      V->delCount--;
    }
    udoflag = 0;
  } else {
    ReleaseLink(V, gone);
    udoflag = 1;
  }
  t->curLine = cursor;
  t->modified = 1;
  BlockAdjust(V, BLK_LINE_DELETED);
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
}

void UndoDeleteLine(EditorState* V) {
  if (!haveText(V) || V->delCount <= 0) return;
  Link* store = V->delBase;
  if (store->prev() == store) {
    V->delCount = 0;
    return;
  }
  Tcb* t = V->curTcb;
  if (AFlush(V) != 0) return;
  BlockAdjust(V, BLK_LINE_RESTORED);
  Link* line = store->prev();
  BindLink(line->prev(), store);
  V->delCount--;
  Link* after = t->curLine->prev();
  InsertLink(V, &after, line);
  t->curLine = line;
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
}

void Indent(EditorState* V) {
  if (!haveText(V)) return;
  if (V->curTcb->col < V->aline.count) writePair(V, ' ');
  Scroll(V, SCROLL_DOWN);
}

void UnIndent(EditorState* V) {
  if (!haveText(V)) return;
  deletePair(V, ' ');
  Scroll(V, SCROLL_DOWN);
}

void Comment(EditorState* V) {
  if (!haveText(V)) return;
  writePair(V, '/');
  Scroll(V, SCROLL_DOWN);
}

void UnComment(EditorState* V) {
  if (!haveText(V)) return;
  deletePair(V, '/');
  Scroll(V, SCROLL_DOWN);
}
