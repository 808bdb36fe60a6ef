// The glyph strip and the requests that put pixels on the window.
#include "display/strip_image.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>

#include <algorithm>
#include <vector>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace {

struct ImageCloser {
  void operator()(XImage* img) const { XDestroyImage(img); }
};

// A shared-memory image only borrows its pixels from the segment.
struct SharedImageCloser {
  void operator()(XImage* img) const {
    img->data = nullptr;
    XDestroyImage(img);
  }
};

// The shared ring: one tall image whose rows the compositions take in turn,
// each as many as its line needs, so that a full repaint of short lines goes
// round it about once and the server is waited for only when the ring comes
// round to rows it may not have read yet.
constexpr int kRingRows = 8 * kStripRows;
constexpr size_t kRingBytes = size_t(kStripWidth) * kRingRows * 4;

// Sizes of the requests as they go on the wire.
constexpr uint64_t kPutImageHeader = 24;
constexpr uint64_t kShmPutImageRequest = 40;
constexpr uint64_t kFillRequest = 20;  // PolyFillRectangle with one rectangle
constexpr uint64_t kGcColourRequest = 16;
constexpr uint64_t kCopyRequest = 28;

struct GcCloser {
  Display* dpy = nullptr;
  void operator()(_XGC* gc) const { XFreeGC(dpy, gc); }
};

class PixmapOwner {
 public:
  PixmapOwner() = default;
  PixmapOwner(Display* dpy, Pixmap pm) : dpy_(dpy), pm_(pm) {}
  PixmapOwner(const PixmapOwner&) = delete;
  PixmapOwner& operator=(const PixmapOwner&) = delete;
  PixmapOwner& operator=(PixmapOwner&& other) noexcept {
    reset();
    std::swap(dpy_, other.dpy_);
    std::swap(pm_, other.pm_);
    return *this;
  }
  ~PixmapOwner() { reset(); }
  void reset() {
    if (dpy_ && pm_) XFreePixmap(dpy_, pm_);
    dpy_ = nullptr;
    pm_ = 0;
  }
  Pixmap get() const { return pm_; }

 private:
  Display* dpy_ = nullptr;
  Pixmap pm_ = 0;
};

struct Strip {
  bool open = false;
  PixmapOwner pm;
  std::unique_ptr<XImage, ImageCloser> img;
  std::unique_ptr<_XGC, GcCloser> gc;
  std::unique_ptr<uint32_t[]> own;  // the strip when there is no display
  uint32_t* data = nullptr;
  StripTraffic traffic;
  uint32_t gcColour = 0;  // the GC's foreground, as Xlib sends it only on change
  bool gcColourSet = false;

  // The shared ring; shared is false on the plain path.
  Display* dpy = nullptr;
  bool shared = false;
  XShmSegmentInfo shm{};
  std::unique_ptr<XImage, SharedImageCloser> ring;
  int row = 0;       // first ring row of the current composition
  int rowsSent = 0;  // the most rows of it put so far; 0: not sent
  // Puts the server may not have read yet: their rows and request numbers.
  struct Pending {
    int from, to;
    unsigned long request;
  };
  std::vector<Pending> pending;
};

Strip St;

bool attachFailed = false;
unsigned long attachSerial = 0;  // the attach request's number
XErrorHandler outerHandler = nullptr;
// Errors of earlier requests are not the attach's: they go where they went
// before, so no round trip is needed to have them in first.
int onAttachError(Display* dpy, XErrorEvent* e) {
  if (e->serial < attachSerial) return outerHandler ? outerHandler(dpy, e) : 0;
  attachFailed = true;
  return 0;
}

