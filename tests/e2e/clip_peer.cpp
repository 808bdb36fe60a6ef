// Other clients of the clipboard tests, some of them badly behaved:
//
//   clip_peer silent SEL SECONDS      owns SEL and never answers a request
//   clip_peer stall SEL BYTES SECONDS owns SEL, answers by INCR, sends one
//                                     chunk and then nothing more
//   clip_peer latin1 SEL TEXT SECONDS owns SEL offering only STRING: TEXT
//                                     (UTF-8 on the command line) goes out
//                                     in ISO-8859-1, UTF8_STRING is refused
//   clip_peer vanish SEL              asks SEL's owner for UTF8_STRING and
//                                     destroys its window at once
//   clip_peer vanish-incr SEL         asks for UTF8_STRING, takes the first
//                                     INCR chunk and ends
//
// An owner prints "owned" once it holds the selection and ends after
// SECONDS.  Exit status 0, or 1 when a step fails.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

Display* dpy;
Window win;
Atom utf8, incr, targets;

double now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// The next event, or false when `until` passes first.
bool nextEvent(XEvent* ev, double until) {
  while (!XPending(dpy)) {
    const double left = until - now();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(dpy), POLLIN, 0};
    poll(&p, 1, int(left * 1000) + 1);
  }
  XNextEvent(dpy, ev);
  return true;
}

void notify(const XSelectionRequestEvent& r, Atom property) {
  XEvent ev{};
  ev.xselection.type = SelectionNotify;
  ev.xselection.requestor = r.requestor;
  ev.xselection.selection = r.selection;
  ev.xselection.target = r.target;
  ev.xselection.property = property;
  ev.xselection.time = r.time;
  XSendEvent(dpy, r.requestor, False, 0, &ev);
  XFlush(dpy);
}

std::string latin1(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0xc3 && i + 1 < s.size()) {
      out += char(0x40 + static_cast<unsigned char>(s[++i]));
    } else if (b == 0xc2 && i + 1 < s.size()) {
      out += s[++i];
    } else {
      out += s[i];
    }
  }
  return out;
}

bool own(Atom sel) {
  XSetSelectionOwner(dpy, sel, win, CurrentTime);
  if (XGetSelectionOwner(dpy, sel) != win) return false;
  std::printf("owned\n");
  std::fflush(stdout);
  return true;
}

int owner(const char* mode, Atom sel, const std::string& data, double seconds) {
  if (!own(sel)) return 1;
  const double until = now() + seconds;
  bool stalled = false;
  Window stalledOn = 0;
  XEvent ev;
  while (nextEvent(&ev, until)) {
    if (ev.type == SelectionClear) return 0;
    if (ev.type == PropertyNotify && ev.xproperty.state == PropertyDelete && ev.xproperty.window == stalledOn &&
        !stalled) {
      // One chunk, then silence.
      const std::string chunk = data.substr(0, 4096);
      XChangeProperty(dpy, stalledOn, ev.xproperty.atom, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(chunk.data()), int(chunk.size()));
      XFlush(dpy);
      stalled = true;
      continue;
    }
    if (ev.type != SelectionRequest) continue;
    const XSelectionRequestEvent& r = ev.xselectionrequest;
    const Atom prop = r.property ? r.property : r.target;
    if (!std::strcmp(mode, "silent")) continue;
    if (!std::strcmp(mode, "latin1")) {
      if (r.target == targets) {
        const Atom list[] = {targets, XA_STRING};
        XChangeProperty(dpy, r.requestor, prop, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list), 2);
        notify(r, prop);
      } else if (r.target == XA_STRING) {
        const std::string l = latin1(data);
        XChangeProperty(dpy, r.requestor, prop, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(l.data()), int(l.size()));
        notify(r, prop);
      } else {
        notify(r, None);
      }
      continue;
    }
    // stall
    if (r.target != utf8 || stalledOn) {
      notify(r, None);
      continue;
    }
    XSelectInput(dpy, r.requestor, PropertyChangeMask);
    const long size = long(data.size());
    XChangeProperty(dpy, r.requestor, prop, incr, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&size),
                    1);
    stalledOn = r.requestor;
    notify(r, prop);
  }
  return 0;
}

int requestor(bool incrToo, Atom sel) {
  const Atom prop = XInternAtom(dpy, "CLIP_PEER", False);
  XConvertSelection(dpy, sel, utf8, prop, win, CurrentTime);
  if (!incrToo) {
    // Gone before the owner can answer.
    XDestroyWindow(dpy, win);
    XSync(dpy, False);
    return 0;
  }
  XEvent ev;
  const double until = now() + 10;
  while (nextEvent(&ev, until)) {
    if (ev.type == SelectionNotify) {
      if (ev.xselection.property == None) return 1;
      Atom type;
      int format;
      unsigned long n, after;
      unsigned char* data = nullptr;
      XGetWindowProperty(dpy, win, prop, 0, 1, True, AnyPropertyType, &type, &format, &n, &after, &data);
      if (data) XFree(data);
      if (type != incr) return 1;
    } else if (ev.type == PropertyNotify && ev.xproperty.state == PropertyNewValue && ev.xproperty.atom == prop) {
      // The first chunk came: leave in the middle of the transfer.
      XDestroyWindow(dpy, win);
      XSync(dpy, False);
      return 0;
    }
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: clip_peer MODE SEL ...\n");
    return 2;
  }
  dpy = XOpenDisplay(nullptr);
  if (!dpy) return 1;
  win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(dpy, win, PropertyChangeMask);
  utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  incr = XInternAtom(dpy, "INCR", False);
  targets = XInternAtom(dpy, "TARGETS", False);
  const Atom sel = !std::strcmp(argv[2], "primary") ? XA_PRIMARY : XInternAtom(dpy, "CLIPBOARD", False);
  const std::string mode = argv[1];
  int rc = 1;
  if (mode == "silent" && argc == 4) {
    rc = owner("silent", sel, "", std::atof(argv[3]));
  } else if (mode == "stall" && argc == 5) {
    rc = owner("stall", sel, std::string(size_t(std::atol(argv[3])), 'x'), std::atof(argv[4]));
  } else if (mode == "latin1" && argc == 5) {
    rc = owner("latin1", sel, argv[3], std::atof(argv[4]));
  } else if (mode == "vanish") {
    rc = requestor(false, sel);
  } else if (mode == "vanish-incr") {
    rc = requestor(true, sel);
  } else {
    std::fprintf(stderr, "clip_peer: bad arguments\n");
    rc = 2;
  }
  XCloseDisplay(dpy);
  return rc;
}
