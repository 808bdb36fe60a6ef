// Rescue files: the unsaved texts of an editor that must end now.
#include "core/rescue.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/editor_state.h"
#include "core/file_io.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
constexpr int kMaxTries = 1000;  // ".save.1" ... before the folder counts as full

int wakeFds[2] = {-1, -1};
volatile sig_atomic_t caught = 0;
int rescued = 0;  // numbers the files in the configuration directory

void onSignal(int sig) {
  const int keep = errno;
  if (!caught) caught = sig;
  if (wakeFds[1] >= 0) {
    const char b = 1;
    // A full pipe already wakes the loop.
    [[maybe_unused]] ssize_t r = write(wakeFds[1], &b, 1);
  }
  errno = keep;
}

// A new file, never through a link, only for us.
int createNew(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) fchmod(fd, 0600);  // whatever the umask
  return fd;
}

// The first free name of `first`, `first` + ".1", ".2", ...
int createFirstFree(const std::string& first, std::string* chosen) {
  for (int n = 0; n < kMaxTries; n++) {
    *chosen = n ? first + "." + std::to_string(n) : first;
    int fd = createNew(*chosen);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

int createInConfig(EditorState* V, std::string* chosen) {
  std::string dir = V->cfgDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  for (int n = 0; n < kMaxTries; n++) {
    *chosen = dir + "/rescued-" + std::to_string(long(getpid())) + "-" +
              std::to_string(++rescued) + ".save";
    int fd = createNew(*chosen);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void syncFolder(const std::string& file) {
  const size_t slash = file.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

// Writes `t` into a new file made by `create`; the path in *chosen.  0, or
// the errno of what failed (a part written is removed).
template <typename Create>
int writeTo(EditorState* V, const Tcb* t, Create create, std::string* chosen) {
  int fd = create(chosen);
  if (fd < 0) return errno;
  int err = PutFileFd(V, t->base, fd, t->fileName, t->mode);
  if (close(fd) != 0 && !err) err = errno;
  if (err) {
    unlink(chosen->c_str());
    return err;
  }
  syncFolder(*chosen);
  return 0;
}

bool hasUnsaved(EditorState* V, const Tcb* t, bool lineDirty) {
  const Tcb* u = V->tcbRing;
  do {
    if (u->base == t->base && u->modified) return true;
    u = u->next;
  } while (u != V->tcbRing);
  return lineDirty && V->curTcb && V->curTcb->base == t->base;
}

}  // namespace

int RescueSignalsInstall() {
  if (wakeFds[0] < 0 && pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) wakeFds[0] = wakeFds[1] = -1;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  for (int s : kSignals) sigaddset(&sa.sa_mask, s);
  sa.sa_flags = SA_RESTART;
  for (int s : kSignals) sigaction(s, &sa, nullptr);
  return wakeFds[0];
}

int RescueSignalPending() {
  if (wakeFds[0] >= 0) {
    char buf[64];
    while (read(wakeFds[0], buf, sizeof buf) > 0) {
    }
  }
  return caught;
}

int RescueTexts(EditorState* V, std::FILE* log) {
  if (!V->tcbRing) return 0;
  // The cursor line's edit belongs to the text being rescued.
  const bool lineDirty = V->alineDirty;
  if (lineDirty) AFlush(V);
  int lost = 0;
  Tcb* t = V->tcbRing;
  do {
    if (t->base && t->kind != KIND_DUP && t->kind != KIND_DIR && hasUnsaved(V, t, lineDirty)) {
      const size_t plainLen = PlainNameLen(t->fileName);
      const std::string plain(t->fileName, plainLen);
      const std::string what = plain.empty() ? "an unnamed text" : std::string(t->dirName) + "/" + plain;
      std::string chosen;
      int err = -1;
      if (!plain.empty())
        err = writeTo(V, t, [&](std::string* c) { return createFirstFree(what + ".save", c); }, &chosen);
      // A folder that will not take it (read-only, full, gone): the
      // configuration directory, which is the user's own.
      if (err) err = writeTo(V, t, [&](std::string* c) { return createInConfig(V, c); }, &chosen);
      if (err == 0) {
        std::fprintf(log, "vexor: rescued %s to %s\n", what.c_str(), chosen.c_str());
      } else {
        std::fprintf(log, "vexor: could not rescue %s: %s\n", what.c_str(), std::strerror(err));
        lost++;
      }
    }
    t = t->next;
  } while (t != V->tcbRing);
  std::fflush(log);
  return lost;
}
