// The editor record V and the text control block.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/line_store.h"

// Per-text mode bits (Tcb.mode).
constexpr uint32_t MODE_WRAP = 0x4;
constexpr uint32_t MODE_SOURCE = 0x8;  // in the default mode word only; the switch is TGL_SOURCE
constexpr uint32_t MODE_TABSOUT = 0x20;
constexpr uint32_t MODE_CP = 0x80;
constexpr uint32_t MODE_LATIN1 = 0x100;
constexpr uint32_t MODE_UTF8 = 0x200;
constexpr uint32_t MODE_TABMODE = 0x1000;
constexpr uint32_t MODE_CR = 0x2000;
constexpr uint32_t MODE_LF = 0x4000;
constexpr uint32_t MODE_ENCODING = 0x380;
// Bits a new text takes from the default mode.  Source view is not among
// them: it is one switch for all texts (TGL_SOURCE).
constexpr uint32_t MODE_TEXT_MASK = 0x7064;

// Global toggle bits (V.toggles).
constexpr uint32_t TGL_INSERT = 0x2;
constexpr uint32_t TGL_SOURCE = 0x8;
constexpr uint32_t TGL_WORDSET = 0x10;
constexpr uint32_t TGL_NOREPEAT = 0x400;
constexpr uint32_t TGL_BOXDRAW = 0x800;
constexpr uint32_t TGL_POINTING = 0x8000;
constexpr uint32_t TGL_ONECLICK = 0x10000;
constexpr uint32_t TGL_SYNCSCROLL = 0x20000;
constexpr uint32_t TGL_GLOBAL_MASK = 0x3841a;  // global bits of the default mode word

// Tcb.kind
constexpr int KIND_NEW = 0;
constexpr int KIND_FILE = 2;
constexpr int KIND_DIR = 3;
constexpr int KIND_DUP = 4;

// V.redraw request bits.
constexpr uint8_t REDRAW_ALL = 0x1;
constexpr uint8_t REDRAW_ALERT = 0x4;
constexpr uint8_t REDRAW_STATUS = 0x8;
constexpr uint8_t REDRAW_TEXT = 0x10;

constexpr int kUndoAreaSize = 0x10000;
constexpr int kDelMax = 250;
constexpr int kAlertMax = 255;
// Every directory, path and name buffer holds a whole PATH_MAX path: a
// folder or name cut to fit would be another file's.  A name keeps its
// cipher key, so it gets the same room.
constexpr int kPathMax = 4096;
constexpr int kNameMax = kPathMax;
constexpr int kWbufSize = 4096;

// What a text's file was on disk when it was read or last saved, to tell
// whether another program has changed it since.
struct DiskStamp {
  bool present;  // false: there was no file
  uint64_t dev, ino;
  int64_t size, mtimeNs;
};

struct Tcb {
  Tcb* next;
  Tcb* prev;
  Tcb* vsplitRight;
  Tcb* vsplitLeft;
  Tcb* viewNext;
  int32_t hsplit;
  uint8_t number;
  Link* base;  // null: the record is free
  Link* curLine;
  int32_t lineNo;
  int32_t col;
  int32_t leftCol;
  int32_t headY, statusY, textY;
  int32_t leftX, rightX, bottomY;
  int32_t cols;
  int32_t rows;
  int32_t row;
  int32_t leftMargin, rightMargin;
  int32_t kind;
  char fileName[kNameMax];
  char dirName[kNameMax];
  int32_t modified;
  uint32_t mode;
  tchar ruler[kAlineMax];
  int32_t lastTabKind;
  DiskStamp disk;
  int32_t lineStale;  // 1: curLine must be found again by lineNo (SettleView)
};

struct MemPool {
  std::byte* first;
  std::byte* last;
  std::byte* next;
  std::byte* limit;
};

struct Defaults {
  int32_t winWidth;
  int32_t winHeight;
  int32_t leftMargin;
  int32_t rightMargin;
  uint32_t mode;
};

// The marked block.  Line numbers and columns are the truth; the Links are
// valid only right after BlkUse.
struct BlockRecord {
  Tcb* blkTcb;   // the text holding the finished block; null: none
  Tcb* blkView;  // where the last marking command ran
  int32_t startLine, startCol;
  int32_t startSplit;
  int32_t endLine, endCol;  // endCol is exclusive
  int32_t endSplit;
  Link* startLink;
  Link* endLink;
  int32_t isColumn;
};

struct EditorState {
  MemPool mem;
  uint8_t* undoArea;
  Defaults defaults;
  int32_t optDefaults, optNoFonts;
  Link* freeList[kSizeClasses];
  Tcb* curTcb;
  Tcb* tcbRing;
  Tcb* viewChain;
  Link* pasteBase;
  Link* delBase;
  int32_t delCount, delMax;
  void* macroList;
  int32_t inputMode;
  ActiveLine aline;
  int32_t alineDirty;
  const uint16_t* wordClass;
  BlockRecord blk;
  int32_t blkShift;  // characters removed by the last word deletion
  int32_t travStop;  // set by a traversal callback to end the walk
  int32_t travLine;  // line number of the line being visited
  Link* travLink;    // the line being visited
  Link* delBlk;      // block text of the last deleted block
  uint8_t markText;  // position remembered by MarkPos
  int32_t markLine, markCol;
  int32_t lastEditLine, lastEditCol;  // the latest edit, for PrevPos
  uint16_t upcase[8192];
  uint16_t locase[8192];
  uint16_t nocase[8192];
  uint16_t wordBreak[8192];
  tchar tube[kAlineMax];
  uint32_t tubeIndex;

