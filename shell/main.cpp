// vexor: a keyboard-driven X11 text editor.
#include <cstdio>
#include <cstring>

#include "shell/event_loop.h"
#include "shell/startup_clock.h"

namespace {

constexpr const char* kUsage =
    "Usage: vexor [-d] [-f] [--] [FILE]...\n"
    "Edit the FILEs, each in a text of its own, beside an empty one.\n"
    "\n"
    "  -d         ignore the settings in the configuration file\n"
    "  -f         ignore the font settings in the configuration file\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         the arguments that follow are files, even if they begin with '-'\n"
    "\n"
    "In the editor: ^K S save, ^K D save and close, ^K Q close without saving,\n"
    "^K O open another file.\n";

}  // namespace

int main(int argc, char** argv) {
  StartupClockBegin();
  const Options opt = ParseOptions(argc, argv);
  if (!opt.badGeometry.empty()) {
    std::fprintf(stderr, "vexor: %s\n%s", opt.badGeometry.c_str(), kUsage);
    return 2;
  }
  if (opt.unknown) {
    std::fprintf(stderr, "vexor: unknown option '%s'\n%s", opt.unknown, kUsage);
    return 2;
  }
  if (opt.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (opt.version) {
    std::printf("vexor %s\n", VEXOR_VERSION);
    return 0;
  }
  return RunVexor(argc, argv);
}
