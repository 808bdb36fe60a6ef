#include "tests/support/fake_cups.h"

#include <memory>

#include "print/cups_api.h"

namespace vt {

namespace {

FakeCups fake;
std::vector<CupsDest> dests;
CupsOption noOption{};
constexpr int kFirstJob = 41;

int getDests2(void*, CupsDest** out) {
  dests.clear();
  for (auto& name : fake.printers) dests.push_back({name.data(), nullptr, 0, 0, nullptr});
  *out = dests.empty() ? nullptr : dests.data();
  return int(dests.size());
}
int addOption(const char* name, const char* value, int n, CupsOption** options) {
  fake.options.push_back({name, value});
  *options = &noOption;
  return n + 1;
}
CupsDestInfo* copyDestInfo(void*, CupsDest*) { return reinterpret_cast<CupsDestInfo*>(&fake); }
int createDestJob(void*, CupsDest* dest, CupsDestInfo*, int* job, const char* title, int, CupsOption*) {
  fake.printer = dest->name;
  fake.title = title ? title : "";
  if (fake.createStatus > 0xff) return fake.createStatus;
  *job = kFirstJob + fake.jobsCreated++;
  fake.document.clear();
  return fake.createStatus;
}
int startDestDocument(void*, CupsDest*, CupsDestInfo*, int, const char* docname, const char* format, int,
                      CupsOption*, int) {
  fake.docNameGiven = docname != nullptr;
  fake.docName = docname ? docname : "";
  fake.format = format ? format : "";
  return fake.startStatus;
}
int writeRequestData(void*, const char* buffer, size_t length) {
  if (fake.writesAllowed == 0) return 500;
  if (fake.writesAllowed > 0) fake.writesAllowed--;
  fake.document.append(buffer, length);
  return 100;
}
int finishDestDocument(void*, CupsDest*, CupsDestInfo*) {
  fake.documentsFinished++;
  return fake.finishStatus;
}
int cancelDestJob(void*, CupsDest*, int job) {
  fake.cancelled.push_back(job);
  return 0;
}
void freeDestInfo(CupsDestInfo*) {}
void freeOptions(int, CupsOption*) {}
void freeDests(int, CupsDest*) {}
const char* lastErrorString() { return fake.reason.c_str(); }

constexpr CupsApi kFake = {getDests2,          addOption,     copyDestInfo, createDestJob,
                           startDestDocument,  writeRequestData, finishDestDocument,
                           cancelDestJob,      freeDestInfo,  freeOptions,  freeDests,
                           lastErrorString};

}  // namespace

UseFakeCups::UseFakeCups() {
  fake = FakeCups{};
  SetCupsStandIn(&kFake);
}
UseFakeCups::~UseFakeCups() { SetCupsStandIn(nullptr); }
FakeCups* UseFakeCups::operator->() { return &fake; }
FakeCups& UseFakeCups::operator*() { return fake; }

}  // namespace vt
