// Runs the key-driven scenarios of tests/scenarios/<area>/*.txt.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/key_edit.h"
#include "core/file_io.h"
#include "display/paint.h"
#include "display/paint_recorder.h"
#include "display/xlib.h"
#include "edit/clipboard.h"
#include "edit/movement.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "shell/main_menu.h"
#include "shell/mouse.h"
#include "shell/text_list.h"
#include "print/print_settings.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"
#include "tools/char_chart.h"

namespace {

namespace fs = std::filesystem;

struct Check {
  bool set = false;
  std::string value;
};

// Keys and the checks made after them.  A keys: line that follows checks
// begins the next step, so a scenario can check what each part of it did.
struct Step {
  std::vector<std::string> keyLines;
  bool linesGiven = false;
  std::vector<std::string> lines;
  bool fileGiven = false;
  std::vector<std::string> saved;
  Check cursor, alert, modified, mode, quit, tabsOut, block, current;
  Check hilite, prompt;  // highlighted characters and first column shown; the prompt line
  Check menu, split;  // the open menu or text list; the split layout
  std::vector<std::pair<std::string, std::vector<std::string>>> linesOf;  // other texts by name
  // The views: the chain, each view's geometry, painted rows, the title.
  Check chain, title;
  Check print;  // the nine print settings
  std::vector<std::string> views;  // "N leftX rightX cols statusY headY textY rows bottomY"
  std::vector<std::pair<std::string, std::vector<std::string>>> shown;  // "N R" and the row
  // What a selection offers: "clipboard" or "primary" ("none" after it: nothing).
  std::vector<std::pair<std::string, std::vector<std::string>>> offered;
  std::vector<std::pair<std::string, std::vector<std::string>>> pairs;  // "N R" and its colour runs
  std::vector<std::string> marks;  // "name flags": a text's comparison marks, a letter per line
  Check chart;                     // the character chart: "closed", or its page and picks
  bool hasChecks() const {
    return linesGiven || fileGiven || cursor.set || alert.set || modified.set || mode.set || quit.set || tabsOut.set ||
           block.set || current.set || !linesOf.empty() || hilite.set || prompt.set || menu.set || split.set ||
           chain.set || title.set || !views.empty() || !shown.empty() || !pairs.empty() || !marks.empty() ||
           chart.set || !offered.empty() || print.set;
  }
};

struct Scenario {
  std::string file, title;
  int line = 0;  // where it begins in the file
  std::vector<std::string> text{""};
  bool textGiven = false;
  bool lastEnd = true;  // whether the starting text's file ends its last line
  std::string diskName;   // a file put in the scenario's folder first
  int diskRepeat = 1;     // its lines, this many times over
  std::vector<std::string> disk;
  int memory = -1;        // arena blocks allowed beyond those held; -1 no limit
  std::string name = "test.txt";
  int atLine = 0, atCol = 0;
  std::vector<Step> steps{1};
  bool undoAll = false;
  // Further texts opened after the first, in ring order; the first stays current.
  std::vector<std::pair<std::string, std::vector<std::string>>> also;
};

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::vector<Scenario> parse(const fs::path& path) {
  std::vector<Scenario> out;
  std::ifstream in(path);
  std::string raw;
  std::vector<std::string>* block = nullptr;  // where "|" lines go
  int n = 0;
  while (std::getline(in, raw)) {
    n++;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string l = trim(raw);
    if (l.empty() || l[0] == '#') continue;
    if (l.rfind("==", 0) == 0) {
      out.emplace_back();
      out.back().file = path.string();
      out.back().title = trim(l.substr(2));
      out.back().line = n;
      block = nullptr;
      continue;
    }
    if (out.empty()) throw std::runtime_error(path.string() + ":" + std::to_string(n) + ": text before the first ==");
    Scenario& sc = out.back();
    Step& s = sc.steps.back();
    if (l[0] == '|') {
      if (!block) throw std::runtime_error(path.string() + ":" + std::to_string(n) + ": '|' outside text: or lines:");
      size_t bar = raw.find('|');
      std::string content = raw.substr(bar + 1);
      if (!content.empty() && content[0] == ' ') content.erase(0, 1);
      block->push_back(content);
      continue;
    }
    size_t colon = l.find(':');
    std::string key = l.substr(0, colon), value = colon == std::string::npos ? "" : trim(l.substr(colon + 1));
    block = nullptr;
    if (key == "text") {
      sc.text.clear();
      sc.textGiven = true;
      block = &sc.text;
    } else if (key == "lines") {
      s.linesGiven = true;
      block = &s.lines;
    } else if (key == "file") {
      s.fileGiven = true;
      block = &s.saved;
    } else if (key == "tabsout") {
      s.tabsOut = {true, value};
    } else if (key == "disk") {
      std::istringstream in(value);
      in >> sc.diskName >> sc.diskRepeat;
      if (sc.diskRepeat < 1) sc.diskRepeat = 1;
      block = &sc.disk;
    } else if (key == "memory") {
      sc.memory = std::stoi(value);
    } else if (key == "lastend") {
      sc.lastEnd = value != "no";
    } else if (key == "name") {
      sc.name = value;
    } else if (key == "at") {
      std::istringstream(value) >> sc.atLine >> sc.atCol;
    } else if (key == "keys") {
      if (s.hasChecks()) sc.steps.emplace_back();
      sc.steps.back().keyLines.push_back(value);
    } else if (key == "cursor") {
      s.cursor = {true, value};
    } else if (key == "block") {
      s.block = {true, value};
    } else if (key == "alert") {
      s.alert = {true, value};
    } else if (key == "modified") {
      s.modified = {true, value};
    } else if (key == "mode") {
      s.mode = {true, value};
    } else if (key == "hilite") {
      s.hilite = {true, value};
    } else if (key == "prompt") {
      s.prompt = {true, value};
    } else if (key == "undo") {
      sc.undoAll = value == "all";
    } else if (key == "quit") {
      s.quit = {true, value};
    } else if (key == "also") {
      sc.also.push_back({value, {}});
      block = &sc.also.back().second;
    } else if (key == "current") {
      s.current = {true, value};
    } else if (key == "menu") {
      s.menu = {true, value};
    } else if (key == "split") {
      s.split = {true, value};
    } else if (key == "linesof") {
      s.linesOf.push_back({value, {}});
      block = &s.linesOf.back().second;
    } else if (key == "chain") {
      s.chain = {true, value};
    } else if (key == "title") {
      s.title = {true, value};
    } else if (key == "print") {
      s.print = {true, value};
    } else if (key == "view") {
      s.views.push_back(value);
    } else if (key == "marks") {
      s.marks.push_back(value);
    } else if (key == "chart") {
      s.chart = {true, value};
    } else if (key == "row") {
      s.shown.push_back({value, {}});
      block = &s.shown.back().second;
    } else if (key == "pairs") {
      s.pairs.push_back({value, {}});
      block = &s.pairs.back().second;
    } else if (key == "offered") {
      s.offered.push_back({value, {}});
      block = &s.offered.back().second;
    } else {
      throw std::runtime_error(path.string() + ":" + std::to_string(n) + ": unknown line '" + key + "'");
    }
  }
  return out;
}

// Splits a keys: line into names and quoted texts (kept with their quotes).
std::vector<std::string> tokens(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == ' ' || s[i] == '\t') {
      i++;
    } else if (s[i] == '"') {
      std::string t = "\"";
      for (i++; i < s.size() && s[i] != '"'; i++) {
        if (s[i] == '\\' && i + 1 < s.size()) {
          i++;
          t += s[i] == 't' ? '\t' : s[i] == 'r' ? '\r' : s[i] == 'n' ? '\n' : s[i];
        } else {
          t += s[i];
        }
      }
      i++;
      out.push_back(t);
    } else {
      size_t e = s.find_first_of(" \t", i);
      if (e == std::string::npos) e = s.size();
      out.push_back(s.substr(i, e - i));
      i = e;
    }
  }
  return out;
}

