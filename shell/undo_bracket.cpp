// Placeholder bracket until the undo recorder exists: records nothing.  The
// undo recorder defines these two functions itself and this file goes.
#include "shell/undo_bracket.h"

#include "edit/undo_hooks.h"

void UdoPreCmd(EditorState*, int) {}

// The recorder would now write the command's record, a join record when a
// join happened, and clear the flag; the next split must not see it.
void UdoPostCmd(EditorState*, int) { udojoin = 0; }
