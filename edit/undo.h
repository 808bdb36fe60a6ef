// The undo log: one 64 KiB ring of variable-length records for all texts,
// walked backwards by Undo and forwards by Redo.
//
// Every record starts with its kind byte and ends with a 5-byte trailer
// (the kind again and a 32-bit value), so the ring can be walked both ways.
// Positions are line numbers and columns, never Links.  Changes too large or
// too irregular for a record of their own (case changes, centring, typing at
// the special stops, a word-wrap split, later sorting and reflow) keep the
// replaced lines as a detached list outside the ring, freed with the record.
//
// The ring's pointers live in the first 32 bytes of V->undoArea, which no
// record uses, so each editor has its own log.
#pragma once

#include <cstdint>

#include "core/line_store.h"

struct EditorState;

// Record kinds.  Most are the number of the command they were written for.
namespace udo {
constexpr uint8_t kDelChar = 29;     // a character removed by backspace or DelChr (insert mode)
constexpr uint8_t kDelLine = 32;     // DelLine; the value is a copy of the line
constexpr uint8_t kUnDelLine = 33;
constexpr uint8_t kNewLine = 34;
constexpr uint8_t kAddLine = 35;
constexpr uint8_t kDupLine = 36;
constexpr uint8_t kInsLine = 38;
constexpr uint8_t kDelRtWord = 39;
constexpr uint8_t kDelLtWord = 40;
constexpr uint8_t kDelToEol = 41;
constexpr uint8_t kDragLineUp = 51;
constexpr uint8_t kDragLineDown = 52;
constexpr uint8_t kCopyBlock = 57;
constexpr uint8_t kMoveBlock = 58;
constexpr uint8_t kDeleteBlock = 59;
constexpr uint8_t kPasteBuf = 65;
constexpr uint8_t kReplace = 70;
constexpr uint8_t kLineupLeft = 76;
constexpr uint8_t kLineupRight = 115;
constexpr uint8_t kMoveColumn = 127;
constexpr uint8_t kLineupColumn = 128;
constexpr uint8_t kLineupComment = 144;
constexpr uint8_t kPasteClip = 159;
constexpr uint8_t kPastePrimary = 162;
constexpr uint8_t kUnDeleteBlock = 176;
constexpr uint8_t kPasteCopyBuf = 179;
constexpr uint8_t kJoin = 183;
constexpr uint8_t kIndent = 185;      // value: the line the pair went into
constexpr uint8_t kUnIndent = 186;
constexpr uint8_t kComment = 187;     // value: the line the pair went into
constexpr uint8_t kUnComment = 188;
constexpr uint8_t kOverBack = 246;    // a character blanked by backspace in overwrite mode
constexpr uint8_t kOverType = 247;    // a character typed in overwrite mode, with the one it replaced
constexpr uint8_t kTextSwitch = 248;  // the records after it belong to another text
constexpr uint8_t kLines = 250;       // lines replaced, the old ones kept outside the ring
constexpr uint8_t kPosLong = 252;
constexpr uint8_t kPosShort = 253;
constexpr uint8_t kType = 254;        // a character typed in insert mode

constexpr int kBlockPosSize = 24;
constexpr int kLinesSize = 55;
constexpr uint32_t kNothingReplaced = 0xffffffff;  // kOverType written at or past the line end
}  // namespace udo

// Size of the record whose first byte is at p (0 for an unknown kind), and
// of the record that ends at `end` (0 for an unknown kind).  Exposed for the
// ring's tests.
int UdoRecordSize(const uint8_t* p);
int UdoRecordSizeBack(const uint8_t* end);

// Reserves n bytes at the head, evicting the oldest records as needed, and
// discards the records that could have been redone.  Returns where to write,
// or null ("undo tilt" on a corrupted log, which is then emptied).  The
// caller writes exactly n bytes and calls UdoCommit.
uint8_t* UdoAlloc(EditorState* V, int n);
void UdoCommit(EditorState* V, int n);

// Cursor-position record when (line, col) is not the last recorded
// position; the last recorded position stays.
void UdoMark(EditorState* V, int line, int col);
void UdoMarkHere(EditorState* V);
// A five-byte record.
void UdoSmall(EditorState* V, uint8_t kind, uint32_t value);
// Characters typed in overwrite mode (`replaced` is the character written
// over, or udo::kNothingReplaced).
void UdoTypeOver(EditorState* V, tchar ch, tchar replaced);
// One replacement of search-and-replace: n characters from col of the cursor
// line are about to become `repl` (m characters).
void udoReplace(EditorState* V, int col, int n, const tchar* repl, int m);
// The line tools: leading space of line `line` changed from column `from`
// to column `to`.
void udospc(int from, int to);

// The generic record for changes confined to lines.  UdoLinesBefore keeps a
// copy of lines first..last (last < first: none) and the cursor and block;
// false, with "Out of memory", when the copy cannot be had: the caller must
// not make the change.  UdoLinesAfter names the new last line and writes the
// record, or drops the copy when nothing changed.  UdoLinesCancel drops it.
bool UdoLinesBefore(EditorState* V, int first, int last);
void UdoLinesAfter(EditorState* V, int newLast);
void UdoLinesCancel(EditorState* V);
// The cursor line alone, for the commands that change only it.
bool UdoLineBefore(EditorState* V);
void UdoLineAfter(EditorState* V);

// A change to the cursor line (with `joins`, possibly joined with a
// neighbour) when one of them holds blanks at its end kept as read: it is
// kept as those lines, so that Undo gives the blanks back.  UdoWideBefore
// answers whether it did; then UdoWideAfter must follow the change.
bool UdoWideBefore(EditorState* V, bool joins);
void UdoWideAfter(EditorState* V);

// Empties the log.
void udoReset(EditorState* V);
// A text is closing or being read again: its records go (with the older
// records of other texts they were interleaved with), and any redo records.
void udoForget(EditorState* V, const Link* base);

// The bracket of the dispatcher.  UdoPreCmd answers false when the command
// must not run (its undo data could not be kept).
bool UdoPreCmd(EditorState* V, int cmd);
void UdoPostCmd(EditorState* V, int cmd);

// The commands.
void Undo(EditorState* V);
void Redo(EditorState* V);

// For the tests and benchmarks: bytes held by the ring's records, and the
// number of records, walking from tail to head (forward) and from head to
// tail (backward); -1 when a walk fails.  Lines held outside the ring count
// in `lines`.
struct UdoStats {
  int bytes;
  int records;
  int recordsBack;
  int lines;
  int redoRecords;
};
UdoStats UdoStatistics(EditorState* V);
