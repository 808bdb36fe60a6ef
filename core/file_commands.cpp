// Opening, saving, closing and reloading texts, with their questions.
#include "core/file_commands.h"

#include <sys/stat.h>

#include <cstring>

#include "core/file_io.h"
#include "edit/undo.h"
#include "shell/file_prompt.h"
#include "shell/prompt.h"

namespace {

// The name and directory the current text had when a save began: put back
// when the save is refused or fails, so that the text keeps naming the file
// it really came from.
char prevName[kNameMax];
char prevDir[kNameMax];

// The save-block question's pending work.
char blkName[kNameMax];
Link* blkText;

void updateTitle(EditorState* V) {
  if (V->updateTitle) V->updateTitle(V);
}

// The question before a file is replaced: one the user may not write gets
// its own, even when it is the text's own file.
const char* overwriteQuestion(EditorState* V, const char* name) {
  return FileReadOnly(V, name) ? "File is read-only, Overwrite? [Y/N]:" : "File exist, Overwrite? [Y/N]:";
}

constexpr const char* kDiskQuestion = "File changed on disk, Overwrite? [Y/N]:";

bool unsaved(EditorState* V, const Tcb* t) { return TextModified(V, t); }

void restoreName(Tcb* t) {
  CopyCut(t->fileName, sizeof t->fileName, prevName);
  CopyCut(t->dirName, sizeof t->dirName, prevDir);
}

bool sameDir(const char* a, const char* b) {
  if (std::strcmp(a, b) == 0) return true;
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Closes the current text; the editor ends with the last one.
void closeCurrent(EditorState* V) {
  ReleaseTcb(V, &V->curTcb);
  if (V->curTcb)
    PrepareView(V);
  else
    V->quit = 1;
}

// Saves the current text under the name the question settled on, in
// V->curDir.  False when nothing was saved; the text then keeps its
// previous name and its changes.
bool saveNow(EditorState* V) {
  Tcb* t = V->curTcb;
  if (std::strlen(V->curDir) >= sizeof t->dirName) {
    restoreName(t);
    SetAlert(V, "Path too long");
    return false;
  }
  CopyCut(t->dirName, sizeof t->dirName, V->curDir);
  if (SaveOneText(V) != 0) {
    restoreName(t);
    return false;
  }
  if (t->kind == KIND_NEW) t->kind = KIND_FILE;
  return true;
}

void saveThenClose(EditorState* V, int action) {
  if (saveNow(V) && action == kSaveExit) closeCurrent(V);
}

// A file the user may not write is replaced only after its own question.
bool askReadOnly(EditorState* V, Tcb* t, int action) {
  if (!FileReadOnly(V, t->fileName)) return false;
  Prompt(V, kPromptKey, overwriteQuestion(V, t->fileName), nullptr, kOverwrite, action, DoEndText);
  return true;
}

// Whether `name` (in V->curDir) names the current text's own file: the same
// path, or the very file it was read from or saved to.
bool ownFileOfCurrent(EditorState* V, const char* name) {
  const Tcb* t = V->curTcb;
  if (!t || !t->base || t->kind != KIND_FILE) return false;
  const DiskStamp target = FileStamp(V, name);
  if (t->disk.present && target.present && target.dev == t->disk.dev && target.ino == t->disk.ino) return true;
  const size_t n = PlainNameLen(name), m = PlainNameLen(t->fileName);
  return n == m && std::strncmp(name, t->fileName, n) == 0 && sameDir(V->curDir, t->dirName);
}

// Closes texts without unsaved changes (and duplicates) at once; asks about
// the first one that has changes.  With kCloseAll it goes on through every
// text.
void closeTexts(EditorState* V, int action) {
  while (Tcb* t = V->curTcb) {
    if (t->kind != KIND_DUP && unsaved(V, t)) {
      Prompt(V, kPromptKey, "Discard text [Y/N]:", t->fileName, action, 0, DoEndText);
      return;
    }
    closeCurrent(V);
    if (action != kCloseAll) break;
    V->redraw |= REDRAW_ALL;
  }
  if (!V->curTcb) V->quit = 1;
}

void opened(EditorState* V, int, intptr_t encoding) { OpenText(V, V->reply, uint32_t(encoding)); }

void writeBlk(EditorState* V) {
  AFlush(V);
  const bool own = ownFileOfCurrent(V, blkName);
  // The user's own write over the text's file is no change by another.
  if (PutFile(V, blkText, blkName, V->curTcb ? V->curTcb->mode : V->defaults.mode) == 0 && own)
    V->curTcb->disk = LastWritten();
}

void releaseBlk(EditorState* V) {
  if (blkText) ReleaseText(V, blkText);
  blkText = nullptr;
}

Tcb* mainText(EditorState* V, Tcb* t) {
  if (t->kind != KIND_DUP) return t;
  Tcb* u = V->tcbRing;
  do {
    if (u->base == t->base && u->kind != KIND_DUP) return u;
    u = u->next;
  } while (u != V->tcbRing);
  return nullptr;
}

void reloadAnswered(EditorState* V, int, intptr_t) {
  Tcb* t = V->curTcb;
  if (V->reply[0] != 'y' || !t || !t->base) return;
  Tcb* main = mainText(V, t);
  if (!main) return;
  udoReset(V);  // the records describe the text as it was
  CopyCut(V->curDir, sizeof V->curDir, main->dirName);
  // A file gone from the disk would leave an empty text: keep what we have.
  if (!file_exist(V, main->fileName)) {
    SetAlert(V, "File not found");
  } else if (main == t) {
    ReloadFromDisk(V);
  } else {
    AFlush(V);
    V->curTcb = main;
    ReloadFromDisk(V);
    V->curTcb = t;
    ALoad(V);
  }
  CopyCut(V->curDir, sizeof V->curDir, t->dirName);
  V->redraw |= REDRAW_TEXT;
}

}  // namespace

void OpenTextCmd(EditorState* V, int encoding) {
  FilePrompt_(V, kPromptFileName, "Open file:", nullptr, 0, encoding, opened);
}

void EndText_(EditorState* V, int action) {
  Tcb* t = V->curTcb;
  if (t) {
    CopyCut(prevName, sizeof prevName, t->fileName);
    CopyCut(prevDir, sizeof prevDir, t->dirName);
    CopyCut(V->curDir, sizeof V->curDir, t->dirName);
    AFlush(V);
  }
  if (action == kSaveExit || action == kSaveStay) {
    if (t) FilePrompt_(V, kPromptFileName, action == kSaveExit ? "Save & exit:" : "Save file:", t->fileName, action, 0, DoEndText);
    return;
  }
  closeTexts(V, action);
  if (V->curTcb) CopyCut(V->curDir, sizeof V->curDir, V->curTcb->dirName);
  updateTitle(V);
}

void DoEndText(EditorState* V, int action, intptr_t aux) {
  Tcb* t = V->curTcb;
  if (!t) return;
  switch (action) {
    case kSaveExit:
    case kSaveStay:
      if (t->kind == KIND_DUP) {
        restoreName(t);
        SetAlert(V, "Text is a duplicate, NO save");
      } else if (!t->fileName[0]) {
        restoreName(t);
        SetAlert(V, "No file name");
      } else if (std::strcmp(t->fileName, prevName) == 0 && sameDir(V->curDir, prevDir)) {
        // Its own file: another program may have written it meanwhile.
        if (DiskChanged(V, t)) {
          Prompt(V, kPromptKey, kDiskQuestion, nullptr, kDiskChanged, action, DoEndText);
          return;
        }
        if (askReadOnly(V, t, action)) return;
        saveThenClose(V, action);
      } else if (file_exist(V, t->fileName)) {
        Prompt(V, kPromptKey, overwriteQuestion(V, t->fileName), nullptr, kOverwrite, action, DoEndText);
        return;
      } else {
        saveThenClose(V, action);
      }
      break;
    case kDiskChanged:
      // No: the text stays open and modified, the other program's file stays.
      if (V->reply[0] != 'y') {
        restoreName(t);
        break;
      }
      if (askReadOnly(V, t, int(aux))) return;
      saveThenClose(V, int(aux));
      break;
    case kOverwrite:
      if (V->reply[0] == 'y')
        saveThenClose(V, int(aux));
      else
        restoreName(t);
      break;
    case kDiscardExit:
    case kCloseAll:
      if (V->reply[0] != 'y') break;
      closeCurrent(V);
      if (action == kCloseAll && V->curTcb) {
        V->redraw |= REDRAW_ALL;
        EndText_(V, kCloseAll);
        return;
      }
      break;
    default:
      break;
  }
  if (V->curTcb) CopyCut(V->curDir, sizeof V->curDir, V->curTcb->dirName);
  updateTitle(V);
}

void SaveBlk(EditorState* V, const char* name, Link* text, int stage) {
  blkText = text;
  // A name cut to fit would be another file's.
  if (std::strlen(name) >= sizeof blkName) {
    SetAlert(V, "Path too long");
    if (stage == 1) releaseBlk(V);
    return;
  }
  CopyCut(blkName, sizeof blkName, name);
  if (file_exist(V, blkName)) {
    // Over the text's own file: whether another program changed it matters
    // more than that it exists.
    const bool changed = ownFileOfCurrent(V, blkName) && DiskChanged(V, V->curTcb);
    Prompt(V, kPromptKey, changed ? kDiskQuestion : overwriteQuestion(V, blkName), nullptr, stage + 2, 0,
           DoSaveBlk);
    return;
  }
  writeBlk(V);
  if (stage == 1) releaseBlk(V);
}

void DoSaveBlk(EditorState* V, int stage, intptr_t) {
  if (V->reply[0] == 'y') writeBlk(V);
  if (stage == 3) releaseBlk(V);
  blkText = nullptr;
}

void ReloadText(EditorState* V, int) {
  Tcb* t = V->curTcb;
  // An unnamed text or a listing has no file to read again.
  if (!t || !t->base || t->kind == KIND_NEW || t->kind == KIND_DIR) return;
  Prompt(V, kPromptKey, "Reload? [Y/N]:", nullptr, 0, 0, reloadAnswered);
}
