#include "display/box_glyphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr tchar kFirstLine = 0x2500, kFirstBlock = 0x2580, kLast = 0x259F;

// The kind of line an arm is, and how it is drawn.
enum Arm : uint8_t { kNone = 0, kLight = 1, kHeavy = 2, kDouble = 3 };

// The four arms of U+2500..U+257F as "left right up down" digits (kinds
// above).  Dashes, arcs and diagonals are drawn their own way below; the
// arcs keep their arms here so that their ends meet the straight lines.
constexpr char kArmText[] =
    "1100 2200 0011 0022 1100 2200 0011 0022 1100 2200 0011 0022 0101 0201 0102 0202 "  // 2500
    "1001 2001 1002 2002 0110 0210 0120 0220 1010 2010 1020 2020 0111 0211 0121 0112 "  // 2510
    "0122 0221 0212 0222 1011 2011 1021 1012 1022 2021 2012 2022 1101 2101 1201 2201 "  // 2520
    "1102 2102 1202 2202 1110 2110 1210 2210 1120 2120 1220 2220 1111 2111 1211 2211 "  // 2530
    "1121 1112 1122 2121 1221 2112 1212 2221 2212 2122 1222 2222 1100 2200 0011 0022 "  // 2540
    "3300 0033 0301 0103 0303 3001 1003 3003 0310 0130 0330 3010 1030 3030 0311 0133 "  // 2550
    "0333 3011 1033 3033 3301 1103 3303 3310 1130 3330 3311 1133 3333 0101 1001 1010 "  // 2560
    "0110 0000 0000 0000 1000 0010 0100 0001 2000 0020 0200 0002 1200 0012 2100 0021 ";  // 2570

struct Arms {
  uint8_t left, right, up, down;
};

constexpr std::array<Arms, 0x80> parseArms() {
  std::array<Arms, 0x80> t{};
  for (size_t i = 0; i < t.size(); ++i) {
    const char* p = kArmText + i * 5;
    t[i] = {uint8_t(p[0] - '0'), uint8_t(p[1] - '0'), uint8_t(p[2] - '0'), uint8_t(p[3] - '0')};
  }
  return t;
}

static_assert(sizeof(kArmText) == 0x80 * 5 + 1, "one entry per line character");
constexpr std::array<Arms, 0x80> kArms = parseArms();

// Dashes per cell of the dashed lines, 0 for a solid one.
constexpr int dashes(tchar c) {
  if (c >= 0x2504 && c <= 0x2507) return 3;
  if (c >= 0x2508 && c <= 0x250B) return 4;
  if (c >= 0x254C && c <= 0x254F) return 2;
  return 0;
}

// A block element as eighths of the cell: ink over columns [x0, x1) and rows
// [y0, y1) (eighths), or one of the shades, or quadrants.
struct Block {
  uint8_t x0, x1, y0, y1;
  uint8_t shade;     // coverage of the whole cell when not 0
  uint8_t quadrants; // bits: 1 upper left, 2 upper right, 4 lower left, 8 lower right
};

constexpr std::array<Block, 0x20> kBlocks = {{
    {0, 8, 0, 4, 0, 0}, {0, 8, 7, 8, 0, 0}, {0, 8, 6, 8, 0, 0}, {0, 8, 5, 8, 0, 0},  // 2580
    {0, 8, 4, 8, 0, 0}, {0, 8, 3, 8, 0, 0}, {0, 8, 2, 8, 0, 0}, {0, 8, 1, 8, 0, 0},  // 2584
    {0, 8, 0, 8, 0, 0}, {0, 7, 0, 8, 0, 0}, {0, 6, 0, 8, 0, 0}, {0, 5, 0, 8, 0, 0},  // 2588
    {0, 4, 0, 8, 0, 0}, {0, 3, 0, 8, 0, 0}, {0, 2, 0, 8, 0, 0}, {0, 1, 0, 8, 0, 0},  // 258C
    // Shades are an even tint rather than a dot pattern: a pattern cannot
    // continue across cells of odd size, and a tint joins any neighbour.
    {4, 8, 0, 8, 0, 0}, {0, 0, 0, 0, 64, 0}, {0, 0, 0, 0, 128, 0}, {0, 0, 0, 0, 191, 0},  // 2590
    {0, 8, 0, 1, 0, 0}, {7, 8, 0, 8, 0, 0}, {0, 0, 0, 0, 0, 4}, {0, 0, 0, 0, 0, 8},      // 2594
    {0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 13}, {0, 0, 0, 0, 0, 9}, {0, 0, 0, 0, 0, 7},     // 2598
    {0, 0, 0, 0, 0, 11}, {0, 0, 0, 0, 0, 2}, {0, 0, 0, 0, 0, 6}, {0, 0, 0, 0, 0, 14},    // 259C
}};

