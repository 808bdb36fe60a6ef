#include "config/fontconfig_api.h"

#include <dlfcn.h>

namespace {

template <class F>
bool bind(void* lib, const char* name, F& f) {
  f = reinterpret_cast<F>(dlsym(lib, name));
  return f != nullptr;
}

bool bindAll(void* lib, FcApi& fc) {
  return bind(lib, "FcInit", fc.Init) &&
         bind(lib, "FcInitLoadConfigAndFonts", fc.InitLoadConfigAndFonts) &&
         bind(lib, "FcNameParse", fc.NameParse) &&
         bind(lib, "FcConfigSubstitute", fc.ConfigSubstitute) &&
         bind(lib, "FcDefaultSubstitute", fc.DefaultSubstitute) &&
         bind(lib, "FcFontMatch", fc.FontMatch) &&
         bind(lib, "FcPatternGetString", fc.PatternGetString) &&
         bind(lib, "FcPatternGetInteger", fc.PatternGetInteger) &&
         bind(lib, "FcPatternGetCharSet", fc.PatternGetCharSet) &&
         bind(lib, "FcPatternAddBool", fc.PatternAddBool) &&
         bind(lib, "FcPatternDestroy", fc.PatternDestroy) &&
         bind(lib, "FcConfigDestroy", fc.ConfigDestroy) && bind(lib, "FcFontList", fc.FontList) &&
         bind(lib, "FcFontSort", fc.FontSort) &&
         bind(lib, "FcCharSetHasChar", fc.CharSetHasChar) &&
         bind(lib, "FcObjectSetBuild", fc.ObjectSetBuild) &&
         bind(lib, "FcFontSetDestroy", fc.FontSetDestroy) &&
         bind(lib, "FcObjectSetDestroy", fc.ObjectSetDestroy);
}

enum class State { NotTried, Loaded, Missing };
State state = State::NotTried;
FcApi api{};
bool pretendMissing = false;

}  // namespace

const FcApi* FcApiLoad() {
  if (pretendMissing) return nullptr;
  if (state == State::NotTried) {
    // Kept open for the whole run: configurations and font sets handed out
    // point into the library, and reopening it per question costs more than
    // the question.
    void* lib = dlopen("libfontconfig.so.1", RTLD_LAZY);
    state = lib && bindAll(lib, api) ? State::Loaded : State::Missing;
    if (state == State::Missing && lib) dlclose(lib);
  }
  return state == State::Loaded ? &api : nullptr;
}

void FcApiPretendMissing(bool missing) { pretendMissing = missing; }
