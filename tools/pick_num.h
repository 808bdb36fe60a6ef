// Reading one unsigned decimal number (digits, optionally a '.' and more
// digits) out of an expanded line: the column sum and the Morse settings
// line both read their numbers this way.
#pragma once

#include "core/line_store.h"

// Reads from column *position of the first `count` characters of `line`,
// never past min(count, limit).  Blanks and control characters before the
// number are skipped.  Returns 0 with *value set when a number was read
// (*position then stands on the first character after it), -1 when the
// bound came first or the first non-blank is no digit (*position on it).
// The value is kept in double so that long columns sum without losing units.
int PickNum(const tchar* line, int count, double* value, int* position, int limit);
