// Random lines of any code points and length up to an edited line's: the
// colouring must stay inside its result area, end its list, and never list
// more characters than the line holds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/colorize.h"
#include "display/paint.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Each input byte is one character, or with a leading 0xFF the next three
  // bytes make a code point of any size: both plain C and other scripts.
  std::vector<tchar> line;
  for (size_t i = 0; i < size && line.size() < kAlineMax; i++) {
    if (data[i] == 0xFF && i + 3 < size) {
      line.push_back((tchar(data[i + 1]) << 16 | tchar(data[i + 2]) << 8 | data[i + 3]) % 0x110000);
      i += 3;
    } else {
      line.push_back(data[i]);
    }
  }
  // Exactly the area, so that the address sanitizer sees any write past it.
  std::vector<uint8_t> runs(kColorRunBytes);
  colorizeline(runs.data(), line.data(), int(line.size()));
  size_t covered = 0;
  int i = 0;
  for (; i + 1 < kColorRunBytes && (runs[i] | runs[i + 1]); i += 2) {
    check(runs[i] < 8 && runs[i + 1] > 0);
    covered += runs[i + 1];
  }
  check(i + 1 < kColorRunBytes);
  check(covered <= line.size());
  return 0;
}
