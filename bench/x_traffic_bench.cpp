// What a repaint costs the X connection: bytes the editor writes to the
// server and the editor's CPU time, for a one-line scroll, a page flip and a
// typed key, at 800x600 and 1920x1080, through shared memory and through
// plain image requests; and the CPU time of a full repaint.
//
// It starts its own Xvfb and puts a forwarding proxy between the editor and
// it, on a Unix socket of its own display number, so the bytes are counted
// on the wire and not only by the editor's own counters.  No options; prints
// one table.  Needs Xvfb and the DejaVu fonts.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config/colors.h"
#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/glyph_renderer.h"
#include "display/paint.h"
#include "display/screen.h"
#include "display/strip_image.h"
#include "display/xlib.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/own_xvfb.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kFontPx = 16;
constexpr int kRepeats = 20;

// ---- The server and the proxy in front of it -----------------------------

sockaddr_un unixAddress(const std::string& path, bool abstract) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::memcpy(a.sun_path + (abstract ? 1 : 0), path.data(), path.size());
  return a;
}

// The file name with its NUL, or the abstract name after its leading NUL.
socklen_t addressLength(const std::string& path) {
  return socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1);
}

// Listens as display :N (both the socket file and the abstract name Xlib
// tries first) and forwards every connection to the real server, counting
// what the client writes.
class Proxy {
 public:
  explicit Proxy(int upstream) : upstream_("/tmp/.X11-unix/X" + std::to_string(upstream)) {
    for (int n = 40; n < 200 && number_ < 0; ++n) {
      const std::string path = "/tmp/.X11-unix/X" + std::to_string(n);
      if (access(path.c_str(), F_OK) == 0) continue;
      const int file = listenOn(path, false);
      const int abstract = file >= 0 ? listenOn(path, true) : -1;
      if (abstract < 0) {
        if (file >= 0) close(file), unlink(path.c_str());
        continue;
      }
      listeners_[0] = file;
      listeners_[1] = abstract;
      path_ = path;
      number_ = n;
    }
    if (number_ >= 0) acceptor_ = std::thread([this] { acceptLoop(); });
  }
  ~Proxy() {
    stop_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    for (auto& t : pipes_) t.join();
    for (int fd : listeners_)
      if (fd >= 0) close(fd);
    if (!path_.empty()) unlink(path_.c_str());
  }
  int number() const { return number_; }
  uint64_t clientBytes() const { return bytes_.load(); }

 private:
  static int listenOn(const std::string& path, bool abstract) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un a = unixAddress(path, abstract);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), addressLength(path)) != 0 ||
        listen(fd, 8) != 0) {
      close(fd);
      return -1;
    }
    return fd;
  }
  void acceptLoop() {
    while (!stop_) {
      pollfd p[2] = {{listeners_[0], POLLIN, 0}, {listeners_[1], POLLIN, 0}};
      if (poll(p, 2, 50) <= 0) continue;
      for (const pollfd& l : p) {
        if (!(l.revents & POLLIN)) continue;
        const int client = accept4(l.fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un a = unixAddress(upstream_, false);
        if (server < 0 || connect(server, reinterpret_cast<const sockaddr*>(&a),
                                  addressLength(upstream_)) != 0) {
          close(client);
          if (server >= 0) close(server);
          continue;
        }
        pipes_.emplace_back([this, client, server] { forward(client, server); });
      }
    }
  }
  void forward(int client, int server) {
    std::vector<char> buf(1 << 16);
    bool open = true;
    while (open && !stop_) {
      pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
      if (poll(p, 2, 50) <= 0) continue;
      for (int i = 0; i < 2 && open; ++i) {
        if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = read(p[i].fd, buf.data(), buf.size());
        if (n <= 0) {
          open = false;
          break;
        }
        if (i == 0) bytes_ += uint64_t(n);
        for (ssize_t off = 0; off < n && open;) {
          const ssize_t w = write(p[1 - i].fd, buf.data() + off, size_t(n - off));
          if (w <= 0) open = false;
          off += w;
        }
      }
    }
    close(client);
    close(server);
  }

  std::string upstream_;
  std::string path_;
  int number_ = -1;
  int listeners_[2] = {-1, -1};
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> bytes_{0};
  std::thread acceptor_;
  std::vector<std::thread> pipes_;
};

