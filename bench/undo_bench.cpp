// Cost of the undo log: Undo and Redo presses after 20,000 typed
// characters, typing that wraps the ring ten times, and Undo and Redo of
// BlockToUpperCase over 100,000 lines with the memory the log keeps for
// them.  Goals: under 50 us a press, 50 ms for the 100,000 lines, 16 bytes
// a line beyond the lines themselves.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/typical_text.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_ring.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

struct Bench {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  EditorState* V = v.get();
  explicit Bench(int lines) {
    InitEditor(V);
    SetMetrics(V, 800, 600, 16, 8, 12);
    V->inputMode = ModeEdit;
    const std::string text = TypicalText(lines);
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    NewText(V, base, MODE_UTF8);
    ALineSet(V, lines / 2);
    V->toggles |= TGL_INSERT;
  }
  ~Bench() { DeInitEditor(V); }
  void key(int code) { HandleKey(V, code, 0, 0); }
  void command(int n) { key(CMD_BASE + n); }
  // Types n characters, a new line every 60.
  void type(int n) {
    for (int i = 0; i < n; i++) {
      key('a' + i % 26);
      if (i % 60 == 59) command(cmd::NewLine);
    }
  }
  // Presses Undo (or Redo) until the log has no more; the presses made.
  int drain(bool undo) {
    int n = 0;
    for (;; n++) {
      V->alertText[0] = 0;
      command(undo ? cmd::Undo : cmd::Redo);
      if (std::string(V->alertText) == (undo ? "NO Undo" : "NO Redo")) return n;
    }
  }
};

void BM_UndoRedoTyping(benchmark::State& state) {
  int64_t presses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Bench b(10000);
    b.type(20000);
    state.ResumeTiming();
    presses += b.drain(true);
    presses += b.drain(false);
  }
  state.counters["per_press"] = benchmark::Counter(double(presses), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoTyping)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TypingWrapsTheRingTenTimes(benchmark::State& state) {
  int64_t keys = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Bench b(10000);
    state.ResumeTiming();
    int laps = 0;
    uint32_t last = udo::Ring(b.V).head;
    while (laps < 10) {
      b.type(60);
      keys += 61;
      if (udo::Ring(b.V).head < last) laps++;
      last = udo::Ring(b.V).head;
    }
  }
  state.counters["per_key"] = benchmark::Counter(double(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypingWrapsTheRingTenTimes)->Unit(benchmark::kMillisecond)->Iterations(5);

// The case change itself is not timed, only Undo and Redo; the log's
// memory beyond the kept lines' own bytes is reported per line.
void BM_UndoRedoUpperCase100000Lines(benchmark::State& state) {
  double overhead = 0, undoMs = 0, redoMs = 0;
  int runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Bench b(100000);
    b.command(cmd::FirstLine);
    b.command(cmd::BlockToUpperCase);
    // The record and its list of kept lines: what they take beyond the
    // lines' own bytes.
    const uint8_t* rec = b.V->undoArea + udo::Ring(b.V).head - udo::kLinesSize;
    const Link* kept = Link::at(udo::get32(rec + udo::kLinesSize - 4));
    double extra = udo::kLinesSize + LinkSize(0);
    int lines = 0;
    for (const Link* l = kept->next(); l != kept; l = l->next(), lines++) extra += LinkSize(l->len()) - l->len();
    overhead += extra / lines;
    state.ResumeTiming();
    auto t0 = std::chrono::steady_clock::now();
    b.command(cmd::Undo);
    auto t1 = std::chrono::steady_clock::now();
    b.command(cmd::Redo);
    auto t2 = std::chrono::steady_clock::now();
    undoMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
    redoMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
    runs++;
  }
  state.counters["undo_ms"] = undoMs / runs;
  state.counters["redo_ms"] = redoMs / runs;
  state.counters["bytes_per_line"] = overhead / runs;
}
BENCHMARK(BM_UndoRedoUpperCase100000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
