#include "shell/handlers.h"

#include "config/dialog_window.h"
#include "print/print_window.h"
#include "shell/event_loop.h"
#include "shell/macros.h"
#include "shell/main_menu.h"
#include "shell/prompt.h"

void InstallHandlers() {
  InstallPromptHooks();
  InstallDialogHooks();
  loopHooks().macroKey = MacroKey;
  InstallMenuHooks();
  InstallPrintHooks();
}
