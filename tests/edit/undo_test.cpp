// The undo ring itself: record sizes both ways, wrapping and eviction, what
// is held outside the ring, corruption, memory, long positions, and records
// that belong to their text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "edit/undo_ring.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"

namespace {

using namespace udo;

void press(EditorState* V, int cmdNo) { HandleKey(V, CMD_BASE + cmdNo, 0, 0); }
void type(EditorState* V, const std::string& s) {
  for (char c : s) HandleKey(V, c, 0, 0);
}
std::string repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; i++) r += s;
  return r;
}
std::string trim(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}
// Undo (or Redo) until the log says it has nothing more; the presses made.
int all(EditorState* V, bool undo) {
  const char* end = undo ? "NO Undo" : "NO Redo";
  int n = 0;
  for (V->alertText[0] = 0; std::string(V->alertText) != end && n < 1000000; n++) {
    V->alertText[0] = 0;
    press(V, undo ? cmd::Undo : cmd::Redo);
  }
  return n;
}

// Every kind at its size, read from its first byte and from its trailer.
TEST(UndoRing, EveryKindHasItsSizeBothWays) {
  struct Kind {
    uint8_t kind;
    int size;
    uint32_t trailer;  // the trailer's value where the size depends on it
  };
  constexpr Kind kinds[] = {
      {29, 5, 0},   {32, 5, 0},    {33, 5, 0},   {34, 14, 0},  {35, 5, 0},   {36, 5, 0},   {38, 5, 0},
      {39, 26, 3},  {40, 14, 0},   {41, 4106, 1023}, {51, 5, 0}, {52, 5, 0},   {57, 61, 0},  {58, 61, 0},
      {59, 37, 0},  {65, 37, 0},   {70, 36, 2 | (3 << 16)},    {76, 10, 0},  {115, 10, 0}, {127, 10, 0},
      {128, 10, 0}, {144, 10, 0},  {159, 24, 0}, {162, 24, 0}, {176, 37, 0}, {179, 37, 0}, {183, 5, 0},
      {185, 5, 0},  {186, 5, 0},   {187, 5, 0},  {188, 5, 0},  {246, 5, 0},  {247, 10, 0}, {248, 16, 0},
      {250, kLinesSize, 0},        {252, 14, 0}, {253, 11, 0}, {254, 5, 0},
  };
  for (const Kind& k : kinds) {
    std::vector<uint8_t> rec(size_t(k.size), 0);
    rec[0] = k.kind;
    if (k.kind >= 39 && k.kind <= 41) put16(rec.data() + 1, k.trailer);
    if (k.kind == 70) {
      put16(rec.data() + 1, k.trailer & 0xffff);
      put16(rec.data() + 3, k.trailer >> 16);
    }
    rec[size_t(k.size - 5)] = k.kind;
    put32(rec.data() + k.size - 4, k.trailer);
    EXPECT_EQ(UdoRecordSize(rec.data()), k.size) << int(k.kind);
    EXPECT_EQ(UdoRecordSizeBack(rec.data() + k.size), k.size) << int(k.kind);
  }
  const uint8_t unknown[5] = {7, 0, 0, 0, 0};
  EXPECT_EQ(UdoRecordSize(unknown), 0);
}

// Records of random sizes written over twenty laps: after every write the
// records from the oldest on are intact and consecutive (the head never ran
// over the tail) and the walks both ways count the same.
TEST(UndoRing, RandomSizesOverTwentyWrapsKeepTheTailWhole) {
  vt::Editor e;
  EditorState* V = e.V();
  std::mt19937 rng(1234);
  uint32_t seq = 0;
  int laps = 0;
  uint32_t lastHead = Ring(V).head;
  while (laps < 20) {
    const int n = int(rng() % 2) ? int(rng() % 8) : int(rng() % 1023);
    const int size = 14 + 4 * n;
    uint8_t* p = UdoAlloc(V, size);
    ASSERT_NE(p, nullptr);
    p[0] = kDelRtWord;
    put16(p + 1, uint32_t(n));
    put32(p + 3, ++seq);  // the line field carries the sequence number
    for (int i = 0; i < n; i++) put32(p + 9 + 4 * i, seq);
    p[size - 5] = kDelRtWord;
    put16(p + size - 4, uint32_t(n));
    put16(p + size - 2, 0);
    UdoCommit(V, size);
    if (Ring(V).head < lastHead) laps++;
    lastHead = Ring(V).head;
    const UdoStats s = UdoStatistics(V);
    ASSERT_GT(s.records, 0);
    ASSERT_EQ(s.records, s.recordsBack) << "write " << seq;
    ASSERT_LE(s.bytes, kUndoAreaSize - 64);
    // Walk from the tail: consecutive numbers ending with the newest, and
    // every character of each record still its own.
    uint32_t expect = seq - uint32_t(s.records) + 1;
    for (uint32_t at = Ring(V).tail; at != Ring(V).head;) {
      at = StartAt(V, at);
      if (at == Ring(V).head) break;
      const uint8_t* r = V->undoArea + at;
      ASSERT_EQ(get32(r + 3), expect) << "write " << seq;
      const int m = get16(r + 1);
      for (int i = 0; i < m; i++) ASSERT_EQ(get32(r + 9 + 4 * i), expect);
      expect++;
      at += uint32_t(UdoRecordSize(r));
    }
    ASSERT_EQ(expect, seq + 1);
  }
}

