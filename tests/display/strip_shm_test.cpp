// The glyph strip on a real server: through shared memory and through plain
// image requests the window gets the same pixels, also when more rows are
// sent in a row than the shared ring holds; and the plain path is taken
// when asked for and when shared memory is not to be had.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "display/glyph_renderer.h"
#include "display/strip_image.h"
#include "display/xlib.h"
#include "tests/support/own_xvfb.h"
#include "tests/support/test_display.h"

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kW = 640;
// Tall enough that one pass down it goes round the shared ring twice.
constexpr int kH = 2 * 8 * kStripRows + 160;
constexpr uint32_t kBlank = 0x123456;

// VEXOR_NO_SHM for the scope of one test.
struct NoShm {
  explicit NoShm(bool on) {
    if (on) setenv("VEXOR_NO_SHM", "1", 1);
    else unsetenv("VEXOR_NO_SHM");
  }
  ~NoShm() { unsetenv("VEXOR_NO_SHM"); }
};

// The renderer on a 24-bit pixmap of `dpy` (a pixmap, so nothing covers it).
struct Target {
  Display* dpy = nullptr;
  Pixmap pm = 0;
  GC gc = nullptr;
  bool ok = false;
  explicit Target(Display* d, int px) : dpy(d) {
    if (!dpy || XDefaultDepth(dpy, XDefaultScreen(dpy)) != 24) return;
    const Window root = XDefaultRootWindow(dpy);
    pm = XCreatePixmap(dpy, root, kW, kH, 24);
    gc = XCreateGC(dpy, pm, 0, nullptr);
    XSetForeground(dpy, gc, kBlank);
    XFillRectangle(dpy, pm, gc, 0, 0, kW, kH);
    ok = crapInitChecked(dpy, root).empty();
    crapSetFont(font, "text", kMono, px, 0, 0, 0);
    ok = ok && crapOpenFontChecked(font).empty();
  }
  ~Target() {
    crapDeinit();
    if (gc) XFreeGC(dpy, gc);
    if (pm) XFreePixmap(dpy, pm);
  }
  std::vector<uint32_t> pixels() const {
    std::vector<uint32_t> out(size_t(kW) * kH);
    XImage* img = XGetImage(dpy, pm, 0, 0, kW, kH, AllPlanes, ZPixmap);
    if (!img) return {};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) out[size_t(y) * kW + x] = XGetPixel(img, x, y) & 0xffffff;
    XDestroyImage(img);
    return out;
  }
};

// Fills the pixmap row by row with a different text and colour pair each,
// without waiting for the server in between, and returns what each strip
// held right after it was sent (what the pixmap must show).
std::vector<uint32_t> paintRows(const Target& t, int* rowsSent) {
  std::vector<uint32_t> want(size_t(kW) * kH, kBlank);
  const int lh = font->lineHeight;
  const int cw = font->charWidth;
  *rowsSent = 0;
  for (int r = 0; (r + 1) * lh <= kH; ++r) {
    const int k = r;
    char line[64];
    const int n = std::snprintf(line, sizeof line, "row %d: {[%c%c]} =>", k, 'a' + k % 26,
                                'Z' - k % 26);
    tchar s[64];
    for (int i = 0; i < n; ++i) s[i] = static_cast<unsigned char>(line[i]);
    const uint32_t fg = 0x0000ff * (r % 3) + 0x202020;
    const uint32_t bg = 0xffffff - 0x050301 * uint32_t(r % 48);
    const int x = (r % 5) * 7;
    int width;
    if (r % 2) {
      width = crapText(t.dpy, t.pm, font, fg, bg, x, r * lh + font->baseline, s, n);
    } else {
      // Composed in two pieces, as a view row with two colours is.
      width = crapCellsAt(font, fg, bg, 0, s, 6, cw);
      width += crapCellsAt(font, bg, fg, width, s + 6, n - 6, cw);
      crapSendStrip(t.dpy, t.pm, font, x, r * lh + font->baseline, width);
    }
    const uint32_t* strip = crapStrip();
    for (int y = 0; y < lh; ++y)
      for (int i = 0; i < width && x + i < kW; ++i)
        want[size_t(r * lh + y) * kW + x + i] = strip[size_t(y) * kStripWidth + i] & 0xffffff;
    ++*rowsSent;
  }
  return want;
}

class StripShm : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
  }
  void TearDown() override {
    if (dpy) XCloseDisplay(dpy);
  }
  Display* dpy = nullptr;
};

