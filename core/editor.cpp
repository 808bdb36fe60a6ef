// Start-up and shutdown of the editor state, the configuration directory,
// the alert line.
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/config_file.h"
#include "config/defaults.h"
#include "core/case_maps.h"
#include "core/editor_state.h"
#include "edit/clipboard.h"

namespace {

// The settings follow the user: ~/.vexor/, created when missing.
void fixcfg(char* out, size_t outSize, const char* home) {
  out[0] = 0;
  if (!home || !*home) return;
  size_t need = std::strlen(home) + sizeof("/.vexor/");
  if (need > outSize) return;
  std::snprintf(out, outSize, "%s/.vexor/", home);
  if (DIR* d = opendir(out)) {
    closedir(d);
    return;
  }
  if (errno == ENOENT && mkdir(out, 0755) == 0) return;
  out[0] = 0;
}

// VEXOR_CONFIG_DIR names the directory outright (tests point it at a scratch
// folder so that they never touch the user's settings); it is created when
// missing.  Returns false when it is not set.
bool forcedCfgDir(char* out, size_t outSize) {
  const char* dir = std::getenv("VEXOR_CONFIG_DIR");
  if (!dir || !*dir) return false;
  out[0] = 0;
  const size_t n = std::strlen(dir);
  const bool slash = dir[n - 1] == '/';
  if (n + (slash ? 1 : 2) > outSize) return true;
  std::snprintf(out, outSize, "%s%s", dir, slash ? "" : "/");
  if (DIR* d = opendir(out)) {
    closedir(d);
    return true;
  }
  if (errno != ENOENT || mkdir(out, 0755) != 0) out[0] = 0;
  return true;
}

}  // namespace

void ChooseCfgDir(char* out, size_t outSize, const char* exePath, const char* home) {
  out[0] = 0;
  if (exePath && std::strncmp(exePath, "/home/", 6) == 0) {
    const char* slash = std::strrchr(exePath, '/');
    size_t n = size_t(slash - exePath) + 1;
    if (n < outSize) {
      std::memcpy(out, exePath, n);
      out[n] = 0;
      return;
    }
  }
  fixcfg(out, outSize, home);
}

bool InitEditor(EditorState* V) {
  initCase(V);

  char exe[255];
  ssize_t n = readlink("/proc/self/exe", exe, 254);
  exe[n > 0 ? n : 0] = 0;
  if (!forcedCfgDir(V->cfgDir, sizeof V->cfgDir)) {
    const passwd* pw = getpwuid(getuid());
    ChooseCfgDir(V->cfgDir, sizeof V->cfgDir, n > 0 ? exe : nullptr, pw ? pw->pw_dir : nullptr);
  }

  if (!CommitMemFirst(V, kBlockSize)) return false;

  auto* head = static_cast<Tcb*>(NewTcbLink(V, sizeof(Tcb)));
  if (!head) return false;
  std::memset(static_cast<void*>(head), 0, sizeof(Tcb));
  head->next = head->prev = head;
  V->tcbRing = head;

  V->delBase = NewBaseLink(V);
  V->delCount = 0;
  V->delMax = kDelMax;

  for (auto& c : V->tube) c = 0x20;
  V->tubeIndex = 0;

  V->undoArea = static_cast<uint8_t*>(std::calloc(1, kUndoAreaSize));
  if (!V->undoArea) return false;

  V->macroList = nullptr;
  V->wfd = -1;

  if (!getcwd(V->startDir, sizeof V->startDir)) CopyCut(V->startDir, sizeof V->startDir, "/");
  CopyCut(V->curDir, sizeof V->curDir, V->startDir);

  initDef(V, &V->defaults);
  // Before any window exists: the file gives the window its size.
  LoadConfig(V);
  V->toggles = V->defaults.mode & TGL_GLOBAL_MASK;
  V->singleView = 1;
  CopyCut(V->searchOpts, sizeof V->searchOpts, " I   T    ");
  V->statusHeight = 20;
  return true;
}

void DeInitEditor(EditorState* V) {
  ClipForget(V);  // its paste under way lives in the arena
  ReleaseArena(V);
  if (V->undoArea) {
    std::memset(V->undoArea, 0, kUndoAreaSize);
    std::free(V->undoArea);
    V->undoArea = nullptr;
  }
  V->curTcb = V->tcbRing = V->viewChain = nullptr;
  V->delBase = V->pasteBase = nullptr;
  V->textWithAlert = nullptr;
}

void CopyCut(char* dst, size_t size, const char* src) {
  size_t n = std::strlen(src);
  if (n >= size) n = size - 1;
  std::memcpy(dst, src, n);
  dst[n] = 0;
}

void SetAlert(EditorState* V, const char* message) {
  CopyCut(V->alertText, sizeof V->alertText, message);
  V->redraw |= REDRAW_ALERT;
  V->textWithAlert = V->curTcb;
}

void inView(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t) return;
  int left = t->leftCol;
  if (t->col - left + 2 >= t->cols) left = t->col - t->cols + 2;
  if (t->col < left) left = t->col;
  if (left < 0) left = 0;
  if (left != t->leftCol) {
    t->leftCol = left;
    V->redraw |= REDRAW_TEXT;
  }
}

void FatalError(EditorState* V) {
  V->quit = 1;
  V->fatal = 1;
}
