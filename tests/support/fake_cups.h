// A stand-in for the CUPS library: destinations by name, and a record of
// the job a print made (its options, title, document and the calls that
// failed or cancelled it).  Installed by UseFakeCups for one test.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vt {

struct FakeCups {
  std::vector<std::string> printers;
  // Answers: a status above 0xff refuses a job or a finish; a document
  // start answers 100 to go on; writes succeed this many times (-1: always).
  int createStatus = 0;
  int startStatus = 100;
  int finishStatus = 0;
  int writesAllowed = -1;
  std::string reason = "client-error-not-possible";

  // What happened.
  std::vector<std::pair<std::string, std::string>> options;
  std::string printer, title, docName, format;
  bool docNameGiven = false;
  std::string document;
  int jobsCreated = 0;
  int documentsFinished = 0;
  std::vector<int> cancelled;  // job numbers, in order
};

// Installs a fresh stand-in and returns it; it stays until the returned
// guard goes.
class UseFakeCups {
 public:
  UseFakeCups();
  ~UseFakeCups();
  UseFakeCups(const UseFakeCups&) = delete;
  UseFakeCups& operator=(const UseFakeCups&) = delete;
  FakeCups* operator->();
  FakeCups& operator*();
};

}  // namespace vt