// ---- The editor ------------------------------------------------------------

// Source-like lines wider than the widest window, and many of them, so
// scrolling and paging never reach the end.  The repaint leaves rows that
// did not change alone, so no two lines are alike.
std::string windowText() {
  const char* const samples[] = {
      "    for (int i = 0; i < count; ++i) total += weights[i] * values[i];  // sum it up",
      "static const char* names[] = {\"alpha\", \"beta\", \"gamma\", \"delta\", \"epsilon\"};",
      "  if (line->count > limit && !(flags & LINK_SOFTBREAK)) return Reflow(V, line, 0x4000);",
      "/* A comment that runs on for a while, with a few accents: caf\xc3\xa9 na\xc3\xafve */",
  };
  std::string text;
  for (int row = 0; row < 6000; ++row) {
    // Numbered, so that no page looks like the one before it.
    std::string line = std::to_string(row) + " ";
    while (line.size() < 260) line += samples[(row + line.size()) % 4];
    text += line.substr(0, 240 - row % 60) + "\n";
  }
  return text;
}

double threadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Figures {
  double wireKB = 0, images = 0, pixelKB = 0, imageKB = 0, shmPuts = 0, fills = 0, copies = 0, cpuMs = 0;
};

struct Run {
  Display* dpy;
  const Proxy& proxy;
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  Window win = 0;
  bool inited = false;
  bool ok = false;

  Run(Display* d, const Proxy& p, int w, int h) : dpy(d), proxy(p) {
    win = XCreateSimpleWindow(dpy, XDefaultRootWindow(dpy), 0, 0, unsigned(w), unsigned(h), 0, 0,
                              0xffffff);
    XMapWindow(dpy, win);
    XSync(dpy, False);
    if (!crapInitChecked(dpy, win).empty()) return;
    crapSetFont(font, "text", kMono, kFontPx, 0, 0, 0);
    if (!crapOpenFontChecked(font).empty()) return;
    EditorState* V = v.get();
    if (!InitEditor(V)) return;
    inited = true;
    V->inputMode = 1;
    SetMetrics(V, w, h, font->lineHeight, font->charWidth, font->ascent);
    const std::string text = windowText();
    Link* base = TextFromBytes(V, text.data(), text.size(), 0, MODE_UTF8);
    Tcb* t = NewText(V, base, MODE_UTF8);
    if (!t) return;
    t->kind = KIND_FILE;
    PrepareView(V);
    setColors();
    S.display = dpy;
    S.window = win;
    V->redraw |= REDRAW_ALL;
    redraw(V);
    XSync(dpy, False);
    ok = true;
  }
  ~Run() {
    S.display = nullptr;
    S.window = 0;
    if (inited) DeInitEditor(v.get());
    crapDeinit();
    XDestroyWindow(dpy, win);
    XSync(dpy, False);
  }

  // Average over kRepeats of one key and the repaint after it.
  template <typename Key>
  Figures measure(Key key) {
    Figures f;
    std::vector<double> cpu;
    for (int i = 0; i < kRepeats; ++i) {
      XSync(dpy, False);
      const uint64_t wire = proxy.clientBytes();
      const StripTraffic t0 = StripTrafficSoFar();
      const double c0 = threadCpuMs();
      key(i);
      XSync(dpy, False);
      cpu.push_back(threadCpuMs() - c0);
      const StripTraffic t1 = StripTrafficSoFar();
      f.wireKB += double(proxy.clientBytes() - wire) / 1024;
      f.images += double(t1.images - t0.images);
      f.imageKB += double(t1.imageBytes - t0.imageBytes) / 1024;
      f.pixelKB += double(t1.imageBytes - t0.imageBytes + t1.sharedBytes - t0.sharedBytes) / 1024;
      f.shmPuts += double(t1.sharedPuts - t0.sharedPuts);
      f.fills += double(t1.fills - t0.fills);
      f.copies += double(t1.copies - t0.copies);
    }
    for (double* x : {&f.wireKB, &f.images, &f.pixelKB, &f.imageKB, &f.shmPuts, &f.fills, &f.copies})
      *x /= kRepeats;
    std::sort(cpu.begin(), cpu.end());
    f.cpuMs = cpu[cpu.size() / 2];
    return f;
  }
  void press(int code) {
    HandleKey(v.get(), code, 0, 0);
    Repaint(v.get());
  }
};

