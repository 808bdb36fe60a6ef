// Drawing the character chart's window with the text font.
#pragma once

#include "core/line_store.h"

// The window and its grid, in pixels of the window.
constexpr int kChartX = 100, kChartY = 50, kChartWidth = 600, kChartHeight = 500;
constexpr int kChartGridX = 40;        // left edge of column 0
constexpr int kChartCellWidth = 33;    // advance of a grid cell
constexpr int kChartFirstBaseline = 60;
constexpr int kChartRowHeight = 25;
constexpr int kChartGridTop = 45;      // top of row 0, where clicks begin

// The page's 16 rows of 16 code points with their labels, the page label
// and the pick line with its cursor.  Nothing without a display.
void PaintChart(unsigned long window, int page, const tchar* pick, int count);
