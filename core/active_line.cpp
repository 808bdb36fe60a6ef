// Expanding stored lines into active lines, folding them back, and the
// primitives that edit an active line.
#include <algorithm>
#include <cstring>

#include "core/editor_state.h"

namespace {

constexpr tchar kSpace = 0x20;
constexpr tchar kTab = 0x09;

constexpr uint8_t kSeqLen[32] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4, 1};
constexpr uint8_t kLeadMask[5] = {0, 0x7f, 0x1f, 0x0f, 0x07};
constexpr uint8_t kShift[5] = {0, 18, 12, 6, 0};

void pad(ActiveLine* line, int to) {
  for (int i = line->count; i < to; i++) line->c[i] = kSpace;
  if (to > line->count) line->count = uint16_t(to);
}

}  // namespace


tchar uni8(const uint8_t* p, int avail, int* len) {
  int n = kSeqLen[p[0] >> 3];
  *len = n;
  uint32_t v = uint32_t(p[0] & kLeadMask[n]) << 18;
  if (n > 1) v |= uint32_t((avail > 1 ? p[1] : 0) & 0x3f) << 12;
  if (n > 2) v |= uint32_t((avail > 2 ? p[2] : 0) & 0x3f) << 6;
  if (n > 3) v |= uint32_t((avail > 3 ? p[3] : 0) & 0x3f);
  return v >> kShift[n];
}

int utf8(uint8_t* buf, int n, tchar cp) {
  if (cp < 0x80) {
    buf[n++] = uint8_t(cp);
  } else if (cp < 0x800) {
    buf[n++] = uint8_t(0xc0 | (cp >> 6));
    buf[n++] = uint8_t(0x80 | (cp & 0x3f));
  } else if (cp <= 0xffff) {
    buf[n++] = uint8_t(0xe0 | (cp >> 12));
    buf[n++] = uint8_t(0x80 | ((cp >> 6) & 0x3f));
    buf[n++] = uint8_t(0x80 | (cp & 0x3f));
  } else {
    buf[n++] = uint8_t(0xf0 | ((cp >> 18) & 0x07));
    buf[n++] = uint8_t(0x80 | ((cp >> 12) & 0x3f));
    buf[n++] = uint8_t(0x80 | ((cp >> 6) & 0x3f));
    buf[n++] = uint8_t(0x80 | (cp & 0x3f));
  }
  return n;
}

int GetLine(const Link* link, ActiveLine* line) {
  line->next = link->next();
  line->prev = link->prev();
  line->flags = link->word;
  const uint8_t* p = link->data();
  int len = link->len();
  int g = 0;
  // Producers keep a stored line within 1024 columns; the bound here only
  // protects against a damaged record.
  for (int n = 0; n < len && g < kAlineMax;) {
    if (p[n] == kTab) {
      do line->c[g++] = kSpace;
      while ((g & 7) && g < kAlineMax);
      n++;
    } else {
      int sl;
      line->c[g++] = uni8(p + n, len - n, &sl);
      n += sl;
    }
  }
  line->count = uint16_t(g);
  return g;
}

namespace {

// Folds the first `count` characters of c: each is encoded as UTF-8, and a
// run of spaces that reaches a tab stop becomes one TAB.  With out null only
// the byte count is worked out.  Returns the number of bytes, uncut.
int fold(const tchar* c, int count, uint8_t* out) {
  uint8_t scratch[4];
  int n = 0, pos = 0, k = 0;
  for (int i = 0; i < count; i++) {
    tchar ch = c[i];
    n = out ? utf8(out, n, ch) : n + utf8(scratch, 0, ch);
    if (ch == kTab) {
      k = 0;
      pos = n;
    } else {
      k++;
      if (ch != kSpace) {
        pos = n;
      } else if ((k & 7) == 0) {
        if (out) out[pos] = kTab;
        n = pos + 1;
        pos = n;
      }
    }
  }
  return n;
}

}  // namespace

int FoldedBytes(const ActiveLine* line) {
  int end = line->count;
  while (end > 0 && line->c[end - 1] == kSpace) end--;
  return fold(line->c, end, nullptr);
}

void Tabify(EditorState* V, LineImage* out, ActiveLine* line) {
  TrimLine(line, 0);
  uint8_t* o = out->text;
  int n = fold(line->c, line->count, o);
  if (n > kLineMax) {
    n = kLineMax;
    while (n > 0 && (o[n] & 0xc0) == 0x80) n--;
    SetAlert(V, "UTF-8 ovverrun, too long line(s) has been truncated");
  }
  out->word = uint16_t(n);
}

