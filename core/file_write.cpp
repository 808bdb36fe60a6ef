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

// One stored line in the file's encoding.  A line kept as read goes out as
// it came in.  An edited one keeps its TABs with TABs-out on, except that a
// line holding '"' has those after its indentation expanded, so string
// literals stay free of TABs; with TABs-out off every TAB is expanded (to
// the next multiple of 8 columns).
int lineOut(const Link* l, uint8_t* out, uint32_t enc, bool tabsOut) {
  const uint8_t* p = l->data();
  const int len = l->len();
  const bool asRead = l->word & LINK_ASREAD;
  const bool allTabs = asRead || (tabsOut && !std::memchr(p, '"', size_t(len)));
  int n = 0, col = 0;
  bool indent = true;
  for (int i = 0; i < len;) {
    int sl;
    const tchar c = uni8(p + i, len - i, &sl);
    i += sl;
    if (c == '\t') {
      if (allTabs || (tabsOut && indent)) {
        out[n++] = '\t';
        col = (col + 8) & ~7;
      } else {
        do out[n++] = ' ';
        while (++col & 7);
      }
      continue;
    }
    if (c != ' ') indent = false;
    col++;
    if (enc == MODE_UTF8 || IsRawByte(c)) {
      // A byte that was no character in the file goes back as that byte.
      n = utf8(out, n, c);
    } else if (enc == MODE_CP) {
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
  if (enc != MODE_CP && enc != MODE_LATIN1) enc = MODE_UTF8;
  if (enc == MODE_CP) setupCp(V);
  const bool tabsOut = mode & MODE_TABSOUT;
  uint8_t buf[kLineMax * 8 + 8];
  for (Link* l = base->next(); l != base && !writeErr; l = l->next()) {
    const bool asStored = (l->word & LINK_ASREAD) || (tabsOut && !std::memchr(l->data(), '"', size_t(l->len())));
    if (enc == MODE_UTF8 && asStored)
      BufWrite_Out(V, l->data(), l->len());
    else
      BufWrite_Out(V, buf, lineOut(l, buf, enc, tabsOut));
    // An empty last line after others keeps its line end: without it the
    // file would read back one line short.
    const bool lastEnd = !(base->word & BASE_NO_LAST_END) || (l->len() == 0 && l->prev() != base);
    if (l->next() != base || lastEnd) BufWrite_Out(V, ends, nends);
  }
  if (BufWrite_Close(V, target) != 0) return 1;
  if (CharLoss()) SetAlert(V, "Chars lost");
  return 0;
}
