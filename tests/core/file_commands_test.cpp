// Opening, saving, closing and reloading texts through their commands and
// questions, driven by keys as the event loop hands them over.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "core/file_commands.h"
#include "core/file_io.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/prompt.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

class FileCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.path();
    CopyCut(e->curDir, sizeof e->curDir, root.c_str());
    CopyCut(e.cur()->dirName, sizeof e.cur()->dirName, root.c_str());
  }
  void TearDown() override { SetWriteFault(0, 0); }

  void key(int code) { HandleKey(e.V(), code, 0, 0); }
  void command(int n) { key(CMD_BASE + n); }
  void type(const std::string& s) {
    for (unsigned char c : s) key(c);
  }
  void enter() { command(cmd::NewLine); }
  // Replaces the whole preset answer of the open question.
  void answer(const std::string& s) {
    type(s);
    enter();
  }
  std::string message() {
    std::string s;
    for (int i = 0; i < e->promptAnswer - 1; i++) s += char(e->promptLine[i]);
    return s;
  }
  // Opens `name` from the scratch directory holding `bytes`.
  Tcb* openFile(const std::string& name, const std::string& bytes) {
    vt::WriteFile(root + "/" + name, bytes);
    Tcb* t = OpenText(e.V(), (root + "/" + name).c_str(), MODE_UTF8);
    e->alertText[0] = 0;
    return t;
  }
  void edit(const std::string& s) { type(s); }
  void gotoLine(int n) {
    Tcb* t = e.cur();
    AFlush(e.V());
    Link* l = t->base->next();
    for (int i = 1; i < n; i++) l = l->next();
    t->curLine = l;
    t->lineNo = n;
    ALoad(e.V());
  }
  int openTexts() {
    int n = 0;
    Tcb* t = e->tcbRing;
    do {
      if (t->base) n++;
      t = t->next;
    } while (t != e->tcbRing);
    return n;
  }

  vt::TempDir dir;
  std::string root;
  vt::Editor e;
};

TEST_F(FileCommands, SaveStayWritesAndKeepsTheTextOpen) {
  Tcb* t = openFile("a.txt", "old\n");
  edit("new ");
  command(cmd::SaveStay);
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(message(), "Save file:");
  enter();  // the preset name
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "new old\n");
  EXPECT_EQ(vt::ReadFile(root + "/a.txt~"), "old\n");
  EXPECT_EQ(e.cur(), t);
  EXPECT_FALSE(e.modified());
  EXPECT_FALSE(e->quit);
}

TEST_F(FileCommands, SaveExitUnderTheSameNameClosesWithoutAsking) {
  openFile("b.txt", "other\n");
  openFile("a.txt", "old\n");
  edit("x");
  command(cmd::SaveExit);
  EXPECT_EQ(message(), "Save & exit:");
  enter();
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "xold\n");
  EXPECT_EQ(openTexts(), 1);
  EXPECT_EQ(std::string(e.cur()->fileName), "b.txt");
  EXPECT_FALSE(e->quit);
}

TEST_F(FileCommands, ClosingTheLastTextEndsTheEditor) {
  openFile("a.txt", "old\n");  // replaces the untouched scratch text
  ASSERT_EQ(openTexts(), 1);
  command(cmd::SaveExit);
  enter();
  EXPECT_EQ(e.cur(), nullptr);
  EXPECT_TRUE(e->quit);
}

TEST_F(FileCommands, SaveAsAnExistingFileAsksAndNoKeepsTheOldName) {
  Tcb* t = openFile("a.txt", "mine\n");
  vt::WriteFile(root + "/b.txt", "theirs\n");
  edit("!");
  command(cmd::SaveExit);
  answer("b.txt");
  EXPECT_EQ(message(), "File exist, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(std::string(t->fileName), "a.txt");
  EXPECT_EQ(vt::ReadFile(root + "/b.txt"), "theirs\n");
  EXPECT_EQ(e.cur(), t) << "nothing saved, nothing closed";
  EXPECT_TRUE(e.modified());

  command(cmd::SaveExit);
  answer("b.txt");
  key(27);  // Esc answers no as well
  EXPECT_EQ(std::string(t->fileName), "a.txt");
  EXPECT_EQ(vt::ReadFile(root + "/b.txt"), "theirs\n");

  command(cmd::SaveExit);
  answer("b.txt");
  type("y");
  EXPECT_EQ(vt::ReadFile(root + "/b.txt"), "!mine\n");
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "mine\n");
  EXPECT_TRUE(e->quit);
}

