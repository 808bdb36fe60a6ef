// The Print window: the printers CUPS knows, numbered from 0; a digit
// prints on that printer, N switches line numbering, the space bar stops
// (or cancels the last job), Esc closes.  It stays open for another print.
#pragma once

struct EditorState;

// Opens the window, or closes it when open.
void StartPrint(EditorState* V);
// A key while it is open: a character or CMD_BASE + a command number, with
// the raw keycode (a modifier key pressed alone is ignored).
void printKey(EditorState* V, int code, unsigned keycode);
bool PrintWindowOpen();
// Printers listed while the window is open.
int PrintersListed();
// Draws the window.
void viewPrint(EditorState* V);

// Hooks the print window and the print settings dialogue into the loop.
void InstallPrintHooks();
