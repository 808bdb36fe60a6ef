// The file browser: listing a directory as a text, moving, finding, picking.
#include "shell/file_browser.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/case_maps.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/file_prompt.h"

namespace {

constexpr int kFindMax = 255;

Tcb* ATextSave;         // the text that was current when the browser opened
int ViewOneTextSave;    // and V->singleView then
int modeSave;           // the mode that opened the browser
bool forfont;
tchar FileFindStr[kFindMax + 1];
int findLen;
int linePos = kListNameCol;

struct Entry {
  std::string name;
  unsigned char type;  // DT_DIR, DT_REG, DT_LNK or other
};

unsigned char entryType(const std::string& dir, const dirent* d) {
  if (d->d_type != DT_UNKNOWN) return d->d_type;
  struct stat st;
  const std::string full = dir + "/" + d->d_name;
  if (lstat(full.c_str(), &st) != 0) return DT_UNKNOWN;
  if (S_ISDIR(st.st_mode)) return DT_DIR;
  if (S_ISREG(st.st_mode)) return DT_REG;
  if (S_ISLNK(st.st_mode)) return DT_LNK;
  return DT_UNKNOWN;
}

// Every entry, "." and ".." too, directories first, each group in the
// locale's collating order.
bool readDir(const char* dir, std::vector<Entry>* out) {
  DIR* d = opendir(dir);
  if (!d) return false;
  out->clear();
  while (const dirent* e = readdir(d)) out->push_back(Entry{e->d_name, entryType(dir, e)});
  closedir(d);
  std::sort(out->begin(), out->end(), [](const Entry& a, const Entry& b) {
    const bool ad = a.type == DT_DIR, bd = b.type == DT_DIR;
    if (ad != bd) return ad;
    return std::strcoll(a.name.c_str(), b.name.c_str()) < 0;
  });
  return true;
}

const char* typeMark(unsigned char type) {
  switch (type) {
    case DT_REG:
      return " <FILE> ";
    case DT_LNK:
      return " <LINK> ";
    case DT_DIR:
      return "  <DIR> ";
    default:
      return "    <?> ";
  }
}

// One entry's line; a control character in a name shows as '?'.
bool addEntry(EditorState* V, Link* base, const Entry& e) {
  ActiveLine line{};
  int n = 0;
  for (const char* m = typeMark(e.type); *m; m++) line.c[n++] = tchar(*m);
  const auto* p = reinterpret_cast<const uint8_t*>(e.name.data());
  const int size = int(e.name.size());
  for (int i = 0; i < size && n < kAlineMax;) {
    int len;
    const tchar c = uni8(p + i, size - i, &len);
    line.c[n++] = c < 0x20 ? '?' : c;
    i += len;
  }
  line.count = uint16_t(n);
  // Not AddLine: that would mark the text the user is in as changed.
  LineImage img;
  Tabify(V, &img, &line);
  return AddBytesLine(V, base->prev(), img.word, img.text) != nullptr;
}

void updateTitle(EditorState* V) {
  if (V->updateTitle) V->updateTitle(V);
}

// "/a/b/.." to "/a"; the root stays the root.
void cutDotDot(char* dir) {
  const size_t n = std::strlen(dir);
  if (n <= 2 || std::strcmp(dir + n - 2, "..") != 0 || (n > 2 && dir[n - 3] != '/')) return;
  size_t end = n - 3;  // the '/' before ".."
  while (end > 0 && dir[end - 1] == '/') end--;
  while (end > 0 && dir[end - 1] != '/') end--;
  while (end > 1 && dir[end - 1] == '/') end--;
  if (end == 0) end = 1;
  dir[end] = 0;
}

// Puts the listing's cursor on line `lineNo` (or the last), column `col`.
void moveTo(EditorState* V, Link* l, int lineNo, int col) {
  Tcb* t = V->curTcb;
  AFlush(V);
  // The row follows the line, so a short listing stays wholly in view.
  t->row += lineNo - t->lineNo;
  if (t->row < 0) t->row = 0;
  t->curLine = l;
  t->lineNo = lineNo;
  t->col = col;
  if (t->row > lineNo - 1) t->row = lineNo - 1;
  if (t->rows > 0 && t->row >= t->rows) t->row = t->rows - 1;
  ALoad(V);
  inView(V);
}

void gotoLine(EditorState* V, int lineNo) {
  Tcb* t = V->curTcb;
  Link* l = t->base->next();
  int n = 1;
  while (n < lineNo && l->next() != t->base) {
    l = l->next();
    n++;
  }
  moveTo(V, l, n, 0);
}

// Column of the search string in `line` from `from` on, or -1.
int findIn(EditorState* V, const ActiveLine& line, int from) {
  for (int c = from; c + findLen <= line.count; c++) {
    int k = 0;
    while (k < findLen && CaseChar(V, line.c[c + k], false) == CaseChar(V, FileFindStr[k], false)) k++;
    if (k == findLen) return c;
  }
  return -1;
}

void resetFind() {
  findLen = 0;
  FileFindStr[0] = 0;
  linePos = kListNameCol;
}

bool inListing(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->kind == KIND_DIR; }

int openAt(EditorState* V, const char* path) {
  char dir[kPathMax];
  CopyCut(dir, sizeof dir, path);
  cutDotDot(dir);
  std::vector<Entry> entries;
  int result = 1;
  if (!readDir(dir, &entries)) {
    if (!readDir(V->curDir, &entries)) {
      SetAlert(V, "Permission denied");
      return 0;
    }
    CopyCut(dir, sizeof dir, V->curDir);
    result = 0;
  }
  if (inListing(V)) {
    ReleaseTcb(V, &V->curTcb);
  } else {
    ATextSave = V->curTcb;
    ViewOneTextSave = V->singleView;
    modeSave = V->inputMode;
  }
  Link* base = NewBaseLink(V);
  if (!base) return 0;
  for (const Entry& e : entries) {
    if (!addEntry(V, base, e)) {
      ReleaseText(V, base);
      return 0;
    }
  }
  if (base->next() == base) AddEmptyLine(V, base);
  V->singleView = 1;
  // Encoding 0: always a text of its own, never in place of the one shown.
  Tcb* t = NewText(V, base, 0);
  if (!t) {
    ReleaseText(V, base);
    return 0;
  }
  t->kind = KIND_DIR;
  t->fileName[0] = 0;
  CopyCut(t->dirName, sizeof t->dirName, dir);
  t->modified = 0;
  CopyCut(V->curDir, sizeof V->curDir, dir);
  V->inputMode = ModeFileBrowser;
  resetFind();
  if (result == 0) SetAlert(V, "Permission denied");
  updateTitle(V);
  return result;
}

}  // namespace