TEST_F(FileCommands, SaveStayUnderANewNameRenamesTheText) {
  Tcb* t = openFile("a.txt", "text\n");
  command(cmd::SaveStay);
  answer("c.txt");
  EXPECT_EQ(vt::ReadFile(root + "/c.txt"), "text\n");
  EXPECT_EQ(std::string(t->fileName), "c.txt");
  EXPECT_EQ(e.cur(), t);
}

TEST_F(FileCommands, SaveAsIntoAnotherDirectoryWritesThere) {
  Tcb* t = openFile("a.txt", "text\n");
  mkdir((root + "/sub").c_str(), 0777);
  vt::WriteFile(root + "/a2.txt", "other\n");
  command(cmd::SaveStay);
  answer("sub/a.txt");
  EXPECT_EQ(vt::ReadFile(root + "/sub/a.txt"), "text\n");
  EXPECT_EQ(std::string(t->dirName), root + "/sub");
  EXPECT_EQ(std::string(t->fileName), "a.txt");
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "text\n");

  // Same name, other directory, file there: that is another file.
  vt::WriteFile(root + "/a.txt", "keep me\n");
  command(cmd::SaveStay);
  answer(root + "/a.txt");
  EXPECT_EQ(message(), "File exist, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "keep me\n");
  EXPECT_EQ(std::string(t->dirName), root + "/sub");
}

TEST_F(FileCommands, SaveAsIntoAMissingDirectoryCreatesItOnYes) {
  openFile("a.txt", "text\n");
  command(cmd::SaveStay);
  answer("new/dir/f.txt");
  EXPECT_EQ(message(), "Create path?:");
  type("y");
  EXPECT_EQ(vt::ReadFile(root + "/new/dir/f.txt"), "text\n");
}

TEST_F(FileCommands, AnUnnamedTextGetsAFileOnSave) {
  Tcb* t = e.cur();
  ASSERT_EQ(t->kind, KIND_NEW);
  edit("draft");
  command(cmd::SaveStay);
  answer("draft.txt");
  EXPECT_EQ(vt::ReadFile(root + "/draft.txt"), "draft\n");
  EXPECT_EQ(t->kind, KIND_FILE);
  EXPECT_FALSE(e.modified());
}

TEST_F(FileCommands, AnEmptyNameSavesNothing) {
  edit("draft");
  command(cmd::SaveExit);
  enter();
  EXPECT_EQ(e.alert(), "No file name");
  EXPECT_TRUE(e.modified());
  EXPECT_NE(e.cur(), nullptr);
  EXPECT_FALSE(vt::Exists(root + "/~~"));
}

TEST_F(FileCommands, AFailedSaveKeepsTheTextOpenModifiedAndNamed) {
  Tcb* t = openFile("a.txt", "old\n");
  edit("x");
  SetWriteFault(2, ENOSPC);
  command(cmd::SaveExit);
  enter();
  EXPECT_EQ(e.cur(), t) << "Save & exit must not close a text it could not save";
  EXPECT_TRUE(e.modified());
  EXPECT_FALSE(e->quit);
  EXPECT_NE(e.alert(), "");
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "old\n");

  command(cmd::SaveStay);
  answer("b.txt");
  EXPECT_EQ(std::string(t->fileName), "a.txt") << "the name of a file never written is not taken";
  EXPECT_TRUE(e.modified());
  SetWriteFault(0, 0);
  command(cmd::SaveExit);
  enter();
  EXPECT_TRUE(e->quit);
}

TEST_F(FileCommands, ADuplicateIsNotSaved) {
  Tcb* main = openFile("a.txt", "text\n");
  Tcb* dup = OpenDup(e.V(), main->number);
  ASSERT_NE(dup, nullptr);
  const std::string dupName = dup->fileName;
  edit("x");
  command(cmd::SaveStay);
  answer("other.txt");
  EXPECT_EQ(e.alert(), "Text is a duplicate, NO save");
  EXPECT_EQ(std::string(dup->fileName), dupName);
  EXPECT_FALSE(vt::Exists(root + "/other.txt"));
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "text\n");
}

