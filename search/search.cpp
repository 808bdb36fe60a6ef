// The search dialogue, reading its answers, and the passes over the text.
#include "search/search.h"

#include <algorithm>
#include <cstring>

#include "core/encoding.h"
#include "core/case_maps.h"
#include "core/line_store.h"
#include "edit/movement.h"
#include "edit/traverse.h"
#include "shell/prompt.h"

namespace {

constexpr int kOptionCount = 10;
constexpr const char* kSearchOptions = "Rev Ign Nopmt All/Top/Mrk Wrd c1/Fir/Beg/End/fuZzy  Option: ";
constexpr const char* kReplaceOptions = "Rev Ign Nopmt All/Top/Mrk Wrd c1/Fir/Beg/End  Option: ";

// Which command opened the dialogue, until the options are accepted.
int pendingReplace = 0;

constexpr char kOptionKeys[] = " RINATMW1FBEZ";
constexpr int kOptionPos[] = {0, 1, 2, 3, 5, 6, 5, 8, 10, 10, 10, 10, 10};

bool has(const char* field, char letter) { return std::strchr(field, letter) != nullptr; }

// A quick look at a stored line before it is read: the first run of the
// pattern without blanks must show in its bytes.  Only when every code that
// folds onto each of its characters is ASCII, and so stored as that one
// byte (blanks folded into TABs are why the run has no blanks).
struct Prefilter {
  static constexpr int kMax = 16;
  int len = 0;  // 0: no prefilter
  bool bytes[kMax][128];
  int firstCount;  // the bytes the run may begin with, looked for with memchr
  uint8_t first[4];
} prefilter;

void buildPrefilter(EditorState* V) {
  Prefilter& f = prefilter;
  f.len = 0;
  if (V->searchFn == kMatchFuzzy) return;
  const tchar* p = V->pattern;
  int i = 0;
  while (p[i] == ' ') i++;
  int n = 0;
  while (p[i + n] && p[i + n] != ' ' && n < Prefilter::kMax) n++;
  if (n == 0) return;
  for (int k = 0; k < n; k++) {
    const tchar c = p[i + k];
    if (c >= 0x80) return;  // may be a raw byte or stored in several bytes
    for (int b = 0; b < 128; b++) f.bytes[k][b] = Fold(V->caseMap, tchar(b)) == c;
    // A code beyond ASCII folding onto it would be stored otherwise.
    for (int x = 0x80; x < kCaseMapSize; x++)
      if (Fold(V->caseMap, tchar(x)) == c) return;
  }
  f.firstCount = 0;
  for (int b = 1; b < 128; b++) {
    if (!f.bytes[0][b]) continue;
    if (f.firstCount == 4) return;
    f.first[f.firstCount++] = uint8_t(b);
  }
  if (f.firstCount > 0) f.len = n;
}

bool cannotMatch(const Link* line, void*) {
  const Prefilter& f = prefilter;
  const uint8_t* b = line->data();
  const int n = line->len() - f.len;  // last place the run may begin
  if (n < 0) return true;
  for (int c = 0; c < f.firstCount; c++) {
    for (const uint8_t* at = b; at <= b + n;) {
      at = static_cast<const uint8_t*>(std::memchr(at, f.first[c], size_t(b + n + 1 - at)));
      if (!at) break;
      int k = 1;
      while (k < f.len && at[k] < 0x80 && f.bytes[k][at[k]]) k++;
      if (k == f.len) return false;
      at++;
    }
  }
  return true;
}

// Traversal callback: the start columns from..to-1 of one line, or for the
// fuzzy matcher the words in them.  Never changes the line.
int doSearch(EditorState* V, ActiveLine* line, int from, int to, void*) {
  const int L = tstrlen(V->pattern);
  // With M a match lies wholly inside the block.
  int end = line->count;
  if (V->searchFlags & TRAV_NEED_BLOCK) {
    const BlockRecord& b = V->blk;
    if (b.isColumn || V->travLine == b.endLine) end = std::min(end, int(b.endCol));
  }
  int last;  // one past the last start column
  if (V->searchFn == kMatchFuzzy) {
    last = std::min(to, end);
  } else {
    if (L == 0) return 0;
    last = std::min(to, end - L + 1);
  }
  if (from >= last) return 0;
  int found;
  if (V->searchFn == kMatchFirstOnly) {
    int a = from;
    while (a < last - 1 && IsSearchBlank(V, line->c[a])) a++;
    if (IsSearchBlank(V, line->c[a])) return 0;
    found = RunMatcher(V, line, a, a + 1);
  } else {
    found = RunMatcher(V, line, from, last);
  }
  if (found) {
    const int col = V->curTcb->col;
    SetALineQuick(V, V->travLink, V->travLine);
    V->curTcb->col = col;
    V->travStop = 1;
    V->searchFound = 1;
  }
  return 0;
}

void afterSearch(EditorState* V) {
  if (V->searchFound)
    SearchView(V);
  else
    SetAlert(V, "Not Found");
  V->searchDone = 1;
}

void optionPrompt(EditorState* V) {
  Prompt(V, kPromptOptions, pendingReplace ? kReplaceOptions : kSearchOptions, V->searchOpts, 7, 0,
         Search, int(sizeof V->searchOpts));
}

}  // namespace

