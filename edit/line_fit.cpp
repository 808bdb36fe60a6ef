#include "edit/line_fit.h"

namespace {
constexpr tchar kSpace = 0x20;
constexpr tchar kTab = 0x09;

int utf8Len(tchar c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c <= 0xffff ? 3 : 4; }
}  // namespace

// Counts what folding the line for the store writes, without writing it.
int FoldedBytes(const ActiveLine* line) {
  int end = line->count;
  while (end > 0 && line->c[end - 1] == kSpace) end--;
  int n = 0, pos = 0, k = 0;
  for (int i = 0; i < end; i++) {
    const tchar ch = line->c[i];
    n += utf8Len(ch);
    if (ch == kTab) {
      k = 0;
      pos = n;
    } else {
      k++;
      if (ch != kSpace) {
        pos = n;
      } else if ((k & 7) == 0) {
        n = pos + 1;
        pos = n;
      }
    }
  }
  return n;
}
