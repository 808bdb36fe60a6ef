// The painter's optional sink and a recorder built on it.
#include "display/paint_recorder.h"

#include <algorithm>
#include <cstdint>

namespace {

PaintSink sinkFn;

// Length of the UTF-8 sequence that starts with byte b (1 for a stray byte).
int seqLen(unsigned char b) {
  if (b >= 0xf0) return 4;
  if (b >= 0xe0) return 3;
  if (b >= 0xc0) return 2;
  return 1;
}

}  // namespace

void SetPaintSink(PaintSink sink) { sinkFn = std::move(sink); }

bool PaintSinkSet() { return bool(sinkFn); }

void EmitPaintRun(const PaintRun& run) {
  if (sinkFn) sinkFn(run);
}

PaintRecorder::PaintRecorder() {
  SetPaintSink([this](const PaintRun& run) { add(run); });
}

PaintRecorder::~PaintRecorder() { SetPaintSink(nullptr); }

void PaintRecorder::clear() {
  runs_.clear();
  cells_.clear();
}

void PaintRecorder::add(const PaintRun& run) {
  runs_.push_back(run);
  if (run.col < 0) return;
  std::vector<Cell>& line = cells_[Key{run.view, run.row}];
  size_t at = size_t(run.col);
  for (size_t i = 0; i < run.text.size();) {
    const size_t n =
        std::min(size_t(seqLen(static_cast<unsigned char>(run.text[i]))), run.text.size() - i);
    if (line.size() <= at) line.resize(at + 1);
    line[at].ch = run.text.substr(i, n);
    line[at].pair = run.pair;
    i += n;
    ++at;
  }
}

std::string PaintRecorder::row(const Tcb* view, int r) const {
  auto it = cells_.find(Key{view, r});
  if (it == cells_.end()) return {};
  std::string out;
  for (const Cell& c : it->second) out += c.ch.empty() ? std::string(1, '\0') : c.ch;
  return out;
}

std::string PaintRecorder::rowTrimmed(const Tcb* view, int r) const {
  std::string s = row(view, r);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

int PaintRecorder::pairAt(const Tcb* view, int r, int col) const {
  auto it = cells_.find(Key{view, r});
  if (it == cells_.end() || col < 0 || size_t(col) >= it->second.size()) return -1;
  return it->second[size_t(col)].pair;
}

int PaintRecorder::width(const Tcb* view, int r) const {
  auto it = cells_.find(Key{view, r});
  if (it == cells_.end()) return 0;
  int n = 0;
  for (const Cell& c : it->second) n += c.pair >= 0;
  return n;
}

std::vector<int> PaintRecorder::rows(const Tcb* view) const {
  std::vector<int> out;
  for (const auto& [key, cells] : cells_)
    if (key.first == view) out.push_back(key.second);
  return out;
}