// What the input method gives for an unbound key of the PC layout: Esc,
// space, Tab, keypad Enter, letters and digits; Ctrl with a letter gives its
// control character.  -1 for a key that makes no text (a modifier).
int inputMethodChar(int keycode, unsigned state) {
  static constexpr const char* kRows[][2] = {{"1234567890", "!\"#$%&/()="}};
  if (keycode == 9) return 27;
  if (keycode == 65) return ' ';
  if (keycode == 23) return '\t';
  if (keycode == 36 || keycode == 104) return '\r';
  if (keycode >= 10 && keycode <= 19) return kRows[0][state & XSTATE_SHIFT ? 1 : 0][keycode - 10];
  static constexpr struct {
    int first;
    const char* letters;
  } kLetters[] = {{24, "qwertyuiop"}, {38, "asdfghjkl"}, {52, "zxcvbnm"}};
  for (auto& row : kLetters) {
    int i = keycode - row.first;
    if (i >= 0 && i < int(std::strlen(row.letters))) {
      char c = row.letters[i];
      if (state & XSTATE_CTRL) return c & 0x1f;
      return state & XSTATE_SHIFT ? std::toupper(c) : c;
    }
  }
  return -1;
}

// One key press as the event loop handles it.  "<N>" presses the key of
// keycode N with no modifier (a modifier key itself, keypad Enter).
void press(EditorState* V, const std::string& name) {
  int keycode;
  unsigned state = 0;
  if (name.size() > 2 && name.front() == '<' && name.back() == '>') {
    keycode = std::stoi(name.substr(1, name.size() - 2));
  } else {
    ASSERT_TRUE(ParseKeyName(name.c_str(), &keycode, &state)) << "unknown key name " << name;
  }
  bool unknown = false;
  PressKey(V, unsigned(keycode), state, [&] {
    const int c = inputMethodChar(keycode, state);
    unknown = c < 0 && !IsModifierKeycode(unsigned(keycode));
    return c;
  });
  ASSERT_FALSE(unknown) << "key " << name << " has no binding and types nothing known: write it as \"text\"";
}

