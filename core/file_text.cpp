// Opening a file as a text, saving it, reading it again.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "edit/block_keeper.h"

namespace {

// False when the directory does not fit: a folder cut to fit would be
// another one.
bool setDir(EditorState* V, const char* dir) {
  char full[kPathMax * 2];
  if (dir[0] == '/')
    CopyCut(full, sizeof full, dir);
  else  // taken from the current one: the process never changes its own
    std::snprintf(full, sizeof full, "%s/%s", V->curDir, dir);
  if (std::strlen(full) >= sizeof V->curDir) return false;
  CopyCut(V->curDir, sizeof V->curDir, full);
  return true;
}

// After the lines under `t` changed, put its cursor on line `lineNo` (or the
// last line).
void placeCursor(Tcb* t, int lineNo) {
  Link* l = t->base->next();
  int n = 1;
  while (n < lineNo && l->next() != t->base) {
    l = l->next();
    n++;
  }
  t->curLine = l;
  t->lineNo = n;
  if (t->row > n - 1) t->row = n - 1;
}

}  // namespace

namespace {

// Set while OpenTextFirstPage opens a text: how much of a large file to read
// first, and whether that is all the text holds.
size_t firstPageBytes = 0;
bool firstPageTaken = false;

// The first page of a large plain file, read as GetFile would read its
// start; null when the file is better read whole at once (small, enciphered,
// not a regular file, no line end in the first page).
Link* firstPage(EditorState* V, const char* name, uint32_t encoding, ReadStatus* status,
                DiskStamp* stamp) {
  if (std::strchr(name, '@')) return nullptr;
  // Opening a pipe for reading would wait for a writer: only a regular file
  // is opened here, and without waiting should it have become something
  // else since.
  struct stat st {};
  if (stat(PathName(V, name), &st) != 0 || !S_ISREG(st.st_mode) ||
      size_t(st.st_size) <= 4 * firstPageBytes)
    return nullptr;
  const int fd = open(PathName(V, name), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  std::vector<uint8_t> buf;
  ssize_t got = -1;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) > 4 * firstPageBytes) {
    buf.resize(firstPageBytes);
    got = pread(fd, buf.data(), buf.size(), 0);
  }
  close(fd);
  if (got <= 0) return nullptr;
  // Up to the last LF, so that no line end is cut between CR and LF.
  size_t cut = size_t(got);
  while (cut > 0 && buf[cut - 1] != '\n') --cut;
  if (cut == 0) return nullptr;
  Link* base = TextFromBytes(V, buf.data(), cut, 0, encoding);
  if (!base) return nullptr;
  *status = ReadStatus::Read;
  *stamp = StampOf(st);
  firstPageTaken = true;
  return base;
}

}  // namespace

Tcb* OpenTextFirstPage(EditorState* V, const char* path, uint32_t encoding, size_t pageBytes,
                       bool* partial) {
  firstPageBytes = pageBytes;
  firstPageTaken = false;
  Tcb* t = OpenText(V, path, encoding);
  *partial = t && firstPageTaken;
  firstPageBytes = 0;
  firstPageTaken = false;
  return t;
}

int CompleteText(EditorState* V, Tcb* t) {
  if (!t || !t->base) return 1;
  Tcb* cur = V->curTcb;
  AFlush(V);
  V->curTcb = t;
  LastRead() = ReadTraits{};
  // The page shown must be the start of what is read now: a file replaced
  // or gone since would make the text something the user never saw.
  CopyCut(V->curDir, sizeof V->curDir, t->dirName);
  const bool same = FileStamp(V, t->fileName).present && !DiskChanged(V, t);
  const int r = same ? ReloadFromDisk(V) : 1;
  if (r == 0) {
    SetModeFromRead(t);
  } else {
    // Only the first page is here: it must not be saved as the file.
    t->fileName[0] = 0;
    t->kind = KIND_NEW;
    t->disk = DiskStamp{};
    V->textWithAlert = t;
    SetAlert(V, "Read failed, only the first page is here");
  }
  V->curTcb = cur;
  if (cur) {
    CopyCut(V->curDir, sizeof V->curDir, cur->dirName);
    ALoad(V);
  }
  if (V->updateTitle) V->updateTitle(V);
  return r;
}

Tcb* OpenText(EditorState* V, const char* path, uint32_t encoding) {
  char name[kNameMax] = "";
  Link* base;
  int kind;
  ReadStatus status = ReadStatus::Missing;
  DiskStamp stamp{};
  if (path && *path) {
    char dir[kPathMax];
    if (std::strlen(path) >= size_t(kPathMax)) {
      SetAlert(V, "Path too long");
      return nullptr;
    }
    SplitFileName(V, dir, name, path);
    char keep[kPathMax];
    CopyCut(keep, sizeof keep, V->curDir);
    if (!setDir(V, dir)) {
      SetAlert(V, "Path too long");
      return nullptr;
    }
    LastRead() = ReadTraits{};
    base = firstPageBytes ? firstPage(V, name, encoding, &status, &stamp) : nullptr;
    if (!base) base = GetFile(V, name, 0, encoding, &status, &stamp);
    if (!base) CopyCut(V->curDir, sizeof V->curDir, keep);
    if (base && status == ReadStatus::Refused) {
      // Nothing to edit: a pipe, a device or a socket is never a text.
      ReleaseText(V, base);
      CopyCut(V->curDir, sizeof V->curDir, keep);
      return nullptr;
    }
    kind = KIND_FILE;
  } else {
    base = NewBaseLink(V);
    if (base && !AddEmptyLine(V, base)) {
      ReleaseText(V, base);
      base = nullptr;
    }
    kind = KIND_NEW;
  }
  if (!base) return nullptr;
  Tcb* t = NewText(V, base, encoding);
  if (!t) {
    ReleaseText(V, base);
    return nullptr;
  }
  if (kind == KIND_FILE) V->textWithAlert = t;
  if (kind == KIND_FILE && status == ReadStatus::Read) SetModeFromRead(t);
  t->kind = kind;
  t->disk = stamp;
  CopyCut(t->fileName, sizeof t->fileName, name);
  CopyCut(t->dirName, sizeof t->dirName, V->curDir);
  if (kind == KIND_FILE) NoteRescuedCopy(V, name);
  if (V->updateTitle) V->updateTitle(V);
  return t;
}

