// The CUPS client library, loaded when printing first needs it.
//
// Only the calls printing makes are resolved, each by name; every call goes
// over the default connection (a null connection handle).  Without the
// library (or with a symbol missing) there are no printers and the editor
// works on.  Tests can put a stand-in table in place of the library.
#pragma once

#include <cstddef>

struct CupsOption {
  char* name;
  char* value;
};
// The library's destination record, as it lays it out.
struct CupsDest {
  char* name;
  char* instance;
  int isDefault;
  int numOptions;
  CupsOption* options;
};
struct CupsDestInfo;  // opaque

// Status values the calls answer with.
constexpr int kIppOkLast = 0xff;       // IPP successful-ok statuses run 0 .. 0xff
constexpr int kHttpContinue = 100;     // a document write may go on

struct CupsApi {
  int (*getDests2)(void* http, CupsDest** dests);
  int (*addOption)(const char* name, const char* value, int n, CupsOption** options);
  CupsDestInfo* (*copyDestInfo)(void* http, CupsDest* dest);
  int (*createDestJob)(void* http, CupsDest* dest, CupsDestInfo* info, int* jobId,
                       const char* title, int n, CupsOption* options);
  int (*startDestDocument)(void* http, CupsDest* dest, CupsDestInfo* info, int jobId,
                           const char* docname, const char* format, int n, CupsOption* options,
                           int last);
  int (*writeRequestData)(void* http, const char* buffer, size_t length);
  int (*finishDestDocument)(void* http, CupsDest* dest, CupsDestInfo* info);
  int (*cancelDestJob)(void* http, CupsDest* dest, int jobId);
  void (*freeDestInfo)(CupsDestInfo* info);
  void (*freeOptions)(int n, CupsOption* options);
  void (*freeDests)(int n, CupsDest* dests);
  const char* (*lastErrorString)();
};

// The library's calls, loading it ("libcups.so.2", else "libcups.so") on
// the first use and keeping it; null when it cannot be had.
const CupsApi* LoadCups();
// Puts a stand-in in place of the library; null returns to the library.
void SetCupsStandIn(const CupsApi* api);