// The pixel where k eighths of n end: every fraction rounds the same way, so
// that a block and its complement share the boundary.
constexpr int eighth(int n, int k) { return (n * k + 4) / 8; }

class Canvas {
 public:
  explicit Canvas(CoverageGlyph* g) : g_(g) {}
  int w() const { return g_->width; }
  int h() const { return g_->rows; }

  // Sets [x0, x1) x [y0, y1), clipped to the cell, to v.
  void fill(int x0, int y0, int x1, int y1, uint8_t v) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, w()), y1 = std::min(y1, h());
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) g_->cov[size_t(y) * w() + x] = v;
  }
  void raise(int x, int y, uint8_t v) {
    if (x < 0 || y < 0 || x >= w() || y >= h()) return;
    uint8_t& p = g_->cov[size_t(y) * w() + x];
    p = std::max(p, v);
  }

 private:
  CoverageGlyph* g_;
};

// Coverage of pixel (x, y) by a shape, sampled on a 4 x 4 grid.
template <class Inside>
uint8_t sampled(int x, int y, Inside inside) {
  int n = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) n += inside(x + (j + 0.5) / 4, y + (i + 0.5) / 4) ? 1 : 0;
  return uint8_t(n * 255 / 16);
}

// Line widths and the centre bands of one cell size.  Every cell of a size
// puts its lines on the same rows and columns, which is what makes
// neighbours join.
struct Geometry {
  int w, h;
  int light, heavy, dbl;  // band widths; a double line is two light lines a light width apart
  int thick(int kind) const { return kind == kLight ? light : kind == kHeavy ? heavy : kind == kDouble ? dbl : 0; }
  int col(int band) const { return (w - band) / 2; }  // first column of a vertical band
  int row(int band) const { return (h - band) / 2; }  // first row of a horizontal band
};

Geometry geometryOf(int w, int h) {
  const int light = std::max(1, (std::min(w, h) + 6) / 12);
  return {w, h, light, 2 * light, 3 * light};
}

void drawLines(Canvas& cv, const Geometry& G, const Arms& a) {
  const int hMax = std::max(G.thick(a.left), G.thick(a.right));
  const int vMax = std::max(G.thick(a.up), G.thick(a.down));
  // Each arm runs from its edge across the band of the lines it meets, so
  // that corners and junctions close; a lone arm stops past the centre.
  for (int side = 0; side < 2; ++side) {
    const int kind = side ? a.right : a.left, t = G.thick(kind);
    if (!kind) continue;
    const int span = vMax ? vMax : t;
    const int y = G.row(t);
    if (side == 0) cv.fill(0, y, G.col(span) + span, y + t, 255);
    else cv.fill(G.col(span), y, G.w, y + t, 255);
  }
  for (int side = 0; side < 2; ++side) {
    const int kind = side ? a.down : a.up, t = G.thick(kind);
    if (!kind) continue;
    const int span = hMax ? hMax : t;
    const int x = G.col(t);
    if (side == 0) cv.fill(x, 0, x + t, G.row(span) + span, 255);
    else cv.fill(x, G.row(span), x + t, G.h, 255);
  }
  // A double arm is a wide band with its middle carved out.  The cut runs
  // through the gap of a crossing double line (leaving the corner pieces),
  // stops at a crossing single line (which stays whole), and meets the
  // other arm's cut when nothing crosses.
  const int d = G.dbl, l = G.light;
  const bool vDouble = a.up == kDouble || a.down == kDouble;
  const bool hDouble = a.left == kDouble || a.right == kDouble;
  const int gy = G.row(d) + l, gx = G.col(d) + l;  // first row / column of the gaps
  if (a.left == kDouble) cv.fill(0, gy, vDouble || !vMax ? gx + l : G.col(vMax), gy + l, 0);
  if (a.right == kDouble) cv.fill(vDouble || !vMax ? gx : G.col(vMax) + vMax, gy, G.w, gy + l, 0);
  if (a.up == kDouble) cv.fill(gx, 0, gx + l, hDouble || !hMax ? gy + l : G.row(hMax), 0);
  if (a.down == kDouble) cv.fill(gx, hDouble || !hMax ? gy : G.row(hMax) + hMax, gx + l, G.h, 0);
}

