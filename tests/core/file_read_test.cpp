// Reading files: line ends, blank folding, long lines, encodings, chunks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <random>

#include "core/file_io.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

using Lines = std::vector<std::string>;

Lines stored(const Link* base) {
  Lines out;
  for (const Link* l = base->next(); l != base; l = l->next()) out.push_back(vt::Stored(l));
  return out;
}

Lines read(vt::Editor& e, const std::string& bytes, uint32_t enc = MODE_UTF8, int width = 0) {
  return stored(TextFromBytes(e.V(), bytes.data(), bytes.size(), width, enc));
}

TEST(ReadLines, EveryLineEndIsAccepted) {
  vt::Editor e;
  EXPECT_EQ(read(e, "a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(read(e, "a\n\rb"), (Lines{"a", "", "b"}));  // LF CR: a line, then an empty one
  EXPECT_EQ(read(e, "a\n"), (Lines{"a"}));              // no extra empty line at the end
  EXPECT_EQ(read(e, "a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(read(e, ""), (Lines{""}));
  EXPECT_EQ(read(e, "\r\n\r\n"), (Lines{"", ""}));
}

TEST(ReadLines, LinesAreKeptAsReadUntilEditedThenFolded) {
  vt::Editor e;
  EXPECT_EQ(read(e, "        x\n"), (Lines{"        x"}));
  EXPECT_EQ(read(e, "\t        x\n"), (Lines{"\t        x"}));
  EXPECT_EQ(read(e, "ab  \t  \n"), (Lines{"ab  \t  "}));  // TABs kept, trailing blanks too
  e.open("\t        x\nab  \t  \n");
  EXPECT_TRUE(e.cur()->base->next()->word & LINK_ASREAD);
  EXPECT_EQ(e.line(1), std::string(16, ' ') + "x");  // x shows at column 16
  // The first edit folds the line as any edited line, and it is no longer
  // written as read.
  e.cur()->col = 16;
  StrInsert("y", &e->aline, 16);
  e->alineDirty = 1;
  AFlush(e.V());
  EXPECT_EQ(vt::Stored(e.cur()->curLine), "\t\tyx");
  EXPECT_FALSE(e.cur()->curLine->word & LINK_ASREAD);
  // A line whose characters come back unchanged keeps its bytes.
  e.cur()->curLine = e.cur()->curLine->next();
  ALoad(e.V());
  e->alineDirty = 1;
  AFlush(e.V());
  EXPECT_EQ(vt::Stored(e.cur()->curLine), "ab  \t  ");
  EXPECT_TRUE(e.cur()->curLine->word & LINK_ASREAD);
}

TEST(ReadLines, LongLinesBreakAtTheLastBlankBeforeTheWidth) {
  vt::Editor e;
  std::string words;
  std::mt19937 rng(7);
  while (words.size() < 2000) {
    if (!words.empty()) words += ' ';
    words += std::string(1 + rng() % 9, char('a' + rng() % 26));
  }
  e.open(words + "\n");
  Lines got = e.lines();  // blanks may be folded in the store; compare what shows
  ASSERT_GT(got.size(), 1u);
  std::string joined;
  for (size_t i = 0; i < got.size(); i++) {
    EXPECT_LE(got[i].size(), 1023u);
    EXPECT_NE(got[i].back(), ' ');
    if (i + 1 < got.size()) {
      // Broken at the last space: the next word would not have fitted.
      size_t nextWord = got[i + 1].find(' ');
      EXPECT_GT(got[i].size() + 1 + (nextWord == std::string::npos ? got[i + 1].size() : nextWord), 1023u);
    }
    joined += (i ? " " : "") + got[i];
  }
  EXPECT_EQ(joined, words);  // only the spaces at the breaks are dropped

  // A line exactly as wide as the limit is not broken.
  EXPECT_EQ(read(e, "one two three four\n", MODE_UTF8, 10), (Lines{"one two", "three four"}));
  // A TAB starts the next line; a blank at the start of a line is no break.
  EXPECT_EQ(read(e, "abc\tdefgh ijk\n", MODE_UTF8, 10), (Lines{"abc", "\tde", "fgh ijk"}));
}

TEST(ReadLines, LinesWithoutBlanksAreCutWithoutSplittingCharacters) {
  vt::Editor e;
  Lines ascii = read(e, std::string(2500, 'x'));
  ASSERT_EQ(ascii.size(), 3u);
  EXPECT_EQ(ascii[0].size(), 1023u);
  EXPECT_EQ(ascii[1].size(), 1023u);
  EXPECT_EQ(ascii[2].size(), 454u);

  std::string wide;
  for (int i = 0; i < 1000; i++) wide += "\xe2\x82\xac";  // 3000 bytes
  Lines w = read(e, wide);
  std::string joined;
  for (auto& l : w) {
    EXPECT_LE(l.size(), 1023u);
    EXPECT_EQ(l.size() % 3, 0u) << "a character was split";
    joined += l;
  }
  EXPECT_EQ(joined, wide);
}

TEST(ReadLines, SingleByteEncodingsDecodeThroughTheirTables) {
  vt::Editor e;
  EXPECT_EQ(read(e, "caf\xe9\n", MODE_LATIN1), (Lines{"caf\xc3\xa9"}));
  EXPECT_EQ(read(e, "caf\x82\tx\n", MODE_CP), (Lines{"caf\xc3\xa9\tx"}));
  EXPECT_EQ(read(e, "\x01\n", MODE_CP), (Lines{"\xe2\x98\xba"}));  // U+263A
  EXPECT_EQ(read(e, "        x   \n", MODE_LATIN1), (Lines{"        x   "}));  // as read
  // A line whose UTF-8 form is too long for a record is broken, nothing
  // is cut.
  e->alertText[0] = 0;
  Lines parts = read(e, std::string(1000, '\xe9') + "\n", MODE_LATIN1);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].size(), 1022u);
  EXPECT_EQ(parts[0].size() + parts[1].size(), 2000u);
  EXPECT_STREQ(e->alertText, "");
  EXPECT_EQ(read(e, "x\n", 0x40), (Lines{""}));  // unknown encoding: nothing read
}

TEST(ReadLines, ChunkBoundariesNeverChangeTheLines) {
  vt::Editor e;
  std::mt19937 rng(99);
  std::string bytes;
  Lines want;
  for (int i = 0; i < 3000; i++) {
    std::string line(rng() % 40, char('a' + i % 26));
    want.push_back(line);
    bytes += line;
    bytes += (i % 3 == 0) ? "\r\n" : (i % 3 == 1) ? "\n" : "\r";
  }
  EXPECT_EQ(read(e, bytes), want);
  // Through real 4096-byte reads, too.
  vt::TempDir dir;
  vt::WriteFile(dir.file("f"), bytes);
  CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str());
  ReadStatus st;
  EXPECT_EQ(stored(GetFile(e.V(), "f", 0, MODE_UTF8, &st)), want);
  EXPECT_EQ(st, ReadStatus::Read);
}

TEST(ReadLines, CrAtTheEndOfAChunkKeepsItsLf) {
  vt::Editor e;
  for (int pad = 4000; pad < 4100; pad++) {
    std::string bytes = std::string(size_t(pad % 1000), 'a') + "\n";
    while (bytes.size() < size_t(pad)) bytes += "b\n";
    bytes += "c\r\nd\r\n";
    Lines got = read(e, bytes);
    ASSERT_EQ(got[got.size() - 2], "c") << pad;
    ASSERT_EQ(got.back(), "d") << pad;
  }
}

TEST(ReadFile, EmptyMissingDirectoryAndWidthWord) {
  vt::Editor e;
  vt::TempDir dir;
  CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str());
  vt::WriteFile(dir.file("empty"), "");
  ReadStatus st;
  Link* b = GetFile(e.V(), "empty", 0, MODE_UTF8, &st);
  EXPECT_EQ(stored(b), (Lines{""}));
  EXPECT_STREQ(e->alertText, "");
  EXPECT_EQ(st, ReadStatus::Read);

  b = GetFile(e.V(), "missing", 0, MODE_UTF8, &st);
  EXPECT_EQ(stored(b), (Lines{""}));
  EXPECT_STREQ(e->alertText, "New file.");
  EXPECT_EQ(st, ReadStatus::Missing);

  mkdir(dir.file("sub").c_str(), 0755);
  b = GetFile(e.V(), "sub", 0, MODE_UTF8, &st);
  EXPECT_EQ(stored(b), (Lines{""}));
  EXPECT_STREQ(e->alertText, "Cannot read file: Is a directory");
  EXPECT_EQ(st, ReadStatus::Failed);

  vt::WriteFile(dir.file("w"), "one\nlast line");
  b = GetFile(e.V(), "w", 0, MODE_UTF8);
  EXPECT_EQ(b->width(), 9);
}

