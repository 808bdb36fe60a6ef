// The prompt line: opening a question, its keys, closing it.
#include "shell/prompt.h"

#include <cstdio>
#include <cstring>

#include "core/encoding.h"
#include "core/file_commands.h"
#include "display/paint.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/file_browser.h"

namespace {

constexpr int kLineCells = 255;   // painted cells of promptLine; [255] ends it
constexpr int kMessageMax = 192;  // characters of a message, so an answer fits
constexpr tchar kEsc = 27;

// One prompt at a time.
struct PromptState {
  bool open;
  PromptRoutine routine;
  int savedSingleView;
  int type;
  int p;  // cursor within the answer
  int code;
  intptr_t aux;
  int limit;
  char* buffer;  // the caller's, may be null
  int bufferSize;
  // The answer differs from the preset: only then is it encoded again at
  // Enter, so a preset too long to be shown whole is handed back whole.
  bool edited;
};

PromptState ps;

tchar* answer(EditorState* V) { return V->promptLine + V->promptAnswer; }
int answerLen(EditorState* V) { return tstrlen(answer(V)); }
int answerRoom(EditorState* V) { return kLineCells - V->promptAnswer; }

// Decodes UTF-8 into the line at `at`, at most `room` characters, and ends it.
int decodeInto(tchar* dst, const char* utf, int room) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf);
  const int n = int(std::strlen(utf));
  int i = 0, count = 0;
  while (i < n && count < room) {
    int len;
    dst[count++] = uni8(p + i, n - i, &len);
    i += len;
  }
  dst[count] = 0;
  return count;
}

void setAnswer(EditorState* V, const char* utf) { decodeInto(answer(V), utf, answerRoom(V)); }

// Encodes the answer into `out` (`size` bytes), whole characters only, at
// most kReplyMax bytes.  False when the answer had to be cut.
bool encodeAnswer(EditorState* V, char* out, int size) {
  const int max = size - 1 < kReplyMax ? size - 1 : kReplyMax;
  const tchar* a = answer(V);
  int n = 0;
  for (int i = 0; a[i]; i++) {
    uint8_t buf[4];
    const int len = utf8(buf, 0, a[i]);
    if (n + len > max) {
      out[n] = 0;
      return false;
    }
    std::memcpy(out + n, buf, size_t(len));
    n += len;
  }
  out[n] = 0;
  return true;
}

bool isFileNameChar(int k) {
  const int c = k & 0xff;
  return c == '@' || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == '/' ||
         (c >= '0' && c <= '9') || c == '_' || (c >= 'a' && c <= 'z') || c == '~';
}

int lowered(int k) { return k >= 'A' && k <= 'Z' ? k + ('a' - 'A') : k; }

bool isCommand(int k, int n) { return k == CMD_BASE + n; }

void insertAt(EditorState* V, int at, tchar c) {
  tchar* a = answer(V);
  const int len = answerLen(V);
  for (int i = len; i >= at; i--) a[i + 1] = a[i];
  a[at] = c;
}

void deleteAt(EditorState* V, int at) {
  tchar* a = answer(V);
  for (int i = at; a[i]; i++) a[i] = a[i + 1];
}

bool isWordChar(EditorState* V, tchar c) {
  if (c <= ' ') return false;
  if (c >= 0x2000 || !V->wordClass) return true;
  return V->wordClass[c] != ' ';
}

// The word at the text cursor, as marking a word would take it: from the
// start of the word the cursor is in or just behind, to its end.
int wordAtCursor(EditorState* V, int* from) {
  if (!V->curTcb || !V->curTcb->base) return 0;
  const ActiveLine& l = V->aline;
  int a = V->curTcb->col;
  if (a > l.count) return 0;
  while (a > 0 && isWordChar(V, l.c[a - 1])) a--;
  if (a >= l.count || !isWordChar(V, l.c[a])) return 0;
  int b = a;
  while (b < l.count && isWordChar(V, l.c[b])) b++;
  *from = a;
  return b - a;
}

