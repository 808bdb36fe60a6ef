// The undo ring: record sizes both ways, reservation with eviction, and the
// small records the editing code writes itself.
#include <algorithm>

#include "edit/undo.h"
#include "edit/undo_blocks.h"
#include "edit/undo_hooks.h"
#include "edit/undo_ring.h"

namespace udo {

int replaying = 0;
int quiet = 0;
tchar savstr[kAlineMax + 1];
int savLen = 0;
int strfrom = 0, strto = 0;

}  // namespace udo

using namespace udo;

namespace {


// Sizes of the fixed-size kinds; 0 for a kind the log does not know, -1
// for the kinds whose size follows from a count.
constexpr int fixedSize(uint8_t k) {
  switch (k) {
    case kDelChar: case kDelLine: case kUnDelLine: case kAddLine: case kDupLine: case kInsLine:
    case kDragLineUp: case kDragLineDown: case kJoin: case kIndent: case kUnIndent: case kComment:
    case kUnComment: case kOverBack: case kType:
      return 5;
    case kNewLine: case kPosLong:
      return 14;
    case kPosShort:
      return 11;
    case kDelRtWord: case kDelLtWord: case kDelToEol: case kReplace:
      return -1;
    case kCopyBlock: case kMoveBlock:
      return 2 * kBlockPosSize + kBlockRecTail;
    case kDeleteBlock: case kPasteBuf: case kUnDeleteBlock: case kPasteCopyBuf:
      return kBlockPosSize + kBlockRecTail;
    case kPasteClip: case kPastePrimary:
      return kBlockPosSize;
    case kLineupLeft: case kLineupRight: case kMoveColumn: case kLineupColumn: case kLineupComment:
      return 10;
    case kOverType:
      return 10;
    case kTextSwitch:
      return 16;
    case kLines:
      return kLinesSize;
    default:
      return 0;
  }
}

bool wellFormed(EditorState* V) {
  RingHeader& r = Ring(V);
  auto in = [](uint32_t p) { return p >= kRingStart && p <= kRingLimit; };
  return in(r.head) && in(r.tail) && in(r.top) && (r.wrap == 0 || in(r.wrap));
}

void tilt(EditorState* V) {
  udoReset(V);
  SetAlert(V, "undo tilt");
}

// The record at the oldest end goes; 1 when the log is corrupted.
int evictOldest(EditorState* V) {
  RingHeader& r = Ring(V);
  const int n = UdoRecordSize(V->undoArea + r.tail);
  if (n <= 0 || r.tail + uint32_t(n) > kRingLimit) return 1;
  DropRecord(V, V->undoArea + r.tail);
  r.tail += uint32_t(n);
  if (r.wrap && r.tail == r.wrap) {
    // The wrap has been passed: nothing ends there any more.
    r.tail = kRingStart;
    r.wrap = 0;
  }
  return 0;
}

// Records that could have been redone go once something new is written.
int dropRedo(EditorState* V) {
  RingHeader& r = Ring(V);
  for (uint32_t p = r.head; p != r.top;) {
    p = StartAt(V, p);
    if (p == r.top) break;
    const int n = UdoRecordSize(V->undoArea + p);
    if (n <= 0 || p + uint32_t(n) > kRingLimit) return 1;
    DropRecord(V, V->undoArea + p);
    p += uint32_t(n);
  }
  r.top = r.head;
  if (r.tail <= r.head) r.wrap = 0;
  return 0;
}

void writeSwitch(EditorState* V, uint32_t from, uint32_t to);

}  // namespace

namespace udo {

RingHeader& Ring(EditorState* V) {
  auto* r = reinterpret_cast<RingHeader*>(V->undoArea);
  if (r->magic != kMagic) {
    *r = RingHeader{kRingStart, kRingStart, kRingStart, 0, 0, kMagic};
  }
  return *r;
}

void DropRecord(EditorState* V, const uint8_t* rec) {
  if (rec[0] == kDelLine) {
    if (Link* l = Link::at(get32(rec + 1))) ReleaseLink(V, l);
  } else if (rec[0] == kLines) {
    if (Link* b = Link::at(get32(rec + kLinesSize - 4))) ReleaseText(V, b);
  } else {
    UdoBlockDrop(V, rec);
  }
}

uint32_t EndBefore(EditorState* V, uint32_t at) {
  RingHeader& r = Ring(V);
  if (at == kRingStart && r.tail != kRingStart) return r.wrap;
  return at;
}

uint32_t StartAt(EditorState* V, uint32_t at) {
  RingHeader& r = Ring(V);
  return r.wrap && at == r.wrap ? kRingStart : at;
}

uint32_t CurBase(EditorState* V) { return V->curTcb && V->curTcb->base ? Link::handle(V->curTcb->base) : 0; }

}  // namespace udo

