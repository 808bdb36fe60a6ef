// The file-name dialogue on the prompt line.
#include "shell/file_prompt.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "shell/file_browser.h"

namespace {

constexpr int kQuestionMax = 64;  // 63 characters and the terminator

int idx;
char question[kQuestionMax];
char oldName[kPathMax];
char answerBuf[kPathMax];  // the prompt's buffer: the answer comes back here
char fileName[kPathMax];
char* L;  // the caller's name buffer, may be null
PromptRoutine exitRtn;
int exitCode;
intptr_t exitAux;
bool answerGiven;  // the resolved answer was not empty

void ask(EditorState* V, const char* preset) {
  CopyCut(answerBuf, sizeof answerBuf, preset);
  Prompt(V, kPromptFileName, question, answerBuf, 2, 0, dirPmt, int(sizeof answerBuf));
}

std::string homeDir() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "";
}

// The directory part of fileName ("/" for a name under the root).
std::string pathOf(const char* full) {
  const std::string plain(full, PlainNameLen(full));
  const size_t slash = plain.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return plain.substr(0, slash);
}

enum class PathKind { Dir, File, Missing, Other };

PathKind kindOf(const std::string& p) {
  struct stat st;
  if (stat(p.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return PathKind::Dir;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    return PathKind::Other;
  }
  if (errno == ENOENT) return PathKind::Missing;
  if (errno == ENOTDIR) return PathKind::File;  // a component on the way is a file
  return PathKind::Other;
}

bool reportBad(EditorState* V, PathKind k) {
  if (k == PathKind::File) {
    SetAlert(V, "Path is a file");
    return true;
  }
  if (k == PathKind::Other) {
    SetAlert(V, "Bad path");
    return true;
  }
  return false;
}

// State 2.
void resolve(EditorState* V) {
  const char* a = V->reply;
  std::string full;
  auto under = [&](const std::string& dir) {
    full = dir;
    if (a[1] != '/') full += '/';
    full += a + 1;
  };
  if (a[0] == '/')
    full = a;
  else if (a[0] == '-')
    under(V->startDir);
  else if (a[0] == '~')
    under(homeDir());
  else
    full = std::string(V->curDir) + "/" + a;
  if (full[0] != '/') full = std::string(V->curDir) + "/" + full;
  // A name cut to fit would be another file's.
  if (full.size() >= sizeof fileName) {
    SetAlert(V, "Path too long");
    return;
  }
  answerGiven = a[0] != 0;
  std::memcpy(fileName, full.c_str(), full.size() + 1);
  trimPath(fileName, sizeof fileName);
  const PathKind k = kindOf(pathOf(fileName));
  if (k == PathKind::Dir) {
    dirPmt(V, 4);
  } else if (k == PathKind::Missing) {
    idx = 3;
    Prompt(V, kPromptKey, "Create path?:", nullptr, 3, 0, dirPmt);
  } else {
    reportBad(V, k);
  }
}

// State 3: creates every missing directory on the way to the name.
bool makePath(EditorState* V) {
  const std::string plain(fileName, PlainNameLen(fileName));
  for (size_t i = 1; i < plain.size(); i++) {
    if (plain[i] != '/') continue;
    const std::string prefix = plain.substr(0, i);
    const PathKind k = kindOf(prefix);
    if (k == PathKind::Dir) continue;
    if (reportBad(V, k)) return false;
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
      SetAlert(V, "Bad path");
      return false;
    }
  }
  return true;
}

// State 4.
void settle(EditorState* V) {
  const size_t plain = PlainNameLen(fileName);
  const bool browse = plain > 0 && fileName[plain - 1] == '/' && answerGiven;
  char dir[kPathMax], name[kNameMax];
  SplitFileName(V, dir, name, fileName);
  CopyCut(V->curDir, sizeof V->curDir, dir);
  CopyCut(V->reply, sizeof V->reply, name);
  if (browse) {
    dirPmt(V, 5);
    return;
  }
  if (L) CopyCut(L, kNameMax, name);
  if (exitRtn) exitRtn(V, exitCode, exitAux);
}

}  // namespace

void trimPath(char* path, size_t size) {
  const size_t plain = PlainNameLen(path);
  const std::string key(path + plain);
  std::vector<std::string> parts;
  bool endsInDir = plain > 0 && path[plain - 1] == '/';
  size_t i = 0;
  while (i < plain) {
    size_t j = i;
    while (j < plain && path[j] != '/') j++;
    const std::string c(path + i, j - i);
    if (c == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!c.empty() && c != ".") {
      parts.push_back(c);
    }
    if (j == plain) endsInDir = endsInDir || c == "." || c == "..";
    i = j + 1;
  }
  std::string out = "/";
  for (size_t k = 0; k < parts.size(); k++) {
    if (k) out += '/';
    out += parts[k];
  }
  if (endsInDir && !parts.empty()) out += '/';
  out += key;
  CopyCut(path, size, out.c_str());
}

void FilePrompt_(EditorState* V, int, const char* q, char* preset, int code, intptr_t aux, PromptRoutine routine) {
  CopyCut(question, sizeof question, q ? q : "");
  CopyCut(oldName, sizeof oldName, preset ? preset : "");
  L = preset;
  exitRtn = routine;
  exitCode = code;
  exitAux = aux;
  dirPmt(V, 1);
}

void dirPmt(EditorState* V, int state, intptr_t) {
  if (state) idx = state;
  switch (idx) {
    case 1:
      ask(V, oldName);
      break;
    case 2:
      resolve(V);
      break;
    case 3:
      if (V->reply[0] == 'y' && makePath(V)) dirPmt(V, 4);
      break;
    case 4:
      settle(V);
      break;
    case 5:
      // The question stays open behind the browser: Esc there comes back
      // to it, with the name it had, in the directory now chosen.
      idx = 6;
      ask(V, oldName);
      OpenDir(V, V->curDir);
      break;
    case 6:
      CopyCut(fileName, sizeof fileName, V->reply);
      ask(V, fileName);
      break;
    default:
      break;
  }
}

void fileTest(EditorState* V, int) {
  FilePrompt_(V, kPromptFileName, "Test Open File:", nullptr, 0, 0, [](EditorState*, int, intptr_t) {});
}
