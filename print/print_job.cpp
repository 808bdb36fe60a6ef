// Rendering pages and streaming the document to the print job.
#include "print/print_job.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "display/glyph_renderer.h"
#include "edit/traverse.h"
#include "print/pdf_writer.h"
#include "print/print_raster.h"
#include "print/print_settings.h"

namespace {

constexpr size_t kFlushBytes = 256 * 1024;
// The cross-reference table writes offsets in ten digits.
constexpr uint64_t kLargestOffset = 9999999999ULL;
constexpr const char* kCopyName = "printtest.pdf";

const CupsApi* jobApi = nullptr;
CupsDest* selectedPrinter = nullptr;
int job_id = 0;
bool (*stopPoll)() = nullptr;

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

// Everything sent goes to the job and to the copy, gathered into large
// writes; the document itself is never held.
class Sender {
 public:
  Sender(const CupsApi* api, FILE* copy) : api_(api), copy_(copy) { buf_.reserve(kFlushBytes + 8192); }
  void send(const char* s, size_t n) {
    if (failed_) return;
    buf_.append(s, n);
    if (buf_.size() >= kFlushBytes) flush();
  }
  void send(const std::string& s) { send(s.data(), s.size()); }
  void flush() {
    if (failed_ || buf_.empty()) return;
    if (api_->writeRequestData(nullptr, buf_.data(), buf_.size()) != kHttpContinue) {
      failed_ = true;
      std::printf("error\n");
      std::fflush(stdout);
    }
    if (copy_) std::fwrite(buf_.data(), 1, buf_.size(), copy_);
    buf_.clear();
  }
  bool failed() const { return failed_; }

