// A large text of ordinary lines for the editing benchmarks: indentation in
// steps of four, up to a dozen short words, some commas.
#pragma once

#include <random>
#include <string>

inline std::string TypicalText(int lines, unsigned seed = 7) {
  std::mt19937 rng(seed);
  std::string text;
  for (int i = 0; i < lines; i++) {
    int indent = int(rng() % 5) * 4;
    text.append(size_t(indent), ' ');
    int words = int(rng() % 12);
    for (int w = 0; w < words; w++) {
      int len = 1 + int(rng() % 8);
      for (int k = 0; k < len; k++) text += char('a' + rng() % 26);
      text += (rng() % 4 == 0) ? ", " : " ";
    }
    text += '\n';
  }
  return text;
}
