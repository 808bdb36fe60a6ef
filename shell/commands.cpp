// Checks on the command names, made once where the table is compiled: the
// configuration file finds commands by name, so a name that does not fit its
// 20 bytes or that two numbers share would silently bind the wrong command.
#include "shell/commands.h"

namespace {

constexpr bool namesFit() {
  for (const auto& name : CmdText)
    if (name[kCmdNameSize - 1] != 0) return false;
  return true;
}

constexpr bool namesUnique() {
  for (int i = 0; i < kCmdTextCount; i++)
    for (int j = i + 1; j < kCmdTextCount; j++)
      if (CmdText[i][0] && std::string_view(CmdText[i]) == CmdText[j]) return false;
  return true;
}

constexpr bool unnamedAreTheGaps() {
  for (int i = 0; i < kCmdCount; i++)
    if ((CmdText[i][0] == 0) != (i == 1 || i == cmd::StopPrint || (i >= 152 && i <= 156))) return false;
  return true;
}

static_assert(namesFit(), "a command name is longer than 19 characters");
static_assert(namesUnique(), "two commands share a name");
static_assert(unnamedAreTheGaps(), "an unnamed command where a name belongs");
static_assert(std::string_view(CmdText[kCmdCount]) == "%", "the end mark is missing");

}  // namespace