int UdoRecordSize(const uint8_t* p) {
  const int f = fixedSize(p[0]);
  if (f >= 0) return f;
  if (p[0] == kReplace) return 16 + 4 * (get16(p + 1) + get16(p + 3));
  return 14 + 4 * get16(p + 1);
}

int UdoRecordSizeBack(const uint8_t* end) {
  const uint8_t k = end[-5];
  const int f = fixedSize(k);
  if (f >= 0) return f;
  const uint32_t v = get32(end - 4);
  if (k == kReplace) return 16 + 4 * int((v & 0xffff) + (v >> 16));
  return 14 + 4 * int(v & 0xffff);
}

uint8_t* UdoAlloc(EditorState* V, int n) {
  RingHeader& r = Ring(V);
  if (!wellFormed(V) || dropRedo(V) != 0) {
    tilt(V);
    return nullptr;
  }
  bool live = r.tail != r.head;
  if (!live) {
    r.head = r.tail = r.top = kRingStart;
    r.wrap = 0;
  }
  if (r.head + uint32_t(n) > kRingLimit) {
    // What still lies past the head is the oldest lap: it goes before
    // writing starts again at the ring start.
    while (live && r.tail > r.head)
      if (evictOldest(V) != 0) return tilt(V), nullptr;
    r.wrap = live ? r.head : 0;
    r.head = r.top = kRingStart;
    if (!live) r.tail = kRingStart;
  }
  // The oldest records make way while they lie in the reservation or the
  // gap after it.
  while (live && r.tail >= r.head && r.tail < r.head + uint32_t(n) + kEvictGap) {
    if (evictOldest(V) != 0) return tilt(V), nullptr;
    live = r.tail != r.head;
  }
  return V->undoArea + r.head;
}

void UdoCommit(EditorState* V, int n) {
  RingHeader& r = Ring(V);
  r.head += uint32_t(n);
  r.top = r.head;
}

namespace {

// Records belong to a text: when one is written for another text than the
// records before it, a switch record says so and the positions start anew.
// So do they on an empty log: the last edit may lie in another text or
// before a reset, where Undo could not go back to it.
void own(EditorState* V) {
  RingHeader& r = Ring(V);
  const uint32_t cur = CurBase(V);
  if (r.head == r.tail) {
    r.logBase = cur;
    V->lastEditLine = 0;
    V->lastEditCol = 0;
    return;
  }
  if (cur == r.logBase) return;
  writeSwitch(V, r.logBase, cur);
}

void writeSwitch(EditorState* V, uint32_t from, uint32_t to) {
  uint8_t* p = UdoAlloc(V, 16);
  if (!p) return;
  p[0] = kTextSwitch;
  put32(p + 1, from);
  put32(p + 5, uint32_t(V->lastEditLine));
  put16(p + 9, uint32_t(V->lastEditCol));
  p[11] = kTextSwitch;
  put32(p + 12, to);
  UdoCommit(V, 16);
  Ring(V).logBase = to;
  V->lastEditLine = 0;
  V->lastEditCol = 0;
}

}  // namespace

