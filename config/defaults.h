// The defaults record: initial window size, margins of new texts and the
// mode word that new texts and the global toggles start from.
#pragma once

#include <cstdint>

struct EditorState;
struct Defaults;

constexpr int32_t kDefaultWidth = 800;
constexpr int32_t kDefaultHeight = 600;
constexpr int32_t kDefaultLeftMargin = 0;
constexpr int32_t kDefaultRightMargin = 79;
// Insert, word set, TABs out, UTF-8 and LF on.
constexpr uint32_t kDefaultMode = 0x4232;

// Fills `d` with the built-in defaults, before the configuration file is read.
void initDef(EditorState* V, Defaults* d);
