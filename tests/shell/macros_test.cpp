// The macro recorder's states and what a replay must never do: type into a
// text that is gone.
#include "shell/macros.h"

#include <gtest/gtest.h>

#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"

namespace {

constexpr int F1 = kMacroKeyBase + 1001;
constexpr int F2 = kMacroKeyBase + 1002;

struct Macros : ::testing::Test {
  vt::Editor e;
  void key(int code) { HandleKey(e.V(), code, 0, 0); }
  void command(int n) { key(CMD_BASE + n); }
};

TEST_F(Macros, TheRecorderShowsRecUntilItEnds) {
  e.open("x\n");
  command(cmd::MacroRecord);
  EXPECT_EQ(MacroState(e.V()), 1);
  EXPECT_TRUE(e->toggles & TGL_RECORDING);
  command(cmd::MacroRecord);  // armed: nothing
  EXPECT_EQ(MacroState(e.V()), 1);
  key(F2);
  EXPECT_EQ(MacroState(e.V()), 2);
  key('q');
  command(cmd::MacroRecord);
  EXPECT_EQ(MacroState(e.V()), 0);
  EXPECT_FALSE(e->toggles & TGL_RECORDING);
  EXPECT_EQ(MacroCount(e.V()), 1);
  // Recording F2 again replaces its macro, newest first.
  command(cmd::MacroRecord);
  key(F2);
  key('r');
  command(cmd::MacroRecord);
  EXPECT_EQ(MacroCount(e.V()), 1);
  key(F2);
  EXPECT_EQ(e.line(1), "qrrx");
  // A new editor starts idle, whatever the last one was doing.
  command(cmd::MacroRecord);
  vt::Editor other;
  EXPECT_EQ(MacroState(other.V()), 0);
  EXPECT_EQ(MacroCount(other.V()), 0);
}

TEST_F(Macros, AReplayThatClosesTheLastTextStopsThere) {
  e.open("a\n", "a.txt");
  e.open("b\n", "b.txt");
  command(cmd::MacroRecord);
  key(F1);
  command(cmd::DiscardExit);  // b.txt, unchanged, closes at once
  ASSERT_TRUE(e.cur());
  key('z');                   // typed into a.txt
  command(cmd::MacroRecord);
  EXPECT_EQ(e.line(1), "za");
  // a.txt saved as it is now, so that closing it asks nothing.
  e.cur()->modified = 0;
  e->alineDirty = 0;
  key(F1);
  EXPECT_EQ(e.cur(), nullptr);
  EXPECT_TRUE(e->quit);
}

}  // namespace
