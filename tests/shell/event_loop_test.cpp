// The entry point's logic that does not need a display: options, the title,
// the key-repeat rule, event routing, key dispatch by mode, closing all texts.
#include "shell/event_loop.h"

#include <gtest/gtest.h>

#include "display/xlib.h"

#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "display/screen.h"
#include "shell/commands.h"
#include "shell/wm_hints.h"
#include "tests/support/headless.h"

namespace {

// Options point into the argument vector, so the arguments are kept for the
// whole run, as main's are.
Options Parse(std::vector<std::string> args) {
  static std::list<std::vector<std::string>> kept;
  args.insert(args.begin(), "vexor");
  std::vector<std::string>& stored = kept.emplace_back(std::move(args));
  std::vector<char*> argv;
  for (auto& a : stored) argv.push_back(a.data());
  return ParseOptions(int(argv.size()), argv.data());
}

std::vector<std::string> Files(const Options& o) { return {o.files.begin(), o.files.end()}; }

TEST(Options, FilesKeepTheirOrderAndUnknownOptionsAreReported) {
  Options o = Parse({"a.txt", "-x", "b.txt", "--foo"});
  EXPECT_EQ(Files(o), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_STREQ(o.unknown, "-x") << "the first one is named";
  EXPECT_EQ(o.optDefaults, 0);
  EXPECT_EQ(o.optNoFonts, 0);
  EXPECT_FALSE(o.help);
  EXPECT_FALSE(o.version);
  for (const char* bad : {"-h", "--foo", "--d", "-", "--helpme"}) EXPECT_STREQ(Parse({bad}).unknown, bad);
  EXPECT_EQ(Parse({"a", "-d", "-f"}).unknown, nullptr);
  // After "--" a name that begins with '-' is a file.
  Options files = Parse({"-d", "--", "-x.txt", "--help"});
  EXPECT_EQ(files.unknown, nullptr);
  EXPECT_FALSE(files.help);
  EXPECT_EQ(Files(files), (std::vector<std::string>{"-x.txt", "--help"}));
}

TEST(Options, OnlyTheSecondCharacterNamesTheOption) {
  EXPECT_EQ(Parse({"-dq"}).optDefaults, 1);
  EXPECT_EQ(Parse({"-d"}).optDefaults, 1);
  EXPECT_EQ(Parse({"-f"}).optNoFonts, 1);
  EXPECT_EQ(Parse({"-fd"}).optDefaults, 0);
  Options dd = Parse({"--d", "--f"});
  EXPECT_EQ(dd.optDefaults, 0);
  EXPECT_EQ(dd.optNoFonts, 0);
  EXPECT_TRUE(dd.files.empty());
  Options both = Parse({"-f", "x", "-d"});
  EXPECT_EQ(both.optDefaults, 1);
  EXPECT_EQ(both.optNoFonts, 1);
  EXPECT_EQ(Files(both), std::vector<std::string>{"x"});
}

TEST(Options, HelpAndVersionOnlyWhole) {
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"a", "--version"}).version);
  EXPECT_FALSE(Parse({"--helpme"}).help);
  EXPECT_FALSE(Parse({"--versions"}).version);
  EXPECT_EQ(Parse({"--help"}).optDefaults, 0);
}

