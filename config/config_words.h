// Reading the configuration file: lines, words and numbers.
//
// A word is a run of bytes above 0x20; bytes up to 0x20 separate words (a
// carriage return before the line feed is one of them).  A word longer than
// kWordMax bytes can name nothing the file knows, so it marks its line bad.
#pragma once

#include <cstddef>
#include <string_view>

constexpr size_t kWordMax = 20;

// The words of one line (the line feed excluded), at most `most` of them
// (the rest of the line is ignored).  Returns how many were found.
size_t SplitWords(std::string_view line, std::string_view* words, size_t most);

// The rest of the line from the start of word `index`, trailing blanks and
// carriage returns dropped; empty when there is no such word.
std::string_view RestOfLine(std::string_view line, size_t index);

// A whole word of decimal digits with an optional sign, within long.
bool ParseDecimal(std::string_view word, long* value);
// A whole word of one to eight hexadecimal digits, "0x" allowed before them.
bool ParseHex(std::string_view word, unsigned* value);
