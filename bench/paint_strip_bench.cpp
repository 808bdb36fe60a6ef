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

void paintRow(benchmark::State& state, bool cached) {
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return;
  }
  GlyphFont* f = nullptr;
  crapSetFont(f, "bench", kMono, int(state.range(0)), 0, 0, 0);
  if (!crapOpenFontChecked(f).empty()) {
    crapDeinit();
    state.SkipWithError("DejaVu Sans Mono missing (fonts-dejavu-core)");
    return;
  }
  const std::vector<tchar> text = rowText(kRowPixels / f->charWidth);
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

}  // namespace

BENCHMARK(BM_PaintRowCached)->Arg(16)->Arg(24);
BENCHMARK(BM_PaintRowUncached)->Arg(16)->Arg(24);

BENCHMARK_MAIN();
