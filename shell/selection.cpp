// Selections over X.  Answers go out as one property when small, by INCR
// when large; pastes come in the same two ways, each piece handed to the
// line reader as it arrives.  Other clients may vanish or stall at any
// point: errors about their windows end only their transfer, and a
// transfer idle for the idle time is dropped.
#include "shell/selection.h"

#include "display/xlib.h"
#include <X11/Xproto.h>

#include <algorithm>
#include <new>
#include <vector>

#include "core/editor_state.h"
#include "display/screen.h"
#include "edit/clipboard.h"
#include "shell/event_loop.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kIncrThreshold = 256 * 1024;
constexpr size_t kChunk = 64 * 1024;
constexpr long kReadLongs = 65536;  // 256 KiB per property read
// Room the request header and the property's own fields take.
constexpr size_t kRequestOverhead = 64;

std::chrono::milliseconds idleLimit{5000};

struct Atoms {
  Display* dpy = nullptr;
  Atom clipboard = 0, targets = 0, text = 0, utf8 = 0, incr = 0;
};
Atoms atoms;

const Atoms& atomsOf(Display* d) {
  if (atoms.dpy != d) {
    atoms.dpy = d;
    atoms.clipboard = XInternAtom(d, "CLIPBOARD", False);
    atoms.targets = XInternAtom(d, "TARGETS", False);
    atoms.text = XInternAtom(d, "TEXT", False);
    atoms.utf8 = XInternAtom(d, "UTF8_STRING", False);
    atoms.incr = XInternAtom(d, "INCR", False);
  }
  return atoms;
}

Atom selectionAtom(int sel) { return sel == kSelPrimary ? XA_PRIMARY : atomsOf(S.display).clipboard; }

int selectionOf(Atom a) {
  if (a == XA_PRIMARY) return kSelPrimary;
  if (a == atomsOf(S.display).clipboard) return kSelClipboard;
  return -1;
}

// An answer sent by INCR: its own text, how far it has gone.
struct Outgoing {
  Window requestor;
  Atom property, type;
  ClipText data;
  size_t pos;
  Clock::time_point last;
};
std::vector<Outgoing> outs;

// The paste asked for.
struct Incoming {
  bool active = false;
  Atom selection = 0, property = 0, target = 0;
  bool triedString = false;
  bool incr = false;
  Clock::time_point last;
};
Incoming paste;

// Windows the server said are gone, noted by the error handler, which may
// not make requests itself.
std::vector<unsigned long> gone;
XErrorHandler previousHandler = nullptr;

bool transferRequest(unsigned char code) {
  switch (code) {
    case X_ChangeProperty: case X_DeleteProperty: case X_GetProperty: case X_SendEvent:
    case X_ChangeWindowAttributes: case X_ConvertSelection:
      return true;
    default:
      return false;
  }
}

// A client may destroy its window at any time, also in the middle of a
// transfer: that error ends the transfer, never the editor.
int onXError(Display* d, XErrorEvent* e) {
  if (transferRequest(e->request_code) && e->resourceid != S.window) {
    gone.push_back(e->resourceid);
    return 0;
  }
  return previousHandler ? previousHandler(d, e) : 0;
}

size_t maxRequestBytes() {
  long words = XExtendedMaxRequestSize(S.display);
  if (words <= 0) words = XMaxRequestSize(S.display);
  return size_t(words) * 4;
}

void sendNotify(EditorState* V, const XSelectionRequestEvent& r, Atom property) {
  XEvent ev{};
  XSelectionEvent& n = ev.xselection;
  n.type = SelectionNotify;
  n.display = r.display;
  n.requestor = r.requestor;
  n.selection = r.selection;
  n.target = r.target;
  n.property = property;
  n.time = r.time;
  if (!XSendEvent(S.display, r.requestor, False, 0, &ev)) SetAlert(V, "Error sending SelectionNotify event");
}

bool watched(Window w) {
  return std::any_of(outs.begin(), outs.end(), [&](const Outgoing& o) { return o.requestor == w; });
}

void endTransfer(size_t i) {
  const Window w = outs[i].requestor;
  outs.erase(outs.begin() + long(i));
  // The editor's own window keeps its mask; another client's window is
  // watched only while a transfer to it runs.
  if (w != S.window && !watched(w)) XSelectInput(S.display, w, NoEventMask);
}

void sendChunk(Outgoing& o) {
  const size_t n = std::min(SelectionChunk(), o.data->size() - o.pos);
  XChangeProperty(S.display, o.requestor, o.property, o.type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(o.data->data() + o.pos), int(n));
  o.pos += n;
  o.last = Clock::now();
}

void dropGone() {
  for (unsigned long id : gone) {
    for (size_t i = outs.size(); i-- > 0;)
      if (outs[i].requestor == id) outs.erase(outs.begin() + long(i));
  }
  gone.clear();
}

// ---- Pastes ---------------------------------------------------------------

