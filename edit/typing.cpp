#include "edit/typing.h"

#include "core/editor_state.h"

namespace {
constexpr int kLastCodePoint = 0x10ffff;
}  // namespace

void TypeChar(EditorState* V, int code) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || code <= 0 || code > kLastCodePoint) return;
  ActiveLine* line = &V->aline;
  if (line->flags & LINK_BASE) return;
  const int col = t->col;
  if (col < 0 || col > kTypeLimit) return;
  // Blanks past the cursor would only push the line towards its limit.
  if (line->count > col) TrimLine(line, col);
  const bool overwrite = !(V->toggles & TGL_INSERT);
  if (InsertChar(line, col, tchar(code), overwrite) != 0) return;
  V->alineDirty = 1;
  t->col = col + 1;
  V->redraw |= REDRAW_TEXT | REDRAW_STATUS;
  inView(V);
}
