// Cost of the configuration file and of macros:
// - reading a full 64 KiB file (the key table full with 512 assignments,
//   every colour role, all defaults, fonts and print settings, the rest
//   colour lines), from memory and from the disk;
// - saving it, flushed to the disk;
// - replaying a macro of 249 codes (typing, cursor and line commands) in a
//   100,000-line text, reported per code ("per_code", in seconds); with
//   /1 a tenth of the codes split lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "bench/typical_text.h"
#include "config/colors.h"
#include "config/config_file.h"
#include "config/fonts.h"
#include "config/key_edit.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/handlers.h"
#include "shell/key_table.h"
#include "shell/macros.h"

namespace {

// Never the user's own settings: a scratch folder unless one is given.
const bool scratchFolder = [] {
  if (const char* set = std::getenv("VEXOR_CONFIG_DIR"); set && *set) return false;
  static char dir[] = "/tmp/vexor-bench-cfg-XXXXXX";
  if (!mkdtemp(dir)) return false;
  setenv("VEXOR_CONFIG_DIR", dir, 1);
  std::atexit([] { rmdir(dir); });
  return true;
}();

struct Editor {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  EditorState* V = v.get();
  Editor() {
    InstallHandlers();
    InitEditor(V);
    SetMetrics(V, 800, 600, 16, 8, 12);
    V->inputMode = ModeEdit;
  }
  ~Editor() { DeInitEditor(V); }
};

// Every setting changed, the key table filled up, padded to 64 KiB.
std::string fullFile(EditorState* V) {
  std::mt19937 rng(5);
  ResetKeyTable();
  auto full = [] {
    if (*keymax() < kKeyTabWords) return false;
    for (int i = 0; i < *keymax(); i += 2)
      if (keytab()[i] == 0) return false;
    return true;
  };
  for (int tries = 0; tries < 1000000 && !full(); tries++) {
    int command = 2 + int(rng() % (kCmdCount - 2));
    if (!IsCommand(command)) continue;
    const int key = 10 + int(rng() % 50);
    const unsigned state = rng() & 0xcd;
    if (add(key, state, command) == 1) add(10 + int(rng() % 50), 0, command);
    insert2key = 0;
  }
  for (auto& c : co) c = rng();
  V->defaults.mode ^= 0x3f7fe;
  V->defaults.winWidth = 1200;
  V->defaults.winHeight = 900;
  V->defaults.leftMargin = 4;
  V->defaults.rightMargin = 100;
  std::string name(120, 'f');
  std::snprintf(fontData.textFontFile, kFontItemSize, "/usr/share/fonts/%s", name.c_str());
  std::snprintf(fontData.menuFontFile, kFontItemSize, "/usr/share/fonts/%s", name.c_str());
  for (size_t i = 0; i < printVal.size(); i++) printVal[i] = uint8_t(itemTxt[i].lowest + 1);
  std::string file = BuildConfig(V);
  while (file.size() + 22 <= kConfigReadMax) file += " Color Tab 0xff102030\n";
  return file;
}

void BM_LoadFromMemory(benchmark::State& state) {
  Editor e;
  const std::string file = fullFile(e.V);
  for (auto _ : state) benchmark::DoNotOptimize(LoadConfigData(e.V, file));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMicrosecond);

void BM_LoadFromDisk(benchmark::State& state) {
  Editor e;
  const std::string file = fullFile(e.V);
  WriteConfigFile(ConfigPath(e.V), file);
  for (auto _ : state) benchmark::DoNotOptimize(LoadConfig(e.V));
  unlink(ConfigPath(e.V).c_str());
  unlink((ConfigPath(e.V) + "~").c_str());
}
BENCHMARK(BM_LoadFromDisk)->Unit(benchmark::kMicrosecond);

void BM_SaveWithFsync(benchmark::State& state) {
  Editor e;
  fullFile(e.V);
  for (auto _ : state) {
    SaveConfig(e.V);
    if (e.V->alertText[0]) state.SkipWithError(e.V->alertText);
  }
  unlink(ConfigPath(e.V).c_str());
  unlink((ConfigPath(e.V) + "~").c_str());
}
BENCHMARK(BM_SaveWithFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MacroReplay(benchmark::State& state) {
  Editor e;
  EditorState* V = e.V;
  const std::string text = TypicalText(100000);
  NewText(V, TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8), MODE_UTF8);
  ALineSet(V, 50000);
  V->toggles |= TGL_INSERT;
  auto key = [V](int code) { HandleKey(V, code, 0, 0); };
  key(CMD_BASE + cmd::MacroRecord);
  key(kMacroKeyBase + 1001);
  // Arg 1 adds line splits, which the undo recorder brackets by counting
  // the text's lines before and after: that count, not the replay, is then
  // most of the cost.
  const int split = state.range(0) ? CMD_BASE + cmd::NewLine : 'f';
  const int codes[] = {'a', 'b', CMD_BASE + cmd::OneDown, 'c', CMD_BASE + cmd::EndOfLine, 'd',
                       CMD_BASE + cmd::Backspace, split, 'e', CMD_BASE + cmd::BegOfLine};
  for (int i = 0; i < kMacroCodes; i++) key(codes[i % 10]);
  key(CMD_BASE + cmd::MacroRecord);
  if (MacroCount(V) != 1) state.SkipWithError("macro not recorded");
  for (auto _ : state) key(kMacroKeyBase + 1001);
  state.counters["per_code"] =
      benchmark::Counter(double(state.iterations()) * kMacroCodes, benchmark::Counter::kIsRate |
                                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_MacroReplay)->Unit(benchmark::kMicrosecond)->Iterations(200)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
