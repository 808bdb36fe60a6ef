// File names: joining, splitting, existence.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "core/file_io.h"

namespace {
char pathBuf[kPathMax * 2 + 2];  // never cuts a directory plus a name
}

size_t PlainNameLen(const char* path) {
  const char* slash = std::strrchr(path, '/');
  const char* last = slash ? slash + 1 : path;
  const char* at = std::strchr(last, '@');
  return at ? size_t(at - path) : std::strlen(path);
}

const char* PathName(EditorState* V, const char* name) {
  if (name[0] == '/')
    CopyCut(pathBuf, sizeof pathBuf, name);
  else
    std::snprintf(pathBuf, sizeof pathBuf, "%s/%s", V->curDir, name);
  return pathBuf;
}

void SplitFileName(EditorState* V, char* dir, char* name, const char* path) {
  const char* slash = std::strrchr(path, '/');
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
  plain[PlainNameLen(plain)] = 0;
  struct stat st;
  return stat(PathName(V, plain), &st) == 0;
}

bool StatReadOnly(const struct stat& st) {
  constexpr mode_t anyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  const uid_t uid = geteuid();
  if (uid == 0) return (st.st_mode & anyWrite) == 0;
  if (st.st_uid == uid) return (st.st_mode & S_IWUSR) == 0;
  bool member = st.st_gid == getegid();
  if (!member) {
    gid_t groups[256];
    const int n = getgroups(256, groups);
    for (int i = 0; i < n && !member; i++) member = groups[i] == st.st_gid;
  }
  return (st.st_mode & (member ? S_IWGRP : S_IWOTH)) == 0;
}

bool FileReadOnly(EditorState* V, const char* name) {
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  plain[PlainNameLen(plain)] = 0;
  struct stat st;
  return stat(PathName(V, plain), &st) == 0 && S_ISREG(st.st_mode) && StatReadOnly(st);
}
