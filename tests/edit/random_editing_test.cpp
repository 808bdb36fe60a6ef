// 200,000 random key presses - movement and editing commands and typed
// characters, UTF-8 included - on a generated text, through the event
// loop's key handler, with now and then a block marked.  After every press
// the line list must be sound, the cursor's line number must be where the
// cursor really is, and the edited line must survive being stored
// unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/block.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_ring.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tests/support/key_trail.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kSteps = 200000;
constexpr unsigned kSeed = 0x5eed2024;

// Commands that never leave the editing mode (no prompt, no dialogue).
constexpr int kMoves[] = {
    cmd::OneLeft,     cmd::OneRight,  cmd::OneUp,         cmd::OneDown,      cmd::WordLeft,
    cmd::WordRight,   cmd::BegOfLine, cmd::EndOfLine,     cmd::PageUp,       cmd::PageDown,
    cmd::FirstLine,   cmd::LastLine,  cmd::FirstPos,      cmd::LastPos,      cmd::TabRt,
    cmd::TabLt,       cmd::Scrolldown, cmd::ScrollUp,     cmd::WordEndLeft,  cmd::WordEndRight,
    cmd::LeftOfLine,  cmd::IndentUp,  cmd::IndentDown,    cmd::AllUp,        cmd::AllDown,
    cmd::ScrollLeft,  cmd::ScrollRight, cmd::TopOfScrn,   cmd::BottomOfScrn, cmd::PrevPos,
};
constexpr int kEdits[] = {
    cmd::Backspace, cmd::UnBackspace, cmd::BackspaceNoSave, cmd::BackOnlySave, cmd::DelChr,
    cmd::DelLine,   cmd::DelLine,     cmd::UnDelLine,       cmd::NewLine,      cmd::AddLine,
    cmd::DupLine,   cmd::CopyChr,     cmd::InsLine,         cmd::DelRtWord,    cmd::DelLtWord,
    cmd::DelToEol,  cmd::UndoCursorline, cmd::JoinLine,     cmd::Indent,       cmd::UnIndent,
    cmd::CommentOut, cmd::UnComment,  cmd::UpperCase,       cmd::LowerCase,    cmd::ToggleInsert,
    cmd::ToggleWordwrap, cmd::ToggleWordSet, cmd::ToggleSoftCR, cmd::SetBookMark, cmd::Backspace,
};
// Rare ones: margins, stops, tab mode, and the walks over the whole text.
constexpr int kRare[] = {
    cmd::SetRmargin, cmd::SetLmargin, cmd::SetTab,  cmd::SetLeftTab,       cmd::SetDecimalTab,
    cmd::ClearTab,   cmd::ToggleTabMode, cmd::BlockToUpperCase, cmd::BlockToLowerCase, cmd::RemoveBookMark,
};
constexpr const char* kWide[] = {"\xc3\xa9", "\xc3\x9f", "\xce\xa9", "\xd1\x8f", "\xe2\x82\xac",
                                 "\xe4\xb8\xad", "\xf0\x9f\x98\x80", "\xc4\xb1", "\xc4\xb0"};
constexpr const char* kWords[] = {"alpha", "be", "gamma.delta", "x", "foo_bar", "\xc3\xa9t\xc3\xa9",
                                  "\xe2\x82\xac" "42", "(paren)", "\xe4\xb8\xad\xe6\x96\x87", "z"};

tchar decode(const char* s) {
  int len;
  return uni8(reinterpret_cast<const uint8_t*>(s), int(std::strlen(s)), &len);
}

std::string generatedText(std::mt19937& rng) {
  std::string text;
  for (int n = 0; n < 240; n++) {
    const int kind = int(rng() % 20);
    if (kind == 0) {
      text += std::string(1000 + rng() % 22, 'L');  // near the column limit
    } else if (kind == 1) {
      for (int i = 0; i < 340; i++) text += "\xe2\x82\xac";  // 1020 bytes
    } else if (kind == 2) {
      // empty line
    } else {
      text += std::string(rng() % 3 * 4, ' ');
      const int words = int(rng() % 12);
      for (int w = 0; w < words; w++) {
        if (w) text += std::string(1 + rng() % 3, ' ');
        text += kWords[rng() % std::size(kWords)];
      }
    }
    text += '\n';
  }
  return text;
}