void takeWord(EditorState* V) {
  int from = 0;
  const int n = wordAtCursor(V, &from);
  if (n == 0 || n >= ps.limit - ps.p || n > answerRoom(V)) return;
  tchar* a = answer(V);
  for (int i = 0; i < n; i++) a[i] = V->aline.c[from + i];
  a[n] = 0;
  ps.p = n;
  ps.edited = true;
}

void updateTitle(EditorState* V) {
  if (V->updateTitle) V->updateTitle(V);
}

void finish(EditorState* V, bool accepted) {
  ps.open = false;
  // Closing the question also closes a listing still on show.
  if (V->curTcb && V->curTcb->kind == KIND_DIR) EndDirMode_(V);
  V->inputMode = ModeEdit;
  V->singleView = ps.savedSingleView;
  V->redraw |= REDRAW_ALL;
  updateTitle(V);
  if (!accepted) return;
  if (ps.buffer) CopyCut(ps.buffer, size_t(ps.bufferSize), V->reply);
  // The routine may open the next question at once.
  const PromptRoutine routine = ps.routine;
  if (routine) routine(V, ps.code, ps.aux);
}

void numberKey(EditorState* V, int k) {
  if (k >= '0' && k <= '9') {
    const int v = V->promptNumber * 10 + (k - '0');
    if (v < kPromptNumberLimit) V->promptNumber = v;
  } else if (isCommand(k, cmd::Backspace)) {
    V->promptNumber /= 10;
  } else {
    return;
  }
  std::snprintf(V->reply, sizeof V->reply, "%6d", V->promptNumber);
  setAnswer(V, V->reply);
  V->redraw |= REDRAW_ALERT;
}

void editKey(EditorState* V, int k) {
  const int len = answerLen(V);
  if (isCommand(k, cmd::OneLeft)) {
    if (ps.p > 0) ps.p--;
  } else if (isCommand(k, cmd::OneRight)) {
    if (V->promptCursor == 0 && ps.buffer)
      ps.p = len;
    else if (ps.p < len)
      ps.p++;
  } else if (isCommand(k, cmd::OneUp)) {
    takeWord(V);
  } else if (isCommand(k, cmd::OneDown)) {
    if (ps.type == kPromptFileName) OpenDir(V, nullptr);
    return;
  } else if (isCommand(k, cmd::Backspace)) {
    if (ps.p > 0) {
      deleteAt(V, --ps.p);
      ps.edited = true;
    }
  } else if (isCommand(k, cmd::DelChr)) {
    if (ps.p < len) {
      deleteAt(V, ps.p);
      ps.edited = true;
    } else if (len > 0) {
      deleteAt(V, len - 1);
      ps.p = len - 1;
      ps.edited = true;
    }
  } else if (k > 0 && k < CMD_BASE && k != int(kEsc)) {
    // Only characters are typed: a command's code is no character.
    if (ps.type == kPromptFileName && !isFileNameChar(k)) return;
    if (V->promptCursor == 0) {
      answer(V)[0] = 0;
      ps.p = 0;
    }
    const int n = answerLen(V);
    if (n >= ps.limit || n >= answerRoom(V)) return;
    insertAt(V, ps.p++, tchar(k));
    ps.edited = true;
  } else {
    return;
  }
  V->promptCursor = V->promptAnswer + ps.p;
  V->redraw |= REDRAW_ALERT;
}

// A single-key answer.  A character is the answer (letters lowered, encoded
// as UTF-8, so no character but the letter itself reads as 'y'); a command's
// key answers with a byte that no question takes as a letter.
void answerKey(EditorState* V, int k) {
  if (k > 0 && k < CMD_BASE) {
    uint8_t buf[4];
    const int n = utf8(buf, 0, tchar(lowered(k)));
    std::memcpy(V->reply, buf, size_t(n));
    V->reply[n] = 0;
  } else {
    V->reply[0] = 1;
    V->reply[1] = 0;
  }
  finish(V, true);
}

