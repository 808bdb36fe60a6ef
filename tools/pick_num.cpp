#include "tools/pick_num.h"

#include <algorithm>

int PickNum(const tchar* line, int count, double* value, int* position, int limit) {
  *value = 0;
  const int end = std::min(count, limit);
  int p = std::max(*position, 0);
  while (p < end && line[p] < '!') p++;
  *position = p;
  if (p >= end || line[p] < '0' || line[p] > '9') return -1;
  double whole = 0;
  while (p < end && line[p] >= '0' && line[p] <= '9') whole = whole * 10 + (line[p++] - '0');
  // The fraction is summed as an integer and divided once, so that "1.25"
  // is exactly 1.25 and not 1 + 0.2 + 0.05 with their rounding.
  double frac = 0, div = 1;
  if (p < end && line[p] == '.') {
    p++;
    while (p < end && line[p] >= '0' && line[p] <= '9') {
      frac = frac * 10 + (line[p++] - '0');
      div *= 10;
    }
  }
  *value = whole + frac / div;
  *position = p;
  return 0;
}
