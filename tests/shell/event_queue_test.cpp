// Resizes and exposures that pile up in the X queue (a window dragged to a
// new size sends many): only the newest size is laid out, and only the last
// exposure repaints.  Needs an X display for its event queue; the events are
// put into the queue directly, so nothing is mapped.
#include <gtest/gtest.h>

#include "display/xlib.h"

#include <cstring>
#include <vector>

#include "core/editor_state.h"
#include "display/screen.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tests/support/test_display.h"

namespace {

int paints = 0;
void countPaint(EditorState*) { ++paints; }

class EventQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
    saved = loopHooks();
    savedS = S;
    loopHooks() = LoopHooks{};
    loopHooks().paint = countPaint;
    paints = 0;
    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 800, 600, 0, 0, 0);
    S.display = dpy;
    S.window = win;
    S.width = 800;
    S.height = 600;
    ed->inputMode = ModeEdit;
  }
  void TearDown() override {
    if (!dpy) return;
    loopHooks() = saved;
    S = savedS;
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
  }
  XEvent Configure(int w, int h) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = ConfigureNotify;
    ev.xconfigure.display = dpy;
    ev.xconfigure.event = ev.xconfigure.window = win;
    ev.xconfigure.width = w;
    ev.xconfigure.height = h;
    return ev;
  }
  XEvent Exposure(int count) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = Expose;
    ev.xexpose.display = dpy;
    ev.xexpose.window = win;
    ev.xexpose.count = count;
    return ev;
  }
  // Puts events into the queue in this order, ahead of anything there.
  void Queue(std::vector<XEvent> events) {
    for (auto it = events.rbegin(); it != events.rend(); ++it) XPutBackEvent(dpy, &*it);
  }
  int Handle(XEvent ev) { return HandleEvent(ed.V(), &ev); }
  int Queued() { return XEventsQueued(dpy, QueuedAlready); }

  Display* dpy = nullptr;
  Window win = 0;
  vt::Editor ed;
  LoopHooks saved;
  Screen savedS;
};

TEST_F(EventQueue, OnlyTheNewestOfQueuedSizesIsLaidOut) {
  Queue({Configure(900, 700), Exposure(0), Configure(1000, 750)});
  Handle(Configure(850, 650));
  EXPECT_EQ(S.width, 1000);
  EXPECT_EQ(S.height, 750);
  EXPECT_EQ(ed->winWidth, 990);
  EXPECT_EQ(ed->fullHeight, 750);
  // The sizes in between are gone from the queue; the exposure stays.
  ASSERT_EQ(Queued(), 1);
  XEvent next;
  XNextEvent(dpy, &next);
  EXPECT_EQ(next.type, Expose);
  EXPECT_EQ(paints, 0);
}

TEST_F(EventQueue, AnExposureOfASizeGoneDoesNotRepaint) {
  // Another exposure to come: it repaints, this one does not.
  Queue({Exposure(0)});
  Handle(Exposure(0));
  EXPECT_EQ(paints, 0);
  XEvent ev;
  XNextEvent(dpy, &ev);
  // A new size to come: its own exposure will repaint.
  Queue({Configure(640, 480)});
  Handle(ev);
  EXPECT_EQ(paints, 0);
  XNextEvent(dpy, &ev);
  Handle(ev);
  EXPECT_EQ(S.width, 640);
  // A configure of the same size (a move) holds nothing back.
  Queue({Configure(640, 480)});
  Handle(Exposure(0));
  EXPECT_EQ(paints, 1);
  EXPECT_TRUE(ed->redraw & REDRAW_ALL);
  EXPECT_EQ(Queued(), 1) << "looking ahead takes nothing from the queue";
}

}  // namespace