  // Buffered file writer; 15 bytes of room for block-cipher padding.
  uint8_t wbuf[kWbufSize + 16];
  int32_t wbufLen;
  int32_t wfd;  // the temporary file being written, -1 when none
  int64_t wtotal;
  int32_t wArcfour, wRijndael;

  char reply[kPathMax];  // holds a whole path from the file dialogue
  tchar promptLine[256];   // message, a space, the answer; 0-terminated
  int32_t promptAnswer;    // index of the answer in promptLine
  int32_t promptCursor;    // index of the cursor cell; 0 before the first key
  int32_t promptNumber;    // value typed at a number prompt
  int32_t twoKeyPending;  // first key of a two-key sequence is waiting
  int32_t hiliteLen;      // length of the search match to highlight
  char alertText[kAlertMax + 1];
  Tcb* textWithAlert;
  uint32_t toggles;
  char curDir[kPathMax];
  char startDir[kPathMax];
  char searchOpts[kAlertMax];
  // Search and replace: the last dialogue's answers and the run they set up.
  char searchText[256];   // UTF-8 as typed at "Search for:"
  char replaceText[256];  // UTF-8 as typed at "Replace with:"
  tchar pattern[256];     // the search text folded, 0-terminated
  int32_t patLen;         // characters to highlight and replace at a match
  int32_t searchFn;       // the matcher; 0 until a search was set up
  int32_t searchFlags, searchFound, replaceMode;
  int32_t optFirst, optCol1, optBeg, optEnd, optIgnore, optNoPrompt, optWord, optFuzzy, optAll;
  int32_t fuzzyLimit, replaceCount, replaceRest, searchDone;
  const uint16_t* caseMap;
  const uint16_t* wordMap;

  int32_t screenCols, winWidth, fullHeight, winHeight, statusHeight;
  int32_t lineHeight, charWidth, fontAscent;
  int32_t menuLineHeight, menuCharWidth, menuCols;
  int32_t menuIndex, menuItem, menuCount;  // the main menu's choice, kept while closed
  int32_t singleView;
  uint8_t redraw;
  int32_t quit;
  int32_t fatal;  // set with quit by FatalError, for the exit status
  char cfgDir[256];

  // Arena bookkeeping: how many blocks are held, and an optional cap on
  // them (0: none) so that running out of memory can be exercised.
  int32_t memBlocks;
  int32_t memBlockLimit;
  int32_t memFailed;  // set when a record could not be had; callers clear it
  int64_t memFreeBytes;  // records on the free lists, ready to be handed out again

  // Set by the shell: puts the current text's name into the window title.
  void (*updateTitle)(EditorState* V);
};

// Start-up and shutdown.  InitEditor returns false when not even the first
// arena block or the undo area can be had.
bool InitEditor(EditorState* V);
void DeInitEditor(EditorState* V);

// The configuration directory rule, split out so that it can be checked:
// `exePath` is the program's path, `home` the user's home directory.
void ChooseCfgDir(char* out, size_t outSize, const char* exePath, const char* home);

Tcb* NewTcb(EditorState* V);
Tcb* NewText(EditorState* V, Link* base, uint32_t encoding);
void ReleaseTcb(EditorState* V, Tcb** which);
inline bool TcbTabFull(EditorState*) { return false; }
Tcb* FindTcb(EditorState* V, int number);  // open text by number, or null
// A text and its duplicates have one modified state: changed through any of
// its views, the typed cursor line included.  MarkSaved clears it for all.
bool TextModified(EditorState* V, const Tcb* t);
void MarkSaved(EditorState* V, const Tcb* t);

void SetAlert(EditorState* V, const char* message);
// Copies src into dst of `size` bytes, cut to fit, always terminated.
void CopyCut(char* dst, size_t size, const char* src);
void inView(EditorState* V);
void FatalError(EditorState* V);

// Window metrics from a window size and the text cell (pixels).
void SetMetrics(EditorState* V, int width, int height, int lineHeight, int charWidth, int ascent);

// Views (single-view layout, selection).
void PrepareView(EditorState* V);
void SelectView(EditorState* V, int number);
void StepView(EditorState* V, int direction);
void ResetRuler(Tcb* t);
Tcb* OpenDup(EditorState* V, int number);  // a second view of text `number`
// The split layout: the current text and text `number` stacked (HSplit), text
// `number` right of the current one (VSplit), text `number` out of it (ClearSplit).
void HSplit(EditorState* V, int number);
void VSplit(EditorState* V, int number);
void ClearSplit(EditorState* V, int number);

// Views that are not current follow edits made through another view of
// their text: the line store tells of each line it resizes, adds, removes
// or releases.  MarkViewsStale makes the other views of a text find their
// line again by number; SettleView(s) does that (only where marked).
void ViewsLineResized(EditorState* V, const Link* from, Link* to);
void ViewsLineAdded(EditorState* V, const Link* l);
void ViewsLineRemoving(EditorState* V, const Link* l);
void ViewsLineReleased(EditorState* V, const Link* l);
void MarkViewsStale(EditorState* V, const Link* base);
void SettleView(EditorState* V, Tcb* t);
void SettleViews(EditorState* V);
