// The arriving paste without a display: pieces of any size become the lines
// one read of the whole would give.
#include "edit/clipboard.h"

#include <gtest/gtest.h>

#include <string>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "tests/support/headless.h"

namespace {

TEST(ClipPaste, ATenMegabyteLineAndOddBytesArriveAsAFileReadGivesThem) {
  vt::Editor e;
  EditorState* V = e.V();
  std::string data(10 << 20, 'w');
  for (size_t i = 997; i < data.size(); i += 4099) data[i] = ' ';
  const char odd[] = "\x00nul\xff\xfe bad\rcr only\r\ncrlf\n";
  data.append(odd, sizeof odd - 1);
  ClipPasteBegin(V, kPasteToBuf);
  for (size_t at = 0, n = 1; at < data.size(); at += n, n = n * 7 % 65521 + 1)
    ASSERT_TRUE(ClipPasteFeed(V, reinterpret_cast<const uint8_t*>(data.data()) + at, std::min(n, data.size() - at),
                              MODE_UTF8));
  ClipPasteFinish(V);
  ASSERT_NE(V->pasteBase, nullptr);
  Link* whole = TextFromBytes(V, data.data(), data.size(), 0, MODE_UTF8);
  const Link* a = whole->next();
  const Link* b = V->pasteBase->next();
  int lines = 0;
  for (; a != whole && b != V->pasteBase; a = a->next(), b = b->next(), lines++)
    ASSERT_EQ(vt::Stored(a), vt::Stored(b)) << "line " << lines + 1;
  EXPECT_EQ(a, whole);
  // The data ends with a line end: the buffer ends in an empty line.
  ASSERT_NE(b, V->pasteBase);
  EXPECT_EQ(b->len(), 0);
  EXPECT_EQ(b->next(), V->pasteBase);
  EXPECT_EQ(V->pasteBase->width(), 0);
  EXPECT_GT(lines, (10 << 20) / 1024);
  EXPECT_EQ(vt::Stored(V->pasteBase->prev()->prev()), "crlf");
  ReleaseText(V, whole);
}

}  // namespace
