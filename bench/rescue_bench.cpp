// Rescuing a large modified text against saving it, and the cost of the
// check for a change on disk that comes before every save.
//
//   bench_rescue_bench FILE      FILE read, saved once, rescued once
//
// Driven by scripts/bench-rescue.sh, which also times the real program
// from SIGTERM to its end.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "core/rescue.h"

namespace {

double seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  auto owner = std::make_unique<EditorState>();
  EditorState* V = owner.get();
  InitEditor(V);
  SetMetrics(V, 800, 600, 16, 8, 12);
  Tcb* t = OpenText(V, argv[1], MODE_UTF8);
  if (!t) return 1;

  constexpr int kChecks = 100000;
  auto t0 = std::chrono::steady_clock::now();
  int changed = 0;
  for (int i = 0; i < kChecks; i++) changed += DiskChanged(V, t);
  const double checkNs = seconds(t0) * 1e9 / kChecks;

  t->modified = 1;
  auto t1 = std::chrono::steady_clock::now();
  if (SaveOneText(V) != 0) std::fprintf(stderr, "save failed: %s\n", V->alertText);
  const double saveS = seconds(t1);

  t->modified = 1;
  std::FILE* quiet = std::fopen("/dev/null", "w");
  auto t2 = std::chrono::steady_clock::now();
  const int lost = RescueTexts(V, quiet);
  const double rescueS = seconds(t2);
  std::fclose(quiet);

  std::printf("save %.3f s  rescue %.3f s  disk check %.0f ns (%d changed, %d lost)\n", saveS, rescueS,
              checkNs, changed, lost);
  DeInitEditor(V);
  return lost ? 1 : 0;
}
