// Printing through a stand-in print server: what the job carries, how lines
// become pages, what a refused or broken job reports, and the bad settings
// that must send nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/fonts.h"
#include "display/glyph_renderer.h"
#include "edit/block.h"
#include "print/print_job.h"
#include "print/print_settings.h"
#include "print/print_window.h"
#include "shell/commands.h"
#include "tests/support/fake_cups.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

int countOf(const std::string& doc, const std::string& what) {
  int n = 0;
  for (size_t at = doc.find(what); at != std::string::npos; at = doc.find(what, at + 1)) n++;
  return n;
}

int pagesOf(const std::string& doc) {
  const size_t at = doc.find("/Count ");
  return at == std::string::npos ? -1 : std::atoi(doc.c_str() + at + 7);
}

class PrintJob : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    std::snprintf(fontData.textFontFile, kFontItemSize, "%s", kMono);
    getPrintDef();
    // Small pages keep the documents small: 200 x 236 samples, 12-pixel font.
    printVal[PRINT_DENSITY] = 20;
    printVal[PRINT_FONTSIZE] = 12;
    ASSERT_EQ(fontsSetChecked(ed.V(), printVal[PRINT_FONTSIZE]), "");
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    if (!old.empty()) std::filesystem::current_path(old);
    getPrintDef();
    crapDeinit();
  }
  // Opens the Print window and presses the digit of printer `n`.
  void print(int n = 0) {
    StartPrint(ed.V());
    ASSERT_TRUE(PrintWindowOpen());
    printKey(ed.V(), '0' + n, 19);
    StartPrint(ed.V());
  }
  int linesPerPage() { return PrintYres() / pfont->lineHeight; }
  std::string copy() { return vt::ReadFile(dir.file("printtest.pdf")); }

  vt::Editor ed;
  vt::TempDir dir;
  std::filesystem::path old;
  vt::UseFakeCups cups;
};

