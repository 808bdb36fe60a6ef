// The last presses of a random key run, with the cursor after each, for the
// message of a failing check.
#pragma once

#include <deque>
#include <string>

namespace vt {

class KeyTrail {
 public:
  explicit KeyTrail(size_t kept = 12) : kept_(kept) {}
  void add(const std::string& what, int lineNo, int col) {
    recent_.push_back(what + " -> " + std::to_string(lineNo) + ":" + std::to_string(col));
    if (recent_.size() > kept_) recent_.pop_front();
  }
  std::string str() const {
    std::string s = "\nlast presses:";
    for (const auto& r : recent_) s += "\n  " + r;
    return s;
  }

 private:
  size_t kept_;
  std::deque<std::string> recent_;
};

}  // namespace vt