std::string trimmed(const ActiveLine& l) {
  int n = l.count;
  while (n > 0 && l.c[n - 1] == ' ') n--;
  ActiveLine copy = l;
  copy.count = uint16_t(n);
  return vt::ToUtf8(copy);
}

class RandomEditing : public ::testing::Test {
 protected:
  // Empty when everything holds; otherwise what does not.
  std::string check() {
    EditorState* V = ed.V();
    Tcb* t = V->curTcb;
    if (!t || !t->base) return "no current text";
    if (V->inputMode != ModeEdit || V->quit) return "left the editing mode";
    if (std::string err = vt::CheckList(t->base); !err.empty()) return "text: " + err;
    // The cursor's line number, by walking to it (the end-of-text position
    // counts as the line after the last).
    int n = 1, lines = 0;
    bool found = false;
    for (Link* l = t->base->next();; l = l->next(), n++) {
      if (l == t->curLine) {
        found = true;
        if (n != t->lineNo) return "lineNo " + std::to_string(t->lineNo) + ", cursor on line " + std::to_string(n);
      }
      if (l == t->base) break;
      lines++;
    }
    if (!found) return "cursor line not in the text";
    if (lines == 0) return "no line left";
    lineCount = lines;
    if (t->col < 0 || t->col >= kAlineMax) return "column " + std::to_string(t->col);
    if (IsBase(t->curLine) != ((V->aline.flags & LINK_BASE) != 0)) return "active line and cursor line disagree";
    if (V->aline.count > kLineMax) return "active line of " + std::to_string(V->aline.count) + " characters";
    if (std::strstr(V->alertText, "ovverrun")) return "a line was cut when stored";

    // The active line comes back unchanged from the store: as it is when
    // clean, through a trial fold when it has edits not yet stored.
    ActiveLine stored;
    if (!V->alineDirty) {
      GetLine(t->curLine, &stored);
    } else if (!IsBase(t->curLine)) {
      LineImage img;
      ActiveLine copy = V->aline;
      Tabify(V, &img, &copy);
      const int len = img.word & LINK_LENMASK;
      Link* trial = NewLink(V, len);
      trial->nextH = trial->prevH = 0;
      trial->word = uint16_t(len);
      std::memcpy(trial->data(), img.text, size_t(len));
      GetLine(trial, &stored);
      ReleaseLink(V, trial);
    } else {
      return "edits pending on the end-of-text position";
    }
    if (trimmed(stored) != trimmed(V->aline))
      return "active line '" + trimmed(V->aline).substr(0, 60) + "...' stored as '" + trimmed(stored).substr(0, 60) + "...'";

    // The deleted-line store: its count, its limit, its line sizes.
    if (std::string err = vt::CheckList(V->delBase); !err.empty()) return "deleted lines: " + err;
    int kept = 0;
    for (Link* l = V->delBase->next(); l != V->delBase; l = l->next(), kept++)
      if (l->len() < 1 || l->len() > 160) return "deleted line of " + std::to_string(l->len()) + " bytes kept";
    if (kept != V->delCount || kept > V->delMax) return "deleted-line count " + std::to_string(V->delCount);
    if (V->tubeIndex >= unsigned(kAlineMax)) return "ring index out of range";
    const BlockRecord& b = V->blk;
    if (b.blkTcb && (b.startLine < 1 || b.endLine < 1)) return "block lines " + std::to_string(b.startLine) + ".." + std::to_string(b.endLine);
    return "";
  }

  // A block over random lines and columns, as the marking commands leave
  // one, so that the keeper and the walks meet blocks too.
  void markBlock(std::mt19937& rng) {
    BlockRecord& b = ed->blk;
    b = BlockRecord{};
    b.blkTcb = b.blkView = ed.cur();
    b.startLine = 1 + int(rng() % unsigned(lineCount));
    b.endLine = b.startLine + int(rng() % 4);
    b.startCol = int(rng() % 40);
    b.endCol = int(rng() % 60);
    b.isColumn = int(rng() % 2);
  }

  void press(int code) { HandleKey(ed.V(), code, 0, 0); }

  vt::Editor ed;
  int lineCount = 0;
};

