// Several views: the repaint of four views at 1920 x 1080 beside the
// single-view repaint of the same text in the same run (glyph strip only,
// no display), and switching to a duplicate after an edit through the other
// view, on a short and on a very long text.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "config/colors.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/screen.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFontPx = 12;

std::string lines(int count, int width) {
  static const char kSample[] =
      "    for (int i = 0; i < count; ++i) total += weights[i] * values[i];  // sum it up ";
  std::string text;
  for (int row = 0; row < count; ++row) {
    std::string line;
    while (int(line.size()) < width) line += kSample + (row % 7);
    text += line.substr(0, size_t(width)) + "\n";
  }
  return text;
}

struct Session {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  bool ok = false;
  Tcb* texts[4] = {};

  // layout 0: one view; 1: two pairs; 2: four stacked rows.
  Session(int textLines, int layout, bool withFont, int textCount = 4) {
    EditorState* V = v.get();
    if (!InitEditor(V)) return;
    V->inputMode = 1;
    if (withFont)
      SetMetrics(V, kWidth, kHeight, font->lineHeight, font->charWidth, font->ascent);
    else
      SetMetrics(V, kWidth, kHeight, 16, 8, 12);
    const std::string text = lines(textLines, 300);
    for (int i = 0; i < textCount; ++i) {
      Tcb*& t = texts[i];
      Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
      t = NewText(V, base, MODE_UTF8);
      if (!t) return;
      t->kind = KIND_FILE;
    }
    if (layout == 1) {
      SelectView(V, texts[0]->number);
      VSplit(V, texts[1]->number);
      SelectView(V, texts[2]->number);
      VSplit(V, texts[3]->number);
    } else if (layout == 2) {
      SelectView(V, texts[0]->number);
      for (int i = 1; i < 4; ++i) HSplit(V, texts[i]->number);
    }
    PrepareView(V);
    if (withFont) setColors();
    ok = true;
  }
  ~Session() { DeInitEditor(v.get()); }
};

// range(0): 0 one view, 1 two pairs, 2 four rows.
void BM_RepaintViews(benchmark::State& state) {
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return;
  }
  crapSetFont(font, "text", kMono, kFontPx, 0, 0, 0);
  if (!crapOpenFontChecked(font).empty()) {
    state.SkipWithError("DejaVu Sans Mono missing (fonts-dejavu-core)");
  } else {
    Session s(200, int(state.range(0)), true);
    S.display = nullptr;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      EditorState* V = s.v.get();
      redraw(V);
      for (auto _ : state) {
        V->redraw |= REDRAW_ALL;
        redraw(V);
      }
      int views = 0;
      for (Tcb* t = V->singleView ? nullptr : V->viewChain; t; t = t->viewNext) ++views;
      state.counters["views"] = views ? views : 1;
    }
  }
  crapDeinit();
}

// range(0): lines of the text.  Each iteration types a line break (or takes
// it back) through the main text's view far above the duplicate's cursor,
// untimed (the undo log's own bookkeeping is not what is measured), then
// switches to the duplicate and back.
void BM_SwitchToDuplicateAfterEdit(benchmark::State& state) {
  const int count = int(state.range(0));
  Session s(count, 0, false, 1);
  if (!s.ok) {
    state.SkipWithError("editor did not start");
    return;
  }
  EditorState* V = s.v.get();
  Tcb* main = s.texts[0];
  SelectView(V, main->number);
  Tcb* dup = OpenDup(V, main->number);
  int n = cmd::LastLine;
  DoCommand(V, &n);  // the duplicate's cursor at the end
  SelectView(V, main->number);
  HSplit(V, dup->number);
  bool down = true;
  for (auto _ : state) {
    state.PauseTiming();
    HandleKey(V, CMD_BASE + (down ? cmd::NewLine : cmd::Backspace), 0, 0);
    down = !down;
    state.ResumeTiming();
    SelectView(V, dup->number);
    SelectView(V, main->number);
  }
  state.counters["dupLine"] = dup->lineNo;
}

}  // namespace

BENCHMARK(BM_RepaintViews)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"layout"})->Unit(benchmark::kMillisecond);
// A fixed count: the untimed edit costs far more than the switch.
BENCHMARK(BM_SwitchToDuplicateAfterEdit)->Arg(1000)->Arg(1600000)->Iterations(300)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
