// A page of CJK and a page of emoji, drawn from the fallback fonts, against
// a page of ASCII from the text font: full repaints of a 1920 x 1080 window
// into the glyph strip (no display), with the glyphs cached (repaint) and
// with the glyph cache and the fallback faces dropped first (first paint).
// fontconfig sees only the fallback test packages when they are installed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "config/colors.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/fallback_fonts.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/screen.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

void appendUtf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xc0 | (c >> 6));
    s += char(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    s += char(0xe0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3f));
    s += char(0x80 | (c & 0x3f));
  } else {
    s += char(0xf0 | (c >> 18));
    s += char(0x80 | ((c >> 12) & 0x3f));
    s += char(0x80 | ((c >> 6) & 0x3f));
    s += char(0x80 | (c & 0x3f));
  }
}

// 200 lines of 300 characters: ASCII text, common ideographs (about 2000
// different ones on a page), or emoji (the 80 faces and 256 pictographs).
std::string pageText(int kind) {
  std::string text;
  uint32_t n = 0;
  for (int row = 0; row < 200; ++row) {
    for (int col = 0; col < 300; ++col, ++n) {
      if (kind == 0)
        appendUtf8(text, char32_t(col % 9 == 8 ? ' ' : 'a' + (n * 7) % 26));
      else if (kind == 1)
        appendUtf8(text, char32_t(0x4e00 + (n * 37) % 2048));
      else
        appendUtf8(text, char32_t(n % 2 ? 0x1f600 + n % 80 : 0x1f300 + n % 256));
    }
    text += '\n';
  }
  return text;
}

struct Session {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  bool ok = false;

  explicit Session(int kind) {
    EditorState* V = v.get();
    if (!InitEditor(V)) return;
    V->inputMode = 1;
    SetMetrics(V, kWidth, kHeight, font->lineHeight, font->charWidth, font->ascent);
    const std::string text = pageText(kind);
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    Tcb* t = NewText(V, base, MODE_UTF8);
    if (!t) return;
    t->kind = KIND_FILE;
    PrepareView(V);
    setColors();
    ok = true;
  }
  ~Session() { DeInitEditor(v.get()); }
};

// The fallback test packages' folders only, when they are there.
void pinFonts() {
  const std::string root = "/usr/share/fonts/truetype/";
  for (const char* d : {"wqy", "freefont", "ancient-scripts", "noto"})
    if (!std::filesystem::exists(root + d)) return;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vexor-fallback-bench";
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / "fonts.conf");
  out << "<?xml version=\"1.0\"?>\n<fontconfig>\n";
  for (const char* d : {"dejavu", "wqy", "freefont", "ancient-scripts", "noto"})
    out << "  <dir>" << root << d << "</dir>\n";
  out << "  <cachedir>" << (dir / "cache").string() << "</cachedir>\n</fontconfig>\n";
  out.close();
  setenv("FONTCONFIG_FILE", (dir / "fonts.conf").c_str(), 1);
  FallbackFontsRestart();
}

// range(0): 0 ASCII, 1 CJK, 2 emoji; range(1): 1 repaint with the glyphs
// cached, 0 first paint.  The time column is milliseconds per paint.
void BM_FallbackPage(benchmark::State& state) {
  pinFonts();
  if (!crapInitChecked(nullptr, 0).empty()) {
    state.SkipWithError("renderer did not start");
    return;
  }
  crapSetFont(font, "text", kMono, 18, 0, 0, 0);
  if (!crapOpenFontChecked(font).empty()) {
    state.SkipWithError("DejaVu Sans Mono missing (fonts-dejavu-core)");
  } else {
    Session s(int(state.range(0)));
    S.display = nullptr;
    if (!s.ok) {
      state.SkipWithError("editor did not start");
    } else {
      const bool cached = state.range(1) != 0;
      redraw(s.v.get());  // fontconfig's answers and, for repaints, the glyphs
      const uint64_t lookups = FallbackLookups();
      for (auto _ : state) {
        if (!cached) crapClearCache();
        s.v->redraw |= REDRAW_ALL;
        redraw(s.v.get());
      }
      // fontconfig searched while timing: none, the answers are kept.
      state.counters["fc lookups"] = double(FallbackLookups() - lookups);
    }
  }
  crapDeinit();
}

}  // namespace

BENCHMARK(BM_FallbackPage)
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->ArgNames({"page", "cached"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
