// Writes the icon for the desktop's icon theme:
//
//   make_icon OUT_DIR SIZE...
//
// OUT_DIR/hicolor/scalable/apps/vexor.svg and, for every SIZE N,
// OUT_DIR/hicolor/NxN/apps/vexor.png.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "display/app_icon.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_icon OUT_DIR SIZE...\n");
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::path(argv[1]) / "hicolor";
  if (!writeFile(dir / "scalable/apps/vexor.svg", IconSvg())) return 1;
  for (int i = 2; i < argc; i++) {
    const int n = std::atoi(argv[i]);
    if (n < 1 || n > 1024) {
      std::fprintf(stderr, "make_icon: bad size '%s'\n", argv[i]);
      return 2;
    }
    const std::string size = std::to_string(n) + "x" + std::to_string(n);
    if (!writeFile(dir / size / "apps/vexor.png", EncodePng(IconPixels(n), n, n))) return 1;
  }
  return 0;
}
