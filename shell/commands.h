// The command set: numbers, names, and the dispatcher's entry point.
//
// Every action a key, menu item, mouse gesture or macro can trigger is a
// numbered command 0..202.  Key bindings store 256 + number; the event loop
// hands commands to their mode handlers as CMD_BASE + number.  The names in
// CmdText are what the configuration file, the menus and the help use.
#pragma once

#include <cstdint>
#include <string_view>

struct EditorState;

// A key code at or above CMD_BASE is a command (CMD_BASE + number) or a
// macro key; below it, a Unicode character.
constexpr int32_t CMD_BASE = 0x40000100;
constexpr int kCmdCount = 203;     // numbers 0..202
constexpr int kCmdTextCount = 204;  // the names and the end mark "%"
constexpr int kCmdNameSize = 20;

// Names by number, NUL-padded to 20 bytes.  Numbers 1, 117 and 152..156 have
// no name (117 stops printing and cannot be named); entry 203 is the end
// mark for name searches.
inline constexpr char CmdText[kCmdTextCount][kCmdNameSize] = {
    "FirstOfTwo", "", "OneLeft", "OneRight", "WordLeft",  // 0
    "WordRight", "BegOfLine", "EndOfLine", "ScrollLeft", "ScrollRight",  // 5
    "PageLeft", "PageRight", "OneUp", "OneDown", "PageDown",  // 10
    "PageUp", "FirstLine", "LastLine", "FirstPos", "LastPos",  // 15
    "Scrolldown", "ScrollUp", "TopOfScrn", "BottomOfScrn", "MakeTopOfScrn",  // 20
    "MakeMiddleOfScrn", "MakeBottomOfScrn", "GotoLine", "PrevPos", "Backspace",  // 25
    "UnBackspace", "DelChr", "DelLine", "UnDelLine", "NewLine",  // 30
    "AddLine", "DupLine", "CopyChr", "InsLine", "DelRtWord",  // 35
    "DelLtWord", "DelToEol", "TabRt", "TabLt", "MarkBlockBegin",  // 40
    "MarkBlockEnd", "MarkColumnUpLeft", "MarkColumnDownRight", "MarkWord", "MarkToEOL",  // 45
    "MarkParagraph", "DragLineUp", "DragLineDown", "ToggleColumn", "UnmarkBlock",  // 50
    "GotoBlockBeg", "GotoBlockEnd", "CopyBlock", "MoveBlock", "DeleteBlock",  // 55
    "FillBlock", "CopyToBuf", "CutToBuf", "AppendCopyToBuf", "AppendCutToBuf",  // 60
    "PasteFromBuf", "ClearBuf", "ReadBlock", "WriteBlock", "Search",  // 65
    "SearchReplace", "RepeatSearch", "OpenText", "SaveExit", "SaveStay",  // 70
    "DiscardExit", "LineupLeft", "OpenBlockCopy", "OpenBlockMove", "OpenBuffer",  // 75
    "ToggleInsert", "ToggleWordwrap", "SetRmargin", "SetLmargin", "ZoomText",  // 80
    "NextText", "ToggleSoftCR", "ToggleTabsOut", "ToggleLF", "CenterLine",  // 85
    "UndoCursorline", "AsciiChart", "BackOnlySave", "ToggleCR", "ROT13",  // 90
    "InsertLiteral", "MarkAll", "SortLines", "BoxDraw", "WrapPara",  // 95
    "UpperCase", "LowerCase", "SetBookMark", "RemoveBookMark", "RemoveAllBookMarks",  // 100
    "PrevBookMark", "NextBookMark", "MacroRecord", "SumLines", "MacroSave",  // 105
    "MacroLoad", "MacroEdit", "MarkPos", "JumpToPos", "Zap",  // 110
    "LineupRight", "Print", "", "CharCount", "ToggleNoKeyRepeat",  // 115
    "NewLineColumn", "TogglePointing", "Toggle1Click", "AllDown", "AllUp",  // 120
    "BlockToUpperCase", "BlockToLowerCase", "MoveColumn", "LineupCokumn", "Lix",  // 125
    "KeyConfig", "SaveConfig", "LoadConfig", "PrevText", "ColorConfig",  // 130
    "ResetConfig", "About", "SetDefaults", "FontConfig", "LeftOfLine",  // 135
    "IndentUp", "IndentDown", "WordEndLeft", "WordEndRight", "LineupComment",  // 140
    "ReloadText", "PrintConfig", "Compare", "UnCompare", "ToggleSyncScroll",  // 145
    "HelpFileMenu", "HelpOnHelp", "", "", "",  // 150
    "", "", "CopyToClip", "CopyToPrimary", "PasteFromClip",  // 155
    "BufToClip", "ClipToBuf", "PasteFromPrimary", "OpenClip", "SetTab",  // 160
    "SetLeftTab", "SetDecimalTab", "ClearTab", "ClearAllTabs", "ResetAllTabs",  // 165
    "UTF-8", "ISO-8859", "DosCodepage", "ToggleSourceView", "OpenTextISO",  // 170
    "BackspaceNoSave", "UnDeleteBlock", "AppendCopyLineToBuf", "AppendCutLineToBuf", "PasteCopyFromBuf",  // 175
    "ToggleWordSet", "ToggleTabMode", "ToggleFormatOut", "JoinLine", "ViewStatus",  // 180
    "Indent", "UnIndent", "CommentOut", "UnComment", "Undo",  // 185
    "Redo", "DragBlockLeft", "DragBlockRight", "DragBlockUp", "DragBlockDown",  // 190
    "DragBlockPageUp", "DragBlockPageDown", "OpenTextDOS", "MatchBack", "MatchForw",  // 195
    "SendMorse", "ViewMenu", "ViewFileMenu", "%",  // 200
};

