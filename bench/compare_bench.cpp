// Compare of two 100,000-line texts in a vertical split, 1 % of the lines
// changed: replaced (range 0), or half of them inserted into the right text
// and half deleted from it (range 1).  Goal: under 2 s.  The counters are
// the lines marked changed and the fillers put in, over both texts.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/typical_text.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "shell/event_loop.h"
#include "tools/compare.h"

namespace {

constexpr int kLines = 100000;
constexpr int kChanged = kLines / 100;

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) out.push_back(text.substr(at, nl - at));
  return out;
}

std::string join(const std::vector<std::string>& lines) {
  std::string s;
  for (auto& l : lines) s += l + "\n";
  return s;
}

std::string changed(const std::vector<std::string>& lines, int kind) {
  std::mt19937 rng(11);
  std::vector<std::string> out = lines;
  for (int i = 0; i < kChanged; i++) {
    const size_t at = rng() % out.size();
    const std::string fresh = "changed line " + std::to_string(i);
    if (kind == 0)
      out[at] = fresh;
    else if (i % 2)
      out.insert(out.begin() + long(at), fresh);
    else
      out.erase(out.begin() + long(at));
  }
  return join(out);
}

struct Pair {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  EditorState* V = v.get();
  Pair(const std::string& a, const std::string& b) {
    InitEditor(V);
    SetMetrics(V, 800, 600, 16, 8, 12);
    V->inputMode = ModeEdit;
    Tcb* left = NewText(V, TextFromBytes(V, a.data(), a.size(), 0, MODE_UTF8), MODE_UTF8);
    Tcb* right = NewText(V, TextFromBytes(V, b.data(), b.size(), 0, MODE_UTF8), MODE_UTF8);
    SelectView(V, left->number);
    VSplit(V, right->number);
  }
  ~Pair() { DeInitEditor(V); }
  int marked() {
    int n = 0;
    for (const Tcb* t : {V->curTcb, V->curTcb->vsplitRight})
      for (const Link* l = t->base->next(); !IsBase(l); l = l->next()) n += (l->word & (LINK_DIFF_A | LINK_DIFF_B)) != 0;
    return n;
  }
};

void BM_Compare(benchmark::State& state) {
  const std::string a = TypicalText(kLines);
  const std::string b = changed(split(a), int(state.range(0)));
  int marked = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto p = std::make_unique<Pair>(a, b);
    state.ResumeTiming();
    Compare(p->V);
    state.PauseTiming();
    marked = p->marked();
    p.reset();
    state.ResumeTiming();
  }
  state.counters["marked"] = marked;
}
BENCHMARK(BM_Compare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
