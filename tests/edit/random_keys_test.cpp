// Random key presses through the key table - every default binding, two-key
// sequences, unbound keys with any modifiers, control characters - on texts
// read from generated files with invalid UTF-8, TABs, trailing blanks and
// long lines of multi-byte characters between blank runs.  After every press
// the text must be sound, the active line must hold no TAB or line end and
// no more than a line holds, and a text whose modified flag is clear must be
// exactly what it was when last read or saved.  Now and then the text is
// saved, and the file must read back as the lines shown.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "tests/support/headless.h"
#include "tests/support/key_trail.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kSteps = 30000;

// Commands that leave the text (close, open, reload, switch), touch files
// or the configuration, open dialogues that need a display, or grow the text
// without bound.
constexpr const char* kAvoided[] = {
    "SaveExit",   "SaveStay",   "DiscardExit", "OpenText",  "OpenTextISO", "OpenTextDOS", "ReloadText",
    "ReadBlock",  "WriteBlock", "NextText",    "PrevText",  "SaveConfig",  "LoadConfig",  "ResetConfig",
    "SetDefaults", "KeyConfig", "ColorConfig", "FontConfig", "PrintConfig", "Print",      "SendMorse",
    "MacroSave",  "MacroLoad",  "MacroEdit",   "HelpFileMenu", "HelpOnHelp", "AsciiChart", "ViewMenu",
    "ViewFileMenu", "About",    "ZoomText",    "OpenClip",  "OpenBuffer",  "OpenBlockCopy", "OpenBlockMove",
    "Compare",    "UnCompare",  "BoxDraw",     "MacroRecord",
    // Without a display a paste inserts the editor's own offer: a whole text
    // copied and pasted over and over doubles until it outgrows any run.
    "PasteFromClip", "PasteFromPrimary",
};

bool avoided(uint16_t binding) {
  if (binding < BIND_COMMAND || binding >= BIND_MACRO_FIRST) return false;
  const int n = binding - BIND_COMMAND;
  for (const char* name : kAvoided)
    if (FindCommand(name) == n) return true;
  return false;
}

// The default binding of a key value, 0 when it has none.
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

// Characters an input method may give: letters, blanks, quotes, characters
// outside ASCII, and control characters (TAB, CR, LF and Esc among them).
tchar typedChar(std::mt19937& rng) {
  const unsigned k = rng() % 100;
  if (k < 50) return tchar('a' + rng() % 26);
  if (k < 65) return ' ';
  if (k < 72) return tchar("\"'.,;()-"[rng() % 8]);
  if (k < 85) {
    static constexpr tchar wide[] = {0xE9, 0x20AC, 0x4E2D, 0x1F600, 0x3A9};
    return wide[rng() % 5];
  }
  return tchar(1 + rng() % 31);
}

// A file's bytes: words, blank runs and TABs, quotes, trailing blanks, bytes
// that are no UTF-8, and long lines of multi-byte characters between blank
// runs, some longer than a line may hold; any line end.
std::string generatedFile(std::mt19937& rng) {
  static constexpr const char* bad[] = {"\x89", "\x80\x80", "\xff", "\xc3(", "\xe2\x82", "\xed\xb2\x80", "\xc0\xaf"};
  static constexpr const char* wide[] = {"\xe2\x82\xac", "\xc3\xa9", "\xf0\x9f\x98\x80", "\xe4\xb8\xad"};
  std::string text;
  for (int n = 0; n < 200; n++) {
    const unsigned kind = rng() % 10;
    if (kind == 0) {
      // Multi-byte characters between blank runs, to 800-1300 columns.
      const int cols = 800 + int(rng() % 500);
      for (int c = 0; c < cols;) {
        if (rng() % 3 == 0) {
          const int blanks = 1 + int(rng() % 5);
          text += std::string(size_t(blanks), ' ');
          c += blanks;
        } else {
          text += wide[rng() % 4];
          c++;
        }
      }
    } else if (kind == 1) {
      text += std::string(1000 + rng() % 30, 'L');
    } else if (kind != 2) {
      if (rng() % 3 == 0) text += rng() % 2 ? "\t" : "        ";
      const int words = int(rng() % 10);
      for (int w = 0; w < words; w++) {
        const unsigned s = rng() % 10;
        text += s < 6 ? " " : s < 8 ? "\t" : "   ";
        if (rng() % 8 == 0) text += bad[rng() % std::size(bad)];
        if (rng() % 8 == 0) text += '"';
        text += std::string(1 + rng() % 6, char('a' + rng() % 26));
        if (rng() % 6 == 0) text += wide[rng() % 4];
      }
      if (rng() % 5 == 0) text += "  ";
    }
    const unsigned e = rng() % 10;
    text += e < 7 ? "\n" : e < 9 ? "\r\n" : "\r";
  }
  return text;
}

class RandomKeys : public ::testing::TestWithParam<unsigned> {
 protected:
  // The text as stored: every line's bytes and whether it is kept as read.
  std::string snapshot() {
    Tcb* t = ed.cur();
    std::string s;
    for (Link* l = t->base->next(); l != t->base; l = l->next()) {
      s.append(reinterpret_cast<const char*>(l->data()), size_t(l->len()));
      s += (l->word & LINK_ASREAD) ? "\x01\n" : "\n";
    }
    return s;
  }

