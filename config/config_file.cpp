// Reading and writing the configuration file.
#include "config/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "config/colors.h"
#include "config/config_words.h"
#include "config/defaults.h"
#include "config/fonts.h"
#include "config/key_edit.h"
#include "core/editor_state.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "shell/prompt.h"

namespace {

constexpr size_t kShownLine = 60;  // bytes of a bad line shown

std::string lastMessage;
bool needsConfirm = false;

void resetSettings(EditorState* V) {
  ResetKeyTable();
  getDefColors(V, co.data());
  getPrintDef();
}

// A command name from CmdText: its number, 0 for FirstOfTwo, -1 for none.
constexpr std::array<std::string_view, kCmdCount> kCommandNames = [] {
  std::array<std::string_view, kCmdCount> n{};
  for (int i = 0; i < kCmdCount; i++) n[size_t(i)] = CmdText[i];
  return n;
}();

int findCommand(std::string_view name) {
  if (name.empty()) return -1;
  for (int i = 0; i < kCmdCount; i++)
    if (kCommandNames[size_t(i)] == name) return i;
  return -1;
}

bool overlong(const std::string_view* words, size_t n) {
  for (size_t i = 0; i < n; i++)
    if (words[i].size() > kWordMax) return true;
  return false;
}

// One line; false when it is bad.
bool applyLine(EditorState* V, std::string_view line, MarginLines* margins) {
  std::string_view w[3];
  const size_t n = SplitWords(line, w, 3);
  if (n == 0) return true;  // an empty line says nothing
  const std::string_view section = w[0];
  if (section == "Key-" || section == "Key+") {
    if (n < 3 || overlong(w, 3)) return false;
    const int command = findCommand(w[1]);
    if (command < 0) return false;
    return applyKeyLine(section == "Key+", command, std::string(w[2]).c_str());
  }
  if (section == "Color") return n == 3 && !overlong(w, 3) && loadColor(w[1], w[2]);
  if (section == "Default") {
    if (n < 2 || overlong(w, n)) return false;
    return loadDef(&V->defaults, w[1], n == 3 ? w[2] : std::string_view(), margins);
  }
  if (section == "Font") {
    if (n < 2 || overlong(w, 2)) return false;
    if (V->optNoFonts) return true;
    return loadFont(w[1], RestOfLine(line, 2));
  }
  if (section == "Print") return n == 3 && !overlong(w, 3) && loadPrintCfg(w[1], w[2]);
  return false;
}

void noteBad(ConfigReport* r, int lineNo, std::string_view line) {
  if (r->badLines++) return;
  r->firstBadLine = lineNo;
  std::string shown;
  for (char c : line.substr(0, kShownLine)) {
    const auto b = static_cast<unsigned char>(c);
    shown += b < 0x20 || b == 0x7f ? '?' : c;
  }
  if (line.size() > kShownLine) shown += "...";
  r->firstBad = shown;
}

// Everything of a descriptor, up to `most` bytes; *more tells whether the
// file goes on beyond them.
bool readAll(int fd, std::string* data, size_t most, bool* more) {
  data->resize(most + 1);
  size_t have = 0;
  while (have < most + 1) {
    const ssize_t got = read(fd, data->data() + have, most + 1 - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    have += size_t(got);
  }
  *more = have > most;
  data->resize(*more ? most : have);
  return true;
}

bool writeAll(int fd, const char* p, size_t n) {
  while (n) {
    const ssize_t put = write(fd, p, n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    p += put;
    n -= size_t(put);
  }
  return true;
}

std::string reason() { return std::strerror(errno); }

// Keeps the old file under the backup name: a second name for it when the
// file system allows, else a copy.
std::string keepBackup(const std::string& path, const std::string& backup) {
  if (unlink(backup.c_str()) != 0 && errno != ENOENT) return reason();
  if (link(path.c_str(), backup.c_str()) == 0 || errno == ENOENT) return "";
  const int in = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (in < 0) return reason();
  std::string old;
  bool more = false;
  const bool readOk = readAll(in, &old, size_t(1) << 24, &more);
  close(in);
  if (!readOk) return reason();
  const int out = open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (out < 0) return reason();
  const bool ok = writeAll(out, old.data(), old.size()) && fsync(out) == 0;
  const int err = errno;
  close(out);
  errno = err;
  return ok ? "" : reason();
}

void saveNow(EditorState* V) {
  const std::string path = ConfigPath(V);
  if (path.empty()) {
    SetAlert(V, "ERROR");
    return;
  }
  const std::string err = WriteConfigFile(path, BuildConfig(V));
  if (!err.empty()) {
    SetAlert(V, ("ERROR: " + err).c_str());
    return;
  }
  needsConfirm = false;
  lastMessage.clear();
}

void saveAnswered(EditorState* V, int, intptr_t) {
  if (V->reply[0] == 'y') saveNow(V);
}

}  // namespace

std::string ConfigPath(const EditorState* V) {
  if (!V->cfgDir[0]) return "";
  return std::string(V->cfgDir) + "vexor.cfg";
}

std::string BuildConfig(EditorState* V) {
  std::string out;
  out.reserve(kConfigReadMax);
  saveKeys(out);
  saveColors(out);
  saveDef(V->defaults, out);
  saveFont(out);
  savePrint(out);
  return out;
}

ConfigReport LoadConfigData(EditorState* V, std::string_view data) {
  ConfigReport r;
  resetSettings(V);
  if (V->optDefaults) return r;
  MarginLines margins;
  int marginLine = 0;
  std::string_view marginText;
  int lineNo = 0;
  while (!data.empty()) {
    lineNo++;
    const size_t end = data.find('\n');
    const std::string_view line = data.substr(0, end);
    data.remove_prefix(end == std::string_view::npos ? data.size() : end + 1);
    std::string_view w[1];
    if (end == std::string_view::npos) {
      // A last line without its line feed was cut short: nothing of it is
      // trusted.
      if (SplitWords(line, w, 1)) noteBad(&r, lineNo, line);
      break;
    }
    const bool hadMargin = margins.haveLeft || margins.haveRight;
    if (!applyLine(V, line, &margins)) noteBad(&r, lineNo, line);
    if (!hadMargin && (margins.haveLeft || margins.haveRight)) {
      marginLine = lineNo;
      marginText = line;
    }
  }
  // Margins make sense only as a pair, so they are checked once all is read.
  if (!applyMargins(&V->defaults, margins)) {
    ConfigReport m;
    noteBad(&m, marginLine, marginText);
    if (!r.badLines || marginLine < r.firstBadLine) {
      m.badLines = r.badLines + 1;
      r = m;
    } else {
      r.badLines++;
    }
  }
  return r;
}

int LoadConfig(EditorState* V) {
  lastMessage.clear();
  needsConfirm = false;
  resetSettings(V);
  const std::string path = ConfigPath(V);
  if (path.empty()) return -1;
  // Never blocks on a FIFO; a folder or device is refused before reading.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) {
      lastMessage = path + ": " + reason() + ", built-in settings used";
      needsConfirm = true;
    }
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    lastMessage = path + ": not a regular file, built-in settings used";
    needsConfirm = true;
    return -1;
  }
  std::string data;
  bool more = false;
  const bool ok = readAll(fd, &data, kConfigReadMax, &more);
  const int err = errno;
  close(fd);
  if (!ok) {
    errno = err;
    lastMessage = path + ": " + reason() + ", built-in settings used";
    needsConfirm = true;
    resetSettings(V);
    return -1;
  }
  const ConfigReport r = LoadConfigData(V, data);
  std::string msg;
  if (r.badLines) {
    char head[64];
    std::snprintf(head, sizeof head, ": %d bad line%s skipped, the first %d: ", r.badLines,
                  r.badLines == 1 ? "" : "s", r.firstBadLine);
    msg = path + head + r.firstBad;
  }
  if (more) {
    if (msg.empty()) msg = path;
    msg += ": past 65536 bytes ignored";
  }
  lastMessage = msg;
  needsConfirm = !msg.empty() || V->optDefaults || V->optNoFonts;
  return 0;
}

