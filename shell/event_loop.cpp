// The event loop, the key-press steps, the window title, closing all texts.
#include "shell/event_loop.h"

#include "display/xlib.h"
#include <poll.h>

#include <cerrno>
#include <cstring>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "core/rescue.h"
#include "display/paint.h"
#include "display/screen.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "shell/startup_clock.h"

namespace {

// Constant-initialised, so parts may hook in from their own static objects.
constinit LoopHooks hooks;
EditorState* loopV = nullptr;  // for redraw_, which long operations call bare
XIC inputContext = nullptr;
Atom wmDelete = 0;
uint32_t unrepeat = 0;  // time of the last key release while repeat is off
int endCause = 0;       // why the loop ended when the user did not choose it
int signalFd = -1;      // read end of the signal pipe, -1 when none
Display* titleAtomsOf = nullptr;  // the connection titleAtoms were asked of
Atom titleAtoms[3] = {};          // UTF8_STRING, _NET_WM_NAME, _NET_WM_ICON_NAME

constexpr int kTitleMax = 255;  // bytes; the title buffer holds 256

void paintAlert(EditorState* V) { ViewAlert(V, V->textWithAlert); }

// Looks through the queue without taking anything (the predicate never
// accepts): is an Expose of the window, or a change of its size, to come?
Bool noteLaterGeometry(Display*, XEvent* ev, XPointer found) {
  if (ev->xany.window == S.window &&
      (ev->type == Expose || (ev->type == ConfigureNotify && (ev->xconfigure.width != S.width ||
                                                               ev->xconfigure.height != S.height))))
    *reinterpret_cast<bool*>(found) = true;
  return False;
}

bool laterGeometryQueued() {
  if (!S.display) return false;
  bool found = false;
  XEvent ev;
  XCheckIfEvent(S.display, &ev, noteLaterGeometry, reinterpret_cast<XPointer>(&found));
  return found;
}

// The input method costs the start a good part of its time and is needed
// only by the first key: it is opened once the first paint is out and the
// queue is empty, or by a key that comes before that.
void ensureInput() {
  if (!hooks.openInput) return;
  auto open = hooks.openInput;
  hooks.openInput = nullptr;
  open();
}

// Texts that hold only their first page are read whole before anything
// else happens to them; the screen already shows what they begin with.
void completeTexts(EditorState* V) {
  if (!hooks.completeTexts) return;
  auto complete = hooks.completeTexts;
  hooks.completeTexts = nullptr;
  complete(V);
  Repaint(V);
}

// Events that only show the window; every other one may read or change a
// text, and waits for the texts to be whole.
bool onlyShows(int type) {
  return type == Expose || type == MapNotify || type == ConfigureNotify || type == NoExpose ||
         type == GraphicsExpose || type == ReparentNotify || type == VisibilityNotify ||
         type == FocusIn || type == FocusOut || type == PropertyNotify || type == KeyRelease;
}

// The first paint of the window: once it is on the server, the start-up is
// over as far as the user sees.
void notePainted(EditorState* V, XEvent* ev) {
  if (StartupPainted() || !S.display || ev->xany.window != S.window) return;
  XSync(S.display, False);
  StartupFirstPaint();
  completeTexts(V);
}

// ---- Key press ----------------------------------------------------------

int onKeyPress(EditorState* V, XEvent* ev) {
  XKeyEvent* k = &ev->xkey;
  if (RepeatDropped(uint32_t(k->time), unrepeat)) return 0;
  ensureInput();
  // A modifier of a layout with keycodes of its own, between the two keys
  // of a sequence.
  if (V->twoKeyPending && IsModifierKey(XLookupKeysym(k, 0))) return 0;
  PressKey(V, k->keycode, k->state, [&] { return sysKey(V, ev, -1); });
  const int quit = V->quit;
  Repaint(V);
  return quit;
}

int onClientMessage(EditorState* V, XEvent* ev) {
  if (!wmDelete || Atom(ev->xclient.data.l[0]) != wmDelete) return 0;
  if (V->inputMode == ModeEdit) {
    if (!V->curTcb) return 1;
    (hooks.closeAll ? hooks.closeAll : CloseAll)(V);
    const int quit = V->quit;
    Repaint(V);
    return quit;
  }
  // A pop-up must be closed by its own keys, not bypassed by the window manager.
  return V->curTcb ? 0 : 1;
}

// A geometry as X programs take it, with a size X can make.
bool geometryValid(const char* g) {
  int x = 0, y = 0;
  unsigned w = 1, h = 1;
  const int mask = XParseGeometry(g, &x, &y, &w, &h);
  if (mask == 0) return false;
  const auto fits = [](unsigned v) { return v >= 1 && v <= 32767; };
  return (!(mask & WidthValue) || fits(w)) && (!(mask & HeightValue) || fits(h));
}

void takeGeometry(Options& o, const char* g) {
  if (geometryValid(g))
    o.geometry = g;
  else if (o.badGeometry.empty())
    o.badGeometry = std::string("bad geometry '") + g + "' (WxH, WxH+X+Y or +X+Y)";
}

}  // namespace

