#include "help/help_text.h"

const char aboutText[] =
    " vexor " VEXOR_VERSION "\n"
    "\n"
    " A keyboard-driven text editor for X11.\n"
    " Copyright (C) 2026 the vexor developers.\n"
    " It comes with its source and without any warranty;\n"
    " see README.md in the source for what it does and needs.\n"
    "\n"
    " Esc or a click closes this window.\n\r";
