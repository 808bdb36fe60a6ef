// Reading files into texts and writing texts to files.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/editor_state.h"

// Names.  A file's own name (after the last '/') may carry a cipher suffix
// from its first '@' on; an '@' in a folder is only a character.
const char* PathName(EditorState* V, const char* name);  // V->curDir + "/" + name
// Bytes of `path` before the cipher suffix (all of it when there is none).
size_t PlainNameLen(const char* path);
void SplitFileName(EditorState* V, char* dir, char* name, const char* path);
bool file_exist(EditorState* V, const char* name);

// Whether the mode bits of a file forbid this process to write it (root:
// when no write bit is set at all).
bool StatReadOnly(const struct stat& st);
// The same for the file `name` names (relative to V->curDir, cipher suffix
// allowed); false when there is no such file.
bool FileReadOnly(EditorState* V, const char* name);

// How a read ended.  Refused: the name is a pipe, socket or device, which is
// never read (its text is not opened).
enum class ReadStatus { Read, Missing, Failed, Refused };

// Reads the file `name` (relative to V->curDir) into a new text; width is the
// column at which long lines are broken (0: 1023, the most a line holds).
// Lines are stored as read (LINK_ASREAD) when their bytes fit a record.  Never returns a text
// without a line.  *status tells whether the file was read, missing, or could
// not be read (the alert says why).  Null only when memory ran out.
// Memory running out discards the part read (null, alert "Out of memory").
// *stamp receives what the file was on disk as it was read.
Link* GetFile(EditorState* V, const char* name, int width, uint32_t encoding, ReadStatus* status = nullptr,
              DiskStamp* stamp = nullptr);

// Large files are read in pieces, one per core, each cut where one pass
// would start a line.  For tests: cut every file read from now on near these
// offsets (moved on to such a line start), whatever its size; a negative
// offset: read on one thread; empty: back to the reader's own choice.
void SetReadCuts(std::vector<off_t> cuts);

// Appends the complete lines of data[0..*count) to the text `base`; *count
// receives the number of bytes not consumed.
void GetText(EditorState* V, Link* base, const uint8_t* data, int* count, bool last, int width, uint32_t encoding);
// What GetText met, to choose the modes of a text read from a file: whether
// the data held a TAB, and its first line end (MODE_CR and/or MODE_LF, 0
// when it has none).  TextFromBytes starts afresh; whoever reads a file
// clears it first.
struct ReadTraits {
  bool tab = false;
  uint32_t lineEnd = 0;
};
ReadTraits& LastRead();

// Builds a text from bytes in memory, as GetFile would from a file of them.
Link* TextFromBytes(EditorState* V, const void* data, size_t n, int width, uint32_t encoding);

// Writes the text `base` to `name` with the encoding, line-end and TAB bits
// of `mode`.  Returns 0 when the file is safely in place, 1 when nothing was
// replaced (the alert says why).
int PutFile(EditorState* V, Link* base, const char* name, uint32_t mode);

// Writes the text `base` into the open file `fd` as PutFile would write it
// (cipher from the suffix of `name`), then flushes it to the disk.  Returns
// 0, or the errno of the first failure.
int PutFileFd(EditorState* V, Link* base, int fd, const char* name, uint32_t mode);

// The buffered writer.
int BufWrite_Open(EditorState* V, const char* name);
void BufWrite_Out(EditorState* V, const void* data, int n);
void BufWrite_Flush(EditorState* V, bool final);
int BufWrite_Close(EditorState* V, const char* name);

// Texts.
Tcb* OpenText(EditorState* V, const char* path, uint32_t encoding);
// As OpenText, but a large plain file holds only its first `pageBytes`
// (cut after a line end) and *partial is set: enough for the first screen
// while the rest is read.  CompleteText then reads it whole, as OpenText
// would have; should that fail, the text is left without a file name, so
// that the first page can never be saved over the whole file.
Tcb* OpenTextFirstPage(EditorState* V, const char* path, uint32_t encoding, size_t pageBytes,
                       bool* partial);
int CompleteText(EditorState* V, Tcb* t);
// A text read from a file is written as the file was: TABs-out on when the
// file held a TAB and off when it held none, and with the file's first line
// end.  A new text keeps the default modes.
void SetModeFromRead(Tcb* t);
int SaveOneText(EditorState* V);
int ReloadFromDisk(EditorState* V);  // the reading part of ReloadText

// Changes on disk.  StampOf records a stat result; FileStamp stats the file
// `name` (relative to V->curDir, cipher suffix allowed, links followed).
DiskStamp StampOf(const struct stat& st);
DiskStamp FileStamp(EditorState* V, const char* name);
// What the last successful PutFile left on disk under the file's name.
const DiskStamp& LastWritten();
// Whether the file of text `t` (in its own directory) is no longer the one
// it was read from or last saved to: changed, replaced, or created since.
// A file deleted since is no change: saving simply writes it again.
bool DiskChanged(EditorState* V, const Tcb* t);
// "Rescued copy exists: NAME.save" when a rescue of the file `name` (in
// V->curDir) is newer than the file itself.
void NoteRescuedCopy(EditorState* V, const char* name);

// Makes the writer fail once `afterBytes` bytes have been written, with errno
// `err` (0 turns it off): lets tests meet a full disk anywhere.
void SetWriteFault(long afterBytes, int err);
