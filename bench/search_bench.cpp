// Search, replace-all, fuzzy search and bracket matching over a large text.
//
//   bench_search_bench FILE      open FILE, then time each run below
//
// The text is expected to hold no "zqxjvw" (the missed searches), the word
// "qmark" on the lines to replace, "(" on its first line and ")" on its
// last; scripts/bench-search.sh makes such a file and times other tools on
// it in the same run.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "search/search.h"

namespace {

double seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

void top(EditorState* V) {
  ALineSet(V, 1);
  V->curTcb->col = 0;
}

double search(EditorState* V, const char* label, const char* text, const char* opts, bool replace = false,
              const char* with = "") {
  top(V);
  std::snprintf(V->searchText, sizeof V->searchText, "%s", text);
  std::snprintf(V->replaceText, sizeof V->replaceText, "%s", with);
  std::snprintf(V->searchOpts, sizeof V->searchOpts, "%s", opts);
  V->replaceMode = replace;
  V->alertText[0] = 0;
  const auto t0 = std::chrono::steady_clock::now();
  PreSearch(V);
  SearchNext(V, 1);
  const double s = seconds(t0);
  std::printf("%-34s %.3f s  (%s, line %d)\n", label, s, V->alertText, V->curTcb->lineNo);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  auto V = std::make_unique<EditorState>();
  InitEditor(V.get());
  SetMetrics(V.get(), 800, 600, 16, 8, 12);
  const auto t0 = std::chrono::steady_clock::now();
  Tcb* t = OpenText(V.get(), argv[1], MODE_UTF8);
  if (!t) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  std::printf("open                               %.3f s  (%d lines)\n", seconds(t0), CountLines(t->base));
  search(V.get(), "missed search, options I T", "zqxjvw", " I   T    ");
  search(V.get(), "missed search, W", "zqxjvw", " I   TW   ");
  search(V.get(), "missed search, R", "zqxjvw", "RI   T    ");
  search(V.get(), "missed fuzzy search", "zqxjvwkpfy", " I   T   Z");
  search(V.get(), "replace-all under N", "qmark", " IN  T    ", true, "xmark");

  top(V.get());
  const auto t1 = std::chrono::steady_clock::now();
  Match(V.get(), 0);
  std::printf("%-34s %.3f s  (line %d col %d)\n", "MatchForw from line 1", seconds(t1), t->lineNo, t->col);
  DeInitEditor(V.get());
  return 0;
}
