#include "shell/handlers.h"

#include "shell/main_menu.h"
#include "shell/prompt.h"

void InstallHandlers() {
  InstallPromptHooks();
  InstallMenuHooks();
}
