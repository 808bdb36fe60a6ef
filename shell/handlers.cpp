#include "shell/handlers.h"

#include "config/dialog_window.h"
#include "display/colorize.h"
#include "display/paint.h"
#include "help/help_viewer.h"
#include "print/print_window.h"
#include "shell/event_loop.h"
#include "shell/macros.h"
#include "shell/main_menu.h"
#include "shell/prompt.h"
#include "tools/char_chart.h"
#include "shell/selection.h"

void InstallHandlers() {
  InstallPromptHooks();
  InstallDialogHooks();
  loopHooks().macroKey = MacroKey;
  InstallMenuHooks();
  SetColorizer(colorizeline);
  InstallChartHooks();
  InstallHelpHooks();
  InstallSelection();
  InstallPrintHooks();
}
