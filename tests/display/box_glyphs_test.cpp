// Box-drawing characters and block elements drawn over the whole cell: the
// lines of neighbouring cells must meet pixel for pixel, and blocks must
// tile the cell without gap or overlap, for any cell size.
#include "display/box_glyphs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <string>
#include <vector>

#include "tools/box_draw.h"

namespace {

struct Size {
  int w, h;
};
constexpr Size kSizes[] = {{5, 9},   {6, 12},  {7, 15},  {8, 16},  {9, 18},  {10, 20}, {11, 23},
                           {13, 27}, {14, 14}, {16, 33}, {20, 41}, {24, 50}, {31, 62}, {12, 10}};

struct Cell {
  int w = 0, h = 0;
  std::vector<uint8_t> cov;
  int at(int x, int y) const { return cov[size_t(y) * w + x]; }
};

Cell Draw(tchar c, Size s) {
  CoverageGlyph g;
  EXPECT_TRUE(BoxGlyph(c, s.w, s.h, s.h * 3 / 4, &g)) << std::hex << c;
  EXPECT_EQ(g.width, s.w);
  EXPECT_EQ(g.advance, s.w);
  EXPECT_EQ(g.rows, s.h);
  EXPECT_EQ(g.left, 0);
  EXPECT_EQ(g.top, 0);
  EXPECT_EQ(g.cov.size(), size_t(s.w) * s.h);
  return {s.w, s.h, g.cov};
}

enum Edge { kDown, kLeft, kUp, kRight };  // in the order of the box tool's arm fields

// The pixels of one edge: the left or right column, the top or bottom row.
std::vector<uint8_t> EdgeOf(const Cell& c, Edge e) {
  std::vector<uint8_t> out;
  if (e == kLeft || e == kRight)
    for (int y = 0; y < c.h; ++y) out.push_back(uint8_t(c.at(e == kLeft ? 0 : c.w - 1, y)));
  else
    for (int x = 0; x < c.w; ++x) out.push_back(uint8_t(c.at(x, e == kUp ? 0 : c.h - 1)));
  return out;
}

int Runs(const std::vector<uint8_t>& v) {
  int runs = 0;
  for (size_t i = 0; i < v.size(); ++i) runs += v[i] && (i == 0 || !v[i - 1]);
  return runs;
}

// The solid character whose arms a dashed line or a rounded corner shares.
tchar ArmsLike(tchar c) {
  if (c >= 0x2504 && c <= 0x250B) return 0x2500 + (c - 0x2504) % 4;
  if (c >= 0x254C && c <= 0x254F) return 0x2500 + (c - 0x254C);
  if (c >= 0x256D && c <= 0x2570) return tchar(std::string("\x0C\x10\x18\x14")[c - 0x256D]) + 0x2500;
  return c;
}

// Every line ending at an edge is one of three edge profiles (light, heavy,
// double), the same at both ends of a straight line, so the right arm of any
// character meets the left arm of the same kind in the next cell (and down
// meets up).  The arms each character has are read from the box tool's
// table, which draws with these characters; an edge without an arm has no
// ink at all.
TEST(BoxGlyphs, LinesMeetAtEveryEdgeOfEveryCellSize) {
  for (Size s : kSizes) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    std::vector<uint8_t> across[4], along[4];  // by kind 1..3: left/right and up/down profiles
    for (int kind = 1; kind <= 3; ++kind) {
      const Cell h = Draw(kind == 1 ? 0x2500 : kind == 2 ? 0x2501 : 0x2550, s);
      const Cell v = Draw(kind == 1 ? 0x2502 : kind == 2 ? 0x2503 : 0x2551, s);
      across[kind] = EdgeOf(h, kLeft);
      along[kind] = EdgeOf(v, kUp);
      EXPECT_EQ(EdgeOf(h, kRight), across[kind]);
      EXPECT_EQ(EdgeOf(v, kDown), along[kind]);
      // Edge pixels are covered fully or not at all; a double line is two.
      for (auto* p : {&across[kind], &along[kind]}) {
        for (uint8_t px : *p) EXPECT_TRUE(px == 0 || px == 255);
        EXPECT_EQ(Runs(*p), kind == 3 ? 2 : 1) << "kind " << kind;
      }
    }
    // A heavy line holds the light one, so that mixed joins stay centred.
    for (size_t i = 0; i < across[1].size(); ++i) EXPECT_TRUE(!across[1][i] || across[2][i]);
    EXPECT_NE(across[1], across[2]);
    for (tchar c = 0x2500; c <= 0x257F; ++c) {
      if (c >= 0x2571 && c <= 0x2573) continue;  // the diagonals end in corners
      SCOPED_TRACE(std::to_string(c));
      const int code = BoxCodeOf(ArmsLike(c));
      ASSERT_GT(code, 0) << "U+" << std::hex << c << " unknown to the box tool";
      const Cell cell = Draw(c, s);
      for (Edge e : {kDown, kLeft, kUp, kRight}) {
        const int kind = (code >> (2 * e)) & 3;
        const std::vector<uint8_t> edge = EdgeOf(cell, e);
        if (kind == 0) {
          EXPECT_EQ(Runs(edge), 0) << "edge " << e;
        } else {
          EXPECT_EQ(edge, (e == kLeft || e == kRight ? across : along)[kind]) << "edge " << e;
        }
      }
    }
  }
}

