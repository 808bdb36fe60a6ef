// The scroll commands, and scrolling two side-by-side views together.
#include "core/editor_state.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

#if __has_include("edit/movement.h")
#include "edit/movement.h"
#else
// Provided by the cursor-movement code.
void Scroll(EditorState* V, int kind);
void CursorMove(EditorState* V, int move);
#endif

namespace {

enum class Via { None, Scroll, Move };
struct ScrollRoute {
  int cmd;
  Via via;
  int arg;
};

constexpr ScrollRoute kScrollRoutes[] = {
    {cmd::ScrollLeft, Via::Scroll, 2}, {cmd::ScrollRight, Via::Scroll, 3},
    {cmd::PageLeft, Via::Scroll, 4},   {cmd::PageRight, Via::Scroll, 5},
    {cmd::PageDown, Via::Move, 7},     {cmd::PageUp, Via::Move, 6},
    {cmd::Scrolldown, Via::Scroll, 1}, {cmd::ScrollUp, Via::Scroll, 0},
};

}  // namespace

void scrolls(EditorState* V, int cmd) {
  for (const ScrollRoute& r : kScrollRoutes) {
    if (r.cmd != cmd) continue;
    if (r.via == Via::Scroll)
      Scroll(V, r.arg);
    else
      CursorMove(V, r.arg);
    return;
  }
}

void SyncroScroll(EditorState* V, int cmd) {
  AFlush(V);
  scrolls(V, cmd);
  Tcb* first = V->curTcb;
  if (!first) return;
  Tcb* partner = first->vsplitRight ? first->vsplitRight : first->vsplitLeft;
  if (!partner || !(V->toggles & TGL_SYNCSCROLL)) return;
  // The partner scrolls as the current text, with its own cursor line.
  AFlush(V);
  V->curTcb = partner;
  ALoad(V);
  scrolls(V, cmd);
  AFlush(V);
  V->curTcb = first;
  ALoad(V);
}
