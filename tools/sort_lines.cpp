// Sorting the lines a column block spans by the block's columns.
//
// Each line's key (its characters in the block's columns) is read once into
// one flat array; a stable merge sort orders the lines by it, and the Links
// are then chained in the new order: no line is rewritten, so bookmarks and
// the stored bytes travel with their lines.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "tools/text_tools.h"

namespace {

constexpr tchar kSpace = 0x20;

struct Keys {
  std::vector<tchar> chars;     // every line's key, back to back
  std::vector<uint32_t> start;  // where line i's key begins; start[i + 1] ends it
  // The first two characters of each key packed for a quick first look;
  // a character's 21 bits and a blank for a missing one keep the order.
  std::vector<uint64_t> head;

  // Missing columns of the shorter key compare as blanks.
  bool less(uint32_t a, uint32_t b) const {
    if (head[a] != head[b]) return head[a] < head[b];
    const tchar* pa = chars.data() + start[a];
    const tchar* pb = chars.data() + start[b];
    const uint32_t na = start[a + 1] - start[a], nb = start[b + 1] - start[b];
    const uint32_t n = std::max(na, nb);
    for (uint32_t i = 2; i < n; i++) {
      const tchar ca = i < na ? pa[i] : kSpace;
      const tchar cb = i < nb ? pb[i] : kSpace;
      if (ca != cb) return ca < cb;
    }
    return false;
  }
};

uint64_t packHead(const tchar* k, uint32_t n) {
  const uint64_t c0 = n > 0 ? k[0] : kSpace;
  const uint64_t c1 = n > 1 ? k[1] : kSpace;
  return (c0 << 32) | c1;
}

}  // namespace

void SortBlock(EditorState* V, int) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  AFlush(V);
  const BlockRecord& b = V->blk;
  if (!b.blkTcb || b.blkTcb->base != t->base || !b.isColumn) return;
  if (BlkUse(V) != 0 || b.endLine <= b.startLine) return;

  const int from = b.startCol, to = b.endCol;
  Link* before = b.startLink->prev();
  Link* after = b.endLink->next();
  Keys k;
  std::vector<Link*> links;
  const size_t n = size_t(b.endLine - b.startLine) + 1;
  links.reserve(n);
  k.start.reserve(n + 1);
  k.head.reserve(n);
  ActiveLine line;
  for (Link* l = b.startLink; l != after; l = l->next()) {
    GetLine(l, &line);
    const int end = std::min<int>(line.count, to);
    k.start.push_back(uint32_t(k.chars.size()));
    if (end > from) k.chars.insert(k.chars.end(), line.c + from, line.c + end);
    const uint32_t len = uint32_t(k.chars.size()) - k.start.back();
    k.head.push_back(packHead(k.chars.data() + k.start.back(), len));
    links.push_back(l);
  }
  k.start.push_back(uint32_t(k.chars.size()));

  std::vector<uint32_t> order(links.size());
  for (uint32_t i = 0; i < order.size(); i++) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&k](uint32_t x, uint32_t y) { return k.less(x, y); });
  bool moved = false;
  for (uint32_t i = 0; i < order.size() && !moved; i++) moved = order[i] != i;
  if (!moved) return;

  Link* prev = before;
  for (uint32_t i : order) {
    BindLink(prev, links[i]);
    prev = links[i];
  }
  BindLink(prev, after);
  t->modified = 1;
  // Older undo records name lines by number, which now hold other text.
  udoReset(V);
  // The cursor keeps its line number; views of the text find theirs again.
  MarkViewsStale(V, t->base);
  if (!IsBase(t->curLine)) {
    const int row = t->row;
    t->curLine = t->base;  // walk from the first line, not from the moved cursor line
    ALineSet(V, t->lineNo);
    t->row = row;
  }
  V->redraw |= REDRAW_TEXT;
}