TEST_F(RandomEditing, TwoHundredThousandKeysKeepTheTextSound) {
  std::mt19937 rng(kSeed);
  ed.open(generatedText(rng));
  ASSERT_EQ(check(), "");
  vt::KeyTrail trail;  // the last presses, for the failure message
  for (int step = 0; step < kSteps; step++) {
    const unsigned pick = rng() % 100;
    std::string what;
    if (lineCount > 600 && pick < 5) {
      press(CMD_BASE + cmd::DelLine);
      what = "DelLine (trim)";
    } else if (pick < 45) {
      const unsigned k = rng() % 100;
      tchar c;
      if (k < 55)
        c = tchar('a' + rng() % 26);
      else if (k < 75)
        c = ' ';
      else if (k < 83)
        c = tchar("!.,;:-()[]{}/\\'\"#"[rng() % 17]);
      else
        c = decode(kWide[rng() % std::size(kWide)]);
      press(int(c));
      what = "type U+" + std::to_string(c);
    } else if (pick < 70) {
      const int n = kMoves[rng() % std::size(kMoves)];
      press(CMD_BASE + n);
      what = CmdText[n];
    } else if (pick < 72) {
      // A click somewhere on the cursor line, out to the last column.
      ed.cur()->col = int(rng() % kAlineMax);
      what = "column " + std::to_string(ed.cur()->col);
    } else if (pick < 99) {
      const int n = kEdits[rng() % std::size(kEdits)];
      press(CMD_BASE + n);
      what = CmdText[n];
    } else if (rng() % 4 == 0) {
      markBlock(rng);
      what = "block";
    } else {
      const int n = kRare[rng() % std::size(kRare)];
      press(CMD_BASE + n);
      what = CmdText[n];
    }
    trail.add(what, ed.lineNo(), ed.col());
    const std::string err = check();
    if (!err.empty()) {
      FAIL() << "step " << step << ": " << err << trail.str();
    }
  }
}

// Every editing command in both insert modes, for the undo segments; none
// that empties the log (UndoCursorline) or changes only line flags.
constexpr int kUndoable[] = {
    cmd::Backspace, cmd::UnBackspace, cmd::BackspaceNoSave, cmd::DelChr,      cmd::DelLine,
    cmd::UnDelLine, cmd::NewLine,     cmd::AddLine,         cmd::DupLine,     cmd::CopyChr,
    cmd::InsLine,   cmd::DelRtWord,   cmd::DelLtWord,       cmd::DelToEol,    cmd::JoinLine,
    cmd::Indent,    cmd::UnIndent,    cmd::CommentOut,      cmd::UnComment,   cmd::UpperCase,
    cmd::LowerCase, cmd::CenterLine,  cmd::ToggleInsert,    cmd::ToggleWordwrap, cmd::TabRt,
    cmd::TabLt,     cmd::BackOnlySave, cmd::SetDecimalTab,  cmd::SetLeftTab,  cmd::ClearTab,
    cmd::BlockToUpperCase, cmd::BlockToLowerCase, cmd::SetRmargin, cmd::SetLmargin, cmd::ToggleTabMode,
};

// Where two saved texts first differ ("" when equal), short enough to read.
std::string firstDiff(const std::string& a, const std::string& b) {
  if (a == b) return "";
  size_t i = 0, line = 1;
  while (i < a.size() && i < b.size() && a[i] == b[i]) line += a[i++] == '\n';
  auto around = [&](const std::string& s) {
    const size_t from = s.rfind('\n', i == 0 ? 0 : i - 1);
    const size_t start = from == std::string::npos ? 0 : from + 1;
    return s.substr(start, std::min<size_t>(s.find('\n', i) - start, 80));
  };
  return "line " + std::to_string(line) + ": '" + around(a) + "' vs '" + around(b) + "'";
}

