// Connects the parts that own input modes and events to the event loop and
// the painter.  Called once at start-up (and by the headless test editor),
// so that no part depends on being linked for its hooks to be in place.
#pragma once

void InstallHandlers();
