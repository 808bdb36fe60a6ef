// Rescue of the unsaved texts of an editor that must end: which texts, to
// which files, in which form, and what is never touched on the way.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/file_io.h"
#include "core/rescue.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Rescue : public ::testing::Test {
 protected:
  void SetUp() override { CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str()); }

  // Rescues and returns what was logged.
  std::string rescue(int* lost = nullptr) {
    char* buf = nullptr;
    size_t len = 0;
    std::FILE* log = open_memstream(&buf, &len);
    const int n = RescueTexts(e.V(), log);
    std::fclose(log);
    std::string s(buf, len);
    std::free(buf);
    if (lost) *lost = n;
    return s;
  }
  static unsigned modeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0xffff;
  }
  std::string cfg() {
    std::string d = e->cfgDir;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d;
  }
  // The n-th rescue of this process in the configuration directory.
  std::string inConfig(int n) {
    return cfg() + "/rescued-" + std::to_string(long(getpid())) + "-" + std::to_string(n) + ".save";
  }

  vt::TempDir dir;
  vt::Editor e;
};

TEST_F(Rescue, EveryModifiedTextInItsOwnFormToAFileThatReplacesNothing) {
  // The unnamed scratch text typed into (so opening a file keeps it).
  StrInsert("typed", &e->aline, 0);
  e->alineDirty = 1;
  AFlush(e.V());
  e.cur()->modified = 1;
  // a.txt: CR LF and TABs (kept in the edited line, which keeps its
  // columns), edited on its cursor line, not yet flushed.
  vt::WriteFile(dir.file("a.txt"), "\tone\r\ntwo\r\n");
  Tcb* a = OpenText(e.V(), dir.file("a.txt").c_str(), MODE_UTF8);
  StrInsert("new ", &e->aline, 0);
  e->alineDirty = 1;
  // A rescue from before and a link planted where b's would go.
  vt::WriteFile(dir.file("a.txt.save"), "older rescue\n");
  vt::WriteFile(dir.file("victim"), "victim\n");
  ASSERT_EQ(symlink("victim", dir.file("b.txt.save").c_str()), 0);
  // b.txt: ISO-8859-1, enciphered with the block cipher, modified.
  Tcb* b = e.open("caf\xe9 secretword\n", "b.txt@@k3y-of-b", MODE_LATIN1);
  b->modified = 1;
  // c.txt unchanged; a duplicate of b.
  e.open("same\n", "c.txt");
  ASSERT_NE(OpenDup(e.V(), b->number), nullptr);
  e->curTcb = a;

  int lost = -1;
  const std::string log = rescue(&lost);
  EXPECT_EQ(lost, 0);

  EXPECT_EQ(vt::ReadFile(dir.file("a.txt.save")), "older rescue\n");
  EXPECT_EQ(vt::ReadFile(dir.file("a.txt.save.1")), "new\t    one\r\ntwo\r\n");
  EXPECT_EQ(modeOf(dir.file("a.txt.save.1")), 0600u);
  EXPECT_EQ(vt::ReadFile(dir.file("victim")), "victim\n");
  const std::string sealed = vt::ReadFile(dir.file("b.txt.save.1"));
  EXPECT_EQ(sealed.size(), 16u);
  EXPECT_EQ(sealed.find("secret"), std::string::npos);
  EXPECT_EQ(modeOf(dir.file("b.txt.save.1")), 0600u);
  Link* back = GetFile(e.V(), "b.txt.save.1@@k3y-of-b", 0, MODE_LATIN1);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(vt::Stored(back->next()), "caf\xc3\xa9 secretword");
  EXPECT_FALSE(vt::Exists(dir.file("c.txt.save")));
  EXPECT_FALSE(vt::Exists(dir.file("b.txt.save.2")));  // the duplicate is the same text
  EXPECT_EQ(vt::ReadFile(inConfig(1)), "typed\n");
  EXPECT_EQ(modeOf(inConfig(1)), 0600u);

  EXPECT_NE(log.find("vexor: rescued " + dir.file("a.txt") + " to " + dir.file("a.txt.save.1") + "\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("vexor: rescued " + dir.file("b.txt") + " to " + dir.file("b.txt.save.1") + "\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("vexor: rescued an unnamed text to " + inConfig(1) + "\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("k3y"), std::string::npos);
  // Nothing left over: no temporary file, no backup.
  int files = 0;
  for (const auto& f : fs::directory_iterator(dir.path())) files += !f.path().string().ends_with("~");
  EXPECT_EQ(files, 6);
}

TEST_F(Rescue, AFolderThatCannotTakeItSendsTheTextToTheConfigurationDirectory) {
  const std::string gone = dir.file("gone");
  fs::create_directory(gone);
  Tcb* t = e.open("kept\n", "x.txt@key");
  CopyCut(t->dirName, sizeof t->dirName, gone.c_str());
  t->modified = 1;
  fs::remove(gone);
  // Nothing modified elsewhere: the scratch text is clean.
  const std::string log = rescue();
  const std::string head = "vexor: rescued " + gone + "/x.txt to " + cfg() + "/rescued-";
  ASSERT_EQ(log.rfind(head, 0), 0u) << log;
  ASSERT_TRUE(log.ends_with(".save\n")) << log;
  const std::string path = log.substr(log.find(" to ") + 4, log.size() - log.find(" to ") - 5);
  // Stream cipher: as long as the text, and not the text.
  const std::string sealed = vt::ReadFile(path);
  EXPECT_EQ(sealed.size(), 5u);
  EXPECT_NE(sealed, "kept\n");
  EXPECT_EQ(log.find("key"), std::string::npos);
  // No text modified: nothing written, nothing said.
  t->modified = 0;
  EXPECT_EQ(rescue(), "");
}

TEST(RescueSignals, AreNotedAndWakeTheLoopWithoutEndingTheProcess) {
  const int fd = RescueSignalsInstall();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(RescueSignalPending(), 0);
  raise(SIGTERM);
  raise(SIGINT);  // a second one during the rescue changes nothing
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 1);
  EXPECT_EQ(RescueSignalPending(), SIGTERM);
  EXPECT_EQ(poll(&p, 1, 0), 0);  // drained
  raise(SIGQUIT);
  raise(SIGHUP);
  EXPECT_EQ(RescueSignalPending(), SIGTERM);
}

}  // namespace
