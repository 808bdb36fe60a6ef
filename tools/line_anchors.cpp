// Positions held as Links while whole texts change.
#include "tools/line_anchors.h"

#include <algorithm>

#include "core/editor_state.h"
#include "edit/block_keeper.h"

namespace {

Link* lineAt(Link* base, int n) {
  Link* l = base->next();
  for (int i = 1; i < n && !IsBase(l); i++) l = l->next();
  return l;
}

bool has(const std::vector<Link*>& v, const Link* b) { return std::find(v.begin(), v.end(), b) != v.end(); }

}  // namespace

Link* LineAnchors::next(const Link* l) { return l->next(); }
bool LineAnchors::isBase(const Link* l) { return IsBase(l); }

LineAnchors::LineAnchors(EditorState* V, std::vector<Link*> bases) : V_(V), bases_(std::move(bases)) {
  SettleViews(V);
  Tcb* u = V->tcbRing;
  do {
    if (u->base && has(bases_, u->base) && u->curLine) anchors_.push_back({View, u, u->base, u->curLine});
    u = u->next;
  } while (u != V->tcbRing);
  const BlockRecord& b = V->blk;
  if (b.blkTcb && b.blkTcb->base && has(bases_, b.blkTcb->base) && ValidateBlk(V)) {
    anchors_.push_back({BlockStart, nullptr, b.blkTcb->base, lineAt(b.blkTcb->base, b.startLine)});
    anchors_.push_back({BlockEnd, nullptr, b.blkTcb->base, lineAt(b.blkTcb->base, b.endLine)});
  }
  if (V->markLine > 0) {
    Tcb* m = FindTcb(V, V->markText);
    if (m && m->base && has(bases_, m->base)) anchors_.push_back({Mark, m, m->base, lineAt(m->base, V->markLine)});
  }
}

void LineAnchors::renumber() {
  for (Link* base : bases_) {
    int n = 1;
    for (Link* l = base->next();; l = l->next(), n++) {
      for (Anchor& a : anchors_) {
        if (a.base != base || a.link != l) continue;
        switch (a.kind) {
          case View:
            a.view->curLine = l;
            a.view->lineNo = n;
            a.view->lineStale = 0;
            a.view->row = std::max(0, std::min(a.view->row, n - 1));
            break;
          case BlockStart: V_->blk.startLine = n; break;
          case BlockEnd: V_->blk.endLine = n; break;
          case Mark: V_->markLine = n; break;
        }
      }
      if (IsBase(l)) break;
    }
  }
  // A block whose lines all went covers nothing.
  const BlockRecord& b = V_->blk;
  if (b.blkTcb && b.endLine < b.startLine) RemoveBlk(V_);
  // Views of these texts that lie elsewhere were found above; others were
  // marked stale by the line store and are settled by number (the texts of
  // other views did not change).
  Tcb* u = V_->tcbRing;
  do {
    if (u->base && has(bases_, u->base)) u->lineStale = 0;
    u = u->next;
  } while (u != V_->tcbRing);
}
