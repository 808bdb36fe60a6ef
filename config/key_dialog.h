// The key dialogue: every command of the menus with the keys assigned to
// it, then the first keys of two-key sequences.  The user browses with Up
// and Down, deletes the selected command's first key with Delete, and with
// Insert assigns the next key (or two-key sequence) pressed.  Changes act on
// the live key table at once.
#pragma once

struct EditorState;

constexpr int kKeyRowsShown = 14;

// Opens the dialogue, or closes it when open.
void KeyConfig(EditorState* V);
// A key press while it is open: the raw X keycode and modifier state.
void KeyConfKey(EditorState* V, unsigned keycode, unsigned state);
bool KeyDialogOpen();

// Draws the rows and the message line.
void viewKeys(EditorState* V);

// The selected row and the first row shown.
int KeySelected();
int KeyTop();