TEST_F(FileCommands, DiscardExitAsksOnlyForChangedTexts) {
  openFile("a.txt", "one\n");
  Tcb* b = openFile("b.txt", "two\n");
  ASSERT_EQ(openTexts(), 2);
  command(cmd::DiscardExit);  // b is unchanged: closed at once
  EXPECT_EQ(b->base, nullptr);
  EXPECT_EQ(e->inputMode, ModeEdit);

  edit("x");
  command(cmd::DiscardExit);
  EXPECT_EQ(message(), "Discard text [Y/N]:");
  type("n");
  EXPECT_NE(e.cur(), nullptr);
  EXPECT_EQ(e.line(1), "xone");
  EXPECT_TRUE(e.modified());

  command(cmd::DiscardExit);
  type("y");
  EXPECT_EQ(e.cur(), nullptr);
  EXPECT_TRUE(e->quit);
  EXPECT_EQ(vt::ReadFile(root + "/a.txt"), "one\n");
}

TEST_F(FileCommands, ClosingTheWindowAsksForEachChangedText) {
  openFile("a.txt", "one\n");
  edit("x");
  openFile("b.txt", "two\n");
  openFile("c.txt", "three\n");
  edit("y");
  ASSERT_EQ(openTexts(), 3);
  EndText_(e.V(), kCloseAll);
  EXPECT_EQ(message(), "Discard text [Y/N]:");
  EXPECT_EQ(std::string(e.cur()->fileName), "c.txt") << "the current text first";
  EXPECT_EQ(openTexts(), 3);
  type("y");
  EXPECT_EQ(message(), "Discard text [Y/N]:");
  EXPECT_EQ(std::string(e.cur()->fileName), "a.txt") << "then from the first of the ring";
  EXPECT_EQ(openTexts(), 2);
  type("y");
  EXPECT_EQ(openTexts(), 0);
  EXPECT_TRUE(e->quit);
}

TEST_F(FileCommands, ANoWhileClosingTheWindowKeepsTheRest) {
  openFile("a.txt", "one\n");
  edit("x");
  openFile("b.txt", "two\n");
  EndText_(e.V(), kCloseAll);  // b, unchanged, goes at once
  EXPECT_EQ(std::string(e.cur()->fileName), "a.txt");
  type("n");
  EXPECT_EQ(openTexts(), 1);
  EXPECT_EQ(e.line(1), "xone");
  EXPECT_FALSE(e->quit);
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(FileCommands, TheWindowCloseRequestRunsTheCloseAll) {
  openFile("a.txt", "one\n");
  edit("x");
  ASSERT_NE(loopHooks().closeAll, nullptr);
  loopHooks().closeAll(e.V());
  EXPECT_EQ(message(), "Discard text [Y/N]:");
  type("y");
  EXPECT_TRUE(e->quit);
}

TEST_F(FileCommands, ReloadReadsTheFileAgainOnYesOnly) {
  openFile("a.txt", "one\ntwo\nthree\n");
  gotoLine(3);
  vt::WriteFile(root + "/a.txt", "ONE\nTWO\n");
  command(cmd::ReloadText);
  EXPECT_EQ(message(), "Reload? [Y/N]:");
  type("n");
  EXPECT_EQ(e.text(), "one\ntwo\nthree");

  edit("changed ");
  command(cmd::ReloadText);
  type("y");
  EXPECT_EQ(e.text(), "ONE\nTWO");
  EXPECT_EQ(e.lineNo(), 2) << "the file is now shorter: the last line";
  EXPECT_FALSE(e.modified());
}

TEST_F(FileCommands, ReloadOfADuplicateReloadsItsText) {
  Tcb* main = openFile("a.txt", "one\n");
  Tcb* dup = OpenDup(e.V(), main->number);
  vt::WriteFile(root + "/a.txt", "fresh\n");
  command(cmd::ReloadText);
  type("y");
  EXPECT_EQ(e.cur(), dup);
  EXPECT_EQ(e.text(), "fresh");
  EXPECT_EQ(dup->base, main->base);
  EXPECT_EQ(vt::CheckList(main->base), "");
}

TEST_F(FileCommands, ReloadKeepsTheTextWhenItsFileIsGone) {
  openFile("a.txt", "precious\n");
  std::remove((root + "/a.txt").c_str());
  command(cmd::ReloadText);
  type("y");
  EXPECT_EQ(e.alert(), "File not found");
  EXPECT_EQ(e.text(), "precious");
}

TEST_F(FileCommands, OpenTextAsksAndOpensWithTheEncodingOfItsCommand) {
  vt::WriteFile(root + "/latin.txt", "caf\xe9\n");
  command(cmd::OpenTextISO);
  EXPECT_EQ(message(), "Open file:");
  answer("latin.txt");
  EXPECT_EQ(std::string(e.cur()->fileName), "latin.txt");
  EXPECT_EQ(e.cur()->mode & MODE_ENCODING, MODE_LATIN1);
  EXPECT_EQ(e.text(), "café");
  EXPECT_EQ(openTexts(), 1) << "the untouched scratch text gave way";

  command(cmd::OpenText);
  answer("missing.txt");
  EXPECT_EQ(e.alert(), "New file.");
  EXPECT_EQ(std::string(e.cur()->fileName), "missing.txt");
  EXPECT_EQ(openTexts(), 2);
}

TEST_F(FileCommands, SaveBlockAsksBeforeOverwriting) {
  openFile("a.txt", "text\n");
  SaveBlk(e.V(), "blk.txt", e.cur()->base, 0);
  EXPECT_EQ(vt::ReadFile(root + "/blk.txt"), "text\n");
  EXPECT_EQ(e->inputMode, ModeEdit);

  vt::WriteFile(root + "/blk.txt", "keep\n");
  SaveBlk(e.V(), "blk.txt", e.cur()->base, 0);
  EXPECT_EQ(message(), "File exist, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/blk.txt"), "keep\n");
  SaveBlk(e.V(), "blk.txt", e.cur()->base, 0);
  type("y");
  EXPECT_EQ(vt::ReadFile(root + "/blk.txt"), "text\n");
  EXPECT_EQ(e.text(), "text") << "a whole text is written, not released";
}

