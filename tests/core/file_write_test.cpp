// Writing files: encodings, line ends, TABs, backups, ciphers, and failures
// that must leave the original file and the text untouched.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_io.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override { CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str()); }
  void TearDown() override { SetWriteFault(0, 0); }

  // Reads `bytes` as the file `name` with `enc`, like OpenText does.
  Tcb* openFile(const std::string& name, const std::string& bytes, uint32_t enc = MODE_UTF8) {
    vt::WriteFile(dir.file(name), bytes);
    Tcb* t = OpenText(e.V(), dir.file(name).c_str(), enc);
    e->alertText[0] = 0;
    return t;
  }
  std::string save(Tcb* t, uint32_t mode) {
    t->mode = mode;
    EXPECT_EQ(SaveOneText(e.V()), 0) << e->alertText;
    return vt::ReadFile(dir.file(t->fileName));
  }

  vt::TempDir dir;
  vt::Editor e;
};

constexpr uint32_t LF = MODE_LF, CR = MODE_CR;

TEST_F(Files, LineEndsFollowTheModeBits) {
  Tcb* t = openFile("f", "a\nb\n");
  EXPECT_EQ(save(t, MODE_UTF8), "a\nb\n");  // neither bit: LF
  EXPECT_EQ(save(t, MODE_UTF8 | LF), "a\nb\n");
  EXPECT_EQ(save(t, MODE_UTF8 | CR), "a\rb\r");
  EXPECT_EQ(save(t, MODE_UTF8 | CR | LF), "a\r\nb\r\n");
}

TEST_F(Files, RoundTripsAreByteExactInEveryEncodingAndLineEnd) {
  std::string utf = "plain\ncaf\xc3\xa9 \xe2\x82\xac\n\tindented\tx\n\"quoted\"\n\n";
  std::string lat = "plain\ncaf\xe9 \xa4\n\tindented\tx\n\n";
  std::string cp = "plain\ncaf\x82 \x9c\x01\n\tindented\tx\n\n";
  struct Case {
    uint32_t enc;
    std::string bytes;
  } cases[] = {{MODE_UTF8, utf}, {MODE_LATIN1, lat}, {MODE_CP, cp}};
  for (auto& c : cases) {
    for (uint32_t ends : {LF, CR, CR | LF}) {
      std::string want = c.bytes;
      std::string end = (ends & CR ? std::string("\r") : "") + (ends & LF ? "\n" : "");
      std::string conv;
      for (char ch : want) conv += ch == '\n' ? end : std::string(1, ch);
      Tcb* t = openFile("r", conv, c.enc);
      EXPECT_EQ(save(t, c.enc | ends | MODE_TABSOUT), conv) << c.enc << " " << ends;
      EXPECT_STREQ(e->alertText, "");
    }
  }
}

TEST_F(Files, LinesAsReadGoOutUnchangedEditedOnesFollowTheTabMode) {
  const std::string file = "\tx\n\t\"q\"\tz\n        y  \n";
  Tcb* t = openFile("t", file);
  EXPECT_TRUE(t->mode & MODE_TABSOUT);  // the file holds TABs
  for (uint32_t mode : {MODE_UTF8 | MODE_TABSOUT, MODE_UTF8, MODE_LATIN1, MODE_CP | MODE_TABSOUT})
    EXPECT_EQ(save(t, mode), file) << mode;
  // The same lines as edited lines are stored folded: TABs-out keeps their
  // TABs, except after the indentation of a line holding '"'; without it
  // every TAB is expanded.
  Link* l = t->base->next();
  while (l != t->base) {
    ActiveLine line;
    GetLine(l, &line);
    Link* next = l->next();
    AddLine(e.V(), l->prev(), &line);
    DeleteLink(e.V(), l);
    l = next;
  }
  t->curLine = t->base->next();
  EXPECT_EQ(save(t, MODE_UTF8 | MODE_TABSOUT), "\tx\n\t\"q\"     z\n\ty\n");
  EXPECT_EQ(save(t, MODE_UTF8), "        x\n        \"q\"     z\n        y\n");
  EXPECT_EQ(save(t, MODE_LATIN1 | MODE_TABSOUT), "\tx\n\t\"q\"     z\n\ty\n");
}

