// The file-name dialogue and the file browser: resolving answers, creating
// paths, listing, finding, picking, and getting back to the question.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/file_browser.h"
#include "shell/file_prompt.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

struct Settled {
  int code;
  std::string dir, name;
};
std::vector<Settled> settled;

void record(EditorState* V, int code, intptr_t) { settled.push_back({code, V->curDir, V->reply}); }

std::string trimmed(const char* p) {
  char buf[kPathMax];
  CopyCut(buf, sizeof buf, p);
  trimPath(buf, sizeof buf);
  return buf;
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    settled.clear();
    root = dir.path();
    mkdir((root + "/sub").c_str(), 0777);
    mkdir((root + "/Zeta").c_str(), 0777);
    vt::WriteFile(root + "/a.txt", "a\n");
    vt::WriteFile(root + "/README.md", "r\n");
    vt::WriteFile(root + "/area51.txt", "x\n");
    vt::WriteFile(root + "/my notes.txt", "n\n");
    vt::WriteFile(root + "/sub/inner.txt", "i\n");
    EXPECT_EQ(symlink("a.txt", (root + "/link").c_str()), 0);
    CopyCut(e->curDir, sizeof e->curDir, root.c_str());
    CopyCut(e.cur()->dirName, sizeof e.cur()->dirName, root.c_str());
  }

  void key(int code) { HandleKey(e.V(), code, 0, 0); }
  void cmdKey(int n) { key(CMD_BASE + n); }
  void type(const std::string& s) {
    static ActiveLine chars;
    vt::FromUtf8(&chars, s);
    for (int i = 0; i < chars.count; i++) key(int(chars.c[i]));
  }
  // Asks "Open file:" with the answer typed and Enter pressed.
  void answer(const std::string& s, char* preset = nullptr) {
    FilePrompt_(e.V(), kPromptFileName, "Open file:", preset, 9, 0, record);
    type(s);
    cmdKey(cmd::NewLine);
  }
  std::string promptAnswer() {
    std::string s;
    for (const tchar* p = e->promptLine + e->promptAnswer; *p; p++) {
      uint8_t b[4];
      s.append(reinterpret_cast<char*>(b), size_t(utf8(b, 0, *p)));
    }
    return s;
  }
  std::string message() {
    std::string s;
    for (int i = 0; i < e->promptAnswer - 1; i++) s += char(e->promptLine[i]);
    return s;
  }
  void browse() {
    FilePrompt_(e.V(), kPromptFileName, "Open file:", nullptr, 9, 0, record);
    cmdKey(cmd::OneDown);
  }

  vt::TempDir dir;
  std::string root;
  vt::Editor e;
};

TEST(TrimPath, DropsDotsAndKeepsADirectoryEnd) {
  EXPECT_EQ(trimmed("/tmp/a/../b/./c"), "/tmp/b/c");
  EXPECT_EQ(trimmed("/.."), "/");
  EXPECT_EQ(trimmed("/../../x"), "/x");
  EXPECT_EQ(trimmed("/a//b/"), "/a/b/");
  EXPECT_EQ(trimmed("/a/b/.."), "/a/");
  EXPECT_EQ(trimmed("/a/b/."), "/a/b/");
  EXPECT_EQ(trimmed("/"), "/");
  // A cipher key is no path: its dots stay; an '@' in a folder is a letter.
  EXPECT_EQ(trimmed("/a/./f@k/../x"), "/a/x");
  EXPECT_EQ(trimmed("/m@h/./a/../n.txt@k..e"), "/m@h/n.txt@k..e");
}

TEST_F(Browser, RelativeAbsoluteStartAndHomeNames) {
  answer("a.txt");
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].code, 9);
  EXPECT_EQ(settled[0].dir, root);
  EXPECT_EQ(settled[0].name, "a.txt");

  answer(root + "/sub/../sub/./inner.txt");
  ASSERT_EQ(settled.size(), 2u);
  EXPECT_EQ(settled[1].dir, root + "/sub");
  EXPECT_EQ(settled[1].name, "inner.txt");

  CopyCut(e->startDir, sizeof e->startDir, (root + "/sub").c_str());
  answer("-notes.txt");
  ASSERT_EQ(settled.size(), 3u);
  EXPECT_EQ(settled[2].dir, root + "/sub") << "- is the directory the editor started in";
  EXPECT_EQ(settled[2].name, "notes.txt");

  const char* oldHome = std::getenv("HOME");
  const std::string saved = oldHome ? oldHome : "";
  setenv("HOME", (root + "/Zeta").c_str(), 1);
  answer("~/x");
  if (oldHome)
    setenv("HOME", saved.c_str(), 1);
  else
    unsetenv("HOME");
  ASSERT_EQ(settled.size(), 4u);
  EXPECT_EQ(settled[3].dir, root + "/Zeta");
  EXPECT_EQ(settled[3].name, "x");
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(Browser, TheCallersBufferReceivesTheName) {
  char name[kNameMax] = "old.txt";
  answer("sub/new.txt", name);
  EXPECT_EQ(std::string(name), "new.txt");
  EXPECT_EQ(std::string(e->curDir), root + "/sub");
}

