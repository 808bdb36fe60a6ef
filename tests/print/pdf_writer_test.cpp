// The page-image PDF: exact bytes, offsets that hold with the caller's image
// bytes counted, and documents of any length that a PDF checker accepts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "print/pdf_writer.h"
#include "tests/support/temp_dir.h"

namespace {

// A whole document of `pages` pages, every sample of grey level `grey`.
std::string document(int pages, int xres, int yres, const char* sample = "7f") {
  std::string doc, text;
  pdfStart(text, xres, yres, pages);
  doc += text;
  for (int k = 0; k < pages; k++) {
    text.clear();
    pdfPrePage(text);
    doc += text;
    for (int i = 0; i < xres * yres; i++) doc += sample;
    text.clear();
    pdfPostPage(text);
    doc += text;
  }
  text.clear();
  pdfFinish(text);
  return doc + text;
}

// The offsets of the cross-reference table, in order.
std::vector<uint64_t> xrefOffsets(const std::string& doc) {
  const size_t at = doc.rfind("xref\n0 ");
  std::vector<uint64_t> out;
  size_t line = doc.find('\n', doc.find('\n', at + 5) + 1) + 1;  // after the free entry
  while (doc.compare(line, 7, "trailer") != 0) {
    out.push_back(std::stoull(doc.substr(line, 10)));
    EXPECT_EQ(doc.substr(line + 10, 10), " 00000 n \n");
    line += 20;
  }
  return out;
}

TEST(PdfWriter, OnePageDocumentByteForByte) {
  pdfSetup(595, 842, 10, 7, 10, 7);
  const std::string expected =
      "%PDF-1.7\n%xxxxxx\n\n"
      "1 0 obj\n  << /Type /Catalog\n     /Pages 2 0 R\n  >>\nendobj\n\n"
      "2 0 obj\n  << /Type /Pages\n     /Kids [3 0 R\n            ]\n     /Count 1\n"
      "     /MediaBox [0 0 595 842]\n  >>\nendobj\n\n"
      "3 0 obj\n  << /Type /Page\n     /Parent 2 0 R\n     /CropBox [0 0 595 842]\n"
      "     /Resources 4 0 R\n     /Contents 6 0 R\n  >>\nendobj\n\n"
      "4 0 obj\n  << /ProcSet [ /PDF /ImageB ]\n     /XObject << /Im1 5 0 R >>\n  >>\nendobj\n\n"
      "5 0 obj\n  << /Type /XObject\n     /Subtype /Image\n     /Width 2\n     /Height 1\n"
      "     /ColorSpace /DeviceGray\n     /BitsPerComponent 8\n     /Length 5\n"
      "     /Filter /ASCIIHexDecode\n  >>\nstream\n00ff>\nendstream\nendobj\n\n"
      "6 0 obj\n  << /Length 41 >>\nstream\n  q\n  555 0 0 786 20 28 cm\n  /Im1 Do\n  Q\n"
      "endstream\nendobj\n\n"
      "xref\n0 7\n0000000000 65535 f \n0000000018 00000 n \n0000000077 00000 n \n"
      "0000000191 00000 n \n0000000319 00000 n \n0000000402 00000 n \n0000000614 00000 n \n"
      "trailer\n  << /Root 1 0 R\n     /Size 7\n  >>\nstartxref\n707\n%%EOF\n";
  std::string doc, text;
  pdfStart(text, 2, 1, 1);
  doc += text;
  text.clear();
  pdfPrePage(text);
  doc += text + "00ff";
  text.clear();
  pdfPostPage(text);
  doc += text;
  text.clear();
  pdfFinish(text);
  doc += text;
  EXPECT_EQ(doc, expected);
  EXPECT_EQ(pdfBytes(), expected.size());
}

TEST(PdfWriter, OffsetsHoldWithImageBytesAndTheTenthPageStreamIsOneLonger) {
  pdfSetup(612, 1008, 0, 0, 0, 0);  // Legal, no margins: "  612 0 0 1008 0 0 cm\n"
  const std::string doc = document(12, 3, 2);
  const std::vector<uint64_t> offsets = xrefOffsets(doc);
  ASSERT_EQ(offsets.size(), 2u + 4 * 12);
  for (size_t i = 0; i < offsets.size(); i++)
    EXPECT_EQ(doc.compare(offsets[i], std::to_string(i + 1).size() + 7, std::to_string(i + 1) + " 0 obj\n"), 0)
        << "object " << i + 1;
  EXPECT_NE(doc.find("            47 0 R\n            ]\n     /Count 12\n     /MediaBox [0 0 612 1008]"),
            std::string::npos);
  const std::string cm = "  612 0 0 1008 0 0 cm\n";
  EXPECT_NE(doc.find("38 0 obj\n  << /Length " + std::to_string(18 + cm.size()) + " >>"), std::string::npos);
  EXPECT_NE(doc.find("42 0 obj\n  << /Length " + std::to_string(19 + cm.size()) + " >>\nstream\n  q\n" + cm +
                     "  /Im10 Do\n"),
            std::string::npos);
  EXPECT_NE(doc.find("/Length 13\n"), std::string::npos) << "2 x 3 x 2 samples and the end marker";
  const size_t x = doc.rfind("\nxref\n") + 1;
  EXPECT_EQ(doc.substr(doc.rfind("startxref\n") + 10), std::to_string(x) + "\n%%EOF\n");
}

TEST(PdfWriter, OffsetsPastFourGigabytesKeepTheirValue) {
  // 50,000 x 50,000 samples: 5,000,000,000 bytes of image, counted, not sent.
  pdfSetup(595, 842, 10, 7, 10, 7);
  std::string text;
  pdfStart(text, 50000, 50000, 1);
  pdfPrePage(text);
  EXPECT_NE(text.find("/Length 5000000001\n"), std::string::npos);
  const uint64_t before = pdfBytes();
  pdfPostPage(text);
  const std::string tail = text;
  text.clear();
  pdfFinish(text);
  const uint64_t contents = before + 5000000000ULL + 20;  // ">\nendstream\nendobj\n\n"
  EXPECT_NE(text.find(std::to_string(contents) + " 00000 n \n"), std::string::npos) << text;
}

TEST(PdfWriter, MarginsLeaveTheAreaInPoints) {
  pdfSetup(595, 842, 10, 7, 10, 7);
  EXPECT_EQ(pdfAreaWidth(), 555);
  EXPECT_EQ(pdfAreaHeight(), 786);
  pdfSetup(595, 842, 200, 7, 200, 7);  // 567 + 567 points of margin on 842
  EXPECT_LT(pdfAreaHeight(), 0);
}

// qpdf reads what a printer's PDF interpreter reads.
TEST(PdfWriter, DocumentsOfOneTenAndThreeHundredPagesPassTheChecker) {
  if (std::system("command -v qpdf >/dev/null 2>&1") != 0) GTEST_SKIP() << "qpdf missing";
  vt::TempDir dir;
  pdfSetup(595, 842, 10, 7, 10, 7);
  for (int pages : {1, 10, 300}) {
    const std::string doc = document(pages, 4, 3, pages == 10 ? "00" : "ff");
    if (pages == 300) {
      EXPECT_NE(doc.find("xref\n0 1203\n"), std::string::npos);
    }
    const std::string file = dir.file(std::to_string(pages) + ".pdf");
    vt::WriteFile(file, doc);
    const std::string cmd = "qpdf --check '" + file + "' >'" + file + ".log' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << vt::ReadFile(file + ".log");
    EXPECT_NE(vt::ReadFile(file + ".log").find("No syntax or stream encoding errors"), std::string::npos);
    const std::string count = "qpdf --show-npages '" + file + "' >'" + file + ".n'";
    ASSERT_EQ(std::system(count.c_str()), 0);
    EXPECT_EQ(vt::ReadFile(file + ".n"), std::to_string(pages) + "\n");
  }
}

}  // namespace
