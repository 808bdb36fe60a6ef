#include "tests/support/sandbox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace vt {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEnvNames[] = {"HOME", "VEXOR_CONFIG_DIR"};
constexpr const char* kUnset = "\x01";

std::string describe(const struct stat& st) {
  return std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " + std::to_string(st.st_ino) + " " +
         std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + " " +
         std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
}

}  // namespace

Sandbox::Sandbox() {
  char tmpl[] = "/tmp/vexor-monkey-XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  root_ = tmpl;
  play_ = root_ + "/play";
  sentinel_ = root_ + "/sentinel";
  fs::create_directories(play_ + "/cfg");
  fs::create_directories(sentinel_ + "/folder");
  WriteFile(sentinel_ + "/keep.txt", "a file beside the sandbox\n");
  WriteFile(sentinel_ + "/other.txt", "another\n");
  WriteFile(sentinel_ + "/folder/deep.txt", "deeper\n");
  WriteFile(root_ + "/beside.txt", "next to play\n");

  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) oldCwd_ = cwd;
  for (const char* name : kEnvNames) {
    const char* v = std::getenv(name);
    oldEnv_[name] = v ? v : kUnset;
  }
  if (chdir(play_.c_str()) != 0) std::abort();
  setenv("HOME", play_.c_str(), 1);
  setenv("VEXOR_CONFIG_DIR", (play_ + "/cfg").c_str(), 1);
  quick_ = snapshot(false);
  full_ = snapshot(true);
}

Sandbox::~Sandbox() {
  if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) {
    // Nowhere to go back to: the test process ends soon anyway.
  }
  for (const auto& [name, value] : oldEnv_) {
    if (value == kUnset)
      unsetenv(name.c_str());
    else
      setenv(name.c_str(), value.c_str(), 1);
  }
  // Folders the test made read-only are opened up first, or their
  // contents would stay behind.
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (ec) break;
    if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(root_, ec);
}

Sandbox::Tree Sandbox::snapshot(bool contents) const {
  Tree tree;
  struct stat st;
  if (lstat(root_.c_str(), &st) == 0) tree["."] = std::to_string(st.st_mode) + " " + std::to_string(st.st_ino);
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (ec) break;
    const std::string path = it->path().string();
    if (path == play_) {
      it.disable_recursion_pending();
      continue;
    }
    std::string what = lstat(path.c_str(), &st) == 0 ? describe(st) : "gone";
    if (contents && S_ISREG(st.st_mode)) what += " " + ReadFile(path);
    tree[path.substr(root_.size())] = what;
  }
  return tree;
}

std::string Sandbox::touched(bool contents) const {
  const Tree now = snapshot(contents);
  const Tree& then = contents ? full_ : quick_;
  for (const auto& [path, what] : then) {
    auto it = now.find(path);
    if (it == now.end()) return "removed outside the sandbox: " + path;
    if (it->second != what) return "changed outside the sandbox: " + path;
  }
  for (const auto& [path, what] : now)
    if (!then.count(path)) return "created outside the sandbox: " + path;
  return "";
}

}  // namespace vt
