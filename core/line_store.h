// The line store.
//
// A text is a circular, doubly linked list of Link records headed by a base
// link.  A Link holds one line as compact UTF-8 in which runs of blanks that
// end on a tab stop are folded into one TAB.  Records live in an arena of
// 1,000,000-byte blocks carved from one reserved address range, so a link to a
// neighbour is a 32-bit handle (offset from the range start / 16) and the
// header stays 10 bytes: next, prev, length word.  Released records go to free
// lists by size class and are handed out again; nothing returns to the system
// before DeInitEditor.
//
// How a line travels: ALoad expands the cursor line (GetLine) into the
// ActiveLine V->aline, 1024 code points with TABs turned into spaces so that a
// column is an index.  Editing changes only that array and sets
// V->alineDirty.  AFlush folds it back (Tabify), moves the Link to a record
// of the right class if its length changed (ResizeLink), and reloads the
// active line from the stored form.  Every operation that walks or changes
// the stored lines of the current text calls AFlush first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct EditorState;

using tchar = uint32_t;  // one Unicode code point

constexpr int kBlockSize = 1000000;
constexpr int kBlockTail = 1024;  // never handed out: room for any record
constexpr int kLineMax = 1023;    // bytes in a stored line
constexpr int kAlineMax = 1024;   // characters in an active line
constexpr int kTypeLimit = 1021;  // last column typing may write
constexpr int kSizeClasses = 66;  // free-list heads; index 0 unused

constexpr uint16_t LINK_LENMASK = 0x03ff;
// The line holds its bytes as the file had them (blanks unfolded, trailing
// blanks kept) and is written back unchanged; folding it again on its first
// edit clears the bit.
constexpr uint16_t LINK_ASREAD = 0x0400;
// The same bit on the base link of a text read from a file: the file's last
// line had no line end, and the text is written without one.
constexpr uint16_t BASE_NO_LAST_END = 0x0400;
constexpr uint16_t LINK_DIFF_A = 0x0800;  // text comparison marks
constexpr uint16_t LINK_DIFF_B = 0x1000;
constexpr uint16_t LINK_BOOKMARK = 0x2000;
constexpr uint16_t LINK_SOFTBREAK = 0x4000;
constexpr uint16_t LINK_BASE = 0x8000;
constexpr uint16_t LINK_CARRIED = 0x7800;  // bits 11-14, kept by PutLine

constexpr int kLinkHeader = 10;

constexpr int LinkSize(int len) { return ((len & LINK_LENMASK) + 25) & 0x7f0; }
constexpr int LinkClass(int len) { return ((len & LINK_LENMASK) + 25) >> 4; }

namespace arena_detail {
// Start of the reserved range all arenas of the process live in.
extern std::byte* rangeBase;
}  // namespace arena_detail

struct Link {
  uint32_t nextH;
  uint32_t prevH;
  uint16_t word;  // length and flags
  uint8_t text[2];  // the line's bytes begin here (offset 10)

  static uint32_t handle(const Link* l) {
    return l ? uint32_t((reinterpret_cast<const std::byte*>(l) - arena_detail::rangeBase) >> 4) : 0;
  }
  static Link* at(uint32_t h) {
    return h ? reinterpret_cast<Link*>(arena_detail::rangeBase + (size_t(h) << 4)) : nullptr;
  }
  Link* next() const { return at(nextH); }
  Link* prev() const { return at(prevH); }
  void setNext(Link* l) { nextH = handle(l); }
  void setPrev(Link* l) { prevH = handle(l); }
  int len() const { return word & LINK_LENMASK; }
  uint8_t* data() { return text; }
  const uint8_t* data() const { return text; }
  // A base link keeps a block or paste width in its first text word.
  uint16_t width() const { return uint16_t(text[0] | (text[1] << 8)); }
  void setWidth(uint16_t w) {
    text[0] = uint8_t(w);
    text[1] = uint8_t(w >> 8);
  }
};
static_assert(offsetof(Link, text) == kLinkHeader);

// The expanded form of one line.
struct ActiveLine {
  Link* next;
  Link* prev;
  uint16_t count;
  tchar c[kAlineMax];
  uint16_t flags;
};

