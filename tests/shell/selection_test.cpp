// The selections against a real X server: another connection plays the other
// client, the editor's events are built by the test or taken from its queue
// and go through the event loop's routing.
#include "shell/selection.h"

#include <gtest/gtest.h>

#include "display/xlib.h"

#include <chrono>
#include <string>
#include <thread>

#include "core/editor_state.h"
#include "display/screen.h"
#include "edit/clipboard.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "tests/support/headless.h"
#include "tests/support/test_display.h"

namespace {

class Selections : public ::testing::Test {
 protected:
  void SetUp() override {
    dpy = vt::OpenTestDisplay();
    if (!dpy) GTEST_SKIP() << "no X display";
    peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    savedS = S;
    savedPaint = loopHooks().paint;
    loopHooks().paint = [](EditorState*) {};
    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(dpy, win, PropertyChangeMask);
    S.display = dpy;
    S.window = win;
    SelectionReset();
    e = std::make_unique<vt::Editor>();
    other = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(peer, other, PropertyChangeMask);
    XSync(peer, False);
    prop = XInternAtom(peer, "VT_PROP", False);
    clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  }
  void TearDown() override {
    if (!dpy) return;
    e.reset();
    SelectionReset();
    SetSelectionIdle(std::chrono::milliseconds(5000));
    SetClipOfferLimit(0);
    loopHooks().paint = savedPaint;
    S = savedS;
    XCloseDisplay(peer);
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
  }

  EditorState* V() { return e->V(); }
  void run(int n) { DoCommand(V(), &n); }
  // Copies `text`, the whole of a fresh text, to selection `sel`.
  void offer(const std::string& text, int sel = kSelClipboard) {
    e->open(text);
    run(cmd::MarkAll);
    run(sel == kSelPrimary ? cmd::CopyToPrimary : cmd::CopyToClip);
  }
  // Another client asks the editor for `target` into `property` of `requestor`.
  void request(Atom selection, Atom target, Atom property, Window requestor) {
    XEvent ev{};
    ev.xselectionrequest.type = SelectionRequest;
    ev.xselectionrequest.owner = win;
    ev.xselectionrequest.requestor = requestor;
    ev.xselectionrequest.selection = selection;
    ev.xselectionrequest.target = target;
    ev.xselectionrequest.property = property;
    ev.xselectionrequest.time = CurrentTime;
    HandleEvent(V(), &ev);
    XSync(dpy, False);
  }
  // The property the other client got: its bytes (format 32 as the atoms' names).
  std::string got(Atom property, Atom* type, bool remove = false) {
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(peer, other, property, 0, 1 << 24, remove, AnyPropertyType, type, &format, &n, &after,
                       &data);
    std::string out;
    if (*type == XA_ATOM) {
      for (unsigned long i = 0; i < n; i++) {
        char* name = XGetAtomName(peer, reinterpret_cast<Atom*>(data)[i]);
        out += std::string(out.empty() ? "" : " ") + name;
        XFree(name);
      }
    } else if (data) {
      out.assign(reinterpret_cast<char*>(data), n);
    }
    if (data) XFree(data);
    XSync(peer, False);
    return out;
  }
  // The property of the answer the other client was told of (None: refused,
  // 1: no answer).
  Atom answered() {
    XSync(peer, False);
    XEvent ev;
    if (!XCheckTypedWindowEvent(peer, other, SelectionNotify, &ev)) return 1;
    return ev.xselection.property;
  }
  // Hands the editor the property changes the server sent it.
  void pump() {
    XSync(dpy, False);
    XEvent ev;
    while (XCheckTypedEvent(dpy, PropertyNotify, &ev)) HandleEvent(V(), &ev);
    XSync(dpy, False);
  }
  void arrive(Atom target, Atom property) {
    XEvent ev{};
    ev.xselection.type = SelectionNotify;
    ev.xselection.requestor = win;
    ev.xselection.selection = clipboard;
    ev.xselection.target = target;
    ev.xselection.property = property;
    HandleEvent(V(), &ev);
    XSync(dpy, False);
  }
  void put(Atom property, Atom type, const std::string& bytes, int mode = PropModeReplace) {
    XChangeProperty(peer, win, property, type, 8, mode, reinterpret_cast<const unsigned char*>(bytes.data()),
                    int(bytes.size()));
    XSync(peer, False);
  }
  bool exists(Window w, Atom property) {
    Atom type = None;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(peer, w, property, 0, 0, False, AnyPropertyType, &type, &format, &n, &after, &data);
    if (data) XFree(data);
    return type != None;
  }

