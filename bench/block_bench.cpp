// Cost of the block commands on a 1,000,000-line text: copying, moving,
// deleting and restoring a 100,000-line block, copying it into the paste
// buffer and pasting a copy, and copying a 10-column block over 100,000
// lines, each then undone and redone.  Every step is timed on its own
// (milliseconds per run).  "copy_ratio" is the arena the buffer or the undo
// log took for its copy, over the stored size of the lines copied.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "bench/typical_text.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

constexpr int kLines = 1000000;
constexpr int kBlockFirst = 400001;
constexpr int kBlockLines = 100000;
constexpr int kTarget = 700000;

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
    V->toggles |= TGL_INSERT;
  }
  ~Bench() { DeInitEditor(V); }
  void command(int n) { HandleKey(V, CMD_BASE + n, 0, 0); }
  void at(int line, int col) {
    ALineSet(V, line);
    V->curTcb->col = col;
  }
  // A line block from column 2 of its first line to column 3 of its last,
  // or a column block of 10 columns.
  void mark(bool column) {
    BlockRecord& b = V->blk;
    b = BlockRecord{};
    b.blkTcb = b.blkView = V->curTcb;
    b.startLine = kBlockFirst;
    b.endLine = kBlockFirst + kBlockLines - 1;
    b.startCol = column ? 4 : 2;
    b.endCol = column ? 14 : 3;
    b.isColumn = column;
  }
  // Stored bytes of the block's lines, as the arena holds them.
  double blockBytes() {
    double n = 0;
    Link* l = V->curTcb->base->next();
    for (int i = 1; i < kBlockFirst; i++) l = l->next();
    for (int i = 0; i < kBlockLines; i++, l = l->next()) n += LinkSize(l->len());
    return n;
  }
  double arenaBytes() { return double(V->memBlocks) * kBlockSize - double(V->mem.limit - V->mem.next); }
};

using Step = std::function<void(Bench&)>;

// `before` runs untimed, then `timed` is measured; the text is built afresh
// for every run.
void run(benchmark::State& state, const Step& before, const Step& timed, bool ratio = false) {
  double copyRatio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<Bench>();
    before(*b);
    const double stored = ratio ? b->blockBytes() : 0;
    const double arena = b->arenaBytes();
    state.ResumeTiming();
    timed(*b);
    state.PauseTiming();
    if (ratio) copyRatio = (b->arenaBytes() - arena) / stored;
    b.reset();
    state.ResumeTiming();
  }
  if (ratio) state.counters["copy_ratio"] = copyRatio;
}

Step cmdStep(int n) {
  return [n](Bench& b) { b.command(n); };
}

Step seq(std::initializer_list<Step> steps) {
  std::vector<Step> v(steps);
  return [v](Bench& b) {
    for (auto& s : v) s(b);
  };
}

Step markAndGo(bool column) {
  return [column](Bench& b) {
    b.mark(column);
    b.at(kTarget, 1);
  };
}

const Step undo = cmdStep(cmd::Undo);
const Step redo = cmdStep(cmd::Redo);

struct Case {
  const char* name;
  Step before;
  Step timed;
  bool ratio;
};

void registerAll() {
  const Step copy = cmdStep(cmd::CopyBlock), move = cmdStep(cmd::MoveBlock), del = cmdStep(cmd::DeleteBlock);
  const Step undel = cmdStep(cmd::UnDeleteBlock), toBuf = cmdStep(cmd::CopyToBuf);
  const Step paste = cmdStep(cmd::PasteCopyFromBuf);
  const Step line = markAndGo(false), col = markAndGo(true);
  const Step delAt = [](Bench& b) {
    b.mark(false);
    b.at(kBlockFirst, 2);
  };
  const Step toTarget = [](Bench& b) { b.at(kTarget, 1); };
  const Case cases[] = {
      {"CopyBlock", line, copy, false},
      {"CopyBlock/Undo", seq({line, copy}), undo, false},
      {"CopyBlock/Redo", seq({line, copy, undo}), redo, false},
      {"MoveBlock", line, move, false},
      {"MoveBlock/Undo", seq({line, move}), undo, false},
      {"MoveBlock/Redo", seq({line, move, undo}), redo, false},
      {"DeleteBlock", delAt, del, true},
      {"DeleteBlock/Undo", seq({delAt, del}), undo, false},
      {"DeleteBlock/Redo", seq({delAt, del, undo}), redo, false},
      {"UnDeleteBlock", seq({delAt, del, toTarget}), undel, false},
      {"UnDeleteBlock/Undo", seq({delAt, del, toTarget, undel}), undo, false},
      {"UnDeleteBlock/Redo", seq({delAt, del, toTarget, undel, undo}), redo, false},
      {"CopyToBuf", line, toBuf, true},
      {"PasteCopyFromBuf", seq({line, toBuf}), paste, false},
      {"PasteCopyFromBuf/Undo", seq({line, toBuf, paste}), undo, false},
      {"PasteCopyFromBuf/Redo", seq({line, toBuf, paste, undo}), redo, false},
      {"ColumnCopy10", col, copy, false},
      {"ColumnCopy10/Undo", seq({col, copy}), undo, false},
      {"ColumnCopy10/Redo", seq({col, copy, undo}), redo, false},
  };
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name, [c](benchmark::State& s) { run(s, c.before, c.timed, c.ratio); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