void UdoMark(EditorState* V, int line, int col) {
  if (replaying || quiet || !V->undoArea) return;
  own(V);
  const int lastLine = V->lastEditLine, lastCol = V->lastEditCol;
  if (line == lastLine && col == lastCol) return;
  if (line <= 0xfffe && lastLine <= 0xfffe && col <= 0xfe && lastCol <= 0xfe) {
    uint8_t* p = UdoAlloc(V, 11);
    if (!p) return;
    p[0] = kPosShort;
    p[1] = uint8_t(lastCol);
    p[2] = uint8_t(col);
    p[3] = p[4] = p[5] = 0;
    p[6] = kPosShort;
    put16(p + 7, uint32_t(lastLine));
    put16(p + 9, uint32_t(line));
    UdoCommit(V, 11);
  } else {
    uint8_t* p = UdoAlloc(V, 14);
    if (!p) return;
    p[0] = kPosLong;
    put32(p + 1, uint32_t(lastLine));
    put32(p + 5, uint32_t(line));
    p[9] = kPosLong;
    put16(p + 10, uint32_t(lastCol));
    put16(p + 12, uint32_t(col));
    UdoCommit(V, 14);
  }
}

void UdoMarkHere(EditorState* V) {
  if (V->curTcb) UdoMark(V, V->curTcb->lineNo, V->curTcb->col);
}

void UdoSmall(EditorState* V, uint8_t kind, uint32_t value) {
  if (replaying || quiet || !V->undoArea) return;
  own(V);
  uint8_t* p = UdoAlloc(V, 5);
  if (!p) return;
  p[0] = kind;
  put32(p + 1, value);
  UdoCommit(V, 5);
}

void UdoPos(EditorState* V) {
  // While a change is kept as lines its parts leave the position alone:
  // a change that turns out to be none must not move it.
  if (!V->curTcb || quiet) return;
  V->lastEditLine = V->curTcb->lineNo;
  V->lastEditCol = V->curTcb->col;
}

void UdoType(EditorState* V, tchar ch) {
  if (replaying || quiet) return;
  UdoMarkHere(V);
  UdoSmall(V, kType, ch);
}

void UdoTypeOver(EditorState* V, tchar ch, tchar replaced) {
  if (replaying || quiet || !V->undoArea) return;
  UdoMarkHere(V);
  uint8_t* p = UdoAlloc(V, 10);
  if (!p) return;
  p[0] = kOverType;
  put32(p + 1, replaced);
  p[5] = kOverType;
  put32(p + 6, ch);
  UdoCommit(V, 10);
}

void UdoBackSpace(EditorState* V, tchar ch, bool overwrite) {
  if (replaying || quiet) {
    udojoin = 0;
    return;
  }
  if (!V->curTcb) return;
  if (udojoin) {
    // Marked on the joined line, where Redo joins again.
    udojoin = 0;
    UdoMarkHere(V);
    UdoSmall(V, kJoin, (ch & 0xff) | (uint32_t(udoJoinSkip) << 8));
    UdoPos(V);
    return;
  }
  UdoMark(V, V->curTcb->lineNo, V->curTcb->col + 1);
  UdoSmall(V, overwrite ? kOverBack : kDelChar, ch);
}

void udosavstr(const ActiveLine* line, int a, int b) {
  const int lo = std::clamp(std::min(a, b), 0, int(line->count));
  const int hi = std::clamp(std::max(a, b), lo, int(line->count));
  savLen = hi - lo;
  std::copy(line->c + lo, line->c + hi, savstr);
  savstr[savLen] = 0;
  strfrom = lo;
  strto = hi;
}

void udospc(int from, int to) {
  strfrom = from;
  strto = to;
}

void udoReplace(EditorState* V, int col, int n, const tchar* repl, int m) {
  if (replaying || quiet || !V->undoArea || !V->curTcb) return;
  const ActiveLine& line = V->aline;
  n = std::clamp(n, 0, std::max(0, line.count - col));
  m = std::clamp(m, 0, kAlineMax);
  UdoMarkHere(V);
  const int size = 16 + 4 * (n + m);
  uint8_t* p = UdoAlloc(V, size);
  if (!p) return;
  p[0] = kReplace;
  put16(p + 1, uint32_t(n));
  put16(p + 3, uint32_t(m));
  put32(p + 5, uint32_t(V->curTcb->lineNo));
  put16(p + 9, uint32_t(col));
  for (int i = 0; i < n; i++) put32(p + 11 + 4 * i, line.c[col + i]);
  for (int i = 0; i < m; i++) put32(p + 11 + 4 * (n + i), repl[i]);
  p[size - 5] = kReplace;
  put32(p + size - 4, uint32_t(n) | (uint32_t(m) << 16));
  UdoCommit(V, size);
  UdoPos(V);
}

