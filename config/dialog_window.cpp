// The dialogues' pop-up window: creation, drawing, repaint on exposure.
#include "config/dialog_window.h"

#include <cstring>
#include <vector>

#include "config/color_dialog.h"
#include "config/font_dialog.h"
#include "config/key_dialog.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "shell/event_loop.h"

namespace {

DialogSink sink;
// The open dialogue's window and painter, for exposures.
unsigned long exposedWin = 0;
void (*exposedPaint)(EditorState*) = nullptr;

constexpr int kFallbackCell = 8;
constexpr int kFallbackAscent = 14;

std::string toUtf8(const tchar* s, int n) {
  std::string out;
  uint8_t buf[4];
  for (int i = 0; i < n; i++) out.append(reinterpret_cast<char*>(buf), size_t(utf8(buf, 0, s[i])));
  return out;
}

void emit(DialogDraw d) {
  if (sink) sink(d);
}

// The dialogue repaints itself; the editor window is not touched.
bool exposeHook(EditorState* V, XEvent* ev) {
  if (!exposedWin || ev->xexpose.window != exposedWin) return false;
  if (ev->xexpose.count == 0 && exposedPaint) exposedPaint(V);
  return true;
}

void colorKeyHook(EditorState* V, int, unsigned keycode, unsigned) { ColorConfKey(V, int(keycode)); }
void fontKeyHook(EditorState* V, int code, unsigned, unsigned) { FontKey(V, code); }
void keyKeyHook(EditorState* V, int, unsigned keycode, unsigned state) { KeyConfKey(V, keycode, state); }

}  // namespace

void SetDialogSink(DialogSink s) { sink = std::move(s); }

int DialogCellWidth() { return font2 && font2->charWidth > 0 ? font2->charWidth : kFallbackCell; }
int DialogAscent() { return font2 && font2->ascent > 0 ? font2->ascent : kFallbackAscent; }

void DialogWindow::open(int x, int y, int width, int height, void (*repaint)(EditorState*)) {
  close();
  open_ = true;
  width_ = width;
  height_ = height;
  popup_.create(x, y, width, height, S.pairs[12][1]);
  popup_.map();
  if (S.display && S.window) {
    win_ = popup_.id();
    gc_ = XCreateGC(S.display, win_, 0, nullptr);
  }
  exposedWin = win_;
  exposedPaint = repaint;
}

void DialogWindow::close() {
  if (!open_) return;
  open_ = false;
  if (S.display && gc_) XFreeGC(S.display, static_cast<GC>(gc_));
  popup_.close();
  if (exposedWin == win_) {
    exposedWin = 0;
    exposedPaint = nullptr;
  }
  gc_ = nullptr;
  win_ = 0;
}

int DialogWindow::chars(int x, int y, int pair, const tchar* s, int n) {
  if (!open_ || n <= 0) return 0;
  emit({DialogDraw::Text, x, y, 0, 0, pair, 0, toUtf8(s, n)});
  if (S.display && win_ && font2)
    return crapText(S.display, win_, font2, S.pairs[pair][0], S.pairs[pair][1], x, y, s, n);
  return n * DialogCellWidth();
}

int DialogWindow::latin(int x, int y, int pair, const char* s, int n) {
  if (n < 0) n = int(std::strlen(s));
  std::vector<tchar> c(static_cast<size_t>(n));
  for (int i = 0; i < n; i++) c[size_t(i)] = static_cast<unsigned char>(s[i]);
  return chars(x, y, pair, c.data(), n);
}

int DialogWindow::utf(int x, int y, int pair, const std::string& s) {
  std::vector<tchar> c;
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  for (size_t i = 0; i < s.size();) {
    int len = 1;
    c.push_back(uni8(p + i, int(s.size() - i), &len));
    i += size_t(len > 0 ? len : 1);
  }
  return chars(x, y, pair, c.data(), int(c.size()));
}

void DialogWindow::fill(uint32_t colour, int x, int y, int w, int h) {
  if (!open_ || w <= 0 || h <= 0) return;
  emit({DialogDraw::Fill, x, y, w, h, -1, colour, {}});
  if (!S.display || !win_) return;
  XSetForeground(S.display, static_cast<GC>(gc_), colour);
  XFillRectangle(S.display, win_, static_cast<GC>(gc_), x, y, unsigned(w), unsigned(h));
}

void DialogWindow::clear(uint32_t colour) {
  if (!open_) return;
  if (S.display && win_) XSetWindowBackground(S.display, win_, colour);
  fill(colour, 0, 0, width_, height_);
}

void DialogWindow::line(uint32_t colour, int x1, int y1, int x2, int y2) {
  if (!open_) return;
  emit({DialogDraw::Line, x1, y1, x2, y2, -1, colour, {}});
  if (!S.display || !win_) return;
  XSetForeground(S.display, static_cast<GC>(gc_), colour);
  XDrawLine(S.display, win_, static_cast<GC>(gc_), x1, y1, x2, y2);
}

void DialogWindow::triangle(uint32_t colour, int x, int apexY, int half, int baseY) {
  if (!open_) return;
  emit({DialogDraw::Triangle, x, apexY, half, baseY, -1, colour, {}});
  if (!S.display || !win_) return;
  XPoint pts[3] = {{short(x), short(apexY)}, {short(x - half), short(baseY)}, {short(x + half), short(baseY)}};
  XSetForeground(S.display, static_cast<GC>(gc_), colour);
  XFillPolygon(S.display, win_, static_cast<GC>(gc_), pts, 3, Convex, CoordModeOrigin);
}

void InstallDialogHooks() {
  LoopHooks& h = loopHooks();
  h.keys[ModeKeyConfig] = keyKeyHook;
  h.keys[ModeColorConfig] = colorKeyHook;
  h.keys[ModeFontConfig] = fontKeyHook;
  h.popupExpose = exposeHook;
}
