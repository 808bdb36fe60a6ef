// dlopen of the CUPS client library.
#include "print/cups_api.h"

#include <dlfcn.h>

namespace {

void* lib = nullptr;
CupsApi loaded;
const CupsApi* standIn = nullptr;

// The runtime library comes first: the bare name exists only where the
// development package is installed.
constexpr const char* kLibNames[] = {"libcups.so.2", "libcups.so"};

template <typename Fn>
bool resolve(Fn& fn, const char* name) {
  fn = reinterpret_cast<Fn>(dlsym(lib, name));
  return fn != nullptr;
}

}  // namespace

const CupsApi* LoadCups() {
  if (standIn) return standIn;
  if (lib) return &loaded;
  for (const char* name : kLibNames)
    if ((lib = dlopen(name, RTLD_LAZY)) != nullptr) break;
  if (!lib) return nullptr;
  CupsApi& a = loaded;
  const bool ok = resolve(a.getDests2, "cupsGetDests2") && resolve(a.addOption, "cupsAddOption") &&
                  resolve(a.copyDestInfo, "cupsCopyDestInfo") &&
                  resolve(a.createDestJob, "cupsCreateDestJob") &&
                  resolve(a.startDestDocument, "cupsStartDestDocument") &&
                  resolve(a.writeRequestData, "cupsWriteRequestData") &&
                  resolve(a.finishDestDocument, "cupsFinishDestDocument") &&
                  resolve(a.cancelDestJob, "cupsCancelDestJob") &&
                  resolve(a.freeDestInfo, "cupsFreeDestInfo") &&
                  resolve(a.freeOptions, "cupsFreeOptions") && resolve(a.freeDests, "cupsFreeDests") &&
                  resolve(a.lastErrorString, "cupsLastErrorString");
  if (!ok) {
    // A library without these calls is no use; it has not been called yet.
    dlclose(lib);
    lib = nullptr;
    loaded = CupsApi{};
    return nullptr;
  }
  return &loaded;
}

void SetCupsStandIn(const CupsApi* api) { standIn = api; }
