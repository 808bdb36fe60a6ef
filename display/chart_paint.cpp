// The character chart's drawing.
#include "display/chart_paint.h"

#include <cstdio>

#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "tools/char_chart.h"

namespace {

constexpr int kLabelAdvance = 11;
constexpr int kRowLabelX = 10;
constexpr int kColumnLabelY = 460;
constexpr int kPageLabelY = 490;
constexpr int kPickX = 10, kPickY = 25;

int text(unsigned long w, int pair, int x, int y, const char* s, int cell) {
  tchar c[64];
  int n = 0;
  for (; s[n] && n < 64; n++) c[n] = static_cast<unsigned char>(s[n]);
  const uint32_t fg = S.pairs[pair][0], bg = S.pairs[pair][1];
  return cell ? crapCells(S.display, w, font, fg, bg, x, y, c, n, cell)
              : crapText(S.display, w, font, fg, bg, x, y, c, n);
}

}  // namespace

void PaintChart(unsigned long window, int page, const tchar* pick, int count) {
  if (!S.display || !window || !font || !font->face) return;
  for (int r = 0; r < 16; r++) {
    const int y = kChartFirstBaseline + kChartRowHeight * r;
    tchar row[16];
    for (int i = 0; i < 16; i++) row[i] = tchar(256 * page + 16 * r + i);
    crapCells(S.display, window, font, S.pairs[0][0], S.pairs[0][1], kChartGridX, y, row, 16, kChartCellWidth);
    char label[8];
    std::snprintf(label, sizeof label, "%x-", r);
    text(window, 1, kRowLabelX, y, label, kLabelAdvance);
  }
  text(window, 1, kChartGridX, kColumnLabelY, "-0 -1 -2 -3 -4 -5 -6 -7 -8 -9 -a -b -c -d -e -f", kLabelAdvance);
  char label[32];
  std::snprintf(label, sizeof label, "Page: U+%03x--", page);
  text(window, 1, kChartGridX, kPageLabelY, label, 0);
  // The picks, the cursor and blanks over what a longer line left.
  tchar line[kChartPickMax + 1];
  for (int i = 0; i <= kChartPickMax; i++) line[i] = i < count ? pick[i] : i == count ? '_' : ' ';
  crapText(S.display, window, font, S.pairs[0][0], S.pairs[0][1], kPickX, kPickY, line, kChartPickMax + 1);
}