  Display* dpy = nullptr;
  Display* peer = nullptr;
  Window win = 0, other = 0;
  Atom prop = 0, clipboard = 0, utf8 = 0;
  std::unique_ptr<vt::Editor> e;
  Screen savedS{};
  void (*savedPaint)(EditorState*) = nullptr;
};

TEST_F(Selections, EveryTargetGetsItsFormAndOtherTargetsAreRefused) {
  offer("caf\xc3\xa9 \xe2\x82\xac\nx\n");
  ASSERT_EQ(XGetSelectionOwner(dpy, clipboard), win);
  Atom type;
  request(clipboard, XInternAtom(dpy, "TARGETS", False), prop, other);
  EXPECT_EQ(answered(), prop);
  EXPECT_EQ(got(prop, &type), "TARGETS TEXT STRING UTF8_STRING");
  EXPECT_EQ(type, XA_ATOM);
  EXPECT_EQ(e->alert(), "UTF8_STRING request received");

  request(clipboard, utf8, prop, other);
  EXPECT_EQ(answered(), prop);
  EXPECT_EQ(got(prop, &type), "caf\xc3\xa9 \xe2\x82\xac\nx");
  EXPECT_EQ(type, utf8);
  // STRING clients get ISO-8859-1, "?" where it has no character.
  request(clipboard, XA_STRING, prop, other);
  EXPECT_EQ(answered(), prop);
  EXPECT_EQ(got(prop, &type), "caf\xe9 ?\nx");
  EXPECT_EQ(type, XA_STRING);
  EXPECT_EQ(e->alert(), "STRING request received");
  // TEXT leaves the form to the owner: UTF-8 loses nothing.
  request(clipboard, XInternAtom(dpy, "TEXT", False), prop, other);
  EXPECT_EQ(answered(), prop);
  EXPECT_EQ(got(prop, &type), "caf\xc3\xa9 \xe2\x82\xac\nx");
  EXPECT_EQ(type, utf8);
  // A client of the old conventions names no property: the target names it.
  request(clipboard, utf8, None, other);
  EXPECT_EQ(answered(), utf8);
  EXPECT_EQ(got(utf8, &type), "caf\xc3\xa9 \xe2\x82\xac\nx");

  request(clipboard, XInternAtom(dpy, "image/png", False), prop, other);
  EXPECT_EQ(answered(), Atom(None));
  EXPECT_EQ(e->alert(), "Bad clipboard request received");
  // PRIMARY was never given a text: refused, not answered with CLIPBOARD's.
  request(XA_PRIMARY, utf8, prop, other);
  EXPECT_EQ(answered(), Atom(None));
}

TEST_F(Selections, EachSelectionKeepsItsTextAndLosesOnlyItsOwn) {
  offer("clip one\n");
  offer("prim two\n", kSelPrimary);
  ASSERT_NE(ClipOffer(kSelClipboard), nullptr);
  EXPECT_EQ(*ClipOffer(kSelClipboard), "clip one");
  EXPECT_EQ(*ClipOffer(kSelPrimary), "prim two");
  // A clear that comes while the editor still owns the selection (sent
  // before it took the selection again) changes nothing.
  XEvent ev{};
  ev.xselectionclear.type = SelectionClear;
  ev.xselectionclear.window = win;
  ev.xselectionclear.selection = XA_PRIMARY;
  HandleEvent(V(), &ev);
  EXPECT_NE(ClipOffer(kSelPrimary), nullptr);
  // Another client takes PRIMARY: its clear arrives; CLIPBOARD stays.
  XSetSelectionOwner(peer, XA_PRIMARY, other, CurrentTime);
  XSync(peer, False);
  XSync(dpy, False);
  ASSERT_TRUE(XCheckTypedWindowEvent(dpy, win, SelectionClear, &ev));
  HandleEvent(V(), &ev);
  EXPECT_EQ(ClipOffer(kSelPrimary), nullptr);
  ASSERT_NE(ClipOffer(kSelClipboard), nullptr);
  Atom type;
  request(clipboard, utf8, prop, other);
  EXPECT_EQ(answered(), prop);
  EXPECT_EQ(got(prop, &type), "clip one");
  request(XA_PRIMARY, utf8, prop, other);
  EXPECT_EQ(answered(), Atom(None));
}

TEST_F(Selections, LargeAnswersGoByIncrSideBySideEachOnItsOwnText) {
  std::string big;
  for (int i = 0; big.size() < 3 * SelectionIncrThreshold(); i++) big += "line " + std::to_string(i) + " \xc3\xa9\n";
  offer(big);
  big.pop_back();  // the block ends before the last line end
  Window second = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 0, 0, 10, 10, 0, 0, 0);
  XSelectInput(peer, second, PropertyChangeMask);
  XSync(peer, False);
  const Atom incr = XInternAtom(dpy, "INCR", False);
  request(clipboard, utf8, prop, other);
  request(clipboard, XA_STRING, prop, second);
  EXPECT_EQ(SelectionTransfers(), 2u);
  // A new copy while they run changes neither.
  offer("new text\n");
  std::string first, latin;
  Atom type;
  EXPECT_EQ(answered(), prop);
  got(prop, &type, true);
  EXPECT_EQ(type, incr);
  auto take = [&](Window w, std::string* into) {
    unsigned char* data = nullptr;
    int format;
    unsigned long n = 0, after;
    Atom t;
    XGetWindowProperty(peer, w, prop, 0, 1 << 24, True, AnyPropertyType, &t, &format, &n, &after, &data);
    if (data) into->append(reinterpret_cast<char*>(data), n);
    if (data) XFree(data);
    XSync(peer, False);
    EXPECT_LE(n, SelectionChunk());
    return n;
  };
  take(second, &latin);  // its INCR announcement, deleted
  latin.clear();
  int rounds = 0;
  bool doneA = false, doneB = false;
  for (; rounds < 1000 && !(doneA && doneB); rounds++) {
    pump();
    if (!doneA && exists(other, prop)) doneA = take(other, &first) == 0;
    if (!doneB && exists(second, prop)) doneB = take(second, &latin) == 0;
  }
  EXPECT_TRUE(doneA && doneB);
  EXPECT_EQ(first, big);
  EXPECT_EQ(latin, Latin1Form(big));
  EXPECT_EQ(SelectionTransfers(), 0u);
  XDestroyWindow(peer, second);
}