// "{Name}" runs the command of that name as a key bound to it would.
// "{HSplit=N}", "{VSplit=N}", "{ClearSplit=N}", "{OpenDup=N}", "{SelectView=N}"
// call the view routines the text list calls, for the text shown as N;
// "{Window=WxH}" resizes the window (cells stay 8 x 16).
void runViewCall(EditorState* V, const std::string& name, const std::string& arg) {
  if (name == "Window") {
    const size_t x = arg.find('x');
    SetMetrics(V, std::stoi(arg.substr(0, x)), std::stoi(arg.substr(x + 1)), 16, 8, 12);
    PrepareView(V);
    return;
  }
  const int n = std::stoi(arg) - 1;
  if (name == "HSplit")
    HSplit(V, n);
  else if (name == "VSplit")
    VSplit(V, n);
  else if (name == "ClearSplit")
    ClearSplit(V, n);
  else if (name == "OpenDup")
    OpenDup(V, n);
  else if (name == "SelectView")
    SelectView(V, n);
  else
    FAIL() << "unknown view call " << name;
}

// A press of the left button at (x, y) of the character chart's window.
void chartClick(EditorState* V, const std::string& arg) {
  const size_t comma = arg.find(',');
  XEvent ev{};
  ev.xbutton.type = ButtonPress;
  ev.xbutton.window = ChartWindow();
  ev.xbutton.button = Button1;
  ev.xbutton.x = std::stoi(arg.substr(0, comma));
  ev.xbutton.y = std::stoi(arg.substr(comma + 1));
  ClickIt(V, &ev);
}

void runCommand(EditorState* V, const std::string& tok) {
  if (tok.rfind("{ChartClick=", 0) == 0) {
    chartClick(V, tok.substr(12, tok.size() - 13));
    return;
  }
  if (const size_t eq = tok.find('='); eq != std::string::npos) {
    runViewCall(V, tok.substr(1, eq - 1), tok.substr(eq + 1, tok.size() - eq - 2));
    return;
  }
  const int n = FindCommand(tok.substr(1, tok.size() - 2));
  ASSERT_TRUE(tok.back() == '}' && n >= 0) << "unknown command " << tok;
  HandleKey(V, CMD_BASE + n, 0, 0);
}

void typeText(EditorState* V, const std::string& utf) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf.data());
  for (size_t i = 0; i < utf.size();) {
    int len;
    tchar c = uni8(p + i, int(utf.size() - i), &len);
    i += size_t(len);
    if (V->twoKeyPending) {
      // The key after a sequence's first key goes through the table, as the
      // event loop does with every key.
      char name[2] = {char(c < 0x80 ? std::toupper(int(c)) : '?'), 0};
      int keycode;
      unsigned state;
      int r = ParseKeyName(name, &keycode, &state) ? KeyConv(unsigned(keycode), state, &V->twoKeyPending) : -2;
      if (r > 255) HandleKey(V, r + 0x40000000, unsigned(keycode), state);
      V->twoKeyPending = 0;
      continue;
    }
    HandleKey(V, int(c), 0, 0);
  }
}