class UndoSegments : public RandomEditing {
 protected:
  // The text as saved: the check that Undo gave it back byte for byte.
  std::string saved() {
    EditorState* V = ed.V();
    CopyCut(V->curDir, sizeof V->curDir, dir.path().c_str());
    const int modified = V->curTcb->modified;
    AFlush(V);
    std::string bytes = PutFile(V, V->curTcb->base, "seg", V->curTcb->mode) == 0 ? vt::ReadFile(dir.file("seg")) : "(not saved)";
    V->curTcb->modified = modified;
    return bytes;
  }
  // Presses of Undo (or Redo) until the log has no more.
  int drain(bool undo) {
    EditorState* V = ed.V();
    const std::string end = undo ? "NO Undo" : "NO Redo";
    int n = 0;
    for (; n < 2000000; n++) {
      V->alertText[0] = 0;
      press(CMD_BASE + (undo ? cmd::Undo : cmd::Redo));
      if (end == V->alertText) return n;
      if (std::string(V->alertText) == "undo tilt") return -1;
    }
    return -1;
  }
  void randomKey(std::mt19937& rng, vt::KeyTrail& trail) {
    const unsigned pick = rng() % 100;
    std::string what;
    if (pick < 50) {
      const unsigned k = rng() % 100;
      const tchar c = k < 70 ? tchar('a' + rng() % 26) : k < 85 ? ' ' : decode(kWide[rng() % std::size(kWide)]);
      press(int(c));
      what = "type U+" + std::to_string(c);
    } else if (pick < 65) {
      const int n = kMoves[rng() % std::size(kMoves)];
      press(CMD_BASE + n);
      what = CmdText[n];
    } else if (pick < 67 && lineCount > 0) {
      ed.cur()->col = int(rng() % 120);
      what = "column " + std::to_string(ed.cur()->col);
    } else {
      const int n = kUndoable[rng() % std::size(kUndoable)];
      press(CMD_BASE + n);
      what = CmdText[n];
    }
    trail.add(what, ed.lineNo(), ed.col());
  }
  vt::TempDir dir;
};

// Segments of 200 to 1,000 keys: Undo until "NO Undo" gives the text the
// segment began with, Redo until "NO Redo" the text it ended with.
TEST_F(UndoSegments, UndoAndRedoGiveBackEachSegmentsStartAndEnd) {
  std::mt19937 rng(kSeed + 13);
  ed.open(generatedText(rng));
  EditorState* V = ed.V();
  ASSERT_EQ(check(), "");
  int checked = 0;
  for (int seg = 0; seg < 60; seg++) {
    udoReset(V);
    V->blk = BlockRecord{};
    const std::string start = saved();
    vt::KeyTrail trail;
    const int keys = 200 + int(rng() % 801);
    for (int k = 0; k < keys; k++) {
      randomKey(rng, trail);
      ASSERT_EQ(check(), "") << "segment " << seg << " key " << k << trail.str();
    }
    V->alertText[0] = 0;
    const std::string end = saved();
    // A segment whose oldest records the ring had to let go cannot reach
    // its start; its end must still come back.
    const bool whole = udo::Ring(V).tail == udo::kRingStart && udo::Ring(V).wrap == 0;
    ASSERT_GE(drain(true), 0) << "segment " << seg << trail.str();
    ASSERT_EQ(check(), "") << "segment " << seg << " after Undo" << trail.str();
    if (whole) {
      ASSERT_EQ(firstDiff(saved(), start), "") << "segment " << seg << " undone" << trail.str();
      checked++;
    }
    ASSERT_GE(drain(false), 0);
    ASSERT_EQ(check(), "") << "segment " << seg << " after Redo" << trail.str();
    ASSERT_EQ(firstDiff(saved(), end), "") << "segment " << seg << " redone" << trail.str();
  }
  EXPECT_GE(checked, 50);
}

// Each key alone: Undo gives back the text before it, Redo the text after
// it, so that a fault points at the command that has it.
TEST_F(UndoSegments, EachKeyIsUndoneAndRedoneExactly) {
  std::mt19937 rng(kSeed + 7);
  ed.open(generatedText(rng));
  EditorState* V = ed.V();
  vt::KeyTrail trail;
  for (int k = 0; k < 1000; k++) {
    udoReset(V);
    V->blk = BlockRecord{};
    const std::string before = saved();
    randomKey(rng, trail);
    const std::string after = saved();
    ASSERT_GE(drain(true), 0) << trail.str();
    ASSERT_EQ(firstDiff(saved(), before), "") << "key " << k << " undone; the key changed: " << firstDiff(after, before) << trail.str();
    ASSERT_GE(drain(false), 0);
    ASSERT_EQ(firstDiff(saved(), after), "") << "key " << k << " redone; margins " << ed.cur()->leftMargin << " " << ed.cur()->rightMargin << " mode " << ed.cur()->mode << " toggles " << V->toggles << trail.str();
    ASSERT_EQ(check(), "") << trail.str();
  }
}

