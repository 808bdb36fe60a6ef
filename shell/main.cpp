// vexor: a keyboard-driven X11 text editor.
#include <cstdio>
#include <cstring>

#include "shell/event_loop.h"
#include "shell/startup_clock.h"

namespace {

constexpr const char* kUsage =
    "Usage: vexor [-d] [-f] [-geometry GEOM] [--] [FILE]...\n"
    "Edit the FILEs, each in a text of its own, beside an empty one.\n"
    "\n"
    "  -d                 ignore the settings in the configuration file\n"
    "  -f                 ignore the font settings in the configuration file\n"
    "  -geometry GEOM     place and size the window: WxH, WxH+X+Y or +X+Y, in pixels\n"
    "  --geometry GEOM    (a '-' before X or Y counts from the right or bottom edge)\n"
    "  --geometry=GEOM\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "  --                 every argument after it is a file, even one beginning with '-'\n"
    "\n"
    "Keys (Ctrl+K S means Ctrl+K, then S):\n"
    "  Ctrl+K O  open a file           Ctrl+Z    undo\n"
    "  Ctrl+K S  save                  Win+Z     redo\n"
    "  Ctrl+K D  save and close        Ctrl+K B  mark the block's beginning\n"
    "  Ctrl+K Q  close without saving  Ctrl+K K  mark the block's end\n"
    "  Ctrl+J    go to a line          Ctrl+K C  copy the block to the cursor\n"
    "  Ctrl+Q F  search                Ctrl+K V  move the block to the cursor\n"
    "  Ctrl+Q A  search and replace    Ctrl+K Y  delete the block\n"
    "  Ctrl+L    repeat the search     Ctrl+K H  remove the block's marks\n"
    "  Shift+Space or Win+Space: the main menu, every command with its keys.\n"
    "vexor ends when its last text is closed; the window's close button closes all.\n"
    "More in the manual page, vexor(1).\n";

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
