// The clipboard over a real X server, driven by scripts/bench-clipboard.sh:
//
//   bench_clipboard_bench paste   pastes CLIPBOARD (offered by xclip) into an
//                                 empty text through the event loop's routing
//                                 and prints the time from the request to the
//                                 last line in place
//   bench_clipboard_bench copy MB offers MB megabytes of text on CLIPBOARD
//                                 and answers requests until it is ended
//
// Not a Google Benchmark program: the time is the other client's too.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "display/screen.h"
#include "display/xlib.h"
#include "edit/clipboard.h"
#include "shell/event_loop.h"
#include "shell/selection.h"

namespace {

struct Editor {
  std::unique_ptr<EditorState> v = std::make_unique<EditorState>();
  Editor() {
    InitEditor(v.get());
    Link* base = NewBaseLink(v.get());
    AddEmptyLine(v.get(), base);
    NewText(v.get(), base, 0);
    v->inputMode = ModeEdit;
  }
  ~Editor() { DeInitEditor(v.get()); }
};

std::string text(size_t megabytes) {
  std::string s;
  s.reserve(megabytes << 20);
  for (int i = 0; s.size() < (megabytes << 20); i++)
    s += "line " + std::to_string(i) + " of the text copied out, with a few words\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "paste") && std::strcmp(argv[1], "copy"))) {
    std::fprintf(stderr, "usage: bench_clipboard_bench paste | copy MB\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  S.display = dpy;
  S.window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
  XSelectInput(dpy, S.window, PropertyChangeMask);
  InstallSelection();
  loopHooks().paint = [](EditorState*) {};
  Editor e;
  EditorState* V = e.v.get();
  XEvent ev;
  if (!std::strcmp(argv[1], "paste")) {
    const auto t0 = std::chrono::steady_clock::now();
    PasteFromClip(V, kPasteInsert);
    while (ClipPastePending()) {
      XNextEvent(dpy, &ev);
      HandleEvent(V, &ev);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("paste: %.1f ms, %d lines (%s)\n", ms, CountLines(V->curTcb->base), V->alertText);
  } else {
    const std::string s = text(argc > 2 ? size_t(std::atoi(argv[2])) : 10);
    Link* base = TextFromBytes(V, s.data(), s.size(), 0, MODE_UTF8);
    NewText(V, base, MODE_UTF8);
    // The whole text marked, as MarkAll marks it.
    V->blk = BlockRecord{V->curTcb, V->curTcb, 1, 0, 0, CountLines(base), V->curTcb->base->prev()->len(), 0,
                         nullptr, nullptr, 0};
    CopyToClip(V, kSelClipboard);
    const ClipText offered = ClipOffer(kSelClipboard);
    std::printf("copy: offering %zu bytes\n", offered ? offered->size() : size_t(0));
    std::fflush(stdout);
    for (;;) {
      XNextEvent(dpy, &ev);
      HandleEvent(V, &ev);
    }
  }
  S.display = nullptr;
  XCloseDisplay(dpy);
  return 0;
}
