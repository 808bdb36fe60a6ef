// Start-up state, the configuration directory, the alert line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/headless.h"

namespace {

namespace fs = std::filesystem;

TEST(InitEditor, StartsWithTheBuiltInState) {
  vt::Editor e;
  EXPECT_EQ(e->defaults.winWidth, 800);
  EXPECT_EQ(e->defaults.winHeight, 600);
  EXPECT_EQ(e->defaults.rightMargin, 79);
  EXPECT_EQ(e->defaults.mode, 0x4232u);
  EXPECT_EQ(e->toggles, 0x4232u & 0x38412u);
  EXPECT_EQ(e->singleView, 1);
  EXPECT_EQ(e->delMax, 250);
  EXPECT_EQ(e->delCount, 0);
  ASSERT_NE(e->delBase, nullptr);
  EXPECT_TRUE(IsBase(e->delBase));
  EXPECT_EQ(e->tube[0], tchar(' '));
  EXPECT_EQ(e->tube[1023], tchar(' '));
  EXPECT_NE(e->undoArea, nullptr);
  EXPECT_STREQ(e->searchOpts, " I   T    ");
  EXPECT_EQ(e->wordClass, e->wordBreak);
  EXPECT_EQ(e->upcase['a'], 'A');
  char cwd[512];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_STREQ(e->startDir, cwd);
  EXPECT_STREQ(e->curDir, cwd);
  // The scratch text is text 0 on the ring head.
  EXPECT_EQ(e.cur(), e->tcbRing);
  EXPECT_EQ(e.cur()->number, 0);
  EXPECT_EQ(e.lineCount(), 1);
  EXPECT_EQ(blanks[0], tchar(' '));
  EXPECT_EQ(blanks[1023], tchar(' '));
}

TEST(CfgDir, AProgramUnderHomeKeepsItsSettingsBesideItself) {
  char out[256];
  ChooseCfgDir(out, sizeof out, "/home/ann/bin/vexor", "/nonexistent");
  EXPECT_STREQ(out, "/home/ann/bin/");
}

class CfgDirHome : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vexor-home-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
  }
  void TearDown() override { fs::remove_all(home); }
  std::string home;
};

TEST_F(CfgDirHome, MissingDirectoryIsCreatedPrivatelyWritable) {
  char out[256];
  mode_t old = umask(0);
  ChooseCfgDir(out, sizeof out, "/usr/bin/vexor", home.c_str());
  umask(old);
  EXPECT_EQ(std::string(out), home + "/.vexor/");
  struct stat st;
  ASSERT_EQ(stat(out, &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0755u);  // never world-writable
  // Found again the next time.
  ChooseCfgDir(out, sizeof out, nullptr, home.c_str());
  EXPECT_EQ(std::string(out), home + "/.vexor/");
}

TEST_F(CfgDirHome, UnusableDirectoryMeansNone) {
  char out[256];
  // A file where the directory should be: cannot be opened nor created.
  FILE* f = std::fopen((home + "/.vexor").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ChooseCfgDir(out, sizeof out, "/usr/bin/vexor", home.c_str());
  EXPECT_STREQ(out, "");
  ChooseCfgDir(out, sizeof out, "/usr/bin/vexor", (home + "/no/such/parent").c_str());
  EXPECT_STREQ(out, "");
  std::string tooLong(300, 'h');
  ChooseCfgDir(out, sizeof out, "/usr/bin/vexor", ("/" + tooLong).c_str());
  EXPECT_STREQ(out, "");
}

// The override tests rely on: a named folder is used (and made) as it is,
// the real home is never reached, and without it the user's rule applies.
TEST_F(CfgDirHome, EnvironmentOverrideIsUsedAndCreated) {
  const char* before = std::getenv("VEXOR_CONFIG_DIR");
  const std::string saved = before ? before : "";
  const std::string dir = home + "/settings";
  setenv("VEXOR_CONFIG_DIR", dir.c_str(), 1);
  {
    vt::Editor e;
    EXPECT_EQ(std::string(e->cfgDir), dir + "/");
    EXPECT_TRUE(fs::is_directory(dir));
  }
  // Already ending in a slash: taken as it is.
  setenv("VEXOR_CONFIG_DIR", (dir + "/").c_str(), 1);
  {
    vt::Editor e;
    EXPECT_EQ(std::string(e->cfgDir), dir + "/");
  }
  // A folder that cannot be made means none, never the home directory.
  setenv("VEXOR_CONFIG_DIR", (home + "/no/such/parent").c_str(), 1);
  {
    vt::Editor e;
    EXPECT_STREQ(e->cfgDir, "");
  }
  setenv("VEXOR_CONFIG_DIR", saved.c_str(), 1);
}

TEST(CfgDir, TestEditorsNeverUseTheRealHome) {
  vt::Editor e;
  const char* set = std::getenv("VEXOR_CONFIG_DIR");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(std::string(e->cfgDir).rfind(set, 0), 0u) << e->cfgDir;
  EXPECT_EQ(std::string(e->cfgDir).find("/.vexor/"), std::string::npos) << e->cfgDir;
}

TEST(Alert, MessageIsCutTo255BytesAndShownInTheCurrentView) {
  vt::Editor e;
  std::string longer(300, 'm');
  e->redraw = 0;
  SetAlert(e.V(), longer.c_str());
  EXPECT_EQ(std::string(e->alertText), std::string(255, 'm'));
  EXPECT_TRUE(e->redraw & REDRAW_ALERT);
  EXPECT_EQ(e->textWithAlert, e.cur());
}

TEST(FatalError, EndsTheLoopWithoutSaving) {
  vt::Editor e;
  FatalError(e.V());
  EXPECT_EQ(e->quit, 1);
}

}  // namespace