void ToggleSearchOption(char* field, int key) {
  // The field always keeps its ten characters.
  const int len = int(std::strlen(field));
  for (int i = len; i < kOptionCount; i++) field[i] = ' ';
  field[kOptionCount] = 0;
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  if (key <= ' ' || key > 'Z') return;
  const char* at = std::strchr(kOptionKeys + 1, key);
  if (!at) return;
  const int pos = kOptionPos[at - kOptionKeys] - 1;
  field[pos] = field[pos] == char(key) ? ' ' : char(key);
}

void Search(EditorState* V, int step, intptr_t key) {
  switch (step & 0xff) {
    case 1:
    case 2:
      pendingReplace = step == 2;
      Prompt(V, kPromptText, "Search for:", V->searchText, step == 1 ? 3 : 4, 0, Search,
             int(sizeof V->searchText));
      break;
    case 3:
      optionPrompt(V);
      break;
    case 4:
      Prompt(V, kPromptText, "Replace with:", V->replaceText, 6, 0, Search,
             int(sizeof V->replaceText));
      break;
    case 6:
      optionPrompt(V);
      break;
    case 7:
      V->replaceMode = pendingReplace;
      PreSearch(V);
      SearchNext(V, 1);
      break;
    case 8:
      // The prompt's copy: Esc leaves V->searchOpts as it was.
      ToggleSearchOption(V->reply, int(key));
      break;
    case 9: {
      // " YNROQ ynroq": the index modulo 6.
      static constexpr char kAnswers[] = "ynroq";
      const char* at = V->reply[0] && !V->reply[1] ? std::strchr(kAnswers, V->reply[0]) : nullptr;
      if (!at) {
        Prompt(V, kPromptKey, "Yes/No/Only/Rest/Quit:", nullptr, 9, 0, Search);
        return;
      }
      static constexpr int kAnswer[] = {1, 2, 3, 4, 5};
      ReplaceIt(V, kAnswer[at - kAnswers]);
      break;
    }
    default:
      break;
  }
}