// Cuts n gaps into the line along one axis of length len: dashes are centred
// on the cell's edges and on every len/n, so the ends are half dashes that
// make whole ones with the neighbour's, and the edge pixels stay inked.
void cutDashes(Canvas& cv, const Geometry& G, bool vertical, int n) {
  const int len = vertical ? G.h : G.w;
  if (len < 3) return;  // no room for a gap between the edge pixels
  const double period = double(len) / n;
  const int gap = std::max(1, int(std::lround(period * 0.4)));
  for (int i = 0; i < n; ++i) {
    const double centre = (i + 0.5) * period;
    const int a = std::clamp(int(std::lround(centre - gap / 2.0)), 1, len - 1);
    const int b = std::clamp(a + gap, 1, len - 1);
    if (vertical) cv.fill(0, a, G.w, b, 0);
    else cv.fill(a, 0, b, G.h, 0);
  }
}

// A rounded corner: the light lines run straight for their last pixel into
// each edge, and a quarter circle joins them inside the cell.
void drawArc(Canvas& cv, const Geometry& G, const Arms& a) {
  const int t = G.light;
  const double cx = G.col(t) + t / 2.0, cy = G.row(t) + t / 2.0;  // the centre lines
  const bool right = a.right, down = a.down;
  const double reachX = right ? G.w - cx : cx, reachY = down ? G.h - cy : cy;
  const double r = std::max(0.0, std::min(reachX, reachY) - 1);
  // Centre of the circle, on the side the arms go to.
  const double ox = cx + (right ? r : -r), oy = cy + (down ? r : -r);
  // The straight parts, from the circle's ends to the edges.
  if (right) cv.fill(int(std::floor(ox)), G.row(t), G.w, G.row(t) + t, 255);
  else cv.fill(0, G.row(t), int(std::ceil(ox)), G.row(t) + t, 255);
  if (down) cv.fill(G.col(t), int(std::floor(oy)), G.col(t) + t, G.h, 255);
  else cv.fill(G.col(t), 0, G.col(t) + t, int(std::ceil(oy)), 255);
  auto inside = [&](double x, double y) {
    // Only the quarter facing the cell's centre lines.
    if (right ? x > ox : x < ox) return false;
    if (down ? y > oy : y < oy) return false;
    const double dist = std::hypot(x - ox, y - oy);
    return dist >= r - t / 2.0 && dist <= r + t / 2.0;
  };
  for (int y = 0; y < G.h; ++y)
    for (int x = 0; x < G.w; ++x) cv.raise(x, y, sampled(x, y, inside));
}

// Corner-to-corner diagonals; `rising` from lower left to upper right.
void drawDiagonal(Canvas& cv, const Geometry& G, bool rising) {
  const double len = std::hypot(double(G.w), double(G.h));
  const double half = std::max(G.light, 1) / 2.0 + 0.15;  // a slant looks thinner than a straight line
  auto inside = [&](double x, double y) {
    const double yy = rising ? G.h - y : y;
    return std::abs(x * G.h - yy * G.w) / len <= half;
  };
  for (int y = 0; y < G.h; ++y)
    for (int x = 0; x < G.w; ++x) cv.raise(x, y, sampled(x, y, inside));
}

void drawBlock(Canvas& cv, const Block& b) {
  const int w = cv.w(), h = cv.h();
  if (b.shade) return cv.fill(0, 0, w, h, b.shade);
  if (!b.quadrants) return cv.fill(eighth(w, b.x0), eighth(h, b.y0), eighth(w, b.x1), eighth(h, b.y1), 255);
  const int mx = eighth(w, 4), my = eighth(h, 4);
  if (b.quadrants & 1) cv.fill(0, 0, mx, my, 255);
  if (b.quadrants & 2) cv.fill(mx, 0, w, my, 255);
  if (b.quadrants & 4) cv.fill(0, my, mx, h, 255);
  if (b.quadrants & 8) cv.fill(mx, my, w, h, 255);
}

}  // namespace

bool BoxGlyph(tchar c, int cellWidth, int lineHeight, int, CoverageGlyph* out) {
  if (c < kFirstLine || c > kLast || cellWidth <= 0 || lineHeight <= 0) return false;
  out->width = out->advance = cellWidth;
  out->rows = lineHeight;
  out->left = out->top = 0;
  out->cov.assign(size_t(cellWidth) * size_t(lineHeight), 0);
  Canvas cv(out);
  if (c >= kFirstBlock) {
    drawBlock(cv, kBlocks[c - kFirstBlock]);
    return true;
  }
  const Geometry G = geometryOf(cellWidth, lineHeight);
  const Arms& a = kArms[c - kFirstLine];
  if (c >= 0x2571 && c <= 0x2573) {
    if (c != 0x2572) drawDiagonal(cv, G, true);
    if (c != 0x2571) drawDiagonal(cv, G, false);
  } else if (c >= 0x256D && c <= 0x2570) {
    drawArc(cv, G, a);
  } else {
    drawLines(cv, G, a);
    if (const int n = dashes(c)) cutDashes(cv, G, a.up != kNone, n);
  }
  return true;
}
