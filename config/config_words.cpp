// Lines, words and numbers of the configuration file.
#include "config/config_words.h"

#include <climits>

namespace {

bool separator(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

size_t SplitWords(std::string_view line, std::string_view* words, size_t most) {
  size_t n = 0, i = 0;
  while (n < most) {
    while (i < line.size() && separator(line[i])) i++;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !separator(line[i])) i++;
    words[n++] = line.substr(start, i - start);
  }
  return n;
}

std::string_view RestOfLine(std::string_view line, size_t index) {
  size_t i = 0;
  for (size_t w = 0;; w++) {
    while (i < line.size() && separator(line[i])) i++;
    if (i == line.size()) return {};
    if (w == index) break;
    while (i < line.size() && !separator(line[i])) i++;
  }
  std::string_view rest = line.substr(i);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r' || rest.back() == '\t'))
    rest.remove_suffix(1);
  return rest;
}

bool ParseDecimal(std::string_view word, long* value) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
  if (i == word.size() || word.size() > kWordMax) return false;
  long v = 0;
  for (; i < word.size(); i++) {
    if (word[i] < '0' || word[i] > '9') return false;
    if (v > (LONG_MAX - 9) / 10) return false;
    v = v * 10 + (word[i] - '0');
  }
  *value = negative ? -v : v;
  return true;
}

bool ParseHex(std::string_view word, unsigned* value) {
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) word.remove_prefix(2);
  if (word.empty() || word.size() > 8) return false;
  unsigned v = 0;
  for (char c : word) {
    unsigned d;
    if (c >= '0' && c <= '9') d = unsigned(c - '0');
    else if (c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
    else return false;
    v = v << 4 | d;
  }
  *value = v;
  return true;
}
