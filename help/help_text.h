// The help pages, compiled into the program from help/help_pages.txt when
// it is built (help/make_help turns the source into helpText and helpIndex).
//
// helpText is one text of pages, each ended by '\r'.  Page 0, at offset 0,
// is " No help available for this command.\n".  Every other page begins
// with one line "+N" per command N it serves, then a line "-", then its
// help lines, each ended by '\n'.
#pragma once

#include <cstdint>

constexpr int kHelpIndexSize = 257;

extern const char helpText[];
extern const uint32_t helpTextSize;  // bytes, without the terminating 0
// The offset of each command's page in helpText; 0 (page 0) for numbers
// that name no command.
extern const uint32_t helpIndex[kHelpIndexSize];

// The About page: no command lines, ended by "\n\r".
extern const char aboutText[];