const std::string& ConfigMessage() { return lastMessage; }
bool ConfigNeedsConfirm() { return needsConfirm; }

void SaveConfig(EditorState* V) {
  if (!V->cfgDir[0]) {
    SetAlert(V, "ERROR");
    return;
  }
  // Saving now would replace settings this run never read in.
  if (needsConfirm) {
    Prompt(V, kPromptKey, "Replace vexor.cfg? [Y/N]:", nullptr, 0, 0, saveAnswered);
    return;
  }
  saveNow(V);
}

void LoadConfigCmd(EditorState* V) {
  LoadConfig(V);
  setColors();
  V->redraw |= REDRAW_ALL;
  if (!lastMessage.empty()) SetAlert(V, lastMessage.c_str());
}

void ResetConfig(EditorState* V) {
  resetSettings(V);
  setColors();
  V->redraw |= REDRAW_ALL;
}

std::string WriteConfigFile(const std::string& path, const std::string& data) {
  const std::string temp = path + "~~", backup = path + "~";
  // A name planted where the temporary file goes is removed, never followed.
  if (unlink(temp.c_str()) != 0 && errno != ENOENT) return reason();
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return reason();
  bool ok = writeAll(fd, data.data(), data.size()) && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  std::string why;
  if (!ok) {
    errno = err;
    why = reason();
  }
  if (why.empty()) why = keepBackup(path, backup);
  if (why.empty() && rename(temp.c_str(), path.c_str()) != 0) why = reason();
  if (!why.empty()) {
    unlink(temp.c_str());
    return why;
  }
  // The rename itself must reach the disk too.
  const std::string dir = path.substr(0, path.rfind('/') + 1);
  const int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return "";
}