TEST_F(Browser, MissingDirectoriesAreCreatedOnYes) {
  answer(root + "/new/dir/f");
  EXPECT_TRUE(settled.empty());
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(message(), "Create path?:");
  type("y");
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].dir, root + "/new/dir");
  EXPECT_EQ(settled[0].name, "f");
  struct stat st;
  EXPECT_EQ(stat((root + "/new/dir").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(vt::Exists(root + "/new/dir/f")) << "only the directories are made";
}

TEST_F(Browser, NoToCreatePathEndsQuietly) {
  answer(root + "/other/f");
  type("n");
  EXPECT_TRUE(settled.empty());
  EXPECT_FALSE(vt::Exists(root + "/other"));
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(e.alert(), "");
}

TEST_F(Browser, PathsThroughFilesAndDevicesAreRefused) {
  answer("a.txt/x");
  EXPECT_EQ(e.alert(), "Path is a file");
  answer("a.txt/deeper/x");
  EXPECT_EQ(e.alert(), "Path is a file");
  answer("/dev/null/x");
  EXPECT_EQ(e.alert(), "Bad path");
  EXPECT_TRUE(settled.empty());
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(Browser, ListingHasDirectoriesFirstInItsFormats) {
  Tcb* user = e.cur();
  e->singleView = 0;
  browse();
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
  ASSERT_NE(e.cur(), user);
  EXPECT_EQ(e.cur()->kind, KIND_DIR);
  EXPECT_EQ(e->singleView, 1);
  EXPECT_EQ(std::string(e->curDir), root);
  EXPECT_EQ(e.lines(), (std::vector<std::string>{"  <DIR> .", "  <DIR> ..", "  <DIR> Zeta", "  <DIR> sub",
                                                 " <FILE> README.md", " <FILE> a.txt", " <FILE> area51.txt",
                                                 " <LINK> link", " <FILE> my notes.txt"}));
  EXPECT_EQ(e.lineNo(), 1);
  EXPECT_EQ(BuildTitle(e.V(), PromptType(e.V())), "Vexor - " + root + "/");
}

TEST_F(Browser, BrowsingNeitherReplacesNorChangesTheTextShown) {
  // The untouched scratch text would give way to a text opened over it.
  Tcb* scratch = e.cur();
  browse();
  key(27);
  EXPECT_EQ(e.cur(), scratch);
  ASSERT_NE(scratch->base, nullptr);
  EXPECT_FALSE(e.modified());

  e.open("kept\n", "k.txt");
  CopyCut(e.cur()->dirName, sizeof e.cur()->dirName, root.c_str());
  Tcb* text = e.cur();
  key(27);  // leave the first question
  browse();
  type("sub");
  cmdKey(cmd::NewLine);
  key(27);
  EXPECT_EQ(e.cur(), text);
  EXPECT_FALSE(e.modified());
  EXPECT_EQ(e.lines(), std::vector<std::string>{"kept"});
}

TEST_F(Browser, EscGoesBackToTheQuestionAsItWas) {
  Tcb* user = e.cur();
  e->singleView = 0;
  FilePrompt_(e.V(), kPromptFileName, "Open file:", nullptr, 9, 0, record);
  type("abc");
  cmdKey(cmd::OneDown);
  Tcb* listing = e.cur();
  ASSERT_EQ(listing->kind, KIND_DIR);
  key(27);
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(message(), "Open file:");
  EXPECT_EQ(promptAnswer(), "abc");
  EXPECT_EQ(e.cur(), user);
  EXPECT_EQ(listing->base, nullptr) << "the listing is released";
  EXPECT_EQ(e->singleView, 0);
  type("d");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].name, "abcd");
  EXPECT_EQ(settled[0].dir, root);
}

TEST_F(Browser, TypingFindsEntriesAndRightFindsTheNext) {
  browse();
  type("rea");
  EXPECT_EQ(e.lineNo(), 5);  // README.md
  EXPECT_EQ(e.cur()->row, 4);  // the entries above stay in view
  EXPECT_EQ(e.col(), 8);
  EXPECT_EQ(e->hiliteLen, 3);
  cmdKey(cmd::OneRight);
  EXPECT_EQ(e.lineNo(), 7);  // area51.txt
  EXPECT_EQ(e.cur()->row, 6);
  EXPECT_EQ(e.col(), 9);
  EXPECT_EQ(e->hiliteLen, 3);
  // Wraps round to the first hit.
  cmdKey(cmd::OneRight);
  EXPECT_EQ(e.lineNo(), 5);
  // A search that fails everywhere leaves the cursor where it was.
  type("q");
  EXPECT_EQ(e.lineNo(), 5);
  EXPECT_EQ(e.col(), 8);
  EXPECT_EQ(e->hiliteLen, 0);
  // Another command starts a new search.
  cmdKey(cmd::Backspace);
  type("MY");
  EXPECT_EQ(e.lineNo(), 9);
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
}

