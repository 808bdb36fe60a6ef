// Sending composed rows to the window.
#include "display/paint_draw.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "display/glyph_renderer.h"
#include "display/paint_recorder.h"
#include "display/screen.h"

namespace paint_detail {

namespace {

// Backgrounds of lines a text comparison marked.
constexpr uint32_t kDiffChangedBkg = 0xFFFFE0E0;
constexpr uint32_t kDiffFillerBkg = 0xFFE0E0FF;

struct Run {
  int col, len;
  uint8_t style;
  bool blank;  // spaces only: draws nothing but its background
};

RowImage scratch;
Run runs[kRowCells];

// What was last sent to each row position of the window.  A row that would
// be sent again unchanged is skipped: after a typed key only the cursor row
// and the status line travel to the X server.  A whole-window repaint
// (Expose, layout, colours, fonts) forgets everything first.
std::unordered_map<uint64_t, uint64_t> sentRows;

uint64_t fnv(uint64_t h, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 0x100000001b3ull;
  return h;
}

uint64_t rowHash(const RowImage& r, int cw) {
  uint64_t h = 0xcbf29ce484222325ull;
  const void* f = font;
  h = fnv(h, &f, sizeof f);
  h = fnv(h, &cw, sizeof cw);
  h = fnv(h, &r.n, sizeof r.n);
  h = fnv(h, r.ch, size_t(r.n) * sizeof(tchar));
  h = fnv(h, r.style, size_t(r.n));
  return fnv(h, S.pairs, sizeof S.pairs);
}

uint32_t fgOf(uint8_t st) {
  if (st < kPairCount) return S.pairs[st][0];
  return S.pairs[14][0];
}

uint32_t bgOf(uint8_t st) {
  if (st < kPairCount) return S.pairs[st][1];
  return (st == kPairDiffChanged ? kDiffChangedBkg : kDiffFillerBkg) & 0xffffff;
}

std::string toUtf8(const tchar* s, int n) {
  std::string out;
  uint8_t buf[8];
  for (int i = 0; i < n; ++i) out.append(reinterpret_cast<char*>(buf), size_t(utf8(buf, 0, s[i])));
  return out;
}

// Splits the row into runs of one style, none longer than `maxLen`.
int splitRuns(const RowImage& r, int maxLen) {
  int count = 0;
  for (int i = 0; i < r.n;) {
    int j = i;
    bool blank = true;
    while (j < r.n && r.style[j] == r.style[i] && j - i < maxLen) {
      blank = blank && r.ch[j] == ' ';
      ++j;
    }
    runs[count++] = Run{i, j - i, r.style[i], blank};
    i = j;
  }
  return count;
}

}  // namespace

void RowImage::blank(int cells, uint8_t st) {
  n = std::clamp(cells, 0, kRowCells);
  std::fill_n(ch, n, tchar(' '));
  std::fill_n(style, n, st);
}

void RowImage::paint(int from, int to, uint8_t st) {
  from = std::max(from, 0);
  to = std::min(to, n);
  if (from < to) std::fill(style + from, style + to, st);
}

void RowImage::put(int at, const tchar* s, int len) {
  for (int i = 0; i < len && s[i] && at + i < n; ++i)
    if (at + i >= 0) ch[at + i] = s[i];
}

void RowImage::putBytes(int at, const char* s, int len) {
  for (int i = 0; i < len && s[i] && at + i < n; ++i)
    if (at + i >= 0) ch[at + i] = static_cast<unsigned char>(s[i]);
}

int RowWidth(const Tcb* t) { return std::clamp(t->cols, 0, kAlineMax); }

RowImage& ScratchRow() { return scratch; }

void ForgetSentRows() { sentRows.clear(); }

void DrawRow(EditorState* V, Tcb* view, int row, int x, int y, const RowImage& r) {
  const int cw = std::max(V->charWidth, 1);
  // A transfer may not run past the strip.
  const int maxLen = std::max(1, kStripWidth / cw);
  const int count = splitRuns(r, maxLen);
  const bool sink = PaintSinkSet();
  bool send = true;
  if (S.display) {
    const uint64_t key = (uint64_t(uint32_t(x)) << 32) | uint32_t(y);
    const uint64_t h = rowHash(r, cw);
    auto [it, fresh] = sentRows.try_emplace(key, h);
    send = fresh || it->second != h;
    it->second = h;
    if (!send && !sink) return;
  }
  // Runs of every colour are drawn side by side into the strip and the row
  // goes out in one transfer: a coloured source row has dozens of runs, and
  // one request each would cost the server more than the pixels do.
  struct Group {
    int a, b, col;
  };
  Group groups[kRowCells];
  int grouped = 0;
  int batchCol = 0, batchWidth = 0;
  auto flush = [&] {
    if (send && batchWidth > 0) crapSendStrip(S.display, S.window, font, x + batchCol * cw, y, batchWidth);
    if (sink) {
      for (int g = 0; g < grouped; ++g) {
        for (int k = groups[g].a; k < groups[g].b; ++k) {
          const Run& run = runs[k];
          const int stripX = (run.col - batchCol) * cw;
          EmitPaintRun(PaintRun{view, row, run.col, run.style, fgOf(run.style), bgOf(run.style),
                                toUtf8(r.ch + run.col, run.len), x + run.col * cw, y, stripX,
                                send ? std::clamp(batchWidth - stripX, 0, run.len * cw) : 0});
        }
      }
    }
    grouped = 0;
    batchWidth = 0;
  };
  for (int a = 0; a < count;) {
    // Gather following runs that look the same: equal colours, or blanks on
    // the same background, whose foreground is never seen.
    uint32_t fg = fgOf(runs[a].style);
    const uint32_t bg = bgOf(runs[a].style);
    bool inked = !runs[a].blank;
    int len = runs[a].len;
    int b = a + 1;
    for (; b < count && len + runs[b].len <= maxLen; ++b) {
      const Run& next = runs[b];
      if (bgOf(next.style) != bg) break;
      const uint32_t nfg = fgOf(next.style);
      if (!next.blank && inked && nfg != fg) break;
      if (!next.blank && !inked) {
        fg = nfg;
        inked = true;
      }
      len += next.len;
    }
    const int col = runs[a].col;
    if (grouped > 0 && (col - batchCol + len) * cw > kStripWidth) flush();
    if (grouped == 0) batchCol = col;
    // One cell per character, so that no glyph moves its neighbours and
    // every cell of the run is sent.
    const int stripX = (col - batchCol) * cw;
    if (send) batchWidth = stripX + crapCellsAt(font, fg, bg, stripX, r.ch + col, len, cw);
    groups[grouped++] = Group{a, b, col};
    a = b;
  }
  flush();
}

}  // namespace paint_detail
