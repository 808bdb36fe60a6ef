// ROT13 and the readability index, both walks over the block or the text.
#include <cstdint>
#include <cstdio>

#include "core/case_maps.h"
#include "core/editor_state.h"
#include "edit/traverse.h"
#include "tools/text_tools.h"

namespace {

constexpr tchar kSpace = 0x20;

tchar rot13(tchar c) {
  if (c >= 'A' && c <= 'Z') return 'A' + (c - 'A' + 13) % 26;
  if (c >= 'a' && c <= 'z') return 'a' + (c - 'a' + 13) % 26;
  if (c >= '0' && c <= '9') return '0' + (c - '0' + 5) % 10;
  return c;
}

// Only ASCII changes, and into ASCII, so the line keeps its stored size.
// A line without a letter or digit in range is not rewritten.
int rot13Line(EditorState*, ActiveLine* line, int from, int to, void* arg) {
  bool changed = false;
  for (int i = from; i < to; i++) {
    const tchar r = rot13(line->c[i]);
    changed |= r != line->c[i];
    line->c[i] = r;
  }
  if (changed) *static_cast<bool*>(arg) = true;
  return changed;
}

struct LixCount {
  int64_t words = 0, sentences = 0, longWords = 0;
  bool dot = false;  // a sentence has just ended: the next capital starts none
};

// Code points past the maps' range neither separate words nor have a case;
// looking them up by their low bits would take U+2020 for a blank.
bool separates(const EditorState* V, tchar c) { return c < tchar(kCaseMapSize) && V->wordClass[c] == kSpace; }
bool isCapital(const EditorState* V, tchar c) { return c >= tchar(kCaseMapSize) || V->upcase[c] == c; }

int lixLine(EditorState* V, ActiveLine* line, int from, int to, void* arg) {
  LixCount& n = *static_cast<LixCount*>(arg);
  if (n.words == 0) n.dot = false;
  int run = 0;
  auto endWord = [&] {
    if (run > 6) n.longWords++;
    if (run > 0) n.words++;
    run = 0;
  };
  for (int i = from; i < to; i++) {
    const tchar c = line->c[i];
    if (separates(V, c)) {
      endWord();
      if (n.dot) continue;
    } else {
      if (run == 0 && !n.dot && isCapital(V, c)) n.sentences++;
      run++;
    }
    if (c == '.' || c == ':') {
      n.sentences++;
      n.dot = true;
    } else {
      n.dot = false;
    }
  }
  endWord();
  return 0;
}

const char* grade(int64_t lix) {
  if (lix > 60) return "Very difficult ";
  if (lix > 49) return "Difficult ";
  if (lix > 39) return "Medium ";
  if (lix > 29) return "Easy ";
  if (lix >= 0) return "Very easy ";
  return "";
}

}  // namespace

void Rot13Block(EditorState* V, int) {
  Tcb* t = V->curTcb;
  if (!t || !t->base) return;
  // A block marked elsewhere is not this text's: coding all of it instead
  // would surprise.
  if (V->blk.blkTcb && V->blk.blkTcb != t) return;
  bool changed = false;
  Traverse(V, TRAV_USE_BLOCK, rot13Line, &changed);
  ALoad(V);
  if (changed) t->modified = 1;
  V->redraw |= REDRAW_TEXT;
}

void Lix(EditorState* V, int) {
  if (!V->curTcb || !V->curTcb->base) return;
  LixCount n;
  Traverse(V, TRAV_USE_BLOCK, lixLine, &n);
  const int64_t lix =
      n.words && n.sentences ? (100 * n.longWords) / n.words + n.words / n.sentences : -1;
  char msg[kAlertMax + 1];
  std::snprintf(msg, sizeof msg, "Lix=%lld,   %lld words,   %lld long,   %s", static_cast<long long>(lix),
                static_cast<long long>(n.words), static_cast<long long>(n.longWords), grade(lix));
  SetAlert(V, msg);
}