TEST_F(Files, AFileEndingWithoutALineEndIsWrittenWithoutOne) {
  EXPECT_EQ(save(openFile("e", ""), MODE_UTF8), "");
  EXPECT_EQ(save(openFile("n", "a\nb"), MODE_UTF8), "a\nb");
  EXPECT_EQ(save(openFile("c", "a\r\nb", MODE_LATIN1), MODE_LATIN1 | CR | LF), "a\r\nb");
  Tcb* t = openFile("k", "a\nb\n");
  EXPECT_EQ(save(t, MODE_UTF8), "a\nb\n");
  // The last line edited: still no line end.  An empty line added after
  // it is written with both line ends, or it would read back as no line.
  t = openFile("m", "a\nb");
  t->curLine = t->base->prev();
  ALoad(e.V());
  StrInsert("c", &e->aline, 1);
  e->alineDirty = 1;
  EXPECT_EQ(save(t, MODE_UTF8), "a\nbc");
  AddEmptyLine(e.V(), t->base->prev());
  EXPECT_EQ(save(t, MODE_UTF8), "a\nbc\n\n");
}

TEST_F(Files, ATextIsWrittenWithTheFirstLineEndOfItsFile) {
  Tcb* t = openFile("mixed", "a\r\nb\nc\rd\n");
  EXPECT_EQ(save(t, t->mode), "a\r\nb\r\nc\r\nd\r\n");
  t = openFile("cr", "a\rb\r");
  EXPECT_EQ(save(t, t->mode), "a\rb\r");
  // A file without a line end keeps the default.
  t = openFile("one", "a");
  EXPECT_EQ(t->mode & (CR | LF), e->defaults.mode & (CR | LF));
}

TEST_F(Files, CharactersTheEncodingLacksBecomeQuestionMarks) {
  Tcb* t = openFile("c", "price \xe2\x82\xac 5\n");
  EXPECT_EQ(save(t, MODE_LATIN1), "price ? 5\n");
  EXPECT_STREQ(e->alertText, "Chars lost");
  e->alertText[0] = 0;
  EXPECT_EQ(save(t, MODE_CP), "price ? 5\n");
  EXPECT_STREQ(e->alertText, "Chars lost");
  e->alertText[0] = 0;
  EXPECT_EQ(save(t, MODE_UTF8), "price \xe2\x82\xac 5\n");
  EXPECT_STREQ(e->alertText, "");
}