TEST(Options, GeometryInEveryFormAndRefusedWhenMalformed) {
  Options o = Parse({"-geometry", "640x480+33+44", "a"});
  EXPECT_STREQ(o.geometry, "640x480+33+44");
  EXPECT_TRUE(o.badGeometry.empty());
  EXPECT_EQ(Files(o), std::vector<std::string>{"a"}) << "the value is no file";
  EXPECT_STREQ(Parse({"--geometry", "-0-0"}).geometry, "-0-0") << "a value may begin with '-'";
  EXPECT_STREQ(Parse({"--geometry=+10+20"}).geometry, "+10+20");
  EXPECT_STREQ(Parse({"-geometry", "x480"}).geometry, "x480") << "the height alone";
  EXPECT_STREQ(Parse({"-geometry", "1x1", "-geometry", "90x80"}).geometry, "90x80");
  // Not taken for -d or -f, nor left as an unknown option.
  Options g = Parse({"-geometry", "=300x200"});
  EXPECT_EQ(g.optDefaults + g.optNoFonts, 0);
  EXPECT_EQ(g.unknown, nullptr);

  for (const char* bad : {"junk", "640x", "640x480+", "0x100", "100x0", "640x480junk",
                          "99999x100", ""}) {
    Options b = Parse({"-geometry", bad, "f"});
    EXPECT_EQ(b.geometry, nullptr) << bad;
    EXPECT_NE(b.badGeometry.find(std::string("'") + bad + "'"), std::string::npos)
        << bad << ": " << b.badGeometry;
  }
  EXPECT_FALSE(Parse({"--geometry=junk"}).badGeometry.empty());
  EXPECT_NE(Parse({"a", "-geometry"}).badGeometry.find("needs a value"), std::string::npos);
  EXPECT_FALSE(Parse({"--geometry="}).badGeometry.empty());
  // After "--" it is a file name like any other.
  Options files = Parse({"--", "-geometry", "junk"});
  EXPECT_EQ(files.geometry, nullptr);
  EXPECT_TRUE(files.badGeometry.empty());
  EXPECT_EQ(Files(files), (std::vector<std::string>{"-geometry", "junk"}));
}

class Title : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyCut(ed->curDir, sizeof ed->curDir, "/home/ann/work");
    ed->inputMode = ModeEdit;
  }
  Tcb* Open(const char* name, const char* dir) {
    Tcb* t = ed.open("x\n", name);
    CopyCut(t->dirName, sizeof t->dirName, dir);
    return t;
  }
  vt::Editor ed;
};

TEST_F(Title, DirectorySlashName) {
  Open("notes.txt", "/home/ann/docs");
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /home/ann/docs/notes.txt");
}

TEST_F(Title, CutAfterTheNamesCipherAtSign) {
  Open("secret.txt@@key@x", "/tmp");
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /tmp/secret.txt@");
  Open("plain.txt", "/mail@host/dir");
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /mail@host/dir/plain.txt");
}

TEST_F(Title, FileBrowserAndNoTextShowTheDirectory) {
  Open("notes.txt", "/home/ann/docs");
  ed->inputMode = ModeFileBrowser;
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /home/ann/work/");
  CopyCut(ed->curDir, sizeof ed->curDir, "/");
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /");
  ed->inputMode = ModeEdit;
  Tcb* none = nullptr;
  std::swap(ed->curTcb, none);
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /");
  std::swap(ed->curTcb, none);
}

TEST_F(Title, IconNameIsTheFileAloneOrTheProgram) {
  Open("notes.txt", "/home/ann/docs");
  EXPECT_EQ(BuildIconName(ed.V()), "notes.txt");
  Open("secret.txt@@key@x", "/mail@host");
  EXPECT_EQ(BuildIconName(ed.V()), "secret.txt@") << "the key never shows";
  ed->inputMode = ModeFileBrowser;
  EXPECT_EQ(BuildIconName(ed.V()), "vexor");
  ed->inputMode = ModeEdit;
  Open("", "/home/ann");
  EXPECT_EQ(BuildIconName(ed.V()), "vexor") << "the scratch text has no name";
  Tcb* none = nullptr;
  std::swap(ed->curTcb, none);
  EXPECT_EQ(BuildIconName(ed.V()), "vexor");
  std::swap(ed->curTcb, none);
}

TEST_F(Title, FileNamePromptShowsTheCurrentDirectory) {
  Open("notes.txt", "/home/ann/docs");
  EXPECT_EQ(BuildTitle(ed.V(), kFileNamePrompt), "Vexor - /home/ann/work/notes.txt");
  EXPECT_EQ(BuildTitle(ed.V(), 3), "Vexor - /home/ann/docs/notes.txt");
}

TEST_F(Title, RootDirectoryHasOneSlash) {
  Open("a.txt", "/");
  EXPECT_EQ(BuildTitle(ed.V(), 0), "Vexor - /a.txt");
}

