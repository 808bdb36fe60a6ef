// Writing: a text goes to "name~~", is flushed to the disk, and only then
// replaces "name", whose previous version stays as "name~".  Any failure
// leaves the original untouched and is reported; it never ends the editor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/cipher.h"
#include "core/encoding.h"
#include "core/file_io.h"

namespace {

char tempPath[PATH_MAX + 32];
int writeErr = 0;  // first error of the current file
long faultAfter = -1;
int faultErr = 0;
long written = 0;

void writeAll(EditorState* V, const uint8_t* p, int n) {
  while (n > 0 && !writeErr) {
    int chunk = n;
    if (faultAfter >= 0 && written + chunk > faultAfter) {
      chunk = int(faultAfter - written);
      if (chunk <= 0) {
        writeErr = faultErr;
        return;
      }
    }
    ssize_t r = write(V->wfd, p, size_t(chunk));
    if (r < 0) {
      if (errno == EINTR) continue;
      writeErr = errno;
      return;
    }
    if (r == 0) {
      writeErr = EIO;
      return;
    }
    written += r;
    p += r;
    n -= int(r);
  }
}

// Creates the temporary file `tempPath` names, replacing a stale one (or a
// link planted in its place).
int createTemp(mode_t mode) {
  unlink(tempPath);
  return open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

void failAlert(EditorState* V, const char* what, int err) {
  char msg[kAlertMax + 1];
  std::snprintf(msg, sizeof msg, "%s: %s", what, std::strerror(err));
  SetAlert(V, msg);
}

// TABs of a stored line expanded to spaces (up to the next multiple of 8).
int utfUntab(const Link* l, uint8_t* out) {
  const uint8_t* p = l->data();
  int n = 0, col = 0;
  for (int i = 0; i < l->len(); i++) {
    uint8_t b = p[i];
    if (b == '\t') {
      do out[n++] = ' ';
      while (++col & 7);
    } else {
      out[n++] = b;
      if ((b & 0xc0) != 0x80) col++;
    }
  }
  return n;
}

// A stored line in a single-byte encoding.
int toBytes(const Link* l, uint8_t* out, bool codePage, bool keepTabs) {
  const uint8_t* p = l->data();
  int len = l->len(), n = 0, col = 0;
  for (int i = 0; i < len;) {
    int sl;
    tchar c = uni8(p + i, len - i, &sl);
    i += sl;
    if (c == '\t' && !keepTabs) {
      do out[n++] = ' ';
      while (++col & 7);
      continue;
    }
    col = c == '\t' ? (col + 8) & ~7 : col + 1;
    if (codePage) {
      out[n++] = cpconv(c);
    } else if (c > 0xff) {
      out[n++] = '?';
      CharLoss() = true;
    } else {
      out[n++] = uint8_t(c);
    }
  }
  return n;
}

}  // namespace

void SetWriteFault(long afterBytes, int err) {
  faultAfter = err ? afterBytes : -1;
  faultErr = err;
}

int BufWrite_Open(EditorState* V, const char* name) {
  V->wbufLen = 0;
  V->wtotal = 0;
  writeErr = 0;
  written = 0;
  std::snprintf(tempPath, sizeof tempPath, "%s~~", name);
  struct stat st;
  bool existed = stat(name, &st) == 0;
  const mode_t mode = existed ? 0600 : 0666;
  V->wfd = createTemp(mode);
  if (V->wfd < 0 && errno == ENAMETOOLONG) {
    // The name is as long as the folder allows: a short temporary name
    // beside it, of this process alone.
    const char* slash = std::strrchr(name, '/');
    const int dirLen = slash ? int(slash - name) + 1 : 0;
    std::snprintf(tempPath, sizeof tempPath, "%.*s.vexor-%ld.tmp", dirLen, name, long(getpid()));
    V->wfd = createTemp(mode);
  }
  if (V->wfd < 0) return 1;
  if (existed) fchmod(V->wfd, st.st_mode & 07777);
  return 0;
}

void BufWrite_Out(EditorState* V, const void* data, int n) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (n > 0) {
    if (n >= kWbufSize - V->wbufLen) BufWrite_Flush(V, false);
    int take = std::min(n, kWbufSize - V->wbufLen - 1);
    std::memcpy(V->wbuf + V->wbufLen, p, size_t(take));
    V->wbufLen += take;
    V->wtotal += take;
    p += take;
    n -= take;
  }
}