TEST_F(Files, SavingKeepsThePreviousVersionAndThePermissions) {
  Tcb* t = openFile("b", "old\n");
  chmod(dir.file("b").c_str(), 0640);
  StrInsert("new ", &e->aline, 0);
  e->alineDirty = 1;
  EXPECT_EQ(save(t, MODE_UTF8), "new old\n");
  EXPECT_EQ(vt::ReadFile(dir.file("b~")), "old\n");
  EXPECT_FALSE(vt::Exists(dir.file("b~~")));
  struct stat st;
  ASSERT_EQ(stat(dir.file("b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(t->modified, 0);
}

TEST_F(Files, SavingThroughASymbolicLinkKeepsTheLink) {
  vt::WriteFile(dir.file("real"), "x\n");
  ASSERT_EQ(symlink("real", dir.file("link").c_str()), 0);
  Tcb* t = OpenText(e.V(), dir.file("link").c_str(), MODE_UTF8);
  StrInsert("y", &e->aline, 0);
  e->alineDirty = 1;
  ASSERT_EQ(SaveOneText(e.V()), 0);
  struct stat st;
  ASSERT_EQ(lstat(dir.file("link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(vt::ReadFile(dir.file("real")), "yx\n");
  EXPECT_EQ(t->modified, 0);
}

TEST_F(Files, LinksPlantedAsBackupOrTemporaryFileAreNeverFollowed) {
  Tcb* t = openFile("b", "old\n");
  vt::WriteFile(dir.file("victim"), "victim\n");
  ASSERT_EQ(symlink(dir.file("victim").c_str(), dir.file("b~").c_str()), 0);
  // A dangling one would have the save create a file where it points.
  ASSERT_EQ(symlink(dir.file("made-by-save").c_str(), dir.file("b~~").c_str()), 0);
  StrInsert("new ", &e->aline, 0);
  e->alineDirty = 1;
  EXPECT_EQ(save(t, MODE_UTF8), "new old\n");
  EXPECT_EQ(vt::ReadFile(dir.file("victim")), "victim\n");
  EXPECT_FALSE(vt::Exists(dir.file("made-by-save")));
  struct stat st;
  ASSERT_EQ(lstat(dir.file("b~").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(vt::ReadFile(dir.file("b~")), "old\n");
  EXPECT_FALSE(vt::Exists(dir.file("b~~")));

  // A stale temporary file left by a killed save goes with the next save.
  vt::WriteFile(dir.file("b~~"), "half of a");
  e->alineDirty = 1;
  EXPECT_EQ(save(t, MODE_UTF8), "new old\n");
  EXPECT_FALSE(vt::Exists(dir.file("b~~")));
}

TEST_F(Files, MoreThanFiveMillionLinesAreAllWritten) {
  Link* base = NewBaseLink(e.V());
  Link* last = base;
  for (int i = 0; i < 5000001; i++) last = AddEmptyLine(e.V(), last);
  ASSERT_EQ(PutFile(e.V(), base, "many", MODE_UTF8), 0);
  struct stat st;
  ASSERT_EQ(stat(dir.file("many").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 5000001);
}

// After a failed save the file on disk is what it was, no temporary file is
// left, and the text still counts as modified.
class FailedSave : public Files {
 protected:
  void expectUntouched(Tcb* t, const std::string& name, const std::string& before) {
    EXPECT_EQ(SaveOneText(e.V()), 1);
    EXPECT_EQ(vt::ReadFile(dir.file(name)), before);
    EXPECT_FALSE(vt::Exists(dir.file(name + "~~")));
    EXPECT_EQ(t->modified, 1);
    EXPECT_NE(e->curTcb, nullptr);
  }
  Tcb* edited(const std::string& name, const std::string& before) {
    Tcb* t = openFile(name, before);
    StrInsert("changed-", &e->aline, 0);
    e->alineDirty = 1;
    return t;
  }
};

TEST_F(FailedSave, DiskFullMidwayKeepsTheOriginal) {
  std::string before;
  for (int i = 0; i < 100; i++) before += std::string(99, 'o') + "\n";
  Tcb* t = edited("full", before);
  SetWriteFault(5000, ENOSPC);
  expectUntouched(t, "full", before);
  EXPECT_STREQ(e->alertText, "Write error: No space left on device");
  EXPECT_EQ(e->quit, 0);  // the editor goes on
  SetWriteFault(0, 0);
  EXPECT_EQ(SaveOneText(e.V()), 0);
  EXPECT_EQ(vt::ReadFile(dir.file("full")), "changed-" + before);
}

TEST_F(FailedSave, RealFullFilesystem) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a small filesystem";
  vt::TempDir mnt;
  if (mount("tmpfs", mnt.path().c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "mount not permitted";
  CopyCut(e->curDir, sizeof e->curDir, mnt.path().c_str());
  vt::WriteFile(mnt.file("f"), "small\n");
  Tcb* t = OpenText(e.V(), mnt.file("f").c_str(), MODE_UTF8);
  std::string big(200, 'z');
  for (int i = 0; i < 600; i++) AddBytesLine(e.V(), t->base, 200, reinterpret_cast<const uint8_t*>(big.data()));
  t->modified = 1;
  EXPECT_EQ(SaveOneText(e.V()), 1);
  EXPECT_STREQ(e->alertText, "Write error: No space left on device");
  EXPECT_EQ(vt::ReadFile(mnt.file("f")), "small\n");
  EXPECT_FALSE(vt::Exists(mnt.file("f~~")));
  EXPECT_EQ(t->modified, 1);
  umount2(mnt.path().c_str(), MNT_DETACH);
}

TEST_F(FailedSave, ReadOnlyDirectory) {
  vt::TempDir ro;
  vt::WriteFile(ro.file("f"), "keep\n");
  bool mounted = false;
  if (geteuid() == 0) {
    // Root ignores permission bits: make the directory a read-only mount.
    if (mount(ro.path().c_str(), ro.path().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, ro.path().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      GTEST_SKIP() << "mount not permitted";
    mounted = true;
  } else {
    chmod(ro.path().c_str(), 0555);
  }
  CopyCut(e->curDir, sizeof e->curDir, ro.path().c_str());
  Tcb* t = OpenText(e.V(), ro.file("f").c_str(), MODE_UTF8);
  StrInsert("x", &e->aline, 0);
  e->alineDirty = 1;
  EXPECT_EQ(SaveOneText(e.V()), 1);
  EXPECT_STREQ(e->alertText, "Cannot save: folder is read-only");
  EXPECT_EQ(vt::ReadFile(ro.file("f")), "keep\n");
  EXPECT_EQ(t->modified, 1);
  if (mounted) umount2(ro.path().c_str(), MNT_DETACH);
  chmod(ro.path().c_str(), 0755);
}

TEST_F(FailedSave, TargetIsADirectory) {
  mkdir(dir.file("d").c_str(), 0755);
  vt::WriteFile(dir.file("d/inside"), "safe");
  Tcb* t = OpenText(e.V(), dir.file("d").c_str(), MODE_UTF8);
  StrInsert("x", &e->aline, 0);
  e->alineDirty = 1;
  EXPECT_EQ(SaveOneText(e.V()), 1);
  EXPECT_STREQ(e->alertText, "Cannot save: Is a directory");
  EXPECT_EQ(vt::ReadFile(dir.file("d/inside")), "safe");
  EXPECT_FALSE(vt::Exists(dir.file("d~")));
  EXPECT_EQ(t->modified, 1);
}

TEST_F(FailedSave, DuplicateViewsAreNotSaved) {
  Tcb* main = openFile("m", "x\n");
  OpenDup(e.V(), main->number);
  EXPECT_EQ(SaveOneText(e.V()), 1);
  EXPECT_STREQ(e->alertText, "Text is a duplicate, NO save");
  EXPECT_FALSE(vt::Exists(dir.file("*DUP* m")));
}

TEST_F(Files, EncipheredFilesHaveTheirLayoutAndReadBack) {
  std::string line(99, 'p');
  for (const char* suffix : {"@@", "@@secret", "@secret", "@" }) {
    std::string name = std::string("c") + suffix;
    Tcb* t = openFile("plain", line + "\n");
    CopyCut(t->fileName, sizeof t->fileName, name.c_str());
    t->mode = MODE_UTF8 | LF;
    ASSERT_EQ(SaveOneText(e.V()), 0);
    std::string disk = vt::ReadFile(dir.file("c"));
    bool block = suffix[1] == '@';
    EXPECT_EQ(disk.size(), block ? 112u : 100u) << suffix;
    EXPECT_EQ(disk.find("ppppp"), std::string::npos) << suffix;
    Tcb* back = OpenText(e.V(), dir.file(name).c_str(), MODE_UTF8);
    EXPECT_STREQ(back->fileName, name.c_str());  // the suffix stays with the text
    EXPECT_EQ(e.lines(), std::vector<std::string>{line}) << suffix;
    // A wrong key gives other text, without a message.
    OpenText(e.V(), (dir.file("c") + (block ? "@@wrong" : "@wrong")).c_str(), MODE_UTF8);
    EXPECT_NE(e.lines(), std::vector<std::string>{line});
  }
}

TEST_F(Files, BlockCipherPaddingIsStrippedAtAnyFileSize) {
  for (size_t n : {15u, 16u, 4079u, 4080u, 4090u, 4096u, 8191u}) {
    std::string body(n - 1, 'k');
    Tcb* t = openFile("plain", body + "\n");
    CopyCut(t->fileName, sizeof t->fileName, "z@@k");
    t->mode = MODE_UTF8 | LF;
    ASSERT_EQ(SaveOneText(e.V()), 0);
    OpenText(e.V(), dir.file("z@@k").c_str(), MODE_UTF8);
    std::string joined;
    for (auto& l : e.lines()) joined += l;
    EXPECT_EQ(joined, body) << n;
  }
}

TEST_F(Files, ReloadReadsTheFileAgainAndMovesEveryView) {
  Tcb* t = openFile("r", "1\n2\n3\n4\n");
  Tcb* dup = OpenDup(e.V(), t->number);
  SelectView(e.V(), t->number);
  for (int i = 0; i < 3; i++) {
    t->curLine = t->curLine->next();
    t->lineNo++;
  }
  vt::WriteFile(dir.file("r"), "one\ntwo\n");
  ASSERT_EQ(ReloadFromDisk(e.V()), 0);
  EXPECT_EQ(e.lines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(t->lineNo, 2);  // line 4 no longer exists: the last line
  EXPECT_EQ(vt::Stored(t->curLine), "two");
  EXPECT_EQ(dup->base, t->base);
  EXPECT_EQ(dup->lineNo, 1);
  EXPECT_EQ(vt::Stored(dup->curLine), "one");
  EXPECT_EQ(vt::CheckList(t->base), "");
  // An unreadable file keeps the text as it is.
  unlink(dir.file("r").c_str());
  mkdir(dir.file("r").c_str(), 0755);
  EXPECT_EQ(ReloadFromDisk(e.V()), 1);
  EXPECT_EQ(e.lines(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(Files, OpenTextTakesItsDirectoryAndReportsNewFiles) {
  Tcb* t = OpenText(e.V(), dir.file("brand-new.txt").c_str(), MODE_UTF8);
  EXPECT_STREQ(e->alertText, "New file.");
  EXPECT_EQ(e->textWithAlert, t);
  EXPECT_EQ(t->kind, KIND_FILE);
  EXPECT_STREQ(t->fileName, "brand-new.txt");
  EXPECT_EQ(std::string(t->dirName), dir.path());
  EXPECT_EQ(std::string(e->curDir), dir.path());
  EXPECT_TRUE(file_exist(e.V(), "b@key") == false);
  vt::WriteFile(dir.file("b"), "");
  EXPECT_TRUE(file_exist(e.V(), "b@key"));
  Tcb* fresh = OpenText(e.V(), "", MODE_UTF8);
  EXPECT_EQ(fresh->kind, KIND_NEW);
  EXPECT_STREQ(fresh->fileName, "");
}

}  // namespace
