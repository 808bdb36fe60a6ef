#include "shell/handlers.h"

#include "shell/prompt.h"

void InstallHandlers() { InstallPromptHooks(); }
