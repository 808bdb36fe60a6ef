// A paste arrives in pieces of any size, cut anywhere (inside a line, a
// CR LF pair, a UTF-8 sequence): the lines it becomes must be exactly those
// one pass of the line reader over the whole data gives, plus the empty
// last line that data ending in a line end brings into the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/clipboard.h"

namespace {

struct Holder {
  std::unique_ptr<EditorState> v;
  ~Holder() {
    if (v) DeInitEditor(v.get());
  }
} theEditor;

void check(bool ok) {
  if (!ok) std::abort();
}

bool sameLine(const Link* a, const Link* b) {
  return a->len() == b->len() && std::memcmp(a->data(), b->data(), size_t(a->len())) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  theEditor.v = std::make_unique<EditorState>();
  InitEditor(theEditor.v.get());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  EditorState* V = theEditor.v.get();
  const uint32_t enc = data[0] & 1 ? MODE_LATIN1 : MODE_UTF8;
  unsigned seed = data[1];
  data += 2;
  size -= 2;

  // One pass over the whole.
  Link* whole = NewBaseLink(V);
  std::vector<uint8_t> copy(data, data + size);
  int left = int(size);
  GetText(V, whole, copy.data(), &left, true, 0, enc);
  check(left == 0);

  // The same bytes as a paste, in random pieces.
  ClipPasteBegin(V, kPasteToBuf);
  size_t pos = 0;
  while (pos < size) {
    seed = seed * 1103515245u + 12345u;
    const unsigned r = seed >> 16;
    size_t n = r % 4 == 0 ? 1 : r % 4 == 1 ? r % 17 : r % 4 == 2 ? r % 1500 : r % 70000;
    n = std::min(n, size - pos);
    check(ClipPasteFeed(V, data + pos, n, enc));
    pos += n;
  }
  ClipPasteFinish(V);
  check(!ClipPastePending());
  Link* buf = V->pasteBase;
  check(buf != nullptr);

  const bool extra = size == 0 || !(whole->word & BASE_NO_LAST_END);
  const Link* a = whole->next();
  const Link* b = buf->next();
  for (; a != whole; a = a->next(), b = b->next()) {
    check(b != buf);
    check(sameLine(a, b));
  }
  if (extra) {
    check(b != buf && b->len() == 0);
    b = b->next();
  }
  check(b == buf);
  ActiveLine last;
  check(buf->width() == GetLine(buf->prev(), &last));
  ReleaseText(V, whole);
  ClipForget(V);
  V->pasteBase = nullptr;
  ReleaseText(V, buf);
  return 0;
}
