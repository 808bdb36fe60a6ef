// The Morse tones counted in samples without a sound server, and SendMorse
// walking a text through a stand-in output that records what it plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "shell/commands.h"
#include "tests/support/headless.h"
#include "tools/morse.h"
#include "tools/morse_sound.h"

namespace {

double sine(double x) { return std::sin(x); }
double cut(double x) { return std::trunc(x); }

ToneStore tones(int vol, int tone, int L, int sparse, int shape) {
  static ToneStore s;  // too big for the stack of a test
  MakeTones(&s, vol, tone, L, sparse, shape, sine, cut);
  return s;
}

// What PlayChar hands on: the pieces' sizes and all samples.
struct Written {
  std::vector<size_t> pieces;
  std::vector<uint8_t> samples;
  int failAt = -1;  // the piece whose write fails
};
int record(const uint8_t* p, size_t n, void* arg) {
  auto* w = static_cast<Written*>(arg);
  if (int(w->pieces.size()) == w->failAt) return 1;
  w->pieces.push_back(n);
  w->samples.insert(w->samples.end(), p, p + n);
  return 0;
}
Written play(const ToneStore& s, int code, int* result = nullptr) {
  Written w;
  const int r = PlayChar(s, code, record, &w);
  if (result) *result = r;
  return w;
}

// Samples of tone (not silence) in [from, to).
int toneSamples(const std::vector<uint8_t>& v, size_t from, size_t to) {
  return int(std::count_if(v.begin() + long(from), v.begin() + long(to), [](uint8_t b) { return b != kSilence; }));
}

TEST(MorseTones, TheDefaultsMakeTheUnitsAndGapsOfTheirSampleCounts) {
  // 42 words a minute: L = 1092 / 42 + 1 = 27, a dot 8 * 27 = 216 samples.
  const ToneStore s = tones(30, 475, 1092 / 42 + 1, 35, 20);
  EXPECT_EQ(s.dotLen, 432);
  EXPECT_EQ(s.dashLen, 864);
  EXPECT_EQ(s.letterGap, 1512);
  EXPECT_EQ(s.wordGap, 3024);

  // "S": the letter gap, then three dots, each 216 samples of tone (the
  // ramps start and end on silence) and 216 of silence.  The gap leads
  // because the server drops the start of each write after a drain.
  Written w = play(s, 'S');
  ASSERT_EQ(w.samples.size(), 1512 + 3u * 432);
  EXPECT_EQ(toneSamples(w.samples, 0, 1512), 0);
  for (int d = 0; d < 3; d++) {
    const size_t at = 1512 + size_t(d) * 432;
    EXPECT_EQ(w.samples[at], kSilence);
    EXPECT_GT(toneSamples(w.samples, at, at + 216), 200) << d;
    EXPECT_EQ(toneSamples(w.samples, at + 216, at + 432), 0) << d;
  }
  // The ramps: quiet at the edges, full in the middle; 30 % of half scale
  // at most, and a sine of 475 Hz (a period of 8000 / 475 samples).
  const auto dot = w.samples.begin() + 1512;
  const auto [lo, hi] = std::minmax_element(dot, dot + 216);
  EXPECT_LE(*hi - 128, 128 * 30 / 100);
  EXPECT_GE(*hi - 128, 20);
  EXPECT_GE(128 - *lo, 20);
  EXPECT_LE(std::abs(int(dot[3]) - 128), 2);
  int rises = 0;
  for (size_t i = 1; i < 216; i++) rises += dot[i - 1] < 128 && dot[i] >= 128;
  EXPECT_NEAR(rises, 216 * 475 / 8000, 1);

  // "O": three dashes of 648 samples of tone and 216 of silence.
  w = play(s, 'o');
  ASSERT_EQ(w.samples.size(), 1512 + 3u * 864);
  EXPECT_GT(toneSamples(w.samples, 1512, 1512 + 648), 620);
  EXPECT_EQ(toneSamples(w.samples, 1512 + 648, 1512 + 864), 0);
  // A space is the word gap, all silence; '(' has no code and plays nothing.
  w = play(s, ' ');
  EXPECT_EQ(w.samples.size(), 3024u);
  EXPECT_EQ(toneSamples(w.samples, 0, 3024), 0);
  int r = 0;
  w = play(s, '(', &r);
  EXPECT_EQ(r, -1);
  EXPECT_TRUE(w.samples.empty());
}

TEST(MorseTones, ZerosTakeDefaultsAndEveryValueStaysInsideTheBuffers) {
  ToneStore s = tones(30, 0, 0, 0, 0);  // L 35, sparse 40
  EXPECT_EQ(s.dotLen, 16 * 35);
  EXPECT_EQ(s.letterGap, 8 * 35 * 40 / 5);
  // A unit too long for the elements is held to the longest they take.
  s = tones(30, 475, 10000, 35, 20);
  EXPECT_EQ(s.dotLen, int(kDotBytes));
  EXPECT_EQ(s.dashLen, int(kDashBytes));
  // Full volume never wraps past the top or bottom of the byte.
  s = tones(100000, 475, 27, 35, 50);
  Written w = play(s, 'T');
  const auto [lo, hi] = std::minmax_element(w.samples.begin(), w.samples.end());
  EXPECT_GE(*hi, 200);
  EXPECT_LE(*lo, 56);
  for (size_t i = 1; i < w.samples.size(); i++)
    EXPECT_LT(std::abs(int(w.samples[i]) - int(w.samples[i - 1])), 128) << "a jump at " << i;
  // A ramp shorter than a sample would divide by zero and make no tone:
  // the shortest unit with the shortest ramp still sounds.  A letter gap
  // that short still leaves 50 ms of silence before the tone.
  s = tones(30, 475, 1, 35, 1);
  w = play(s, 'E');
  ASSERT_EQ(s.letterGap, 8 * 35 / 5);
  EXPECT_EQ(w.samples.size(), size_t(400 + 16));
  EXPECT_GT(toneSamples(w.samples, 400, 408), 0);
}

TEST(MorseTones, LongGapsGoOutInPiecesAndAFailedWriteIsReported) {
  // 4 words a minute with ten times the gaps: a letter gap of 438400
  // samples, more than the character buffer holds.
  const ToneStore s = tones(30, 475, 1092 / 4 + 1, 1000, 20);
  Written w = play(s, '0');  // five dashes
  const size_t gap = size_t(s.letterGap);
  EXPECT_EQ(w.samples.size(), gap + 5u * size_t(s.dashLen));
  EXPECT_GT(w.pieces.size(), 1u);
  for (size_t n : w.pieces) EXPECT_LE(n, kCharBytes);
  EXPECT_EQ(toneSamples(w.samples, 0, gap), 0);
  // Ramps of 438 samples: a whole-number step would be 0 and the tone silent.
  EXPECT_GT(toneSamples(w.samples, gap, gap + size_t(s.dashLen)), 24 * 274 - 100);
  const auto loudest = *std::max_element(w.samples.begin() + long(gap), w.samples.end());
  EXPECT_GE(loudest - 128, 128 * 30 / 100 - 2);
  w = play(s, ' ');
  EXPECT_EQ(w.samples.size(), size_t(s.wordGap));

  Written failing;
  failing.failAt = 1;
  EXPECT_EQ(PlayChar(s, '0', record, &failing), 1);
  EXPECT_EQ(failing.pieces.size(), 1u);  // nothing written after the failure
}

TEST(MorseTable, CodesOfLettersDigitsSignsAndLatinLetters) {
  EXPECT_EQ(kMorseTable['Q'], "--.-");
  EXPECT_EQ(kMorseTable['q'], "--.-");
  EXPECT_EQ(kMorseTable['9'], "----.");
  EXPECT_EQ(kMorseTable['?'], "..--..");
  for (int c : {int('{'), 0x85, 0xA5, 0xC5, 0xE5}) EXPECT_EQ(kMorseTable[size_t(c)], ".--.-") << c;
  for (int c : {int('|'), 0x84, 0xA4, 0xC4, 0xE4}) EXPECT_EQ(kMorseTable[size_t(c)], ".-.-") << c;
  for (int c : {int('}'), 0x96, 0xB6, 0xD6, 0xF6}) EXPECT_EQ(kMorseTable[size_t(c)], "---.") << c;
  for (int c : std::initializer_list<int>{'(', '"', '@', ';', 0, 0xFF, 0xC3})
    EXPECT_EQ(kMorseTable[size_t(c)], "") << c;
  int coded = 0;
  for (std::string_view code : kMorseTable) coded += !code.empty();
  EXPECT_EQ(coded, 26 * 2 + 10 + 10 + 6 * 3 + 4 + 4 + 2 + 2);
}

// ---- SendMorse through a stand-in output --------------------------------------

struct Fake {
  std::vector<int> initArgs;
  std::string played;  // the codes, as Latin-1
  int inits = 0, deinits = 0;
  int txFailAt = -1;   // the character whose write fails
  int keyAt = -1;      // the key check that finds a key
  int checks = 0;
  std::vector<std::pair<int, int>> cursorAtCheck;  // line, column
};
Fake* fake = nullptr;
vt::Editor* editor = nullptr;

const MorseOutput kFakeOutput = {
    [](int vol, int tone, int L, int sparse, int shape) {
      fake->inits++;
      fake->initArgs = {vol, tone, L, sparse, shape};
      return 0;
    },
    [](int code) {
      if (int(fake->played.size()) == fake->txFailAt) return 1;
      fake->played += char(code);
      return 0;
    },
    [] { fake->deinits++; },
    [] {
      fake->cursorAtCheck.emplace_back(editor->lineNo(), editor->col());
      return fake->checks++ == fake->keyAt ? 1 : 0;
    },
};

class SendMorse : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = &f;
    editor = &e;
    SetMorseOutput(&kFakeOutput);
    morseSettings() = MorseSettings{};
  }
  void TearDown() override {
    SetMorseOutput(nullptr);
    morseSettings() = MorseSettings{};
  }
  void send(int line, int col) {
    e.cur()->col = col;
    while (e.lineNo() < line) { int n = cmd::OneDown; DoCommand(e.V(), &n); }
    e->alertText[0] = 0;  // as a key press does
    int n = cmd::SendMorse;
    DoCommand(e.V(), &n);
  }
  Fake f;
  vt::Editor e;
};