void placeCursor(EditorState* V, int line, int col) {
  ALineSet(V, line);
  Tcb* t = V->curTcb;
  t->col = col;
  t->row = std::min(t->lineNo - 1, t->rows - 1);
  inView(V);
}

// "closed", "list <highlighted entry> of <entries>", "main <menu> <item>"
// (with "on" or "off", the check mark of a switch) or "popup".
std::string menuState(EditorState* V) {
  if (TextListOpen())
    return "list " + std::to_string(TextListSelected() + 1) + " of " + std::to_string(TextListCount());
  if (MenuIsPopup()) return "popup";
  if (MenuOpen()) {
    const int mark = MenuSwitchMark(V->menuItem);
    return "main " + std::to_string(V->menuIndex) + " " + std::to_string(V->menuItem) +
           (mark < 0 ? "" : mark ? " on" : " off");
  }
  return "closed";
}

// "single" or "split", then every text in the split layout in ring order:
// its name and h (stacked), l or r (left or right of a pair).
std::string splitState(EditorState* V) {
  std::string s = V->singleView ? "single" : "split";
  Tcb* t = V->tcbRing;
  do {
    if (t->base && (t->hsplit || t->vsplitRight || t->vsplitLeft))
      s += std::string(" ") + t->fileName + "=" + (t->vsplitRight ? "l" : t->vsplitLeft ? "r" : "h");
    t = t->next;
  } while (t != V->tcbRing);
  return s;
}

// "none", or the block's start line and column, end line and column and
// kind, with "elsewhere" when it lies in another text than the current one.
std::string blockState(EditorState* V) {
  const BlockRecord& b = V->blk;
  if (!b.blkTcb) return "none";
  std::string s = std::to_string(b.startLine) + " " + std::to_string(b.startCol) + " " + std::to_string(b.endLine) +
                  " " + std::to_string(b.endCol) + (b.isColumn ? " column" : " line");
  return b.blkTcb == V->curTcb ? s : s + " elsewhere";
}

// "closed", or the chart's page in hex and, after a blank, its picks.
std::string chartState() {
  if (!ChartOpen()) return "closed";
  char page[16];
  std::snprintf(page, sizeof page, "%x", ChartPage());
  int n = 0;
  const tchar* picks = ChartPicks(&n);
  std::string s = page;
  if (n) s += ' ';
  for (int i = 0; i < n; i++) {
    uint8_t b[4];
    s.append(reinterpret_cast<char*>(b), size_t(utf8(b, 0, picks[i])));
  }
  return s;
}

// The name of an open text, a blank and a letter per line: '.' unmarked,
// 'd' changed, 'f' filler, 'b' both.
std::string marksOf(EditorState* V, const std::string& name) {
  Tcb* t = V->tcbRing;
  do {
    if (t->base && name == t->fileName) break;
    t = t->next;
  } while (t != V->tcbRing);
  if (!t->base || name != t->fileName) return "no open text " + name;
  std::string s = name + " ";
  for (const Link* l = t->base->next(); !IsBase(l); l = l->next()) {
    const bool d = l->word & LINK_DIFF_A, f = l->word & LINK_DIFF_B;
    s += d && f ? 'b' : d ? 'd' : f ? 'f' : '.';
  }
  return s;
}

std::string joinLines(const std::vector<std::string>& v) {
  std::string s;
  for (auto& l : v) s += l + "\n";
  return s;
}

std::vector<std::string> trimmed(std::vector<std::string> v) {
  for (auto& l : v) l.erase(l.find_last_not_of(' ') + 1);
  return v;
}