// A folded line before it is given a record: the length word and the bytes.
// Room for 1024 four-byte characters, before the cut to 1023 bytes.
struct LineImage {
  uint16_t word;
  uint8_t text[kAlineMax * 4 + 4];
};

namespace line_detail {
constexpr std::array<tchar, kAlineMax> makeBlanks() {
  std::array<tchar, kAlineMax> b{};
  for (auto& c : b) c = 0x20;
  return b;
}
}  // namespace line_detail
// 1024 spaces, for padding lines.
inline constexpr std::array<tchar, kAlineMax> blanks = line_detail::makeBlanks();

// UTF-8.  uni8 decodes the sequence at p, never reading at or past `avail`.
// Returns the code point and stores the sequence length in *len.  A byte
// that starts no well-formed sequence (a stray continuation byte, an
// overlong or surrogate form, a sequence cut short) is one character of its
// own, U+DC00 + the byte, which no valid text produces; utf8 writes such a
// code point back as that single byte, so any bytes survive decoding and
// encoding unchanged, and every character counts one column.
constexpr tchar kRawByteBase = 0xdc00;
tchar uni8(const uint8_t* p, int avail, int* len);
// Appends cp at buf[n] and returns the new byte count.  A code point UTF-8
// cannot carry (another surrogate, beyond U+10FFFF) is written as U+FFFD.
int utf8(uint8_t* buf, int n, tchar cp);
inline bool IsRawByte(tchar c) { return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xff; }

// Arena.  NewLink and NewTcbLink return null, with the alert "Out of memory",
// when no block can be had.
bool CommitMemFirst(EditorState* V, size_t size);
bool CommitMem(EditorState* V, size_t size);
Link* NewLink(EditorState* V, int len);
void ReleaseLink(EditorState* V, Link* link);
void* NewTcbLink(EditorState* V, size_t size);
void ReleaseArena(EditorState* V);  // zero and give back every block
// A text filled on a thread of its own lives in a second state.  LendArena
// hands it V's free records and the room left in V's newest block (V must
// not take records until it is back); AdoptArena makes the blocks `from`
// took, and what is left of the lent, V's again, to be given back with V's.
void LendArena(EditorState* V, EditorState* to);
void AdoptArena(EditorState* V, EditorState* from);

// Lists.
Link* NewBaseLink(EditorState* V);
inline bool IsBase(const Link* l) { return (l->word & LINK_BASE) != 0; }
Link* AddLink(EditorState* V, Link* after, uint16_t word);
Link* AddEmptyLine(EditorState* V, Link* after);
Link* AddUtfLine(EditorState* V, Link* after, const Link* src);
Link* AddBytesLine(EditorState* V, Link* after, uint16_t word, const uint8_t* bytes);
Link* ResizeLink(EditorState* V, Link* link, int len);
Link* DeleteLink(EditorState* V, Link* link);
Link* PullLink(EditorState* V, Link** cursor);
void InsertLink(EditorState* V, Link** cursor, Link* link);
void BindLink(Link* a, Link* b);
void SwapLines(Link* link);
void ReleaseText(EditorState* V, Link* base);
int CountLines(const Link* base);

// Stored form and active line.
int GetLine(const Link* link, ActiveLine* line);
void Tabify(EditorState* V, LineImage* out, ActiveLine* line);
// The number of bytes Tabify would store for `line`, before any cut.
int FoldedBytes(const ActiveLine* line);
Link* PutLine(EditorState* V, Link* link, ActiveLine* line);
Link* AddLine(EditorState* V, Link* after, ActiveLine* line);
void ALoad(EditorState* V);
int AFlush(EditorState* V);  // 0 stored (or nothing to do), 1 refused

// ActiveLine primitives.
void TrimLine(ActiveLine* line, int len);
void LDelete(EditorState* V, ActiveLine* line, int a, int b);
void LCopy(ActiveLine* src, int from, int to, ActiveLine* dst, int at);
int InsertChar(ActiveLine* line, int at, tchar ch, bool overwrite);
int LeftmostWord(const ActiveLine* line, int start);
int StrInsert(const char* str, ActiveLine* line, int at);
