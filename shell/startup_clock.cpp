#include "shell/startup_clock.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Clock {
  timespec origin{};
  bool steps = false;      // VEXOR_TIME_STARTUP
  bool firstPaint = false; // VEXOR_TIME_FIRST_PAINT
  bool exitAfter = false;  // VEXOR_EXIT_AFTER_FIRST_PAINT
  bool painted = false;
  bool complete = false;
  bool exitTold = false;
};

Clock C;

bool envOn(const char* name) {
  const char* v = std::getenv(name);
  return v && *v && std::strcmp(v, "0") != 0;
}

double sinceOrigin() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec - C.origin.tv_sec) * 1e3 + double(now.tv_nsec - C.origin.tv_nsec) / 1e6;
}

}  // namespace

void StartupClockBegin() {
  clock_gettime(CLOCK_MONOTONIC, &C.origin);
  C.steps = envOn("VEXOR_TIME_STARTUP");
  C.firstPaint = envOn("VEXOR_TIME_FIRST_PAINT");
  C.exitAfter = envOn("VEXOR_EXIT_AFTER_FIRST_PAINT");
}

void StartupStep(const char* step) {
  if (C.steps) std::fprintf(stderr, "vexor: %8.3f ms %s\n", sinceOrigin(), step);
}

void StartupFirstPaint() {
  if (C.painted) return;
  C.painted = true;
  if (C.firstPaint || C.steps) std::fprintf(stderr, "vexor: first paint %.3f ms\n", sinceOrigin());
}

bool StartupPainted() { return C.painted; }

void StartupTextComplete() {
  if (C.complete) return;
  C.complete = true;
  if (C.firstPaint || C.steps)
    std::fprintf(stderr, "vexor: last line stored %.3f ms\n", sinceOrigin());
}

bool StartupExitDue() {
  if (!C.exitAfter || C.exitTold || !C.painted || !C.complete) return false;
  C.exitTold = true;
  return true;
}
