// The commands that open, save, close and reload texts, with their
// questions.  Each asks on the prompt line and finishes in a continuation
// when the user has answered.
#pragma once

#include <cstdint>

#include "core/editor_state.h"

// Close-and-save actions of EndText_.
constexpr int kSaveExit = 0;
constexpr int kSaveStay = 2;
constexpr int kDiscardExit = 4;
constexpr int kCloseAll = 5;     // every text in turn (the window is closed)
constexpr int kOverwrite = 224;  // DoEndText: the answer to "File exist, Overwrite?"
constexpr int kDiskChanged = 225;  // DoEndText: the answer to "File changed on disk, Overwrite?"

// "Open file:" on the file-name dialogue, then OpenText with `encoding`
// (MODE_UTF8, MODE_LATIN1 or MODE_CP).
void OpenTextCmd(EditorState* V, int encoding);

// SaveExit (0) and SaveStay (2) ask for the name ("Save & exit:", "Save
// file:"); DiscardExit (4) and close-all (5) ask "Discard text [Y/N]:" for a
// text with unsaved changes and close it on 'y'.  A save that fails keeps
// the text open, modified and under its previous name.  Closing the last
// text sets V->quit.  Saving a text to its own file first asks "File
// changed on disk, Overwrite? [Y/N]:" when another program has changed,
// replaced or created that file since it was read or saved.
void EndText_(EditorState* V, int action);

// The continuation of EndText_'s questions: `action` as above or
// kOverwrite, with the pending save action in `aux`.
void DoEndText(EditorState* V, int action, intptr_t aux = 0);

// Writes the text `text` to `name` (in V->curDir) with the current text's
// mode, asking "File exist, Overwrite? [Y/N]:" when the file exists ("File
// changed on disk, ..." when it is the current text's own file and another
// program has changed it).  Stage
// 0 writes a whole text; stage 1 a temporary text lifted out of a block,
// which is released afterwards, whatever the answer.
void SaveBlk(EditorState* V, const char* name, Link* text, int stage);
// The continuation: stage 2 or 3 (the stage asked at, plus 2).
void DoSaveBlk(EditorState* V, int stage, intptr_t aux = 0);

// "Reload? [Y/N]:" and on 'y' the current text's file is read again (for a
// duplicate view, its main text's).
void ReloadText(EditorState* V, int = 0);
