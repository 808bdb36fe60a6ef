// Start-up and shutdown: the editor state, the X window with its input
// method, the fonts, the texts named on the command line.
#include "display/xlib.h"
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "config/colors.h"
#include "config/config_file.h"
#include "config/fonts.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "core/rescue.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "print/print_settings.h"
#include "shell/event_loop.h"
#include "shell/handlers.h"
#include "shell/startup_clock.h"
#include "shell/wm_hints.h"

namespace {

// Property changes carry the pieces of large clipboard transfers.
constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            Button1MotionMask | ExposureMask | StructureNotifyMask | PropertyChangeMask;
static_assert(kEventMask == 0x42810f);

// The first thing a new user reads: where every command can be found.
constexpr const char* kStartHint = "Press left Windows + Space (or Shift + Space) for main menu.";

// The display connection and everything created on it, released in the
// reverse order: input context, input method, renderer, GC, window, display.
class XSession {
 public:
  XSession() = default;
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;
  ~XSession() { close(); }

  bool openDisplay() {
    dpy_ = XOpenDisplay(nullptr);
    if (!dpy_) return false;
    S.display = dpy_;
    S.screen = DefaultScreen(dpy_);
    return true;
  }

  void createWindow(const Placement& place) {
    win_ = XCreateSimpleWindow(dpy_, RootWindow(dpy_, S.screen), place.x, place.y,
                               unsigned(place.width), unsigned(place.height), 0, 0, 0xFFFFFFFF);
    S.window = win_;
    XSelectInput(dpy_, win_, kEventMask);
    // One round trip for all the names: start-up waits for each.
    char* names[] = {const_cast<char*>("WM_DELETE_WINDOW"), const_cast<char*>("WM_PROTOCOLS"),
                     const_cast<char*>("_NET_WM_PID"), const_cast<char*>("UTF8_STRING"),
                     const_cast<char*>("_NET_WM_NAME"), const_cast<char*>("_NET_WM_ICON_NAME"),
                     const_cast<char*>("_NET_WM_ICON")};
    Atom atoms[7] = {};
    if (XInternAtoms(dpy_, names, 7, False, atoms))
      SetTitleAtoms(dpy_, atoms[3], atoms[4], atoms[5]);
    netWmIcon_ = atoms[6];
    identify(atoms[2]);
    // A position or size the user asked for counts only when it is there
    // as the window maps.
    SetPlacement(place);
    WritePlacementHints(dpy_, win_);
    WindowIcon::WriteInputHints(dpy_, win_);
    // Registered before the window shows, so that a close request is never
    // taken for a kill.
    wmDelete_ = atoms[0];
    XChangeProperty(dpy_, win_, atoms[1], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&wmDelete_), 1);
    XMapWindow(dpy_, win_);
    XStoreName(dpy_, win_, "Vexor -");
  }

  void openInput() {
    im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
    if (im_)
      ic_ = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                      win_, nullptr);
  }

  void createGC() {
    XGCValues values{};
    values.foreground = 0x000000;
    values.background = 0xFFFFFF;
    gcdummy_ = XCreateGC(dpy_, win_, GCForeground | GCBackground, &values);
  }

  // The icon is drawn once the first paint is out: no one waits for it.
  void installIcon() {
    if (dpy_ && win_) icon_.install(dpy_, win_, netWmIcon_);
  }

  XIC inputContext() const { return ic_; }
  // Another client destroyed the window: it is not ours to destroy again.
  void forgetWindow() { win_ = 0; }
  Atom deleteAtom() const { return wmDelete_; }

  void close() {
    if (ic_) XDestroyIC(ic_);
    if (im_) XCloseIM(im_);
    ic_ = nullptr;
    im_ = nullptr;
    crapDeinit();  // its pixmap and image belong to the display
    if (!dpy_) return;
    if (gcdummy_) XFreeGC(dpy_, gcdummy_);
    icon_.release();
    if (win_) XDestroyWindow(dpy_, win_);
    XCloseDisplay(dpy_);
    SetTitleAtoms(nullptr, 0, 0, 0);
    gcdummy_ = nullptr;
    win_ = 0;
    dpy_ = nullptr;
    S.display = nullptr;
    S.window = 0;
  }

 private:
  // Class, process and host, for window managers and tools that find
  // windows by them.
  void identify(Atom pidAtom) {
    char name[] = "vexor";
    char cls[] = "Vexor";
    XClassHint hint{name, cls};
    XSetClassHint(dpy_, win_, &hint);

    char host[HOST_NAME_MAX + 1] = "";
    if (gethostname(host, sizeof host) == 0) {
      host[HOST_NAME_MAX] = 0;
      char* list[] = {host};
      XTextProperty prop{};
      if (XStringListToTextProperty(list, 1, &prop)) {
        XSetWMClientMachine(dpy_, win_, &prop);
        XFree(prop.value);
      }
      // The pid means something only together with the host.
      const long pid = long(getpid());
      XChangeProperty(dpy_, win_, pidAtom, XA_CARDINAL, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    }
  }

  Display* dpy_ = nullptr;
  Window win_ = 0;
  XIM im_ = nullptr;
  XIC ic_ = nullptr;
  GC gcdummy_ = nullptr;
  Atom wmDelete_ = 0;
  Atom netWmIcon_ = 0;
  WindowIcon icon_;
};

// The editor state lives from InitEditor to DeInitEditor.
class EditorGuard {
 public:
  explicit EditorGuard(EditorState* V) : V_(V) {}
  EditorGuard(const EditorGuard&) = delete;
  EditorGuard& operator=(const EditorGuard&) = delete;
  ~EditorGuard() { release(); }
  void release() {
    if (V_->mem.first) DeInitEditor(V_);
  }

