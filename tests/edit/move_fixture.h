// A headless editor with helpers for placing the cursor and moving it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "tests/support/headless.h"

namespace movetest {

// "L1\nL2\n...Ln\n"
inline std::string Numbered(int n) {
  std::string s;
  // Appended piece by piece: GCC 12 at -O2 and above takes the temporary
  // string of "L" + ... for an overlapping copy (a false -Wrestrict).
  for (int i = 1; i <= n; i++) {
    s += 'L';
    s += std::to_string(i);
    s += '\n';
  }
  return s;
}

class Moves : public ::testing::Test {
 protected:
  EditorState* V() { return ed.V(); }
  Tcb* T() { return ed.cur(); }
  // Cursor to line n (1-based), column col, screen row row.
  void At(int n, int col, int row) {
    AFlush(V());
    Tcb* t = T();
    Link* l = t->base->next();
    for (int i = 1; i < n; i++) l = l->next();
    t->curLine = l;
    t->lineNo = n;
    t->col = col;
    t->row = row;
    ALoad(V());
  }
  void Move(int m) { CursorMove(V(), m); }
  void Cmd(int n) { DoCommand(V(), &n); }
  // The cursor as "line col row".
  std::string Pos() {
    return std::to_string(ed.lineNo()) + " " + std::to_string(ed.col()) + " " + std::to_string(T()->row);
  }
  // The cursor line as loaded, which must be the line the number names.
  void ExpectLoaded() {
    ASSERT_FALSE(IsBase(T()->curLine));
    EXPECT_EQ(vt::ToUtf8(V()->aline), ed.line(ed.lineNo()));
    ActiveLine stored;
    GetLine(T()->curLine, &stored);
    EXPECT_EQ(vt::ToUtf8(stored), ed.line(ed.lineNo()));
  }
  vt::Editor ed;
};

}  // namespace movetest
