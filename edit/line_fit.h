// Keeping an edited line within what one stored record holds.
//
// A stored line takes at most 1023 bytes of UTF-8.  An active line of up to
// 1023 characters fits whenever its characters are plain ASCII, but one
// with many multi-byte characters may not, and the store would cut it when
// it is written back.  Edits that could grow a long line check the result
// and are refused instead, so no typed text is ever cut off.
#pragma once

#include <algorithm>

#include "core/line_store.h"

// Lines up to this many characters fit whatever they hold (4 bytes each).
constexpr int kAlwaysFits = kLineMax / 4;

// Keeps a copy of a line that an edit may make too long to store; ok()
// tells whether the edited line fits and, when it does not, puts the copy
// back.  `reach` is the length the edit may give the line.
class LineGuard {
 public:
  LineGuard(ActiveLine* line, int reach) : line_(line), armed_(std::max<int>(line->count, reach) > kAlwaysFits) {
    if (armed_) keep_ = *line;
  }
  bool ok() {
    if (!armed_ || FoldedBytes(line_) <= kLineMax) return true;
    *line_ = keep_;
    return false;
  }

 private:
  ActiveLine* line_;
  bool armed_;
  ActiveLine keep_;
};
