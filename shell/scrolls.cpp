// The scroll commands, and scrolling two side-by-side views together.
#include "core/editor_state.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

enum class Via { None, Scroll, Move };
struct ScrollRoute {
  int cmd;
  Via via;
  int arg;
};

constexpr ScrollRoute kScrollRoutes[] = {
    {cmd::ScrollLeft, Via::Scroll, SCROLL_LEFT},   {cmd::ScrollRight, Via::Scroll, SCROLL_RIGHT},
    {cmd::PageLeft, Via::Scroll, SCROLL_PAGELEFT}, {cmd::PageRight, Via::Scroll, SCROLL_PAGERIGHT},
    {cmd::PageDown, Via::Move, MOVE_PAGEDOWN},     {cmd::PageUp, Via::Move, MOVE_PAGEUP},
    {cmd::Scrolldown, Via::Scroll, SCROLL_DOWN},   {cmd::ScrollUp, Via::Scroll, SCROLL_UP},
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