// Typing that wraps the ring: Undo walks back across the wrap to the oldest
// record left, then "NO Undo"; Redo walks forward to the end.
TEST(UndoRing, TypingAcrossTheWrapUndoesToTheOldestRecord) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("\n");
  for (int i = 0; i < 30000; i++) {
    type(V, "ab");
    if (e.col() > 900) press(V, cmd::NewLine);
  }
  const std::vector<std::string> edited = e.lines();
  const UdoStats s = UdoStatistics(V);
  EXPECT_EQ(s.records, s.recordsBack);
  const int undone = all(V, true);
  EXPECT_GT(undone, 5000);
  EXPECT_NE(e.lines(), edited);  // the oldest typing was evicted, not undone
  all(V, false);
  EXPECT_EQ(e.lines(), edited);
}

// Lines kept outside the ring go back to the store with their records:
// thousands of case changes, each keeping its line, need no more memory
// once the ring is full.
TEST(UndoRing, EvictionFreesTheKeptLines) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open(repeat("a line of text to change\n", 40));
  auto used = [&] { return V->mem.next - V->mem.first + std::ptrdiff_t(V->memBlocks) * kBlockSize; };
  for (int i = 0; i < 3000; i++) press(V, i % 2 ? cmd::BlockToLowerCase : cmd::BlockToUpperCase);
  const auto warm = used();
  const UdoStats s = UdoStatistics(V);
  EXPECT_GT(s.lines, 0);
  EXPECT_EQ(s.lines % 40, 0) << "each case record keeps its 40 lines";
  EXPECT_LE(s.lines, 40 * s.records);
  for (int i = 0; i < 3000; i++) press(V, i % 2 ? cmd::BlockToLowerCase : cmd::BlockToUpperCase);
  EXPECT_EQ(used(), warm);
  udoReset(V);
  EXPECT_EQ(UdoStatistics(V).lines, 0);
}

// A corrupted kind byte: the reservation that meets it, or the Undo that
// reads it, empties the log with "undo tilt"; the text is not touched.
TEST(UndoRing, ACorruptedKindByteTiltsAndEmptiesTheLog) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("abc\n");
  type(V, "xyz");
  V->undoArea[Ring(V).head - 5] = 7;
  V->undoArea[Ring(V).head - 1 - 4] = 7;
  press(V, cmd::Undo);
  EXPECT_EQ(e.alert(), "undo tilt");
  EXPECT_EQ(e.line(1), "xyzabc");
  EXPECT_EQ(UdoStatistics(V).records, 0);

  type(V, "q");
  V->undoArea[Ring(V).tail] = 200;  // the oldest record
  for (int i = 0; i < 20000 && e.alert() != "undo tilt"; i++) {
    type(V, "w");
    // The next press would clear the alert.
    if (e.alert() != "undo tilt" && e.col() > 500) press(V, cmd::NewLine);
  }
  EXPECT_EQ(e.alert(), "undo tilt");
  EXPECT_EQ(UdoStatistics(V).records, UdoStatistics(V).recordsBack);
}

// No memory for the lines a command would change: the command is refused
// with "Out of memory" and the text stays as it was.
TEST(UndoRing, NoMemoryForKeptLinesRefusesTheCommand) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open(repeat("lower case line\n", 2000));
  V->memBlockLimit = V->memBlocks;
  Link* filler = NewBaseLink(V);
  while (AddEmptyLine(V, filler) && AddBytesLine(V, filler, 200, reinterpret_cast<const uint8_t*>(repeat("x", 200).data()))) {
  }
  V->alertText[0] = 0;
  press(V, cmd::BlockToUpperCase);
  EXPECT_EQ(e.alert(), "Out of memory");
  EXPECT_EQ(e.line(1999), "lower case line");
  ReleaseText(V, filler);
  V->memBlockLimit = 0;
  press(V, cmd::BlockToUpperCase);
  EXPECT_EQ(e.line(1999), "LOWER CASE LINE");
  press(V, cmd::Undo);
  EXPECT_EQ(e.line(1999), "lower case line");
}

