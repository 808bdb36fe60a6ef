// The character chart pop-up.
#include "tools/char_chart.h"

#include "core/editor_state.h"
#include "display/chart_paint.h"
#include "display/glyph_renderer.h"
#include "display/xlib.h"
#include "edit/line_fit.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/popup_window.h"

namespace {

// Modifier keys: pressing one alone picks nothing.
constexpr unsigned kModifierKeys[] = {50, 62, 37, 105, 66, 64, 108, 133};
constexpr int kPagesTried = 256;

struct Chart {
  PopupWindow win;
  int page = 0;
  tchar pick[kChartPickMax] = {};
  int count = 0;
};
Chart chart;

int (*pageTest)(int page) = nullptr;
bool (*nextExpose)(EditorState* V, XEvent* ev) = nullptr;

int hasGlyphs(int page) {
  if (pageTest) return pageTest(page);
  if (!font || !font->face) return 1;
  return crapPageCheck(font, page);
}

void paint() {
  if (chart.win.isOpen()) PaintChart(chart.win.id(), chart.page, chart.pick, chart.count);
}

void close(EditorState* V) {
  chart.win.close();
  if (V->inputMode == ModeChart) V->inputMode = ModeEdit;
  V->redraw |= REDRAW_ALL;
}

void add(tchar c) {
  // Halves of UTF-16 pairs are no characters, and U+DC80 .. U+DCFF stand
  // for bytes that are no text.
  if (c >= 0xD800 && c <= 0xDFFF) return;
  if (chart.count < kChartPickMax) chart.pick[chart.count++] = c;
}

// Towards the next page with glyphs, at most 256 pages, never past the
// last page of Unicode.
void turn(int step) {
  int p = chart.page;
  for (int i = 0; i < kPagesTried; i++) {
    const int q = p + step;
    if (q < 0 || q > kChartLastPage) break;
    p = q;
    if (hasGlyphs(p)) break;
  }
  chart.page = p;
}

// The pick line into the cursor line at the cursor, as far as the line
// takes it; the cursor steps over what went in.
void insert(EditorState* V) {
  Tcb* t = V->curTcb;
  if (chart.count == 0 || !t || !t->base || !t->curLine || IsBase(t->curLine)) return;
  if (!UdoLineBefore(V)) return;
  ActiveLine* line = &V->aline;
  int put = 0;
  for (; put < chart.count; put++) {
    const int at = t->col + put;
    LineGuard guard(line, at + 1);
    if (InsertChar(line, at, chart.pick[put], false) != 0) break;
    if (!guard.ok()) break;
  }
  if (put > 0) {
    V->alineDirty = 1;
    t->col += put;
    Adjust(V, t);
  }
  UdoLineAfter(V);
  if (put < chart.count) SetAlert(V, "Line too long");
  V->redraw |= REDRAW_ALL;
}

bool isModifier(unsigned keycode) {
  for (unsigned k : kModifierKeys)
    if (k == keycode) return true;
  return false;
}

bool exposeHook(EditorState* V, XEvent* ev) {
  if (chart.win.isOpen() && ev->xexpose.window == chart.win.id()) {
    if (ev->xexpose.count == 0) paint();
    return true;
  }
  return nextExpose && nextExpose(V, ev);
}

void keyHook(EditorState* V, int code, unsigned keycode, unsigned) { ChartKey(V, code, keycode); }

}  // namespace

void AsciiChart(EditorState* V) {
  if (chart.win.isOpen()) {
    close(V);
    return;
  }
  chart.win.create(kChartX, kChartY, kChartWidth, kChartHeight);
  chart.win.map();
  V->inputMode = ModeChart;
  chart.count = 0;
  paint();
}

void ChartKey(EditorState* V, int code, unsigned keycode) {
  if (!chart.win.isOpen()) return;
  if (isModifier(keycode) || code <= 0) return;
  if (code == 27) {
    close(V);
    return;
  }
  if (code >= CMD_BASE) {
    switch (code - CMD_BASE) {
      case cmd::Backspace:
        if (chart.count > 0) chart.count--;
        break;
      case cmd::OneLeft: turn(-1); break;
      case cmd::OneRight: turn(1); break;
      case cmd::NewLine:
        insert(V);
        close(V);
        return;
      default:
        break;
    }
  } else if (code >= 0x20 && code != 0x7f) {
    // Control characters come from Ctrl with an unbound key, not from a
    // choice; the chart's own cells pick them.
    add(tchar(code));
  }
  paint();
}

void pickChar(int x, int y) {
  if (!chart.win.isOpen()) return;
  if (x < kChartGridX || x >= kChartGridX + 16 * kChartCellWidth) return;
  if (y < kChartGridTop || y >= kChartGridTop + 16 * kChartRowHeight) return;
  add(tchar(256 * chart.page + (x - kChartGridX) / kChartCellWidth + 16 * ((y - kChartGridTop) / kChartRowHeight)));
  paint();
}

void ChartPress(EditorState*, unsigned long window, unsigned button, int x, int y) {
  if (!chart.win.isOpen() || window != chart.win.id() || button != 1) return;
  pickChar(x, y);
}

bool ChartOpen() { return chart.win.isOpen(); }
int ChartPage() { return chart.page; }
const tchar* ChartPicks(int* count) {
  *count = chart.count;
  return chart.pick;
}
unsigned long ChartWindow() { return chart.win.id(); }

void SetChartPageTest(int (*test)(int page)) { pageTest = test; }

void ResetChart(EditorState* V) {
  if (chart.win.isOpen()) close(V);
  chart.page = 0;
  chart.count = 0;
}

void InstallChartHooks() {
  LoopHooks& h = loopHooks();
  h.keys[ModeChart] = keyHook;
  if (h.popupExpose != exposeHook) {
    nextExpose = h.popupExpose;
    h.popupExpose = exposeHook;
  }
}