// From the cursor itself to the empty line, with the speed an '&' line set;
// characters beyond Latin-1 are stepped over, not sent as their low byte
// (U+0141 would go out as 'A').
TEST_F(SendMorse, SendsFromTheCursorToTheEmptyLineWithTheCursorAlong) {
  e.open("&0 0 20\nxSO\xC5\x81S\na\xC3\xA5\n\nafter\n");
  send(1, 0);
  EXPECT_EQ(f.inits, 0);
  send(2, 1);
  EXPECT_EQ(f.played, "SOS a\xE5 ");
  EXPECT_EQ(f.initArgs, (std::vector<int>{30, 475, 1092 / 20 + 1, 35, 20}));
  EXPECT_EQ(f.deinits, 1);
  // Repainted after each character with the cursor past it; a line's end
  // takes the cursor to column 0 of the next line.
  EXPECT_EQ(f.cursorAtCheck, (std::vector<std::pair<int, int>>{
                                 {2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 0}, {3, 1}, {3, 2}, {4, 0}}));
  EXPECT_EQ(e.lineNo(), 4);
  EXPECT_FALSE(e.modified());
  EXPECT_EQ(e.alert(), "");
}

// A key pressed while a character plays ends the sending after it; a write
// the server refuses ends it before the cursor moves on, with the alert.
TEST_F(SendMorse, AKeyOrAFailedWriteStopsAfterTheCharacter) {
  e.open("HELLO WORLD\n");
  f.keyAt = 1;
  send(1, 0);
  EXPECT_EQ(f.played, "HE");
  EXPECT_EQ(e.col(), 2);
  EXPECT_EQ(e.alert(), "");

  f = Fake{};
  f.txFailAt = 2;
  send(1, 0);
  EXPECT_EQ(e.alert(), "No sound");
  EXPECT_EQ(f.played, "HE");
  EXPECT_EQ(f.deinits, 1);
  EXPECT_EQ(e.col(), 2);
  EXPECT_EQ(e.text(), "HELLO WORLD");
}

}  // namespace
