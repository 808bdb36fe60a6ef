// The paste buffer: one block text shared by all texts, filled from the
// block or from whole lines, and pasted back, opened or cleared.
#pragma once

struct EditorState;

void ClearBuf(EditorState* V, int = 0);
void CopyToBuf(EditorState* V, int cut);        // CopyToBuf, CutToBuf
void AppendToBuf(EditorState* V, int cut);      // AppendCopyToBuf, AppendCutToBuf
void AppendLineToBuf(EditorState* V, int cut);  // AppendCopyLineToBuf, AppendCutLineToBuf
void PasteFromBuf(EditorState* V, int take);    // PasteFromBuf (1), PasteCopyFromBuf (0)
void OpenBuf(EditorState* V, int = 0);          // OpenBuffer
