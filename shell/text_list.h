// The text list: a small pop-up listing every open text, from which the
// user selects one, closes an unchanged one, splits the window with it,
// takes it out of the split or opens a duplicate view of it.  While it is
// open its keys come here (ModeTextList) and so do the mouse's presses.
#pragma once

#include "core/editor_state.h"

union _XEvent;

constexpr int kTextListMax = 26;     // entries; further texts are not listed
constexpr int kTextListEntry = 100;  // bytes of an entry, its 0 included
constexpr int kTextListRow = 18;     // pixels from one entry to the next

// Opens the list (highlighting the current text) or closes it.
void FileMenuUp(EditorState* V);
// how >= 0 rebuilds the list; 0 also highlights the current text, 1 moves
// the highlight up one.  how < 0 only repaints.  Returns the entry count.
int ViewFileMenu(EditorState* V, int how);
// The ModeTextList key handler: a character or CMD_BASE + command.
void FileMenuKey(EditorState* V, int key);
// A button press while the list is open.
void ClickFM(EditorState* V, _XEvent* ev);

// What the list shows, for its painter and the tests.
bool TextListOpen();
int TextListCount();
int TextListSelected();
const char* TextListEntry(int i);    // "" past the last
int TextListNumber(int i);           // the Tcb number of entry i, -1 past the last
unsigned long TextListWindow();      // 0 while closed
// Closes the list's window without touching an editor (a fresh one starts).
void ResetTextList();
