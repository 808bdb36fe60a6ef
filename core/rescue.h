// Rescue of unsaved texts when the editor ends without the user choosing
// to: a signal, the X connection lost, the window destroyed by another
// client, an impossible internal state.  Every modified text is written,
// enciphered when it is, to a file of its own that replaces nothing.
#pragma once

#include <cstdio>

struct EditorState;

// SIGTERM, SIGHUP, SIGINT and SIGQUIT only note the signal and write a byte
// to a pipe; the event loop watches the returned read end beside the X
// connection and rescues outside the handler.  Further signals are noted
// the same way, so nothing cuts a rescue short.  -1 when no pipe could be
// had (the signals are then still noted).
int RescueSignalsInstall();
// The first signal noted, 0 for none.
int RescueSignalPending();

// Writes each modified text to "<name>.save" beside its file (".save.1",
// ".save.2", ... when taken), or, when that folder cannot take it or the
// text has no name, to "rescued-<pid>-<n>.save" in the configuration
// directory: mode 0600, the text's own encoding, line ends and TAB choice
// and cipher, flushed to the disk.  One line per text goes to `log`
// ("vexor: rescued a.txt to a.txt.save"; never a key).  Returns how many
// modified texts could not be rescued.
int RescueTexts(EditorState* V, std::FILE* log);