TEST_F(FileCommands, ABlockTextIsWrittenOnlyOnYes) {
  openFile("a.txt", "text\n");
  vt::WriteFile(root + "/blk.txt", "keep\n");
  SaveBlk(e.V(), "blk.txt", TextFromBytes(e.V(), "lifted\n", 7, 0, MODE_UTF8), 1);
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/blk.txt"), "keep\n");
  SaveBlk(e.V(), "blk.txt", TextFromBytes(e.V(), "lifted\n", 7, 0, MODE_UTF8), 1);
  type("y");
  EXPECT_EQ(vt::ReadFile(root + "/blk.txt"), "lifted\n");
  SaveBlk(e.V(), "blk2.txt", TextFromBytes(e.V(), "new\n", 4, 0, MODE_UTF8), 1);
  EXPECT_EQ(vt::ReadFile(root + "/blk2.txt"), "new\n");
  EXPECT_EQ(e.text(), "text");
}


// ---- Paths that only look odd: each save lands in the text's own file ----

TEST_F(FileCommands, AnAtSignInAFolderIsNoCipherKey) {
  ASSERT_EQ(mkdir((root + "/x@y").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/node_modules").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/node_modules/@types").c_str(), 0755), 0);
  for (const char* rel : {"x@y/notes.txt", "node_modules/@types/index.d.ts"}) {
    SCOPED_TRACE(rel);
    vt::WriteFile(root + "/" + rel, "old\n");
    // Opened by its absolute name and by a name relative to the folder.
    for (const std::string& path : {root + "/" + rel, std::string(rel)}) {
      CopyCut(e->curDir, sizeof e->curDir, root.c_str());
      e->alertText[0] = 0;
      Tcb* t = OpenText(e.V(), path.c_str(), MODE_UTF8);
      ASSERT_NE(t, nullptr);
      EXPECT_STREQ(e->alertText, "") << "the file was read";
      EXPECT_EQ(e.text(), "old");
      edit("new ");
      command(cmd::SaveStay);
      enter();
      EXPECT_EQ(e->inputMode, ModeEdit) << "saved at once, no question, no browser";
      EXPECT_EQ(vt::ReadFile(root + "/" + rel), "new old\n");
      EXPECT_EQ(t->modified, 0);
      vt::WriteFile(root + "/" + rel, "old\n");
      command(cmd::DiscardExit);
    }
  }
  EXPECT_FALSE(vt::Exists(root + "/x")) << "nothing is written beside the folder";
}

