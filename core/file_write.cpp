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
DiskStamp lastWritten{};

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

// Creates a file that is new, never through a link: a stale one (left by a
// killed save) or a link planted in its place is removed first, and one
// planted again in between makes the open fail instead of being followed.
int createFresh(const char* path, mode_t mode) {
  unlink(path);
  return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

int createTemp(mode_t mode) { return createFresh(tempPath, mode); }

// The backup as a copy, where the file system has no hard links: "name"
// stays in place all the while, so a crash never leaves the name empty.
bool copyToBackup(const char* name, const char* backup) {
  int in = open(name, O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  int out = fstat(in, &st) == 0 ? createFresh(backup, st.st_mode & 0777) : -1;
  bool ok = out >= 0;
  char buf[65536];
  while (ok) {
    ssize_t r = read(in, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      ok = r == 0;
      break;
    }
    for (ssize_t off = 0; ok && off < r;) {
      ssize_t w = write(out, buf + off, size_t(r - off));
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      off += w;
    }
  }
  const int err = errno;
  if (out >= 0 && close(out) != 0) ok = false;
  close(in);
  if (!ok && out >= 0) unlink(backup);
  errno = err;
  return ok;
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
  struct stat done;
  if (!writeErr && fstat(V->wfd, &done) == 0) lastWritten = StampOf(done);
  if (close(V->wfd) != 0 && !writeErr) writeErr = errno;
  V->wfd = -1;
  if (writeErr) {
    unlink(tempPath);
    failAlert(V, "Write error", writeErr);
    return 1;
  }
  // Keep the previous version as "name~"; a hard link (or a copy) leaves
  // "name" in place until the new file atomically takes its name, so a
  // process killed anywhere leaves the old file or the new one, whole.  A
  // link planted as "name~" is removed, never written through.
  char backup[PATH_MAX + 8];
  std::snprintf(backup, sizeof backup, "%s~", name);
  if (access(name, F_OK) == 0) {
    unlink(backup);
    // A name as long as the folder allows has no room for the "~": that
    // file is replaced without a backup.
    if (link(name, backup) != 0 && errno != ENAMETOOLONG && !copyToBackup(name, backup)) {
      int err = errno;
      unlink(tempPath);
      failAlert(V, "Cannot keep backup", err);
      return 1;
    }
  }
  if (rename(tempPath, name) != 0) {
    int err = errno;
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

namespace {

// Sets up the cipher the suffix of `name` names (none without one) and
// leaves the plain name in `plain`.
void writeCipher(EditorState* V, const char* name, char* plain, size_t size) {
  CharLoss() = false;
  V->wArcfour = V->wRijndael = 0;
  CopyCut(plain, size, name);
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
}

// Every line of `base` into the open writer, in the encoding, line ends and
// TAB choice of `mode`.
void writeLines(EditorState* V, Link* base, uint32_t mode) {
  uint8_t ends[2];
  int nends = 0;
  if (mode & MODE_CR) ends[nends++] = '\r';
  if ((mode & MODE_LF) || !(mode & MODE_CR)) ends[nends++] = '\n';
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
}

}  // namespace

const DiskStamp& LastWritten() { return lastWritten; }

int PutFileFd(EditorState* V, Link* base, int fd, const char* name, uint32_t mode) {
  char plain[kPathMax];
  writeCipher(V, name, plain, sizeof plain);
  V->wfd = fd;
  V->wbufLen = 0;
  V->wtotal = 0;
  writeErr = 0;
  written = 0;
  writeLines(V, base, mode);
  BufWrite_Flush(V, true);
  if (!writeErr && fsync(fd) != 0) writeErr = errno;
  V->wfd = -1;
  // Key stream and padding must not outlive the write.
  std::memset(V->wbuf, 0, sizeof V->wbuf);
  return writeErr;
}

int PutFile(EditorState* V, Link* base, const char* name, uint32_t mode) {
  char plain[kPathMax];
  writeCipher(V, name, plain, sizeof plain);

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
  writeLines(V, base, mode);
  if (BufWrite_Close(V, target) != 0) return 1;
  if (CharLoss()) SetAlert(V, "Chars lost");
  return 0;
}
