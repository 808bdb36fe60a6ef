// Shared by the undo files only: the ring's pointers and byte helpers.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/editor_state.h"

namespace udo {

constexpr uint32_t kRingStart = 0x20;
constexpr uint32_t kRingLimit = 0xffe0;  // no record reaches past it
constexpr uint32_t kEvictGap = 64;       // room kept between the head and the oldest record
constexpr uint32_t kMagic = 0x55444f31;

// Kept in the first bytes of the undo area, which no record uses.
struct RingHeader {
  uint32_t head;     // records before it can be undone, from it up to top redone
  uint32_t tail;     // the oldest record
  uint32_t top;      // end of the newest record
  uint32_t wrap;     // end of the last record before writing went back to the start; 0 none
  uint32_t logBase;  // handle of the base link of the text the records before head belong to
  uint32_t magic;
};
static_assert(sizeof(RingHeader) <= kRingStart);

inline uint32_t get32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

RingHeader& Ring(EditorState* V);
// Frees what a record holds outside the ring (a kept line, a line list).
void DropRecord(EditorState* V, const uint8_t* rec);
// Where the record before `at` ends (the wrap is crossed), or 0.
uint32_t EndBefore(EditorState* V, uint32_t at);
// Where the record at `at` really starts (the wrap is crossed).
uint32_t StartAt(EditorState* V, uint32_t at);
// Set while Undo or Redo replays an edit: nothing is recorded.
extern int replaying;
// Set while a change is being kept as whole lines: the records of its
// parts are not written.
extern int quiet;

}  // namespace udo

namespace udo {
// The characters udosavstr kept, and the columns of udosavstr or udospc.
extern tchar savstr[kAlineMax + 1];
extern int savLen;
extern int strfrom, strto;
// Makes the text whose base link has handle `h` current (the current view
// when it shows that text).  False when no open text has it.
bool ShowText(EditorState* V, uint32_t h);
uint32_t CurBase(EditorState* V);
// Whether two stored lines read as the same text, whatever their bytes.
bool SameText(const Link* a, const Link* b);
}  // namespace udo