TEST_F(FileCommands, LongFolderAndNamesAreNeverCut) {
  // A 254-byte folder beside a namesake of the file below it.
  const std::string d = root + "/" + std::string(254, 'd');
  ASSERT_EQ(mkdir(d.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((d + "/sub").c_str(), 0755), 0);
  vt::WriteFile(d + "/f.txt", "namesake\n");
  openFile(std::string(254, 'd') + "/sub/f.txt", "deep\n");
  edit("x");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(vt::ReadFile(d + "/sub/f.txt"), "xdeep\n");
  EXPECT_EQ(vt::ReadFile(d + "/f.txt"), "namesake\n");

  // Names of 254 and 255 bytes: read, saved, and no temporary file left.
  for (int len : {254, 255}) {
    SCOPED_TRACE(len);
    const std::string name(size_t(len), 'n');
    Tcb* t = openFile(name, "long name\n");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(e.text(), "long name");
    edit("y");
    command(cmd::SaveStay);
  enter();
    EXPECT_EQ(vt::ReadFile(root + "/" + name), "ylong name\n");
    EXPECT_EQ(t->modified, 0);
    // "name~" fits beside a 254-byte name only.
    EXPECT_EQ(vt::Exists(root + "/" + name + "~"), len == 254);
    command(cmd::DiscardExit);
  }
  for (const auto& f : std::filesystem::directory_iterator(root)) {
    const std::string n = f.path().filename();
    EXPECT_TRUE(n.find(".vexor-") != 0 && !n.ends_with("~~")) << "left behind: " << n;
  }
}

TEST_F(FileCommands, APathLongerThanThePathLimitIsRefused) {
  const std::string tooLong = root + "/" + std::string(kPathMax, 'p') + "/f.txt";
  const int before = openTexts();
  EXPECT_EQ(OpenText(e.V(), tooLong.c_str(), MODE_UTF8), nullptr);
  EXPECT_STREQ(e->alertText, "Path too long");
  EXPECT_EQ(openTexts(), before);

  // A name typed at the prompt that would make the path too long: refused,
  // nothing written, the text keeps its name and its change.
  std::string deep = root;
  while (deep.size() + 251 < size_t(kPathMax) - 40) {
    deep += "/" + std::string(250, 'l');
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  }
  vt::WriteFile(deep + "/f.txt", "text\n");
  Tcb* t = OpenText(e.V(), (deep + "/f.txt").c_str(), MODE_UTF8);
  ASSERT_NE(t, nullptr);
  edit("z");
  command(cmd::SaveStay);
  answer(std::string(kPromptAnswerMax, 'q'));
  EXPECT_STREQ(e->alertText, "Path too long");
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(vt::ReadFile(deep + "/f.txt"), "text\n");
  EXPECT_STREQ(t->fileName, "f.txt");
  EXPECT_EQ(t->modified, 1);
}

TEST_F(FileCommands, PipesAndDevicesAreNeverOpened) {
  const std::string fifo = root + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const int before = openTexts();
  for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    SCOPED_TRACE(path);
    e->alertText[0] = 0;
    EXPECT_EQ(OpenText(e.V(), path.c_str(), MODE_UTF8), nullptr);
    EXPECT_STREQ(e->alertText, "Not a regular file");
    EXPECT_EQ(openTexts(), before);
  }
  // Saving onto one is refused too.
  Tcb* t = openFile("a.txt", "text\n");
  edit("w");
  SaveBlk(e.V(), "pipe", t->base, 0);
  type("y");
  EXPECT_STREQ(e->alertText, "Not a regular file");
}