int PreSearch(EditorState* V) {
  const char* o = V->searchOpts;
  V->searchFlags = has(o, 'R') ? TRAV_BACKWARDS : 0;
  if (!has(o, 'T')) V->searchFlags |= TRAV_FROM_CURSOR;
  if (has(o, 'M')) V->searchFlags |= TRAV_NEED_BLOCK;
  V->optWord = has(o, 'W');
  V->optNoPrompt = has(o, 'N');
  V->optIgnore = has(o, 'I');
  V->optFirst = has(o, 'F');
  V->optCol1 = has(o, '1');
  V->optBeg = has(o, 'B');
  V->optEnd = has(o, 'E');
  V->optFuzzy = has(o, 'Z');
  V->optAll = has(o, 'A');
  V->searchFn = V->optCol1    ? kMatchCol1
                : V->optFirst ? kMatchFirstOnly
                : V->optBeg   ? kMatchBegWord
                : V->optEnd   ? kMatchEndWord
                : V->optFuzzy ? kMatchFuzzy
                : V->optWord  ? kMatchWord
                              : kMatchPlain;
  V->caseMap = V->optIgnore ? V->upcase : V->nocase;
  V->wordMap = V->searchFn == kMatchWord ? V->wordBreak : V->nocase;
  // The pattern is always rewritten, so an empty text never leaves the last
  // one to be searched.
  const auto* p = reinterpret_cast<const uint8_t*>(V->searchText);
  const int n = int(strnlen(V->searchText, sizeof V->searchText));
  int count = 0;
  for (int i = 0; i < n && count < 255;) {
    int len;
    V->pattern[count++] = Fold(V->caseMap, uni8(p + i, n - i, &len));
    i += len;
  }
  V->pattern[count] = 0;
  V->patLen = count;
  prefilter.len = 0;
  if (count == 0) return 1;
  if (V->optFuzzy) FuzzyLimit(V);
  buildPrefilter(V);
  return 0;
}

int SearchNext(EditorState* V, int first) {
  if (V->searchFn == kMatchNone) return 1;
  if (first) {
    V->replaceCount = 0;
    V->replaceRest = 0;
  }
  Tcb* const start = V->curTcb;
  if (!start || !start->base) return 1;
  if (V->pattern[0] == 0) {
    SetAlert(V, "Not Found");
    return 0;
  }
  if ((V->searchFlags & TRAV_NEED_BLOCK) && V->blk.blkTcb != start) {
    SetAlert(V, "No block available");
    return 0;
  }
  int extra = first ? 0 : TRAV_FROM_CURSOR;
  V->searchDone = 0;
  // A loop, not recursion: a replace-all of a million matches keeps its stack.
  while (!V->searchDone) {
    V->searchFound = 0;
    int flags = V->searchFlags | extra;
    if (flags & TRAV_FROM_CURSOR) {
      // Backwards the walk covers the columns left of the cursor; forwards
      // those right of it, or from it when a replacement left it there.
      if ((flags & TRAV_BACKWARDS) || ResumeAtCursor(V)) flags |= TRAV_AT_CURSOR;
    }
    TravSkip skip = prefilter.len ? cannotMatch : nullptr;
    // A block may cut a word short: only whole lines are judged by their words.
    if (V->searchFn == kMatchFuzzy && !(flags & TRAV_NEED_BLOCK)) skip = FuzzyCannotMatch;
    Traverse(V, flags, doSearch, V, skip);
    if (!V->searchFound && V->optAll) {
      StepView(V, 0);
      extra = 0;
    }
    if (V->searchFound || V->curTcb == start) {
      if (V->replaceMode)
        ReplaceStep(V);
      else
        afterSearch(V);
      extra = TRAV_FROM_CURSOR;
    }
  }
  return 0;
}

void RepeatSearch(EditorState* V) {
  V->replaceRest = 0;
  SearchNext(V, 0);
}

void SearchView(EditorState* V) {
  Tcb* t = V->curTcb;
  const int cols = std::max(t->cols, 1);
  if (t->col < t->leftCol) {
    t->leftCol = t->col;
  } else {
    const int d = t->col + V->patLen + 5 - t->leftCol - cols;
    if (d > 0) t->leftCol += d;
  }
  // A long match or a narrow view: the match's start stays on the screen.
  t->leftCol = std::clamp(t->leftCol, std::max(0, t->col - cols + 1), t->col);
  V->redraw |= REDRAW_TEXT;
  V->hiliteLen = V->patLen;
}