TEST_F(Title, LongTitleIsCutOnACharacterBoundary) {
  std::string dir = "/";
  for (int i = 0; i < 120; i++) dir += "\xc3\xa9";  // é, two bytes each
  Open("n.txt", dir.c_str());
  std::string t = BuildTitle(ed.V(), 0);
  EXPECT_LE(t.size(), 255u);
  EXPECT_GE(t.size(), 254u);
  // The last byte must not open or continue a cut sequence.
  unsigned char last = static_cast<unsigned char>(t.back());
  EXPECT_TRUE(last == 0xa9 || last < 0x80) << int(last);
}

TEST(KeyRepeat, DropsThePressAtTheReleaseTimeOrOneLater) {
  EXPECT_TRUE(RepeatDropped(1000, 1000));
  EXPECT_TRUE(RepeatDropped(1001, 1000));
  EXPECT_FALSE(RepeatDropped(1002, 1000));
  EXPECT_FALSE(RepeatDropped(999, 1000));  // earlier than the release: a new press
  // The X server's clock wraps after 49 days.
  EXPECT_TRUE(RepeatDropped(0, 0xffffffffu));
  EXPECT_FALSE(RepeatDropped(1, 0xfffffffeu));
}

// Counts repaints and records what reached the mode handlers.
struct Recorder {
  static inline int paints = 0;
  static inline std::vector<int> codes;
  static inline std::vector<unsigned> keycodes;
  static inline std::vector<int> macroCodes;
  static void paint(EditorState*) { paints++; }
  static void key(EditorState*, int code, unsigned keycode, unsigned state) {
    codes.push_back(code);
    keycodes.push_back(keycode);
    keycodes.push_back(state);
  }
  static void macro(EditorState*, int code) { macroCodes.push_back(code); }
};

class Loop : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = loopHooks();
    savedS = S;
    loopHooks() = LoopHooks{};
    loopHooks().paint = Recorder::paint;
    Recorder::paints = 0;
    Recorder::codes.clear();
    Recorder::keycodes.clear();
    Recorder::macroCodes.clear();
    S.display = nullptr;
    S.window = 4242;
    S.width = 800;
    S.height = 600;
    ed->inputMode = ModeEdit;
    SetLoopX(nullptr, kDeleteAtom);
    unrepeatTime() = 0;
  }
  void TearDown() override {
    loopHooks() = saved;
    S = savedS;
    SetLoopX(nullptr, 0);
    unrepeatTime() = 0;
  }
  int Send(XEvent ev) { return HandleEvent(ed.V(), &ev); }
  static XEvent Of(int type) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = type;
    return ev;
  }
  XEvent Close(unsigned long atom = kDeleteAtom) {
    XEvent ev = Of(ClientMessage);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(atom);
    return ev;
  }

  static constexpr unsigned long kDeleteAtom = 321;
  vt::Editor ed;
  LoopHooks saved;
  Screen savedS;
};

TEST_F(Loop, KeyReleaseIsRememberedOnlyWithRepeatSuppressed) {
  XEvent up = Of(KeyRelease);
  up.xkey.time = 5000;
  ed->toggles &= ~TGL_NOREPEAT;
  EXPECT_EQ(Send(up), 0);
  EXPECT_EQ(unrepeatTime(), 0u);
  ed->toggles |= TGL_NOREPEAT;
  Send(up);
  EXPECT_EQ(unrepeatTime(), 5000u);
  EXPECT_EQ(Recorder::paints, 0);
}

TEST_F(Loop, AutoRepeatedPressIsDroppedWithoutRepaint) {
  unrepeatTime() = 7000;
  for (Time t : {7000ul, 7001ul}) {
    XEvent down = Of(KeyPress);
    down.xkey.time = t;
    down.xkey.keycode = 38;
    EXPECT_EQ(Send(down), 0);
  }
  EXPECT_EQ(Recorder::paints, 0);
  EXPECT_EQ(ed.line(1), "");
}

TEST_F(Loop, OnlyTheLastExposeOfASeriesRepaints) {
  XEvent ex = Of(Expose);
  ex.xexpose.count = 2;
  Send(ex);
  EXPECT_EQ(Recorder::paints, 0);
  ed->redraw = 0;
  ex.xexpose.count = 0;
  Send(ex);
  EXPECT_EQ(Recorder::paints, 1);
  EXPECT_TRUE(ed->redraw & REDRAW_ALL);
}