TEST_F(Browser, EnterGoesIntoDirectoriesAndUpAgain) {
  browse();
  type("sub");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
  EXPECT_EQ(std::string(e->curDir), root + "/sub");
  EXPECT_EQ(e.lines(), (std::vector<std::string>{"  <DIR> .", "  <DIR> ..", " <FILE> inner.txt"}));
  type("..");
  EXPECT_EQ(e.lineNo(), 2);
  cmdKey(cmd::NewLine);
  EXPECT_EQ(std::string(e->curDir), root);
  EXPECT_EQ(e.lineCount(), 9);
  // Only one listing exists at a time.
  int listings = 0;
  Tcb* t = e->tcbRing;
  do {
    if (t->base && t->kind == KIND_DIR) listings++;
    t = t->next;
  } while (t != e->tcbRing);
  EXPECT_EQ(listings, 1);
}

TEST_F(Browser, PickingAFileAsksAgainWithItsName) {
  Tcb* user = e.cur();
  browse();
  type("sub");
  cmdKey(cmd::NewLine);
  type("inner");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(e.cur(), user);
  EXPECT_EQ(message(), "Open file:");
  EXPECT_EQ(promptAnswer(), "inner.txt");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].dir, root + "/sub");
  EXPECT_EQ(settled[0].name, "inner.txt");
}

TEST_F(Browser, ANameWithABlankIsPickedWhole) {
  browse();
  type("my n");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(promptAnswer(), "my notes.txt");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].name, "my notes.txt");
}

TEST_F(Browser, DotChoosesTheDirectoryForTheQuestion) {
  char name[kNameMax] = "keep.txt";
  FilePrompt_(e.V(), kPromptFileName, "Save file:", name, 9, 0, record);
  cmdKey(cmd::OneDown);
  type("Zeta");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(e->inputMode, ModeFileBrowser);
  cmdKey(cmd::NewLine);  // the cursor is on "."
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(promptAnswer(), "keep.txt");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].dir, root + "/Zeta");
  EXPECT_EQ(settled[0].name, "keep.txt");
  EXPECT_EQ(std::string(e.cur()->dirName), root) << "the text's own directory is left alone";
}

TEST_F(Browser, AnAnswerEndingInASlashBrowsesThere) {
  char name[kNameMax] = "keep.txt";
  FilePrompt_(e.V(), kPromptFileName, "Save file:", name, 9, 0, record);
  type("sub/");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
  EXPECT_EQ(std::string(e->curDir), root + "/sub");
  EXPECT_TRUE(settled.empty());
  key(27);
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(promptAnswer(), "keep.txt");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].dir, root + "/sub");
  EXPECT_EQ(std::string(name), "keep.txt");
}

TEST_F(Browser, AnUnreadableDirectoryListsTheCurrentOneInstead) {
  FilePrompt_(e.V(), kPromptFileName, "Open file:", nullptr, 9, 0, record);
  EXPECT_EQ(OpenDir(e.V(), (root + "/missing").c_str()), 0);
  EXPECT_EQ(e.alert(), "Permission denied");
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
  EXPECT_EQ(std::string(e->curDir), root);
  EXPECT_EQ(e.lineCount(), 9);
}

TEST_F(Browser, TheParentOfAPathEndingInDotDot) {
  FilePrompt_(e.V(), kPromptFileName, "Open file:", nullptr, 9, 0, record);
  EXPECT_EQ(OpenDir(e.V(), (root + "/sub/..").c_str()), 1);
  EXPECT_EQ(std::string(e->curDir), root);
  key(27);
  EXPECT_EQ(OpenDir(e.V(), "/.."), 1);
  EXPECT_EQ(std::string(e->curDir), "/");
  key(27);
  key(27);
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(Browser, CursorKeysMoveInTheListing) {
  browse();
  cmdKey(cmd::OneDown);
  cmdKey(cmd::OneDown);
  EXPECT_EQ(e.lineNo(), 3);
  cmdKey(cmd::OneUp);
  EXPECT_EQ(e.lineNo(), 2);
  cmdKey(cmd::PageDown);
  EXPECT_EQ(e.lineNo(), 9);
  cmdKey(cmd::PageUp);
  EXPECT_EQ(e.lineNo(), 1);
  EXPECT_EQ(e->inputMode, ModeFileBrowser);
  EXPECT_EQ(e.alert(), "");
}

}  // namespace
