// The monkey: random keys from every default binding - each two-key
// sequence, function keys, every modifier combination - and typed
// characters of every width, with random answers to whatever the editor
// asks (numbers, names inside a sandbox, y/n, Esc, the file browser), on
// starting texts that include hostile ones, now and then short of memory or
// with the window closed or resized.  After every key the editing state must
// be sound (tests/support/store_check.h) and nothing outside the sandbox may
// have been touched; a text just opened or saved must read as its file.
//
// Each shard runs VEXOR_MONKEY_KEYS keys (10,000 by default) from the seed
// VEXOR_MONKEY_SEED (a fixed one by default) and its shard number.  A
// failure prints the seed, the key number and the last keys pressed; the
// same seed and key count repeat the run exactly, and VEXOR_MONKEY_TRACE=1
// prints every key with the cursor, the alert, the text and the prompt.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "shell/event_loop.h"
#include "shell/file_browser.h"
#include "shell/key_names.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "shell/prompt.h"
#include "tests/support/headless.h"
#include "tests/support/key_trail.h"
#include "tests/support/sandbox.h"
#include "tests/support/store_check.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr unsigned kShards = 10;
constexpr long kDefaultKeys = 10000;
constexpr unsigned kDefaultSeed = 20261207;
// Texts longer than this are walked whole only every kDeepEvery keys.
constexpr int kShallowFrom = 20000;
constexpr long kDeepEvery = 256;

