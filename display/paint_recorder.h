// An optional sink for what the painter draws.
//
// When a sink is installed the painter hands it every run it paints (a run
// of cells partly on the window already comes in pieces): which
// view, which row, the first column, the colour pair and the characters.
// Tests read the screen this way without a display; nothing in the editor
// depends on a sink being there.  A PaintRecorder collects the runs and
// answers what a cell shows.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct Tcb;

// Row numbers of the two lines above the text rows (text rows count from 0).
constexpr int kRowStatus = -2;
constexpr int kRowHead = -1;  // tab ruler, prompt or alert

// A pair number for a colour that is no pair: the backgrounds of lines that
// a text comparison marked.
constexpr int kPairDiffChanged = 30;
constexpr int kPairDiffFiller = 31;

struct PaintRun {
  Tcb* view;         // the painted view; null for a prompt without a text
  int row;           // kRowStatus, kRowHead or the text row from 0
  int col;           // first column, counted from the view's left edge
  int pair;          // S.pairs index, or one of the kPairDiff values
  uint32_t fg, bg;   // the colours drawn
  std::string text;  // the characters, UTF-8
  int x, y;          // window position of the first cell, y the baseline
  int stripX;        // where the run begins in the glyph strip during the call
  int sent;          // pixels of the run, from its first cell, that went out as
                     // an image: 0 for cells the window shows already and for
                     // blanks sent as a filled rectangle
};

using PaintSink = std::function<void(const PaintRun&)>;

// Installs (or, with an empty function, removes) the sink.
void SetPaintSink(PaintSink sink);
bool PaintSinkSet();
void EmitPaintRun(const PaintRun& run);

// Collects runs while it lives and answers what each cell shows last.
class PaintRecorder {
 public:
  PaintRecorder();
  ~PaintRecorder();
  PaintRecorder(const PaintRecorder&) = delete;
  PaintRecorder& operator=(const PaintRecorder&) = delete;

  const std::vector<PaintRun>& runs() const { return runs_; }
  void clear();

  // The row as painted, one UTF-8 character per cell; cells never painted
  // read as '\0'.  Trailing unpainted cells are left out.
  std::string row(const Tcb* view, int row) const;
  // The row without trailing blanks.
  std::string rowTrimmed(const Tcb* view, int row) const;
  // The pair of a cell, -1 when it was never painted.
  int pairAt(const Tcb* view, int row, int col) const;
  // The number of cells painted in the row.
  int width(const Tcb* view, int row) const;
  // Rows painted for the view, in order.
  std::vector<int> rows(const Tcb* view) const;

 private:
  struct Cell {
    std::string ch;
    int pair = -1;
  };
  using Key = std::pair<const Tcb*, int>;
  std::vector<PaintRun> runs_;
  std::map<Key, std::vector<Cell>> cells_;
  void add(const PaintRun& run);
};
