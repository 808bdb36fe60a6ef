// Running out of memory in the middle of a block command: reading a file as
// a block, pasting from the buffer and cutting into it.  Each is refused
// with "Out of memory" and leaves the text, the block and the buffer as
// they were; once memory is back the same command works.
#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/block.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

void press(EditorState* V, int cmdNo) { HandleKey(V, CMD_BASE + cmdNo, 0, 0); }

std::string lines(int n, const std::string& word) {
  std::string s;
  for (int i = 0; i < n; i++) s += word + std::to_string(i) + "\n";
  return s;
}

class BlockMemory : public ::testing::Test {
 protected:
  // Takes every record the arena still has, so that the next one fails.
  void exhaust() {
    V->memBlockLimit = V->memBlocks;
    filler = NewBaseLink(V);
    const std::string bytes(200, 'x');
    while (filler && AddBytesLine(V, filler, 200, reinterpret_cast<const uint8_t*>(bytes.data()))) {
    }
    while (filler && AddEmptyLine(V, filler)) {
    }
    V->alertText[0] = 0;
  }
  void giveBack() {
    ReleaseText(V, filler);
    filler = nullptr;
    V->memBlockLimit = 0;
    V->memFailed = 0;
  }
  void markLines(int from, int to) {
    BlockRecord& b = V->blk;
    b = BlockRecord{};
    b.blkTcb = b.blkView = e.cur();
    b.startLine = from;
    b.endLine = to;
    b.startCol = 2;
    b.endCol = 3;
  }

  vt::Editor e;
  EditorState* V = e.V();
  Link* filler = nullptr;
};

TEST_F(BlockMemory, ReadBlockWithoutMemoryInsertsNothing) {
  vt::TempDir dir;
  vt::WriteFile(dir.file("in.txt"), lines(3000, "read "));
  CopyCut(V->curDir, sizeof V->curDir, dir.path().c_str());
  e.open(lines(10, "line "));
  exhaust();
  EXPECT_EQ(ReadBlock(V, "in.txt"), 1);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(e.text(), lines(10, "line ").substr(0, lines(10, "line ").size() - 1));
  EXPECT_FALSE(e.modified());
  EXPECT_EQ(V->blk.blkTcb, nullptr);
  giveBack();
  EXPECT_EQ(ReadBlock(V, "in.txt"), 0);
  EXPECT_EQ(e.lineCount(), 3009);
  EXPECT_EQ(e.line(1), "read 0");
  EXPECT_EQ(e.line(3000), "read 2999line 0");
  press(V, cmd::Undo);
  EXPECT_EQ(e.lineCount(), 10);
  EXPECT_EQ(e.line(1), "line 0");
  press(V, cmd::Redo);
  EXPECT_EQ(e.lineCount(), 3009);
}

TEST_F(BlockMemory, PasteWithoutMemoryKeepsTextAndBuffer) {
  e.open(lines(2000, "text "));
  markLines(1, 1500);
  press(V, cmd::CopyToBuf);
  ASSERT_NE(V->pasteBase, nullptr);
  const int buffered = CountLines(V->pasteBase);
  ALineSet(V, 1800);
  exhaust();
  press(V, cmd::PasteCopyFromBuf);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(e.lineCount(), 2000);
  EXPECT_EQ(e.line(1800), "text 1799");
  ASSERT_NE(V->pasteBase, nullptr);
  EXPECT_EQ(CountLines(V->pasteBase), buffered);
  // Taking the buffer itself needs only the joined lines.
  press(V, cmd::PasteFromBuf);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(e.lineCount(), 2000);
  EXPECT_NE(V->pasteBase, nullptr);
  press(V, cmd::Undo);
  EXPECT_EQ(e.lineCount(), 2000);
  giveBack();
  press(V, cmd::PasteCopyFromBuf);
  EXPECT_EQ(e.lineCount(), 3499);
  EXPECT_EQ(e.line(1800), "xt 0");
  EXPECT_EQ(e.line(3299), "textext 1799");
}

TEST_F(BlockMemory, CutWithoutMemoryLeavesTextAndBuffer) {
  e.open(lines(2000, "cut "));
  markLines(1, 2);
  press(V, cmd::CopyToBuf);
  markLines(10, 1900);
  exhaust();
  press(V, cmd::CutToBuf);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(e.lineCount(), 2000);
  EXPECT_EQ(e.line(10), "cut 9");
  ASSERT_NE(V->pasteBase, nullptr);
  EXPECT_EQ(CountLines(V->pasteBase), 2);
  press(V, cmd::DeleteBlock);
  EXPECT_EQ(e.lineCount(), 2000);
  EXPECT_NE(V->blk.blkTcb, nullptr);
  giveBack();
  press(V, cmd::CutToBuf);
  EXPECT_EQ(e.lineCount(), 110);
  EXPECT_EQ(e.line(10), "cu 1899");
  EXPECT_EQ(CountLines(V->pasteBase), 1891);
  press(V, cmd::Undo);
  EXPECT_EQ(e.lineCount(), 2000);
  EXPECT_EQ(e.line(1900), "cut 1899");
}

}  // namespace
