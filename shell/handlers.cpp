#include "shell/handlers.h"

#include "config/dialog_window.h"
#include "shell/prompt.h"

void InstallHandlers() {
  InstallPromptHooks();
  InstallDialogHooks();
}