// Shared memory is only shared with a server on this machine: over TCP the
// segment id would name some other machine's memory, or none.
bool localConnection(Display* dpy) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (getsockname(ConnectionNumber(dpy), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    return false;
  return addr.ss_family == AF_UNIX;
}

bool sharedWanted() {
  const char* no = std::getenv("VEXOR_NO_SHM");
  return !no || !*no || std::strcmp(no, "0") == 0;
}

void dropShared() {
  St.ring.reset();
  if (St.shm.shmaddr && St.shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(St.shm.shmaddr);
  St.shm = XShmSegmentInfo{};
  St.pending.clear();
  St.row = 0;
  St.rowsSent = 0;
  St.shared = false;
}

// True when the server sees the client's segment: pixels written into it
// must arrive through it.  A server in another IPC namespace (a container
// that shares only the X socket) could attach some other segment of the same
// id without an error, and would then show foreign memory.  The server only
// reads here, so a wrong segment is never written to.
bool sameMemory(Display* dpy, unsigned long window, Visual* visual) {
  constexpr uint32_t kMarks[2] = {0x5a3c1e, 0xa1c3e5};
  std::unique_ptr<XImage, SharedImageCloser> probe(
      XShmCreateImage(dpy, visual, 24, ZPixmap, St.shm.shmaddr, &St.shm, 2, 1));
  if (!probe) return false;
  std::memcpy(St.shm.shmaddr, kMarks, sizeof kMarks);
  const Pixmap pm = XCreatePixmap(dpy, window, 2, 1, 24);
  GC gc = XCreateGC(dpy, pm, 0, nullptr);
  XShmPutImage(dpy, pm, gc, probe.get(), 0, 0, 0, 0, 2, 1, False);
  std::unique_ptr<XImage, ImageCloser> back(XGetImage(dpy, pm, 0, 0, 2, 1, AllPlanes, ZPixmap));
  XFreeGC(dpy, gc);
  XFreePixmap(dpy, pm);
  return back && (XGetPixel(back.get(), 0, 0) & 0xffffff) == kMarks[0] &&
         (XGetPixel(back.get(), 1, 0) & 0xffffff) == kMarks[1];
}

// Sets up the ring in shared memory; false (and nothing left over) when the
// server or the system will not have it.
bool openShared(Display* dpy, unsigned long window) {
  if (!sharedWanted() || !localConnection(dpy) || !XShmQueryExtension(dpy)) return false;
  const int id = shmget(IPC_PRIVATE, kRingBytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  St.shm.shmid = id;
  St.shm.shmaddr = static_cast<char*>(shmat(id, nullptr, 0));
  St.shm.readOnly = False;
  if (St.shm.shmaddr == reinterpret_cast<char*>(-1)) {
    St.shm.shmaddr = nullptr;
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  Visual* visual = XDefaultVisual(dpy, XDefaultScreen(dpy));
  St.ring.reset(XShmCreateImage(dpy, visual, 24, ZPixmap, St.shm.shmaddr, &St.shm, kStripWidth,
                                kRingRows));
  const XImage* img = St.ring.get();
  bool ok = img && img->bits_per_pixel == 32 && img->bytes_per_line == kStripWidth * 4 &&
            img->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
  if (ok) {
    // A server that cannot reach the segment answers the attach with an
    // error, which must not end the program.
    attachFailed = false;
    attachSerial = NextRequest(dpy);
    auto* previous = XSetErrorHandler(onAttachError);
    outerHandler = previous;
    const bool attached = XShmAttach(dpy, &St.shm) != 0;
    // The probe reads back from the server: an error of the attach has
    // arrived by then, without a round trip of its own (start-up waits for
    // each one).
    ok = attached && sameMemory(dpy, window, visual) && !attachFailed;
    if (attached && !ok) XShmDetach(dpy, &St.shm);
    if (!ok) XSync(dpy, False);  // the errors of a failed attach are caught here too
    XSetErrorHandler(previous);
    outerHandler = nullptr;
  }
  // Gone once both sides have let go, however the program ends.
  shmctl(id, IPC_RMID, nullptr);
  if (!ok) {
    dropShared();
    return false;
  }
  St.dpy = dpy;
  St.shared = true;
  St.row = 0;
  return true;
}

}  // namespace

std::string StripOpen(Display* dpy, unsigned long window) {
  if (St.open) return {};
  if (dpy && openShared(dpy, window)) {
    St.gc = std::unique_ptr<_XGC, GcCloser>(XCreateGC(dpy, window, 0, nullptr), GcCloser{dpy});
    St.data = reinterpret_cast<uint32_t*>(St.ring->data);
  } else if (dpy) {
    St.pm = PixmapOwner(dpy, XCreatePixmap(dpy, window, kStripWidth, kStripRows, 24));
    St.img.reset(XGetImage(dpy, St.pm.get(), 0, 0, kStripWidth, kStripRows, AllPlanes, ZPixmap));
    if (!St.img || !St.img->data || St.img->bits_per_pixel != 32 ||
        St.img->bytes_per_line != kStripWidth * 4) {
      StripClose();
      return "vexor: the display gives no " + std::to_string(kStripWidth) + " x " +
             std::to_string(kStripRows) + " depth-24 image with 32-bit pixels for the glyph strip";
    }
    // The strip is written as native 32-bit words; Xlib swaps if the server
    // wants the other byte order.
    St.img->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    St.gc = std::unique_ptr<_XGC, GcCloser>(XCreateGC(dpy, window, 0, nullptr), GcCloser{dpy});
    St.data = reinterpret_cast<uint32_t*>(St.img->data);
  } else {
    St.own = std::make_unique<uint32_t[]>(size_t(kStripWidth) * kStripRows);
    St.data = St.own.get();
  }
  St.open = true;
  return {};
}

void StripClose() {
  if (St.shared && St.dpy) XShmDetach(St.dpy, &St.shm);
  dropShared();
  St.dpy = nullptr;
  St.gcColourSet = false;
  St.gc.reset();
  St.img.reset();
  St.pm.reset();
  St.own.reset();
  St.data = nullptr;
  St.open = false;
}

uint32_t* StripData() { return St.data; }

void StripBegin() {
  if (!St.shared || St.rowsSent == 0) return;
  int next = St.row + St.rowsSent;
  if (next + kStripRows > kRingRows) next = 0;
  St.rowsSent = 0;
  // Rows the server may not have read yet are waited for with a round trip,
  // after which every earlier put is done.
  const unsigned long done = LastKnownRequestProcessed(St.dpy);
  bool wait = false;
  for (const auto& p : St.pending)
    wait = wait || (p.request > done && p.from < next + kStripRows && p.to > next);
  if (wait) {
    XSync(St.dpy, False);
    St.pending.clear();
  } else {
    std::erase_if(St.pending, [&](const auto& p) { return p.request <= done; });
  }
  St.row = next;
  St.data = reinterpret_cast<uint32_t*>(St.ring->data) + size_t(next) * kStripWidth;
}

void StripPut(Display* dpy, unsigned long drawable, int srcX, int width, int rows, int dstX,
              int dstY) {
  if (!dpy || !St.gc || width <= 0 || rows <= 0) return;
  if (srcX < 0 || srcX >= kStripWidth) return;
  width = std::min(width, kStripWidth - srcX);
  rows = std::min(rows, kStripRows);
  if (St.shared && dpy == St.dpy) {
    St.pending.push_back({St.row, St.row + rows, NextRequest(dpy)});
    XShmPutImage(dpy, drawable, St.gc.get(), St.ring.get(), srcX, St.row, dstX, dstY,
                 unsigned(width), unsigned(rows), False);
    St.rowsSent = std::max(St.rowsSent, rows);
    St.traffic.sharedPuts++;
    St.traffic.sharedBytes += uint64_t(width) * unsigned(rows) * 4;
    St.traffic.requestBytes += kShmPutImageRequest;
  } else if (St.img) {
    XPutImage(dpy, drawable, St.gc.get(), St.img.get(), srcX, 0, dstX, dstY, unsigned(width),
              unsigned(rows));
    const uint64_t bytes = uint64_t(width) * unsigned(rows) * 4;
    St.traffic.imageBytes += bytes;
    St.traffic.requestBytes += kPutImageHeader + bytes;
  } else {
    return;
  }
  St.traffic.images++;
}

void StripFill(Display* dpy, unsigned long drawable, uint32_t colour, int x, int y, int w, int h) {
  if (!dpy || !St.gc || w <= 0 || h <= 0) return;
  colour &= 0xffffff;
  if (!St.gcColourSet || St.gcColour != colour) St.traffic.requestBytes += kGcColourRequest;
  St.gcColour = colour;
  St.gcColourSet = true;
  XSetForeground(dpy, St.gc.get(), colour);
  XFillRectangle(dpy, drawable, St.gc.get(), x, y, unsigned(w), unsigned(h));
  St.traffic.fills++;
  St.traffic.requestBytes += kFillRequest;
}

void StripCopy(Display* dpy, unsigned long drawable, int sx, int sy, int w, int h, int dx,
               int dy) {
  if (!dpy || !St.gc || w <= 0 || h <= 0) return;
  XCopyArea(dpy, drawable, drawable, St.gc.get(), sx, sy, unsigned(w), unsigned(h), dx, dy);
  St.traffic.copies++;
  St.traffic.requestBytes += kCopyRequest;
}

uint64_t StripImagesSent() { return St.traffic.images; }

StripTraffic StripTrafficSoFar() { return St.traffic; }

bool StripShared() { return St.shared; }