void ask(Atom target) {
  paste.target = target;
  paste.last = Clock::now();
  XConvertSelection(S.display, paste.selection, target, paste.property, S.window, CurrentTime);
}

int requestPaste(EditorState*, int sel) {
  if (!S.display || !S.window) return 0;
  paste = Incoming{};
  paste.active = true;
  paste.selection = selectionAtom(sel);
  paste.property = paste.selection;
  // What an earlier paste may have left is never taken for the answer.
  XDeleteProperty(S.display, S.window, paste.property);
  ask(atomsOf(S.display).utf8);
  return 1;
}

void cancelPaste(EditorState*) { paste = Incoming{}; }

bool claim(EditorState*, int sel) {
  if (!S.display || !S.window) return true;
  const Atom a = selectionAtom(sel);
  XSetSelectionOwner(S.display, a, S.window, CurrentTime);
  return XGetSelectionOwner(S.display, a) == S.window;
}

void fail(EditorState* V, const char* why) {
  paste = Incoming{};
  ClipPasteDrop(V, why);
}

uint32_t encodingOf(Atom type) {
  if (type == atomsOf(S.display).utf8) return MODE_UTF8;
  if (type == XA_STRING) return MODE_LATIN1;
  return 0;
}

enum class Read { Done, Absent, Failed };

// Reads the property whole, piece by piece, into the paste, deleting it once
// read.  The type it had in *type, its byte count in *bytes.  Absent: there
// is no such property (any more); Failed: it could not be read or used, or
// the paste was dropped.
Read readProperty(EditorState* V, bool allowIncr, Atom* type, size_t* bytes) {
  *bytes = 0;
  *type = None;
  long offset = 0;
  for (;;) {
    Atom t = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(S.display, S.window, paste.property, offset, kReadLongs, True, AnyPropertyType, &t,
                           &format, &n, &after, &data) != Success) {
      return Read::Failed;
    }
    if (offset == 0 && t == None) return Read::Absent;
    if (offset == 0) *type = t;
    const bool incr = allowIncr && t == atomsOf(S.display).incr;
    const uint32_t enc = encodingOf(t);
    bool ok = t != None && t == *type && (incr || (enc && format == 8));
    if (ok && !incr && n > 0) {
      ok = ClipPasteFeed(V, data, n, enc);
      *bytes += n;
    }
    if (data) XFree(data);
    if (!ok) {
      // The rest of an unusable answer goes too.
      if (after > 0) XDeleteProperty(S.display, S.window, paste.property);
      return Read::Failed;
    }
    if (incr || after == 0) return Read::Done;
    offset += long(n / 4);
  }
}

}  // namespace

void InstallSelection() {
  LoopHooks& h = loopHooks();
  h.selRequest = selrequest;
  h.selNotify = selnotify;
  h.selClear = selclear;
  h.propertyNotify = selproperty;
  h.timers = SelectionTimers;
  ClipLink link;
  link.claim = claim;
  link.request = requestPaste;
  link.cancel = cancelPaste;
  SetClipLink(link);
  if (!previousHandler) {
    XErrorHandler prior = XSetErrorHandler(onXError);
    previousHandler = prior == onXError ? nullptr : prior;
  }
}

void selrequest(EditorState* V, XEvent* ev) {
  if (!S.display) return;
  dropGone();
  const XSelectionRequestEvent& r = ev->xselectionrequest;
  const Atoms& a = atomsOf(S.display);
  // A client of the old conventions names no property: the target is its name.
  const Atom property = r.property != None ? r.property : r.target;
  const int sel = selectionOf(r.selection);
  const ClipText offered = sel >= 0 ? ClipOffer(sel) : nullptr;
  if (!offered || r.owner != S.window) {
    sendNotify(V, r, None);
    return;
  }
  if (r.target == a.targets) {
    SetAlert(V, "UTF8_STRING request received");
    const long list[] = {long(a.targets), long(a.text), long(XA_STRING), long(a.utf8)};
    XChangeProperty(S.display, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(list), 4);
    sendNotify(V, r, property);
    return;
  }
  ClipText data;
  Atom type;
  if (r.target == XA_STRING) {
    SetAlert(V, "STRING request received");
    try {
      data = std::make_shared<const std::string>(Latin1Form(*offered));
    } catch (const std::bad_alloc&) {
      // No room for the second form: refused, the editor goes on.
      sendNotify(V, r, None);
      return;
    }
    type = XA_STRING;
  } else if (r.target == a.utf8 || r.target == a.text) {
    // TEXT lets the owner choose: UTF-8 carries every character.
    SetAlert(V, r.target == a.text ? "STRING request received" : "UTF8_STRING request received");
    data = offered;
    type = a.utf8;
  } else {
    SetAlert(V, "Bad clipboard request received");
    sendNotify(V, r, None);
    return;
  }
  if (data->size() <= SelectionIncrThreshold()) {
    XChangeProperty(S.display, r.requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data->data()), int(data->size()));
    sendNotify(V, r, property);
    return;
  }
  // Too large for one request: the requestor takes it chunk by chunk,
  // deleting the property for each next one.
  if (r.requestor != S.window) XSelectInput(S.display, r.requestor, PropertyChangeMask);
  const long size = long(std::min<size_t>(data->size(), 0x7fffffff));
  XChangeProperty(S.display, r.requestor, property, a.incr, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&size), 1);
  outs.push_back({r.requestor, property, type, std::move(data), 0, Clock::now()});
  sendNotify(V, r, property);
}

