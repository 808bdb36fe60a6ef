// Generated files in every encoding, line end and TAB mode: opened and
// saved without an edit they come back byte for byte; with one line edited,
// every other line comes back byte for byte and the edited one reads back
// as it was shown.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/encoding.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "edit/typing.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

using Lines = std::vector<std::string>;

// Builds lines of one encoding, keeping each within what the editor holds
// (1023 columns, 1023 bytes once stored as UTF-8), so that none is broken.
class Generator {
 public:
  Generator(uint32_t enc, unsigned seed) : enc_(enc), rng_(seed) {}
  int atLimit() const { return atLimit_; }  // lines of 1020 columns or bytes or more

  std::string line() {
    std::string out;
    int cols = 0, stored = 0;
    const unsigned kind = rng_() % 10;
    if (kind == 0) return out;
    // Long lines reach 1020 to 1023 columns or stored bytes.
    const bool longLine = kind <= 3;
    const int target = longLine ? 1020 + int(rng_() % 4) : 1 + int(rng_() % 70);
    while (true) {
      std::string piece = token(longLine && kind == 1 ? 1 : longLine && kind == 3 ? 0 : 5);
      int pc = 0, ps = 0;
      measure(piece, cols, &pc, &ps);
      if (cols + pc > target || stored + ps > 1023 || cols + pc > 1023) break;
      out += piece;
      cols += pc;
      stored += ps;
    }
    // Fill up to the target exactly with plain letters when there is room.
    while (cols < target && stored < 1023 && longLine) {
      out += char('a' + rng_() % 26);
      cols++;
      stored++;
    }
    atLimit_ += cols >= 1020 || stored >= 1020;
    return out;
  }

 private:
  // A word (one letter in `wide` from outside ASCII, none at 0), a blank
  // run, a TAB, a quote, or (UTF-8) an invalid byte.
  std::string token(unsigned wide) {
    const unsigned k = rng_() % 12;
    if (k == 0) return "\t";
    if (k == 1) return std::string(1 + rng_() % 9, ' ');
    if (k == 2) return "\"";
    if (k == 3 && enc_ == MODE_UTF8 && wide) {
      static const char* bad[] = {"\x89", "\x80", "\xff", "\xc3(", "\xe2\x82", "\xed\xb2\x80", "\xf8"};
      return bad[rng_() % 7];
    }
    std::string w;
    const int n = 1 + int(rng_() % 7);
    for (int i = 0; i < n; i++) w += letter(wide && rng_() % wide == 0);
    return w;
  }

  std::string letter(bool wide) {
    if (!wide) return std::string(1, char('a' + rng_() % 26));
    if (enc_ == MODE_UTF8) {
      static const char* many[] = {"\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xce\xa9"};
      return many[rng_() % 4];
    }
    // Any byte from 0x80 in the single-byte encodings.
    return std::string(1, char(0x80 + rng_() % 0x80));
  }

  // Columns and stored UTF-8 bytes of a piece starting at column `col`.
  void measure(const std::string& piece, int col, int* cols, int* bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(piece.data());
    int c = col;
    *bytes = 0;
    for (size_t i = 0; i < piece.size();) {
      int len = 1;
      tchar ch;
      if (enc_ == MODE_UTF8)
        ch = uni8(p + i, int(piece.size() - i), &len);
      else
        ch = enc_ == MODE_CP ? cp437[p[i]] : p[i];
      uint8_t buf[4];
      *bytes += utf8(buf, 0, ch);
      c = ch == '\t' ? (c + 8) & ~7 : c + 1;
      i += size_t(len);
    }
    *cols = c - col;
  }

  uint32_t enc_;
  std::mt19937 rng_;
  int atLimit_ = 0;
};