void BufWrite_Flush(EditorState* V, bool final) {
  if (V->wbufLen == 0) return;
  int out = V->wbufLen;
  if (V->wRijndael) {
    out &= ~15;
    if (final && out < V->wbufLen) {
      // The last block is completed with zero bytes.
      int padded = (V->wbufLen + 15) & ~15;
      std::memset(V->wbuf + V->wbufLen, 0, size_t(padded - V->wbufLen));
      out = padded;
    }
    rijndaelBlocks(V->wbuf, size_t(out));
  } else if (V->wArcfour) {
    arcfourXor(V->wbuf, size_t(out));
  }
  writeAll(V, V->wbuf, out);
  int rest = V->wbufLen > out ? V->wbufLen - out : 0;
  std::memmove(V->wbuf, V->wbuf + out, size_t(rest));
  V->wbufLen = rest;
}

int BufWrite_Close(EditorState* V, const char* name) {
  BufWrite_Flush(V, true);
  if (!writeErr && fsync(V->wfd) != 0) writeErr = errno;
  if (close(V->wfd) != 0 && !writeErr) writeErr = errno;
  V->wfd = -1;
  if (writeErr) {
    unlink(tempPath);
    failAlert(V, "Write error", writeErr);
    return 1;
  }
  // Keep the previous version as "name~"; a hard link leaves "name" in
  // place until the new file atomically takes its name.
  char backup[PATH_MAX + 8];
  std::snprintf(backup, sizeof backup, "%s~", name);
  bool movedAway = false;
  if (access(name, F_OK) == 0) {
    unlink(backup);
    // A name as long as the folder allows has no room for the "~": that
    // file is replaced without a backup.
    if (link(name, backup) != 0 && errno != ENAMETOOLONG) {
      if (rename(name, backup) != 0) {
        int err = errno;
        unlink(tempPath);
        failAlert(V, "Cannot keep backup", err);
        return 1;
      }
      movedAway = true;
    }
  }
  if (rename(tempPath, name) != 0) {
    int err = errno;
    if (movedAway) rename(backup, name);
    unlink(tempPath);
    failAlert(V, "Write error", err);
    return 1;
  }
  // Make the new name itself durable.
  char dir[PATH_MAX + 8];
  CopyCut(dir, sizeof dir, name);
  char* slash = std::strrchr(dir, '/');
  if (slash) {
    slash[slash == dir ? 1 : 0] = 0;
    int dfd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      fsync(dfd);
      close(dfd);
    }
  }
  return 0;
}

int PutFile(EditorState* V, Link* base, const char* name, uint32_t mode) {
  uint8_t ends[2];
  int nends = 0;
  if (mode & MODE_CR) ends[nends++] = '\r';
  if ((mode & MODE_LF) || !(mode & MODE_CR)) ends[nends++] = '\n';

  CharLoss() = false;
  V->wArcfour = V->wRijndael = 0;
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  if (char* at = plain + PlainNameLen(plain); *at) {
    if (at[1] == '@') {
      keyRijndael(at + 2);
      V->wRijndael = 1;
    } else {
      arcfour(V, at);
      V->wArcfour = 1;
    }
    *at = 0;
  }

  // Saving through a symbolic link writes the file it points to and keeps
  // the link.
  char target[PATH_MAX];
  CopyCut(target, sizeof target, PathName(V, plain));
  struct stat st;
  if (lstat(target, &st) == 0 && S_ISLNK(st.st_mode)) {
    char real[PATH_MAX];
    if (realpath(target, real)) CopyCut(target, sizeof target, real);
  }
  if (stat(target, &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode))
      failAlert(V, "Cannot save", EISDIR);
    else
      SetAlert(V, "Not a regular file");
    return 1;
  }

  if (BufWrite_Open(V, target) != 0) {
    int err = errno;
    // The new file is made beside the old one: what refuses is the folder.
    if (err == EACCES || err == EROFS || err == EPERM)
      SetAlert(V, "Cannot save: folder is read-only");
    else
      failAlert(V, "Cannot write file", err);
    return 1;
  }

  uint32_t enc = mode & MODE_ENCODING;
  bool single = enc == MODE_CP || enc == MODE_LATIN1;
  if (enc == MODE_CP) setupCp(V);
  uint8_t buf[kAlineMax * 8 + 8];
  for (Link* l = base->next(); l != base && !writeErr; l = l->next()) {
    bool keepTabs = (mode & MODE_TABSOUT) && !std::memchr(l->data(), '"', size_t(l->len()));
    if (single) {
      BufWrite_Out(V, buf, toBytes(l, buf, enc == MODE_CP, keepTabs));
    } else if (keepTabs) {
      BufWrite_Out(V, l->data(), l->len());
    } else {
      BufWrite_Out(V, buf, utfUntab(l, buf));
    }
    BufWrite_Out(V, ends, nends);
  }
  if (BufWrite_Close(V, target) != 0) return 1;
  if (CharLoss()) SetAlert(V, "Chars lost");
  return 0;
}
