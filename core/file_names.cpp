// File names: joining, splitting, existence.
#include <sys/stat.h>

#include <cstring>

#include "core/file_io.h"

namespace {
char pathBuf[kPathMax * 2 + 2];  // never cuts a directory plus a name
}

const char* PathName(EditorState* V, const char* name) {
  if (name[0] == '/')
    CopyCut(pathBuf, sizeof pathBuf, name);
  else
    std::snprintf(pathBuf, sizeof pathBuf, "%s/%s", V->curDir, name);
  return pathBuf;
}

// The key of an enciphered name may hold '/': only the part before the first
// '@' is a path.
void SplitFileName(EditorState* V, char* dir, char* name, const char* path) {
  const char* at = std::strchr(path, '@');
  size_t plain = at ? size_t(at - path) : std::strlen(path);
  const char* slash = nullptr;
  for (size_t i = 0; i < plain; i++)
    if (path[i] == '/') slash = path + i;
  if (!slash) {
    CopyCut(dir, kPathMax, V->curDir);
    CopyCut(name, kNameMax, path);
    return;
  }
  size_t dlen = slash == path ? 1 : size_t(slash - path);
  if (dlen >= size_t(kPathMax)) dlen = kPathMax - 1;
  std::memcpy(dir, path, dlen);
  dir[dlen] = 0;
  CopyCut(name, kNameMax, slash + 1);
}

bool file_exist(EditorState* V, const char* name) {
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  if (char* at = std::strchr(plain, '@')) *at = 0;
  struct stat st;
  return stat(PathName(V, plain), &st) == 0;
}
