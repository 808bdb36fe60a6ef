// C source colouring, one line at a time with nothing carried between lines:
// the painter asks for the runs of every row it paints.
#pragma once

#include <cstdint>

#include "core/line_store.h"

// Syntax classes; the painter adds them to the row's base colour pair.
enum SyntaxClass : uint8_t {
  SYN_PLAIN = 0,
  SYN_COMMENT,
  SYN_RESERVED,
  SYN_KEYWORD,
  SYN_STRING,
  SYN_LITERAL,
  SYN_NUMBER,
  SYN_PREPROC,
};

// Fills `runs` (63 bytes) with (class, length) pairs from the line's first
// character, ended by (0, 0).  Runs longer than 255 go in several pairs of
// their class; once the area is full the rest of the line stays plain.
void colorizeline(uint8_t* runs, const tchar* line, int count);
