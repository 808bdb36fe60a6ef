// Printing a whole text: the pages rendered and streamed, with the seconds,
// the document's bytes and the peak memory.
//
//   bench_print_bench render FILE           through a print server stand-in
//                                           that only counts the bytes
//   bench_print_bench cups FILE PRINTER     to a real printer (CUPS_SERVER)
//
// Run from a scratch folder: the copy "printtest.pdf" is written there.
// scripts/bench-print.sh runs both against a private print server.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "config/fonts.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/glyph_renderer.h"
#include "print/cups_api.h"
#include "print/pdf_writer.h"
#include "print/print_job.h"
#include "print/print_settings.h"

namespace {

double seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

long peakKiB() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

// A server that takes every byte and keeps none.
uint64_t received = 0;
char destName[] = "counter";
CupsDest counterDest{destName, nullptr, 0, 0, nullptr};
CupsOption noOption{};
const CupsApi kCounter = {
    [](void*, CupsDest** d) { *d = &counterDest; return 1; },
    [](const char*, const char*, int n, CupsOption** o) { *o = &noOption; return n + 1; },
    [](void*, CupsDest*) { return static_cast<CupsDestInfo*>(nullptr); },
    [](void*, CupsDest*, CupsDestInfo*, int* job, const char*, int, CupsOption*) { *job = 1; return 0; },
    [](void*, CupsDest*, CupsDestInfo*, int, const char*, const char*, int, CupsOption*, int) { return 100; },
    [](void*, const char*, size_t n) { received += n; return 100; },
    [](void*, CupsDest*, CupsDestInfo*) { return 0; },
    [](void*, CupsDest*, int) { return 0; },
    [](CupsDestInfo*) {},
    [](int, CupsOption*) {},
    [](int, CupsDest*) {},
    [] { return ""; },
};

}  // namespace

int main(int argc, char** argv) {
  const bool render = argc == 3 && !std::strcmp(argv[1], "render");
  const bool cups = argc == 4 && !std::strcmp(argv[1], "cups");
  if (!render && !cups) {
    std::fprintf(stderr, "usage: %s render FILE | cups FILE PRINTER\n", argv[0]);
    return 2;
  }
  auto V = std::make_unique<EditorState>();
  InitEditor(V.get());
  SetMetrics(V.get(), 800, 600, 16, 8, 12);
  Tcb* t = OpenText(V.get(), argv[2], MODE_UTF8);
  if (!t) {
    std::fprintf(stderr, "cannot open %s\n", argv[2]);
    return 1;
  }
  const int lines = CountLines(t->base);
  crapInit(nullptr, 0);
  fontsSet(V.get(), printVal[PRINT_FONTSIZE]);
  if (render) SetCupsStandIn(&kCounter);
  const CupsApi* api = LoadCups();
  if (!api) {
    std::fprintf(stderr, "no CUPS library\n");
    return 1;
  }
  CupsDest* dests = nullptr;
  const int n = api->getDests2(nullptr, &dests);
  CupsDest* dest = nullptr;
  for (int i = 0; i < n; i++)
    if (render || !std::strcmp(dests[i].name, argv[3])) dest = &dests[i];
  if (!dest) {
    std::fprintf(stderr, "no printer %s\n", cups ? argv[3] : "");
    return 1;
  }
  const long startKiB = peakKiB();
  const auto t0 = std::chrono::steady_clock::now();
  printIt(V.get(), api, dest);
  const double s = seconds(t0);
  const uint64_t bytes = pdfBytes();
  const int pages = (PrintYres() / pfont->lineHeight) > 0
                        ? (lines + PrintYres() / pfont->lineHeight - 1) / (PrintYres() / pfont->lineHeight)
                        : 0;
  std::printf("%-6s %d lines  %d pages  %.2f s  %.1f pages/s  %llu bytes (%.2f MB a page)  peak %ld KiB (%ld KiB before printing)  [%s]\n",
              argv[1], lines, pages, s, pages / s, static_cast<unsigned long long>(bytes),
              bytes / 1e6 / (pages ? pages : 1), peakKiB(), startKiB, V->alertText);
  api->freeDests(n, dests);
  crapDeinit();
  DeInitEditor(V.get());
  return std::strcmp(V->alertText, "Document sent") == 0 ? 0 : 1;
}
