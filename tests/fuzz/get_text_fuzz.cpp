// Random bytes, random chunk splits, every encoding and line width: the
// reader must never corrupt memory, and what it stores must stay within the
// line store's bounds: no line wider than an edited line may be, none that
// would not fit its record once folded.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/editor_state.h"
#include "core/file_io.h"

namespace {

struct Holder {
  std::unique_ptr<EditorState> v;
  ~Holder() {
    if (v) DeInitEditor(v.get());
  }
} theEditor;

EditorState* editor() { return theEditor.v.get(); }

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

// Built before the first input, so the leak check per input does not count it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  theEditor.v = std::make_unique<EditorState>();
  InitEditor(theEditor.v.get());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  EditorState* V = editor();
  const uint32_t encodings[] = {MODE_UTF8, MODE_LATIN1, MODE_CP};
  uint32_t enc = encodings[data[0] % 3];
  int width = data[1] % 4 == 0 ? 0 : 1 + data[1] * 4;
  unsigned seed = data[2];
  data += 3;
  size -= 3;

  Link* base = NewBaseLink(V);
  std::vector<uint8_t> buf(4096);
  size_t pos = 0;
  int carried = 0;
  for (;;) {
    // Chunks as the file reader makes them: a multiple of 16, after the carry.
    seed = seed * 1103515245u + 12345u;
    int ask = (4096 - carried) & ~15;
    int take = int(std::min<size_t>(size - pos, size_t(ask)));
    if ((seed >> 16) % 3 == 0 && take > 16) take = (take / 2) & ~15;
    std::memcpy(buf.data() + carried, data + pos, size_t(take));
    pos += size_t(take);
    bool last = pos >= size;
    int count = carried + take;
    int left = count;
    GetText(V, base, buf.data(), &left, last, width, enc);
    check(left >= 0 && left <= count);
    if (last) break;
    std::memmove(buf.data(), buf.data() + (count - left), size_t(left));
    carried = left;
    check(carried < 4096 - 16);
  }

  ActiveLine line;
  Link* prev = base;
  for (Link* l = base->next(); l != base; l = l->next()) {
    check(l->prev() == prev);
    check(l->len() <= kLineMax);
    GetLine(l, &line);
    // No more than an edited line may hold, and stored again unchanged it
    // fits its record.
    check(line.count <= kLineMax);
    check(FoldedBytes(&line) <= kLineMax);
    prev = l;
  }
  check(base->prev() == prev);
  ReleaseText(V, base);
  return 0;
}