// Double junctions keep their lines apart: the crossing ╬ is four corners
// with a clear cross between them, and ╦ keeps its top line whole.
TEST(BoxGlyphs, DoubleJunctionsLeaveTheirGapsOpen) {
  for (Size s : kSizes) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    const Cell cross = Draw(0x256C, s), tee = Draw(0x2566, s), dbl = Draw(0x2550, s);
    int gy = 0;  // the row between the two lines
    while (!dbl.at(0, gy)) ++gy;
    while (dbl.at(0, gy)) ++gy;
    for (int x = 0; x < s.w; ++x) EXPECT_EQ(cross.at(x, gy), 0) << x;
    for (int x = 0; x < s.w; ++x) EXPECT_EQ(tee.at(x, gy - 1), 255) << x;
    EXPECT_EQ(Runs(EdgeOf(cross, kUp)), 2);
  }
}

// Dashed lines: n dashes a cell, the gaps inside it, half dashes at the
// edges, so that a row of them repeats evenly across cells.
TEST(BoxGlyphs, DashesRepeatEvenlyAcrossCells) {
  struct Dash {
    tchar c;
    int n;
    bool vertical;
  };
  for (Dash d : {Dash{0x2504, 3, false}, Dash{0x2505, 3, false}, Dash{0x2506, 3, true}, Dash{0x2509, 4, false},
                 Dash{0x250A, 4, true}, Dash{0x254C, 2, false}, Dash{0x254F, 2, true}}) {
    for (Size s : kSizes) {
      const int len = d.vertical ? s.h : s.w;
      if (len < 4 * d.n) continue;  // too small for whole dashes and gaps
      SCOPED_TRACE(std::to_string(d.c) + " " + std::to_string(s.w) + "x" + std::to_string(s.h));
      const Cell cell = Draw(d.c, s), solid = Draw(ArmsLike(d.c), s);
      int at = 0;  // the row or column of the line
      while (!(d.vertical ? solid.at(at, 0) : solid.at(0, at))) ++at;
      // Two cells in a row, along the line's centre.
      std::vector<uint8_t> line;
      for (int rep = 0; rep < 2; ++rep)
        for (int i = 0; i < len; ++i) line.push_back(uint8_t(d.vertical ? cell.at(at, i) : cell.at(i, at)));
      std::vector<int> lengths;
      int run = 0;
      for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i]) {
          ++run;
        } else if (run) {
          lengths.push_back(run);
          run = 0;
        }
      }
      ASSERT_EQ(int(lengths.size()), 2 * d.n + 1);  // half, n-1 whole, joined, n-1 whole, half
      int lo = len, hi = 0;
      for (size_t i = 1; i + 1 < lengths.size(); ++i) lo = std::min(lo, lengths[i]), hi = std::max(hi, lengths[i]);
      EXPECT_LE(hi - lo, 1);
      EXPECT_LT(hi, len / d.n);  // a gap in every period
    }
  }
}

// Pixels (x, y) with cov >= 128 connected from `from` to `to`.
bool Connected(const Cell& c, std::pair<int, int> from, std::pair<int, int> to) {
  std::vector<bool> seen(c.cov.size());
  std::queue<std::pair<int, int>> q;
  q.push(from);
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop();
    if (x < 0 || y < 0 || x >= c.w || y >= c.h || seen[size_t(y) * c.w + x] || c.at(x, y) < 128) continue;
    if (std::pair(x, y) == to) return true;
    seen[size_t(y) * c.w + x] = true;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) q.push({x + dx, y + dy});
  }
  return false;
}

// Rounded corners run unbroken from one edge to the other, and the
// diagonals from corner to corner, drawn smooth (partial coverage).
TEST(BoxGlyphs, ArcsAndDiagonalsRunUnbroken) {
  for (Size s : kSizes) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    const Cell light = Draw(0x2500, s), vert = Draw(0x2502, s);
    int row = 0, col = 0;
    while (!light.at(0, row)) ++row;
    while (!vert.at(col, 0)) ++col;
    const std::pair<int, int> left{0, row}, right{s.w - 1, row}, top{col, 0}, bottom{col, s.h - 1};
    EXPECT_TRUE(Connected(Draw(0x256D, s), right, bottom));
    EXPECT_TRUE(Connected(Draw(0x256E, s), left, bottom));
    EXPECT_TRUE(Connected(Draw(0x256F, s), left, top));
    EXPECT_TRUE(Connected(Draw(0x2570, s), right, top));
    // The arc leaves the corner it turns around empty.
    EXPECT_EQ(Draw(0x256D, s).at(s.w - 1, s.h - 1), 0);

    const std::pair<int, int> ul{0, 0}, ur{s.w - 1, 0}, ll{0, s.h - 1}, lr{s.w - 1, s.h - 1};
    const Cell rise = Draw(0x2571, s), fall = Draw(0x2572, s), both = Draw(0x2573, s);
    EXPECT_TRUE(Connected(rise, ll, ur));
    EXPECT_TRUE(Connected(fall, ul, lr));
    EXPECT_TRUE(Connected(both, ll, ur) && Connected(both, ul, lr));
    EXPECT_EQ(rise.at(0, 0) + rise.at(s.w - 1, s.h - 1), 0);
    EXPECT_EQ(fall.at(s.w - 1, 0) + fall.at(0, s.h - 1), 0);
    bool smooth = false;
    for (uint8_t v : rise.cov) smooth = smooth || (v > 0 && v < 255);
    EXPECT_TRUE(smooth);
  }
}

