// Cursor movement and scrolling of the current text.
//
// The line primitives here are the only way the cursor line changes: they
// write the edited copy (V->aline) back before leaving a line and load the
// new one afterwards.  Moves never report errors: one that cannot be made
// leaves the cursor where it is.
#pragma once

struct EditorState;
struct Tcb;
struct Link;
struct ActiveLine;

// Move numbers of CursorMove.
constexpr int MOVE_ONEUP = 0;
constexpr int MOVE_ALLUP = 1;
constexpr int MOVE_ONEDOWN = 2;
constexpr int MOVE_ALLDOWN = 3;
constexpr int MOVE_ONELEFT = 4;
constexpr int MOVE_ONERIGHT = 5;
constexpr int MOVE_PAGEUP = 6;
constexpr int MOVE_PAGEDOWN = 7;
constexpr int MOVE_WORDLEFT = 8;
constexpr int MOVE_WORDRIGHT = 9;
constexpr int MOVE_TOPOFSCRN = 11;
constexpr int MOVE_BOTTOMOFSCRN = 12;
constexpr int MOVE_FIRSTLINE = 13;
constexpr int MOVE_LASTLINE = 14;
constexpr int MOVE_FIRSTPOS = 15;
constexpr int MOVE_LASTPOS = 16;
constexpr int MOVE_MAKETOP = 17;
constexpr int MOVE_MAKEMIDDLE = 18;
constexpr int MOVE_MAKEBOTTOM = 19;
constexpr int MOVE_GOTOLINE = 20;
constexpr int MOVE_BEGOFLINE = 21;
constexpr int MOVE_ENDOFLINE = 22;
constexpr int MOVE_TABRT = 23;
constexpr int MOVE_TABLT = 24;
constexpr int MOVE_BLOCKBEG = 25;
constexpr int MOVE_BLOCKEND = 26;
constexpr int MOVE_PREVPOS = 27;
constexpr int MOVE_MARKPOS = 28;
constexpr int MOVE_JUMPTOPOS = 29;
constexpr int MOVE_ZAP = 30;
constexpr int MOVE_LEFTOFLINE = 32;
constexpr int MOVE_INDENTUP = 33;
constexpr int MOVE_INDENTDOWN = 34;
constexpr int MOVE_WORDENDLEFT = 35;
constexpr int MOVE_WORDENDRIGHT = 36;
constexpr int MOVE_WORDEND = 37;  // to just behind the word (word marking)

// Kinds of Scroll.
constexpr int SCROLL_UP = 0;     // text moves down on screen, row kept
constexpr int SCROLL_DOWN = 1;
constexpr int SCROLL_LEFT = 2;
constexpr int SCROLL_RIGHT = 3;
constexpr int SCROLL_PAGELEFT = 4;
constexpr int SCROLL_PAGERIGHT = 5;

// The last line, for ALineSet.
constexpr int kLastLine = 0x7fffffff;

// Line primitives: 0 moved, 1 could not (nothing changed).  None of them
// touches the screen row except SetALineQuick.
int ALineUp(EditorState* V);
int ALineDown(EditorState* V);
// Line n (1-based; shorter texts stop at their last line).
int ALineSet(EditorState* V, int n);
// Makes `link`, known to be line n, the cursor line without walking; the
// row follows the line number, kept inside the view.  Does not flush.
void SetALineQuick(EditorState* V, Link* link, int n);

// Completion of the "Goto line:" prompt: the number typed, when above 0.
void DoGoto(EditorState* V);

// Keeps the cursor column of `tcb` visible.
void Adjust(EditorState* V, Tcb* tcb);

// First column holding a character above the space; the length when none.
int findLOL(const ActiveLine* line);

// Traversal callback of IndentUp/IndentDown: the first line it sees (the
// cursor line) sets the indentation; the next non-blank line indented the
// same becomes the cursor line and ends the walk.  `arg` is the walk's
// state, kept by the caller.  Changes no line.
int DoIndentMatch(EditorState* V, ActiveLine* line, int from, int to, void* arg);

void CursorMove(EditorState* V, int move);
void Scroll(EditorState* V, int kind);