// Typing and editing until the ring has wrapped ten times: Undo walks back
// across every wrap to the oldest record left, Redo forward to the end.
TEST_F(UndoSegments, ARunThatWrapsTheRingTenTimes) {
  std::mt19937 rng(kSeed + 10);
  ed.open(generatedText(rng));
  EditorState* V = ed.V();
  udoReset(V);
  vt::KeyTrail trail;
  int laps = 0;
  uint32_t lastHead = udo::Ring(V).head;
  for (int k = 0; laps < 10 && k < 2000000; k++) {
    randomKey(rng, trail);
    if (udo::Ring(V).head < lastHead) laps++;
    lastHead = udo::Ring(V).head;
  }
  ASSERT_EQ(laps, 10);
  ASSERT_EQ(check(), "");
  const std::string end = saved();
  const UdoStats s = UdoStatistics(V);
  ASSERT_EQ(s.records, s.recordsBack);
  ASSERT_GT(drain(true), 0) << trail.str();
  ASSERT_EQ(check(), "");
  ASSERT_GE(drain(false), 0);
  ASSERT_EQ(firstDiff(saved(), end), "");
}

}  // namespace

// Blocks, the paste buffer and dragging.  Random presses of every marking,
// block, buffer and drag command among typing, moves and line edits, in
// segments: after every press the block lies in its text and the buffer's
// and the deleted block's lists are sound; each segment, started on an
// empty log, is undone back to the text it began with and redone to the
// text it left.
namespace {

constexpr int kBlockSegments = 2000;
constexpr int kSegmentKeys = 25;
constexpr unsigned kBlockSeed = 0xb10c2026;

constexpr int kBlockCommands[] = {
    cmd::MarkBlockBegin, cmd::MarkBlockEnd, cmd::MarkColumnUpLeft, cmd::MarkColumnDownRight, cmd::MarkWord,
    cmd::MarkToEOL,      cmd::MarkAll,      cmd::ToggleColumn,     cmd::UnmarkBlock,         cmd::CopyBlock,
    cmd::MoveBlock,      cmd::DeleteBlock,  cmd::UnDeleteBlock,    cmd::CopyToBuf,           cmd::CutToBuf,
    cmd::AppendCopyToBuf, cmd::AppendCutToBuf, cmd::AppendCopyLineToBuf, cmd::AppendCutLineToBuf,
    cmd::PasteFromBuf,   cmd::PasteCopyFromBuf, cmd::ClearBuf,     cmd::DragBlockLeft,       cmd::DragBlockRight,
    cmd::DragBlockUp,    cmd::DragBlockDown, cmd::DragBlockPageUp, cmd::DragBlockPageDown,   cmd::DragLineUp,
    cmd::DragLineDown,   cmd::ToggleInsert, cmd::OpenBlockCopy,    cmd::OpenBlockMove,       cmd::OpenBuffer,
};
constexpr int kBlockMoves[] = {cmd::OneLeft, cmd::OneRight, cmd::OneUp,    cmd::OneDown,  cmd::WordRight,
                               cmd::EndOfLine, cmd::BegOfLine, cmd::PageDown, cmd::FirstLine, cmd::LastLine};
// Line edits, the joins among them, move the block's lines under it.
constexpr int kBlockEdits[] = {cmd::NewLine,   cmd::DelLine, cmd::AddLine,   cmd::DupLine,
                               cmd::Backspace, cmd::DelChr,  cmd::DelRtWord, cmd::JoinLine};

std::vector<std::string> textLines(EditorState* V) {
  std::vector<std::string> out;
  ActiveLine a;
  for (Link* l = V->curTcb->base->next(); l != V->curTcb->base; l = l->next()) {
    if (l == V->curTcb->curLine)
      a = V->aline;
    else
      GetLine(l, &a);
    out.push_back(trimmed(a));
  }
  return out;
}

// Where two versions of a text first differ ("" when they do not).
std::string difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); i++) {
    const std::string x = i < a.size() ? a[i] : "(none)", y = i < b.size() ? b[i] : "(none)";
    if (x != y) return "line " + std::to_string(i + 1) + ": '" + x + "' instead of '" + y + "'";
  }
  return "";
}

