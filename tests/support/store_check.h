// The invariants of the whole editing state, for tests that drive the editor
// at random: every open text's line list, every view's cursor, the active
// line, the deleted-line store and the marked block.
#pragma once

#include <string>

#include "core/editor_state.h"

namespace vt {

// Returns an empty string when the state is sound, else what is wrong.
// `deep` also compares the active line with its stored form and walks every
// text from its first line to its cursor line; without it only the current
// text's list is walked and the other texts' cursors are taken on trust, so
// that a huge text can be checked often.
std::string CheckEditorState(EditorState* V, bool deep = true);

}  // namespace vt
