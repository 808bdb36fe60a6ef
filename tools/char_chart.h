// The character chart: a pop-up showing 256 code points of the text font
// at a time.  Characters picked with the mouse or typed gather on a pick
// line of up to 64 that Enter inserts at the cursor.
//
// Keys: Backspace takes the last pick back, Left and Right go to the
// previous and next page that has glyphs, Enter inserts and closes, Esc
// closes; a character key picks that character.  The page stays between
// openings.
#pragma once

#include "core/line_store.h"

struct EditorState;

constexpr int kChartPickMax = 64;
constexpr int kChartLastPage = 0x10FF;  // U+10FF00 .. U+10FFFF

// Opens the chart, or closes it when open.
void AsciiChart(EditorState* V);
// A key while the chart is open: `code` is a character or CMD_BASE + a
// command number, `keycode` the raw X keycode.
void ChartKey(EditorState* V, int code, unsigned keycode);
// A left click at (x, y) of the chart's window picks the code point of the
// grid cell there; clicks beside the grid pick nothing.
void pickChar(int x, int y);
// A button press while the chart is open, as the mouse hands it over: only
// button 1 on the chart's own window picks.
void ChartPress(EditorState* V, unsigned long window, unsigned button, int x, int y);

bool ChartOpen();
int ChartPage();
// The pick line: its characters and their number.
const tchar* ChartPicks(int* count);
// The window's id (0 when closed), for clicks addressed to it.
unsigned long ChartWindow();

// How the page test asks whether page p has glyphs; null restores the
// text font's own answer (every page counts without a font to ask).
void SetChartPageTest(int (*test)(int page));
// Closes the chart and starts again from page 0 (a new editor).
void ResetChart(EditorState* V);

// Hooks the chart's keys and exposures into the event loop.
void InstallChartHooks();