void udoReset(EditorState* V) {
  if (!V->undoArea) return;
  RingHeader& r = Ring(V);
  // Lines held by records go with them; a corrupted stretch keeps what
  // it holds rather than guess at it.
  if (wellFormed(V)) {
    for (uint32_t p = r.tail; p != r.top;) {
      p = StartAt(V, p);
      if (p == r.top) break;
      const int n = UdoRecordSize(V->undoArea + p);
      if (n <= 0 || p + uint32_t(n) > kRingLimit) break;
      DropRecord(V, V->undoArea + p);
      p += uint32_t(n);
    }
  }
  r = RingHeader{kRingStart, kRingStart, kRingStart, 0, CurBase(V), kMagic};
  udojoin = 0;
}

void udoForget(EditorState* V, const Link* base) {
  if (!V->undoArea || !base) return;
  RingHeader& r = Ring(V);
  const uint32_t h = Link::handle(base);
  if (r.logBase == h || !wellFormed(V)) {
    udoReset(V);
    r.logBase = 0;
    return;
  }
  // Its records lie before the last switch away from it; they go with
  // everything older.  Redo records that return to it go too.
  uint32_t cut = 0;
  for (uint32_t p = r.tail;;) {
    p = StartAt(V, p);
    if (p == r.head) break;
    const uint8_t* rec = V->undoArea + p;
    const int n = UdoRecordSize(rec);
    if (n <= 0 || p + uint32_t(n) > kRingLimit) return udoReset(V);
    if (rec[0] == kTextSwitch && get32(rec + 1) == h) cut = p + uint32_t(n);
    p += uint32_t(n);
  }
  for (uint32_t p = r.head;;) {
    p = StartAt(V, p);
    if (p == r.top) break;
    const uint8_t* rec = V->undoArea + p;
    const int n = UdoRecordSize(rec);
    if (n <= 0 || p + uint32_t(n) > kRingLimit) return udoReset(V);
    if (rec[0] == kTextSwitch && get32(rec + 12) == h) {
      if (dropRedo(V) != 0) return udoReset(V);
      break;
    }
    p += uint32_t(n);
  }
  if (cut) {
    cut = StartAt(V, cut);
    while (StartAt(V, r.tail) != cut && r.tail != r.head)
      if (evictOldest(V) != 0) return udoReset(V);
    r.tail = StartAt(V, r.tail);
    if (r.tail <= r.head && r.top >= r.head) r.wrap = 0;
  }
}

UdoStats UdoStatistics(EditorState* V) {
  UdoStats s{0, 0, 0, 0, 0};
  RingHeader& r = Ring(V);
  for (uint32_t p = r.tail; p != r.head;) {
    p = StartAt(V, p);
    if (p == r.head) break;
    const int n = UdoRecordSize(V->undoArea + p);
    if (n <= 0 || p + uint32_t(n) > kRingLimit) {
      s.records = -1;
      break;
    }
    const uint8_t* rec = V->undoArea + p;
    if (rec[0] == kLines)
      if (Link* b = Link::at(get32(rec + kLinesSize - 4))) s.lines += CountLines(b);
    if (rec[0] == kDelLine) s.lines++;
    s.lines += UdoBlockLines(rec);
    s.bytes += n;
    s.records++;
    p += uint32_t(n);
  }
  for (uint32_t p = r.head; p != r.tail;) {
    const uint32_t end = EndBefore(V, p);
    if (end == 0) {
      s.recordsBack = -1;
      break;
    }
    const int n = UdoRecordSizeBack(V->undoArea + end);
    if (n <= 0 || end < kRingStart + uint32_t(n)) {
      s.recordsBack = -1;
      break;
    }
    p = end - uint32_t(n);
    s.recordsBack++;
  }
  for (uint32_t p = r.head; p != r.top;) {
    p = StartAt(V, p);
    if (p == r.top) break;
    const int n = UdoRecordSize(V->undoArea + p);
    if (n <= 0) break;
    s.redoRecords++;
    p += uint32_t(n);
  }
  return s;
}