class ScenarioTest : public ::testing::Test {
 public:
  explicit ScenarioTest(Scenario s) : s_(std::move(s)) {}
  void TestBody() override {
    SCOPED_TRACE(s_.file + ":" + std::to_string(s_.line) + ": " + s_.title);
    vt::Editor e;
    EditorState* V = e.V();
    // Keys a scenario assigned in the key dialogue stay with it.
    ResetKeyTable();
    getPrintDef();  // the print settings a scenario changed stay with it
    // The title the window would get at each change.
    static std::string* titleSink;
    titleSink = &title_;
    // Without the folder, which is the test's own.
    V->updateTitle = [](EditorState* v) {
      std::string t = BuildTitle(v, 0);
      const size_t slash = t.rfind('/');
      *titleSink = "Vexor - " + t.substr(slash == std::string::npos ? 8 : slash + 1);
    };
    if (s_.textGiven) {
      std::string bytes;
      for (size_t i = 0; i < s_.text.size(); i++) bytes += s_.text[i] + "\n";
      if (!s_.lastEnd && !bytes.empty()) bytes.pop_back();
      e.open(bytes, s_.name.c_str());
    }
    if (!s_.also.empty()) {
      if (!s_.textGiven) e.open("", s_.name.c_str());
      Tcb* first = V->curTcb;
      for (auto& [name, text] : s_.also) e.open(joinLines(text), name.c_str());
      SelectView(V, first->number);
    }
    vt::TempDir folder;
    if (!s_.diskName.empty()) {
      // Names typed at questions are found in the scenario's own folder.
      CopyCut(V->curDir, sizeof V->curDir, folder.path().c_str());
      std::string bytes;
      for (int r = 0; r < s_.diskRepeat; r++) bytes += joinLines(s_.disk);
      vt::WriteFile(folder.file(s_.diskName), bytes);
    }
    if (s_.memory >= 0) V->memBlockLimit = V->memBlocks + s_.memory;
    if (s_.atLine > 0) placeCursor(V, s_.atLine, s_.atCol);
    V->alertText[0] = 0;
    const std::vector<std::string> start = e.lines();
    const std::string startBytes = s_.undoAll ? savedBytes(e) : "";
    for (auto& step : s_.steps) {
      runStep(e, step);
      if (HasFatalFailure() || !V->curTcb) return;
    }
    if (s_.undoAll) undoAndRedoAll(e, start, startBytes);
  }

  void runStep(vt::Editor& e, const Step& st) {
    EditorState* V = e.V();
    for (auto& line : st.keyLines) {
      for (auto& tok : tokens(line)) {
        if (tok[0] == '"')
          typeText(V, tok.substr(1));
        else if (tok[0] == '{')
          runCommand(V, tok);
        else
          press(V, tok);
        if (HasFatalFailure()) return;
        if (!V->curTcb) break;
      }
    }
    if (st.quit.set) {
      EXPECT_EQ(V->quit ? "yes" : "no", st.quit.value);
    }
    if (st.mode.set) {
      EXPECT_EQ(std::to_string(V->inputMode), st.mode.value);
    }
    if (st.alert.set) {
      // The file's values lose their trailing blanks; so does the alert here.
      EXPECT_EQ(trim(V->alertText), st.alert.value);
    }
    if (st.hilite.set && V->curTcb) {
      EXPECT_EQ(std::to_string(V->hiliteLen) + " " + std::to_string(V->curTcb->leftCol), st.hilite.value);
    }
    if (st.prompt.set) {
      std::string shown;
      for (int i = 0; V->promptLine[i]; i++) {
        uint8_t b[4];
        shown.append(reinterpret_cast<char*>(b), size_t(utf8(b, 0, V->promptLine[i])));
      }
      while (!shown.empty() && shown.back() == ' ') shown.pop_back();
      EXPECT_EQ(shown, st.prompt.value);
    }
    if (st.menu.set) {
      EXPECT_EQ(menuState(V), st.menu.value);
    }
    if (st.chart.set) {
      EXPECT_EQ(chartState(), st.chart.value);
    }
    if (st.print.set) {
      std::string values;
      for (uint8_t v : printVal) values += (values.empty() ? "" : " ") + std::to_string(v);
      EXPECT_EQ(values, st.print.value);
    }
    if (st.split.set && V->curTcb) {
      EXPECT_EQ(splitState(V), st.split.value);
    }
    for (auto& [which, lines] : st.offered) {
      const ClipText text = ClipOffer(which.rfind("primary", 0) == 0 ? kSelPrimary : kSelClipboard);
      if (which.find("none") != std::string::npos) {
        EXPECT_EQ(text, nullptr) << which << " offers " << *text;
      } else {
        ASSERT_NE(text, nullptr) << which << " offers nothing";
        std::string want;
        for (size_t i = 0; i < lines.size(); i++) want += (i ? "\n" : "") + lines[i];
        EXPECT_EQ(*text, want) << "offered on " << which;
      }
    }
    if (!V->curTcb) {
      EXPECT_FALSE(st.linesGiven || st.cursor.set || st.modified.set) << "no text is left to check";
      return;
    }
    if (st.linesGiven) {
      EXPECT_EQ(joinLines(e.lines()), joinLines(st.lines));
    }
    if (st.cursor.set) {
      EXPECT_EQ(std::to_string(e.lineNo()) + " " + std::to_string(e.col()), st.cursor.value);
    }
    if (st.modified.set) {
      EXPECT_EQ(e.modified() ? "yes" : "no", st.modified.value);
    }
    if (st.block.set) {
      EXPECT_EQ(blockState(V), st.block.value);
    }
    if (st.tabsOut.set) {
      EXPECT_EQ(V->curTcb->mode & MODE_TABSOUT ? "yes" : "no", st.tabsOut.value);
    }
    if (st.current.set) {
      EXPECT_EQ(std::string(V->curTcb->fileName), st.current.value);
    }
    for (auto& [name, lines] : st.linesOf) checkLinesOf(e, name, lines);
    for (auto& want : st.marks) EXPECT_EQ(marksOf(V, want.substr(0, want.find(' '))), want) << "marks";
    checkViews(e, st);
    EXPECT_EQ(vt::CheckList(V->curTcb->base), "");
    if (st.fileGiven) checkSaved(e, st);
  }