TEST_F(Loop, MapRepaintsAndLetsPopupsRepaint) {
  static int popups = 0;
  popups = 0;
  loopHooks().repaintPopups = [](EditorState*) { popups++; };
  Send(Of(MapNotify));
  EXPECT_EQ(Recorder::paints, 1);
  EXPECT_EQ(popups, 1);
}

TEST_F(Loop, ResizeOnlyOnARealSizeChangeOfTheEditorWindow) {
  ed->winWidth = -1;
  XEvent c = Of(ConfigureNotify);
  c.xconfigure.window = S.window;
  c.xconfigure.width = 800;
  c.xconfigure.height = 600;
  Send(c);
  EXPECT_EQ(ed->winWidth, -1) << "same size: no Resize";
  c.xconfigure.window = S.window + 1;  // a pop-up
  c.xconfigure.width = 1024;
  Send(c);
  EXPECT_EQ(S.width, 800);
  c.xconfigure.window = S.window;
  c.xconfigure.height = 700;
  Send(c);
  EXPECT_EQ(S.width, 1024);
  EXPECT_EQ(S.height, 700);
  EXPECT_EQ(ed->winWidth, 1014);
  EXPECT_EQ(ed->fullHeight, 700);
  EXPECT_EQ(ed->winHeight, 680);
  EXPECT_EQ(Recorder::paints, 0) << "the Expose that follows repaints";
}

TEST_F(Loop, CloseRequestInEditModeClosesEveryTextAndQuits) {
  ed.open("one\n", "a.txt");
  ed.open("two\n", "b.txt");
  ed->aline.c[0] = 'X';  // an unsaved change: there is no way to ask yet
  ed->alineDirty = 1;
  EXPECT_EQ(Send(Close()), 1);
  EXPECT_EQ(ed->curTcb, nullptr);
  for (Tcb* t = ed->tcbRing;; t = t->next) {
    EXPECT_EQ(t->base, nullptr);
    if (t->next == ed->tcbRing) break;
  }
}

TEST_F(Loop, CloseRequestUsesTheHookedProcedure) {
  static int asked = 0;
  asked = 0;
  loopHooks().closeAll = [](EditorState*) { asked++; };
  EXPECT_EQ(Send(Close()), 0) << "nothing closed, nothing quit";
  EXPECT_EQ(asked, 1);
  EXPECT_NE(ed->curTcb, nullptr);
}

TEST_F(Loop, CloseRequestIsIgnoredWhileAPopupIsOpen) {
  ed->inputMode = ModeMenu;
  EXPECT_EQ(Send(Close()), 0);
  EXPECT_NE(ed->curTcb, nullptr);
  ed->inputMode = ModeKeyConfig;
  EXPECT_EQ(Send(Close()), 0);
  Tcb* keep = ed->curTcb;
  ed->curTcb = nullptr;
  EXPECT_EQ(Send(Close()), 1) << "no text left: nothing to protect";
  ed->inputMode = ModeEdit;
  EXPECT_EQ(Send(Close()), 1);
  ed->curTcb = keep;
}

TEST_F(Loop, OtherClientMessagesAreIgnored) {
  EXPECT_EQ(Send(Close(kDeleteAtom + 1)), 0);
  EXPECT_NE(ed->curTcb, nullptr);
}

TEST_F(Loop, FatalErrorEndsTheLoopAfterAnyEvent) {
  FatalError(ed.V());
  XEvent ex = Of(Expose);
  ex.xexpose.count = 1;
  EXPECT_EQ(Send(ex), 1);
}

TEST_F(Loop, OnlyTheEditorWindowDestroyedEndsTheLoopForARescue) {
  XEvent d = Of(DestroyNotify);
  d.xdestroywindow.window = S.window + 1;  // a pop-up of ours, closed
  EXPECT_EQ(Send(d), 0);
  EXPECT_EQ(LoopEndCause(), 0);
  d.xdestroywindow.window = S.window;
  EXPECT_EQ(Send(d), 1);
  EXPECT_EQ(LoopEndCause(), kLostWindow);
  EXPECT_EQ(S.window, 0u) << "nothing is drawn into the window gone";
  EXPECT_NE(ed->curTcb, nullptr) << "the texts stay for the rescue";
}