TEST(ReadFile, HostileBytesAreKeptAsTheyAre) {
  vt::Editor e;
  std::string bytes("a\0b\xff\xc3\n\xe2\x82\n\xf0", 10);
  Lines got = read(e, bytes);
  EXPECT_EQ(got, (Lines{std::string("a\0b\xff\xc3", 5), "\xe2\x82", "\xf0"}));
  // Expanding such lines never reads past them.
  e.open(bytes);
  EXPECT_EQ(e.lineCount(), 3);
  for (int i = 1; i <= 3; i++) EXPECT_FALSE(e.line(i).empty());
}

TEST(ReadFile, AFiftyMegabyteLineBecomesManyLines) {
  vt::Editor e;
  std::string big(50u << 20, 'q');
  Link* b = TextFromBytes(e.V(), big.data(), big.size(), 0, MODE_UTF8);
  size_t total = 0;
  int n = 0;
  for (Link* l = b->next(); l != b; l = l->next(), n++) {
    ASSERT_LE(l->len(), kLineMax);
    total += size_t(l->len());
  }
  EXPECT_EQ(total, big.size());
  EXPECT_EQ(vt::CheckList(b), "");
}

TEST(ReadFile, NamesSplitIntoDirectoryAndName) {
  vt::Editor e;
  char dir[kPathMax], name[kNameMax];
  CopyCut(e->curDir, sizeof e->curDir, "/work");
  SplitFileName(e.V(), dir, name, "/etc/passwd");
  EXPECT_STREQ(dir, "/etc");
  EXPECT_STREQ(name, "passwd");
  SplitFileName(e.V(), dir, name, "/top");
  EXPECT_STREQ(dir, "/");
  EXPECT_STREQ(name, "top");
  SplitFileName(e.V(), dir, name, "plain.txt");
  EXPECT_STREQ(dir, "/work");
  EXPECT_STREQ(name, "plain.txt");
  // Only the file's own name carries a key; an '@' in a folder is a letter.
  SplitFileName(e.V(), dir, name, "/mail@host/@types/notes.txt@k.ey");
  EXPECT_STREQ(dir, "/mail@host/@types");
  EXPECT_STREQ(name, "notes.txt@k.ey");
  EXPECT_EQ(PlainNameLen("/mail@host/notes.txt"), std::strlen("/mail@host/notes.txt"));
  EXPECT_EQ(PlainNameLen("x@y/n@@key"), 5u);
  EXPECT_STREQ(PathName(e.V(), "x"), "/work/x");
}

}  // namespace
