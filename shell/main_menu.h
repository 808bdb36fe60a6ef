// The main menu: a bar of 18 titles painted over the top rows of the window
// and the items of the selected one in a pop-up below it, each with the
// keys that run it; and the same pop-up at the pointer with the last menu
// (right button).  While one is open its keys come here (ModeMenu).
#pragma once

#include "core/editor_state.h"

union _XEvent;

constexpr int kMenuLineMax = 29;  // characters of an item's line

// Opens the main menu on the menu and item chosen last, or closes an open one.
void MenuUp(EditorState* V);
// Opens the pointer pop-up at the press, when no menu is open.
void rightMenu(EditorState* V, _XEvent* ev);
// Lays out menu m (m >= 0) and paints; m = -1 only repaints (and keeps the
// pop-up inside the window).  Returns the item count.
int ViewMenu(EditorState* V, int m);
// The ModeMenu key handler: a character or CMD_BASE + command.
void MenuKey(EditorState* V, int key);
// A button press while a menu is open.
void ClickMM(EditorState* V, _XEvent* ev);

// What the menu shows, for its painter and the tests.
bool MenuOpen();
bool MenuIsPopup();
int MenuShown();                 // the menu in the item window
const char* MenuLine(int item);  // "" past the last
// The check mark of a switch item: 1 shown, 0 not, -1 not a switch.
int MenuSwitchMark(int item);
unsigned long MenuWindow();      // 0 while closed
int MenuWindowX();
int MenuWindowY();
int MenuWindowWidth();
// Left edge of title m in the bar (0..17), in pixels.
int MenuTitleX(EditorState* V, int m);

// Puts the menus' hooks into the event loop and the painter.
void InstallMenuHooks();