void selnotify(EditorState* V, XEvent* ev) {
  if (!S.display) return;
  const XSelectionEvent& n = ev->xselection;
  if (!paste.active || !ClipPastePending() || n.requestor != S.window || n.selection != paste.selection ||
      paste.incr)
    return;
  if (n.property == None) {
    // An owner that cannot give UTF-8 may still give ISO-8859-1.
    if (n.target == atomsOf(S.display).utf8 && !paste.triedString) {
      paste.triedString = true;
      ask(XA_STRING);
      return;
    }
    fail(V, "Bad clipboard data");
    return;
  }
  paste.property = n.property;
  Atom type;
  size_t bytes;
  if (readProperty(V, true, &type, &bytes) != Read::Done) {
    if (ClipPastePending()) fail(V, "Bad clipboard data");
    paste = Incoming{};
    return;
  }
  if (type == atomsOf(S.display).incr) {
    // Deleting it (done by the read) asks for the first chunk.
    paste.incr = true;
    paste.last = Clock::now();
    return;
  }
  paste = Incoming{};
  ClipPasteFinish(V);
}

void selclear(EditorState*, XEvent* ev) {
  if (!S.display) return;
  const XSelectionClearEvent& c = ev->xselectionclear;
  const int sel = selectionOf(c.selection);
  if (sel < 0 || c.window != S.window) return;
  // A clear sent before the editor took the selection again is stale.
  if (XGetSelectionOwner(S.display, c.selection) == S.window) return;
  ClipLost(sel);
}

void selproperty(EditorState* V, XEvent* ev) {
  if (!S.display) return;
  const XPropertyEvent& p = ev->xproperty;
  if (p.state == PropertyDelete) {
    dropGone();
    for (size_t i = 0; i < outs.size(); i++) {
      Outgoing& o = outs[i];
      if (o.requestor != p.window || o.property != p.atom) continue;
      if (o.pos >= o.data->size()) {
        // The empty chunk that ends the transfer.
        XChangeProperty(S.display, o.requestor, o.property, o.type, 8, PropModeReplace, nullptr, 0);
        endTransfer(i);
      } else {
        sendChunk(o);
      }
      break;
    }
    return;
  }
  if (p.window != S.window || !paste.active || !paste.incr || p.atom != paste.property) return;
  if (!ClipPastePending()) {
    paste = Incoming{};
    return;
  }
  Atom type;
  size_t bytes;
  const Read r = readProperty(V, false, &type, &bytes);
  // A change seen after the property was read and deleted.
  if (r == Read::Absent) return;
  if (r == Read::Failed) {
    if (ClipPastePending()) fail(V, "Bad clipboard data");
    paste = Incoming{};
    Repaint(V);
    return;
  }
  paste.last = Clock::now();
  if (bytes == 0) {
    paste = Incoming{};
    ClipPasteFinish(V);
    Repaint(V);
  }
}

int SelectionTimers(EditorState* V, bool* changed) {
  *changed = false;
  if (!gone.empty()) dropGone();
  if (outs.empty() && !paste.active) return -1;
  const auto now = Clock::now();
  for (size_t i = outs.size(); i-- > 0;)
    if (now - outs[i].last >= idleLimit) endTransfer(i);
  if (paste.active && !ClipPastePending()) paste = Incoming{};
  if (paste.active && now - paste.last >= idleLimit) {
    paste = Incoming{};
    ClipPasteDrop(V, "Paste timed out, nothing inserted");
    *changed = true;
  }
  auto next = Clock::time_point::max();
  for (const Outgoing& o : outs) next = std::min(next, o.last + idleLimit);
  if (paste.active) next = std::min(next, paste.last + idleLimit);
  if (next == Clock::time_point::max()) return -1;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
  return int(std::clamp<long long>(ms, 1, idleLimit.count() + 1));
}

size_t SelectionTransfers() { return outs.size(); }
void SetSelectionIdle(std::chrono::milliseconds idle) { idleLimit = idle; }

size_t SelectionIncrThreshold() {
  if (!S.display) return kIncrThreshold;
  return std::min(kIncrThreshold, maxRequestBytes() - kRequestOverhead);
}

size_t SelectionChunk() { return std::min(kChunk, SelectionIncrThreshold()); }

void SelectionReset() {
  outs.clear();
  gone.clear();
  paste = Incoming{};
  atoms = Atoms{};
}