class RandomBlocks : public ::testing::Test {
 protected:
  void press(int code) { HandleKey(ed.V(), code, 0, 0); }

  // The block's lines are checked after each key; Undo and Redo put back
  // texts, not blocks, so after them only the lists are.
  std::string check(bool blockLines = true, bool blockCommand = false) {
    EditorState* V = ed.V();
    if (V->curTcb != main) return "another text is current";
    if (V->inputMode != ModeEdit || V->quit) return "left the editing mode";
    if (std::string err = vt::CheckList(main->base); !err.empty()) return "text: " + err;
    const BlockRecord& b = V->blk;
    if (b.blkTcb && blockLines) {
      if (!b.blkTcb->base) return "block in a closed text";
      const int lines = CountLines(b.blkTcb->base);
      if (b.startLine < 1 || b.endLine < b.startLine || b.endLine > lines)
        return "block lines " + std::to_string(b.startLine) + ".." + std::to_string(b.endLine) + " of " +
               std::to_string(lines);
    }
    if (V->pasteBase) {
      if (std::string err = vt::CheckList(V->pasteBase); !err.empty()) return "buffer: " + err;
      if (V->pasteBase->next() == V->pasteBase) return "empty buffer kept";
    }
    if (V->delBlk)
      if (std::string err = vt::CheckList(V->delBlk); !err.empty()) return "deleted block: " + err;
    if (!blockCommand) return "";
    // The second view of the text keeps its cursor on a line of the text,
    // the one its number says, through every block command.
    int n = 1;
    for (Link* l = main->base->next();; l = l->next(), n++) {
      if (l == dup->curLine) return n == dup->lineNo ? "" : "second view on line " + std::to_string(n) + ", numbered " + std::to_string(dup->lineNo);
      if (l == main->base) return "second view's cursor line is not in the text";
    }
  }

  // A command that opened a text: it is closed again at once.
  void backToMain() {
    EditorState* V = ed.V();
    for (int i = 0; i < 3 && V->curTcb && V->curTcb != main; i++) {
      V->curTcb->modified = 0;
      V->alineDirty = 0;
      press(CMD_BASE + cmd::DiscardExit);
    }
    if (V->curTcb != main) SelectView(V, main->number);
  }

  // Undo until "NO Undo" or Redo until "NO Redo"; false when it never ends.
  bool walk(bool undo) {
    EditorState* V = ed.V();
    const char* end = undo ? "NO Undo" : "NO Redo";
    for (int i = 0; i < 5000; i++) {
      V->alertText[0] = 0;
      press(CMD_BASE + (undo ? cmd::Undo : cmd::Redo));
      if (std::string(V->alertText) == end) return true;
    }
    return false;
  }

  vt::Editor ed;
  Tcb* main = nullptr;
  Tcb* dup = nullptr;  // a second view of the same text
};

