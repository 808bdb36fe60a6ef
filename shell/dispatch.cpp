// The dispatcher: one route per command number to the function that
// performs it, with the route's argument.  A function that takes the editor
// and one int is routed to directly; any other gets a small adapter here.
#include "config/color_dialog.h"
#include "config/config_file.h"
#include "config/defaults.h"
#include "config/font_dialog.h"
#include "config/key_dialog.h"
#include "core/editor_state.h"
#include "core/file_commands.h"
#include "edit/block.h"
#include "edit/bookmarks.h"
#include "edit/case_commands.h"
#include "edit/clipboard.h"
#include "edit/drag.h"
#include "edit/line_edit.h"
#include "edit/movement.h"
#include "edit/paste.h"
#include "edit/typing.h"
#include "shell/commands.h"
#include "shell/file_prompt.h"
#include "shell/event_loop.h"
#include "shell/key_table.h"
#include "shell/macros.h"
#include "shell/main_menu.h"
#include "shell/text_list.h"
#include "shell/toggles.h"
#include "edit/undo.h"
#include "search/search.h"
#include "tools/char_chart.h"
#include "tools/compare.h"
#include "tools/sum_lines.h"
#include "tools/text_tools.h"
#include "help/help_text.h"
#include "help/help_viewer.h"
#include "tools/morse.h"
#include "print/print_config.h"
#include "print/print_job.h"
#include "print/print_window.h"

