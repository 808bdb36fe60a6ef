// The column sum (SumLines).
#include "tools/sum_lines.h"

#include <cstdio>
#include <cstring>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/line_fit.h"
#include "edit/undo.h"
#include "tools/pick_num.h"

void SumBlock(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !t->curLine) return;
  const BlockRecord& b = V->blk;
  if (!b.blkTcb || b.blkTcb->base != t->base || !b.isColumn || BlkUse(V) != 0) return;
  double total = 0;
  ActiveLine line;
  for (Link* l = b.startLink;; l = l->next()) {
    GetLine(l, &line);
    double value;
    int pos = b.startCol;
    if (PickNum(line.c, line.count, &value, &pos, b.endCol) == 0) total += value;
    if (l == b.endLink) break;
  }
  // The largest double takes 309 digits before the point.
  char text[400];
  std::snprintf(text, sizeof text, "%12.2f", total);
  // Nothing is written on the end-of-text position.
  if (IsBase(t->curLine)) return;
  const int n = int(std::strlen(text));
  const int at = t->col > n ? t->col - n : 0;
  LineGuard guard(&V->aline, at + n);
  if (StrInsert(text, &V->aline, at) != 0 || !guard.ok()) {
    SetAlert(V, "Line too long");
    return;
  }
  V->alineDirty = 1;
  V->redraw |= REDRAW_TEXT;
  // The line's columns moved under older undo records.
  udoReset(V);
}