TEST_F(PrintJob, AGoodJobCarriesItsOptionsAndTheDocumentEqualsTheCopy) {
  cups->printers = {"alpha", "beta"};
  ed.open("hello\nworld\n", "notes.txt");
  testing::internal::CaptureStdout();
  print(1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Document sent\n");
  EXPECT_EQ(ed.alert(), "Document sent");
  EXPECT_EQ(cups->printer, "beta");
  EXPECT_EQ(cups->title, "vexor");
  EXPECT_EQ(cups->docName, "notes.txt");
  EXPECT_EQ(cups->format, "application/pdf");
  using Opts = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(cups->options, (Opts{{"copies", "1"}, {"sides", "one-sided"}})) << "PaperSize 0 sends no media";
  EXPECT_EQ(cups->documentsFinished, 1);
  EXPECT_TRUE(cups->cancelled.empty());
  EXPECT_EQ(cups->document, copy());
  EXPECT_EQ(pagesOf(cups->document), 1);
  EXPECT_NE(cups->document.find("/MediaBox [0 0 595 842]"), std::string::npos);
  EXPECT_NE(cups->document.find("/Width 200\n     /Height 236\n"), std::string::npos);
  // Ink on the page: some sample is darker than white.
  EXPECT_NE(cups->document.find("00"), std::string::npos);

  cups->options.clear();
  printVal[PRINT_PAPERSIZE] = 3;
  print(0);
  EXPECT_EQ(cups->options[1], (std::pair<std::string, std::string>{"media", "na_legal_8.5x14in"}));
  EXPECT_NE(cups->document.find("/MediaBox [0 0 612 1008]"), std::string::npos);
  // Read from a file, a size outside the four counts as none.
  cups->options.clear();
  printVal[PRINT_PAPERSIZE] = 9;
  print(0);
  EXPECT_EQ(cups->options.size(), 2u);
}

TEST_F(PrintJob, PagesBreakWhereTheCounterSaysAndEmptyTextsMakeOnePage) {
  cups->printers = {"p"};
  const int per = linesPerPage();
  ASSERT_GT(per, 2);
  std::string text;
  for (int i = 0; i < 2 * per; i++) text += "line\n";
  ed.open(text, "a.txt");
  print();
  EXPECT_EQ(pagesOf(cups->document), 2);
  EXPECT_EQ(countOf(cups->document, " 0 obj\n  << /Type /Page\n"), 2);
  ed.open(text + "one more\n", "b.txt");
  print();
  EXPECT_EQ(pagesOf(cups->document), 3);
  EXPECT_EQ(countOf(cups->document, " 0 obj\n  << /Type /Page\n"), 3);
  ed.open("", "empty.txt");
  print();
  EXPECT_EQ(pagesOf(cups->document), 1);
  EXPECT_EQ(countOf(cups->document, " 0 obj\n  << /Type /Page\n"), 1);
  EXPECT_EQ(ed.alert(), "Document sent");
}

// Numbered lines print exactly as the same lines typed with their numbers.
TEST_F(PrintJob, LineNumbersAreTheTextsOwnAndEveryLineAdvancesThem) {
  cups->printers = {"p"};
  const std::string longLine(1023, 'x');
  ed.open("first\n" + longLine + "\n\tthird\n", "n.txt");
  printVal[PRINT_LINENUM] = 1;
  print();
  const std::string numbered = cups->document;
  ed.open("001 first\n002 " + longLine.substr(0, 1000) + "\n003         third\n", "n.txt");  // the TAB was expanded before the number
  printVal[PRINT_LINENUM] = 0;
  print();
  EXPECT_TRUE(numbered == cups->document) << "numbering differs from the typed numbers";

  // A block of this text numbers from its first line; one in another text
  // leaves the whole of this one numbered from 1.
  Tcb* other = ed.open("a\nb\nc\nd\n", "other.txt");
  Tcb* mine = ed.open("one\ntwo\nthree\nfour\n", "mine.txt");
  (void)other;
  ed->blk = {};
  ed->blk.blkTcb = mine;
  ed->blk.blkView = mine;
  ed->blk.startLine = 3;
  ed->blk.endLine = 4;
  ed->blk.endCol = 4;
  printVal[PRINT_LINENUM] = 1;
  print();
  const std::string block = cups->document;
  ed.open("003 three\n004 four\n", "mine.txt");
  printVal[PRINT_LINENUM] = 0;
  print();
  EXPECT_TRUE(block == cups->document) << "a block numbers from its first line";

  Tcb* third = ed.open("x\ny\n", "third.txt");
  ed->blk.blkTcb = ed->blk.blkView = mine;  // the block stays in mine.txt
  ASSERT_EQ(ed.cur(), third);
  printVal[PRINT_LINENUM] = 1;
  print();
  const std::string whole = cups->document;
  ed->blk = {};
  ed.open("001 x\n002 y\n", "third.txt");
  printVal[PRINT_LINENUM] = 0;
  print();
  EXPECT_TRUE(whole == cups->document) << "a block elsewhere does not number this text";
}

TEST_F(PrintJob, AnEncipheredTextNeverShowsItsKeyNorLeavesACopy) {
  cups->printers = {"p"};
  ed.open("secret\n", "diary.txt@key123");
  print();
  EXPECT_EQ(cups->docName, "diary.txt");
  EXPECT_FALSE(vt::Exists(dir.file("printtest.pdf")));
  EXPECT_EQ(ed.alert(), "Document sent");
  // A copy that cannot be made leaves the print itself alone.
  std::filesystem::create_directory(dir.file("printtest.pdf"));
  ed.open("plain\n", "plain.txt");
  print();
  EXPECT_EQ(ed.alert(), "Document sent");
  EXPECT_EQ(pagesOf(cups->document), 1);
}

TEST_F(PrintJob, FailuresCancelTheJobAndSayWhy) {
  cups->printers = {"p"};
  ed.open("text\n", "f.txt");
  struct Case {
    int create, start, writes, finish;
    bool created, cancelled;
  } cases[] = {
      {0x0401, 100, -1, 0, false, false},  // job refused
      {0, 401, -1, 0, true, true},         // document refused
      {0, 100, 0, 0, true, true},          // the stream broke
      {0, 100, -1, 0x0500, true, true},    // the finished document rejected
  };
  for (const Case& c : cases) {
    cups->createStatus = c.create;
    cups->startStatus = c.start;
    cups->writesAllowed = c.writes;
    cups->finishStatus = c.finish;
    cups->cancelled.clear();
    const int before = cups->jobsCreated;
    testing::internal::CaptureStdout();
    print();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Document sent"), std::string::npos) << c.create << " " << c.start;
    EXPECT_EQ(ed.alert(), "Print failed: client-error-not-possible");
    EXPECT_EQ(cups->jobsCreated - before, c.created ? 1 : 0);
    EXPECT_EQ(cups->cancelled.size(), c.cancelled ? 1u : 0u);
    if (c.cancelled) {
      EXPECT_EQ(cups->cancelled[0], LastPrintJob());
    }
  }
}

TEST_F(PrintJob, TheSpaceBarFinishesThePageAndTheDocumentThenCancels) {
  cups->printers = {"p"};
  std::string text;
  for (int i = 0; i < 3 * linesPerPage(); i++) text += "row\n";
  ed.open(text, "s.txt");
  static int lines;
  lines = 0;
  SetPrintStopPoll([] { return ++lines == 2; });
  testing::internal::CaptureStdout();
  print();
  testing::internal::GetCapturedStdout();
  SetPrintStopPoll(nullptr);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(ed.alert(), "Print stopped");
  EXPECT_EQ(cups->documentsFinished, 1);
  ASSERT_EQ(cups->cancelled.size(), 1u);
  EXPECT_EQ(countOf(cups->document, "endstream"), 2) << "the first page is completed";
  EXPECT_NE(cups->document.find("%%EOF\n"), std::string::npos);
}

TEST_F(PrintJob, SettingsThatLeaveNoLineOrNoAreaSendNothing) {
  cups->printers = {"p"};
  ed.open("text\n", "b.txt");
  struct Case {
    int item, value;
    const char* alert;
  } cases[] = {
      {PRINT_DENSITY, 0, "Page too small for one line"},
      {PRINT_ASPECT, 0, "Page too small for one line"},
      {PRINT_ASPECT, 1, "Page too small for one line"},  // 2 rows for a 14-row line
      {PRINT_RIGHTMARG, 203, "Margins leave no room to print"},  // 575 + 20 of 595 points
      {PRINT_LEFTMARG, 220, "Margins leave no room to print"},
  };
  for (const Case& c : cases) {
    getPrintDef();
    printVal[PRINT_FONTSIZE] = 12;
    printVal[size_t(c.item)] = uint8_t(c.value);
    print();
    EXPECT_EQ(ed.alert(), c.alert) << c.item;
  }
  // A document whose offsets would pass ten digits (10 GB) is refused before
  // anything is sent: 18.4 MB pages of 1900 x 4845 samples.
  getPrintDef();
  printVal[PRINT_FONTSIZE] = 12;
  printVal[PRINT_DENSITY] = 190;
  printVal[PRINT_ASPECT] = 255;
  const int pages = int(10000000000LL / (2LL * 1900 * 4845)) + 1;
  std::string text;
  for (int i = 0; i < pages * linesPerPage(); i++) text += "x\n";
  ed.open(text, "big.txt");
  print();
  EXPECT_EQ(ed.alert(), "Too many pages to print");
  EXPECT_EQ(cups->jobsCreated, 0);
  EXPECT_FALSE(vt::Exists(dir.file("printtest.pdf")));
}

TEST_F(PrintJob, KeysOfTheWindow) {
  cups->printers = {"a", "b", "c", "d", "e"};
  ed.open("x\n", "k.txt");
  StartPrint(ed.V());
  EXPECT_EQ(PrintersListed(), 5);
  EXPECT_EQ(ed->inputMode, 10);
  printKey(ed.V(), '7', 16);  // only five printers
  printKey(ed.V(), 0, 37);    // Ctrl alone
  EXPECT_EQ(cups->jobsCreated, 0);
  printKey(ed.V(), ' ', 65);  // nothing to stop yet
  EXPECT_TRUE(cups->cancelled.empty());
  printKey(ed.V(), '4', 13);
  EXPECT_EQ(cups->printer, "e");
  EXPECT_TRUE(PrintWindowOpen()) << "it stays open for another print";
  printKey(ed.V(), ' ', 65);  // cancels the last job
  EXPECT_EQ(cups->cancelled, std::vector<int>{LastPrintJob()});
  printKey(ed.V(), 27, 9);
  EXPECT_FALSE(PrintWindowOpen());
  EXPECT_EQ(ed->inputMode, 1);
}

// Wide rasters and tall print lines get a raster of their own size.
TEST_F(PrintJob, RastersWiderThanTheScreenStripAndLinesTallerThanItPrint) {
  if (std::system("command -v qpdf >/dev/null 2>&1") != 0) GTEST_SKIP() << "qpdf missing";
  cups->printers = {"p"};
  printVal[PRINT_DENSITY] = 250;
  printVal[PRINT_ASPECT] = 10;
  printVal[PRINT_FONTSIZE] = 60;
  ASSERT_EQ(fixPrintFont(60), "");
  ASSERT_GT(pfont->lineHeight, 30);
  std::string wide(1023, 'W');
  ed.open(wide + "\n\xf0\x9f\x98\x80 \xe2\x80\x8b missing glyphs\n", "w.txt");
  print();
  EXPECT_EQ(ed.alert(), "Document sent");
  EXPECT_NE(cups->document.find("/Width 2500\n     /Height 250\n"), std::string::npos);
  vt::WriteFile(dir.file("w.pdf"), cups->document);
  EXPECT_EQ(std::system(("qpdf --check '" + dir.file("w.pdf") + "' >/dev/null").c_str()), 0);
}

// A column block over lines shorter than its columns, and a text of 300
// pages (one line a page), still make documents the checker accepts.
TEST_F(PrintJob, ColumnBlocksOverShortLinesAndThreeHundredPagesAreValidDocuments) {
  if (std::system("command -v qpdf >/dev/null 2>&1") != 0) GTEST_SKIP() << "qpdf missing";
  cups->printers = {"p"};
  auto check = [&](const char* name, int pages) {
    EXPECT_EQ(ed.alert(), "Document sent") << name;
    EXPECT_EQ(pagesOf(cups->document), pages) << name;
    EXPECT_EQ(countOf(cups->document, " 0 obj\n  << /Type /Page\n"), pages) << name;
    vt::WriteFile(dir.file(name), cups->document);
    EXPECT_EQ(std::system(("qpdf --check '" + dir.file(name) + "' >/dev/null").c_str()), 0) << name;
  };
  Tcb* t = ed.open("a long first line\nab\n\nanother long line\n", "col.txt");
  ed->blk = {};
  ed->blk.blkTcb = ed->blk.blkView = t;
  ed->blk.isColumn = 1;
  ed->blk.startLine = 1;
  ed->blk.startCol = 5;
  ed->blk.endLine = 4;
  ed->blk.endCol = 10;
  printVal[PRINT_LINENUM] = 1;
  print();
  check("col.pdf", 1);
  ed->blk = {};
  printVal[PRINT_LINENUM] = 0;
  printVal[PRINT_DENSITY] = 1;    // 10 samples wide
  printVal[PRINT_ASPECT] = 200;   // 20 rows: one 14-row line a page
  std::string text;
  for (int i = 0; i < 300; i++) text += "x\n";
  ed.open(text, "many.txt");
  print();
  check("many.pdf", 300);
}

}  // namespace
