// Sending composed rows to the window.
#include "display/paint_draw.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/glyph_renderer.h"
#include "display/paint_recorder.h"
#include "display/screen.h"
#include "display/strip_image.h"

namespace paint_detail {

namespace {

// Backgrounds of lines a text comparison marked.
constexpr uint32_t kDiffChangedBkg = 0xFFFFE0E0;
constexpr uint32_t kDiffFillerBkg = 0xFFE0E0FF;

struct Run {
  int col, len;
  uint8_t style;
};

RowImage scratch;
Run runs[kRowCells];

// What was last sent to each row position of a drawable: the cells and a
// stamp of how they looked (font, cell width, colours).  A row drawn again
// sends only the cells that differ, and scrolling finds here which rows and
// columns it can move instead of sending them.  A whole-window repaint
// (Expose, layout, colours, fonts) forgets the window's rows first.
struct SentRow {
  uint64_t look = 0;
  int n = 0;
  tchar ch[kRowCells];
  uint8_t style[kRowCells];
};

struct RowKey {
  unsigned long drawable;
  int x, y;
  bool operator==(const RowKey&) const = default;
};

struct RowKeyHash {
  size_t operator()(const RowKey& k) const {
    return std::hash<uint64_t>()((uint64_t(k.drawable) * 0x9e3779b97f4a7c15ull) ^
                                 (uint64_t(uint32_t(k.x)) << 32) ^ uint32_t(k.y));
  }
};

std::unordered_map<RowKey, SentRow, RowKeyHash> sentRows;
// Per view (keyed by its first text row): the first text column last shown.
std::unordered_map<RowKey, int, RowKeyHash> sentLeftCol;
PaintTraffic traffic{};

// A cell's kind in a row being drawn.
constexpr uint8_t kKeep = 0;   // on the window already
constexpr uint8_t kImage = 1;  // goes out as pixels
constexpr uint8_t kFill = 2;   // a blank that goes out as a filled rectangle

// A request costs the connection about this many bytes beyond its pixels
// (a put or a fill, plus the colour change a fill needs).
constexpr int kRequestBytes = 32;
// Blank cells between inked ones that are worth splitting a transfer for.
constexpr int kMinGapFill = 8;

uint64_t fnv(uint64_t h, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 0x100000001b3ull;
  return h;
}

// Pixel rows a row's image has on the window.
int stripRowsOf(const GlyphFont* f) { return f ? std::clamp(f->lineHeight, 0, kStripRows) : 0; }

uint64_t lookStamp(int cw) {
  uint64_t h = 0xcbf29ce484222325ull;
  const void* f = font;
  h = fnv(h, &f, sizeof f);
  const int metrics[] = {cw, font ? font->pixelSize : 0, font ? font->lineHeight : 0,
                         font ? font->baseline : 0};
  h = fnv(h, metrics, sizeof metrics);
  return fnv(h, S.pairs, sizeof S.pairs) | 1;  // never the stamp of a row never sent
}

uint32_t fgOf(uint8_t st) {
  if (st < kPairCount) return S.pairs[st][0];
  return S.pairs[14][0];
}

uint32_t bgOf(uint8_t st) {
  if (st < kPairCount) return S.pairs[st][1];
  return (st == kPairDiffChanged ? kDiffChangedBkg : kDiffFillerBkg) & 0xffffff;
}

// Two cells look the same: one character, one background, and one
// foreground unless the character is a blank, which shows none.
bool sameCell(tchar a, uint8_t as, tchar b, uint8_t bs) {
  if (a != b || bgOf(as) != bgOf(bs)) return false;
  return a == ' ' || fgOf(as) == fgOf(bs);
}

bool sameRow(const RowImage& r, const SentRow& s) {
  if (r.n != s.n) return false;
  for (int c = 0; c < r.n; ++c)
    if (!sameCell(r.ch[c], r.style[c], s.ch[c], s.style[c])) return false;
  return true;
}

// A hash that rows looking the same share (see sameCell).
uint64_t cellsHash(int n, const tchar* ch, const uint8_t* style) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (int c = 0; c < n; ++c) {
    const uint64_t v = (uint64_t(ch[c]) << 32 | bgOf(style[c])) ^ (ch[c] == ' ' ? 0 : uint64_t(fgOf(style[c])) << 8);
    h = (h ^ v) * 0x100000001b3ull;
    h ^= h >> 29;
  }
  return h;
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
    while (j < r.n && r.style[j] == r.style[i] && j - i < maxLen) ++j;
    runs[count++] = Run{i, j - i, r.style[i]};
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

void ForgetSentRows() {
  std::erase_if(sentRows, [](const auto& e) { return e.first.drawable == S.window; });
  std::erase_if(sentLeftCol, [](const auto& e) { return e.first.drawable == S.window; });
}

PaintTraffic PaintTrafficSent() { return traffic; }

void DrawRow(EditorState* V, Tcb* view, int row, int x, int y, const RowImage& r) {
  const int cw = std::max(V->charWidth, 1);
  // A transfer may not run past the strip.
  const int maxLen = std::max(1, kStripWidth / cw);
  const int count = splitRuns(r, maxLen);
  const bool sink = PaintSinkSet();
  const int lh = stripRowsOf(font);
  uint8_t kind[kRowCells];
  std::fill_n(kind, r.n, kImage);
  if (S.display) {
    SentRow& s = sentRows[RowKey{S.window, x, y}];
    const uint64_t look = lookStamp(cw);
    const bool known = s.look == look && s.n == r.n;
    bool changed = false;
    for (int c = 0; c < r.n; ++c) {
      if (known && sameCell(r.ch[c], r.style[c], s.ch[c], s.style[c]))
        kind[c] = kKeep;
      else
        changed = true;
    }
    // Short stretches already in place between changed cells go again
    // rather than split the transfer: a request per fragment costs more
    // than those pixels do.
    for (int c = 0; c < r.n;) {
      if (kind[c] != kKeep) {
        ++c;
        continue;
      }
      int j = c;
      while (j < r.n && kind[j] == kKeep) ++j;
      if (c > 0 && j < r.n && j - c < kMinGapFill) std::fill(kind + c, kind + j, kImage);
      c = j;
    }
    s.look = look;
    s.n = r.n;
    std::copy_n(r.ch, r.n, s.ch);
    std::copy_n(r.style, r.n, s.style);
    if (!changed && !sink) return;
    // Blanks of one background worth a request of their own go as a filled
    // rectangle: a blank cell sent as pixels costs cw x lh x 4 bytes, a fill
    // one request.  Blanks at either end of what changes shorten a transfer;
    // blanks between words would split it in two, and a request per word
    // costs the server more than their pixels do, so only long gaps are cut
    // out, and none when the pixels travel through shared memory.
    const int cellBytes = cw * std::max(lh, 1) * 4;
    const int minFill = std::max(1, (2 * kRequestBytes + cellBytes - 1) / cellBytes);
    const int minGap = StripShared() ? kRowCells + 1 : std::max(minFill, kMinGapFill);
    for (int c = 0; c < r.n;) {
      if (kind[c] != kImage || r.ch[c] != ' ') {
        ++c;
        continue;
      }
      const uint32_t bg = bgOf(r.style[c]);
      int j = c;
      while (j < r.n && kind[j] == kImage && r.ch[j] == ' ' && bgOf(r.style[j]) == bg) ++j;
      const bool atEdge = c == 0 || kind[c - 1] != kImage || j == r.n || kind[j] != kImage;
      if (j - c >= (atEdge ? minFill : minGap)) {
        std::fill(kind + c, kind + j, kFill);
        crapFill(S.display, S.window, bg, x + c * cw, y - font->baseline, (j - c) * cw, lh);
        ++traffic.fills;
      }
      c = j;
    }
  }
  // Cells to be sent that lie side by side go out in one transfer, whatever
  // their colours: a coloured source row has dozens of runs, and one request
  // each would cost the server more than the pixels do.
  struct Piece {
    int col, len;
    uint8_t style;
  };
  Piece pending[kRowCells];
  int pendingCount = 0;
  int batchCol = -1, batchEnd = 0, batchWidth = 0;
  auto emit = [&](const Piece& p, int stripX, int sent) {
    EmitPaintRun(PaintRun{view, row, p.col, p.style, fgOf(p.style), bgOf(p.style),
                          toUtf8(r.ch + p.col, p.len), x + p.col * cw, y, stripX, sent});
  };
  auto flush = [&] {
    if (batchCol < 0) return;
    if (S.display && batchWidth > 0) {
      crapSendStrip(S.display, S.window, font, x + batchCol * cw, y, batchWidth);
      traffic.pixels += uint64_t(batchWidth) * uint64_t(lh);
      ++traffic.puts;
    }
    for (int i = 0; i < pendingCount; ++i) {
      const int stripX = (pending[i].col - batchCol) * cw;
      emit(pending[i], stripX, std::clamp(batchWidth - stripX, 0, pending[i].len * cw));
    }
    pendingCount = 0;
    batchCol = -1;
    batchWidth = 0;
  };
  for (int k = 0; k < count; ++k) {
    const Run& run = runs[k];
    const int end = run.col + run.len;
    for (int c = run.col; c < end;) {
      int j = c + 1;
      while (j < end && kind[j] == kind[c]) ++j;
      const Piece p{c, j - c, run.style};
      if (kind[c] != kImage) {
        // On the window already, or filled: nothing of it is in the strip.
        if (sink) emit(p, 0, 0);
      } else {
        if (batchCol >= 0 && (c != batchEnd || (j - batchCol) * cw > kStripWidth)) flush();
        if (batchCol < 0) batchCol = c;
        // One cell per character, so that no glyph moves its neighbours and
        // every cell of the run is sent.
        const int stripX = (c - batchCol) * cw;
        batchWidth = stripX + crapCellsAt(font, fgOf(p.style), bgOf(p.style), stripX, r.ch + c, p.len, cw);
        batchEnd = j;
        if (sink) pending[pendingCount++] = p;
      }
      c = j;
    }
  }
  flush();
}

void MoveUnchanged(EditorState* V, int x, int y0, int leftCol, int cols, const RowImage* rows,
                   int count) {
  if (!S.display || !font || count <= 0) return;
  const int cw = std::max(V->charWidth, 1);
  const int lh = V->lineHeight;
  const int top = font->baseline;
  // The band's height: whole rows, the last as tall as its image.
  auto bandHeight = [&](int n) { return (n - 1) * lh + stripRowsOf(font); };
  const uint64_t look = lookStamp(cw);
  auto keyOf = [&](int i) { return RowKey{S.window, x, y0 + i * lh}; };

  std::vector<const SentRow*> old(static_cast<size_t>(count), nullptr);
  const size_t rowCount = static_cast<size_t>(count);
  std::vector<uint64_t> newHash(rowCount), oldHash(rowCount);
  std::vector<bool> inPlace(rowCount);
  auto gather = [&] {
    for (int i = 0; i < count; ++i) {
      auto it = sentRows.find(keyOf(i));
      const SentRow* s = it != sentRows.end() && it->second.look == look && it->second.n == rows[i].n
                             ? &it->second
                             : nullptr;
      old[size_t(i)] = s;
      oldHash[size_t(i)] = s ? cellsHash(s->n, s->ch, s->style) : 0;
      inPlace[size_t(i)] = s && sameRow(rows[i], *s);
    }
  };
  gather();
  // Nothing known of the view (a whole-window repaint): nothing to move.
  if (std::none_of(old.begin(), old.end(), [](const SentRow* s) { return s != nullptr; })) {
    sentLeftCol[RowKey{S.window, x, y0}] = leftCol;
    return;
  }
  for (int i = 0; i < count; ++i) newHash[size_t(i)] = cellsHash(rows[i].n, rows[i].ch, rows[i].style);

  // Vertically: the shift k and the contiguous band of rows i that find
  // themselves at row i + k, gaining the most rows not already in place.
  int bestGain = 0, bestK = 0, bestA = 0, bestB = 0;
  for (int k = 1 - count; k < count; ++k) {
    if (k == 0) continue;
    const int from = std::max(0, -k), to = std::min(count, count - k);
    int runStart = -1, gain = 0;
    for (int i = from; i <= to; ++i) {
      const SentRow* s = i < to ? old[size_t(i + k)] : nullptr;
      const bool match = s && newHash[size_t(i)] == oldHash[size_t(i + k)] && sameRow(rows[i], *s);
      if (match) {
        if (runStart < 0) {
          runStart = i;
          gain = 0;
        }
        gain += !inPlace[size_t(i)];
      } else if (runStart >= 0) {
        if (gain > bestGain) {
          bestGain = gain;
          bestK = k;
          bestA = runStart;
          bestB = i;
        }
        runStart = -1;
      }
    }
  }
  if (bestGain > 0) {
    StripCopy(S.display, S.window, x, y0 + (bestA + bestK) * lh - top, rows[bestA].n * cw,
              bandHeight(bestB - bestA), x, y0 + bestA * lh - top);
    ++traffic.copies;
    std::vector<SentRow> moved;
    for (int i = bestA; i < bestB; ++i) moved.push_back(*old[size_t(i + bestK)]);
    for (int i = bestA; i < bestB; ++i) sentRows[keyOf(i)] = moved[size_t(i - bestA)];
    gather();
  }

  // Sideways: the columns move by the change of the first column shown,
  // when that leaves more cells in place than it spoils.
  const RowKey viewKey{S.window, x, y0};
  auto last = sentLeftCol.find(viewKey);
  const int d = last == sentLeftCol.end() ? 0 : leftCol - last->second;
  sentLeftCol[viewKey] = leftCol;
  if (d == 0 || std::abs(d) >= cols) return;
  int gain = 0;
  for (int i = 0; i < count; ++i) {
    const SentRow* s = old[size_t(i)];
    if (!s || rows[i].n < cols) return;  // every row must be known to move them all
    const RowImage& r = rows[i];
    for (int c = 0; c < cols; ++c) {
      const int from = c + d;
      if (from >= 0 && from < cols && sameCell(r.ch[c], r.style[c], s->ch[from], s->style[from])) ++gain;
      if (sameCell(r.ch[c], r.style[c], s->ch[c], s->style[c])) --gain;
    }
  }
  if (gain <= 0) return;
  const int src = std::max(d, 0), dst = std::max(-d, 0), width = cols - std::abs(d);
  StripCopy(S.display, S.window, x + src * cw, y0 - top, width * cw, bandHeight(count), x + dst * cw,
            y0 - top);
  ++traffic.copies;
  for (int i = 0; i < count; ++i) {
    SentRow& s = sentRows[keyOf(i)];
    std::memmove(s.ch + dst, s.ch + src, size_t(width) * sizeof(tchar));  // they overlap
    std::memmove(s.style + dst, s.style + src, size_t(width));
  }
}

}  // namespace paint_detail
