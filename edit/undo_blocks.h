// The undo records of the block, paste-buffer and drag commands.
//
// A block record is the block position(s) of the command followed by a
// 13-byte tail: two handles of line lists kept outside the ring, the kind
// again and a flag word.  Column blocks laid over lines (copy, move, paste,
// restore) keep the lines they change, so Undo gives back what was
// overwritten and drops the lines appended at the text end; a deleted block
// is kept whole with its kind.
#pragma once

#include <cstdint>

struct EditorState;

namespace udo {
constexpr int kBlockRecTail = 13;
}

// The block code tells the log, while one of its commands runs, what it is
// about to change.  UdoBlkKeep: lines first..first+count-1 of the current
// text are about to change in place (false: no memory, do not change them).
bool UdoBlkKeep(EditorState* V, int first, int count);
// Lines appended at the text end by a column insertion; an empty last line
// made for a line block inserted at the end-of-text position.
void UdoBlkAppended(EditorState* V, int n);
void UdoBlkLineAdded(EditorState* V);
// The command did its work (nothing is recorded for one that did not).
void UdoBlkDone(EditorState* V);

// The bracket's part for these commands.  Pre answers whether the command
// may run.  Handled: false for a command that is not one of them.
bool UdoBlockPre(EditorState* V, int cmd, bool* mayRun);
bool UdoBlockPost(EditorState* V, int cmd);

// Replay of a block record (rec points at its first byte); false when it
// does not fit the text.  True for kinds that are not block kinds.
bool UdoBlockUndo(EditorState* V, uint8_t* rec);
bool UdoBlockRedo(EditorState* V, uint8_t* rec);
// Frees what a block record holds outside the ring.
void UdoBlockDrop(EditorState* V, const uint8_t* rec);
// Lines a block record holds outside the ring (for the statistics).
int UdoBlockLines(const uint8_t* rec);
