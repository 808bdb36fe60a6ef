// Paragraph reflow: the text from the cursor line to the paragraph's end
// (the next empty line or the end of the text) is broken again so that
// every line starts at the left margin and stays within the right margin.
//
// The new lines are built in a list of their own while the old ones are
// read; only when they differ are the old lines swapped out, so a reflow
// that changes nothing (or runs out of memory) leaves the text, its
// modified state and the undo log alone.
#include <algorithm>

#include "core/editor_state.h"
#include "edit/block_keeper.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "tools/text_tools.h"

namespace {

constexpr tchar kSpace = 0x20;

// Bytes a character takes in a stored line.
int bytesOf(tchar c) {
  uint8_t buf[8];
  return utf8(buf, 0, c);
}

class Breaker {
 public:
  Breaker(EditorState* V, int left, int right) : V_(V), left_(left), right_(right) {
    list_ = NewBaseLink(V);
    std::fill(out_.c, out_.c + kAlineMax, kSpace);
    out_.next = out_.prev = nullptr;
    out_.flags = 0;
    reset();
  }
  ~Breaker() {
    if (list_) ReleaseText(V_, list_);
  }
  bool ok() const { return list_ && !failed_; }
  // Hands the built lines over: the caller owns them from now on.
  Link* take() {
    Link* l = list_;
    list_ = nullptr;
    return l;
  }

  // One input line; `first` for the paragraph's first line.
  void feed(const ActiveLine& in, bool first) {
    int ip = skipBlanks(in, 0);
    if (!first) {
      // The line break becomes one blank, where the line may break too.
      if (pos_ > left_ && out_.c[pos_ - 1] != kSpace) {
        if (bytes_ + 1 > kLineMax) {
          emit(pos_);
          reset();
        } else {
          out_.c[pos_++] = kSpace;
          bytes_++;
        }
      }
      brk_ = pos_;
      brkIn_ = ip;
      if (pos_ > right_) ip = cut(in, ip);
    }
    while (ip < in.count && !failed_) {
      const tchar ch = in.c[ip];
      const int nb = bytesOf(ch);
      // Break earlier rather than store a line cut short.
      if (bytes_ + nb > kLineMax) {
        if (brk_ > left_) {
          ip = cut(in, ip);
        } else {
          emit(pos_);
          reset();
          ip = skipBlanks(in, ip);
        }
        continue;
      }
      out_.c[pos_++] = ch;
      bytes_ += nb;
      ip++;
      if (ch == kSpace) {
        ip = skipBlanks(in, ip);
        if (ip < in.count) {
          brk_ = pos_;
          brkIn_ = ip;
        }
      }
      if (pos_ > right_) ip = cut(in, ip);
    }
  }

  // A paragraph of blanks alone still leaves its (empty) line.
  void finish() {
    if (pos_ > left_ || emitted_ == 0) emit(pos_);
  }

 private:
  static int skipBlanks(const ActiveLine& in, int ip) {
    while (ip < in.count && in.c[ip] == kSpace) ip++;
    return ip;
  }

  // The output position passed the right margin: break at the last blank
  // before the word that crossed it, or inside a word too long for a line.
  // Returns where the input goes on.
  int cut(const ActiveLine& in, int ip) {
    if (brk_ > left_) {
      emit(brk_ - 1);
      ip = brkIn_;
    } else {
      emit(pos_);
    }
    reset();
    // Every line starts at the left margin, never with a blank.
    return skipBlanks(in, ip);
  }

  void emit(int end) {
    if (!list_) failed_ = true;
    if (failed_) return;
    out_.count = uint16_t(end);
    Link* l = AddLine(V_, list_->prev(), &out_);
    if (!l) failed_ = true;
    emitted_++;
  }

  void reset() {
    pos_ = left_;
    // The margin's blanks are stored folded into TABs.
    bytes_ = left_ / 8 + left_ % 8;
    brk_ = left_;
    brkIn_ = 0;
  }

  EditorState* V_;
  int left_, right_;
  Link* list_;
  bool failed_ = false;
  int emitted_ = 0;
  ActiveLine out_;
  int pos_ = 0;    // next output column
  int bytes_ = 0;  // most bytes the output line can take stored
  int brk_ = 0;    // output column of the last word a line may start with
  int brkIn_ = 0;  // ... and its column in the input line
};

bool sameBytes(const Link* a, const Link* b) {
  return a->len() == b->len() && std::equal(a->data(), a->data() + a->len(), b->data());
}

}  // namespace

void Reflow(EditorState* V, int) {
  Tcb* t = V->curTcb;
  if (!t || !t->base || !t->curLine || IsBase(t->curLine)) return;
  if (AFlush(V) != 0) return;
  Link* first = t->curLine;
  ActiveLine in;
  if (GetLine(first, &in) == 0) return;
  if (t->leftMargin < 0 || t->leftMargin >= t->rightMargin || t->rightMargin >= kLineMax) {
    SetAlert(V, "Bad margins");
    return;
  }

  const int wasModified = t->modified;
  Breaker br(V, t->leftMargin, t->rightMargin);
  Link* last = first;
  int oldLines = 1;
  for (Link* l = first;;) {
    br.feed(in, l == first);
    last = l;
    l = l->next();
    if (IsBase(l) || l->len() == 0 || !br.ok()) break;
    GetLine(l, &in);
    oldLines++;
  }
  br.finish();
  t->modified = wasModified;
  if (!br.ok()) return;  // out of memory: said so, nothing changed
  Link* list = br.take();

  bool same = true;
  {
    const Link* o = first;
    const Link* nl = list->next();
    for (int i = 0; i < oldLines && same; i++, o = o->next(), nl = nl->next())
      same = !IsBase(nl) && sameBytes(o, nl);
    same = same && IsBase(nl);
  }
  if (same) {
    ReleaseText(V, list);
    return;
  }

  // Swap the old lines out for the new ones.
  Link* before = first->prev();
  Link* after = last->next();
  Link* newFirst = list->next();
  Link* newLast = list->prev();
  if (newFirst == list) {
    BindLink(before, after);
  } else {
    BindLink(before, newFirst);
    BindLink(newLast, after);
  }
  BindLink(list, first);
  BindLink(last, list);
  for (const Link* l = first; l != list; l = l->next()) ViewsLineReleased(V, l);
  ReleaseText(V, list);

  const BlockRecord& b = V->blk;
  if (b.blkTcb && b.blkTcb->base == t->base) RemoveBlk(V);
  t->modified = 1;
  // The lines were rebuilt outside the log: its records no longer fit them.
  udoReset(V);
  MarkViewsStale(V, t->base);
  const int row = t->row;
  t->curLine = t->base;
  ALineSet(V, t->lineNo);
  t->row = row;
  V->redraw |= REDRAW_TEXT;
}