// ---- Command line -------------------------------------------------------

Options ParseOptions(int argc, char** argv) {
  Options o;
  bool filesOnly = false;
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    if (a[0] != '-' || filesOnly) {
      o.files.push_back(a);
    } else if (std::strcmp(a, "--") == 0) {
      filesOnly = true;
    } else if (std::strcmp(a, "--help") == 0) {
      o.help = true;
    } else if (std::strcmp(a, "--version") == 0) {
      o.version = true;
    } else if (std::strcmp(a, "-geometry") == 0 || std::strcmp(a, "--geometry") == 0) {
      if (i + 1 < argc)
        takeGeometry(o, argv[++i]);
      else if (o.badGeometry.empty())
        o.badGeometry = std::string(a) + " needs a value (WxH, WxH+X+Y or +X+Y)";
    } else if (std::strncmp(a, "--geometry=", 11) == 0) {
      takeGeometry(o, a + 11);
    } else if (a[1] == 'd') {
      o.optDefaults = 1;
    } else if (a[1] == 'f') {
      o.optNoFonts = 1;
    } else if (!o.unknown) {
      // A mistyped option must not quietly open an empty text.
      o.unknown = a;
    }
  }
  return o;
}

// ---- Hooks and loop state -----------------------------------------------

LoopHooks& loopHooks() { return hooks; }
uint32_t& unrepeatTime() { return unrepeat; }

void SetLoopX(_XIC* ic, unsigned long deleteAtom) {
  inputContext = ic;
  wmDelete = deleteAtom;
}

// ---- Events ---------------------------------------------------------------

int HandleEvent(EditorState* V, XEvent* ev) {
  int quit = 0;
  if (!onlyShows(ev->type)) completeTexts(V);
  switch (ev->type) {
    case KeyPress:
      quit = onKeyPress(V, ev);
      break;
    case KeyRelease:
      if (V->toggles & TGL_NOREPEAT) unrepeat = uint32_t(ev->xkey.time);
      break;
    case ButtonPress:
      if (hooks.buttonPress) hooks.buttonPress(V, ev);
      break;
    case ButtonRelease:
      if (hooks.buttonRelease) hooks.buttonRelease(V, ev);
      break;
    case MotionNotify:
      if (hooks.motion) hooks.motion(V, ev);
      break;
    case Expose:
      if (hooks.popupExpose && ev->xexpose.window != S.window && hooks.popupExpose(V, ev)) break;
      // Only the last of a series repaints, and none while a newer one or a
      // new size waits in the queue: that repaint would be of a size gone.
      if (ev->xexpose.count == 0 && !laterGeometryQueued()) {
        V->redraw |= REDRAW_ALL;
        Repaint(V);
        // An uncovered pop-up needs its own lines again.
        if (hooks.repaintPopups) hooks.repaintPopups(V);
        notePainted(V, ev);
      }
      break;
    case GraphicsExpose:
      // A band moved while scrolling came from a part of the window that
      // was covered or off-screen: what it left is unknown, so all of the
      // window is painted again, once the last of the series is in.
      if (ev->xgraphicsexpose.drawable == S.window && ev->xgraphicsexpose.count == 0) {
        V->redraw |= REDRAW_ALL;
        Repaint(V);
      }
      break;
    case NoExpose:  // a moved band that was whole
      break;
    case MapNotify:
      V->redraw |= REDRAW_ALL;
      Repaint(V);
      if (hooks.repaintPopups) hooks.repaintPopups(V);
      notePainted(V, ev);
      break;
    case ConfigureNotify: {
      // A burst of resizes: only the newest size counts.
      if (S.display && ev->xconfigure.window == S.window)
        while (XCheckTypedWindowEvent(S.display, S.window, ConfigureNotify, ev)) {
        }
      const XConfigureEvent& c = ev->xconfigure;
      // The Expose that follows a real change repaints.
      if (c.window == S.window && (c.width != S.width || c.height != S.height)) {
        S.width = c.width;
        S.height = c.height;
        Resize(V, &S);
      }
      break;
    }
    case SelectionClear:
      if (hooks.selClear) hooks.selClear(V, ev);
      break;
    case SelectionRequest:
      if (hooks.selRequest) hooks.selRequest(V, ev);
      break;
    case SelectionNotify:
      if (hooks.selNotify) hooks.selNotify(V, ev);
      Repaint(V);
      break;
    case PropertyNotify:
      if (hooks.propertyNotify) hooks.propertyNotify(V, ev);
      break;
    case ClientMessage:
      quit = onClientMessage(V, ev);
      break;
    case DestroyNotify:
      // Another client destroyed the window: nothing can be shown or asked
      // any more, so the texts are rescued as the editor ends.
      if (S.window && ev->xdestroywindow.window == S.window) {
        S.window = 0;
        endCause = kLostWindow;
        quit = 1;
      }
      break;
    default:
      break;
  }
  // An impossible internal state ends the editor after this event, whatever
  // the event was.
  if (V->fatal) quit = 1;
  return quit;
}

