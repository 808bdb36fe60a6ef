// Xlib, for the files that talk to the X server.  Xlib names a type Screen,
// as does the editor's screen record: Xlib's is renamed XlibScreen here, in
// one place.
#pragma once

#define Screen XlibScreen
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Screen
