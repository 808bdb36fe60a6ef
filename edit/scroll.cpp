// Scrolling the view without editing: by a line with the cursor keeping its
// screen row, or sideways with the cursor keeping its place in the view.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/movement.h"

void Scroll(EditorState* V, int kind) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  const int cols = t->cols;
  const int step = cols - 10 > 0 ? cols - 10 : cols;
  // The view never shows past column 1023.
  const int maxLeft = std::max(kAlineMax - 1 - cols, 0);
  t->lastTabKind = 0;
  int shift = 0;
  switch (kind) {
    case SCROLL_UP: ALineUp(V); break;
    case SCROLL_DOWN: ALineDown(V); break;
    case SCROLL_LEFT:
      if (t->leftCol > 0) shift = -1;
      break;
    case SCROLL_RIGHT:
      if (t->leftCol < maxLeft) shift = 1;
      break;
    case SCROLL_PAGELEFT: shift = -std::min(step, t->leftCol); break;
    case SCROLL_PAGERIGHT:
      shift = t->leftCol + step >= maxLeft ? maxLeft - t->leftCol : step;
      shift = std::max(shift, 0);
      break;
    default: return;
  }
  if (shift != 0) {
    t->leftCol = std::max(t->leftCol + shift, 0);
    t->col = std::clamp(t->col + shift, 0, kAlineMax - 1);
  }
  V->redraw |= REDRAW_TEXT;
}