namespace {

using Action = void (*)(EditorState* V, int arg);

struct Route {
  Action run;  // null: the number names no command
  int arg;
};

// Commands left out of the program for good.
void unimp(EditorState* V, int) { SetAlert(V, "Unimplemented"); }

void search(EditorState* V, int step) { Search(V, step); }
void repeatSearch(EditorState* V, int) { RepeatSearch(V); }

constexpr Route kRoutes[kCmdCount] = {
    {nullptr, 0},  // 0 FirstOfTwo
    {nullptr, 0},  // 1 (no name)
    {CursorMove, 4},  // 2 OneLeft
    {CursorMove, 5},  // 3 OneRight
    {CursorMove, 8},  // 4 WordLeft
    {CursorMove, 9},  // 5 WordRight
    {CursorMove, 21},  // 6 BegOfLine
    {CursorMove, 22},  // 7 EndOfLine
    {SyncroScroll, 8},  // 8 ScrollLeft
    {SyncroScroll, 9},  // 9 ScrollRight
    {SyncroScroll, 10},  // 10 PageLeft
    {SyncroScroll, 11},  // 11 PageRight
    {CursorMove, 0},  // 12 OneUp
    {CursorMove, 2},  // 13 OneDown
    {SyncroScroll, 14},  // 14 PageDown
    {SyncroScroll, 15},  // 15 PageUp
    {CursorMove, 13},  // 16 FirstLine
    {CursorMove, 14},  // 17 LastLine
    {CursorMove, 15},  // 18 FirstPos
    {CursorMove, 16},  // 19 LastPos
    {SyncroScroll, 20},  // 20 Scrolldown
    {SyncroScroll, 21},  // 21 ScrollUp
    {CursorMove, 11},  // 22 TopOfScrn
    {CursorMove, 12},  // 23 BottomOfScrn
    {CursorMove, 17},  // 24 MakeTopOfScrn
    {CursorMove, 18},  // 25 MakeMiddleOfScrn
    {CursorMove, 19},  // 26 MakeBottomOfScrn
    {CursorMove, 20},  // 27 GotoLine
    {CursorMove, 27},  // 28 PrevPos
    {BackSpace, 1},  // 29 Backspace
    {[](EditorState* V, int) { UnBackSpace(V); }, 0},  // 30 UnBackspace
    {[](EditorState* V, int) { DeleteChar(V); }, 0},  // 31 DelChr
    {[](EditorState* V, int) { DeleteLine(V); }, 0},  // 32 DelLine
    {[](EditorState* V, int) { UndoDeleteLine(V); }, 0},  // 33 UnDelLine
    {[](EditorState* V, int) { NewLine(V); }, 0},  // 34 NewLine
    {[](EditorState* V, int) { AddNewLine(V); }, 0},  // 35 AddLine
    {[](EditorState* V, int) { DupLine(V); }, 0},  // 36 DupLine
    {[](EditorState* V, int) { CopyChar(V); }, 0},  // 37 CopyChr
    {[](EditorState* V, int) { InsNewLine(V); }, 0},  // 38 InsLine
    {[](EditorState* V, int) { DeleteRightWord(V); }, 0},  // 39 DelRtWord
    {[](EditorState* V, int) { DeleteLeftWord(V); }, 0},  // 40 DelLtWord
    {[](EditorState* V, int) { DeleteToEol(V); }, 0},  // 41 DelToEol
    {CursorMove, 23},  // 42 TabRt
    {CursorMove, 24},  // 43 TabLt
    {MarkBlk, 3},  // 44 MarkBlockBegin
    {MarkBlk, 4},  // 45 MarkBlockEnd
    {MarkBlk, 5},  // 46 MarkColumnUpLeft
    {MarkBlk, 6},  // 47 MarkColumnDownRight
    {MarkBlk, 1},  // 48 MarkWord
    {MarkBlk, 2},  // 49 MarkToEOL
    {unimp, 0},  // 50 MarkParagraph
    {DragLineUp, 0},  // 51 DragLineUp
    {DragLineDown, 0},  // 52 DragLineDown
    {TglColumnBlk, 0},  // 53 ToggleColumn
    {UnmarkBlk, 0},  // 54 UnmarkBlock
    {CursorMove, 25},  // 55 GotoBlockBeg
    {CursorMove, 26},  // 56 GotoBlockEnd
    {CopyBlk, 0},  // 57 CopyBlock
    {MoveBlk, 0},  // 58 MoveBlock
    {DeleteBlk, 0},  // 59 DeleteBlock
    {FillBlk, 0},  // 60 FillBlock
    {CopyToBuf, 0},  // 61 CopyToBuf
    {CopyToBuf, 1},  // 62 CutToBuf
    {AppendToBuf, 0},  // 63 AppendCopyToBuf
    {AppendToBuf, 1},  // 64 AppendCutToBuf
    {PasteFromBuf, 1},  // 65 PasteFromBuf
    {ClearBuf, 0},  // 66 ClearBuf
    {ReadBlockCmd, 0},  // 67 ReadBlock
    {WriteBlockCmd, 0},  // 68 WriteBlock
    {search, 1},  // 69 Search: Search 1
    {search, 2},  // 70 SearchReplace: Search 2
    {repeatSearch, 0},  // 71 RepeatSearch: repeatSearch
    {OpenTextCmd, 512},  // 72 OpenText
    {EndText_, 0},  // 73 SaveExit
    {EndText_, 2},  // 74 SaveStay
    {EndText_, 4},  // 75 DiscardExit
    {Lineup, 0},  // 76 LineupLeft
    {OpenBlk, 0},  // 77 OpenBlockCopy
    {OpenBlk, 1},  // 78 OpenBlockMove
    {OpenBuf, 0},  // 79 OpenBuffer
    {ToggleSet, 9},  // 80 ToggleInsert
    {ToggleSet, 10},  // 81 ToggleWordwrap
    {ToggleSet, 2},  // 82 SetRmargin
    {ToggleSet, 1},  // 83 SetLmargin
    {ToggleSet, 0},  // 84 ZoomText
    {StepView, 0},  // 85 NextText
    {ToggleSet, 17},  // 86 ToggleSoftCR
    {ToggleSet, 11},  // 87 ToggleTabsOut
    {ToggleSet, 23},  // 88 ToggleLF
    {CenterLine, 0},  // 89 CenterLine
    {[](EditorState* V, int) { UndoLine(V); }, 0},  // 90 UndoCursorline
    {[](EditorState* V, int) { AsciiChart(V); }, 0},  // 91 AsciiChart
    {[](EditorState* V, int) { toTube(V); }, 0},  // 92 BackOnlySave
    {ToggleSet, 22},  // 93 ToggleCR
    {Rot13Block, 0},  // 94 ROT13
    {SetLitt, 1},  // 95 InsertLiteral
    {MarkBlk, 0},  // 96 MarkAll
    {SortBlock, 0},  // 97 SortLines
    {ToggleSet, 16},  // 98 BoxDraw
    {Reflow, 0},  // 99 WrapPara
    {CaseSwitch, 0},  // 100 UpperCase
    {CaseSwitch, 1},  // 101 LowerCase
    {SetBookmark, 0},  // 102 SetBookMark
    {SetBookmark, 1},  // 103 RemoveBookMark
    {ClearBookmarks, 0},  // 104 RemoveAllBookMarks
    {FindBookmark, 1},  // 105 PrevBookMark
    {FindBookmark, 0},  // 106 NextBookMark
    {[](EditorState* V, int) { MacroRec(V); }, 0},  // 107 MacroRecord
    {[](EditorState* V, int) { SumBlock(V); }, 0},  // 108 SumLines
    {fileTest, 0},  // 109 MacroSave
    {unimp, 0},  // 110 MacroLoad
    {unimp, 0},  // 111 MacroEdit
    {CursorMove, 28},  // 112 MarkPos
    {CursorMove, 29},  // 113 JumpToPos
    {CursorMove, 30},  // 114 Zap
    {LineupRight, 0},  // 115 LineupRight
    {[](EditorState* V, int) { StartPrint(V); }, 0},  // 116 Print
    {[](EditorState* V, int) { StopPrint(V); }, 0},  // 117 (no name)
    {[](EditorState* V, int) { charCount(V); }, 0},  // 118 CharCount
    {ToggleSet, 15},  // 119 ToggleNoKeyRepeat
    {NewLineColumn, 0},  // 120 NewLineColumn
    {ToggleSet, 25},  // 121 TogglePointing
    {ToggleSet, 26},  // 122 Toggle1Click
    {CursorMove, 3},  // 123 AllDown
    {CursorMove, 1},  // 124 AllUp
    {BlockToCase, 1},  // 125 BlockToUpperCase
    {BlockToCase, 0},  // 126 BlockToLowerCase
    {MoveColumn, 0},  // 127 MoveColumn
    {LineupColumn, 0},  // 128 LineupCokumn
    {Lix, 0},  // 129 Lix
    {[](EditorState* V, int) { KeyConfig(V); }, 0},  // 130 KeyConfig
    {[](EditorState* V, int) { SaveConfig(V); }, 0},  // 131 SaveConfig
    {[](EditorState* V, int) { LoadConfigCmd(V); }, 0},  // 132 LoadConfig
    {StepView, 1},  // 133 PrevText
    {[](EditorState* V, int) { ColorConfig(V); }, 0},  // 134 ColorConfig
    {[](EditorState* V, int) { ResetConfig(V); }, 0},  // 135 ResetConfig
    {[](EditorState* V, int) { helpUp(V, aboutText); }, 0},  // 136 About
    {[](EditorState* V, int) { SetDefaults(V); }, 0},  // 137 SetDefaults
    {[](EditorState* V, int) { FontConfig(V); }, 0},  // 138 FontConfig
    {CursorMove, 32},  // 139 LeftOfLine
    {CursorMove, 33},  // 140 IndentUp
    {CursorMove, 34},  // 141 IndentDown
    {CursorMove, 35},  // 142 WordEndLeft
    {CursorMove, 36},  // 143 WordEndRight
    {LineupColumn, 1},  // 144 LineupComment
    {ReloadText, 0},  // 145 ReloadText
    {[](EditorState* V, int) { printConfig(V); }, 0},  // 146 PrintConfig
    {[](EditorState* V, int) { Compare(V); }, 0},  // 147 Compare
    {[](EditorState* V, int) { UnCompare(V); }, 0},  // 148 UnCompare
    {ToggleSet, 27},  // 149 ToggleSyncScroll
    {cmdHelpUp, 150},  // 150 HelpFileMenu
    {cmdHelpUp, 151},  // 151 HelpOnHelp
    {nullptr, 0},  // 152 (no name)
    {nullptr, 0},  // 153 (no name)
    {nullptr, 0},  // 154 (no name)
    {nullptr, 0},  // 155 (no name)
    {nullptr, 0},  // 156 (no name)
    {CopyToClip, 0},  // 157 CopyToClip
    {CopyToClip, 1},  // 158 CopyToPrimary
    {PasteFromClip, 0},  // 159 PasteFromClip
    {BufToClip, 0},  // 160 BufToClip
    {PasteFromClip, 4},  // 161 ClipToBuf
    {PasteFromClip, 1},  // 162 PasteFromPrimary
    {OpenClip, 0},  // 163 OpenClip
    {ToggleSet, 3},  // 164 SetTab
    {ToggleSet, 4},  // 165 SetLeftTab
    {ToggleSet, 5},  // 166 SetDecimalTab
    {ToggleSet, 6},  // 167 ClearTab
    {ToggleSet, 8},  // 168 ClearAllTabs
    {ToggleSet, 7},  // 169 ResetAllTabs
    {ToggleSet, 21},  // 170 UTF-8
    {ToggleSet, 20},  // 171 ISO-8859
    {ToggleSet, 19},  // 172 DosCodepage
    {ToggleSet, 14},  // 173 ToggleSourceView
    {OpenTextCmd, 256},  // 174 OpenTextISO
    {BackSpace, 0},  // 175 BackspaceNoSave
    {UnDeleteBlk, 0},  // 176 UnDeleteBlock
    {AppendLineToBuf, 0},  // 177 AppendCopyLineToBuf
    {AppendLineToBuf, 1},  // 178 AppendCutLineToBuf
    {PasteFromBuf, 0},  // 179 PasteCopyFromBuf
    {ToggleSet, 24},  // 180 ToggleWordSet
    {ToggleSet, 18},  // 181 ToggleTabMode
    {unimp, 0},  // 182 ToggleFormatOut
    {[](EditorState* V, int) { JoinLine(V); }, 0},  // 183 JoinLine
    {unimp, 0},  // 184 ViewStatus
    {[](EditorState* V, int) { Indent(V); }, 0},  // 185 Indent
    {[](EditorState* V, int) { UnIndent(V); }, 0},  // 186 UnIndent
    {[](EditorState* V, int) { Comment(V); }, 0},  // 187 CommentOut
    {[](EditorState* V, int) { UnComment(V); }, 0},  // 188 UnComment
    {[](EditorState* V, int) { Undo(V); }, 0},  // 189 Undo
    {[](EditorState* V, int) { Redo(V); }, 0},  // 190 Redo
    {DragBlk, 4},  // 191 DragBlockLeft
    {DragBlk, 5},  // 192 DragBlockRight
    {DragBlk, 0},  // 193 DragBlockUp
    {DragBlk, 2},  // 194 DragBlockDown
    {DragBlk, 6},  // 195 DragBlockPageUp
    {DragBlk, 7},  // 196 DragBlockPageDown
    {OpenTextCmd, 128},  // 197 OpenTextDOS
    {Match, 1},  // 198 MatchBack: Match 1
    {Match, 0},  // 199 MatchForw: Match 0
    {[](EditorState* V, int) { Morse(V); }, 0},  // 200 SendMorse
    {[](EditorState* V, int) { MenuUp(V); }, 0},  // 201 ViewMenu
    {[](EditorState* V, int) { FileMenuUp(V); }, 0},  // 202 ViewFileMenu
};

}  // namespace

void DoCommand(EditorState* V, int* cmd) {
  int n = *cmd;
  // A command whose undo data cannot be kept does not run.
  const bool go = UdoPreCmd(V, n);
  if (IsCommand(n) && kRoutes[n].run && go)
    kRoutes[n].run(V, kRoutes[n].arg);
  else if (!IsCommand(n) || !kRoutes[n].run)
    *cmd = -1;
  UdoPostCmd(V, *cmd);
  // Commands that put a cursor somewhere far (a block's start, an undone
  // edit, a cut seen from another view) must leave it on its screen.
  if (Tcb* t = V->tcbRing) {
    do {
      if (t->base && (t->col < t->leftCol || t->col - t->leftCol >= t->cols)) Adjust(V, t);
      t = t->next;
    } while (t != V->tcbRing);
  }
}