// A recorded position the text no longer has: the log is emptied with
// "NO Undo" and nothing is edited elsewhere.
TEST(UndoRing, APositionOutsideTheTextEmptiesTheLog) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("1\n2\n3\n4\n5\n6\n");
  ALineSet(V, 6);
  type(V, "x");
  ALineSet(V, 1);
  // Lines go behind the log's back.
  for (int i = 0; i < 4; i++) DeleteLink(V, V->curTcb->base->prev());
  const std::vector<std::string> before = e.lines();
  press(V, cmd::Undo);
  EXPECT_EQ(e.alert(), "NO Undo");
  EXPECT_EQ(e.lines(), before);
  EXPECT_EQ(UdoStatistics(V).records, 0);
}

// Lines past 0xfffe and columns past 0xfe take the long position form.
TEST(UndoRing, FarPositionsTakeTheLongFormAndComeBack) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open(repeat("x\n", 70000));
  ALineSet(V, 69000);
  V->curTcb->col = 300;
  type(V, "ab");
  ALineSet(V, 65535);
  V->curTcb->col = 2;
  type(V, "c");
  EXPECT_EQ(e.line(69000), "x" + std::string(299, ' ') + "ab");
  all(V, true);
  EXPECT_EQ(trim(e.line(69000)), "x");
  EXPECT_EQ(trim(e.line(65535)), "x");
  all(V, false);
  EXPECT_EQ(e.line(69000), "x" + std::string(299, ' ') + "ab");
  EXPECT_EQ(e.line(65535), "x c");
}

// A million lines changed by one command: one record, its lines outside
// the ring, undone and redone whole.
TEST(UndoRing, AMillionLineRangeIsOneStep) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open(repeat("ab\n", 1000000));
  press(V, cmd::BlockToUpperCase);
  EXPECT_EQ(e.line(1000000), "AB");
  EXPECT_EQ(UdoStatistics(V).lines, 1000000);
  press(V, cmd::Undo);
  EXPECT_EQ(e.line(1), "ab");
  EXPECT_EQ(e.line(1000000), "ab");
  press(V, cmd::Redo);
  EXPECT_EQ(e.line(1000000), "AB");
  EXPECT_EQ(vt::CheckList(V->curTcb->base), "");
}

// A replacement keeps the replacement itself: Redo writes it again even
// when the search settings have changed since.
TEST(UndoRing, AReplacementIsUndoneAndRedoneWithItsOwnText) {
  vt::Editor e;
  EditorState* V = e.V();
  e.open("hello world\n");
  V->curTcb->col = 6;
  const tchar repl[] = {'t', 'h', 'e', 'r', 'e', '!', '!'};
  udoReplace(V, 6, 5, repl, 7);
  LDelete(V, &V->aline, 6, 11);
  for (int i = 0; i < 7; i++) InsertChar(&V->aline, 6 + i, repl[i], false);
  V->alineDirty = 1;
  EXPECT_EQ(e.line(1), "hello there!!");
  press(V, cmd::Undo);
  EXPECT_EQ(e.line(1), "hello world");
  press(V, cmd::Redo);
  EXPECT_EQ(e.line(1), "hello there!!");
}

// Records belong to their text: Undo reaching another open text's records
// makes it current and shows the place first; a closed text's records go.
TEST(UndoRing, RecordsBelongToTheirText) {
  vt::Editor e;
  EditorState* V = e.V();
  Tcb* a = e.open("alpha\n", "a.txt");
  V->curTcb->col = 5;
  type(V, "1");
  Tcb* b = e.open("beta\n", "b.txt");
  V->curTcb->col = 4;
  type(V, "2");
  press(V, cmd::Undo);
  EXPECT_EQ(V->curTcb, b);
  EXPECT_EQ(e.line(1), "beta");
  press(V, cmd::Undo);  // the position record of b's edit
  press(V, cmd::Undo);  // reaches a's records: a is shown
  EXPECT_EQ(V->curTcb, a);
  EXPECT_EQ(e.line(1), "alpha1");
  EXPECT_EQ(e.col(), 6);
  press(V, cmd::Undo);
  EXPECT_EQ(e.line(1), "alpha");
  all(V, false);
  EXPECT_EQ(V->curTcb, b);
  EXPECT_EQ(e.line(1), "beta2");

  // a closes: what it recorded goes; b's records still undo.
  ReleaseTcb(V, &a);
  SelectView(V, b->number);
  EXPECT_EQ(V->curTcb, b);
  EXPECT_EQ(all(V, true) > 0, true);
  EXPECT_EQ(e.line(1), "beta");
  EXPECT_EQ(V->curTcb, b);
}

}  // namespace
