// Cost of typing and deleting in a 100,000-line text, without painting:
// 100,000 characters typed or deleted, 10,000 lines split, added or
// deleted, each run timed as a whole and reported per key ("per_key", in
// seconds).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "bench/typical_text.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

constexpr int kLines = 100000;
constexpr int kChars = 100000;
constexpr int kLineKeys = 10000;

// An editor holding kLines lines of program-like text (indented words and
// punctuation, 0-100 characters), the cursor in the middle, insert mode on.
struct Bench {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  EditorState* V = v.get();
  Bench() {
    InitEditor(V);
    SetMetrics(V, 800, 600, 16, 8, 12);
    V->inputMode = ModeEdit;
    const std::string text = TypicalText(kLines);
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    NewText(V, base, MODE_UTF8);
    ALineSet(V, kLines / 2);
    V->curTcb->row = 17;
    V->toggles |= TGL_INSERT;
  }
  ~Bench() { DeInitEditor(V); }
  int onLine = 0;  // characters typed on the current line
  void key(int code) { HandleKey(V, code, 0, 0); }
  void command(int n) { key(CMD_BASE + n); }
};

// Runs `keys` presses made by `step` (which returns how many keys it
// pressed) on a fresh text per iteration; only the presses are timed.  The
// text takes far longer to build than the presses take, so the iterations
// are fixed (below) rather than left to the timer.
template <typename Step>
void run(benchmark::State& state, int keys, Step step, bool wrap = false) {
  int64_t pressed = 0;
  int lines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>();
    if (wrap) b->V->curTcb->mode |= MODE_WRAP;
    std::mt19937 rng(11);
    state.ResumeTiming();
    for (int n = 0; n < keys;) n += step(*b, rng);
    pressed += keys;
    state.PauseTiming();
    lines = CountLines(b->V->curTcb->base);
    b.reset();
    state.ResumeTiming();
  }
  state.counters["per_key"] = benchmark::Counter(double(pressed), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["lines_after"] = lines;  // shows the keys did their work
}

// Words and blanks; every 70 characters the cursor goes to the start of the
// next line (two keys more).
int typeText(Bench& b, std::mt19937& rng) {
  if (++b.onLine >= 70) {
    b.onLine = 0;
    b.command(cmd::OneDown);
    b.command(cmd::BegOfLine);
    return 3;
  }
  b.key(rng() % 6 == 0 ? ' ' : int('a' + rng() % 26));
  return 1;
}

void BM_TypeCharacters(benchmark::State& s) { run(s, kChars, typeText); }

// With word wrap at column 79 the typed text keeps moving onto new lines.
void BM_TypeWithWordWrap(benchmark::State& s) {
  run(
      s, kChars,
      [](Bench& b, std::mt19937& rng) {
        b.key(rng() % 6 == 0 ? ' ' : int('a' + rng() % 26));
        return 1;
      },
      true);
}

void BM_TypeUtf8(benchmark::State& s) {
  static constexpr int kWide[] = {0xe9, 0x3a9, 0x44f, 0x20ac, 0x4e2d, 0x1f600, ' '};
  run(s, kChars, [](Bench& b, std::mt19937& rng) {
    if (++b.onLine >= 70) {
      b.onLine = 0;
      b.command(cmd::OneDown);
      b.command(cmd::BegOfLine);
      return 3;
    }
    b.key(kWide[rng() % std::size(kWide)]);
    return 1;
  });
}

// The worst case: inserting and taking back a character near the start of
// a line of 1000 characters, whose stored size is checked on every change.
void BM_TypeIntoALongLine(benchmark::State& s) {
  run(s, kChars, [](Bench& b, std::mt19937& rng) {
    ActiveLine& a = b.V->aline;
    if (a.count < 1000) {
      for (int i = 0; i < 1000; i++) a.c[i] = i % 6 == 5 ? ' ' : tchar('a' + i % 26);
      a.count = 1000;
      b.V->alineDirty = 1;
      b.V->curTcb->col = 10;
    }
    b.key(int('a' + rng() % 26));
    b.command(cmd::Backspace);
    return 2;
  });
}

// Backspace from the middle of the text upwards: characters, and at each
// line start a join with the line above.
void BM_Backspace(benchmark::State& s) {
  run(s, kChars, [](Bench& b, std::mt19937&) {
    b.command(cmd::Backspace);
    return 1;
  });
}

// DelChr at a line start: the line's characters, then a join with the next.
void BM_DelChr(benchmark::State& s) {
  run(s, kChars, [](Bench& b, std::mt19937&) {
    b.command(cmd::DelChr);
    return 1;
  });
}

void BM_DelRtWord(benchmark::State& s) {
  run(s, kChars / 5, [](Bench& b, std::mt19937&) {
    b.command(cmd::DelRtWord);
    return 1;
  });
}

// Enter in the middle of lines, one line down between splits.
void BM_NewLine(benchmark::State& s) {
  run(s, kLineKeys, [](Bench& b, std::mt19937& rng) {
    b.V->curTcb->col = int(rng() % 40);
    b.command(cmd::NewLine);
    b.command(cmd::OneDown);
    return 2;
  });
}

void BM_AddLine(benchmark::State& s) {
  run(s, kLineKeys, [](Bench& b, std::mt19937&) {
    b.command(cmd::AddLine);
    return 1;
  });
}

void BM_DupLine(benchmark::State& s) {
  run(s, kLineKeys, [](Bench& b, std::mt19937&) {
    b.command(cmd::DupLine);
    return 1;
  });
}

void BM_DelLine(benchmark::State& s) {
  run(s, kLineKeys, [](Bench& b, std::mt19937&) {
    b.command(cmd::DelLine);
    return 1;
  });
}

// Delete and restore: the deleted-line store at its limit of 250.
void BM_DelLineUnDelLine(benchmark::State& s) {
  run(s, kLineKeys, [](Bench& b, std::mt19937&) {
    b.command(cmd::DelLine);
    b.command(cmd::DelLine);
    b.command(cmd::UnDelLine);
    return 3;
  });
}

}  // namespace

BENCHMARK(BM_TypeCharacters)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TypeWithWordWrap)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TypeUtf8)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TypeIntoALongLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Backspace)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DelChr)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DelRtWord)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NewLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DupLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DelLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DelLineUnDelLine)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
