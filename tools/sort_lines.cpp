// Sorting the lines a column block spans by the block's columns.
//
// Each line's key (its characters in the block's columns) is read once and
// kept as UTF-8, whose byte order is the order of the code points, without
// its trailing blanks: a column past a line's end reads as a blank, so
// padding with blank bytes at the comparison gives the same order.  A
// stable merge sort orders the lines, and the Links are then chained in the
// new order: no line is rewritten, so bookmarks and the stored bytes travel
// with their lines.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "tools/text_tools.h"

namespace {

constexpr uint8_t kBlank = 0x20;

// A line's place in the block and the first eight bytes of its key, padded
// with blanks: most comparisons end here, without a look at the keys.
struct Entry {
  uint64_t head;
  uint32_t line;
};

struct Keys {
  std::vector<uint8_t> bytes;  // every line's key, back to back
  std::vector<size_t> start;   // where line i's key begins; start[i + 1] ends it

  bool less(const Entry& x, const Entry& y) const {
    if (x.head != y.head) return x.head < y.head;
    const uint8_t* pa = bytes.data() + start[x.line];
    const uint8_t* pb = bytes.data() + start[y.line];
    const size_t na = start[x.line + 1] - start[x.line], nb = start[y.line + 1] - start[y.line];
    const size_t n = std::min(na, nb);
    // Keys all empty leave no bytes at all: memcmp may not see a null pointer.
    if (n > 0)
      if (const int c = std::memcmp(pa, pb, n)) return c < 0;
    // The rest of the longer key against the other's blanks.
    if (na > n) {
      for (size_t i = n; i < na; i++)
        if (pa[i] != kBlank) return pa[i] < kBlank;
    } else {
      for (size_t i = n; i < nb; i++)
        if (pb[i] != kBlank) return pb[i] > kBlank;
    }
    return false;
  }
};

// Plain UTF-8 for every value, so that byte order stays code point order
// (the store's own encoder writes undecodable bytes back as single bytes).
void putOrdered(std::vector<uint8_t>* out, tchar c) {
  if (c < 0x80) {
    out->push_back(uint8_t(c));
  } else if (c < 0x800) {
    out->insert(out->end(), {uint8_t(0xc0 | c >> 6), uint8_t(0x80 | (c & 0x3f))});
  } else if (c < 0x10000) {
    out->insert(out->end(), {uint8_t(0xe0 | c >> 12), uint8_t(0x80 | (c >> 6 & 0x3f)), uint8_t(0x80 | (c & 0x3f))});
  } else {
    out->insert(out->end(), {uint8_t(0xf0 | (c >> 18 & 0x07)), uint8_t(0x80 | (c >> 12 & 0x3f)),
                             uint8_t(0x80 | (c >> 6 & 0x3f)), uint8_t(0x80 | (c & 0x3f))});
  }
}

uint64_t packHead(const uint8_t* k, size_t n) {
  uint64_t h = 0;
  for (size_t i = 0; i < 8; i++) h = (h << 8) | (i < n ? k[i] : kBlank);
  return h;
}

// Reads the keys of the lines first..last; false when memory ran out.
bool readKeys(Link* first, Link* after, size_t n, int from, int to, Keys* k, std::vector<Link*>* links,
              std::vector<Entry>* order) {
  try {
    links->reserve(n);
    k->start.reserve(n + 1);
    order->reserve(n);
    ActiveLine line;
    for (Link* l = first; l != after; l = l->next()) {
      GetLine(l, &line);
      int end = std::min<int>(line.count, to);
      while (end > from && line.c[end - 1] == kBlank) end--;
      const size_t at = k->bytes.size();
      k->start.push_back(at);
      for (int i = from; i < end; i++) putOrdered(&k->bytes, line.c[i]);
      order->push_back({packHead(k->bytes.data() + at, k->bytes.size() - at), uint32_t(links->size())});
      links->push_back(l);
    }
    k->start.push_back(k->bytes.size());
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
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
  std::vector<Entry> order;
  if (!readKeys(b.startLink, after, size_t(b.endLine - b.startLine) + 1, from, to, &k, &links, &order)) {
    SetAlert(V, "Out of memory");
    return;
  }

  std::stable_sort(order.begin(), order.end(), [&k](const Entry& x, const Entry& y) { return k.less(x, y); });
  bool moved = false;
  for (uint32_t i = 0; i < order.size() && !moved; i++) moved = order[i].line != i;
  if (!moved) return;

  Link* prev = before;
  for (const Entry& e : order) {
    BindLink(prev, links[e.line]);
    prev = links[e.line];
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