void SetSignalFd(int fd) { signalFd = fd; }
int LoopEndCause() { return endCause; }

void EventLoop(EditorState* V) {
  loopV = V;
  int quit = 0;
  XEvent ev;
  const int xfd = ConnectionNumber(S.display);
  while ((V->curTcb || V->inputMode == ModePrompt) && quit == 0) {
    // A signal ends the loop between events; the rescue follows outside it.
    if (const int sig = RescueSignalPending()) {
      endCause = sig;
      break;
    }
    // Asked for by the open benchmark: the loop ends, nothing saved, once
    // the texts are complete and painted, whatever woke the loop.
    if (StartupExitDue()) break;
    // Transfers between clients have deadlines: only while one is pending
    // does the wait below end on its own.
    int wait = -1;
    if (hooks.timers) {
      bool changed = false;
      wait = hooks.timers(V, &changed);
      if (changed) {
        Repaint(V);
        if (V->alertText[0] && V->inputMode == ModeEdit) (hooks.paintAlert ? hooks.paintAlert : paintAlert)(V);
      }
    }
    // XPending flushes our requests and reads what the server sent; a lost
    // connection calls the I/O error handler from here.
    if (XPending(S.display) == 0) {
      if (StartupPainted() && hooks.openInput) {
        ensureInput();
        continue;
      }
      pollfd fds[2] = {{xfd, POLLIN, 0}, {signalFd, POLLIN, 0}};
      if (poll(fds, signalFd >= 0 ? 2 : 1, wait) < 0 && errno != EINTR) break;
      continue;
    }
    XNextEvent(S.display, &ev);
    quit = HandleEvent(V, &ev);
    if (V->alertText[0] && V->inputMode == ModeEdit && !endCause)
      (hooks.paintAlert ? hooks.paintAlert : paintAlert)(V);
  }
  loopV = nullptr;
}

void HandleKey(EditorState* V, int code, unsigned keycode, unsigned state) {
  const int mode = V->inputMode;
  if (mode != ModeKeyConfig && code > 0) {
    V->alertText[0] = 0;
    V->hiliteLen = 0;
  }
  if (mode == ModeEdit) {
    if (hooks.macroKey) hooks.macroKey(V, code);
    if (code < CMD_BASE) {
      TypeChar(V, code);
    } else {
      int n = code - CMD_BASE;
      DoCommand(V, &n);
    }
    return;
  }
  if (mode > 0 && mode < kModeCount && hooks.keys[mode]) hooks.keys[mode](V, code, keycode, state);
}

int sysKey(EditorState*, XEvent* ev, int conv) {
  if (conv == -2) return -1;
  if (XFilterEvent(ev, S.window)) return -1;
  char buf[10];
  int n;
  if (inputContext) {
    Status status = 0;
    n = Xutf8LookupString(inputContext, &ev->xkey, buf, sizeof buf, nullptr, &status);
    if (status == XBufferOverflow) return -1;
  } else {
    // Without an input method a key still types its Latin-1 character.
    unsigned char latin[4];
    n = XLookupString(&ev->xkey, reinterpret_cast<char*>(latin), sizeof latin, nullptr, nullptr);
    if (n <= 0) return -1;
    n = utf8(reinterpret_cast<uint8_t*>(buf), 0, latin[0]);
  }
  if (n <= 0) return -1;
  int len = 0;
  return int(uni8(reinterpret_cast<const uint8_t*>(buf), n, &len));
}