TEST_F(Loop, SelectionEventsGoToTheirOwners) {
  static int clears = 0, requests = 0, notifies = 0;
  clears = requests = notifies = 0;
  loopHooks().selClear = [](EditorState*, _XEvent*) { clears++; };
  loopHooks().selRequest = [](EditorState*, _XEvent*) { requests++; };
  loopHooks().selNotify = [](EditorState*, _XEvent*) { notifies++; };
  Send(Of(SelectionClear));
  Send(Of(SelectionRequest));
  EXPECT_EQ(Recorder::paints, 0);
  Send(Of(SelectionNotify));
  EXPECT_EQ(Recorder::paints, 1) << "a paste shows at once";
  EXPECT_EQ(clears + requests + notifies, 3);
}

TEST_F(Loop, MouseEventsGoToTheirOwnersWithoutRepaint) {
  static std::vector<int> seen;
  seen.clear();
  loopHooks().buttonPress = [](EditorState*, _XEvent* e) { seen.push_back(e->type); };
  loopHooks().buttonRelease = loopHooks().buttonPress;
  loopHooks().motion = loopHooks().buttonPress;
  Send(Of(ButtonPress));
  Send(Of(ButtonRelease));
  Send(Of(MotionNotify));
  EXPECT_EQ(seen, (std::vector<int>{ButtonPress, ButtonRelease, MotionNotify}));
  EXPECT_EQ(Recorder::paints, 0);
}

TEST_F(Loop, EventsWithoutOwnerAreHarmless) {
  for (int type : {ButtonPress, SelectionRequest, MapNotify, PropertyNotify, FocusIn})
    EXPECT_EQ(Send(Of(type)), 0);
}

TEST_F(Loop, TypedCharacterClearsAlertAndHighlightAndIsInserted) {
  SetAlert(ed.V(), "Not Found");
  ed->hiliteLen = 3;
  HandleKey(ed.V(), 'a', 38, 0);
  HandleKey(ed.V(), 0xe9, 0, 0);
  EXPECT_EQ(ed.alert(), "");
  EXPECT_EQ(ed->hiliteLen, 0);
  EXPECT_EQ(ed.line(1), "a\xc3\xa9");
  EXPECT_EQ(ed.col(), 2);
}

TEST_F(Loop, MacroRecorderSeesEveryEditCodeFirst) {
  loopHooks().macroKey = Recorder::macro;
  HandleKey(ed.V(), 'q', 0, 0);
  HandleKey(ed.V(), CMD_BASE + 0x2e9, 0, 0);  // F1 as a macro key: no command
  EXPECT_EQ(Recorder::macroCodes, (std::vector<int>{'q', CMD_BASE + 0x2e9}));
  EXPECT_EQ(ed.line(1), "q");
}

TEST_F(Loop, CommandCodeRunsTheCommand) {
  const uint32_t before = ed->toggles;
  HandleKey(ed.V(), CMD_BASE + cmd::ToggleInsert, 0, 0);
  EXPECT_EQ(ed->toggles ^ before, TGL_INSERT);
}

TEST_F(Loop, PromptGetsCommandsAsCodes) {
  loopHooks().keys[ModePrompt] = Recorder::key;
  ed->inputMode = ModePrompt;
  HandleKey(ed.V(), CMD_BASE + cmd::NewLine, 36, 0);
  HandleKey(ed.V(), 'y', 29, 0);
  EXPECT_EQ(Recorder::codes, (std::vector<int>{CMD_BASE + 34, 'y'}));
  EXPECT_EQ(ed.line(1), "") << "nothing typed into the text";
}

TEST_F(Loop, KeyConfigGetsRawKeysAndKeepsTheAlert) {
  loopHooks().keys[ModeKeyConfig] = Recorder::key;
  ed->inputMode = ModeKeyConfig;
  SetAlert(ed.V(), "Press key");
  HandleKey(ed.V(), 0, 67, 0x40);
  EXPECT_EQ(ed.alert(), "Press key");
  EXPECT_EQ(Recorder::keycodes, (std::vector<unsigned>{67, 0x40}));
}