 private:
  const CupsApi* api_;
  FILE* copy_;
  std::string buf_;
  bool failed_ = false;
};

// What the page counter and the page printer share.
struct Walk {
  bool newPage = true;
  int rowsLeft = 0;
  int pages = 0;
  int printed = 0;  // pages begun by the printer
  int lineHeight = 1;
  int yres = 0;
  int number = 0;  // next line number; 0: no numbering
  bool stopped = false;
  Sender* out = nullptr;
  PrintRaster* raster = nullptr;
  std::string text;      // the writer's output between sends
  std::string white;     // one white raster row
  std::string hex;       // one raster row in hex
  std::vector<tchar> cells;
};

void sendText(Walk& w) {
  w.out->send(w.text);
  w.text.clear();
}

void endPage(Walk& w) {
  for (; w.rowsLeft > 0; w.rowsLeft--) w.out->send(w.white);
  pdfPostPage(w.text);
  sendText(w);
  w.newPage = true;
}

int doCount(EditorState*, ActiveLine*, int, int, void* arg) {
  Walk& w = *static_cast<Walk*>(arg);
  if (w.newPage) {
    w.newPage = false;
    w.rowsLeft = w.yres;
    w.pages++;
  }
  w.rowsLeft -= w.lineHeight;
  if (w.rowsLeft < w.lineHeight) w.newPage = true;
  return 0;
}

int doPrint(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  Walk& w = *static_cast<Walk*>(arg);
  if (w.newPage) {
    w.newPage = false;
    pdfPrePage(w.text);
    sendText(w);
    w.rowsLeft = w.yres;
    w.printed++;
  }
  w.cells.clear();
  if (w.number > 0) {
    // Every printed line takes its number, however long it is.
    char num[16];
    const int n = std::snprintf(num, sizeof num, "%03d ", w.number++);
    for (int i = 0; i < n; i++) w.cells.push_back(tchar(num[i]));
  }
  // The top bit draws each character straight from the font: page-sized
  // glyphs stay out of the screen's glyph cache.
  for (int i = from; i < to; i++) w.cells.push_back(line->c[i] | 0x80000000u);
  w.raster->draw(w.cells.data(), int(w.cells.size()));
  for (int r = 0; r < w.lineHeight; r++) {
    w.raster->hexRow(r, w.hex.data());
    w.out->send(w.hex);
  }
  w.rowsLeft -= w.lineHeight;
  if (w.rowsLeft < w.lineHeight) endPage(w);
  if (stopPoll && stopPoll()) {
    w.stopped = true;
    V->travStop = 1;
  }
  if (w.out->failed()) V->travStop = 1;
  return 0;
}

std::string reasonOf(const CupsApi* api) {
  const char* r = api->lastErrorString ? api->lastErrorString() : nullptr;
  return r && *r ? r : "unknown error";
}

void failed(EditorState* V, const std::string& reason) {
  SetAlert(V, ("Print failed: " + reason).c_str());
}

// The name the job's document carries: never the cipher key after '@'.
std::string documentName(const Tcb* t) {
  std::string name = t ? t->fileName : "";
  if (const size_t at = name.find('@'); at != std::string::npos) name.resize(at);
  return name;
}

// Every byte the document will take, found before anything is sent.
uint64_t documentSize(int pages, int xres, int yres) {
  const uint64_t perPage = 2 * uint64_t(xres) * uint64_t(yres) + 1024;
  return uint64_t(pages) * (perPage + 40) + 4096;
}

int charBytes(tchar c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

struct Counted {
  long count = 0;
  int lineEnds = 0;
};

int doCharCount(EditorState*, ActiveLine* line, int from, int to, void* arg) {
  Counted& c = *static_cast<Counted*>(arg);
  for (int i = from; i < to; i++) c.count += charBytes(line->c[i]);
  c.count += c.lineEnds;
  return 0;
}

}  // namespace

int PaperIndex(int paperSize) { return paperSize >= 0 && paperSize <= 3 ? paperSize : 0; }
int PrintXres() { return printVal[PRINT_DENSITY] * 10; }
int PrintYres() { return PrintXres() * printVal[PRINT_ASPECT] / 100; }
int LastPrintJob() { return job_id; }
void SetPrintStopPoll(bool (*poll)()) { stopPoll = poll; }

void ForgetPrintJob() {
  selectedPrinter = nullptr;
  jobApi = nullptr;
}

void StopPrint(EditorState*) {
  if (job_id != 0 && jobApi && selectedPrinter) jobApi->cancelDestJob(nullptr, selectedPrinter, job_id);
}

void printIt(EditorState* V, const CupsApi* api, CupsDest* dest) {
  if (!api || !dest || !V->curTcb) return;
  if (!pfont || !pfont->face) {
    SetAlert(V, "No print font");
    return;
  }
  const int paper = PaperIndex(printVal[PRINT_PAPERSIZE]);
  pdfSetup(mediaBox[paper][0], mediaBox[paper][1], printVal[PRINT_TOPMARG], printVal[PRINT_LEFTMARG],
           printVal[PRINT_BOTTOMMARG], printVal[PRINT_RIGHTMARG]);
  if (pdfAreaWidth() <= 0 || pdfAreaHeight() <= 0) {
    SetAlert(V, "Margins leave no room to print");
    return;
  }
  const int xres = PrintXres(), yres = PrintYres();
  Walk w;
  w.lineHeight = std::max(pfont->lineHeight, 1);
  w.yres = yres;
  if (xres <= 0 || yres < w.lineHeight) {
    SetAlert(V, "Page too small for one line");
    return;
  }
  // The page tree lists every page in advance: count them first.
  Traverse(V, TRAV_USE_BLOCK, doCount, &w);
  const int pages = std::max(w.pages, 1);
  if (documentSize(pages, xres, yres) > kLargestOffset) {
    SetAlert(V, "Too many pages to print");
    return;
  }

  jobApi = api;
  selectedPrinter = dest;
  CupsOption* options = nullptr;
  int num_options = api->addOption("copies", "1", 0, &options);
  if (paper != 0) num_options = api->addOption("media", mediaType[paper], num_options, &options);
  num_options = api->addOption("sides", "one-sided", num_options, &options);
  CupsDestInfo* info = api->copyDestInfo(nullptr, dest);
  int newJob = 0;
  if (api->createDestJob(nullptr, dest, info, &newJob, "vexor", num_options, options) > kIppOkLast ||
      newJob == 0) {
    failed(V, reasonOf(api));
    api->freeDestInfo(info);
    api->freeOptions(num_options, options);
    return;
  }
  job_id = newJob;
  const std::string name = documentName(V->curTcb);
  if (api->startDestDocument(nullptr, dest, info, job_id, name.empty() ? nullptr : name.c_str(),
                             "application/pdf", 0, nullptr, 1) != kHttpContinue) {
    const std::string reason = reasonOf(api);
    api->cancelDestJob(nullptr, dest, job_id);
    failed(V, reason);
    api->freeDestInfo(info);
    api->freeOptions(num_options, options);
    return;
  }
  // An enciphered text is never left on disk as a plain picture of itself;
  // a copy that cannot be written is done without.
  std::unique_ptr<FILE, FileCloser> copy;
  if (name.size() == std::strlen(V->curTcb->fileName)) copy.reset(std::fopen(kCopyName, "wb"));

  Sender out(api, copy.get());
  PrintRaster raster(pfont, xres);
  w.out = &out;
  w.raster = &raster;
  w.white = WhiteRow(xres);
  w.hex.assign(size_t(xres) * 2, 'f');
  pdfStart(w.text, xres, yres, pages);
  sendText(w);
  const BlockRecord& b = V->blk;
  // The block's first line numbers the lines only when the block is printed.
  const bool blockPrinted = b.blkTcb && b.blkTcb == V->curTcb;
  w.number = printVal[PRINT_LINENUM] == 0 ? 0 : blockPrinted && b.startLine > 0 ? b.startLine : 1;
  w.newPage = true;
  w.pages = 0;
  Traverse(V, TRAV_USE_BLOCK, doPrint, &w);
  if (!w.newPage) endPage(w);
  // A walk that met no line (an empty text) still makes the page the tree
  // announced.
  for (; !w.stopped && !out.failed() && w.printed < pages; w.printed++) {
    pdfPrePage(w.text);
    sendText(w);
    w.rowsLeft = yres;
    endPage(w);
  }
  pdfFinish(w.text);
  sendText(w);
  out.flush();
  const bool writeFailed = out.failed();
  const bool finished = api->finishDestDocument(nullptr, dest, info) <= kIppOkLast;
  if (writeFailed || !finished) {
    const std::string reason = reasonOf(api);
    api->cancelDestJob(nullptr, dest, job_id);
    failed(V, reason);
  } else {
    std::printf("Document sent\n");
    std::fflush(stdout);
    if (w.stopped) {
      StopPrint(V);
      SetAlert(V, "Print stopped");
    } else {
      SetAlert(V, "Document sent");
    }
  }
  api->freeDestInfo(info);
  api->freeOptions(num_options, options);
}

void charCount(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t) return;
  Counted c;
  c.lineEnds = ((t->mode & MODE_CR) ? 1 : 0) + ((t->mode & MODE_LF) ? 1 : 0);
  c.count = -c.lineEnds;
  Traverse(V, TRAV_USE_BLOCK | TRAV_BACKWARDS | TRAV_FROM_CURSOR | TRAV_AT_CURSOR, doCharCount, &c);
  char msg[48];
  std::snprintf(msg, sizeof msg, "Count: %ld", std::max(c.count, 0L));
  SetAlert(V, msg);
}