// The number of the command named exactly `name`, or -1.  Empty names and
// the end mark name nothing.
constexpr int FindCommand(std::string_view name) {
  if (name.empty()) return -1;
  for (int i = 0; i < kCmdCount; i++)
    if (name == CmdText[i]) return i;
  return -1;
}

// True for numbers the dispatcher runs; false for 0, 1, 152..156 and
// anything outside 0..202 (these come back from DoCommand as -1).
constexpr bool IsCommand(int n) { return n >= 2 && n < kCmdCount && (n < 152 || n > 156); }

namespace cmd_detail {
void unknownCommandName();  // never defined: naming no command fails to compile
consteval int CmdNo(std::string_view name) {
  int n = FindCommand(name);
  if (n < 0) unknownCommandName();
  return n;
}
}  // namespace cmd_detail

// Command numbers by name (cmd::MarkBlockBegin).  Kept apart from the
// functions that carry the same names.
namespace cmd {
using cmd_detail::CmdNo;
inline constexpr int FirstOfTwo = 0;
inline constexpr int StopPrint = 117;
inline constexpr int OneLeft = CmdNo("OneLeft");
inline constexpr int OneRight = CmdNo("OneRight");
inline constexpr int WordLeft = CmdNo("WordLeft");
inline constexpr int WordRight = CmdNo("WordRight");
inline constexpr int BegOfLine = CmdNo("BegOfLine");
inline constexpr int EndOfLine = CmdNo("EndOfLine");
inline constexpr int ScrollLeft = CmdNo("ScrollLeft");
inline constexpr int ScrollRight = CmdNo("ScrollRight");
inline constexpr int PageLeft = CmdNo("PageLeft");
inline constexpr int PageRight = CmdNo("PageRight");
inline constexpr int OneUp = CmdNo("OneUp");
inline constexpr int OneDown = CmdNo("OneDown");
inline constexpr int PageDown = CmdNo("PageDown");
inline constexpr int PageUp = CmdNo("PageUp");
inline constexpr int FirstLine = CmdNo("FirstLine");
inline constexpr int LastLine = CmdNo("LastLine");
inline constexpr int FirstPos = CmdNo("FirstPos");
inline constexpr int LastPos = CmdNo("LastPos");
inline constexpr int Scrolldown = CmdNo("Scrolldown");
inline constexpr int ScrollUp = CmdNo("ScrollUp");
inline constexpr int TopOfScrn = CmdNo("TopOfScrn");
inline constexpr int BottomOfScrn = CmdNo("BottomOfScrn");
inline constexpr int MakeTopOfScrn = CmdNo("MakeTopOfScrn");
inline constexpr int MakeMiddleOfScrn = CmdNo("MakeMiddleOfScrn");
inline constexpr int MakeBottomOfScrn = CmdNo("MakeBottomOfScrn");
inline constexpr int GotoLine = CmdNo("GotoLine");
inline constexpr int PrevPos = CmdNo("PrevPos");
inline constexpr int Backspace = CmdNo("Backspace");
inline constexpr int UnBackspace = CmdNo("UnBackspace");
inline constexpr int DelChr = CmdNo("DelChr");
inline constexpr int DelLine = CmdNo("DelLine");
inline constexpr int UnDelLine = CmdNo("UnDelLine");
inline constexpr int NewLine = CmdNo("NewLine");
inline constexpr int AddLine = CmdNo("AddLine");
inline constexpr int DupLine = CmdNo("DupLine");
inline constexpr int CopyChr = CmdNo("CopyChr");
inline constexpr int InsLine = CmdNo("InsLine");
inline constexpr int DelRtWord = CmdNo("DelRtWord");
inline constexpr int DelLtWord = CmdNo("DelLtWord");
inline constexpr int DelToEol = CmdNo("DelToEol");
inline constexpr int TabRt = CmdNo("TabRt");
inline constexpr int TabLt = CmdNo("TabLt");
inline constexpr int MarkBlockBegin = CmdNo("MarkBlockBegin");
inline constexpr int MarkBlockEnd = CmdNo("MarkBlockEnd");
inline constexpr int MarkColumnUpLeft = CmdNo("MarkColumnUpLeft");
inline constexpr int MarkColumnDownRight = CmdNo("MarkColumnDownRight");
inline constexpr int MarkWord = CmdNo("MarkWord");
inline constexpr int MarkToEOL = CmdNo("MarkToEOL");
inline constexpr int MarkParagraph = CmdNo("MarkParagraph");
inline constexpr int DragLineUp = CmdNo("DragLineUp");
inline constexpr int DragLineDown = CmdNo("DragLineDown");
inline constexpr int ToggleColumn = CmdNo("ToggleColumn");
inline constexpr int UnmarkBlock = CmdNo("UnmarkBlock");
inline constexpr int GotoBlockBeg = CmdNo("GotoBlockBeg");
inline constexpr int GotoBlockEnd = CmdNo("GotoBlockEnd");
inline constexpr int CopyBlock = CmdNo("CopyBlock");
inline constexpr int MoveBlock = CmdNo("MoveBlock");
inline constexpr int DeleteBlock = CmdNo("DeleteBlock");
inline constexpr int FillBlock = CmdNo("FillBlock");
inline constexpr int CopyToBuf = CmdNo("CopyToBuf");
inline constexpr int CutToBuf = CmdNo("CutToBuf");
inline constexpr int AppendCopyToBuf = CmdNo("AppendCopyToBuf");
inline constexpr int AppendCutToBuf = CmdNo("AppendCutToBuf");
inline constexpr int PasteFromBuf = CmdNo("PasteFromBuf");
inline constexpr int ClearBuf = CmdNo("ClearBuf");
inline constexpr int ReadBlock = CmdNo("ReadBlock");
inline constexpr int WriteBlock = CmdNo("WriteBlock");
inline constexpr int Search = CmdNo("Search");
inline constexpr int SearchReplace = CmdNo("SearchReplace");
inline constexpr int RepeatSearch = CmdNo("RepeatSearch");
inline constexpr int OpenText = CmdNo("OpenText");
inline constexpr int SaveExit = CmdNo("SaveExit");
inline constexpr int SaveStay = CmdNo("SaveStay");
inline constexpr int DiscardExit = CmdNo("DiscardExit");
inline constexpr int LineupLeft = CmdNo("LineupLeft");
inline constexpr int OpenBlockCopy = CmdNo("OpenBlockCopy");
inline constexpr int OpenBlockMove = CmdNo("OpenBlockMove");
inline constexpr int OpenBuffer = CmdNo("OpenBuffer");
inline constexpr int ToggleInsert = CmdNo("ToggleInsert");
inline constexpr int ToggleWordwrap = CmdNo("ToggleWordwrap");
inline constexpr int SetRmargin = CmdNo("SetRmargin");
inline constexpr int SetLmargin = CmdNo("SetLmargin");
inline constexpr int ZoomText = CmdNo("ZoomText");
inline constexpr int NextText = CmdNo("NextText");
inline constexpr int ToggleSoftCR = CmdNo("ToggleSoftCR");
inline constexpr int ToggleTabsOut = CmdNo("ToggleTabsOut");
inline constexpr int ToggleLF = CmdNo("ToggleLF");
inline constexpr int CenterLine = CmdNo("CenterLine");
inline constexpr int UndoCursorline = CmdNo("UndoCursorline");
inline constexpr int AsciiChart = CmdNo("AsciiChart");
inline constexpr int BackOnlySave = CmdNo("BackOnlySave");
inline constexpr int ToggleCR = CmdNo("ToggleCR");
inline constexpr int ROT13 = CmdNo("ROT13");
inline constexpr int InsertLiteral = CmdNo("InsertLiteral");
inline constexpr int MarkAll = CmdNo("MarkAll");
inline constexpr int SortLines = CmdNo("SortLines");
inline constexpr int BoxDraw = CmdNo("BoxDraw");
inline constexpr int WrapPara = CmdNo("WrapPara");
inline constexpr int UpperCase = CmdNo("UpperCase");
inline constexpr int LowerCase = CmdNo("LowerCase");
inline constexpr int SetBookMark = CmdNo("SetBookMark");
inline constexpr int RemoveBookMark = CmdNo("RemoveBookMark");
inline constexpr int RemoveAllBookMarks = CmdNo("RemoveAllBookMarks");
inline constexpr int PrevBookMark = CmdNo("PrevBookMark");
inline constexpr int NextBookMark = CmdNo("NextBookMark");
inline constexpr int MacroRecord = CmdNo("MacroRecord");
inline constexpr int SumLines = CmdNo("SumLines");
inline constexpr int MacroSave = CmdNo("MacroSave");
inline constexpr int MacroLoad = CmdNo("MacroLoad");
inline constexpr int MacroEdit = CmdNo("MacroEdit");
inline constexpr int MarkPos = CmdNo("MarkPos");
inline constexpr int JumpToPos = CmdNo("JumpToPos");
inline constexpr int Zap = CmdNo("Zap");
inline constexpr int LineupRight = CmdNo("LineupRight");
inline constexpr int Print = CmdNo("Print");
inline constexpr int CharCount = CmdNo("CharCount");
inline constexpr int ToggleNoKeyRepeat = CmdNo("ToggleNoKeyRepeat");
inline constexpr int NewLineColumn = CmdNo("NewLineColumn");
inline constexpr int TogglePointing = CmdNo("TogglePointing");
inline constexpr int Toggle1Click = CmdNo("Toggle1Click");
inline constexpr int AllDown = CmdNo("AllDown");
inline constexpr int AllUp = CmdNo("AllUp");
inline constexpr int BlockToUpperCase = CmdNo("BlockToUpperCase");
inline constexpr int BlockToLowerCase = CmdNo("BlockToLowerCase");
inline constexpr int MoveColumn = CmdNo("MoveColumn");
inline constexpr int LineupCokumn = CmdNo("LineupCokumn");
inline constexpr int Lix = CmdNo("Lix");
inline constexpr int KeyConfig = CmdNo("KeyConfig");
inline constexpr int SaveConfig = CmdNo("SaveConfig");
inline constexpr int LoadConfig = CmdNo("LoadConfig");
inline constexpr int PrevText = CmdNo("PrevText");
inline constexpr int ColorConfig = CmdNo("ColorConfig");
inline constexpr int ResetConfig = CmdNo("ResetConfig");
inline constexpr int About = CmdNo("About");
inline constexpr int SetDefaults = CmdNo("SetDefaults");
inline constexpr int FontConfig = CmdNo("FontConfig");
inline constexpr int LeftOfLine = CmdNo("LeftOfLine");
inline constexpr int IndentUp = CmdNo("IndentUp");
inline constexpr int IndentDown = CmdNo("IndentDown");
inline constexpr int WordEndLeft = CmdNo("WordEndLeft");
inline constexpr int WordEndRight = CmdNo("WordEndRight");
inline constexpr int LineupComment = CmdNo("LineupComment");
inline constexpr int ReloadText = CmdNo("ReloadText");
inline constexpr int PrintConfig = CmdNo("PrintConfig");
inline constexpr int Compare = CmdNo("Compare");
inline constexpr int UnCompare = CmdNo("UnCompare");
inline constexpr int ToggleSyncScroll = CmdNo("ToggleSyncScroll");
inline constexpr int HelpFileMenu = CmdNo("HelpFileMenu");
inline constexpr int HelpOnHelp = CmdNo("HelpOnHelp");
inline constexpr int CopyToClip = CmdNo("CopyToClip");
inline constexpr int CopyToPrimary = CmdNo("CopyToPrimary");
inline constexpr int PasteFromClip = CmdNo("PasteFromClip");
inline constexpr int BufToClip = CmdNo("BufToClip");
inline constexpr int ClipToBuf = CmdNo("ClipToBuf");
inline constexpr int PasteFromPrimary = CmdNo("PasteFromPrimary");
inline constexpr int OpenClip = CmdNo("OpenClip");
inline constexpr int SetTab = CmdNo("SetTab");
inline constexpr int SetLeftTab = CmdNo("SetLeftTab");
inline constexpr int SetDecimalTab = CmdNo("SetDecimalTab");
inline constexpr int ClearTab = CmdNo("ClearTab");
inline constexpr int ClearAllTabs = CmdNo("ClearAllTabs");
inline constexpr int ResetAllTabs = CmdNo("ResetAllTabs");
inline constexpr int Utf8 = CmdNo("UTF-8");
inline constexpr int Iso8859 = CmdNo("ISO-8859");
inline constexpr int DosCodepage = CmdNo("DosCodepage");
inline constexpr int ToggleSourceView = CmdNo("ToggleSourceView");
inline constexpr int OpenTextISO = CmdNo("OpenTextISO");
inline constexpr int BackspaceNoSave = CmdNo("BackspaceNoSave");
inline constexpr int UnDeleteBlock = CmdNo("UnDeleteBlock");
inline constexpr int AppendCopyLineToBuf = CmdNo("AppendCopyLineToBuf");
inline constexpr int AppendCutLineToBuf = CmdNo("AppendCutLineToBuf");
inline constexpr int PasteCopyFromBuf = CmdNo("PasteCopyFromBuf");
inline constexpr int ToggleWordSet = CmdNo("ToggleWordSet");
inline constexpr int ToggleTabMode = CmdNo("ToggleTabMode");
inline constexpr int ToggleFormatOut = CmdNo("ToggleFormatOut");
inline constexpr int JoinLine = CmdNo("JoinLine");
inline constexpr int ViewStatus = CmdNo("ViewStatus");
inline constexpr int Indent = CmdNo("Indent");
inline constexpr int UnIndent = CmdNo("UnIndent");
inline constexpr int CommentOut = CmdNo("CommentOut");
inline constexpr int UnComment = CmdNo("UnComment");
inline constexpr int Undo = CmdNo("Undo");
inline constexpr int Redo = CmdNo("Redo");
inline constexpr int DragBlockLeft = CmdNo("DragBlockLeft");
inline constexpr int DragBlockRight = CmdNo("DragBlockRight");
inline constexpr int DragBlockUp = CmdNo("DragBlockUp");
inline constexpr int DragBlockDown = CmdNo("DragBlockDown");
inline constexpr int DragBlockPageUp = CmdNo("DragBlockPageUp");
inline constexpr int DragBlockPageDown = CmdNo("DragBlockPageDown");
inline constexpr int OpenTextDOS = CmdNo("OpenTextDOS");
inline constexpr int MatchBack = CmdNo("MatchBack");
inline constexpr int MatchForw = CmdNo("MatchForw");
inline constexpr int SendMorse = CmdNo("SendMorse");
inline constexpr int ViewMenu = CmdNo("ViewMenu");
inline constexpr int ViewFileMenu = CmdNo("ViewFileMenu");
}  // namespace cmd

// Runs command *cmd on the current text, bracketed by the undo recorder.
// A number that names no command does nothing and is replaced by -1 (a
// menu's stored number thus becomes -1 once chosen).
void DoCommand(EditorState* V, int* cmd);
