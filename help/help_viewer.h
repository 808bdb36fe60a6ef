// The help viewer: one page of the help text in a pop-up window, in the
// menu font, each command line of the page showing that command's current
// keys.  Up and Down (or the wheel) scroll it a line at a time; Esc or any
// other click closes it and gives the keys back to the mode before it.
#pragma once

union _XEvent;
struct EditorState;

// Closes an open help window; otherwise opens it on `page` (a page start in
// helpText, or aboutText); a null page opens the page shown last.
void helpUp(EditorState* V, const char* page);
// Opens the page of command n.
void cmdHelpUp(EditorState* V, int n);
// Keys while the help window is open: a character or CMD_BASE + command,
// and the X keycode (modifier keys alone are passed over).
void helpKey(EditorState* V, int code, unsigned keycode);
// A button press while the help window is open.
void clickHelp(EditorState* V, _XEvent* ev);
// Draws the page from its first shown line.
void viewHelp(EditorState* V);

// What it shows, for the tests.
bool HelpOpen();
const char* HelpPage();       // the page start
const char* HelpFirstLine();  // the first line shown

// Puts the viewer's key handler into the event loop; a fresh editor starts
// with the window closed.
void InstallHelpHooks();