  // ^Z until "NO Undo" gives back the text as it began, byte for byte when
  // saved; WnZ until "NO Redo" the text as the keys left it.
  void undoAndRedoAll(vt::Editor& e, const std::vector<std::string>& start, const std::string& startBytes) {
    EditorState* V = e.V();
    const std::vector<std::string> edited = e.lines();
    int presses = 0;
    for (; presses < 100000 && std::string(V->alertText) != "NO Undo"; presses++) {
      V->alertText[0] = 0;
      press(V, "^Z");
    }
    ASSERT_EQ(std::string(V->alertText), "NO Undo");
    // Blanks padded on past a line's end are not part of it (the saved
    // bytes below are the exact check).
    EXPECT_EQ(joinLines(trimmed(e.lines())), joinLines(trimmed(start))) << "after " << presses << " presses of Undo";
    EXPECT_EQ(savedBytes(e), startBytes) << "saved after undoing everything";
    EXPECT_EQ(vt::CheckList(V->curTcb->base), "");
    for (presses = 0; presses < 100000 && std::string(V->alertText) != "NO Redo"; presses++) {
      V->alertText[0] = 0;
      press(V, "WnZ");
    }
    ASSERT_EQ(std::string(V->alertText), "NO Redo");
    EXPECT_EQ(joinLines(trimmed(e.lines())), joinLines(trimmed(edited))) << "after " << presses << " presses of Redo";
    EXPECT_EQ(vt::CheckList(V->curTcb->base), "");
  }

  // The lines of the open text called `name`, looked at as the current text
  // and then the current text put back.
  void checkLinesOf(vt::Editor& e, const std::string& name, const std::vector<std::string>& want) {
    EditorState* V = e.V();
    Tcb* keep = V->curTcb;
    Tcb* t = keep;
    do {
      if (t->base && name == t->fileName) break;
      t = t->next;
    } while (t != keep);
    ASSERT_EQ(std::string(t->fileName), name) << "no open text of that name";
    const int keepSingle = V->singleView;
    SelectView(V, t->number);
    std::vector<std::string> got = e.lines();
    SelectView(V, keep->number);
    V->singleView = keepSingle;
    EXPECT_EQ(joinLines(got), joinLines(want)) << "lines of " << name;
  }

