// The undo recorder's bracket around every dispatched command: called with
// the command number before it runs, and after it with the number as the
// dispatcher left it (-1 for a number that names no command).
#pragma once

struct EditorState;

void UdoPreCmd(EditorState* V, int cmd);
void UdoPostCmd(EditorState* V, int cmd);
