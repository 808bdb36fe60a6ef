// The colour dialogue: a preview of every colour pair, the list of roles
// and an adjuster that mixes a colour channel by channel.  Every change is
// applied to the editor's pairs at once, so the whole screen shows it.
#pragma once

#include <cstdint>

struct EditorState;

// Opens the dialogue, or closes it when open.
void ColorConfig(EditorState* V);
// A key press while it is open, as a raw X keycode.
void ColorConfKey(EditorState* V, int keycode);
bool ColorDialogOpen();

// Draws the whole window: the preview (which first applies the roles to
// the editor's pairs), the role list and the adjuster.
void viewColorDialog(EditorState* V);

// The chosen role, the adjuster colour (0xAARRGGBB) and the channel being
// adjusted (0 blue, 1 green, 2 red).
int ColorSelected();
uint32_t ColorAdjuster();
int ColorChannel();