TEST_F(Selections, ARequestorGoneBeforeOrDuringTheAnswerEndsOnlyItsTransfer) {
  SetSelectionIdle(std::chrono::milliseconds(30));
  std::string big(2 * SelectionIncrThreshold(), 'x');
  offer(big);
  Window gone = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 0, 0, 10, 10, 0, 0, 0);
  XSync(peer, False);
  XDestroyWindow(peer, gone);
  XSync(peer, False);
  request(clipboard, utf8, prop, gone);  // an error, which must not end the editor
  bool changed = false;
  SelectionTimers(V(), &changed);
  EXPECT_EQ(SelectionTransfers(), 0u) << "the transfer to the window gone ended";
  request(clipboard, utf8, prop, other);
  EXPECT_EQ(SelectionTransfers(), 1u);
  // The other one vanishes in the middle.
  Atom type;
  got(prop, &type, true);
  pump();
  XDestroyWindow(peer, other);
  XSync(peer, False);
  other = 0;
  pump();
  EXPECT_EQ(SelectionTransfers(), 1u) << "nothing tells of it but its silence";
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  SelectionTimers(V(), &changed);
  EXPECT_EQ(SelectionTransfers(), 0u);
  EXPECT_FALSE(changed) << "no paste of the editor's was dropped";
  EXPECT_TRUE(V()->curTcb);
}

TEST_F(Selections, APasteReadsTheEventsPropertyDeletesItAndEndsBeforeTheLineAfter) {
  e->open("y\n");
  run(cmd::PasteFromClip);
  ASSERT_TRUE(ClipPastePending());
  const Atom answer = XInternAtom(dpy, "VT_ANSWER", False);
  put(answer, utf8, "x\n");
  // Another property named after the selection is not the answer.
  put(clipboard, utf8, "wrong\n");
  arrive(utf8, answer);
  EXPECT_EQ(e->text(), "x\ny");
  EXPECT_FALSE(exists(win, answer)) << "a property read is deleted";
  EXPECT_FALSE(ClipPastePending());
  // One step of Undo takes the paste back.
  run(cmd::Undo);
  run(cmd::Undo);
  EXPECT_EQ(e->text(), "y");

  // A refused paste inserts nothing, not the previous paste again.
  run(cmd::PasteFromClip);
  arrive(utf8, None);
  ASSERT_TRUE(ClipPastePending()) << "STRING is asked for once";
  arrive(XA_STRING, None);
  EXPECT_FALSE(ClipPastePending());
  EXPECT_EQ(e->alert(), "Bad clipboard data");
  EXPECT_EQ(e->text(), "y");
  // An answer of a type no text is: refused and deleted.
  run(cmd::PasteFromClip);
  put(answer, XA_ATOM, "abcd");
  arrive(utf8, answer);
  EXPECT_EQ(e->alert(), "Bad clipboard data");
  EXPECT_FALSE(exists(win, answer));
  EXPECT_EQ(e->text(), "y");
}

