// Storing, folding and expanding typical lines.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/editor_state.h"

namespace {

// Lines of 20-120 characters, some indented, some with UTF-8 letters.
std::vector<ActiveLine> typicalLines(int n) {
  std::mt19937 rng(42);
  std::vector<ActiveLine> out(size_t(std::min(n, 4096)));
  for (auto& l : out) {
    int len = 20 + int(rng() % 101);
    int indent = (rng() % 3 == 0) ? 0 : int(rng() % 5) * 4;
    int i = 0;
    for (; i < indent; i++) l.c[i] = ' ';
    for (; i < len; i++) {
      unsigned r = rng() % 100;
      l.c[i] = r < 16 ? ' ' : r < 19 ? 0xE4 + (r & 1) : r < 20 ? 0x20AC : 'a' + (r % 26);
    }
    l.count = uint16_t(len);
    l.flags = 0;
  }
  return out;
}

void BM_StoreFoldExpand(benchmark::State& state) {
  const int n = int(state.range(0));
  auto samples = typicalLines(n);
  size_t arenaBytes = 0;
  for (auto _ : state) {
    auto V = std::make_unique<EditorState>();
    InitEditor(V.get());
    Link* base = NewBaseLink(V.get());
    Link* last = base;
    ActiveLine work;
    ptrdiff_t startUsed = V->mem.next - V->mem.last;
    int startBlocks = V->memBlocks;
    for (int i = 0; i < n; i++) {
      work = samples[size_t(i) % samples.size()];
      last = AddLine(V.get(), last, &work);
    }
    for (Link* l = base->next(); l != base; l = l->next()) benchmark::DoNotOptimize(GetLine(l, &work));
    arenaBytes = size_t(V->memBlocks - startBlocks) * kBlockSize + size_t(V->mem.next - V->mem.last - startUsed);
    state.PauseTiming();
    DeInitEditor(V.get());
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["lines/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["arena_bytes_per_line"] = double(arenaBytes) / n;
}
BENCHMARK(BM_StoreFoldExpand)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_FoldOnly(benchmark::State& state) {
  auto V = std::make_unique<EditorState>();
  InitEditor(V.get());
  auto samples = typicalLines(4096);
  LineImage img;
  size_t i = 0;
  for (auto _ : state) {
    ActiveLine work = samples[i++ & 4095];
    Tabify(V.get(), &img, &work);
    benchmark::DoNotOptimize(img.word);
  }
  state.SetItemsProcessed(state.iterations());
  DeInitEditor(V.get());
}
BENCHMARK(BM_FoldOnly);

}  // namespace

BENCHMARK_MAIN();
