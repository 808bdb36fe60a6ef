#include "tests/support/store_check.h"

#include <cstring>

#include "tests/support/headless.h"

namespace vt {

namespace {

std::string num(long n) { return std::to_string(n); }

// The 1-based place of `line` in the list of `base`, 0 when it is not in it.
// The base link itself is the end-of-text position after the last line.
long placeOf(const Link* base, const Link* line) {
  long n = 1;
  for (const Link* l = base->next(); l != base; l = l->next(), n++)
    if (l == line) return n;
  return line == base ? n : 0;
}

std::string checkView(EditorState* V, Tcb* t, bool deep) {
  const std::string who =
      "text " + num(t->number + 1) + (t == V->curTcb ? " (current)" : "") + " '" + t->fileName + "': ";
  if (!t->curLine) return who + "no cursor line";
  if (IsBase(t->curLine) && t->curLine != t->base) return who + "the cursor is on another text's base link";
  if (t->lineNo < 1) return who + "line number " + num(t->lineNo);
  if (t->col < 0 || t->col >= kAlineMax) return who + "column " + num(t->col);
  if (t->leftCol < 0 || t->leftCol > t->col) return who + "left column " + num(t->leftCol) + " past column " + num(t->col);
  if (t->rows > 0 && (t->row < 0 || t->row >= t->rows)) return who + "row " + num(t->row) + " of " + num(t->rows);
  if (deep || t == V->curTcb) {
    const long at = placeOf(t->base, t->curLine);
    if (at == 0) return who + "the cursor line is not in the text";
    if (at != t->lineNo) return who + "cursor on line " + num(at) + " but numbered " + num(t->lineNo);
  }
  return "";
}

std::string checkActiveLine(EditorState* V, bool deep) {
  const ActiveLine& a = V->aline;
  if (a.count > kAlineMax) return "active line of " + num(a.count) + " characters";
  for (int i = 0; i < a.count; i++) {
    const tchar c = a.c[i];
    if (c == '\t' || c == '\n' || c == '\r') return "active line holds U+" + num(long(c)) + " at " + num(i);
    if (c > 0x10ffff) return "active line holds a code point beyond Unicode at " + num(i);
  }
  if (deep && !V->alineDirty && V->curTcb) {
    // Commands pad or trim the cursor line to the cursor column without
    // counting that as an edit: trailing blanks aside, a clean line is what
    // is stored.
    ActiveLine stored;
    GetLine(V->curTcb->curLine, &stored);
    int n = a.count, m = stored.count;
    while (n > 0 && a.c[n - 1] == ' ') n--;
    while (m > 0 && stored.c[m - 1] == ' ') m--;
    if (n != m || std::memcmp(stored.c, a.c, sizeof(tchar) * size_t(n)) != 0)
      return "the clean active line differs from its stored line";
  }
  return "";
}

std::string checkBlock(EditorState* V) {
  const BlockRecord& b = V->blk;
  if (!b.blkTcb) return "";
  if (!b.blkTcb->base) return "the block's text is closed";
  const int lines = CountLines(b.blkTcb->base);
  if (b.startLine < 1 || b.endLine < b.startLine || b.endLine > lines)
    return "block lines " + num(b.startLine) + ".." + num(b.endLine) + " in a text of " + num(lines);
  if (b.startCol < 0 || b.endCol < 0 || b.startCol >= kAlineMax || b.endCol > kAlineMax)
    return "block columns " + num(b.startCol) + ".." + num(b.endCol);
  return "";
}

}  // namespace

std::string CheckEditorState(EditorState* V, bool deep) {
  if (V->quit) return "";
  Tcb* cur = V->curTcb;
  if (!cur || !cur->base) return "no current text while the editor runs";
  // The ring of text records.
  Tcb* ring = V->tcbRing;
  bool curInRing = false;
  int open = 0;
  Tcb* t = ring;
  for (int n = 0;; n++) {
    if (n > 300) return "the text ring never closes";
    if (!t->next || t->next->prev != t) return "text ring links disagree";
    if (t == cur) curInRing = true;
    if (t->base) {
      open++;
      if (deep || t == cur) {
        if (std::string e = CheckList(t->base); !e.empty()) return "text " + num(t->number + 1) + ": " + e;
      }
      if (t->base->next() == t->base) return "text " + num(t->number + 1) + " has no line";
      if (std::string e = checkView(V, t, deep); !e.empty()) return e;
    }
    t = t->next;
    if (t == ring) break;
  }
  if (!curInRing) return "the current text is not in the ring";
  if (open == 0) return "no text open";
  if (std::string e = checkActiveLine(V, deep); !e.empty()) return e;
  // The deleted-line store counts its lines.
  if (V->delBase) {
    if (std::string e = CheckList(V->delBase); !e.empty()) return "deleted-line store: " + e;
    const int n = CountLines(V->delBase);
    if (n != V->delCount) return "deleted-line store holds " + num(n) + " lines, counted " + num(V->delCount);
    if (V->delCount > V->delMax) return "deleted-line store over its limit";
  }
  if (V->pasteBase) {
    if (std::string e = CheckList(V->pasteBase); !e.empty()) return "paste buffer: " + e;
  }
  return checkBlock(V);
}

}  // namespace vt