long envNumber(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

// PC keycodes.
constexpr unsigned kEsc = 9, kBkSp = 22, kTab = 23, kEnter = 36, kHome = 110, kUp = 111, kPgUp = 112,
                   kLeft = 113, kRight = 114, kEnd = 115, kDown = 116, kPgDn = 117, kDel = 119, kLetterA = 38;

struct Key {
  unsigned keycode = 0;  // 0: not a key but a window event
  unsigned state = 0;
  int typed = -1;  // what the input method gives, -1 none
  int mode = 0;    // the input mode it was chosen for, set when queued
};
constexpr int kCloseWindow = -2, kResizeWindow = -3;

uint16_t bindingOf(uint16_t value) {
  for (const KeyPair& p : KeyInitTab)
    if (p.key == value) return p.binding;
  return 0;
}

unsigned stateOf(uint16_t value) {
  unsigned state = 0;
  for (int i = 0; i < kModifierCount; i++)
    if (value & kModifierBits[i]) state |= kModifierStates[i];
  return state;
}

// ---- Starting texts --------------------------------------------------------

struct StartText {
  const char* name;
  uint32_t encoding;
};

constexpr StartText kStarts[] = {
    {"plain.c", MODE_UTF8},      {"long.txt", MODE_UTF8},  {"raw.bin", MODE_UTF8},    {"cr.txt", MODE_UTF8},
    {"empty.txt", MODE_UTF8},    {"nul.txt", MODE_UTF8},   {"latin.txt", MODE_LATIN1}, {"dos.txt", MODE_CP},
    {"at@dir/in.txt", MODE_UTF8}, {"locked@key1", MODE_UTF8}, {"linked.txt", MODE_UTF8}, {"huge.txt", MODE_UTF8},
    {"noend.txt", MODE_UTF8},    {"", MODE_UTF8},
};

std::string randomWord(std::mt19937& rng) {
  std::string w(1 + rng() % 8, 'x');
  for (auto& c : w) c = char('a' + rng() % 26);
  return w;
}

std::string startBytes(const std::string& name, std::mt19937& rng) {
  static constexpr const char* bad[] = {"\x89", "\x80\x80", "\xff", "\xc3(", "\xe2\x82", "\xed\xb2\x80", "\xc0\xaf",
                                        "\xf8\x88\x80\x80\x80", "\xf4\x90\x80\x80"};
  static constexpr const char* wide[] = {"\xe2\x82\xac", "\xc3\xa9", "\xf0\x9f\x98\x80", "\xe4\xb8\xad"};
  std::string s;
  if (name == "plain.c" || name == "at@dir/in.txt") {
    for (int i = 0; i < 300; i++) {
      s += std::string(rng() % 4, '\t');
      s += std::string(rng() % 3 * 2, ' ');
      for (int w = int(rng() % 9); w > 0; w--) {
        s += randomWord(rng);
        s += rng() % 5 ? " " : "(){};\"' ";
      }
      s += rng() % 7 ? "\n" : "  \n";
    }
  } else if (name == "long.txt") {
    for (int i = 0; i < 40; i++) {
      const int len = 900 + int(rng() % 4200);
      for (int c = 0; c < len;) {
        if (rng() % 4 == 0) {
          s += wide[rng() % 4];
          c++;
        } else {
          s += rng() % 6 ? char('a' + rng() % 26) : rng() % 2 ? ' ' : '\t';
          c++;
        }
      }
      s += i % 3 ? "\n" : "\r\n";
    }
    s += std::string(1023, 'q') + "\n" + std::string(1024, 'r') + "\n" + std::string(2047, 's');
  } else if (name == "raw.bin" || name == "nul.txt") {
    for (int i = 0; i < 200; i++) {
      for (int w = int(rng() % 12); w > 0; w--) {
        const unsigned k = rng() % 6;
        s += k == 0 ? std::string(bad[rng() % std::size(bad)])
             : k == 1 ? std::string(1 + rng() % 3, '\0')
             : k == 2 ? std::string(1, char(rng() % 32))
                      : randomWord(rng);
      }
      s += name == "nul.txt" ? std::string(1, '\0') + "\n" : rng() % 2 ? "\r\n" : "\n";
    }
  } else if (name == "cr.txt") {
    for (int i = 0; i < 150; i++) {
      s += randomWord(rng) + " ";
      s += randomWord(rng);
      s += rng() % 9 ? "\r" : "\r\r";
    }
  } else if (name == "latin.txt" || name == "dos.txt") {
    for (int i = 0; i < 100; i++) {
      for (int w = int(rng() % 10); w > 0; w--) {
        s += char(0x80 + rng() % 128);
        s += randomWord(rng) + " ";
      }
      s += "\n";
    }
  } else if (name == "huge.txt") {
    for (int i = 0; i < 120000; i++) s += std::to_string(i) + (i % 50 ? "\n" : "\tx\n");
  } else if (name == "noend.txt") {
    s = "one line and no end";
  }
  return s;  // empty.txt, and names that are not there at first
}

// Names the file-name question is answered with, inside the sandbox: files
// that exist, files and folders that do not, ciphers, the start-up and home
// shortcuts, a folder to browse, nothing at all.
constexpr const char* kAnswers[] = {
    "plain.c",      "long.txt",    "raw.bin",        "cr.txt",         "empty.txt",        "nul.txt",
    "latin.txt",    "linked.txt",  "at@dir/in.txt",  "at@dir/",        "new.txt",          "sub/deeper/n.txt",
    "locked@key1",  "locked@key2", "twice@@k",       "-/plain.c",      "~/home.txt",       "sub/",
    "",             "cfg/vexor.cfg", "../play/back.txt", "a b c.txt",   "cfg",              "noend.txt",
    "huge.txt",     "@",           "x@",             ".",              "./dot.txt",        "sub//double.txt",
    "fifo",         "ro.txt",      "rodir/f.txt",    "rodir/new.txt",
};

// Bytes outside printable ASCII as \xNN, at most 120 of them.
std::string escaped(const std::string& s) {
  std::string out;
  for (unsigned char c : s.substr(0, 120)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", c);
    out += c >= 0x20 && c < 0x7f ? std::string(1, char(c)) : hex;
  }
  return out + (s.size() > 120 ? "..." : "");
}

// ---- The run ---------------------------------------------------------------

// Other seeds' runs that found faults (a block past its text, a line cut
// when stored after an Undo, a cursor line dropped taken for a save).
struct Replay {
  unsigned seed, shard;
  long keys;
};
constexpr unsigned kReplayBase = 1000;
constexpr Replay kReplays[] = {
    {1, 0, 4200},  {1, 2, 1100},  {1, 8, 5350},   {11, 0, 2850},
    {22, 5, 2100}, {36, 4, 1500}, {38, 4, 900},   {505, 1, 3700},
};

class Monkey : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    seed_ = unsigned(envNumber("VEXOR_MONKEY_SEED", kDefaultSeed));
    keys_ = envNumber("VEXOR_MONKEY_KEYS", kDefaultKeys);
    shard_ = GetParam();
    if (shard_ >= kReplayBase) {
      const Replay& r = kReplays[shard_ - kReplayBase];
      seed_ = r.seed;
      shard_ = r.shard;
      keys_ = r.keys;
    }
    std::seed_seq seq{seed_, shard_};
    rng_.seed(seq);
    for (unsigned code = 9; code < 128; code++)
      if (!IsModifierKeycode(code) && bindingOf(uint16_t(code)) == 0 && std::strcmp(KeyNames[code], "n/a") != 0)
        unbound_.push_back(code);
    for (const StartText& s : kStarts) writeStart(s.name);
    mkdir(box_.file("at@dir").c_str(), 0755);
    writeStart("at@dir/in.txt");
    std::filesystem::remove(box_.file("linked.txt"));
    // Saving through a link writes the file it points to, so this one stays
    // inside; links planted where a save puts its backup and temporary
    // files point outside and must never be written through.
    vt::WriteFile(box_.file("target.txt"), "the link's target\n");
    symlink("target.txt", box_.file("linked.txt").c_str());
    symlink((box_.sentinel() + "/other.txt").c_str(), box_.file("plain.c~").c_str());
    symlink((box_.sentinel() + "/keep.txt").c_str(), box_.file("plain.c~~").c_str());
    // A pipe, which is never to be opened (it would block), and a file and
    // a folder without write permission.
    mkfifo(box_.file("fifo").c_str(), 0644);
    vt::WriteFile(box_.file("ro.txt"), "read only\n");
    chmod(box_.file("ro.txt").c_str(), 0444);
    mkdir(box_.file("rodir").c_str(), 0755);
    vt::WriteFile(box_.file("rodir/f.txt"), "in a read-only folder\n");
    chmod(box_.file("rodir").c_str(), 0555);
  }

  void writeStart(const std::string& name) {
    if (name.empty() || (name.find('@') != std::string::npos && name.find('/') == std::string::npos)) return;
    if (name == "linked.txt") return;
    vt::WriteFile(box_.file(name), startBytes(name, rng_));
  }

  // A fresh editor on one or two starting texts.
  void restart() {
    ed_.reset();
    ed_ = std::make_unique<vt::Editor>();
    EditorState* V = ed_->V();
    // Now and then memory is short: no block beyond those held, or one more.
    if (rng_() % 5 == 0) V->memBlockLimit = V->memBlocks + int(rng_() % 2);
    const int opens = 1 + int(rng_() % 3 == 0);
    for (int i = 0; i < opens; i++) {
      const StartText& s = kStarts[rng_() % std::size(kStarts)];
      if (std::strcmp(s.name, "huge.txt") == 0 && rng_() % 4 && !V->memBlockLimit) continue;
      writeStart(s.name);
      Tcb* t = OpenText(V, s.name, s.encoding);
      // A text opened from a file holds all of it, or is not opened.
      if (t && t->kind == KIND_FILE && s.encoding == MODE_UTF8 && openError_.empty()) openError_ = readsBack(t);
    }
    lastTcb_ = nullptr;
    cleanTcb_ = nullptr;
    V->inputMode = ModeEdit;
    trail_.add(std::string("restart on ") + (V->curTcb ? V->curTcb->fileName : "?"), lineNo(), col());
    sinceRestart_ = 0;
    restartAfter_ = 300 + long(rng_() % 3000);
  }

  int lineNo() { return ed_ && ed_->cur() ? ed_->lineNo() : 0; }
  int col() { return ed_ && ed_->cur() ? ed_->col() : 0; }

  tchar randomChar() {
    const unsigned k = rng_() % 100;
    if (k < 45) return tchar(0x20 + rng_() % 95);
    if (k < 60) {
      static constexpr tchar wide[] = {0xE9, 0xC5, 0x20AC, 0x4E2D, 0x1F600, 0x3A9, 0x10FFFF, 0xFFFD, 0x2028, 0x301};
      return wide[rng_() % std::size(wide)];
    }
    if (k < 70) return tchar(0xa0 + rng_() % 0x2000);
    if (k < 75) return tchar(0x10000 + rng_() % 0xFFFF0);
    if (k < 80) return tchar(0xE000 + rng_() % 0x1900);  // private use
    return tchar(rng_() % 32);                              // control characters, TAB, CR, LF, Esc, NUL
  }

  Key typedKey(tchar c) { return {unbound_[rng_() % unbound_.size()], 0, int(c)}; }
  Key named(unsigned keycode, unsigned state = 0, int typed = -1) { return {keycode, state, typed}; }
  void typeText(const std::string& s) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    for (size_t i = 0; i < s.size();) {
      int len;
      queue_.push_back(typedKey(uni8(p + i, int(s.size() - i), &len)));
      i += size_t(len);
    }
  }

  // Any combination of Shift, Ctrl, Alt, Super and AltGr, with Caps or Num
  // Lock now and then.
  unsigned randomState() {
    unsigned state = 0;
    for (int i = 0; i < kModifierCount; i++)
      if (rng_() % 3 == 0) state |= kModifierStates[i];
    if (rng_() % 10 == 0) state |= rng_() % 2 ? 0x2 : 0x10;
    return state;
  }

  // Any key with any modifiers, and what the input method makes of it.
  // (One draw a statement: the order of arguments is the compiler's.)
  Key anyKey() {
    Key k;
    k.keycode = 9 + rng_() % 119;
    k.state = randomState();
    k.typed = int(randomChar());
    return k;
  }

  // A key as the editing mode meets it, or now and then the window manager
  // closing or resizing the window.
  void editKeys() {
    const unsigned event = rng_() % 1000;
    if (event < 4) {
      queue_.push_back({0, 0, event == 0 ? kCloseWindow : kResizeWindow});
      return;
    }
    const unsigned pick = rng_() % 100;
    if (pick < 45) {
      // A default binding; a second key with its first key before it.
      const KeyPair& p = KeyInitTab[rng_() % kKeyInitPairs];
      if (p.key & KEY_SECOND) {
        for (const KeyPair& f : KeyInitTab) {
          if (f.binding != (p.key & BIND_GROUPMASK)) continue;
          queue_.push_back(named(f.key & KEY_CODEMASK, stateOf(f.key)));
          if (rng_() % 8 == 0) queue_.push_back(named(37));  // Ctrl pressed again in between
          // The second key with or without modifiers: either must reach it.
          const unsigned state = rng_() % 4 == 0 ? kModifierStates[rng_() % kModifierCount] : 0;
          queue_.push_back(named(p.key & KEY_CODEMASK, state, int(randomChar())));
          return;
        }
        return;
      }
      queue_.push_back(named(p.key & KEY_CODEMASK, stateOf(p.key), int(randomChar())));
      return;
    }
    if (pick < 55) {
      // A first key, then any key at all.
      const KeyPair& p = KeyInitTab[rng_() % kKeyInitPairs];
      if (!(p.binding & BIND_FIRSTKEY)) return;
      queue_.push_back(named(p.key & KEY_CODEMASK, stateOf(p.key)));
      queue_.push_back(anyKey());
      return;
    }
    if (pick < 70) {
      // Any key with any modifiers.
      queue_.push_back(anyKey());
      return;
    }
    if (pick < 97) {
      const int n = 1 + int(rng_() % 12);
      for (int i = 0; i < n; i++) queue_.push_back(typedKey(randomChar()));
      return;
    }
    static constexpr unsigned modifiers[] = {37, 105, 50, 62, 64, 108, 92, 133, 66, 77};
    queue_.push_back(named(modifiers[rng_() % std::size(modifiers)]));  // a modifier key alone
  }

  std::string answerName() {
    std::string name = kAnswers[rng_() % std::size(kAnswers)];
    // Relative names are safe while the question's folder is in the sandbox.
    const std::string dir = ed_->V()->curDir;
    const bool inside = dir == box_.play() || dir.rfind(box_.play() + "/", 0) == 0;
    if (!inside || rng_() % 4 == 0) {
      if (name.rfind("-/", 0) == 0 || name.rfind("~/", 0) == 0) name = name.substr(2);
      name = box_.play() + "/" + name;
    }
    return name;
  }

  void promptKeys() {
    const unsigned k = rng_() % 100;
    if (k < 8) {
      queue_.push_back(named(kEsc, 0, 27));
      return;
    }
    switch (PromptType(ed_->V())) {
      case kPromptNumber: {
        if (k < 20) queue_.push_back(named(kBkSp));
        const long n = rng_() % 3 == 0 ? long(rng_() % 2000000) : long(rng_() % 400);
        typeText(std::to_string(n));
        if (rng_() % 6 == 0) typeText("x-");
        queue_.push_back(named(kEnter, 0, '\r'));
        return;
      }
      case kPromptFileName:
        if (k < 25) {
          queue_.push_back(named(kDown));  // to the browser
          return;
        }
        if (rng_() % 3 == 0) {
          // To the end of the name shown, and erase it.
          queue_.push_back(named(kRight));
          for (int i = 0; i < 70; i++) queue_.push_back(named(kBkSp));
        }
        typeText(answerName());
        if (rng_() % 10 == 0) typeText(std::string(rng_() % 80, 'w'));
        queue_.push_back(named(kEnter, 0, '\r'));
        return;
      case kPromptKey: {
        static constexpr char answers[] = "yynnYNq ";
        if (k < 90) {
          queue_.push_back(typedKey(tchar(answers[rng_() % 8])));
        } else {
          editKeys();
        }
        return;
      }
      case kPromptText:
      case kPromptOptions:
        if (k < 60) {
          const std::string word = randomWord(rng_);
          typeText(rng_() % 2 ? word + "\xc3\xa9\xe2\x82\xac" : word);
        }
        queue_.push_back(named(rng_() % 3 ? kEnter : kBkSp, 0, '\r'));
        return;
      default:
        queue_.push_back(rng_() % 2 ? named(kEnter, 0, '\r') : named(kEsc, 0, 27));
        return;
    }
  }

  void browserKeys() {
    static constexpr unsigned moves[] = {kUp, kDown, kPgUp, kPgDn, kRight, kHome, kEnd, kLeft, kDel, kBkSp, kTab};
    const unsigned k = rng_() % 100;
    if (k < 50)
      queue_.push_back(named(moves[rng_() % std::size(moves)]));
    else if (k < 80)
      queue_.push_back(typedKey(randomChar()));
    else if (k < 93)
      queue_.push_back(named(kEnter, 0, '\r'));
    else
      queue_.push_back(named(kEsc, 0, 27));
  }

  // Enter in the browser on ".." of the sandbox's own folder would leave it.
  bool leavesSandbox() {
    EditorState* V = ed_->V();
    const std::string dir = V->curDir;
    const bool inside = dir == box_.play() || dir.rfind(box_.play() + "/", 0) == 0;
    if (!inside) return true;
    std::string line = vt::ToUtf8(V->aline);
    line = line.size() > size_t(kListNameCol) ? line.substr(kListNameCol) : "";
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return dir == box_.play() && (line == ".." || line.rfind("../", 0) == 0);
  }

  void press(Key key) {
    EditorState* V = ed_->V();
    if (key.keycode == 0) {
      if (key.typed == kCloseWindow) {
        (loopHooks().closeAll ? loopHooks().closeAll : CloseAll)(V);
        trail_.add("window closed", lineNo(), col());
      } else {
        // From a sliver to a large window; the cell stays 8 x 16.
        const int w = 8 + int(rng_() % 1600), h = 16 + int(rng_() % 1200);
        ResizeMetrics(V, w, h, 16, 8, 12, 16, 8);
        PrepareView(V);
        trail_.add("window resized to " + std::to_string(w) + "x" + std::to_string(h), lineNo(), col());
      }
      return;
    }
    if (V->inputMode == ModeFileBrowser && key.keycode == kEnter && leavesSandbox()) key = named(kEsc, 0, 27);
    char name[32];
    KeyText(name, sizeof name, KeyValue(key.keycode, key.state));
    std::string what = std::string(name) + " mode " + std::to_string(V->inputMode);
    if (key.typed >= 0) what += " typing U+" + std::to_string(key.typed);
    PressKey(V, key.keycode, key.state, [&] { return key.typed; });
    trail_.add(what, lineNo(), col());
    if (std::getenv("VEXOR_MONKEY_TRACE") && ed_->cur())
      std::fprintf(stderr, "%s -> %d:%d row %d alert '%s' text '%s' in '%s' curDir '%s' prompt '%s'\n", what.c_str(),
                   lineNo(), col(), ed_->cur()->row, V->alertText, ed_->cur()->fileName, ed_->cur()->dirName, V->curDir,
                   promptText().c_str());
  }

  std::string promptText() {
    std::string s;
    for (const tchar* p = ed_->V()->promptLine; *p && s.size() < 200; p++) s += *p < 0x80 ? char(*p) : '?';
    return s;
  }

  std::string check(long n) {
    EditorState* V = ed_->V();
    if (V->fatal) return "FatalError";
    if (V->quit) return "";
    const bool small = V->curTcb && CountLinesCapped() < kShallowFrom;
    lastDeep_ = small;
    if (std::string e = vt::CheckEditorState(V, small || n % kDeepEvery == 0); !e.empty()) return e;
    if (std::strstr(V->alertText, "ovverrun")) return "a line was cut when stored";
    return box_.touched(n % 1000 == 0);
  }

  // A text that has just been saved reads back from its file as it shows.
  std::string checkSaved() {
    EditorState* V = ed_->V();
    Tcb* t = V->curTcb;
    const bool modified = t && (t->modified || V->alineDirty);
    // Clean again because the file was written (a new inode and time), not
    // because the unsaved cursor line was dropped (^Q L).
    const bool written = t && (t->disk.ino != lastDisk_.ino || t->disk.mtimeNs != lastDisk_.mtimeNs);
    const bool saved = t == lastTcb_ && t && t->base == lastBase_ && lastModified_ && !modified && written &&
                       V->inputMode == ModeEdit && t->kind == KIND_FILE && (t->mode & MODE_ENCODING) == MODE_UTF8;
    lastTcb_ = t;
    lastBase_ = t ? t->base : nullptr;
    lastModified_ = modified;
    lastDisk_ = t ? t->disk : DiskStamp{};
    if (!saved) return "";
    savesChecked_++;
    return readsBack(t);
  }

  // Whether the file of the current text `t` reads as the text shows.
  std::string readsBack(Tcb* t) {
    const std::string path = std::string(t->dirName) + "/" + t->fileName;
    vt::Editor again;
    if (!OpenText(again.V(), path.c_str(), MODE_UTF8)) return "the file " + path + " cannot be read";
    const auto want = ed_->lines(), got = again.lines();
    if (got != want) {
      size_t i = 0;
      while (i < want.size() && i < got.size() && want[i] == got[i]) i++;
      auto show = [&](const std::vector<std::string>& v) { return i < v.size() ? escaped(v[i]) : "<none>"; };
      return "the file " + path + " reads otherwise: " + std::to_string(want.size()) + " lines, read " +
             std::to_string(got.size()) + "; line " + std::to_string(i + 1) + " is\n  " + show(want) +
             "\nread as\n  " + show(got);
    }
    return "";
  }

  // A text whose modified flag is clear has not changed since it was last
  // opened, saved or reloaded: closing it asks nothing, so a change made
  // without the flag would be lost.  Compared as stored, line by line.
  std::string checkClean(bool deep) {
    EditorState* V = ed_->V();
    Tcb* t = V->curTcb;
    if (!t || t->modified || V->alineDirty || V->inputMode != ModeEdit || t->kind == KIND_DIR) {
      cleanTcb_ = nullptr;
      return "";
    }
    if (!deep) return "";
    std::string now;
    for (const Link* l = t->base->next(); l != t->base; l = l->next()) {
      now += vt::Stored(l);
      now += '\n';
    }
    if (cleanTcb_ == t && cleanBase_ == t->base && now != clean_)
      return "the text changed while its modified flag stayed clear";
    cleanTcb_ = t;
    cleanBase_ = t->base;
    clean_ = std::move(now);
    return "";
  }

  int CountLinesCapped() {
    const Link* base = ed_->cur()->base;
    int n = 0;
    for (const Link* l = base->next(); l != base && n < kShallowFrom; l = l->next()) n++;
    return n;
  }

  vt::Sandbox box_;  // first: the editor starts inside it
  std::unique_ptr<vt::Editor> ed_;
  std::mt19937 rng_;
  unsigned seed_ = 0;
  unsigned shard_ = 0;
  long keys_ = 0;
  std::vector<unsigned> unbound_;
  std::deque<Key> queue_;
  vt::KeyTrail trail_{40};
  long modeCount_[kModeCount] = {};
  Tcb* lastTcb_ = nullptr;
  Link* lastBase_ = nullptr;
  bool lastModified_ = false;
  DiskStamp lastDisk_{};
  long savesChecked_ = 0;
  std::string openError_;
  bool lastDeep_ = true;
  Tcb* cleanTcb_ = nullptr;
  Link* cleanBase_ = nullptr;
  std::string clean_;
  long sinceRestart_ = 0, restartAfter_ = 0;
};