TEST_F(Selections, AStringOnlyOwnerIsPastedAsIso8859) {
  e->open("end\n");
  run(cmd::PasteFromClip);
  arrive(utf8, None);
  put(prop, XA_STRING, "caf\xe9 \x00z", PropModeReplace);
  put(prop, XA_STRING, std::string("\x00z", 2), PropModeAppend);
  arrive(XA_STRING, prop);
  EXPECT_EQ(e->line(1), std::string("caf\xc3\xa9 \x00zend", 11));
}

TEST_F(Selections, IncrPastesArriveChunkByChunkWithLinesAcrossChunksWhole) {
  e->open("tail\n");
  run(cmd::ClipToBuf);
  const Atom incr = XInternAtom(dpy, "INCR", False);
  XChangeProperty(peer, win, prop, incr, 32, PropModeReplace, nullptr, 0);  // no size word
  XSync(peer, False);
  arrive(utf8, prop);
  EXPECT_FALSE(exists(win, prop)) << "deleting the INCR property asks for the first chunk";
  pump();
  std::string all;
  for (int i = 0; i < 3000; i++) all += "chunked line " + std::to_string(i) + "\n";
  for (size_t at = 0; at < all.size(); at += 997) {
    put(prop, utf8, all.substr(at, 997));
    pump();
    ASSERT_FALSE(exists(win, prop)) << "each chunk is deleted once read";
  }
  ASSERT_TRUE(ClipPastePending());
  put(prop, utf8, "");
  pump();
  EXPECT_FALSE(ClipPastePending());
  run(cmd::PasteCopyFromBuf);
  EXPECT_EQ(e->lineCount(), 3001);
  EXPECT_EQ(e->line(2999), "chunked line 2998");
  EXPECT_EQ(e->line(3001), "tail");
  EXPECT_EQ(e->text(), all + "tail");
}

TEST_F(Selections, ItsOwnLargeOfferPastesThroughTheServerByIncr) {
  std::string big;
  for (int i = 0; big.size() < 2 * SelectionIncrThreshold(); i++) big += "own line " + std::to_string(i) + "\n";
  offer(big);
  e->open("end\n");
  run(cmd::PasteFromClip);
  // The editor is owner and requestor at once: every step is an event.
  XEvent ev;
  for (int n = 0; n < 100000 && ClipPastePending(); n++) {
    XSync(dpy, False);
    if (!XPending(dpy)) break;
    XNextEvent(dpy, &ev);
    HandleEvent(V(), &ev);
  }
  EXPECT_FALSE(ClipPastePending());
  EXPECT_EQ(SelectionTransfers(), 0u);
  big.pop_back();
  EXPECT_EQ(e->text(), big + "end");
}

TEST_F(Selections, IdleTransfersAreDroppedAndANewPasteReplacesAPendingOne) {
  SetSelectionIdle(std::chrono::milliseconds(30));
  e->open("keep\n");
  bool changed = false;
  EXPECT_EQ(SelectionTimers(V(), &changed), -1) << "no deadline while nothing is pending";
  run(cmd::PasteFromClip);
  const int wait = SelectionTimers(V(), &changed);
  EXPECT_GT(wait, 0);
  EXPECT_LE(wait, 31);
  // A second paste takes the first one's place: an answer arrives for it.
  run(cmd::PasteFromPrimary);
  EXPECT_EQ(ClipPasteWhat(), kPasteInsertPrimary);
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  SelectionTimers(V(), &changed);
  EXPECT_TRUE(changed);
  EXPECT_FALSE(ClipPastePending());
  EXPECT_EQ(e->alert(), "Paste timed out, nothing inserted");
  EXPECT_EQ(e->text(), "keep");
  // An answer after the drop is not taken.
  put(prop, utf8, "late");
  arrive(utf8, prop);
  EXPECT_EQ(e->text(), "keep");
  // An outgoing transfer whose requestor stops deleting goes too.
  offer(std::string(2 * SelectionIncrThreshold(), 'x'));
  request(clipboard, utf8, prop, other);
  EXPECT_EQ(SelectionTransfers(), 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  EXPECT_EQ(SelectionTimers(V(), &changed), -1);
  EXPECT_EQ(SelectionTransfers(), 0u);
}

TEST_F(Selections, AnOfferTooLargeToHoldKeepsThePreviousOne) {
  offer("small\n");
  SetClipOfferLimit(100);
  offer(std::string(500, 'y') + "\n");
  EXPECT_EQ(e->alert(), "Out of memory");
  ASSERT_NE(ClipOffer(kSelClipboard), nullptr);
  EXPECT_EQ(*ClipOffer(kSelClipboard), "small");
  EXPECT_EQ(XGetSelectionOwner(dpy, clipboard), win);
}

}  // namespace
