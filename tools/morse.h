// Sending text as Morse tones: SendMorse plays the text from the cursor to
// the end of the paragraph, one character at a time, the cursor following;
// on a line that begins with '&' it reads the sending settings instead.
#pragma once

#include <array>
#include <string_view>

struct EditorState;
struct ActiveLine;

// ---- The code table -------------------------------------------------------

// Dots and dashes of each character, by the low 8 bits of its code; empty
// for characters that are not sent.
using MorseTable = std::array<std::string_view, 256>;

namespace morse_detail {

struct Group {
  std::string_view chars;  // the characters (Latin-1 bytes) sharing a code
  std::string_view code;
};

// International codes of the letters A..Z and the digits 0..9.
inline constexpr std::string_view kLetters[26] = {
    ".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
    ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
    "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};
inline constexpr std::string_view kDigits[10] = {"-----", ".----", "..---", "...--", "....-",
                                                 ".....", "-....", "--...", "---..", "----."};

inline constexpr Group kOthers[] = {
    {"!", "..--."},    {"&", ".-..."},   {"+", ".-.-."},  {",", "--..--"},
    {"-", "-....-"},   {".", ".-.-.-"},  {"/", "-..-."},  {":", "---..."},
    {"=", "-...-"},    {"?", "..--.."},
    {"[{\x85\xA5\xC5\xE5", ".--.-"},
    {"\\|\x84\xA4\xC4\xE4", ".-.-"},
    {"]}\x96\xB6\xD6\xF6", "---."},
    {"\xC0\xC1\xE0\xE1", ".-"},
    {"\xC8\xC9\xE8\xE9", "."},
    {"\xCD\xED", ".."},
    {"\xDC\xFC", "..-"},
};

constexpr MorseTable makeTable() {
  MorseTable t{};
  t.fill(std::string_view());
  for (int i = 0; i < 26; i++) t['A' + i] = t['a' + i] = kLetters[i];
  for (int i = 0; i < 10; i++) t['0' + i] = kDigits[i];
  for (const Group& g : kOthers)
    for (char c : g.chars) t[static_cast<unsigned char>(c)] = g.code;
  return t;
}

constexpr size_t longestCode(const MorseTable& t) {
  size_t n = 0;
  for (size_t i = 0; i < t.size(); i++) n = t[i].size() > n ? t[i].size() : n;
  return n;
}

}  // namespace morse_detail

inline constexpr MorseTable kMorseTable = morse_detail::makeTable();

// The longest code is six elements: the character buffer is sized by it.
static_assert(morse_detail::longestCode(kMorseTable) == 6);

// ---- The command ----------------------------------------------------------

// The sending settings, kept while the program runs.
struct MorseSettings {
  int vol = 30;     // percent of full scale
  int tone = 475;   // Hz
  int unit = 42;    // words per minute
  int sparse = 35;  // percent applied to the gaps between characters and words
  int shape = 20;   // attack and decay ramps, percent of a dot
};
MorseSettings& morseSettings();

// Bounds of the settings an '&' line can give: the element buffers hold a
// dot and a dash of 4 words a minute at the slowest; a tone stays below half
// the sample rate; a sample never passes full scale.
struct MorseLimit {
  int lo, hi;
};
inline constexpr MorseLimit kMorseLimits[5] = {{1, 100}, {20, 3900}, {4, 200}, {1, 1000}, {1, 50}};

// The command SendMorse.
void Morse(EditorState* V);

// The walk's callback: sends columns from..to-1 of one line, then its end as
// a space, moving the cursor along; an empty line ends the paragraph.
int DoSendLine(EditorState* V, ActiveLine* line, int from, int to, void* arg);

// What SendMorse plays through and how it looks for a key press; tests put
// their own in place (null: the sound server and the event queue).
struct MorseOutput {
  int (*init)(int vol, int tone, int L, int sparse, int shape);  // 0 ready
  int (*tx)(int code);                                            // 0 played
  void (*deinit)();
  int (*keyPressed)();  // repaints; 1 when a key press was waiting
};
void SetMorseOutput(const MorseOutput* out);
