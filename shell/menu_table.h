// The main menu as data: 19 titles, the commands of each menu, and the
// switch masks of the Settings and Format menus.  The menu window, the
// pointer pop-up (the last row) and the key dialogue's command list all
// read these tables, so a command appears in the same place everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "shell/commands.h"

namespace menu_table {

constexpr int kMenuCount = 19;      // 18 in the menu bar, then the pop-up
constexpr int kBarMenus = 18;
constexpr int kMenuItems = 26;      // a row ends at its first 0
constexpr int kTitleSize = 16;
constexpr int kSettingsMenu = 14;
constexpr int kFormatMenu = 15;
constexpr int kPopupMenu = 18;

inline constexpr char MenuHdr[kMenuCount][kTitleSize] = {
    "File", "Move1", "Move2", "Edit1", "Edit2", "Find", "Mark", "Block", "Buffer", "Special",
    "Extras", "Mich", "Macro", "Bookmark", "Settings", "Format", "Config", "Help", "Twokey",
};

namespace detail {
using Row = std::array<int32_t, kMenuItems>;
// Command names to numbers at compile time: a misspelt name does not build.
template <size_t N>
consteval Row row(const std::string_view (&names)[N]) {
  static_assert(N <= kMenuItems);
  Row r{};
  for (size_t i = 0; i < N; i++) r[i] = cmd::CmdNo(names[i]);
  return r;
}
inline constexpr std::string_view kFile[] = {
    "OpenText", "SaveExit", "SaveStay", "DiscardExit", "ReloadText", "OpenBlockCopy",
    "OpenBlockMove", "OpenBuffer", "OpenClip", "Print", "NextText", "PrevText", "OpenTextISO",
    "OpenTextDOS"};
inline constexpr std::string_view kMove1[] = {
    "OneLeft", "OneRight", "WordLeft", "WordRight", "WordEndLeft", "WordEndRight", "LeftOfLine",
    "ScrollLeft", "ScrollRight", "ScrollUp", "Scrolldown", "PageLeft", "PageRight", "OneUp",
    "OneDown", "AllUp", "AllDown", "PageUp", "PageDown"};
inline constexpr std::string_view kMove2[] = {
    "BegOfLine", "EndOfLine", "FirstLine", "LastLine", "FirstPos", "LastPos", "IndentUp",
    "IndentDown", "TopOfScrn", "BottomOfScrn", "MakeTopOfScrn", "MakeMiddleOfScrn",
    "MakeBottomOfScrn", "GotoLine", "PrevPos", "MarkPos", "JumpToPos", "Zap"};
inline constexpr std::string_view kEdit1[] = {
    "Backspace", "UnBackspace", "BackspaceNoSave", "BackOnlySave", "DelChr", "DelLine",
    "UnDelLine", "NewLine", "NewLineColumn", "AddLine", "DupLine", "JoinLine", "CopyChr",
    "InsLine", "DelRtWord", "DelLtWord", "DelToEol"};
inline constexpr std::string_view kEdit2[] = {
    "UndoCursorline", "CenterLine", "TabRt", "TabLt", "Indent", "UnIndent", "CommentOut",
    "UnComment", "ToggleSoftCR", "DragLineUp", "DragLineDown", "Undo", "Redo"};
inline constexpr std::string_view kFind[] = {"Search", "SearchReplace", "RepeatSearch",
                                             "MatchBack", "MatchForw"};
inline constexpr std::string_view kMark[] = {
    "MarkBlockBegin", "MarkBlockEnd", "MarkAll", "MarkToEOL", "MarkWord", "MarkColumnUpLeft",
    "MarkColumnDownRight", "DragBlockLeft", "DragBlockRight", "DragBlockUp", "DragBlockDown",
    "DragBlockPageUp", "DragBlockPageDown", "ToggleColumn", "UnmarkBlock", "GotoBlockBeg",
    "GotoBlockEnd"};
inline constexpr std::string_view kBlock[] = {
    "CopyBlock", "MoveBlock", "DeleteBlock", "UnDeleteBlock", "FillBlock", "ReadBlock",
    "WriteBlock", "CopyToClip", "CopyToPrimary", "PasteFromClip", "PasteFromPrimary"};
inline constexpr std::string_view kBuffer[] = {
    "CopyToBuf", "CutToBuf", "AppendCopyToBuf", "AppendCutToBuf", "AppendCopyLineToBuf",
    "AppendCutLineToBuf", "PasteFromBuf", "PasteCopyFromBuf", "BufToClip", "ClipToBuf",
    "ClearBuf"};
inline constexpr std::string_view kSpecial[] = {
    "LineupLeft", "LineupRight", "LineupCokumn", "LineupComment", "MoveColumn", "WrapPara",
    "UpperCase", "LowerCase", "BlockToUpperCase", "BlockToLowerCase"};
inline constexpr std::string_view kExtras[] = {"ROT13", "SortLines", "SumLines", "BoxDraw",
                                               "Lix", "CharCount", "Compare", "UnCompare"};
inline constexpr std::string_view kMich[] = {"InsertLiteral", "AsciiChart", "ZoomText"};
inline constexpr std::string_view kMacro[] = {"MacroRecord"};
inline constexpr std::string_view kBookmark[] = {"SetBookMark", "RemoveBookMark",
                                                 "RemoveAllBookMarks", "PrevBookMark",
                                                 "NextBookMark"};
inline constexpr std::string_view kSettings[] = {
    "ToggleInsert", "ToggleWordwrap", "ToggleWordSet", "ToggleTabMode", "SetRmargin",
    "SetLmargin", "ToggleSourceView", "ToggleSyncScroll", "SetTab", "SetLeftTab",
    "SetDecimalTab", "ClearTab", "ClearAllTabs", "ResetAllTabs", "ToggleNoKeyRepeat",
    "TogglePointing", "Toggle1Click"};
inline constexpr std::string_view kFormat[] = {"UTF-8", "ISO-8859", "DosCodepage",
                                               "ToggleCR", "ToggleLF", "ToggleTabsOut"};
inline constexpr std::string_view kConfig[] = {"KeyConfig", "ColorConfig", "FontConfig",
                                               "PrintConfig", "SetDefaults", "SaveConfig",
                                               "LoadConfig", "ResetConfig"};
inline constexpr std::string_view kHelp[] = {"About", "HelpFileMenu", "HelpOnHelp"};
inline constexpr std::string_view kTwokey[] = {"CopyBlock", "MoveBlock", "DeleteBlock",
                                               "UnmarkBlock", "CopyToClip", "PasteFromClip",
                                               "ToggleColumn"};
}  // namespace detail

inline constexpr std::array<detail::Row, kMenuCount> Menus = {
    detail::row(detail::kFile),     detail::row(detail::kMove1),   detail::row(detail::kMove2),
    detail::row(detail::kEdit1),    detail::row(detail::kEdit2),   detail::row(detail::kFind),
    detail::row(detail::kMark),     detail::row(detail::kBlock),   detail::row(detail::kBuffer),
    detail::row(detail::kSpecial),  detail::row(detail::kExtras),  detail::row(detail::kMich),
    detail::row(detail::kMacro),    detail::row(detail::kBookmark), detail::row(detail::kSettings),
    detail::row(detail::kFormat),   detail::row(detail::kConfig),  detail::row(detail::kHelp),
    detail::row(detail::kTwokey),
};

// Switch masks, tested against the current text's mode OR the global
// toggles; 0 marks an item that is not a switch.
inline constexpr std::array<uint32_t, kMenuItems> toggles10 = {
    0x2, 0x4, 0x10, 0x1000, 0, 0, 0x8, 0x20000, 0, 0, 0, 0, 0, 0, 0x400, 0x8000, 0x10000};
inline constexpr std::array<uint32_t, kMenuItems> toggles14 = {0x200, 0x100, 0x80,
                                                               0x2000, 0x4000, 0x20, 0x40};

// Items in menu m (up to the first 0).
constexpr int MenuItemCount(int m) {
  if (m < 0 || m >= kMenuCount) return 0;
  int n = 0;
  while (n < kMenuItems && Menus[m][n] != 0) n++;
  return n;
}

// The switch mask of item i of menu m, or 0.
constexpr uint32_t SwitchMask(int m, int i) {
  if (i < 0 || i >= kMenuItems) return 0;
  if (m == kSettingsMenu) return toggles10[i];
  if (m == kFormatMenu) return toggles14[i];
  return 0;
}

static_assert(MenuItemCount(0) == 14 && MenuItemCount(1) == 19 && MenuItemCount(14) == 17 &&
              MenuItemCount(18) == 7);

}  // namespace menu_table
