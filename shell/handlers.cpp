#include "shell/handlers.h"

#include "shell/event_loop.h"
#include "shell/macros.h"
#include "shell/main_menu.h"
#include "shell/prompt.h"

void InstallHandlers() {
  InstallPromptHooks();
  loopHooks().macroKey = MacroKey;
  InstallMenuHooks();
}
