// Random splits, duplicates, selections, closes and edits through every
// view.  After each step every open view's cursor line must lie in its text
// at the number the view holds, the split chain must list only open texts,
// once each, and a repaint (without a display) must paint every view of the
// layout inside the window.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "core/editor_state.h"
#include "display/paint.h"
#include "display/paint_recorder.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "core/file_io.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kSteps = 6000;
constexpr unsigned kSeed = 0x51de16;

constexpr int kEdits[] = {
    cmd::NewLine, cmd::AddLine,  cmd::InsLine,   cmd::DelLine,  cmd::UnDelLine, cmd::Backspace,
    cmd::DelChr,  cmd::JoinLine, cmd::DupLine,   cmd::DelToEol, cmd::Undo,      cmd::Redo,
    cmd::OneUp,   cmd::OneDown,  cmd::PageDown,  cmd::PageUp,   cmd::FirstLine, cmd::LastLine,
    cmd::EndOfLine, cmd::DragLineUp, cmd::DragLineDown, cmd::AppendCutLineToBuf, cmd::PasteCopyFromBuf,
};

std::string text(int lines) {
  std::string s;
  for (int i = 1; i <= lines; i++) s += "line " + std::to_string(i) + "\n";
  return s;
}

// "" when every view is sound, else what is wrong.
std::string checkViews(EditorState* V) {
  Tcb* u = V->tcbRing;
  do {
    if (u->base) {
      int n = 1;
      bool found = false;
      for (Link* l = u->base->next();; l = l->next(), n++) {
        if (l == u->curLine) {
          if (n != u->lineNo)
            return "text " + std::to_string(u->number + 1) + ": lineNo " + std::to_string(u->lineNo) +
                   ", cursor on line " + std::to_string(n);
          found = true;
          break;
        }
        if (l == u->base) break;
      }
      if (!found) return "text " + std::to_string(u->number + 1) + ": cursor line not in its text";
      if (u->rows < 1 || u->row < 0 || u->row >= u->rows) return "text " + std::to_string(u->number + 1) + ": row";
    }
    u = u->next;
  } while (u != V->tcbRing);
  if (!V->singleView) {
    std::set<Tcb*> seen;
    bool current = false;
    for (Tcb* t = V->viewChain; t; t = t->viewNext) {
      if (!t->base) return "a closed text in the chain";
      if (!seen.insert(t).second) return "a view twice in the chain";
      if (t->leftX < 0 || t->leftX + t->cols * V->charWidth > V->winWidth + V->charWidth ||
          t->bottomY > V->fullHeight || t->rows < 1)
        return "view " + std::to_string(t->number + 1) + " outside the window";
      current |= t == V->curTcb;
    }
    if (!current) return "the current text is not shown";
  }
  return "";
}

TEST(ViewsRandom, SplitsDuplicatesAndEditsKeepEveryViewOnItsLine) {
  vt::Editor ed;
  EditorState* V = ed.V();
  ed.open(text(40), "a.txt");
  ed.open(text(3), "b.txt");
  ed.open(text(200), "c.txt");
  std::mt19937 rng(kSeed);
  std::string trail;
  int step = 0;
  for (; step < kSteps && V->curTcb; step++) {
    const unsigned pick = rng() % 100;
    // Numbers of texts that are open now, and one beyond.
    const int number = int(rng() % 8);
    std::string did;
    if (pick < 6) {
      HSplit(V, number);
      did = "HSplit " + std::to_string(number);
    } else if (pick < 11) {
      VSplit(V, number);
      did = "VSplit " + std::to_string(number);
    } else if (pick < 14) {
      ClearSplit(V, number);
      did = "ClearSplit " + std::to_string(number);
    } else if (pick < 18) {
      OpenDup(V, number);
      did = "OpenDup " + std::to_string(number);
    } else if (pick < 28) {
      SelectView(V, number);
      did = "SelectView " + std::to_string(number);
    } else if (pick < 30) {
      int n = cmd::ZoomText;
      DoCommand(V, &n);
      did = "ZoomText";
    } else if (pick < 32) {
      // Closing a text, unasked: a main text takes its duplicates along.
      // The last three are kept.
      int open = 0;
      Tcb* u = V->tcbRing;
      do {
        open += u->base && u->kind != KIND_DUP;
        u = u->next;
      } while (u != V->tcbRing);
      if (open > 3 || V->curTcb->kind == KIND_DUP) {
        ReleaseTcb(V, &V->curTcb);
        if (V->curTcb) PrepareView(V);
      }
      did = "close";
    } else if (pick < 34) {
      const int w = 200 + int(rng() % 1800), h = 40 + int(rng() % 1100);
      SetMetrics(V, w, h, 16, 8, 12);
      PrepareView(V);
      did = "window " + std::to_string(w) + "x" + std::to_string(h);
    } else if (pick < 70) {
      int n = kEdits[rng() % std::size(kEdits)];
      HandleKey(V, CMD_BASE + n, 0, 0);
      did = CmdText[n];
    } else {
      HandleKey(V, int('a' + rng() % 26), 0, 0);
      did = "type";
    }
    if (!V->curTcb) break;
    trail += " " + did;
    if (trail.size() > 600) trail.erase(0, trail.size() - 600);
    V->alertText[0] = 0;
    {
      PaintRecorder rec;
      V->redraw |= REDRAW_ALL;
      redraw(V);
    }
    const std::string err = checkViews(V);
    ASSERT_EQ(err, "") << "step " << step << ":" << trail;
  }
  EXPECT_EQ(step, kSteps);
}