TEST_F(FileCommands, AReadOnlyFileIsOverwrittenOnlyWhenTheUserSaysSo) {
  Tcb* t = openFile("ro.txt", "locked\n");
  ASSERT_EQ(chmod((root + "/ro.txt").c_str(), 0444), 0);
  command(cmd::DiscardExit);
  t = OpenText(e.V(), (root + "/ro.txt").c_str(), MODE_UTF8);
  EXPECT_STREQ(e->alertText, "Read-only file");
  edit("new ");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(message(), "File is read-only, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/ro.txt"), "locked\n");
  EXPECT_EQ(t->modified, 1);
  EXPECT_STREQ(t->fileName, "ro.txt");

  command(cmd::SaveExit);
  enter();
  EXPECT_EQ(message(), "File is read-only, Overwrite? [Y/N]:");
  type("y");
  EXPECT_EQ(vt::ReadFile(root + "/ro.txt"), "new locked\n");
  struct stat st;
  ASSERT_EQ(stat((root + "/ro.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u) << "the file keeps its mode";

  // Writing a block onto it asks the same.
  openFile("b.txt", "block\n");
  SaveBlk(e.V(), "ro.txt", e.cur()->base, 0);
  EXPECT_EQ(message(), "File is read-only, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/ro.txt"), "new locked\n");
}

}  // namespace

// ---- Changes on disk by another program, and files too large to open ----