// The lines of `bytes` split at `end`.
Lines split(const std::string& bytes, const std::string& end) {
  Lines out;
  size_t at = 0;
  for (size_t e; (e = bytes.find(end, at)) != std::string::npos; at = e + end.size()) out.push_back(bytes.substr(at, e - at));
  if (at < bytes.size()) out.push_back(bytes.substr(at));  // no line end after the last line
  return out;
}

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(RoundTrip, UneditedFilesComeBackByteForByteAndAnEditTouchesOnlyItsLine) {
  vt::TempDir dir;
  vt::Editor e;
  EditorState* V = e.V();
  const struct {
    uint32_t bits;
    const char* text;
  } ends[] = {{MODE_LF, "\n"}, {MODE_CR, "\r"}, {MODE_CR | MODE_LF, "\r\n"}};
  unsigned seed = 1;
  int edits = 0;
  for (uint32_t enc : {MODE_UTF8, MODE_LATIN1, MODE_CP}) {
    for (const auto& end : ends) {
      for (bool tabsOut : {true, false}) {
        SCOPED_TRACE("encoding " + std::to_string(enc) + " end " + std::to_string(end.bits) + " TABs-out " +
                     std::to_string(tabsOut) + " seed " + std::to_string(seed));
        Generator gen(enc, seed++);
        Lines lines;
        std::string file;
        for (int i = 0; i < 60; i++) {
          lines.push_back(gen.line());
          file += lines.back() + end.text;
        }
        // Half the files end without a line end.
        if (!tabsOut && !lines.back().empty()) file.resize(file.size() - std::strlen(end.text));
        EXPECT_GE(gen.atLimit(), 5);
        const std::string path = dir.file("f" + std::to_string(seed));
        vt::WriteFile(path, file);
        Tcb* t = OpenText(V, path.c_str(), enc);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(CountLines(t->base), int(lines.size()));
        // The text takes the file's line end and TAB mode.
        EXPECT_EQ(t->mode & (MODE_CR | MODE_LF), end.bits);
        EXPECT_EQ((t->mode & MODE_TABSOUT) != 0, file.find('\t') != std::string::npos);
        t->mode = (t->mode & ~(MODE_CR | MODE_LF | MODE_TABSOUT)) | end.bits | (tabsOut ? MODE_TABSOUT : 0);
        V->alertText[0] = 0;
        ASSERT_EQ(SaveOneText(V), 0) << V->alertText;
        ASSERT_EQ(vt::ReadFile(path), file);
        EXPECT_STREQ(V->alertText, "");

        // One character typed into one line.
        for (int tries = 0; tries < 3; tries++) {
          const int n = 1 + int(seed * 7 + unsigned(tries) * 13) % int(lines.size());
          ALineSet(V, n);
          const int count = V->aline.count;
          t->col = count > 0 ? int(seed + unsigned(tries)) % count : 0;
          TypeChar(V, 'Q');
          const std::string shown = trimmed(e.line(n));
          // An edit kept for undo as its line is stored at once.
          edits += V->alineDirty || t->modified;
          ASSERT_EQ(SaveOneText(V), 0) << V->alertText;
          const Lines back = split(vt::ReadFile(path), end.text);
          ASSERT_EQ(back.size(), lines.size());
          for (size_t i = 0; i < lines.size(); i++) {
            if (int(i) + 1 == n) continue;
            ASSERT_EQ(back[i], lines[i]) << "line " << i + 1 << " after editing line " << n;
          }
          // The edited line reads back as it was shown.
          vt::Editor other;
          other.open(back[size_t(n - 1)] + "\n", "x", enc);
          EXPECT_EQ(trimmed(other.line(1)), shown);
          lines[size_t(n - 1)] = back[size_t(n - 1)];
        }
        ReleaseTcb(V, &t);
      }
    }
  }
  EXPECT_GT(edits, 30);
}

}  // namespace

namespace {

// A large file opened with only its first page holds, once completed, what
// opening it whole gives: the same lines and the file's own line end; a
// failed completion leaves the page nameless, so it can never be saved
// over the file; small and enciphered files are read whole at once, and a
// pipe is refused without waiting for a writer.
TEST(FirstPage, CompletedTextEqualsTheWholeReadAndAFailedOneCannotBeSavedOverTheFile) {
  vt::TempDir dir;
  std::string big;
  for (int i = 1; big.size() < 3000000; ++i)
    big += "line " + std::to_string(i) + "\t of a text  larger than its page \xc3\xa4\r\n";
  vt::WriteFile(dir.file("big.txt"), big);
  vt::WriteFile(dir.file("small.txt"), "one\r\ntwo\r\n");
  const std::string bigPath = dir.file("big.txt");

  vt::Editor whole;
  ASSERT_NE(OpenText(whole.V(), bigPath.c_str(), MODE_UTF8), nullptr);
  const std::vector<std::string> want = whole.lines();
  const uint32_t wantMode = whole.cur()->mode;

  vt::Editor e;
  bool partial = false;
  Tcb* t = OpenTextFirstPage(e.V(), bigPath.c_str(), MODE_UTF8, 64 * 1024, &partial);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(partial);
  const int pageLines = e.lineCount();
  EXPECT_GT(pageLines, 100);
  EXPECT_LT(pageLines, int(want.size()) / 10);
  EXPECT_EQ(e.line(pageLines), want[size_t(pageLines) - 1]);  // cut after a line end
  EXPECT_EQ(CompleteText(e.V(), t), 0);
  EXPECT_EQ(e.lines(), want);
  EXPECT_EQ(t->mode, wantMode);
  EXPECT_FALSE(e.modified());

  // The file goes away before the rest is read.
  vt::Editor gone;
  t = OpenTextFirstPage(gone.V(), bigPath.c_str(), MODE_UTF8, 64 * 1024, &partial);
  ASSERT_TRUE(t && partial);
  const std::string kept = dir.file("kept.txt");
  ASSERT_EQ(std::rename(bigPath.c_str(), kept.c_str()), 0);
  EXPECT_EQ(CompleteText(gone.V(), t), 1);
  EXPECT_EQ(gone.alert(), "Read failed, only the first page is here");
  EXPECT_STREQ(t->fileName, "");
  EXPECT_EQ(t->kind, KIND_NEW);
  EXPECT_EQ(vt::ReadFile(kept), big);

  for (const std::string& name : {dir.file("small.txt"), dir.file("kept.txt") + "@key"}) {
    vt::Editor s;
    EXPECT_NE(OpenTextFirstPage(s.V(), name.c_str(), MODE_UTF8, 64 * 1024, &partial), nullptr);
    EXPECT_FALSE(partial) << name;
  }
  // A pipe is refused as OpenText refuses it, without waiting for a writer.
  const std::string pipe = dir.file("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  vt::Editor p;
  EXPECT_EQ(OpenTextFirstPage(p.V(), pipe.c_str(), MODE_UTF8, 64 * 1024, &partial), nullptr);
  EXPECT_FALSE(partial);
}

}  // namespace