int OpenDir(EditorState* V, const char* path) {
  if (!path) {
    Tcb* t = V->curTcb;
    if (t && t->base && t->kind != KIND_DIR && t->dirName[0]) CopyCut(V->curDir, sizeof V->curDir, t->dirName);
    path = V->curDir;
  }
  char dir[kPathMax];
  CopyCut(dir, sizeof dir, path);
  return openAt(V, dir);
}

int OpenDirForFont(EditorState* V) {
  forfont = true;
  char dir[kPathMax];
  CopyCut(dir, sizeof dir, V->curDir);
  return openAt(V, dir);
}

void EndDirMode_(EditorState* V) {
  V->inputMode = modeSave ? modeSave : ModePrompt;
  if (inListing(V)) ReleaseTcb(V, &V->curTcb);
  if (ATextSave && ATextSave->base) {
    SelectView(V, ATextSave->number);
    V->singleView = ViewOneTextSave;
  }
  ATextSave = nullptr;
  updateTitle(V);
  if (V->curTcb) PrepareView(V);
}

void FileFind(EditorState* V, int c) {
  if (c == 0) {
    resetFind();
    return;
  }
  if (!inListing(V)) return;
  if (c == kFindNext) {
    linePos++;
  } else if (findLen < kFindMax) {
    FileFindStr[findLen++] = tchar(c);
    FileFindStr[findLen] = 0;
  }
  if (findLen == 0) return;
  Tcb* t = V->curTcb;
  Link* const start = t->curLine;
  Link* l = start;
  int n = t->lineNo;
  int from = linePos;
  ActiveLine line;
  for (;;) {
    GetLine(l, &line);
    const int hit = findIn(V, line, from);
    if (hit >= 0) {
      linePos = hit;
      moveTo(V, l, n, hit);
      V->hiliteLen = findLen;
      return;
    }
    linePos = from = kListNameCol;
    l = l->next();
    n++;
    if (l == t->base) {
      l = t->base->next();
      n = 1;
    }
    if (l == start) return;
  }
}

void PickFile(EditorState* V) {
  if (!inListing(V)) return;
  const ActiveLine& line = V->aline;
  if (line.count <= kListNameCol) return;
  const bool isDir = line.c[kListTypeCol] == 'R';
  // The name runs to the end of the line, so that names with blanks can be
  // picked; only blanks at its end are dropped.
  int end = line.count;
  while (end > kListNameCol && line.c[end - 1] == ' ') end--;
  char name[kPathMax];
  int n = 0;
  for (int i = kListNameCol; i < end; i++) {
    uint8_t buf[4];
    const int len = utf8(buf, 0, line.c[i]);
    if (n + len >= int(sizeof name)) break;
    std::memcpy(name + n, buf, size_t(len));
    n += len;
  }
  name[n] = 0;
  if (!isDir) {
    EndDirMode_(V);
    CopyCut(V->reply, sizeof V->reply, name);
    if (!forfont) dirPmt(V, 6);
    forfont = false;
  } else if (std::strcmp(name, ".") == 0) {
    // This directory: back to the question, which now resolves names here.
    EndDirMode_(V);
  } else {
    const int lineNo = V->curTcb->lineNo;
    char sub[kPathMax * 2];
    std::snprintf(sub, sizeof sub, "%s%s%s", V->curDir, std::strcmp(V->curDir, "/") == 0 ? "" : "/", name);
    if (std::strlen(sub) >= size_t(kPathMax)) {
      SetAlert(V, "Path too long");
      return;
    }
    EndDirMode_(V);
    if (!OpenDir(V, sub) && inListing(V)) gotoLine(V, lineNo);
  }
  updateTitle(V);
  V->redraw |= REDRAW_ALL;
}

void fileKey_(EditorState* V, int key) {
  if (key == 27) {
    EndDirMode_(V);
    return;
  }
  if (key >= CMD_BASE) {
    int n = key - CMD_BASE;
    if (n == cmd::OneUp || n == cmd::OneDown || n == cmd::PageDown || n == cmd::PageUp)
      DoCommand(V, &n);
    else if (n == cmd::OneRight)
      FileFind(V, kFindNext);
    else if (n == cmd::NewLine)
      PickFile(V);
    else
      FileFind(V, 0);
    return;
  }
  if (key > 0) FileFind(V, key);
}
