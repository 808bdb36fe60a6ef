// The toggles and settings commands.
#include "shell/toggles.h"

#include "core/editor_state.h"
#include "edit/movement.h"
#include "tools/box_draw.h"

namespace {

constexpr uint8_t kRepaintHead = REDRAW_ALERT;  // the tab line row, where the ruler shows

void flipGlobal(EditorState* V, uint32_t bit, uint8_t repaint) {
  V->toggles ^= bit;
  V->redraw |= repaint;
}

void flipText(EditorState* V, uint32_t bit) {
  V->curTcb->mode ^= bit;
  V->redraw |= REDRAW_STATUS;
}

void setEncoding(EditorState* V, uint32_t encoding) {
  V->curTcb->mode = (V->curTcb->mode & ~MODE_ENCODING) | encoding;
  V->redraw |= REDRAW_STATUS;
}

void setRuler(EditorState* V, tchar mark) {
  Tcb* t = V->curTcb;
  if (t->col >= 0 && t->col < kAlineMax) t->ruler[t->col] = mark;
  V->redraw |= kRepaintHead;
}

bool perText(int which) {
  switch (which) {
    case TOGGLE_ZOOM:
    case TOGGLE_LMARGIN:
    case TOGGLE_RMARGIN:
    case TOGGLE_TAB:
    case TOGGLE_LEFTTAB:
    case TOGGLE_DECIMALTAB:
    case TOGGLE_CLEARTAB:
    case TOGGLE_RESETTABS:
    case TOGGLE_CLEARTABS:
    case TOGGLE_WRAP:
    case TOGGLE_TABSOUT:
    case TOGGLE_SOFTCR:
    case TOGGLE_TABMODE:
    case TOGGLE_CP:
    case TOGGLE_LATIN1:
    case TOGGLE_UTF8:
    case TOGGLE_CR:
    case TOGGLE_LF:
      return true;
    default:
      return false;
  }
}

}  // namespace

void ToggleSet(EditorState* V, int which) {
  if (perText(which) && !V->curTcb) return;
  Tcb* t = V->curTcb;
  switch (which) {
    case TOGGLE_ZOOM:
      AFlush(V);
      V->singleView = !V->singleView;
      PrepareView(V);
      break;
    case TOGGLE_LMARGIN:
      if (t->col < t->rightMargin) t->leftMargin = t->col;
      V->redraw |= kRepaintHead;
      break;
    case TOGGLE_RMARGIN:
      if (t->leftMargin < t->col) t->rightMargin = t->col;
      V->redraw |= kRepaintHead;
      break;
    case TOGGLE_TAB: setRuler(V, '|'); break;
    case TOGGLE_LEFTTAB: setRuler(V, '<'); break;
    case TOGGLE_DECIMALTAB: setRuler(V, ','); break;
    case TOGGLE_CLEARTAB: setRuler(V, ' '); break;
    case TOGGLE_RESETTABS:
      ResetRuler(t);
      V->redraw |= kRepaintHead;
      break;
    case TOGGLE_CLEARTABS:
      for (tchar& c : t->ruler) c = ' ';
      V->redraw |= kRepaintHead;
      break;
    case TOGGLE_INSERT: flipGlobal(V, TGL_INSERT, REDRAW_STATUS); break;
    case TOGGLE_WRAP: flipText(V, MODE_WRAP); break;
    case TOGGLE_TABSOUT: flipText(V, MODE_TABSOUT); break;
    case TOGGLE_SOURCE: flipGlobal(V, TGL_SOURCE, REDRAW_ALL); break;
    case TOGGLE_NOREPEAT: flipGlobal(V, TGL_NOREPEAT, REDRAW_STATUS); break;
    case TOGGLE_TABMODE: flipText(V, MODE_TABMODE); break;
    case TOGGLE_CP: setEncoding(V, MODE_CP); break;
    case TOGGLE_LATIN1: setEncoding(V, MODE_LATIN1); break;
    case TOGGLE_UTF8: setEncoding(V, MODE_UTF8); break;
    case TOGGLE_CR: flipText(V, MODE_CR); break;
    case TOGGLE_LF: flipText(V, MODE_LF); break;
    case TOGGLE_WORDSET:
      // Word motion follows the punctuation map while the bit is set and
      // stops only at blanks while it is clear.
      flipGlobal(V, TGL_WORDSET, REDRAW_STATUS);
      V->wordClass = (V->toggles & TGL_WORDSET) ? V->wordBreak : V->nocase;
      break;
    case TOGGLE_POINTING: flipGlobal(V, TGL_POINTING, 0); break;
    case TOGGLE_ONECLICK: flipGlobal(V, TGL_ONECLICK, 0); break;
    case TOGGLE_SYNCSCROLL: flipGlobal(V, TGL_SYNCSCROLL, 0); break;
    case TOGGLE_SOFTCR:
      // Not on the end-of-text position: it is no line of the text.
      if (!(V->aline.flags & LINK_BASE)) {
        V->aline.flags ^= LINK_SOFTBREAK;
        V->alineDirty = 1;
        if (AFlush(V) != 0) break;
      }
      Scroll(V, SCROLL_DOWN);
      break;
    case TOGGLE_BOXDRAW:
      V->toggles = (V->toggles & ~TGL_BOXDRAW) | boxDraw_(V, kBoxStyleStep);
      V->redraw |= REDRAW_STATUS;
      break;
    default:  // 12, 13 and unknown values do nothing
      break;
  }
}
