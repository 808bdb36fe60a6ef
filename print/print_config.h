// The print settings dialogue: the nine print settings, one row each; Up
// and Down choose one, Left and Right step its value; Esc closes, and a
// changed FontSize rebuilds the print font.
#pragma once

struct EditorState;

// Opens the dialogue, or closes it when open.
void printConfig(EditorState* V);
// A key while it is open: a character or CMD_BASE + a command number.
void printCfgKey(EditorState* V, int key);
bool PrintConfigOpen();
int PrintConfigSelected();
// Draws the dialogue.
void viewPrintCfg(EditorState* V);
