// The PDF writer: objects, offsets and the cross-reference table.
#include "print/pdf_writer.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

namespace {

int mediax, mediay;
int prtleft, prtbot, prtwidth, prtheight;
int xres, yres;
int page;
uint64_t byteCount;
// Offset of object n at index n - 1.
std::vector<uint64_t> xrefs;

void add(std::string& out, const char* text) {
  const size_t before = out.size();
  out += text;
  byteCount += out.size() - before;
}

template <typename... Args>
void addf(std::string& out, const char* format, Args... args) {
  char line[128];
  const int n = std::snprintf(line, sizeof line, format, args...);
  out.append(line, size_t(n));
  byteCount += uint64_t(n);
}

void record() { xrefs.push_back(byteCount); }

// Millimetres to points, rounded to the nearest point.
int points(int mm) { return (mm * 2834 + 500) / 1000; }

uint64_t imageBytes() { return 2 * uint64_t(xres) * uint64_t(yres); }

}  // namespace

void pdfSetup(int width, int height, int top, int left, int bottom, int right) {
  mediax = width;
  mediay = height;
  prtleft = points(left);
  prtbot = points(bottom);
  prtwidth = width - points(right) - prtleft;
  prtheight = height - points(top) - prtbot;
}

int pdfAreaWidth() { return prtwidth; }
int pdfAreaHeight() { return prtheight; }
uint64_t pdfBytes() { return byteCount; }

void pdfStart(std::string& out, int width, int height, int pages) {
  byteCount = 0;
  page = 0;
  xres = width;
  yres = height;
  xrefs.clear();
  add(out, "%PDF-1.7\n%xxxxxx\n\n");
  record();
  add(out, "1 0 obj\n  << /Type /Catalog\n     /Pages 2 0 R\n  >>\nendobj\n\n");
  record();
  add(out, "2 0 obj\n  << /Type /Pages\n     /Kids [3 0 R\n");
  for (int i = 1; i < pages; i++) addf(out, "            %d 0 R\n", 4 * i + 3);
  add(out, "            ]\n");
  addf(out, "     /Count %d\n", pages);
  addf(out, "     /MediaBox [0 0 %d %d]\n", mediax, mediay);
  add(out, "  >>\nendobj\n\n");
}

void pdfPrePage(std::string& out) {
  const int k = page;
  record();
  addf(out, "%d 0 obj\n", 4 * k + 3);
  add(out, "  << /Type /Page\n     /Parent 2 0 R\n");
  addf(out, "     /CropBox [0 0 %d %d]\n", mediax, mediay);
  addf(out, "     /Resources %d 0 R\n", 4 * k + 4);
  addf(out, "     /Contents %d 0 R\n", 4 * k + 6);
  add(out, "  >>\nendobj\n\n");
  record();
  addf(out, "%d 0 obj\n", 4 * k + 4);
  add(out, "  << /ProcSet [ /PDF /ImageB ]\n");
  addf(out, "     /XObject << /Im%d %d 0 R >>\n", k + 1, 4 * k + 5);
  add(out, "  >>\nendobj\n\n");
  record();
  addf(out, "%d 0 obj\n", 4 * k + 5);
  add(out, "  << /Type /XObject\n     /Subtype /Image\n");
  addf(out, "     /Width %d\n", xres);
  addf(out, "     /Height %d\n", yres);
  add(out, "     /ColorSpace /DeviceGray\n     /BitsPerComponent 8\n");
  addf(out, "     /Length %" PRIu64 "\n", imageBytes() + 1);
  add(out, "     /Filter /ASCIIHexDecode\n  >>\nstream\n");
}

void pdfPostPage(std::string& out) {
  const int k = page;
  byteCount += imageBytes();
  add(out, ">\nendstream\nendobj\n\n");
  record();
  char cm[96];
  const int cmLen =
      std::snprintf(cm, sizeof cm, "  %d 0 0 %d %d %d cm\n", prtwidth, prtheight, prtleft, prtbot);
  char doLine[32];
  const int doLen = std::snprintf(doLine, sizeof doLine, "  /Im%d Do\n", k + 1);
  addf(out, "%d 0 obj\n", 4 * k + 6);
  addf(out, "  << /Length %d >>\n", 4 + cmLen + doLen + 4);
  add(out, "stream\n  q\n");
  add(out, cm);
  add(out, doLine);
  add(out, "  Q\nendstream\nendobj\n\n");
  page++;
}

void pdfFinish(std::string& out) {
  const uint64_t x = byteCount;
  const size_t n = xrefs.size();
  add(out, "xref\n");
  addf(out, "0 %zu\n", n + 1);
  add(out, "0000000000 65535 f \n");
  for (uint64_t offset : xrefs) addf(out, "%010" PRIu64 " 00000 n \n", offset);
  add(out, "trailer\n  << /Root 1 0 R\n");
  addf(out, "     /Size %zu\n", n + 1);
  add(out, "  >>\nstartxref\n");
  addf(out, "%" PRIu64 "\n", x);
  add(out, "%%EOF\n");
}
