// The macro recorder and player.
#include "shell/macros.h"

#include <cstring>

#include "core/editor_state.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/event_loop.h"

namespace {

constexpr int kIdle = 0, kArmed = 1, kRecording = 2;

int state = kIdle;
int32_t macroLine[kMacroBytes / 4];  // the key word, then the codes
int macroBytes = 0;
int limitcount = 0;
bool stopReplay = false;  // a replayed key left the editing mode or the texts

// The recorder's state belongs to the editor whose "Rec" bit is set; an
// editor without it (a fresh one, or one whose recording ended) is idle.
void sync(const EditorState* V) {
  if (!(V->toggles & TGL_RECORDING)) state = kIdle;
}

Link* head(const EditorState* V) { return static_cast<Link*>(V->macroList); }

int32_t wordAt(const Link* l, int i) {
  int32_t w;
  std::memcpy(&w, l->data() + 4 * i, 4);
  return w;
}

Link* findMacro(const EditorState* V, int32_t key) {
  for (Link* l = head(V); l; l = l->next())
    if (wordAt(l, 0) == key) return l;
  return nullptr;
}

void deleteMacro(EditorState* V, int32_t key) {
  Link* prev = nullptr;
  for (Link* l = head(V); l; prev = l, l = l->next()) {
    if (wordAt(l, 0) != key) continue;
    if (prev)
      prev->nextH = l->nextH;
    else
      V->macroList = l->next();
    ReleaseLink(V, l);
    return;
  }
}

void endRecording(EditorState* V) {
  state = kIdle;
  V->toggles &= ~TGL_RECORDING;
  V->redraw |= REDRAW_STATUS;
}

bool replayMayGo(const EditorState* V) { return V->inputMode == ModeEdit && V->curTcb && !V->quit; }

void replay(EditorState* V, int32_t key) {
  const Link* m = findMacro(V, key);
  if (!m) return;
  const int words = m->len() / 4;
  for (int i = 1; i < words && !stopReplay; i++) {
    // A command that opened a prompt, menu or dialogue, or closed the last
    // text, ends the whole replay: the codes after it were meant for the text.
    if (!replayMayGo(V)) {
      stopReplay = true;
      break;
    }
    const int32_t code = wordAt(m, i);
    if (IsMacroKey(code)) {
      MacroKey(V, code);
    } else if (code < CMD_BASE) {
      TypeChar(V, code);
    } else {
      int n = code - CMD_BASE;
      DoCommand(V, &n);
    }
  }
}

void record(EditorState* V, int32_t code) {
  if (macroBytes >= kMacroBytes) {
    endRecording(V);
    SetAlert(V, "Macro too long");
    return;
  }
  macroLine[macroBytes / 4] = code;
  macroBytes += 4;
}

}  // namespace

int MacroState(const EditorState* V) {
  sync(V);
  return state;
}

int MacroCount(const EditorState* V) {
  int n = 0;
  for (const Link* l = head(V); l; l = l->next()) n++;
  return n;
}

void MacroRec(EditorState* V) {
  sync(V);
  if (state == kIdle) {
    state = kArmed;
    V->toggles |= TGL_RECORDING;
    V->redraw |= REDRAW_STATUS;
  } else if (state == kRecording) {
    endRecording(V);
    if (macroBytes <= 4) return;
    Link* l = NewLink(V, macroBytes);
    if (!l) return;  // "Out of memory" is on the alert line
    l->word = uint16_t(macroBytes);
    std::memcpy(l->data(), macroLine, size_t(macroBytes));
    l->prevH = 0;
    l->setNext(head(V));
    V->macroList = l;
  }
}

void MacroKey(EditorState* V, int code) {
  if (code == -1) return;
  sync(V);
  if (limitcount > kMacroDepth) {
    SetAlert(V, "Macro stopped");
    return;
  }
  if (limitcount == 0) stopReplay = false;
  limitcount++;
  switch (state) {
    case kIdle:
      if (IsMacroKey(code)) replay(V, code);
      break;
    case kArmed:
      if (IsMacroKey(code)) {
        deleteMacro(V, code);
        macroLine[0] = code;
        macroBytes = 4;
        state = kRecording;
      } else {
        endRecording(V);
      }
      break;
    case kRecording:
      if (IsMacroKey(code)) {
        state = kIdle;
        replay(V, code);
        // The replay may have ended on a prompt; the recording goes on.
        if (V->toggles & TGL_RECORDING) state = kRecording;
        if (state == kRecording) record(V, code);
      } else if (code > 0 && code != CMD_BASE + cmd::MacroRecord) {
        record(V, code);
      }
      break;
  }
  limitcount--;
}
