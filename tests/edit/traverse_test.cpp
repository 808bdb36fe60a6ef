// Walking the text or the block line by line.
#include "edit/traverse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/case_commands.h"
#include "edit/movement.h"
#include "tests/support/headless.h"

namespace {

struct Visit {
  int line, from, to;
  bool operator==(const Visit&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Visit& v) {
  return o << "{" << v.line << ": " << v.from << ".." << v.to << "}";
}

struct Log {
  std::vector<Visit> visits;
  int stopAt = 0;   // line after which the walk is to stop
  int changeAt = 0;  // line whose copy is changed (an 'X' appended)
};

int record(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  auto* log = static_cast<Log*>(arg);
  log->visits.push_back({V->travLine, from, to});
  if (V->travLine == log->stopAt) V->travStop = 1;
  if (V->travLine == log->changeAt) {
    line->c[line->count++] = 'X';
    return 1;
  }
  return 0;
}

class Walk : public ::testing::Test {
 protected:
  // Ten lines: line n holds n*3 characters.
  void SetUp() override {
    std::string text;
    for (int n = 1; n <= 10; n++) text += std::string(size_t(n) * 3, char('a' + n - 1)) + "\n";
    ed.open(text);
  }
  void Block(int sl, int sc, int el, int ec, bool column) {
    BlockRecord& b = ed->blk;
    b.blkTcb = b.blkView = ed.cur();
    b.startLine = sl;
    b.startCol = sc;
    b.endLine = el;
    b.endCol = ec;
    b.isColumn = column;
  }
  void At(int line, int col) {
    ALineSet(ed.V(), line);
    ed.cur()->col = col;
  }
  int Run(int flags) {
    log.visits.clear();
    return Traverse(ed.V(), flags, record, &log);
  }
  vt::Editor ed;
  Log log;
};

TEST_F(Walk, TheWholeTextForwards) {
  EXPECT_EQ(Run(0), 0);
  ASSERT_EQ(log.visits.size(), 10u);
  EXPECT_EQ(log.visits[0], (Visit{1, 0, 3}));
  EXPECT_EQ(log.visits[9], (Visit{10, 0, 30}));
}

TEST_F(Walk, ALineBlockGivesItsColumnsOnItsFirstAndLastLines) {
  Block(3, 5, 5, 2, false);
  Run(TRAV_USE_BLOCK);
  EXPECT_EQ(log.visits, (std::vector<Visit>{{3, 5, 9}, {4, 0, 12}, {5, 0, 2}}));
}

TEST_F(Walk, AColumnBlockGivesItsColumnsOnEveryLine) {
  Block(1, 4, 4, 9, true);
  Run(TRAV_USE_BLOCK);
  // Line 1 is shorter than the block's first column: an empty range.
  EXPECT_EQ(log.visits, (std::vector<Visit>{{1, 3, 3}, {2, 4, 6}, {3, 4, 9}, {4, 4, 9}}));
}

TEST_F(Walk, FromTheCursorForwards) {
  At(2, 3);
  Run(TRAV_FROM_CURSOR);
  ASSERT_EQ(log.visits.size(), 9u);
  EXPECT_EQ(log.visits[0], (Visit{2, 4, 6}));
  EXPECT_EQ(log.visits[1], (Visit{3, 0, 9}));
  Run(TRAV_FROM_CURSOR | TRAV_AT_CURSOR);
  EXPECT_EQ(log.visits[0], (Visit{2, 3, 6}));
}

TEST_F(Walk, FromTheCursorBackwards) {
  At(4, 5);
  Run(TRAV_FROM_CURSOR | TRAV_BACKWARDS);
  ASSERT_EQ(log.visits.size(), 4u);
  EXPECT_EQ(log.visits[0], (Visit{4, 0, 4}));
  EXPECT_EQ(log.visits[1], (Visit{3, 0, 9}));
  EXPECT_EQ(log.visits[3], (Visit{1, 0, 3}));
  Run(TRAV_FROM_CURSOR | TRAV_BACKWARDS | TRAV_AT_CURSOR);
  EXPECT_EQ(log.visits[0], (Visit{4, 0, 5}));
  At(4, 0);
  Run(TRAV_FROM_CURSOR | TRAV_BACKWARDS);
  EXPECT_EQ(log.visits[0], (Visit{4, 0, 0}));  // not below column 0
}

TEST_F(Walk, BackwardsOverTheWholeTextNumbersFromTheLastLine) {
  Run(TRAV_BACKWARDS);
  ASSERT_EQ(log.visits.size(), 10u);
  EXPECT_EQ(log.visits[0], (Visit{10, 0, 30}));
  EXPECT_EQ(log.visits[9], (Visit{1, 0, 3}));
}

TEST_F(Walk, BackwardsOverABlock) {
  Block(3, 5, 5, 2, false);
  Run(TRAV_USE_BLOCK | TRAV_BACKWARDS);
  EXPECT_EQ(log.visits, (std::vector<Visit>{{5, 0, 2}, {4, 0, 12}, {3, 5, 9}}));
  At(4, 7);  // from the cursor inside the block
  Run(TRAV_USE_BLOCK | TRAV_BACKWARDS | TRAV_FROM_CURSOR);
  EXPECT_EQ(log.visits, (std::vector<Visit>{{4, 0, 6}, {3, 5, 9}}));
}

TEST_F(Walk, FromTheCursorInsideABlock) {
  Block(3, 5, 5, 2, false);
  At(3, 6);
  Run(TRAV_USE_BLOCK | TRAV_FROM_CURSOR);
  EXPECT_EQ(log.visits, (std::vector<Visit>{{3, 7, 9}, {4, 0, 12}, {5, 0, 2}}));
  At(3, 2);  // before the block start: the whole block
  Run(TRAV_USE_BLOCK | TRAV_FROM_CURSOR);
  EXPECT_EQ(log.visits.front(), (Visit{3, 5, 9}));
  At(5, 4);  // past the block end on its last line: an empty range there
  Run(TRAV_USE_BLOCK | TRAV_FROM_CURSOR);
  EXPECT_EQ(log.visits, (std::vector<Visit>{{5, 2, 2}}));
}

TEST_F(Walk, FromACursorOutsideTheBlockOnItsFarSideNothingIsVisited) {
  Block(3, 5, 5, 2, false);
  At(7, 0);
  EXPECT_EQ(Run(TRAV_USE_BLOCK | TRAV_FROM_CURSOR), 1);
  EXPECT_TRUE(log.visits.empty());
  At(1, 0);
  EXPECT_EQ(Run(TRAV_USE_BLOCK | TRAV_FROM_CURSOR | TRAV_BACKWARDS), 1);
  EXPECT_TRUE(log.visits.empty());
}

TEST_F(Walk, ACallbackThatChangesNothingLeavesTheTextUnmodified) {
  Run(0);
  EXPECT_FALSE(ed.modified());
}

TEST_F(Walk, AChangedCopyIsStoredAndTheCursorLineFollows) {
  At(6, 0);
  log.changeAt = 6;
  EXPECT_EQ(Run(0), 0);  // the last line's answer
  log.changeAt = 10;
  EXPECT_EQ(Run(0), 1);
  ALoad(ed.V());
  EXPECT_EQ(ed.line(6), std::string(18, 'f') + "X");
  EXPECT_EQ(ed.line(10), std::string(30, 'j') + "X");
  EXPECT_TRUE(ed.cur()->modified);
  EXPECT_EQ(ed.line(ed.lineNo()), std::string(18, 'f') + "X");
  EXPECT_EQ(vt::CheckList(ed.cur()->base), "");
}

TEST_F(Walk, TheCallbackCanStopTheWalk) {
  log.stopAt = 7;
  Run(0);
  ASSERT_EQ(log.visits.size(), 7u);
  EXPECT_EQ(log.visits.back().line, 7);
}

TEST_F(Walk, TheCursorLinesEditsAreWalked) {
  At(2, 0);
  ed->aline.c[0] = 'Z';
  ed->alineDirty = 1;
  struct Seen {
    static int fn(EditorState* V, ActiveLine* line, int, int, void* arg) {
      if (V->travLine == 2) *static_cast<tchar*>(arg) = line->c[0];
      return 0;
    }
  };
  tchar first = 0;
  Traverse(ed.V(), 0, Seen::fn, &first);
  EXPECT_EQ(first, tchar('Z'));
}

TEST_F(Walk, WhenNoBlockCanServe) {
  EXPECT_EQ(Run(TRAV_NEED_BLOCK), 1);
  EXPECT_TRUE(log.visits.empty());
  Block(2, 0, 3, 4, false);  // a line block where a column block is needed
  EXPECT_EQ(Run(TRAV_NEED_BLOCK | TRAV_NEED_COLUMN), 1);
  EXPECT_TRUE(log.visits.empty());
  EXPECT_EQ(ed->blk.blkTcb, ed.cur());
  Block(3, 3, 3, 3, false);  // empty: removed
  EXPECT_EQ(Run(TRAV_USE_BLOCK), 1);
  EXPECT_EQ(ed->blk.blkTcb, nullptr);
  Block(9, 0, 12, 1, false);  // beyond the text's end: kept, not walked
  EXPECT_EQ(Run(TRAV_USE_BLOCK), 1);
  EXPECT_TRUE(log.visits.empty());
  EXPECT_EQ(ed->blk.blkTcb, ed.cur());
}

TEST_F(Walk, ABlockInAnotherTextCountsAsNone) {
  Block(2, 0, 3, 4, false);
  Tcb* other = ed.cur();
  ed.open("x\ny\n");
  ASSERT_NE(ed.cur(), other);
  EXPECT_EQ(Run(TRAV_NEED_BLOCK), 1);
  Run(TRAV_USE_BLOCK);
  EXPECT_EQ(log.visits.size(), 2u);
}

// ---- The case commands -------------------------------------------------------------

class Case : public ::testing::Test {
 protected:
  vt::Editor ed;
};

TEST_F(Case, BlockToCaseWithoutABlockTakesTheWholeText) {
  ed.open("Hello \xc3\xa9t\xc3\xa9\nabc \xe2\x82\xac \xe2\x80\x94 \xc4\xb1\n");
  BlockToCase(ed.V(), 1);
  EXPECT_EQ(ed.text(), "HELLO \xc3\x89T\xc3\x89\nABC \xe2\x82\xac \xe2\x80\x94 I");
  BlockToCase(ed.V(), 0);
  EXPECT_EQ(ed.text(), "hello \xc3\xa9t\xc3\xa9\nabc \xe2\x82\xac \xe2\x80\x94 i");
}

TEST_F(Case, BlockToCaseKeepsToTheBlock) {
  ed.open("abcdef\nghijkl\nmnopqr\n");
  BlockRecord& b = ed->blk;
  b.blkTcb = b.blkView = ed.cur();
  b.startLine = 1;
  b.startCol = 2;
  b.endLine = 2;
  b.endCol = 3;
  BlockToCase(ed.V(), 1);
  EXPECT_EQ(ed.text(), "abCDEF\nGHIjkl\nmnopqr");
  b.isColumn = 1;
  b.endLine = 3;
  BlockToCase(ed.V(), 0);
  EXPECT_EQ(ed.text(), "abcDEF\nGHijkl\nmnopqr");
}

TEST_F(Case, BlockToCaseOnTextWithoutLettersChangesNothing) {
  ed.open("123 +-\n");
  BlockToCase(ed.V(), 1);
  EXPECT_FALSE(ed.modified());
}

TEST_F(Case, CaseSwitchChangesTheCharacterUnderTheCursorAndStepsOn) {
  ed.open("stra\xc3\x9f" "e\n");
  for (int i = 0; i < 6; i++) CaseSwitch(ed.V(), 0);
  EXPECT_EQ(ed.line(1), "STRA\xc3\x9f" "E");  // sharp s has no one-character capital
  EXPECT_EQ(ed.col(), 6);
  CaseSwitch(ed.V(), 0);  // past the end: nothing
  EXPECT_EQ(ed.col(), 6);
  ed.cur()->col = 0;
  CaseSwitch(ed.V(), 1);
  EXPECT_EQ(ed.line(1), "sTRA\xc3\x9f" "E");
  EXPECT_EQ(ed.col(), 1);
}

}  // namespace