TEST_F(Loop, ModesWithoutHandlerIgnoreKeys) {
  for (int mode : {3, 4, 7, 8, 13, ModeMenu, 0, 99}) {
    ed->inputMode = mode;
    HandleKey(ed.V(), 'z', 0, 0);
  }
  EXPECT_EQ(ed.line(1), "");
}

TEST(CloseAllTexts, ReleasesModifiedAndUnmodifiedAndQuits) {
  vt::Editor ed;
  ed.open("a\n", "a.txt");
  Tcb* b = ed.open("b\n", "b.txt");
  b->modified = 1;
  OpenDup(ed.V(), b->number);
  CloseAll(ed.V());
  EXPECT_EQ(ed->curTcb, nullptr);
  EXPECT_EQ(ed->quit, 1);
  EXPECT_EQ(ed->alineDirty, 0);
}

TEST(ResizeArithmetic, CellsFromTheWindowLessItsMargins) {
  vt::Editor ed;
  ResizeMetrics(ed.V(), 800, 600, 22, 11, 17, 24, 12);
  EXPECT_EQ(ed->statusHeight, 20);
  EXPECT_EQ(ed->fullHeight, 600);
  EXPECT_EQ(ed->winHeight, 580);
  EXPECT_EQ(ed->winWidth, 790);
  EXPECT_EQ(ed->lineHeight, 22);
  EXPECT_EQ(ed->charWidth, 11);
  EXPECT_EQ(ed->screenCols, 71);  // 790 / 11, rounded down
  EXPECT_EQ(ed->menuLineHeight, 24);
  EXPECT_EQ(ed->menuCharWidth, 12);
  EXPECT_EQ(ed->menuCols, 65);  // 790 / 12
}

TEST(ResizeArithmetic, DegenerateFontsAndTinyWindowsStillGiveACell) {
  vt::Editor ed;
  ResizeMetrics(ed.V(), 5, 10, 0, 0, 0, 0, 0);
  EXPECT_GE(ed->charWidth, 1);
  EXPECT_GE(ed->menuCharWidth, 1);
  EXPECT_GE(ed->screenCols, 1);
  EXPECT_GE(ed->menuCols, 1);
}

// The window manager offers base + k * inc: each such size must fill the
// text area with exactly k whole cells across and k whole rows below the
// two head lines, and the minimum must keep rows and columns to work in.
TEST(ResizeLayout, SizeHintStepsAreWholeCellsOfTheLayout) {
  for (const auto& [cw, lh] : {std::pair{8, 17}, {11, 22}, {1, 1}, {13, 31}}) {
    const SizeSteps s = WindowSizeSteps(cw, lh);
    EXPECT_EQ(s.incWidth, cw);
    EXPECT_EQ(s.incHeight, lh);
    for (int k = 1; k < 6; k++) {
      vt::Editor ed;
      ResizeMetrics(ed.V(), s.baseWidth + k * cw, s.baseHeight + k * lh, lh, cw, lh - 2, lh, cw);
      PrepareView(ed.V());
      EXPECT_EQ(ed->screenCols, k) << cw;
      EXPECT_EQ(ed->winWidth, k * cw) << "no pixel column left over";
      EXPECT_EQ(ed.cur()->rows, k) << lh;
      EXPECT_EQ(ed.cur()->bottomY, s.baseHeight + k * lh) << "no pixel row left over";
    }
    vt::Editor small;
    ResizeMetrics(small.V(), s.minWidth, s.minHeight, lh, cw, lh - 2, lh, cw);
    PrepareView(small.V());
    EXPECT_EQ(small.cur()->rows, kMinTextRows);
    EXPECT_EQ(small->screenCols, kMinColumns);
  }
}

TEST(ResizeLayout, ViewsFollowTheNewWidth) {
  vt::Editor ed;
  Screen s{};
  s.width = 410;
  s.height = 300;
  Resize(ed.V(), &s);  // no fonts loaded: one-pixel cells
  EXPECT_EQ(ed->winWidth, 400);
  EXPECT_EQ(ed.cur()->cols, ed->screenCols);
}

}  // namespace
