// The clipboard's texts and the arriving paste.  A text is offered per
// selection, so copying to one never changes what the other hands out, and
// losing one never empties the other.
#include "edit/clipboard.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/block.h"
#include "edit/block_keeper.h"
#include "edit/paste.h"
#include "edit/traverse.h"
#include "edit/undo.h"

namespace {

ClipLink xlink;
ClipText offers[2];
size_t offerLimit = 0;

// The paste under way: its block text, and the bytes of a line that the
// pieces so far have not finished.
struct Incoming {
  bool active = false;
  int what = kPasteInsert;
  EditorState* V = nullptr;
  Link* text = nullptr;
  std::vector<uint8_t> carry;
  uint32_t encoding = 0;
  int width = 0;
};
Incoming in;

bool haveText(EditorState* V) { return V->curTcb && V->curTcb->base && V->curTcb->curLine; }

void append(std::string* s, tchar c) {
  uint8_t b[4];
  const int n = utf8(b, 0, c);
  s->append(reinterpret_cast<const char*>(b), size_t(n));
}

// Bytes a character takes in UTF-8, for the count before the text is made.
size_t utfBytes(tchar c) {
  uint8_t b[4];
  return size_t(utf8(b, 0, c));
}

struct Gather {
  std::string* out;  // null: only count
  size_t bytes = 0;
  bool column = false;
};

int gatherLine(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  auto* g = static_cast<Gather*>(arg);
  // A line the editor broke itself (word wrap) continues with a space; the
  // rows of a column block stay rows.
  const char sep = !g->column && V->travLink && (V->travLink->word & LINK_SOFTBREAK) ? ' ' : '\n';
  if (!g->out) {
    for (int i = from; i < to; i++) g->bytes += utfBytes(line->c[i]);
    g->bytes++;
  } else {
    for (int i = from; i < to; i++) append(g->out, line->c[i]);
    g->out->push_back(sep);
  }
  return 0;
}

// Room for `n` bytes, or false as when memory runs out.
bool reserve(std::string* s, size_t n) {
  if (offerLimit && n > offerLimit) return false;
  try {
    s->reserve(n);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

ClipText share(std::string&& s) {
  try {
    return std::make_shared<const std::string>(std::move(s));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// The new text takes the selection; when the server will not give it, the
// text is not kept and the old one no longer holds either.
void offer(EditorState* V, int sel, ClipText text) {
  offers[sel] = std::move(text);
  if (xlink.claim && !xlink.claim(V, sel)) {
    offers[sel] = nullptr;
    SetAlert(V, "Clipboard taken by another program");
  }
}

void releaseIncoming() {
  if (in.text && in.V) ReleaseText(in.V, in.text);
  in = Incoming{};
}

// The paste's lines as a block text where the text ends on its last line;
// data that ends with a line end ends in an empty line of no width, as a
// copied block ending at a line's start does.  A new text keeps the file
// reader's sense: a last line end adds no line.
void shape(EditorState* V, Link* text, bool asFile) {
  const bool endedLine = !(text->word & BASE_NO_LAST_END);
  const bool empty = IsBase(text->next());
  if (empty || (endedLine && !asFile)) AddEmptyLine(V, text->prev());
  text->word = LINK_BASE;
  ActiveLine last;
  text->setWidth(uint16_t(GetLine(text->prev(), &last)));
}

void insert(EditorState* V, Link* text) {
  Tcb* t = V->curTcb;
  const int L = t->lineNo, n = CountLines(text);
  const bool atEnd = IsBase(t->curLine);
  // One step of Undo takes the whole paste back, whenever it arrived.
  if (!UdoLinesBefore(V, L, atEnd ? L - 1 : L)) {
    ReleaseText(V, text);
    return;
  }
  if (PutBlk(V, text) != 0) {
    UdoLinesCancel(V);
    ReleaseText(V, text);
    return;
  }
  UdoLinesAfter(V, L + n - 1);
  V->redraw |= REDRAW_ALL;
}

// No X: the editor's own offer arrives as a transfer would bring it.
void pasteOwn(EditorState* V, int sel) {
  const ClipText text = offers[sel];
  if (!text) {
    ClipPasteDrop(V, "Bad clipboard data");
    return;
  }
  if (ClipPasteFeed(V, reinterpret_cast<const uint8_t*>(text->data()), text->size(), MODE_UTF8))
    ClipPasteFinish(V);
}

}  // namespace

void SetClipLink(const ClipLink& link) { xlink = link; }

void CopyToClip(EditorState* V, int which) {
  if (!haveText(V) || BlkUse(V) != 0 || V->blk.blkTcb != V->curTcb) {
    SetAlert(V, "No block available");
    return;
  }
  Gather g{nullptr, 0, V->blk.isColumn != 0};
  if (Traverse(V, TRAV_NEED_BLOCK, gatherLine, &g) != 0 && g.bytes == 0) {
    SetAlert(V, "No block available");
    return;
  }
  std::string s;
  // The old offer stays when the new one cannot be had.
  if (!reserve(&s, g.bytes)) {
    SetAlert(V, "Out of memory");
    return;
  }
  g.out = &s;
  Traverse(V, TRAV_NEED_BLOCK, gatherLine, &g);
  // The last line's separator is never part of the block: it ends before
  // its end column there.
  if (!s.empty()) s.pop_back();
  ClipText text = share(std::move(s));
  if (!text) {
    SetAlert(V, "Out of memory");
    return;
  }
  offer(V, which == kSelPrimary ? kSelPrimary : kSelClipboard, std::move(text));
}

void BufToClip(EditorState* V, int) {
  Link* buf = V->pasteBase;
  if (!buf || IsBase(buf->next())) {
    SetAlert(V, "No buffer available");
    return;
  }
  // Whole lines each end with a line feed; a copied block ends where its
  // last line does.
  const bool wholeLines = buf->width() > kAlineMax;
  ActiveLine line;
  size_t n = 0;
  for (const Link* l = buf->next(); l != buf; l = l->next()) {
    GetLine(l, &line);
    for (int i = 0; i < line.count; i++) n += utfBytes(line.c[i]);
    n++;
  }
  std::string s;
  if (!reserve(&s, n)) {
    SetAlert(V, "Out of memory");
    return;
  }
  for (const Link* l = buf->next(); l != buf; l = l->next()) {
    GetLine(l, &line);
    for (int i = 0; i < line.count; i++) append(&s, line.c[i]);
    if (l->next() != buf || wholeLines) s.push_back('\n');
  }
  ClipText text = share(std::move(s));
  if (!text) {
    SetAlert(V, "Out of memory");
    return;
  }
  offer(V, kSelClipboard, std::move(text));
}

void PasteFromClip(EditorState* V, int what) {
  if (!haveText(V) && what != kPasteOpen && what != kPasteToBuf) return;
  ClipPasteBegin(V, what);
  const int sel = PasteSelection(what);
  if (!xlink.request || xlink.request(V, sel) == 0) pasteOwn(V, sel);
}

void OpenClip(EditorState* V, int) {
  if (TcbTabFull(V)) return;
  PasteFromClip(V, kPasteOpen);
}

ClipText ClipOffer(int sel) { return sel == kSelClipboard || sel == kSelPrimary ? offers[sel] : nullptr; }

void ClipLost(int sel) {
  if (sel == kSelClipboard || sel == kSelPrimary) offers[sel] = nullptr;
}

std::string Latin1Form(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const int n = int(utf8.size());
  for (int i = 0; i < n;) {
    int len = 1;
    const tchar c = p[i] < 0x80 ? p[i] : uni8(p + i, n - i, &len);
    out.push_back(c <= 0xff ? char(c) : '?');
    i += len;
  }
  return out;
}

void ClipPasteBegin(EditorState* V, int what) {
  if (in.active && xlink.cancel) xlink.cancel(V);
  releaseIncoming();
  in.active = true;
  in.what = what;
  in.V = V;
  const Tcb* t = V->curTcb;
  // Inserted text wraps as typed text would.
  in.width = t && (t->mode & MODE_WRAP) && what != kPasteOpen ? std::clamp(t->rightMargin, 1, kLineMax) : 0;
}

bool ClipPasteFeed(EditorState* V, const uint8_t* data, size_t n, uint32_t encoding) {
  if (!in.active) return false;
  if (!in.text) {
    V->memFailed = 0;
    in.text = NewBaseLink(V);
    in.encoding = encoding;
    if (!in.text) {
      ClipPasteDrop(V, "Out of memory");
      return false;
    }
  }
  // A piece may end inside a line: the bytes of that line wait for the next.
  size_t pos = 0;
  while (pos < n) {
    // Bounded slices keep the carry small whatever size the pieces are.
    const size_t take = std::min(n - pos, size_t(1) << 16);
    try {
      in.carry.insert(in.carry.end(), data + pos, data + pos + take);
    } catch (const std::bad_alloc&) {
      ClipPasteDrop(V, "Out of memory");
      return false;
    }
    pos += take;
    int left = int(in.carry.size());
    V->memFailed = 0;
    GetText(V, in.text, in.carry.data(), &left, false, in.width, in.encoding);
    if (V->memFailed) {
      ClipPasteDrop(V, "Out of memory");
      return false;
    }
    in.carry.erase(in.carry.begin(), in.carry.end() - left);
  }
  return true;
}

void ClipPasteFinish(EditorState* V) {
  if (!in.active) return;
  if (!in.text && !ClipPasteFeed(V, nullptr, 0, MODE_UTF8)) return;
  int left = int(in.carry.size());
  V->memFailed = 0;
  GetText(V, in.text, in.carry.data(), &left, true, in.width, in.encoding);
  const int what = in.what;
  Link* text = in.text;
  in.text = nullptr;
  releaseIncoming();
  if (V->memFailed) {
    ReleaseText(V, text);
    SetAlert(V, "Out of memory");
    return;
  }
  shape(V, text, what == kPasteOpen);
  if (what == kPasteOpen) {
    BlkToText(V, text);
  } else if (what == kPasteToBuf) {
    ClearBuf(V);
    V->pasteBase = text;
  } else if (haveText(V)) {
    insert(V, text);
  } else {
    ReleaseText(V, text);
  }
}

void ClipPasteDrop(EditorState* V, const char* why) {
  releaseIncoming();
  if (why) SetAlert(V, why);
}

bool ClipPastePending() { return in.active; }
int ClipPasteWhat() { return in.what; }

void ClipForget(EditorState* V) {
  if (in.V == V) {
    // The arena goes with the editor: its lines are not released one by one.
    in.text = nullptr;
    releaseIncoming();
  }
  offers[0] = offers[1] = nullptr;
}

void SetClipOfferLimit(size_t bytes) { offerLimit = bytes; }