namespace {

// Gives `path` a modification time of its own, `ns` nanoseconds into 2001,
// so that two writes in one clock tick still differ.
void touchAt(const std::string& path, long ns) {
  const timespec times[2] = {{0, UTIME_OMIT}, {1000000000 + ns / 1000000000, ns % 1000000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

}  // namespace

TEST_F(FileCommands, SavingOverAFileChangedOnDiskAsksAndNoKeepsTheirs) {
  const std::string a = root + "/a.txt";
  vt::WriteFile(a, "old\n");
  touchAt(a, 1);
  Tcb* t = OpenText(e.V(), a.c_str(), MODE_UTF8);
  edit("mine ");
  // Same size, another nanosecond: still a change.
  vt::WriteFile(a, "OLD\n");
  touchAt(a, 2);
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(message(), "File changed on disk, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(a), "OLD\n");
  EXPECT_EQ(e.cur(), t);
  EXPECT_TRUE(e.modified());
  EXPECT_FALSE(vt::Exists(a + "~"));
  command(cmd::SaveExit);
  enter();
  key(27);  // Esc: no as well, nothing closed
  EXPECT_EQ(vt::ReadFile(a), "OLD\n");
  EXPECT_EQ(e.cur(), t);

  // Yes writes; the save is remembered, so the next one does not ask.
  command(cmd::SaveStay);
  enter();
  type("y");
  EXPECT_EQ(vt::ReadFile(a), "mine old\n");
  EXPECT_FALSE(e.modified());
  edit("+");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(e->inputMode, ModeEdit) << message();
  EXPECT_EQ(vt::ReadFile(a), "mine +old\n");

  // Replaced by another file of the same size and time: another inode.
  vt::WriteFile(root + "/other", "mine +old\n");
  struct stat st;
  ASSERT_EQ(stat(a.c_str(), &st), 0);
  const timespec same[2] = {st.st_atim, st.st_mtim};
  utimensat(AT_FDCWD, (root + "/other").c_str(), same, 0);
  ASSERT_EQ(rename((root + "/other").c_str(), a.c_str()), 0);
  edit("-");
  command(cmd::SaveExit);
  enter();
  EXPECT_EQ(message(), "File changed on disk, Overwrite? [Y/N]:");
  type("y");
  EXPECT_EQ(vt::ReadFile(a), "mine +-old\n");
  EXPECT_NE(e.cur(), t) << "Save & exit closes once the answer is yes";
}

TEST_F(FileCommands, AFileDeletedIsWrittenAndOneCreatedSinceIsAskedAbout) {
  Tcb* t = openFile("gone.txt", "was\n");
  edit("x");
  std::filesystem::remove(root + "/gone.txt");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(e->inputMode, ModeEdit) << message();
  EXPECT_EQ(vt::ReadFile(root + "/gone.txt"), "xwas\n");

  // Opened as a new file, then made by someone else.
  OpenText(e.V(), (root + "/new.txt").c_str(), MODE_UTF8);
  edit("mine");
  vt::WriteFile(root + "/new.txt", "theirs\n");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(message(), "File changed on disk, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(root + "/new.txt"), "theirs\n");

  // Reading it again makes it the file the text knows.
  e->curTcb = t;
  ReloadText(e.V());
  type("y");
  edit("y");
  command(cmd::SaveStay);
  enter();
  EXPECT_EQ(e->inputMode, ModeEdit) << message();
  EXPECT_EQ(vt::ReadFile(root + "/gone.txt"), "xywas\n");
}

TEST_F(FileCommands, ABlockWrittenOverItsTextsChangedFileAsksAboutTheChange) {
  const std::string a = root + "/a.txt";
  vt::WriteFile(a, "text\n");
  touchAt(a, 1);
  OpenText(e.V(), a.c_str(), MODE_UTF8);
  // Its own file, unchanged: the usual question.
  SaveBlk(e.V(), "a.txt", TextFromBytes(e.V(), "blk\n", 4, 0, MODE_UTF8), 1);
  EXPECT_EQ(message(), "File exist, Overwrite? [Y/N]:");
  type("y");
  EXPECT_EQ(vt::ReadFile(a), "blk\n");
  // Changed by another program since.
  vt::WriteFile(a, "theirs\n");
  SaveBlk(e.V(), "a.txt", TextFromBytes(e.V(), "blk2\n", 5, 0, MODE_UTF8), 1);
  EXPECT_EQ(message(), "File changed on disk, Overwrite? [Y/N]:");
  type("n");
  EXPECT_EQ(vt::ReadFile(a), "theirs\n");
  // Another file entirely is no business of the check.
  vt::WriteFile(root + "/b.txt", "b\n");
  SaveBlk(e.V(), "b.txt", TextFromBytes(e.V(), "blk3\n", 5, 0, MODE_UTF8), 1);
  EXPECT_EQ(message(), "File exist, Overwrite? [Y/N]:");
  type("n");
}

TEST_F(FileCommands, AFileTooLargeForMemoryIsNotOpenedAndNothingElseSuffers) {
  Tcb* b = openFile("b.txt", "keep me\nintact\n");
  edit("edited ");
  std::string big;
  for (int i = 0; i < 40000; i++) big += "a line of some length to fill the arena, number " + std::to_string(i) + "\n";
  vt::WriteFile(root + "/big.txt", big);
  const int texts = openTexts();
  e->memBlockLimit = e->memBlocks;  // nothing more to be had
  EXPECT_EQ(OpenText(e.V(), (root + "/big.txt").c_str(), MODE_UTF8), nullptr);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(openTexts(), texts);
  EXPECT_EQ(e.cur(), b);
  EXPECT_EQ(e.text(), "edited keep me\nintact");
  EXPECT_EQ(std::string(e->curDir), root);
  // The part read went back to the store: the editor goes on, and with
  // memory again the file opens whole.
  edit("more ");
  EXPECT_EQ(e.text(), "edited more keep me\nintact");
  e->memBlockLimit = 0;
  Tcb* t = OpenText(e.V(), (root + "/big.txt").c_str(), MODE_UTF8);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(CountLines(t->base), 40000);
}

TEST_F(FileCommands, OpeningBesideANewerRescueSaysSoAndReplacesNothing) {
  const std::string a = root + "/a.txt";
  vt::WriteFile(a, "file\n");
  vt::WriteFile(a + ".save", "rescued\n");
  touchAt(a, 1);
  touchAt(a + ".save", 2);
  // The key is no part of the name on disk, nor of the message.
  ASSERT_NE(OpenText(e.V(), (a + "@key").c_str(), MODE_UTF8), nullptr);
  EXPECT_EQ(e.alert(), "Rescued copy exists: a.txt.save");
  OpenText(e.V(), a.c_str(), MODE_UTF8);
  EXPECT_EQ(e.alert(), "Rescued copy exists: a.txt.save");
  EXPECT_EQ(e.text(), "file") << "nothing replaced";
  // One older than the file was rescued before a later save.
  touchAt(a + ".save", 0);
  e->alertText[0] = 0;
  OpenText(e.V(), a.c_str(), MODE_UTF8);
  EXPECT_EQ(e.alert(), "");
  EXPECT_EQ(e.text(), "file");
  // A rescue of a text never saved: its file does not exist.
  vt::WriteFile(root + "/new.txt.save", "x\n");
  OpenText(e.V(), (root + "/new.txt").c_str(), MODE_UTF8);
  EXPECT_EQ(e.alert(), "Rescued copy exists: new.txt.save");
}
