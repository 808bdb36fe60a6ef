// Any bytes as a configuration file: reading must never corrupt memory, and
// what it makes of them must be stable: the settings read, written and read
// again are the settings first read.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "config/config_file.h"
#include "config/defaults.h"
#include "config/fonts.h"
#include "core/editor_state.h"

namespace {

struct Holder {
  std::unique_ptr<EditorState> v;
  ~Holder() {
    if (v) DeInitEditor(v.get());
  }
} theEditor;

// The settings after reading `data` onto the built-in ones, as written.
std::string readAndWrite(EditorState* V, std::string_view data) {
  initDef(V, &V->defaults);
  fontsInit();
  LoadConfigData(V, data);
  return BuildConfig(V);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("VEXOR_CONFIG_DIR", "/nonexistent/vexor-fuzz-cfg", 1);
  theEditor.v = std::make_unique<EditorState>();
  InitEditor(theEditor.v.get());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kConfigReadMax) return 0;
  EditorState* V = theEditor.v.get();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string once = readAndWrite(V, input);
  const std::string twice = readAndWrite(V, once);
  if (once != twice) std::abort();
  return 0;
}
