// The file-name dialogue: asks for a name on the prompt line, resolves it
// against V->curDir, offers to create missing directories, can switch to the
// file browser, and hands the settled name to the caller's routine.
#pragma once

#include <cstddef>

#include "shell/prompt.h"

// Asks `question` (at most 63 characters kept) with `preset` shown.  When a
// name is settled, its directory is V->curDir, the name is in V->reply and,
// when `preset` is not null, also in that buffer (kNameMax bytes), and
// routine(V, exitCode, aux) runs.  Answers may start with "/" (absolute),
// "-" (the start-up directory), "~" (the home directory) or be relative to
// V->curDir; one ending in "/" opens the browser there.  `type` is not used.
void FilePrompt_(EditorState* V, int type, const char* question, char* preset, int exitCode, intptr_t aux,
                 PromptRoutine routine);

// The dialogue's states (1 ask, 2 resolve, 3 create the path, 4 settle,
// 5 browse, 6 ask again with a picked name); 0 keeps the current one.  Also
// the routine of its own prompts.
void dirPmt(EditorState* V, int state, intptr_t aux = 0);

// Normalises an absolute path in place: "." components go, ".." takes the
// component before it along (never above the root), doubled slashes close
// up, and a final "/" stays (a "." or ".." at the end leaves one).  Only the
// part before the first '@' is a path: a cipher key is kept as it is.
void trimPath(char* path, size_t size);

// The command that tries the dialogue: "Test Open File:", and nothing done.
void fileTest(EditorState* V, int = 0);
