// Cost of one movement key in a 100,000-line text.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "bench/typical_text.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"

namespace {

constexpr int kLines = 100000;

// An editor holding kLines lines of program-like text (indented words and
// punctuation, 0-100 characters), cursor in the middle.
struct Bench {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  EditorState* V = v.get();
  Bench() {
    InitEditor(V);
    SetMetrics(V, 800, 600, 16, 8, 12);
    const std::string text = TypicalText(kLines);
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    NewText(V, base, MODE_UTF8);
    ALineSet(V, kLines / 2);
    V->curTcb->row = 17;
  }
  ~Bench() { DeInitEditor(V); }
};

// Repeats `move` and, whenever it stops having an effect, `back` until that
// stops too, so that every timed step is a real move.
void run(benchmark::State& state, int move, int back) {
  Bench b;
  Tcb* t = b.V->curTcb;
  int fwd = move, rev = back;
  for (auto _ : state) {
    const int line = t->lineNo, col = t->col;
    CursorMove(b.V, fwd);
    if (t->lineNo == line && t->col == col) std::swap(fwd, rev);
    benchmark::DoNotOptimize(t->col);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_OneDownUp(benchmark::State& s) { run(s, MOVE_ONEDOWN, MOVE_ONEUP); }
void BM_OneRightLeft(benchmark::State& s) { run(s, MOVE_ONERIGHT, MOVE_ONELEFT); }
void BM_WordRightLeft(benchmark::State& s) { run(s, MOVE_WORDRIGHT, MOVE_WORDLEFT); }
void BM_PageDownUp(benchmark::State& s) { run(s, MOVE_PAGEDOWN, MOVE_PAGEUP); }
void BM_EndBegOfLine(benchmark::State& s) { run(s, MOVE_ENDOFLINE, MOVE_BEGOFLINE); }
void BM_BottomTopOfScreen(benchmark::State& s) { run(s, MOVE_BOTTOMOFSCRN, MOVE_TOPOFSCRN); }
void BM_LastFirstLine(benchmark::State& s) { run(s, MOVE_LASTLINE, MOVE_FIRSTLINE); }
void BM_IndentDownUp(benchmark::State& s) { run(s, MOVE_INDENTDOWN, MOVE_INDENTUP); }

void BM_ScrollDownUp(benchmark::State& state) {
  Bench b;
  Tcb* t = b.V->curTcb;
  int kind = SCROLL_DOWN;
  for (auto _ : state) {
    const int line = t->lineNo;
    Scroll(b.V, kind);
    if (t->lineNo == line) kind = kind == SCROLL_DOWN ? SCROLL_UP : SCROLL_DOWN;
  }
  state.SetItemsProcessed(state.iterations());
}

// A jump to a line number typed at the prompt, alternating between the two
// quarters of the text.
void BM_GotoLine(benchmark::State& state) {
  Bench b;
  int n = 0;
  for (auto _ : state) {
    b.V->promptNumber = (n++ & 1) ? kLines / 4 : 3 * kLines / 4;
    DoGoto(b.V);
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_OneDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneRightLeft)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordRightLeft)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EndBegOfLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BottomTopOfScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScrollDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndentDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GotoLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LastFirstLine)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
