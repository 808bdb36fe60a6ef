// Expanding stored lines into active lines, folding them back, and the
// primitives that edit an active line.
#include <algorithm>
#include <cstring>

#include "core/editor_state.h"

namespace {

constexpr tchar kSpace = 0x20;
constexpr tchar kTab = 0x09;

void pad(ActiveLine* line, int to) {
  for (int i = line->count; i < to; i++) line->c[i] = kSpace;
  if (to > line->count) line->count = uint16_t(to);
}

}  // namespace


tchar uni8(const uint8_t* p, int avail, int* len) {
  const uint8_t b = p[0];
  *len = 1;
  if (b < 0x80) return b;
  // The lead byte gives the length, the payload bits and the range of the
  // second byte that keeps the form shortest and out of the surrogates.
  int n;
  tchar v;
  uint8_t lo = 0x80, hi = 0xbf;
  if (b >= 0xc2 && b <= 0xdf) {
    n = 2;
    v = b & 0x1f;
  } else if (b >= 0xe0 && b <= 0xef) {
    n = 3;
    v = b & 0x0f;
    if (b == 0xe0) lo = 0xa0;
    if (b == 0xed) hi = 0x9f;
  } else if (b >= 0xf0 && b <= 0xf4) {
    n = 4;
    v = b & 0x07;
    if (b == 0xf0) lo = 0x90;
    if (b == 0xf4) hi = 0x8f;
  } else {
    return kRawByteBase + b;
  }
  if (avail < n || p[1] < lo || p[1] > hi) return kRawByteBase + b;
  v = (v << 6) | (p[1] & 0x3f);
  for (int i = 2; i < n; i++) {
    if ((p[i] & 0xc0) != 0x80) return kRawByteBase + b;
    v = (v << 6) | (p[i] & 0x3f);
  }
  *len = n;
  return v;
}

int utf8(uint8_t* buf, int n, tchar cp) {
  if (cp < 0x80) {
    buf[n++] = uint8_t(cp);
    return n;
  }
  if (cp < 0x800) {
    buf[n++] = uint8_t(0xc0 | (cp >> 6));
    buf[n++] = uint8_t(0x80 | (cp & 0x3f));
    return n;
  }
  if (cp >= 0xd800 && cp <= 0xdfff) {
    if (IsRawByte(cp)) {
      buf[n++] = uint8_t(cp - kRawByteBase);
      return n;
    }
    cp = 0xfffd;
  } else if (cp > 0x10ffff) {
    cp = 0xfffd;
  }
  if (cp <= 0xffff) {
    buf[n++] = uint8_t(0xe0 | (cp >> 12));
  } else {
    buf[n++] = uint8_t(0xf0 | (cp >> 18));
    buf[n++] = uint8_t(0x80 | ((cp >> 12) & 0x3f));
  }
  buf[n++] = uint8_t(0x80 | ((cp >> 6) & 0x3f));
  buf[n++] = uint8_t(0x80 | (cp & 0x3f));
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

namespace {

// A line kept as read stays so while its characters are still the ones its
// bytes expand to (blanks padded on past its end count for nothing, as
// folding drops them): a changed flag or an edit taken back rewrites nothing.
bool unchangedAsRead(const Link* link, const ActiveLine* line) {
  if (!(link->word & LINK_ASREAD)) return false;
  ActiveLine was;
  GetLine(link, &was);
  if (line->count < was.count || std::memcmp(was.c, line->c, size_t(was.count) * sizeof(tchar)) != 0) return false;
  for (int i = was.count; i < line->count; i++)
    if (line->c[i] != kSpace) return false;
  return true;
}

}  // namespace

Link* PutLine(EditorState* V, Link* link, ActiveLine* line) {
  if (IsBase(link)) return link;
  if (V->curTcb) V->curTcb->modified = 1;
  if (unchangedAsRead(link, line)) {
    link->word = uint16_t((link->word & (LINK_LENMASK | LINK_ASREAD)) | (line->flags & LINK_CARRIED));
    return link;
  }
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
  SettleView(V, V->curTcb);
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