Link* PutLine(EditorState* V, Link* link, ActiveLine* line) {
  if (IsBase(link)) return link;
  if (V->curTcb) V->curTcb->modified = 1;
  LineImage img;
  Tabify(V, &img, line);
  uint16_t word = uint16_t(img.word | (line->flags & LINK_CARRIED));
  Link* r = ResizeLink(V, link, img.word);
  if (!r) return link;
  r->word = word;
  std::memcpy(r->data(), img.text, img.word);
  return r;
}

Link* AddLine(EditorState* V, Link* after, ActiveLine* line) {
  if (V->curTcb) V->curTcb->modified = 1;
  LineImage img;
  Tabify(V, &img, line);
  return AddBytesLine(V, after, img.word, img.text);
}

void ALoad(EditorState* V) {
  if (!V->curTcb || !V->curTcb->curLine) return;
  GetLine(V->curTcb->curLine, &V->aline);
  V->alineDirty = 0;
}

int AFlush(EditorState* V) {
  if (!V->alineDirty || !V->curTcb) return 0;
  Tcb* t = V->curTcb;
  V->memFailed = 0;
  Link* r = PutLine(V, t->curLine, &V->aline);
  if (V->memFailed) return 1;  // the line stays dirty, nothing stored is lost
  t->curLine = r;
  GetLine(r, &V->aline);
  V->alineDirty = 0;
  t->modified = 1;
  return 0;
}

void TrimLine(ActiveLine* line, int len) {
  if (len > kAlineMax || len < 0) return;
  if (len < line->count) {
    while (line->count > len && line->c[line->count - 1] == kSpace) line->count--;
  } else if (len > line->count) {
    pad(line, len);
  }
}

void LDelete(EditorState* V, ActiveLine* line, int a, int b) {
  int lo = std::min(a, b), hi = std::max(a, b);
  if (lo < 0 || line->count > kAlineMax) {
    FatalError(V);
    return;
  }
  if (lo > line->count) return;
  if (hi >= line->count) {
    line->count = uint16_t(lo);
    return;
  }
  std::memmove(line->c + lo, line->c + hi, size_t(line->count - hi) * sizeof(tchar));
  line->count = uint16_t(line->count - (hi - lo));
}

void LCopy(ActiveLine* src, int from, int to, ActiveLine* dst, int at) {
  int lo = std::min(from, to), hi = std::max(from, to);
  if (lo < 0 || hi > kAlineMax || at < 0 || at > kAlineMax) return;
  TrimLine(dst, at);
  TrimLine(src, hi);
  int w = hi - lo;
  if (dst->count + w >= kAlineMax) return;
  tchar tmp[kAlineMax];
  std::memcpy(tmp, src->c + lo, size_t(w) * sizeof(tchar));
  std::memmove(dst->c + at + w, dst->c + at, size_t(dst->count - at) * sizeof(tchar));
  std::memcpy(dst->c + at, tmp, size_t(w) * sizeof(tchar));
  dst->count = uint16_t(dst->count + w);
}

int InsertChar(ActiveLine* line, int at, tchar ch, bool overwrite) {
  if (at > kTypeLimit || at < 0 || line->count >= kLineMax) return 1;
  pad(line, at);
  if (overwrite) {
    line->c[at] = ch;
    if (at == line->count) line->count++;
  } else {
    std::memmove(line->c + at + 1, line->c + at, size_t(line->count - at) * sizeof(tchar));
    line->c[at] = ch;
    line->count++;
  }
  return 0;
}

int LeftmostWord(const ActiveLine* line, int start) {
  for (int i = std::max(start, 0); i < line->count; i++)
    if (line->c[i] != kSpace) return i;
  return start;
}

int StrInsert(const char* str, ActiveLine* line, int at) {
  if (at < 0) return 1;
  tchar tmp[kAlineMax];
  const auto* p = reinterpret_cast<const uint8_t*>(str);
  int avail = int(std::strlen(str));
  int n = 0;
  for (int i = 0; i < avail;) {
    if (n >= kAlineMax) return 1;
    int sl;
    tmp[n++] = uni8(p + i, avail - i, &sl);
    i += sl;
  }
  if (std::max<int>(line->count, at) + n >= kAlineMax) return 1;
  pad(line, at);
  std::memmove(line->c + at + n, line->c + at, size_t(line->count - at) * sizeof(tchar));
  std::memcpy(line->c + at, tmp, size_t(n) * sizeof(tchar));
  line->count = uint16_t(line->count + n);
  return 0;
}
