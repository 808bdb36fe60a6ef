// Composing one full 1920-pixel row of text in the glyph strip, without a
// display: the cost the painter pays per screen row before XPutImage.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "display/glyph_renderer.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kRowPixels = 1920;

// A row of source text, as many cells as fill 1920 pixels.
std::vector<tchar> rowText(int cells) {
  const std::string sample =
      "    for (int i = 0; i < count; ++i) total += weights[i] * values[i]; // sum it up ";
  std::vector<tchar> out;
  for (int i = 0; i < cells; ++i) out.push_back(static_cast<unsigned char>(sample[i % sample.size()]));
  return out;
}

// A row of characters above U+FFFF: emoji and mathematical letters.
std::vector<tchar> wideText(int cells) {
  std::vector<tchar> out;
  for (int i = 0; i < cells; ++i) out.push_back(i % 2 ? tchar(0x1F600 + i % 80) : tchar(0x1D400 + i % 52));
  return out;
}

// The renderer with the pinned font at the benchmark's size; null (and the
// benchmark skipped) when either is missing.
GlyphFont* openFont(benchmark::State& state) {
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return nullptr;
  }
  GlyphFont* f = nullptr;
  crapSetFont(f, "bench", kMono, int(state.range(0)), 0, 0, 0);
  if (!crapOpenFontChecked(f).empty()) {
    crapDeinit();
    state.SkipWithError("DejaVu Sans Mono missing (fonts-dejavu-core)");
    return nullptr;
  }
  return f;
}

void paintRow(benchmark::State& state, bool cached, bool wide = false) {
  GlyphFont* f = openFont(state);
  if (!f) return;
  const int cells = kRowPixels / f->charWidth;
  const std::vector<tchar> text = wide ? wideText(cells) : rowText(cells);
  crapText(nullptr, 0, f, 0x000000, 0xffffff, 0, 0, text.data(), int(text.size()));
  for (auto _ : state) {
    if (!cached) crapClearCache();
    benchmark::DoNotOptimize(
        crapText(nullptr, 0, f, 0x000000, 0xffffff, 0, 0, text.data(), int(text.size())));
  }
  state.counters["rows/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cells"] = double(text.size());
  crapDeinit();
}

void BM_PaintRowCached(benchmark::State& state) { paintRow(state, true); }
void BM_PaintRowUncached(benchmark::State& state) { paintRow(state, false); }
void BM_PaintRowWideCached(benchmark::State& state) { paintRow(state, true, true); }

// The text rows' way: a row of cells in two colour runs, as the painter
// composes a row with a search hit.
void paintCells(benchmark::State& state, bool wide) {
  GlyphFont* f = openFont(state);
  if (!f) return;
  const int cw = f->charWidth;
  const int cells = kRowPixels / cw;
  const std::vector<tchar> text = wide ? wideText(cells) : rowText(cells);
  const int half = cells / 2;
  auto row = [&] {
    int x = crapCellsAt(f, 0x1a1a1a, 0xfdf6e3, 0, text.data(), half, cw);
    x += crapCellsAt(f, 0x2aa198, 0x073642, x, text.data() + half, cells - half, cw);
    return x;
  };
  row();
  for (auto _ : state) benchmark::DoNotOptimize(row());
  state.counters["rows/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  crapDeinit();
}

void BM_PaintCells(benchmark::State& state) { paintCells(state, false); }
void BM_PaintCellsWide(benchmark::State& state) { paintCells(state, true); }

}  // namespace

BENCHMARK(BM_PaintRowCached)->Arg(16)->Arg(24);
BENCHMARK(BM_PaintRowUncached)->Arg(16)->Arg(24);
BENCHMARK(BM_PaintRowWideCached)->Arg(16);
BENCHMARK(BM_PaintCells)->Arg(16)->Arg(24)->Arg(50);
BENCHMARK(BM_PaintCellsWide)->Arg(16);

BENCHMARK_MAIN();