 private:
  EditorState* V_;
};

EditorState* rescueV = nullptr;  // the texts the I/O error handler rescues
XSession* session = nullptr;     // for the input method opened after the first paint

void openInputLater() {
  if (!session) return;
  session->openInput();
  SetLoopX(session->inputContext(), session->deleteAtom());
  StartupStep("input method");
  session->installIcon();
  StartupStep("icon");
}

// Xlib ends the process when this returns, so it never does: the texts are
// rescued first, whatever call met the lost connection.
int onIOError(Display*) {
  std::fprintf(stderr, "vexor: lost the connection to the X server\n");
  const int lost = rescueV ? RescueTexts(rescueV, stderr) : 0;
  _exit(lost ? 3 : 1);
}

// The loop ended without the user's choice: rescue, and say why.  Returns
// the exit status.
int endedUnasked(EditorState* V, int cause) {
  if (cause > 0)
    std::fprintf(stderr, "vexor: ended by signal %d (%s)\n", cause, strsignal(cause));
  else if (cause == kLostWindow)
    std::fprintf(stderr, "vexor: the window was destroyed by another program\n");
  else
    std::fprintf(stderr, "vexor: stopped on an internal error\n");
  const int lost = RescueTexts(V, stderr);
  if (lost) return 3;
  return cause > 0 ? 128 + cause : 1;
}

// What a large file shows of itself before it is read whole: room for a
// tall window's first screen of long lines.
constexpr size_t kFirstPageBytes = 256 * 1024;
std::vector<Tcb*> firstPages;

void completeFirstPages(EditorState* V) {
  for (Tcb* t : firstPages) CompleteText(V, t);
  firstPages.clear();
  StartupTextComplete();
}

void noDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (name && *name)
    std::fprintf(stderr, "vexor: cannot open the X display \"%s\"\n", name);
  else
    std::fprintf(stderr, "vexor: cannot open the X display (DISPLAY is not set)\n");
}

}  // namespace

int RunVexor(int argc, char** argv) {
  const Options opt = ParseOptions(argc, argv);

  font = font2 = pfont = nullptr;
  const auto owner = std::make_unique<EditorState>();  // all zero
  EditorState* V = owner.get();
  EditorGuard state(V);
  V->optDefaults = opt.optDefaults;
  V->optNoFonts = opt.optNoFonts;

  fontsInit();
  InstallHandlers();
  SetSignalFd(RescueSignalsInstall());
  if (!InitEditor(V)) {
    std::fprintf(stderr, "vexor: not enough memory to start\n");
    return 1;
  }
  StartupStep("editor state and settings");
  // Settled by the configuration file; fontconfig may take as long as the
  // X connection and the window together.
  fontsResolveAhead();
  // Trouble with the settings is told on standard error at once and on the
  // alert line once the window is there.
  std::string startMessage = ConfigMessage();
  if (!startMessage.empty()) std::fprintf(stderr, "vexor: %s\n", startMessage.c_str());
  S.width = V->defaults.winWidth;
  S.height = V->defaults.winHeight;
  // A saved size of nothing would make the window impossible to create.
  if (S.width < 1 || S.height < 1) {
    S.width = 800;
    S.height = 600;
  }

  XSession x;
  if (!x.openDisplay()) {
    noDisplay();
    return 1;
  }
  StartupStep("X connection");
  rescueV = V;
  XSetIOErrorHandler(onIOError);
  // The size is this run's only: the configuration keeps its own.
  const Placement place = GeometryPlacement(S.display, S.screen, opt.geometry, S.width, S.height);
  S.width = place.width;
  S.height = place.height;
  x.createWindow(place);
  StartupStep("window");
  if (const std::string err = crapInitChecked(S.display, S.window); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  StartupStep("glyph renderer");
  x.createGC();
  // Without an input context until the hook runs, which is before any key.
  SetLoopX(nullptr, x.deleteAtom());
  session = &x;
  loopHooks().openInput = openInputLater;

  if (const std::string err = fontsSetChecked(V, printVal[PRINT_FONTSIZE]); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 1;
  }
  if (!FontsNote().empty()) {
    std::fprintf(stderr, "vexor: %s\n", FontsNote().c_str());
    if (startMessage.empty()) startMessage = FontsNote();
  }
  StartupStep("fonts");
  setColors();
  V->updateTitle = SetTitle;
  Resize(V, &S);
  StartupStep("colours and geometry");

  V->inputMode = ModeEdit;
  OpenText(V, "", kStartOpenFlags);
  SetAlert(V, startMessage.empty() ? kStartHint : startMessage.c_str());
  // A large file shows its first page at once; the rest is read right
  // after the first paint, before any key can reach it.
  for (const char* file : opt.files) {
    bool partial = false;
    Tcb* t = OpenTextFirstPage(V, file, kStartOpenFlags, kFirstPageBytes, &partial);
    if (t && partial) firstPages.push_back(t);
  }
  if (firstPages.empty())
    StartupTextComplete();
  else
    loopHooks().completeTexts = completeFirstPages;
  SetTitle(V);
  StartupStep("texts opened");

  EventLoop(V);

  loopHooks().openInput = nullptr;
  session = nullptr;
  SetLoopX(nullptr, 0);
  V->updateTitle = nullptr;
  const int cause = LoopEndCause();
  int status = 0;
  if (cause || V->fatal) status = endedUnasked(V, cause);
  if (cause == kLostWindow) {
    // What still refers to the window gone may draw an error: none matters now.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    x.forgetWindow();
  }
  x.close();
  rescueV = nullptr;
  state.release();
  StartupStep("closed");
  return status;
}