  void checkViews(vt::Editor& e, const Step& st) {
    EditorState* V = e.V();
    if (st.chain.set) {
      std::string got;
      if (V->singleView) got = "single";
      for (Tcb* t = V->singleView ? nullptr : V->viewChain; t; t = t->viewNext)
        got += (got.empty() ? "" : " ") + std::to_string(t->number + 1);
      EXPECT_EQ(got, st.chain.value);
    }
    if (st.title.set) {
      EXPECT_EQ(title_, st.title.value);
    }
    for (auto& want : st.views) {
      Tcb* t = FindTcb(V, std::stoi(want) - 1);
      ASSERT_NE(t, nullptr) << "no open text " << want;
      const std::string got = std::to_string(t->number + 1) + " " + std::to_string(t->leftX) + " " +
                              std::to_string(t->rightX) + " " + std::to_string(t->cols) + " " +
                              std::to_string(t->statusY) + " " + std::to_string(t->headY) + " " +
                              std::to_string(t->textY) + " " + std::to_string(t->rows) + " " +
                              std::to_string(t->bottomY);
      EXPECT_EQ(got, want) << "view: N leftX rightX cols statusY headY textY rows bottomY";
    }
    if (st.shown.empty() && st.pairs.empty()) return;
    PaintRecorder rec;
    V->redraw |= REDRAW_ALL;
    redraw(V);
    for (auto& [where, want] : st.shown) {
      int n = 0, row = 0;
      std::istringstream(where) >> n >> row;
      Tcb* t = FindTcb(V, n - 1);
      ASSERT_NE(t, nullptr) << "no open text " << n;
      EXPECT_EQ(rec.rowTrimmed(t, row), want.empty() ? "" : want[0]) << "row " << where;
    }
    for (auto& [where, want] : st.pairs) {
      int n = 0, row = 0;
      std::istringstream(where) >> n >> row;
      Tcb* t = FindTcb(V, n - 1);
      ASSERT_NE(t, nullptr) << "no open text " << n;
      int cells = 0;  // one per UTF-8 lead byte
      for (unsigned char b : rec.rowTrimmed(t, row)) cells += (b & 0xC0) != 0x80;
      EXPECT_EQ(pairRuns(rec, t, row, cells), want.empty() ? "" : want[0])
          << "pairs " << where;
    }
  }

  // The colour pairs of a row's first `cells` cells as "pair*count" runs.
  static std::string pairRuns(const PaintRecorder& rec, const Tcb* t, int row, int cells) {
    std::string out;
    for (int c = 0; c < cells;) {
      const int pair = rec.pairAt(t, row, c);
      int n = 0;
      while (c < cells && rec.pairAt(t, row, c) == pair) ++c, ++n;
      out += (out.empty() ? "" : " ") + std::to_string(pair) + "*" + std::to_string(n);
    }
    return out;
  }

  std::string savedBytes(vt::Editor& e) {
    EditorState* V = e.V();
    vt::TempDir dir;
    char keep[kPathMax];
    CopyCut(keep, sizeof keep, V->curDir);
    CopyCut(V->curDir, sizeof V->curDir, dir.path().c_str());
    const int modified = V->curTcb->modified;
    std::string bytes = "(not saved)";
    if (AFlush(V) == 0 && PutFile(V, V->curTcb->base, "saved", V->curTcb->mode) == 0)
      bytes = vt::ReadFile(dir.file("saved"));
    V->curTcb->modified = modified;
    CopyCut(V->curDir, sizeof V->curDir, keep);
    V->alertText[0] = 0;
    return bytes;
  }

  // Saves the text as its mode says and compares the bytes; the saved file
  // must read back as the lines the text shows.
  void checkSaved(vt::Editor& e, const Step& st) {
    EditorState* V = e.V();
    vt::TempDir dir;
    CopyCut(V->curDir, sizeof V->curDir, dir.path().c_str());
    ASSERT_EQ(AFlush(V), 0);
    ASSERT_EQ(PutFile(V, V->curTcb->base, "saved", V->curTcb->mode), 0) << V->alertText;
    const std::string bytes = vt::ReadFile(dir.file("saved"));
    EXPECT_EQ(bytes, joinLines(st.saved));
    vt::Editor again;
    again.open(bytes, "saved", V->curTcb->mode & MODE_ENCODING);
    EXPECT_EQ(joinLines(again.lines()), joinLines(e.lines())) << "the saved file reads back otherwise";
  }

 private:
  Scenario s_;
  std::string title_;
};

void registerAll() {
  const char* root = std::getenv("VEXOR_SOURCE_DIR");
  fs::path dir = fs::path(root ? root : VEXOR_SOURCE_DIR) / "tests" / "scenarios";
  std::vector<fs::path> files;
  for (auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().extension() == ".txt") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (auto& f : files) {
    std::string area = f.parent_path().filename().string();
    std::string stem = area + "_" + f.stem().string();
    for (auto& c : stem)
      if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    int i = 0;
    for (auto& s : parse(f)) {
      std::string name = stem + "_" + std::to_string(++i);
      ::testing::RegisterTest("Scenario", name.c_str(), nullptr, s.title.c_str(), s.file.c_str(), s.line,
                              [s]() -> ::testing::Test* { return new ScenarioTest(s); });
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  try {
    registerAll();
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "scenario files: %s\n", ex.what());
    return 1;
  }
  return RUN_ALL_TESTS();
}