void SetModeFromRead(Tcb* t) {
  // Edited lines are written the way the file writes its blanks and ends
  // its lines.
  const ReadTraits& r = LastRead();
  if (r.tab)
    t->mode |= MODE_TABSOUT;
  else
    t->mode &= ~MODE_TABSOUT;
  if (r.lineEnd) t->mode = (t->mode & ~(MODE_CR | MODE_LF)) | r.lineEnd;
}

int SaveOneText(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return 1;
  if (t->kind == KIND_DUP) {
    SetAlert(V, "Text is a duplicate, NO save");
    return 1;
  }
  if (AFlush(V) != 0) return 1;  // the cursor line could not be stored
  CopyCut(V->curDir, sizeof V->curDir, t->dirName);
  if (PutFile(V, t->base, t->fileName, t->mode) != 0) return 1;
  MarkSaved(V, t);
  t->disk = LastWritten();
  return 0;
}

int ReloadFromDisk(EditorState* V) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || t->kind == KIND_NEW) return 1;
  CopyCut(V->curDir, sizeof V->curDir, t->dirName);
  ReadStatus st;
  DiskStamp stamp;
  Link* fresh = GetFile(V, t->fileName, 0, t->mode & MODE_ENCODING, &st, &stamp);
  if (!fresh) return 1;
  if (st == ReadStatus::Failed) {
    // Keep what is in memory rather than a partial read.
    ReleaseText(V, fresh);
    return 1;
  }
  Link* old = t->base;
  V->alineDirty = 0;
  // Every view of the text moves to the new lines, keeping its line number.
  Tcb* u = V->tcbRing;
  do {
    if (u->base == old) {
      u->base = fresh;
      placeCursor(u, u->lineNo);
      u->modified = 0;
      u->disk = stamp;
    }
    u = u->next;
  } while (u != V->tcbRing);
  // A block, or the marks of one begun, in the old lines has no place in
  // the new ones.
  const Tcb* marked = V->blk.blkTcb ? V->blk.blkTcb : V->blk.blkView;
  if (marked && marked->base == fresh) RemoveBlk(V);
  ReleaseText(V, old);
  ALoad(V);
  V->redraw |= REDRAW_TEXT;
  return 0;
}

DiskStamp StampOf(const struct stat& st) {
  return DiskStamp{true, uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size),
                   int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

DiskStamp FileStamp(EditorState* V, const char* name) {
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  plain[PlainNameLen(plain)] = 0;
  struct stat st;
  return stat(PathName(V, plain), &st) == 0 ? StampOf(st) : DiskStamp{};
}

bool DiskChanged(EditorState* V, const Tcb* t) {
  if (!t || !t->base || !t->fileName[0] || t->kind == KIND_NEW || t->kind == KIND_DIR) return false;
  char keep[kPathMax];
  CopyCut(keep, sizeof keep, V->curDir);
  CopyCut(V->curDir, sizeof V->curDir, t->dirName);
  const DiskStamp now = FileStamp(V, t->fileName);
  CopyCut(V->curDir, sizeof V->curDir, keep);
  if (!now.present) return false;
  const DiskStamp& was = t->disk;
  return !was.present || now.dev != was.dev || now.ino != was.ino || now.size != was.size ||
         now.mtimeNs != was.mtimeNs;
}

void NoteRescuedCopy(EditorState* V, const char* name) {
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  plain[PlainNameLen(plain)] = 0;
  char rescue[kPathMax + 8];
  std::snprintf(rescue, sizeof rescue, "%s.save", PathName(V, plain));
  struct stat saved, file;
  if (lstat(rescue, &saved) != 0 || !S_ISREG(saved.st_mode)) return;
  // One older than the file was rescued before the file was saved again.
  if (stat(PathName(V, plain), &file) == 0 &&
      (saved.st_mtim.tv_sec < file.st_mtim.tv_sec ||
       (saved.st_mtim.tv_sec == file.st_mtim.tv_sec && saved.st_mtim.tv_nsec <= file.st_mtim.tv_nsec)))
    return;
  const char* base = std::strrchr(plain, '/');
  std::string msg = "Rescued copy exists: ";
  msg += base ? base + 1 : plain;
  msg += ".save";
  SetAlert(V, msg.c_str());
}
