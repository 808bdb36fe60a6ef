// A scratch directory to let the editor loose in, and a watch on the files
// around it.
//
//   <root>/play      the working directory, HOME and (play/cfg) the
//                    configuration directory while the sandbox lives
//   <root>/sentinel  files and a folder the editor must never touch
//
// Anything created, removed or changed under <root> outside play/ - the
// sentinel files, or a new entry beside play/ - is reported by touched().
// The editor record must be made after the sandbox, so that it takes its
// start-up directory and configuration directory from it.
#pragma once

#include <map>
#include <string>

namespace vt {

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& play() const { return play_; }
  const std::string& sentinel() const { return sentinel_; }
  std::string file(const std::string& name) const { return play_ + "/" + name; }

  // Empty when nothing outside play/ changed since the sandbox was made,
  // else the first difference.  `contents` also compares the bytes of the
  // files (the rest compares kind, size, inode, mode and times).
  std::string touched(bool contents) const;

 private:
  using Tree = std::map<std::string, std::string>;
  Tree snapshot(bool contents) const;

  std::string root_, play_, sentinel_;
  std::string oldCwd_;
  std::map<std::string, std::string> oldEnv_;  // "\x01" for unset
  Tree quick_, full_;
};

}  // namespace vt