TEST_F(StripShm, BothPathsPutTheSamePixelsEvenPastTheRing) {
  for (const int px : {12, 22}) {
    SCOPED_TRACE("font size " + std::to_string(px));
    std::vector<uint32_t> seen[2];
    for (const bool plain : {false, true}) {
      NoShm env(plain);
      Target t(dpy, px);
      if (!t.ok) GTEST_SKIP() << "no 24-bit display or font";
      if (!plain && !StripShared()) GTEST_SKIP() << "the test server offers no MIT-SHM";
      EXPECT_EQ(StripShared(), !plain);
      const StripTraffic before = StripTrafficSoFar();
      int rows = 0;
      // Another client holds the server while the rows go out, so that none
      // is read before the ring comes round: only waiting for the server
      // keeps the ring's rows from being written over unread.
      Display* holder = XOpenDisplay(DisplayString(dpy));
      ASSERT_NE(holder, nullptr);
      XGrabServer(holder);
      XSync(holder, False);
      std::thread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XUngrabServer(holder);
        XSync(holder, False);
      });
      const std::vector<uint32_t> want = paintRows(t, &rows);
      release.join();
      XCloseDisplay(holder);
      const StripTraffic after = StripTrafficSoFar();
      ASSERT_GT(rows * font->lineHeight, 16 * kStripRows);  // twice round the ring at least
      EXPECT_EQ(after.images - before.images, uint64_t(rows));
      if (plain) {
        EXPECT_EQ(after.sharedPuts, before.sharedPuts);
        EXPECT_GT(after.imageBytes - before.imageBytes, uint64_t(rows) * font->lineHeight * 4 * 20);
      } else {
        EXPECT_EQ(after.sharedPuts - before.sharedPuts, uint64_t(rows));
        EXPECT_EQ(after.imageBytes, before.imageBytes);
        EXPECT_EQ(after.requestBytes - before.requestBytes, uint64_t(rows) * 40);
      }
      seen[plain] = t.pixels();
      ASSERT_EQ(seen[plain].size(), want.size());
      size_t wrong = 0;
      for (size_t i = 0; i < want.size(); ++i) wrong += seen[plain][i] != want[i];
      EXPECT_EQ(wrong, 0u) << (plain ? "plain" : "shared") << " path";
    }
    EXPECT_TRUE(seen[0] == seen[1]);
  }
}

// One row through a server where shared memory is refused: it still arrives.
void expectPlainAndPainted(Display* dpy, const char* why) {
  SCOPED_TRACE(why);
  ASSERT_TRUE(dpy);
  Target t(dpy, 14);
  ASSERT_TRUE(t.ok);
  EXPECT_FALSE(StripShared());
  tchar s[] = {'O', 'k', '!'};
  const int w = crapText(dpy, t.pm, font, 0x000000, 0xff8000, 0, font->baseline, s, 3);
  ASSERT_GT(w, 0);
  const std::vector<uint32_t> got = t.pixels();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[size_t(font->lineHeight - 1) * kW], 0xff8000u);
  EXPECT_EQ(got[size_t(font->lineHeight) * kW], kBlank);
}

TEST_F(StripShm, PlainPathWhenForcedRemoteOrNotOffered) {
  {
    NoShm env(true);
    expectPlainAndPainted(dpy, "VEXOR_NO_SHM=1");
  }
  vt::OwnXvfb noShm("800x600x24", {"-nolisten", "tcp", "-extension", "MIT-SHM"});
  vt::OwnXvfb tcp("800x600x24", {"-listen", "tcp"});
  if (noShm.number() < 0 || tcp.number() < 0) GTEST_SKIP() << "Xvfb missing";
  Display* d = XOpenDisplay((":" + std::to_string(noShm.number())).c_str());
  expectPlainAndPainted(d, "server without MIT-SHM");
  if (d) XCloseDisplay(d);
  // Over TCP the server may offer MIT-SHM, but it cannot see this memory.
  d = XOpenDisplay(("127.0.0.1:" + std::to_string(tcp.number())).c_str());
  if (!d) GTEST_SKIP() << "the private server takes no TCP connections";
  expectPlainAndPainted(d, "remote connection");
  XCloseDisplay(d);
  d = XOpenDisplay((":" + std::to_string(tcp.number())).c_str());
  ASSERT_TRUE(d);
  {
    Target t(d, 14);
    EXPECT_TRUE(StripShared()) << "the same server through its local socket";
  }
  XCloseDisplay(d);
}

// A client whose shared memory the server cannot see (its own IPC
// namespace, as in a container that shares only the X socket): the segment
// id means nothing or some other segment to the server, and the strip must
// notice and send plain images.  Run in a child, which exits 77 when the
// system allows no namespace of its own.
TEST_F(StripShm, PlainPathWhenTheServerSeesOtherMemory) {
  const std::string name = DisplayString(dpy);
  const pid_t pid = fork();
  if (pid == 0) {
    if (unshare(CLONE_NEWIPC) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWIPC) != 0) _exit(77);
    Display* d = XOpenDisplay(name.c_str());
    if (!d) _exit(2);
    int status = 0;
    {
      Target t(d, 14);
      tchar s[] = {'#', '#'};
      const int w = t.ok ? crapText(d, t.pm, font, 0x00ff00, 0x0000ff, 0, font->baseline, s, 2)
                         : 0;
      const std::vector<uint32_t> got = t.pixels();
      if (!t.ok || w <= 0 || got.empty()) status = 3;
      else if (StripShared()) status = 4;
      else if (got[size_t(font->lineHeight - 1) * kW] != 0x0000ff) status = 5;
    }
    XCloseDisplay(d);
    _exit(status);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no IPC namespace of our own here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "3: no painting, 4: shared memory kept, 5: wrong pixels";
}

}  // namespace