void Repaint(EditorState* V) { (hooks.paint ? hooks.paint : redraw)(V); }

int redraw_() {
  if (!loopV) return 0;
  Repaint(loopV);
  if (!S.display) return 0;
  XFlush(S.display);
  XEvent ev;
  return XCheckWindowEvent(S.display, S.window, KeyPressMask, &ev) ? 1 : 0;
}

void CloseAll(EditorState* V) {
  while (V->curTcb) {
    ReleaseTcb(V, &V->curTcb);
    if (V->curTcb) PrepareView(V);
  }
  V->quit = 1;
}

void Unimp(EditorState* V) { SetAlert(V, "Unimplemented"); }

// ---- Title ----------------------------------------------------------------

std::string BuildTitle(const EditorState* V, int promptType) {
  std::string title = "Vexor - ";
  const Tcb* t = V->curTcb;
  if (t && t->base && V->inputMode != ModeFileBrowser) {
    const char* dir = promptType == kFileNamePrompt ? V->curDir : t->dirName;
    title += dir;
    // The root directory already ends in the separator.
    if (title.back() != '/') title += '/';
    // The cipher key after the name's '@' is never shown.
    const size_t plain = PlainNameLen(t->fileName);
    title.append(t->fileName, plain);
    if (t->fileName[plain]) title += '@';
  } else {
    title += V->curDir;
    if (std::strlen(V->curDir) > 1) title += '/';
  }
  if (title.size() > size_t(kTitleMax)) {
    size_t n = kTitleMax;
    while (n > 0 && (static_cast<unsigned char>(title[n]) & 0xc0) == 0x80) n--;
    title.resize(n);
  }
  return title;
}

void SetTitleAtoms(Display* dpy, unsigned long utf8String, unsigned long netWmName,
                   unsigned long netWmIconName) {
  titleAtomsOf = dpy;
  titleAtoms[0] = utf8String;
  titleAtoms[1] = netWmName;
  titleAtoms[2] = netWmIconName;
}

std::string BuildIconName(const EditorState* V) {
  const Tcb* t = V->curTcb;
  if (!t || !t->base || V->inputMode == ModeFileBrowser || !t->fileName[0]) return "vexor";
  const size_t plain = PlainNameLen(t->fileName);
  std::string name(t->fileName, plain);
  if (const size_t slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
  if (t->fileName[plain]) name += '@';
  return name.empty() ? "vexor" : name;
}

void SetTitle(EditorState* V) {
  if (!S.display || !S.window) return;
  std::string title = BuildTitle(V, hooks.promptType ? hooks.promptType(V) : 0);
  // Asked once per connection, in one round trip.
  if (titleAtomsOf != S.display) {
    char* names[] = {const_cast<char*>("UTF8_STRING"), const_cast<char*>("_NET_WM_NAME"),
                     const_cast<char*>("_NET_WM_ICON_NAME")};
    if (!XInternAtoms(S.display, names, 3, False, titleAtoms)) return;
    titleAtomsOf = S.display;
  }
  const Atom utf8Type = titleAtoms[0];
  auto* bytes = reinterpret_cast<unsigned char*>(title.data());
  XTextProperty prop{bytes, utf8Type, 8, static_cast<unsigned long>(title.size())};
  XSetWMName(S.display, S.window, &prop);
  XChangeProperty(S.display, S.window, titleAtoms[1], utf8Type, 8,
                  PropModeReplace, bytes, int(title.size()));
  // The name under the icon and in task lists: the file alone.
  std::string icon = BuildIconName(V);
  auto* iconBytes = reinterpret_cast<unsigned char*>(icon.data());
  XTextProperty iconProp{iconBytes, utf8Type, 8, static_cast<unsigned long>(icon.size())};
  XSetWMIconName(S.display, S.window, &iconProp);
  XChangeProperty(S.display, S.window, titleAtoms[2], utf8Type, 8, PropModeReplace, iconBytes,
                  int(icon.size()));
}