  std::string check() {
    EditorState* V = ed.V();
    Tcb* t = V->curTcb;
    if (!t || !t->base) return "no current text";
    if (V->inputMode != ModeEdit || V->quit) return "left the editing mode";
    if (std::string err = vt::CheckList(t->base); !err.empty()) return "text: " + err;
    if (V->aline.count > kLineMax) return "active line of " + std::to_string(V->aline.count) + " characters";
    for (int i = 0; i < V->aline.count; i++) {
      const tchar c = V->aline.c[i];
      if (c == '\t' || c == '\n' || c == '\r') return "active line holds U+" + std::to_string(c);
    }
    if (std::strstr(V->alertText, "ovverrun")) return "a line was cut when stored";
    if (!t->modified && !V->alineDirty && t->base == cleanBase && snapshot() != clean)
      return "the text changed while its modified flag stayed clear";
    return "";
  }

  // Saves the text, which makes it clean; every few saves the file is read
  // back and must show the same lines.
  std::string save(bool reread) {
    EditorState* V = ed.V();
    if (SaveOneText(V) != 0) return std::string("save failed: ") + V->alertText;
    cleanBase = ed.cur()->base;
    clean = snapshot();
    if (!reread) return "";
    const std::string bytes = vt::ReadFile(dir.file("random.txt"));
    vt::Editor again;
    again.open(bytes, "random.txt", ed.cur()->mode & MODE_ENCODING);
    if (again.lines() != ed.lines()) return "the saved file reads back otherwise";
    return "";
  }

  // One key through the key table, as the event loop takes it.
  void press(unsigned keycode, unsigned state, tchar typed) {
    PressKey(ed.V(), keycode, state, [&] { return int(typed); });
  }

  // A key of the default table, with its second key when it is a first
  // key; or an unbound key with random modifiers.  Returns what was pressed.
  std::string step(std::mt19937& rng) {
    const unsigned pick = rng() % 100;
    if (pick < 55) {
      const KeyPair& p = KeyInitTab[rng() % kKeyInitPairs];
      if (avoided(p.binding)) return "";
      if (p.key & KEY_SECOND) {
        // Its first key, then itself.
        const uint16_t first = p.key & BIND_GROUPMASK;
        for (const KeyPair& f : KeyInitTab) {
          if (f.binding != first) continue;
          press(f.key & KEY_CODEMASK, stateOf(f.key), typedChar(rng));
          press(p.key & KEY_CODEMASK, 0, typedChar(rng));
          return std::string(KeyNames[f.key & KEY_CODEMASK]) + "+" + KeyNames[p.key & KEY_CODEMASK];
        }
        return "";
      }
      press(p.key & KEY_CODEMASK, stateOf(p.key), typedChar(rng));
      if (p.binding & BIND_FIRSTKEY) {
        // Any second key that is not avoided, bound or not.
        const unsigned code = 9 + rng() % 119;
        if (avoided(bindingOf(uint16_t(p.binding | code)))) {
          ed->twoKeyPending = 0;
          return "";
        }
        press(code, 0, typedChar(rng));
        return std::string("first key then ") + KeyNames[code];
      }
      return p.binding >= BIND_COMMAND && p.binding < BIND_MACRO_FIRST ? CmdText[p.binding - BIND_COMMAND]
                                                                          : "macro key " + std::to_string(p.binding);
    }
    const unsigned code = 9 + rng() % 119;
    const unsigned state = rng() % 3 == 0 ? kModifierStates[rng() % kModifierCount] : 0;
    const uint16_t binding = bindingOf(KeyValue(code, state));
    if (avoided(binding) || (binding & BIND_FIRSTKEY)) return "";
    const tchar c = typedChar(rng);
    press(code, state, c);
    return "key " + std::to_string(code) + "/" + std::to_string(state) + " typing U+" + std::to_string(c);
  }

  vt::TempDir dir;
  vt::Editor ed;
  Link* cleanBase = nullptr;
  std::string clean;
};

TEST_P(RandomKeys, TheTextStaysSoundAndUnchangedWhileNotModified) {
  std::mt19937 rng(GetParam());
  EditorState* V = ed.V();
  CopyCut(V->curDir, sizeof V->curDir, dir.path().c_str());
  ed.open(generatedFile(rng), "random.txt");
  cleanBase = ed.cur()->base;
  clean = snapshot();
  ASSERT_EQ(check(), "");
  vt::KeyTrail trail;  // the last presses, for the failure message
  int saves = 0;
  for (int i = 0; i < kSteps; i++) {
    std::string what = step(rng);
    // A question or a dialogue is answered with Esc.
    for (int esc = 0; esc < 3 && V->inputMode != ModeEdit; esc++) HandleKey(V, 27, 9, 0);
    if (ed.cur() && ed.cur()->modified && rng() % 600 == 0) {
      const std::string err = save(++saves % 8 == 0);
      ASSERT_EQ(err, "") << "step " << i;
      what += " / saved";
    }
    if (!what.empty()) {
      trail.add(what, ed.lineNo(), ed.col());
    }
    const std::string err = check();
    if (!err.empty()) {
      FAIL() << "seed " << GetParam() << " step " << i << ": " << err << trail.str();
    }
  }
  EXPECT_GT(saves, 10);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomKeys, ::testing::Values(11u, 2024u, 777u, 31337u));

}  // namespace
