#include "tools/pick_num.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Read {
  int result;
  double value;
  int position;
};

Read pick(const std::string& s, int from, int limit = 1023) {
  std::vector<tchar> line(s.begin(), s.end());
  Read r{0, -1, from};
  r.result = PickNum(line.data(), static_cast<int>(line.size()), &r.value, &r.position, limit);
  return r;
}

TEST(PickNum, ReadsNumbersAndStopsWhereTheyEnd) {
  struct {
    const char* line;
    int from, limit;
    int result;
    double value;
    int position;
  } cases[] = {
      {"   1.5 x", 0, 1023, 0, 1.5, 6},
      {"2.25", 0, 1023, 0, 2.25, 4},
      {"12.", 0, 1023, 0, 12, 3},
      {"7.5.3", 0, 1023, 0, 7.5, 3},      // a second '.' ends the number
      {"123456", 0, 3, 0, 123, 3},        // the limit cuts the digits
      {"  a12", 0, 1023, -1, 0, 2},       // a letter first: no number
      {"-3", 0, 1023, -1, 0, 0},          // no sign
      {"     ", 0, 1023, -1, 0, 5},       // only blanks
      {"  5", 0, 2, -1, 0, 2},            // the limit before the digit
      {"ab 42", 2, 1023, 0, 42, 5},       // from the given column
      {"1.25", 0, 1023, 0, 1.25, 4},      // exact: summed columns keep their cents
  };
  for (const auto& c : cases) {
    Read r = pick(c.line, c.from, c.limit);
    EXPECT_EQ(r.result, c.result) << c.line;
    EXPECT_DOUBLE_EQ(r.value, c.value) << c.line;
    EXPECT_EQ(r.position, c.position) << c.line;
  }
  // Forty digits do not overflow anything.
  Read big = pick(std::string(40, '9'), 0);
  EXPECT_EQ(big.result, 0);
  EXPECT_GT(big.value, 9e38);
  EXPECT_EQ(big.position, 40);
}

}  // namespace