TEST_F(RandomBlocks, BlockBufferAndDragCommandsKeepTextsSoundAndUndoExactly) {
  std::mt19937 rng(kBlockSeed);
  std::string text;
  for (int n = 0; n < 60; n++) {
    const int words = int(rng() % 8);
    for (int w = 0; w < words; w++) text += std::string(w ? 1 : 0, ' ') + kWords[rng() % std::size(kWords)];
    text += '\n';
  }
  main = ed.open(text);
  EditorState* V = ed.V();
  dup = OpenDup(V, main->number);
  ALineSet(V, 30);
  SelectView(V, main->number);
  ASSERT_EQ(V->curTcb, main);
  for (int seg = 0; seg < kBlockSegments; seg++) {
    udoReset(V);
    const std::vector<std::string> before = textLines(V);
    std::string keys;  // the segment's presses
    for (int k = 0; k < kSegmentKeys; k++) {
      const unsigned pick = rng() % 100;
      int n;
      if (pick < 45) {
        n = kBlockCommands[rng() % std::size(kBlockCommands)];
        // Other edits keep other views only roughly (a stored line may move
        // to another record when it is flushed): the second view starts each
        // block command on the line its number names.
        AFlush(V);
        dup->curLine = main->base->next();
        for (dup->lineNo = 1; dup->lineNo < 30 && !IsBase(dup->curLine->next()); dup->lineNo++)
          dup->curLine = dup->curLine->next();
        press(CMD_BASE + n);
      } else if (pick < 75) {
        n = kBlockMoves[rng() % std::size(kBlockMoves)];
        press(CMD_BASE + n);
      } else if (pick < 85 && CountLines(main->base) > 20) {
        n = kBlockEdits[rng() % std::size(kBlockEdits)];
        press(CMD_BASE + n);
      } else {
        n = -1;
        press(int('a' + rng() % 26));
      }
      backToMain();
      keys += std::string(" ") + (n < 0 ? "type" : CmdText[n]) + "->" + std::to_string(ed.lineNo()) + ":" +
              std::to_string(ed.col());
      const std::string err = check(true, pick < 45);
      if (!err.empty()) FAIL() << "segment " << seg << ": " << err << ":" << keys;
    }
    const std::vector<std::string> after = textLines(V);
    ASSERT_TRUE(walk(true)) << "segment " << seg << ":" << keys;
    ASSERT_EQ(difference(textLines(V), before), "") << "segment " << seg << " undone:" << keys;
    ASSERT_TRUE(walk(false)) << "segment " << seg << ":" << keys;
    ASSERT_EQ(difference(textLines(V), after), "") << "segment " << seg << " redone:" << keys;
    ASSERT_EQ(check(false), "") << "segment " << seg << " after undo and redo:" << keys;
    UnmarkBlk(V);
  }
}

// Joins, splits and line deletions on a short text in both insert modes,
// in segments of twelve keys from an empty log: the end of the text, the
// only line and the deleted-line store are met often.  Undo gives back the
// segment's start, Redo its end.
TEST_F(RandomBlocks, JoinsAndLineCommandsOnAShortTextUndoExactly) {
  constexpr int kCmds[] = {cmd::Backspace, cmd::DelChr,    cmd::DelRtWord, cmd::JoinLine,  cmd::DelLine,
                           cmd::NewLine,   cmd::ToggleInsert, cmd::OneRight, cmd::OneLeft, cmd::OneDown,
                           cmd::OneUp,     cmd::EndOfLine, cmd::LastLine,  cmd::LastPos,   cmd::BegOfLine,
                           cmd::AddLine,   cmd::DelLtWord, cmd::UnDelLine, cmd::BackspaceNoSave, cmd::DelToEol,
                           cmd::UnBackspace, cmd::InsLine, cmd::DupLine};
  constexpr const char* kStart = "one two\n  three\tfour\n\nfive\n six\n";
  std::mt19937 rng(kBlockSeed + 1);
  main = ed.open(kStart);
  EditorState* V = ed.V();
  for (int seg = 0; seg < 3000; seg++) {
    udoReset(V);
    const std::vector<std::string> before = textLines(V);
    std::string keys;
    for (int k = 0; k < 12; k++) {
      int n = -1;
      if (rng() % 4 == 0) {
        press(int(rng() % 3 == 0 ? ' ' : 'a' + rng() % 26));
      } else {
        n = kCmds[rng() % std::size(kCmds)];
        press(CMD_BASE + n);
      }
      keys += std::string(" ") + (n < 0 ? "type" : CmdText[n]) + "->" + std::to_string(ed.lineNo()) + ":" +
              std::to_string(ed.col()) + (V->toggles & TGL_INSERT ? "" : " over");
    }
    const std::vector<std::string> after = textLines(V);
    ASSERT_TRUE(walk(true)) << "segment " << seg << ":" << keys;
    ASSERT_EQ(difference(textLines(V), before), "") << "segment " << seg << " undone:" << keys;
    ASSERT_TRUE(walk(false)) << "segment " << seg << ":" << keys;
    ASSERT_EQ(difference(textLines(V), after), "") << "segment " << seg << " redone:" << keys;
    // Kept short: a fresh copy when the text has grown or shrunk too far.
    if (const int lines = CountLines(main->base); lines < 3 || lines > 12) main = ed.open(kStart);
  }
}

}  // namespace