// Blocks cover whole rows and columns; a block and its complement tile the
// cell exactly once, so that stacked halves show no seam or overlap.
TEST(BoxGlyphs, BlocksTileTheCell) {
  const std::pair<tchar, tchar> complements[] = {
      {0x2580, 0x2584}, {0x2594, 0x2587}, {0x258C, 0x2590}, {0x2589, 0x2595},  // halves, eighths
      {0x259A, 0x259E}, {0x2599, 0x259D}, {0x259B, 0x2597}, {0x259C, 0x2596}, {0x259F, 0x2598},  // quadrants
  };
  for (Size s : kSizes) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    for (uint8_t v : Draw(0x2588, s).cov) ASSERT_EQ(v, 255);
    for (auto [a, b] : complements) {
      const Cell A = Draw(a, s), B = Draw(b, s);
      for (size_t i = 0; i < A.cov.size(); ++i) ASSERT_EQ(A.cov[i] + B.cov[i], 255) << std::hex << a << " " << b;
    }
    // A quadrant is where the half blocks cross.
    const Cell q = Draw(0x2598, s), upper = Draw(0x2580, s), leftHalf = Draw(0x258C, s);
    for (size_t i = 0; i < q.cov.size(); ++i) ASSERT_EQ(q.cov[i], std::min(upper.cov[i], leftHalf.cov[i]));
    // Lower eighths grow from the bottom, left eighths from the left, by
    // whole rows and columns, each within half a pixel of k/8 of the cell.
    int lastRows = 0, lastCols = 0;
    for (int k = 1; k <= 7; ++k) {
      const Cell lower = Draw(0x2580 + k, s), leftK = Draw(0x2590 - k, s);
      int rows = 0, cols = 0;
      while (rows < s.h && lower.at(0, s.h - 1 - rows)) ++rows;
      while (cols < s.w && leftK.at(cols, 0)) ++cols;
      EXPECT_LE(std::abs(rows - s.h * k / 8.0), 0.5) << k;
      EXPECT_LE(std::abs(cols - s.w * k / 8.0), 0.5) << k;
      EXPECT_GE(rows, lastRows);
      EXPECT_GE(cols, lastCols);
      lastRows = rows, lastCols = cols;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          ASSERT_EQ(lower.at(x, y), y >= s.h - rows ? 255 : 0) << k << " " << x << "," << y;
          ASSERT_EQ(leftK.at(x, y), x < cols ? 255 : 0) << k << " " << x << "," << y;
        }
    }
    // Shades: an even tint of a quarter, a half, three quarters.
    for (int k = 1; k <= 3; ++k) {
      for (uint8_t v : Draw(0x2590 + k, s).cov) ASSERT_NEAR(v, 255 * k / 4.0, 1);
    }
  }
}

TEST(BoxGlyphs, TheRangeIsExactlyTheBoxAndBlockCharacters) {
  CoverageGlyph g;
  g.width = 77;
  for (tchar c : {tchar(0x24FF), tchar(0x25A0), tchar('-'), tchar(0x12500)}) {
    EXPECT_FALSE(BoxGlyph(c, 9, 18, 14, &g)) << std::hex << c;
    EXPECT_EQ(g.width, 77);
  }
  // A cell without size is left to the font.
  EXPECT_FALSE(BoxGlyph(0x2500, 0, 18, 14, &g));
  EXPECT_FALSE(BoxGlyph(0x2588, 9, 0, 0, &g));
  // Cells too small for the gaps of double and dashed lines still draw.
  for (int w = 1; w <= 4; ++w)
    for (int h = 1; h <= 4; ++h)
      for (tchar c = 0x2500; c <= 0x259F; ++c) Draw(c, {w, h});
  for (tchar c = 0x2500; c <= 0x259F; ++c) {
    const Cell cell = Draw(c, {9, 18});
    int ink = 0;
    for (uint8_t v : cell.cov) ink += v;
    EXPECT_GT(ink, 0) << std::hex << c;
  }
}

}  // namespace
