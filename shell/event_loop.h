// The program's one thread of control: start-up, the X event loop and the
// routing of every event to the part that owns it.
//
// Parts that own an input mode, the mouse, the selections or pop-up menus
// hook themselves in through LoopHooks; a mode without a handler ignores its
// keys.  The editing mode is handled here: macro recorder (when hooked),
// then TypeChar or DoCommand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EditorState;
struct Screen;
struct Tcb;
union _XEvent;
struct _XIC;
struct _XDisplay;

// Input modes (V->inputMode).
constexpr int ModeEdit = 1;
constexpr int ModePrompt = 2;
constexpr int ModeFileBrowser = 5;
constexpr int ModeMenu = 6;
constexpr int ModeTextList = 9;
constexpr int ModePrint = 10;
constexpr int ModeKeyConfig = 11;
constexpr int ModeColorConfig = 12;
constexpr int ModeChart = 14;
constexpr int ModeFontConfig = 15;
constexpr int ModeHelp = 16;
constexpr int ModePrintConfig = 17;
constexpr int kModeCount = 18;

// Prompt type of the file-name prompt, during which the title shows V->curDir.
constexpr int kFileNamePrompt = 4;

// Open flags of texts named on the command line and of the scratch text.
constexpr uint32_t kStartOpenFlags = 0x200;

// ---- Command line -------------------------------------------------------

struct Options {
  int optDefaults = 0;  // -d: ignore the configuration file
  int optNoFonts = 0;   // -f: ignore its font settings
  bool help = false;    // --help
  bool version = false; // --version
  const char* unknown = nullptr;   // the first option that is none of these
  const char* geometry = nullptr;  // -geometry / --geometry: WxH+X+Y as X programs take it
  std::string badGeometry;         // why the geometry was refused, empty when it was not
  std::vector<const char*> files;  // in argument order
};

// Every argument that begins with '-' is an option named by its second
// character (d or f; anything after it is ignored); "--help" and
// "--version" are recognised whole, and after "--" every argument is a file.
// "-geometry GEOM", "--geometry GEOM" and "--geometry=GEOM" take a size in
// pixels and a position; a malformed one is refused.
Options ParseOptions(int argc, char** argv);

// The program: start-up, the loop, shutdown.  Returns main's exit status.
int RunVexor(int argc, char** argv);

// ---- Hooks for the parts that own modes and events -----------------------

// `code` is a character (below CMD_BASE) or CMD_BASE + command number;
// keycode and state are the raw X values, for the configuration dialogues.
using KeyHandler = void (*)(EditorState* V, int code, unsigned keycode, unsigned state);
using EventHandler = void (*)(EditorState* V, _XEvent* ev);

struct LoopHooks {
  KeyHandler keys[kModeCount] = {};    // by input mode; ModeEdit's is built in
  void (*macroKey)(EditorState* V, int code) = nullptr;  // sees every edit-mode code first
  EventHandler buttonPress = nullptr, buttonRelease = nullptr, motion = nullptr;
  EventHandler selClear = nullptr, selRequest = nullptr, selNotify = nullptr;
  EventHandler propertyNotify = nullptr;
  // Runs what is due (transfers given up); returns the milliseconds the
  // loop may wait before it is called again, -1 for as long as it likes.
  // Sets *changed when the screen needs a repaint.
  int (*timers)(EditorState* V, bool* changed) = nullptr;
  void (*repaintPopups)(EditorState* V) = nullptr;  // after MapNotify: open menus
  void (*closeAll)(EditorState* V) = nullptr;       // window closed; null: CloseAll
  int (*promptType)(EditorState* V) = nullptr;      // type of the open prompt, 0 none
  void (*paint)(EditorState* V) = nullptr;          // whole repaint; null: redraw
  // Opens the input method, put off until the window has been painted once;
  // runs before the first key press is looked up, whichever comes first.
  void (*openInput)() = nullptr;
  // Reads whole the texts opened with only their first page, right after
  // the first paint and before any event that could touch a text.
  void (*completeTexts)(EditorState* V) = nullptr;
  void (*paintAlert)(EditorState* V) = nullptr;     // alert line; null: ViewAlert
  // Expose of a window other than the editor's: true when a pop-up took it.
  bool (*popupExpose)(EditorState* V, _XEvent* ev) = nullptr;
};
LoopHooks& loopHooks();

// Set by the window code: the input context (null without an input method)
// and the WM_DELETE_WINDOW atom.
void SetLoopX(_XIC* ic, unsigned long wmDeleteAtom);
// The atoms SetTitle uses, asked together with others at start-up; a null
// display forgets them.
void SetTitleAtoms(_XDisplay* dpy, unsigned long utf8String, unsigned long netWmName,
                   unsigned long netWmIconName);

// ---- The loop -----------------------------------------------------------

// Runs until no text is left (and no prompt is open) or V->quit is set, or
// until a signal noted by the rescue part or the window destroyed by
// another client ends it (LoopEndCause).
void EventLoop(EditorState* V);
// The pipe the rescue part's signal handler writes to, watched beside the X
// connection (-1: none).
void SetSignalFd(int fd);
// Why the loop ended without the user choosing it: 0 when it did not, the
// signal number, or kLostWindow.
constexpr int kLostWindow = -1;
int LoopEndCause();

// One event; returns the loop's quit value for it.
int HandleEvent(EditorState* V, _XEvent* ev);

// Auto-repeat suppression: a press whose time is the last release's or one
// more is the repeat of a held key.
inline bool RepeatDropped(uint32_t time, uint32_t unrepeat) { return time - unrepeat <= 1; }
uint32_t& unrepeatTime();

// Key-press steps 3 and 4: clears the alert and hands the code to the mode.
void HandleKey(EditorState* V, int code, unsigned keycode, unsigned state);

// The input-method step of a key press: a code point, or -1.
int sysKey(EditorState* V, _XEvent* ev, int conv);

// Repaints the window from the editor state.
void Repaint(EditorState* V);
// Repaint and poll for long operations: 1 when a key press was waiting (it
// is consumed), else 0.
int redraw_();

// Releases every text, the current one first.  Until the prompt line can
// ask, a modified text is released too.  Sets V->quit when none is left.
void CloseAll(EditorState* V);

// ---- Title --------------------------------------------------------------

// "Vexor - " + the current text's directory, "/" and name (V->curDir during
// a file-name prompt); in the file browser or without a text, V->curDir and
// "/" when that is longer than one character.  The name is cut after its cipher '@'.
std::string BuildTitle(const EditorState* V, int promptType);
// The icon name: the current text's file name without its folder, cut after
// the cipher '@' as the title is; "vexor" without a named text and in the
// file browser.
std::string BuildIconName(const EditorState* V);
void SetTitle(EditorState* V);

// ---- Geometry -----------------------------------------------------------

// Window metrics from a window size, the text cell and the menu cell.
void ResizeMetrics(EditorState* V, int width, int height, int lineHeight, int charWidth,
                   int ascent, int menuLineHeight, int menuCharWidth);
// From S's size and the two fonts, then the view layout.
void Resize(EditorState* V, Screen* S);

// ---- Scrolling ----------------------------------------------------------

void scrolls(EditorState* V, int cmd);
void SyncroScroll(EditorState* V, int cmd);

void Unimp(EditorState* V);