void row(const char* size, const char* path, const char* action, const Figures& f) {
  std::printf(
      "| %-9s | %-6s | %-12s | %10.1f | %6.1f | %8.1f | %9.1f | %5.1f | %5.1f | %6.1f | %7.3f |\n",
      size, path, action, f.wireKB, f.images, f.pixelKB, f.imageKB, f.shmPuts, f.fills, f.copies,
      f.cpuMs);
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    std::fprintf(stderr, "usage: bench_x_traffic_bench (no options; starts its own Xvfb)\n");
    return 2;
  }
  if (access(kMono, R_OK) != 0) {
    std::fprintf(stderr, "DejaVu Sans Mono missing (fonts-dejavu-core)\n");
    return 1;
  }
  vt::OwnXvfb server("1920x1080x24", {"-nolisten", "tcp"});
  if (server.number() < 0) {
    std::fprintf(stderr, "Xvfb did not start (is it installed?)\n");
    return 1;
  }
  Proxy proxy(server.number());
  if (proxy.number() < 0) {
    std::fprintf(stderr, "no free display number for the counting proxy\n");
    return 1;
  }
  const std::string name = ":" + std::to_string(proxy.number());
  Display* dpy = XOpenDisplay(name.c_str());
  if (!dpy) {
    std::fprintf(stderr, "cannot open %s through the proxy\n", name.c_str());
    return 1;
  }
  std::printf("Per key and repaint, mean of %d (CPU: median, this thread, ms); DejaVu Sans Mono "
              "%d px.\npixel KB: pixels put either way; image KB: those written to the socket; "
              "shm: images read from shared memory.\n\n",
              kRepeats, kFontPx);
  std::printf("| window    | path   | action       | KB on wire | images | pixel KB | "
              "image KB  | shm   | fills | copies | CPU ms  |\n");
  std::printf("|-----------|--------|--------------|------------|--------|----------|"
              "-----------|-------|-------|--------|---------|\n");
  struct Size {
    const char* label;
    int w, h;
  };
  int failures = 0;
  for (const Size sz : {Size{"800x600", 800, 600}, Size{"1920x1080", 1920, 1080}}) {
    for (const bool plain : {false, true}) {
      if (plain) setenv("VEXOR_NO_SHM", "1", 1);
      else unsetenv("VEXOR_NO_SHM");
      Run run(dpy, proxy, sz.w, sz.h);
      if (!run.ok) {
        std::fprintf(stderr, "the editor did not start at %s\n", sz.label);
        ++failures;
        continue;
      }
      const char* path = StripShared() ? "shm" : "plain";
      if (!plain && !StripShared()) path = "plain!";  // the server refused shared memory
      row(sz.label, path, "scroll line",
          run.measure([&](int) { run.press(CMD_BASE + cmd::Scrolldown); }));
      row(sz.label, path, "page flip",
          run.measure([&](int) { run.press(CMD_BASE + cmd::PageDown); }));
      row(sz.label, path, "typed key",
          run.measure([&](int i) { run.press('a' + i % 26); }));
      row(sz.label, path, "full repaint", run.measure([&](int) {
        run.v->redraw |= REDRAW_ALL;
        Repaint(run.v.get());
      }));
    }
  }
  unsetenv("VEXOR_NO_SHM");
  XCloseDisplay(dpy);
  return failures ? 1 : 0;
}
