#include "tests/support/headless.h"

#include "config/color_dialog.h"
#include "config/font_dialog.h"
#include "config/key_dialog.h"
#include "core/file_io.h"
#include "help/help_viewer.h"
#include "print/print_config.h"
#include "print/print_window.h"
#include "shell/handlers.h"
#include "shell/main_menu.h"
#include "shell/text_list.h"
#include "tools/char_chart.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vt {

namespace {

// A test editor keeps its settings in a scratch folder of the test process,
// never in the user's own configuration directory.  A folder given by whoever
// runs the tests (the suite script) gets a folder of this process inside it,
// because test processes run side by side and one's SaveConfig must not
// become another's start-up settings.  A folder a test sets for itself is
// left as it is.
class ScratchConfig {
 public:
  ScratchConfig() {
    if (const char* given = std::getenv("VEXOR_CONFIG_DIR"); given && *given) given_ = given;
  }
  void use() {
    const char* set = std::getenv("VEXOR_CONFIG_DIR");
    if (set && *set && (path_ == set || given_ != set)) return;
    if (path_.empty()) {
      std::string tmpl = (given_.empty() ? std::string("/tmp") : given_) + "/vexor-cfg-XXXXXX";
      std::error_code ec;
      if (!given_.empty()) std::filesystem::create_directories(given_, ec);
      if (mkdtemp(tmpl.data())) path_ = tmpl;
    }
    // No scratch folder at all: a path that cannot be made, so no folder.
    setenv("VEXOR_CONFIG_DIR", path_.empty() ? "/nonexistent/vexor-cfg" : path_.c_str(), 1);
  }
  ~ScratchConfig() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }

 private:
  std::string given_;  // from the environment the process started with
  std::string path_;
};

ScratchConfig scratchConfig;

}  // namespace

std::string ToUtf8(const ActiveLine& line) {
  std::string s;
  uint8_t buf[4];
  for (int i = 0; i < line.count; i++) {
    int n = utf8(buf, 0, line.c[i]);
    s.append(reinterpret_cast<char*>(buf), size_t(n));
  }
  return s;
}

void FromUtf8(ActiveLine* line, std::string_view s) {
  std::memset(static_cast<void*>(line), 0, sizeof *line);
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  int n = 0;
  for (size_t i = 0; i < s.size() && n < kAlineMax;) {
    int len;
    line->c[n++] = uni8(p + i, int(s.size() - i), &len);
    i += size_t(len);
  }
  line->count = uint16_t(n);
}

std::string Stored(const Link* l) { return std::string(reinterpret_cast<const char*>(l->data()), size_t(l->len())); }

std::string CheckList(const Link* base) {
  if (!IsBase(base)) return "not a base link";
  const Link* l = base;
  for (long n = 0; n < 100000000; n++) {
    const Link* next = l->next();
    if (!next) return "null next";
    if (next->prev() != l) return "next/prev disagree at line " + std::to_string(n);
    if (next == base) return "";
    if (IsBase(next)) return "foreign base link in the list";
    if (next->len() > kLineMax) return "line over 1023 bytes";
    l = next;
  }
  return "base link never reached";
}

Editor::Editor() : v_(std::make_unique<EditorState>()) {
  // SendMorse from a test never reaches a sound server, which would play
  // (and wait for) every tone: it meets a server that is not there.
  setenv("PULSE_SERVER", "unix:/nonexistent/vexor-no-sound", 1);
  // Likewise Print never reaches the machine's own printers (a test that
  // prints brings its own stand-in server).
  setenv("CUPS_SERVER", "/nonexistent/vexor-no-printer.sock", 1);
  InstallHandlers();
  scratchConfig.use();
  InitEditor(v_.get());
  SetMetrics(v_.get(), 800, 600, 16, 8, 12);
  v_->inputMode = 1;  // editing, as after start-up
  Link* base = NewBaseLink(v_.get());
  AddEmptyLine(v_.get(), base);
  Tcb* t = NewText(v_.get(), base, 0);
  t->kind = KIND_NEW;
}

Editor::~Editor() {
  // Pop-ups keep their state beside the editor record: one left open by a
  // test must not greet the next editor of the process.
  EditorState* V = v_.get();
  if (KeyDialogOpen()) KeyConfig(V);
  if (ColorDialogOpen()) ColorConfig(V);
  if (FontDialogOpen()) FontConfig(V);
  if (PrintWindowOpen()) StartPrint(V);
  if (PrintConfigOpen()) printConfig(V);
  if (MenuOpen()) MenuUp(V);
  if (TextListOpen()) FileMenuUp(V);
  ResetChart(V);
  if (HelpOpen()) helpUp(V, nullptr);
  DeInitEditor(V);
}

Tcb* Editor::open(std::string_view text, const char* name, uint32_t encoding) {
  EditorState* V = v_.get();
  Link* base = TextFromBytes(V, text.data(), text.size(), 0, encoding);
  Tcb* t = NewText(V, base, encoding);
  t->kind = KIND_FILE;
  SetModeFromRead(t);
  CopyCut(t->fileName, sizeof t->fileName, name);
  CopyCut(t->dirName, sizeof t->dirName, V->curDir);
  t->modified = 0;
  V->alertText[0] = 0;
  return t;
}

std::vector<std::string> Editor::lines() {
  std::vector<std::string> out;
  Tcb* t = v_->curTcb;
  ActiveLine line;
  for (Link* l = t->base->next(); l != t->base; l = l->next()) {
    if (l == t->curLine && v_->alineDirty) {
      out.push_back(ToUtf8(v_->aline));
    } else {
      GetLine(l, &line);
      out.push_back(ToUtf8(line));
    }
  }
  return out;
}

std::string Editor::line(int n) {
  auto all = lines();
  return n >= 1 && size_t(n) <= all.size() ? all[size_t(n - 1)] : std::string("<no line>");
}

std::string Editor::text() {
  auto all = lines();
  std::string s;
  for (size_t i = 0; i < all.size(); i++) {
    if (i) s += '\n';
    s += all[i];
  }
  return s;
}

int Editor::lineCount() { return CountLines(v_->curTcb->base); }

}  // namespace vt
