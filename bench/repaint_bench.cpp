// Full repaints of a 1920 x 1080 window full of text: once into the glyph
// strip alone (no display), and once into a real window when an X display
// is there (DISPLAY set, e.g. Xvfb :99 -screen 0 1920x1080x24).
#include <benchmark/benchmark.h>

#include "display/xlib.h"
#include "edit/typing.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "config/colors.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/glyph_renderer.h"
#include "display/colorize.h"
#include "display/paint.h"
#include "display/screen.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Source-like lines long enough to fill every row to the right edge.
std::string windowText() {
  const char* const samples[] = {
      "    for (int i = 0; i < count; ++i) total += weights[i] * values[i];  // sum it up",
      "static const char* names[] = {\"alpha\", \"beta\", \"gamma\", \"delta\", \"epsilon\"};",
      "  if (line->count > limit && !(flags & LINK_SOFTBREAK)) return Reflow(V, line, 0x4000);",
      "/* A comment that runs on for a while, with ASCII and a few accents: caf\xc3\xa9 "
      "na\xc3\xafve */",
  };
  std::string text;
  for (int row = 0; row < 200; ++row) {
    std::string line;
    while (line.size() < 300) line += samples[(row + line.size()) % 4];
    text += line.substr(0, 300) + "\n";
  }
  return text;
}

// A page of characters above U+FFFF: emoji between mathematical letters.
std::string emojiText() {
  std::string text;
  for (int row = 0; row < 200; ++row) {
    for (int i = 0; i < 150; ++i) {
      const unsigned c = i % 2 ? 0x1F600 + (row + i) % 80 : 0x1D400 + (row + i) % 52;
      text += char(0xf0 | c >> 18);
      text += char(0x80 | (c >> 12 & 0x3f));
      text += char(0x80 | (c >> 6 & 0x3f));
      text += char(0x80 | (c & 0x3f));
    }
    text += "\n";
  }
  return text;
}

// An editor holding the text, laid out for the window with the open font.
struct Session {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  bool ok = false;

  explicit Session(bool emoji = false) {
    EditorState* V = v.get();
    if (!InitEditor(V)) return;
    V->inputMode = 1;
    SetMetrics(V, kWidth, kHeight, font->lineHeight, font->charWidth, font->ascent);
    const std::string text = emoji ? emojiText() : windowText();
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    Tcb* t = NewText(V, base, MODE_UTF8);
    if (!t) return;
    t->kind = KIND_FILE;
    PrepareView(V);
    // The cursor mid-screen with a search hit, as after a find.
    for (int i = 0; i < 20; ++i) {
      AFlush(V);
      t->curLine = t->curLine->next();
      ++t->lineNo;
      ++t->row;
      ALoad(V);
    }
    t->col = 40;
    V->hiliteLen = 5;
    setColors();
    ok = true;
  }
  ~Session() { DeInitEditor(v.get()); }
};

bool openFont(benchmark::State& state) {
  crapSetFont(font, "text", kMono, int(state.range(0)), 0, 0, 0);
  if (!crapOpenFontChecked(font).empty()) {
    state.SkipWithError("DejaVu Sans Mono missing (fonts-dejavu-core)");
    return false;
  }
  return true;
}

// The time column is milliseconds per repaint.
void report(benchmark::State& state, EditorState* V) {
  state.counters["repaints/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["rows"] = double(V->curTcb->rows + 2);
  state.counters["cols"] = double(V->curTcb->cols);
}

// range(1) / range(2): 1 = with C source colouring, against 0 = plain.
void syntax(EditorState* V, bool on) {
  SetColorizer(on ? colorizeline : nullptr);
  if (on) V->toggles |= TGL_SOURCE;
}

// range(2): 1 = a page of emoji and other characters above U+FFFF.
void BM_RepaintNoDisplay(benchmark::State& state) {
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return;
  }
  if (openFont(state)) {
    Session s(state.range(2) != 0);
    S.display = nullptr;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      syntax(s.v.get(), state.range(1) != 0);
      redraw(s.v.get());  // fill the glyph cache
      for (auto _ : state) {
        s.v->redraw |= REDRAW_ALL;
        redraw(s.v.get());
      }
      report(state, s.v.get());
    }
  }
  crapDeinit();
}

// range(1): 1 = the whole window each time (as after Expose), 0 = after one
// typed key (the cursor row and the status line change).
void BM_RepaintWindow(benchmark::State& state) {
  const bool whole = state.range(1) != 0;
  const char* name = std::getenv("DISPLAY");
  Display* dpy = nullptr;
  // A server still busy with the last run's images may turn a connection
  // away for a moment.
  for (int tries = 0; name && *name && !dpy && tries < 50; ++tries) {
    dpy = XOpenDisplay(nullptr);
    if (!dpy) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!dpy) {
    state.SkipWithError("no X display (set DISPLAY, e.g. under Xvfb)");
    return;
  }
  const int screen = XDefaultScreen(dpy);
  const Window win =
      XCreateSimpleWindow(dpy, XRootWindow(dpy, screen), 0, 0, kWidth, kHeight, 0, 0, 0xffffffff);
  XMapWindow(dpy, win);
  XSync(dpy, False);
  if (!crapInitChecked(dpy, win).empty()) {
    state.SkipWithError("renderer did not start on the display");
  } else if (openFont(state)) {
    Session s;
    S.display = dpy;
    S.window = win;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      syntax(s.v.get(), state.range(2) != 0);
      redraw(s.v.get());
      XSync(dpy, False);
      // Each repaint waits until the server has drawn it.
      EditorState* V = s.v.get();
      int typed = 0;
      for (auto _ : state) {
        if (whole) {
          V->redraw |= REDRAW_ALL;
        } else {
          // Type along the cursor line, back to its start now and then.
          if (++typed > 40) {
            typed = 0;
            V->curTcb->col = 40;
          }
          TypeChar(V, 'a' + typed % 26);
        }
        redraw(V);
        XSync(dpy, False);
      }
      report(state, s.v.get());
    }
    S.display = nullptr;
    S.window = 0;
  }
  crapDeinit();
  XDestroyWindow(dpy, win);
  XCloseDisplay(dpy);
}

}  // namespace

BENCHMARK(BM_RepaintNoDisplay)
    ->Args({18, 0, 0})
    ->Args({18, 1, 0})
    ->Args({12, 0, 0})
    ->Args({12, 1, 0})
    ->Args({18, 0, 1})
    ->ArgNames({"px", "syntax", "emoji"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWindow)
    ->Args({18, 1, 0})
    ->Args({18, 1, 1})
    ->Args({12, 1, 0})
    ->Args({12, 1, 1})
    ->Args({18, 0, 0})
    ->Args({12, 0, 0})
    ->ArgNames({"px", "whole", "syntax"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
