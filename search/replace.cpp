// Replacing: the question per match, the replacement itself and the count.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/line_store.h"
#include "edit/movement.h"
#include "edit/undo.h"
#include "search/search.h"
#include "shell/prompt.h"

namespace {

// Where a replacement left the next forward pass to begin at the cursor
// column itself (an empty replacement at column 0).
struct Resume {
  const Tcb* tcb = nullptr;
  int line = 0;
  int col = -1;
} resume;

void ask(EditorState* V) { Prompt(V, kPromptKey, "Yes/No/Only/Rest/Quit:", nullptr, 9, 0, Search); }

// The end of a run: replacements made without a question moved the cursor
// where no view followed it.
void sayCount(EditorState* V, const char* cause) {
  Adjust(V, V->curTcb);
  char msg[kAlertMax + 1];
  if (cause)
    std::snprintf(msg, sizeof msg, "%s, %05d replaces done.", cause, V->replaceCount);
  else
    std::snprintf(msg, sizeof msg, "%05d replaces done.", V->replaceCount);
  SetAlert(V, msg);
}

int decode(const char* utf, tchar* out, int room) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf);
  const int n = int(std::strlen(utf));
  int m = 0;
  for (int i = 0; i < n && m < room;) {
    int len;
    out[m++] = uni8(p + i, n - i, &len);
    i += len;
  }
  return m;
}

// Replaces V->patLen characters at the cursor; false, changing nothing,
// when the line would grow past what a line holds.
bool replaceHere(EditorState* V) {
  Tcb* t = V->curTcb;
  ActiveLine& line = V->aline;
  const int c = t->col;
  const int L = std::clamp(int(V->patLen), 0, std::max(0, line.count - c));
  tchar repl[256];
  const int R = decode(V->replaceText, repl, 255);
  const int count = line.count - L + R;
  if (c > line.count || count >= kAlineMax) return false;
  if (count > kLineMax / 4) {
    ActiveLine probe = line;
    std::memmove(probe.c + c + R, probe.c + c + L, size_t(line.count - c - L) * sizeof(tchar));
    std::memcpy(probe.c + c, repl, size_t(R) * sizeof(tchar));
    probe.count = uint16_t(count);
    if (FoldedBytes(&probe) > kLineMax) return false;
  }
  udoReplace(V, c, L, repl, R);
  std::memmove(line.c + c + R, line.c + c + L, size_t(line.count - c - L) * sizeof(tchar));
  std::memcpy(line.c + c, repl, size_t(R) * sizeof(tchar));
  line.count = uint16_t(count);
  V->alineDirty = 1;
  V->replaceCount++;
  // Forwards the next pass starts right after the replacement, backwards
  // left of it: never inside it, or a replacement holding the pattern
  // would be replaced again and again.
  if (V->searchFlags & 0x20) {
    t->col = c;
  } else {
    t->col = std::max(c + R - 1, 0);
    resume = c + R == 0 ? Resume{t, t->lineNo, 0} : Resume{};
  }
  return true;
}

}  // namespace

bool ResumeAtCursor(EditorState* V) {
  const Tcb* t = V->curTcb;
  return t && resume.tcb == t && resume.line == t->lineNo && resume.col == t->col;
}

void ReplaceStep(EditorState* V) {
  V->searchDone = 1;
  if (!V->searchFound) {
    sayCount(V, nullptr);
    return;
  }
  if (!V->optNoPrompt && !V->replaceRest) {
    SearchView(V);
    ask(V);
    return;
  }
  // Answered for every match: the caller's loop goes on.
  V->searchDone = 0;
  if (!replaceHere(V)) {
    V->searchDone = 1;
    sayCount(V, "Line too long");
  }
}

void ReplaceIt(EditorState* V, int answer) {
  if (answer == 3) V->replaceRest = 1;
  if (answer == 1 || answer == 3 || answer == 4) {
    if (!replaceHere(V)) {
      sayCount(V, "Line too long");
      return;
    }
  }
  if (answer <= 3) {
    SearchNext(V, 0);
  } else {
    sayCount(V, nullptr);
  }
}
