// Changing the case of the character at the cursor or of the block.
#include "edit/case_commands.h"

#include <cstring>

#include "core/case_maps.h"
#include "core/editor_state.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/traverse.h"

namespace {

constexpr uint8_t kRepaintLine = 0x2;

// A line whose case change would no longer fit a stored record is left as
// it is; a line the change leaves alone is not rewritten.
int caseLine(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  const bool upper = *static_cast<const bool*>(arg);
  ActiveLine before = *line;
  if (upper)
    DoBlkUpper(V, line, from, to);
  else
    DoBlkLower(V, line, from, to);
  if (line->count > kAlwaysFits && FoldedBytes(line) > kLineMax) {
    *line = before;
    return 0;
  }
  return std::memcmp(before.c, line->c, size_t(line->count) * sizeof(tchar)) != 0;
}

}  // namespace

void BlockToCase(EditorState* V, int upper) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  AFlush(V);
  bool up = upper != 0;
  Traverse(V, TRAV_USE_BLOCK | TRAV_AT_CURSOR, caseLine, &up);
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
}

void CaseSwitch(EditorState* V, int direction) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !t->curLine) return;
  ActiveLine* line = &V->aline;
  const int col = t->col;
  if (col < 0 || col > kTypeLimit || col >= line->count) return;
  LineGuard guard(line, line->count);
  line->c[col] = CaseChar(V, line->c[col], direction == 0);
  if (!guard.ok()) return;
  V->alineDirty = 1;
  V->redraw |= kRepaintLine;
  CursorMove(V, MOVE_ONERIGHT);
}
