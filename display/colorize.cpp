#include "display/colorize.h"

#include <array>
#include <cstring>
#include <string_view>

#include "display/paint.h"

namespace {

// Word tables: entries of (class, length, the word's bytes), ended by an
// entry whose word is empty.
constexpr std::string_view kWords[] = {
    "asm", "break", "case", "continue", "default", "do", "else", "for", "goto", "if",
    "return", "sizeof", "switch", "while", "enum", "struct", "typedef", "union",
};
constexpr std::string_view kTypes[] = {
    "bool", "uchar", "char", "const", "double", "extern", "float", "int", "long",
    "short", "static", "unsigned", "void", "volatile", "false", "true", "NIL", "NULL",
};
constexpr std::string_view kPreproc[] = {
    "include", "if", "ifdef", "ifndef", "else", "elif",
    "define", "endif", "undef", "error", "pragma", "line",
};

template <size_t N>
constexpr size_t tableBytes(const std::string_view (&words)[N]) {
  size_t n = 0;
  for (auto w : words) n += 2 + w.size();
  return n;
}

constexpr size_t kItemBytes = tableBytes(kWords) + tableBytes(kTypes) + 3;
constexpr size_t kItem2Bytes = tableBytes(kPreproc) + 3;

template <size_t Out, size_t N>
constexpr void putWords(std::array<uint8_t, Out>& t, size_t& at, uint8_t cls,
                        const std::string_view (&words)[N]) {
  for (auto w : words) {
    t[at++] = cls;
    t[at++] = uint8_t(w.size());
    for (char c : w) t[at++] = uint8_t(c);
  }
}

constexpr std::array<uint8_t, kItemBytes> makeColoritem() {
  std::array<uint8_t, kItemBytes> t{};
  size_t at = 0;
  putWords(t, at, SYN_RESERVED, kWords);
  putWords(t, at, SYN_KEYWORD, kTypes);
  return t;  // the closing entry is the zeros left at the end
}

constexpr std::array<uint8_t, kItem2Bytes> makeColoritem2() {
  std::array<uint8_t, kItem2Bytes> t{};
  size_t at = 0;
  putWords(t, at, SYN_PREPROC, kPreproc);
  return t;
}

constexpr auto coloritem = makeColoritem();
constexpr auto coloritem2 = makeColoritem2();

// Character flags.
constexpr uint8_t kWordChar = 0x01;
constexpr uint8_t kNumStart = 0x02;
constexpr uint8_t kNumMore = 0x04;
constexpr uint8_t kPunct = 0x10;
constexpr uint8_t kControl = 0x20;
constexpr uint8_t kNonAscii = 0x40;
constexpr uint8_t kUpper = 0x80;

constexpr std::array<uint8_t, 256> makeWordset() {
  std::array<uint8_t, 256> w{};
  for (int c = 0; c < 256; ++c) {
    uint8_t f = 0;
    if (c < 32) f = kControl;
    else if (c == ' ') f = 0;
    else if (c >= '0' && c <= '9') f = kNumStart | kNumMore;
    else if ((c >= 'a' && c <= 'f') || c == 'x') f = kWordChar | kNumMore;
    else if ((c >= 'g' && c <= 'z') || c == '_') f = kWordChar;
    else if (c >= 'A' && c <= 'Z') f = kWordChar | kUpper;
    else if (c >= 128) f = kNonAscii;
    else f = kPunct;
    w[c] = f;
  }
  return w;
}

constexpr auto wordset = makeWordset();

// Code points above 255 are other scripts' letters and signs, never C
// syntax: cutting them to their low byte would turn U+2022 into a quote.
inline uint8_t flagsOf(tchar c) { return c < 256 ? wordset[c] : kNonAscii; }

// The class of the word line[from, from + len) in `table`, or -1.
template <size_t N>
int findWord(const std::array<uint8_t, N>& table, const tchar* line, int from, int len) {
  for (size_t i = 0; i + 2 < N && table[i + 2] != 0; i += 2 + table[i + 1]) {
    if (table[i + 1] != len) continue;
    int k = 0;
    while (k < len && table[i + 2 + k] == line[from + k]) ++k;
    if (k == len) return table[i];
  }
  return -1;
}

// Writes pairs into the result area; refuses once only the end pair fits.
class RunWriter {
 public:
  explicit RunWriter(uint8_t* runs) : runs_(runs) {}
  // False when the area is full: the caller stops and the rest is plain.
  bool emit(uint8_t cls, int len) {
    while (len > 0) {
      if (at_ + 2 > kColorRunBytes - 2) return false;
      const int piece = len > 255 ? 255 : len;
      runs_[at_++] = cls;
      runs_[at_++] = uint8_t(piece);
      len -= piece;
    }
    return true;
  }
  // The plain text between the last run and `to`, then a run of `cls`.
  bool run(int& plainFrom, int at, uint8_t cls, int len) {
    if (at > plainFrom && !emit(SYN_PLAIN, at - plainFrom)) return false;
    if (!emit(cls, len)) return false;
    plainFrom = at + len;
    return true;
  }
  void end() {
    runs_[at_] = 0;
    runs_[at_ + 1] = 0;
  }

 private:
  uint8_t* runs_;
  int at_ = 0;
};

int runWhile(const tchar* line, int from, int count, uint8_t flags) {
  int e = from;
  while (e < count && (flagsOf(line[e]) & flags)) ++e;
  return e;
}

int quoted(const tchar* line, int from, int count) {
  int e = from + 1;
  while (e < count && line[e] != line[from]) ++e;
  return e < count ? e + 1 : count;  // no closing quote: to the line end
}

}  // namespace

void colorizeline(uint8_t* runs, const tchar* line, int count) {
  RunWriter out(runs);
  int plain = 0;
  int i = 0;
  while (i < count) {
    const uint8_t f = flagsOf(line[i]);
    if (!(f & (kWordChar | kNumStart | kPunct))) {
      ++i;
      continue;
    }
    if (f & kPunct) {
      const tchar c = line[i];
      int cls = -1, len = 0;
      if (c == '"' || c == '\'') {
        cls = c == '"' ? SYN_STRING : SYN_LITERAL;
        len = quoted(line, i, count) - i;
      } else if (c == '/' && i + 1 < count && line[i + 1] == '/') {
        cls = SYN_COMMENT;
        len = count - i;
      } else if (c == '#') {
        const int e = runWhile(line, i + 1, count, kWordChar | kNumStart);
        if (e > i + 1 && findWord(coloritem2, line, i + 1, e - i - 1) >= 0) {
          cls = SYN_PREPROC;
          len = count - i;
        }
      }
      if (cls < 0) {
        ++i;
        continue;
      }
      if (!out.run(plain, i, uint8_t(cls), len)) break;
      i += len;
      continue;
    }
    if (f & kNumStart) {
      const int e = runWhile(line, i, count, kNumMore);
      if (!out.run(plain, i, SYN_NUMBER, e - i)) break;
      i = e;
      continue;
    }
    const int e = runWhile(line, i, count, kWordChar | kNumStart);
    const int cls = findWord(coloritem, line, i, e - i);
    if (cls >= 0 && !out.run(plain, i, uint8_t(cls), e - i)) break;
    i = e;
  }
  out.end();
}
