// Opening the main menu until it is on the screen: the item window made,
// its lines built with their key texts, the bar and the items painted, the
// window repainted as after the key press, all drawn by the server (XSync),
// in a real window when an X display is there (DISPLAY set, e.g. Xvfb :99
// -screen 0 1920x1080x24).  Without a display, the menu's own part alone
// (made, laid out, painted into the glyph strip): a repaint without a
// display composes every row anew, which says nothing about the menu.  The
// time column is milliseconds per opening.
#include <benchmark/benchmark.h>

#include "display/xlib.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "config/colors.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/screen.h"
#include "shell/event_loop.h"
#include "shell/handlers.h"
#include "shell/main_menu.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Session {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  bool ok = false;

  Session() {
    EditorState* V = v.get();
    InstallHandlers();
    if (!InitEditor(V)) return;
    V->inputMode = ModeEdit;
    ResizeMetrics(V, kWidth, kHeight, font->lineHeight, font->charWidth, font->baseline, font2->lineHeight,
                  font2->charWidth);
    std::string text;
    for (int i = 0; i < 200; ++i) text += "    for (int i = 0; i < count; ++i) total += weights[i] * values[i];\n";
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    Tcb* t = NewText(V, base, MODE_UTF8);
    if (!t) return;
    t->kind = KIND_FILE;
    PrepareView(V);
    // The Settings menu: the most items, with their check marks.
    V->menuIndex = 14;
    setColors();
    ok = true;
  }
  ~Session() { DeInitEditor(v.get()); }
};

bool openFonts(benchmark::State& state) {
  crapSetFont(font, "text", kMono, 18, 0, 0, 0);
  crapSetFont(font2, "menu", kSans, 14, 0, 0, 0);
  if (!crapOpenFontChecked(font).empty() || !crapOpenFontChecked(font2).empty()) {
    state.SkipWithError("DejaVu fonts missing (fonts-dejavu-core)");
    return false;
  }
  return true;
}

void openAndClose(benchmark::State& state, EditorState* V, Display* dpy) {
  for (auto _ : state) {
    MenuUp(V);
    if (dpy) {
      Repaint(V);
      XSync(dpy, False);
    }
    state.PauseTiming();
    MenuUp(V);
    if (dpy) {
      Repaint(V);
      XSync(dpy, False);
    }
    state.ResumeTiming();
  }
  state.counters["items"] = double(V->menuCount);
}

void BM_OpenMenuNoDisplay(benchmark::State& state) {
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return;
  }
  if (openFonts(state)) {
    S.display = nullptr;
    S.window = 0;
    Session s;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      Repaint(s.v.get());
      openAndClose(state, s.v.get(), nullptr);
    }
  }
  crapDeinit();
}

void BM_OpenMenuWindow(benchmark::State& state) {
  const char* name = std::getenv("DISPLAY");
  Display* dpy = nullptr;
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
  } else if (openFonts(state)) {
    S.display = dpy;
    S.window = win;
    S.screen = screen;
    Session s;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      Repaint(s.v.get());
      XSync(dpy, False);
      openAndClose(state, s.v.get(), dpy);
    }
    S.display = nullptr;
    S.window = 0;
  }
  crapDeinit();
  XDestroyWindow(dpy, win);
  XCloseDisplay(dpy);
}

}  // namespace

BENCHMARK(BM_OpenMenuNoDisplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMenuWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