// A save of the main text clears the modified state of its duplicate, and
// painting four views fills each one's own rectangle, the cursor only in
// the current view, the text number first on each status line.
TEST(SplitViews, SaveClearsEveryViewAndEachViewPaintsInItsOwnPlace) {
  vt::Editor ed;
  EditorState* V = ed.V();
  vt::TempDir dir;
  Tcb* a = ed.open("one\ntwo\n", "a.txt");
  CopyCut(a->dirName, sizeof a->dirName, dir.path().c_str());
  Tcb* dup = OpenDup(V, a->number);
  ASSERT_NE(dup, nullptr);
  HandleKey(V, 'X', 0, 0);  // typed through the duplicate, not yet stored
  EXPECT_TRUE(TextModified(V, a));
  SelectView(V, a->number);
  EXPECT_TRUE(TextModified(V, a));
  ASSERT_EQ(SaveOneText(V), 0) << V->alertText;
  EXPECT_FALSE(TextModified(V, dup));
  EXPECT_EQ(vt::ReadFile(dir.file("a.txt")), "Xone\ntwo\n");

  Tcb* b = ed.open("bee\n", "b.txt");
  Tcb* c = ed.open("sea\n", "c.txt");
  SetMetrics(V, 1920, 1080, 16, 8, 12);
  SelectView(V, a->number);
  VSplit(V, b->number);
  SelectView(V, c->number);
  VSplit(V, dup->number);
  ASSERT_NE(V->viewChain, nullptr);
  PaintRecorder rec;
  V->redraw |= REDRAW_ALL;
  redraw(V);
  int views = 0;
  std::set<int> cursorViews;
  for (Tcb* t = V->viewChain; t; t = t->viewNext, ++views) {
    const std::string status = rec.row(t, kRowStatus);
    const std::string number = (t->number < 9 ? "0" : "") + std::to_string(t->number + 1);
    EXPECT_EQ(status.substr(0, 2), number);
    EXPECT_EQ(rec.width(t, 0), t->cols + 1) << "text row and line-end column";
    for (const PaintRun& r : rec.runs()) {
      if (r.view != t) continue;
      int cells = 0;
      for (unsigned char ch : r.text) cells += (ch & 0xc0) != 0x80;
      EXPECT_GE(r.x, t->leftX);
      EXPECT_LE(r.col + cells, t->cols + 1);  // the text columns and the line-end column
      EXPECT_GE(r.y, r.row >= 0 ? t->textY : t->statusY);
      EXPECT_LT(r.y, t->bottomY + V->fontAscent);
      if (r.pair == 4 || r.pair == 5) cursorViews.insert(t->number);
    }
  }
  EXPECT_EQ(views, 4);
  EXPECT_EQ(cursorViews, std::set<int>{c->number});
  // The duplicate on the other row shows the typed line as the main text does.
  EXPECT_EQ(rec.rowTrimmed(dup, 0), "Xone");
  EXPECT_EQ(rec.rowTrimmed(a, 0), "Xone");
}

}  // namespace