void optionKey(EditorState* V, int k) {
  if (ps.routine) ps.routine(V, (ps.code + 1) & 0xff, lowered(k));
  if (!ps.open || V->inputMode != ModePrompt) return;
  setAnswer(V, V->reply);
  V->redraw |= REDRAW_ALERT;
}

// ---- Hooks into the event loop and the painter ---------------------------

void promptKeyHook(EditorState* V, int code, unsigned, unsigned) { Prompt(V, code); }
void browserKeyHook(EditorState* V, int code, unsigned, unsigned) { fileKey_(V, code); }
void closeAllHook(EditorState* V) { EndText_(V, 5); }
PromptView promptView(EditorState* V) { return PromptView{V->promptLine, V->promptCursor}; }

}  // namespace

void InstallPromptHooks() {
  LoopHooks& h = loopHooks();
  h.keys[ModePrompt] = promptKeyHook;
  h.keys[ModeFileBrowser] = browserKeyHook;
  h.closeAll = closeAllHook;
  h.promptType = PromptType;
  SetPromptSource(promptView);
}

void Prompt(EditorState* V, int type, const char* message, char* preset, int code, intptr_t aux,
            PromptRoutine routine, int presetSize) {
  ps.savedSingleView = V->singleView;
  ps.routine = routine;
  V->inputMode = ModePrompt;
  ps.type = type;
  V->promptCursor = 0;
  for (int i = 0; i < kLineCells; i++) V->promptLine[i] = ' ';
  V->promptLine[kLineCells] = 0;
  const int m = decodeInto(V->promptLine, message ? message : "", kMessageMax);
  V->promptLine[m] = ' ';
  V->promptAnswer = m + 1;
  answer(V)[0] = 0;
  ps.code = code & 0xff;
  ps.aux = aux;
  ps.p = 0;
  ps.edited = false;
  ps.buffer = nullptr;
  ps.bufferSize = 0;
  ps.limit = kPromptAnswerMax;
  V->reply[0] = 0;
  switch (type) {
    case kPromptNumber:
      ps.limit = kPromptNumberLimit;
      V->promptNumber = 0;
      break;
    case kPromptFileName:
    case kPromptText:
    case kPromptOptions:
      ps.buffer = preset;
      ps.bufferSize = presetSize;
      if (preset) {
        CopyCut(V->reply, sizeof V->reply, preset);
        setAnswer(V, V->reply);
      }
      break;
    default:
      // Shown beside the question, never edited or handed back.
      if (preset) setAnswer(V, preset);
      break;
  }
  ps.open = true;
  V->redraw |= REDRAW_ALERT;
  updateTitle(V);
}

void Prompt(EditorState* V, int key) {
  if (!ps.open) {
    // No question is waiting: the keys belong to the text again.
    V->inputMode = ModeEdit;
    return;
  }
  if (key == -1) return;
  if (ps.type == kPromptKey) {
    answerKey(V, key);
    return;
  }
  if (key == int(kEsc)) {
    finish(V, false);
    return;
  }
  if (isCommand(key, cmd::NewLine)) {
    if ((ps.type == kPromptFileName || ps.type == kPromptText) && ps.edited &&
        !encodeAnswer(V, V->reply, int(sizeof V->reply)) && ps.type == kPromptFileName) {
      // A name cut to fit would be another file's.
      finish(V, false);
      SetAlert(V, "Path too long");
      return;
    }
    finish(V, true);
    return;
  }
  switch (ps.type) {
    case kPromptNumber:
      numberKey(V, key);
      break;
    case kPromptFileName:
    case kPromptText:
      editKey(V, key);
      break;
    case kPromptOptions:
      optionKey(V, key);
      break;
    default:
      break;
  }
}

int PromptType(EditorState*) { return ps.open ? ps.type : 0; }