TEST_P(Monkey, EveryKeyLeavesTheEditorSoundAndTouchesNothingOutside) {
  long restarts = 0, modeKeys = 0;
  for (long n = 0; n < keys_; n++) {
    if (!ed_ || ed_->V()->quit || ++sinceRestart_ > restartAfter_) {
      restart();
      restarts++;
      queue_.clear();
    }
    EditorState* V = ed_->V();
    // Keys chosen for one mode are not typed into another: a name meant for
    // a question could leave the sandbox as an answer to the next one.
    if (!queue_.empty() && queue_.front().mode != V->inputMode) queue_.clear();
    if (queue_.empty()) {
      if (V->inputMode == ModeEdit)
        editKeys();
      else if (V->inputMode == ModePrompt)
        promptKeys();
      else if (V->inputMode == ModeFileBrowser)
        browserKeys();
      else
        queue_.push_back(rng_() % 4 ? named(kEsc, 0, 27) : typedKey(randomChar()));
      if (queue_.empty()) {
        n--;
        continue;
      }
      for (Key& k : queue_) k.mode = V->inputMode;
    }
    const Key key = queue_.front();
    queue_.pop_front();
    modeCount_[std::min(V->inputMode, kModeCount - 1)]++;
    press(key);
    modeKeys = V->inputMode == ModeEdit ? 0 : modeKeys + 1;
    std::string err = openError_.empty() ? check(n) : "at the start: " + openError_;
    if (err.empty()) err = checkSaved();
    if (err.empty()) err = checkClean(lastDeep_);
    if (err.empty() && modeKeys > 500) err = "stuck in input mode " + std::to_string(V->inputMode);
    if (!err.empty()) {
      FAIL() << "seed " << seed_ << " shard " << shard_ << " key " << n << ": " << err << trail_.str()
             << "\nrepeat: VEXOR_MONKEY_SEED=" << seed_ << " VEXOR_MONKEY_KEYS=" << keys_
             << " test_edit --gtest_filter='Shards/Monkey.*/" << shard_ << "'";
    }
  }
  ed_.reset();
  EXPECT_EQ(box_.touched(true), "");
  std::string files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(box_.play()))
    files += " " + e.path().string().substr(box_.play().size() + 1);
  std::printf("seed %u shard %u: %ld keys, %ld starts; keys in the editing mode %ld, at questions %ld, in the browser %ld; "
              "%ld saves read back\n"
              "files in the sandbox:%s\n",
              seed_, shard_, keys_, restarts, modeCount_[ModeEdit], modeCount_[ModePrompt], modeCount_[ModeFileBrowser],
              savesChecked_, files.c_str());
}

INSTANTIATE_TEST_SUITE_P(Shards, Monkey, ::testing::Range(0u, kShards));
// Runs that once found a fault, each up to just past the key that showed it.
INSTANTIATE_TEST_SUITE_P(Replays, Monkey,
                         ::testing::Range(kReplayBase, kReplayBase + unsigned(std::size(kReplays))));

}  // namespace
