// The default bindings, the live key table and key translation.
#include "shell/key_table.h"

#include <array>
#include <cstring>

#include "shell/commands.h"
#include "shell/key_names.h"

namespace key_table_detail {
void unknownKeyName();  // never defined: a misspelt key fails to compile
}  // namespace key_table_detail

namespace {

using key_table_detail::unknownKeyName;

// A key written in the key name notation.
consteval uint16_t key(const char* name) {
  int k = ParseKeyValue(name);
  if (k <= 0) unknownKeyName();
  return uint16_t(k);
}

// First keys of the default two-key sequences, by their binding values.
constexpr uint16_t kCtrlQ = 0x8200;
constexpr uint16_t kCtrlK = 0x8400;
constexpr uint16_t kCtrlO = 0x8600;
constexpr uint16_t kAltK = 0x8800;
constexpr uint16_t kCtrlB = 0x8A00;

// The second key `name` (bare, no modifiers) of the sequences of `first`.
consteval uint16_t second(uint16_t first, const char* name) {
  int k = FindKeyName(name);
  if (k < 0) unknownKeyName();
  return uint16_t(first | k);
}

constexpr uint16_t run(int command) { return uint16_t(BIND_COMMAND + command); }

}  // namespace

constexpr KeyPair KeyInitTab[kKeyInitPairs] = {
    // Plain keys and the macro keys F1..F12.
    {key("BkSp"), run(cmd::Backspace)}, {key("Tab"), run(cmd::TabRt)}, {key("Ent"), run(cmd::NewLine)},
    {key("F1"), 1001}, {key("F2"), 1002}, {key("F3"), 1003}, {key("F4"), 1004}, {key("F5"), 1005},
    {key("F6"), 1006}, {key("F7"), 1007}, {key("F8"), 1008}, {key("F9"), 1009}, {key("F10"), 1010},
    {key("F11"), 1011}, {key("F12"), 1012},
    {key("Up"), run(cmd::OneUp)}, {key("PgUp"), run(cmd::PageUp)}, {key("Left"), run(cmd::OneLeft)},
    {key("Rght"), run(cmd::OneRight)}, {key("Down"), run(cmd::OneDown)}, {key("PgDw"), run(cmd::PageDown)},
    {key("Ins"), run(cmd::ToggleInsert)}, {key("Del"), run(cmd::DelChr)},
    // Shift.
    {key("ShEnt"), run(cmd::ToggleSoftCR)}, {key("ShF3"), run(cmd::SortLines)}, {key("ShF4"), run(cmd::SumLines)},
    {key("ShUp"), run(cmd::DragBlockUp)}, {key("ShDown"), run(cmd::DragBlockDown)},
    {key("ShLeft"), run(cmd::DragBlockLeft)}, {key("ShRght"), run(cmd::DragBlockRight)},
    {key("ShPgUp"), run(cmd::DragBlockPageUp)}, {key("ShPgDw"), run(cmd::DragBlockPageDown)},
    {key("ShSp"), run(cmd::ViewMenu)},
    // Ctrl.
    {key("^BkSp"), run(cmd::UnBackspace)}, {key("^Tab"), run(cmd::TabLt)}, {key("^W"), run(cmd::MarkWord)},
    {key("^E"), run(cmd::MarkToEOL)}, {key("^T"), run(cmd::DelRtWord)}, {key("^Y"), run(cmd::DelLine)},
    {key("^U"), run(cmd::UnDelLine)}, {key("^Ent"), run(cmd::NewLineColumn)}, {key("^A"), run(cmd::MarkAll)},
    {key("^J"), run(cmd::GotoLine)}, {key("^L"), run(cmd::RepeatSearch)}, {key("^\xA7"), run(cmd::ViewMenu)},
    {key("^Z"), run(cmd::Undo)}, {key("^C"), run(cmd::CopyToClip)}, {key("^V"), run(cmd::PasteFromClip)},
    {key("^N"), run(cmd::AddLine)}, {key("^M"), run(cmd::MacroRecord)}, {key("^Sp"), run(cmd::CopyChr)},
    {key("^Up"), run(cmd::ScrollUp)}, {key("^Down"), run(cmd::Scrolldown)}, {key("^Left"), run(cmd::WordLeft)},
    {key("^Rght"), run(cmd::WordRight)},
    {key("^Q"), kCtrlQ}, {key("^K"), kCtrlK}, {key("^O"), kCtrlO}, {key("^B"), kCtrlB},
    // Alt.
    {key("@BkSp"), run(cmd::BackspaceNoSave)}, {key("@R"), run(cmd::LineupRight)}, {key("@U"), run(cmd::UnIndent)},
    {key("@I"), run(cmd::Indent)}, {key("@D"), run(cmd::MarkAll)}, {key("@L"), run(cmd::LineupLeft)},
    {key("@Z"), run(cmd::ZoomText)}, {key("@C"), run(cmd::CopyToPrimary)}, {key("@V"), run(cmd::PasteFromPrimary)},
    {key("@B"), run(cmd::ToggleColumn)}, {key("@N"), run(cmd::DupLine)}, {key("@M"), run(cmd::InsLine)},
    {key("@Up"), run(cmd::AllUp)}, {key("@Down"), run(cmd::AllDown)}, {key("@Left"), run(cmd::ScrollLeft)},
    {key("@Rght"), run(cmd::ScrollRight)}, {key("@PgUp"), run(cmd::PageLeft)}, {key("@PgDw"), run(cmd::PageRight)},
    {key("@K"), kAltK},
    // AltGr.
    {key("@gBkSp"), run(cmd::BackOnlySave)}, {key("@gU"), run(cmd::UpperCase)}, {key("@gL"), run(cmd::LowerCase)},
    {key("@gS"), run(cmd::ToggleSourceView)}, {key("@gB"), run(cmd::SetBookMark)},
    {key("@gSp"), run(cmd::ViewFileMenu)}, {key("@gLeft"), run(cmd::PrevBookMark)},
    {key("@gRght"), run(cmd::NextBookMark)},
    // Windows key.
    {key("WnU"), run(cmd::UnComment)}, {key("WnI"), run(cmd::CommentOut)}, {key("WnL"), run(cmd::LineupCokumn)},
    {key("WnZ"), run(cmd::Redo)}, {key("WnC"), run(cmd::LineupComment)}, {key("WnM"), run(cmd::MoveColumn)},
    {key("WnSp"), run(cmd::ViewMenu)}, {key("WnLeft"), run(cmd::MatchBack)}, {key("WnRght"), run(cmd::MatchForw)},
    // Ctrl+Q then ...
    {second(kCtrlQ, "E"), run(cmd::TopOfScrn)}, {second(kCtrlQ, "R"), run(cmd::FirstLine)},
    {second(kCtrlQ, "Y"), run(cmd::DelToEol)}, {second(kCtrlQ, "P"), run(cmd::PrevPos)},
    {second(kCtrlQ, "A"), run(cmd::SearchReplace)}, {second(kCtrlQ, "S"), run(cmd::BegOfLine)},
    {second(kCtrlQ, "D"), run(cmd::EndOfLine)}, {second(kCtrlQ, "F"), run(cmd::Search)},
    {second(kCtrlQ, "H"), run(cmd::MarkPos)}, {second(kCtrlQ, "J"), run(cmd::JumpToPos)},
    {second(kCtrlQ, "K"), run(cmd::GotoBlockEnd)}, {second(kCtrlQ, "L"), run(cmd::UndoCursorline)},
    {second(kCtrlQ, "Z"), run(cmd::Zap)}, {second(kCtrlQ, "X"), run(cmd::BottomOfScrn)},
    {second(kCtrlQ, "C"), run(cmd::LastLine)}, {second(kCtrlQ, "B"), run(cmd::GotoBlockBeg)},
    {second(kCtrlQ, "M"), run(cmd::MakeMiddleOfScrn)},
    // Ctrl+K then ...
    {second(kCtrlK, "Q"), run(cmd::DiscardExit)}, {second(kCtrlK, "W"), run(cmd::WriteBlock)},
    {second(kCtrlK, "R"), run(cmd::ReadBlock)}, {second(kCtrlK, "Y"), run(cmd::DeleteBlock)},
    {second(kCtrlK, "U"), run(cmd::UnDeleteBlock)}, {second(kCtrlK, "O"), run(cmd::OpenText)},
    {second(kCtrlK, "S"), run(cmd::SaveStay)}, {second(kCtrlK, "D"), run(cmd::SaveExit)},
    {second(kCtrlK, "H"), run(cmd::UnmarkBlock)}, {second(kCtrlK, "K"), run(cmd::MarkBlockEnd)},
    {second(kCtrlK, "Z"), run(cmd::WrapPara)}, {second(kCtrlK, "C"), run(cmd::CopyBlock)},
    {second(kCtrlK, "V"), run(cmd::MoveBlock)}, {second(kCtrlK, "B"), run(cmd::MarkBlockBegin)},
    {second(kCtrlK, "L"), run(cmd::ReloadText)},
    // Ctrl+O then ...
    {second(kCtrlO, "+"), run(cmd::SetTab)}, {second(kCtrlO, "W"), run(cmd::ToggleWordwrap)},
    {second(kCtrlO, "R"), run(cmd::SetRmargin)}, {second(kCtrlO, "T"), run(cmd::CenterLine)},
    {second(kCtrlO, "D"), run(cmd::SetDecimalTab)}, {second(kCtrlO, "L"), run(cmd::SetLmargin)},
    {second(kCtrlO, "X"), run(cmd::OpenClip)}, {second(kCtrlO, "C"), run(cmd::OpenBlockCopy)},
    {second(kCtrlO, "O"), run(cmd::AsciiChart)}, {second(kCtrlO, "V"), run(cmd::OpenBlockMove)},
    {second(kCtrlO, "B"), run(cmd::OpenBuffer)}, {second(kCtrlO, "M"), run(cmd::SendMorse)},
    {second(kCtrlO, "-"), run(cmd::ClearTab)}, {second(kCtrlO, "<"), run(cmd::SetLeftTab)},
    // Alt+K then ...
    {second(kAltK, "K"), run(cmd::MarkColumnDownRight)}, {second(kAltK, "B"), run(cmd::MarkColumnUpLeft)},
    // Ctrl+B then ...
    {second(kCtrlB, "3"), run(cmd::ROT13)}, {second(kCtrlB, "4"), 2234},
    {second(kCtrlB, "Q"), run(cmd::AppendCutToBuf)}, {second(kCtrlB, "P"), run(cmd::PasteFromBuf)},
    {second(kCtrlB, "A"), run(cmd::AppendCopyToBuf)}, {second(kCtrlB, "D"), run(cmd::ClearBuf)},
    {second(kCtrlB, "L"), run(cmd::AppendCopyLineToBuf)}, {second(kCtrlB, "X"), run(cmd::CutToBuf)},
    {second(kCtrlB, "C"), run(cmd::CopyToBuf)}, {second(kCtrlB, "V"), run(cmd::PasteCopyFromBuf)},
    // Keys every keyboard user expects to move the cursor.
    {key("Home"), run(cmd::BegOfLine)}, {key("End"), run(cmd::EndOfLine)},
    {key("^Home"), run(cmd::FirstLine)}, {key("^End"), run(cmd::LastLine)},
};

namespace {

constexpr bool keysDistinct() {
  for (int i = 0; i < kKeyInitPairs; i++)
    for (int j = i + 1; j < kKeyInitPairs; j++)
      if (KeyInitTab[i].key == KeyInitTab[j].key) return false;
  return true;
}
static_assert(keysDistinct(), "a key is bound twice in the defaults");

constexpr std::array<uint16_t, kKeyTabWords> defaultTable() {
  std::array<uint16_t, kKeyTabWords> t{};
  for (int i = 0; i < kKeyInitPairs; i++) {
    t[size_t(2 * i)] = KeyInitTab[i].key;
    t[size_t(2 * i + 1)] = KeyInitTab[i].binding;
  }
  return t;
}

constinit std::array<uint16_t, kKeyTabWords> liveTable = defaultTable();
constinit int32_t liveCount = kKeyInitCount;
constinit int32_t literalMode = 0;
constinit char indicator[kTwoKeyStrSize] = "";

void setIndicator(const char* text) {
  size_t n = std::strlen(text);
  if (n >= sizeof indicator) n = sizeof indicator - 1;
  std::memcpy(indicator, text, n);
  indicator[n] = 0;
}

// The indicator for a pending first key: only the last of its modifiers (in
// the written order) is named, to keep it short.
void showFirstKey(uint16_t value) {
  char text[kTwoKeyStrSize] = "";
  for (int i = kModifierCount - 1; i >= 0; i--)
    if (value & kModifierBits[i]) {
      std::strcpy(text, ShiftNamesShort[i]);
      break;
    }
  std::strcat(text, KeyNames[value & KEY_CODEMASK]);
  setIndicator(text);
}

int usedWords(const int32_t* count) {
  int n = *count;
  if (n < 0) n = 0;
  if (n > kKeyTabWords) n = kKeyTabWords;
  return n & ~1;
}

void append(char* dst, size_t size, size_t* len, const char* src) {
  size_t n = std::strlen(src);
  if (*len + n >= size) n = size - 1 - *len;
  std::memcpy(dst + *len, src, n);
  *len += n;
  dst[*len] = 0;
}

}  // namespace

uint16_t* keytab() { return liveTable.data(); }
int32_t* keymax() { return &liveCount; }

void swoshkey(uint16_t* table, int32_t* count) {
  std::memset(table, 0, kKeyTabWords * sizeof *table);
  std::memcpy(table, KeyInitTab, sizeof KeyInitTab);
  *count = kKeyInitCount;
}
static_assert(sizeof KeyInitTab == 4 * kKeyInitPairs, "the defaults must copy as plain word pairs");

int KeyConv(unsigned keycode, unsigned state, int32_t* pending) {
  uint16_t value;
  int miss;
  if (*pending) {
    // The second key of a sequence: matched on its keycode alone.
    value = uint16_t((keycode & KEY_CODEMASK) | uint32_t(*pending));
    *pending = 0;
    indicator[0] = 0;
    miss = -2;
  } else {
    value = KeyValue(keycode, state);
    miss = -1;
  }
  if (literalMode) return -1;
  int n = usedWords(&liveCount);
  for (int i = 0; i < n; i += 2) {
    if (liveTable[size_t(i)] != value || value == 0) continue;
    uint16_t binding = liveTable[size_t(i + 1)];
    if (!(binding & BIND_FIRSTKEY)) return binding;
    *pending = binding;
    showFirstKey(value);
    return -2;
  }
  return miss;
}

void SetLitt(EditorState*, int on) {
  literalMode = on ? 1 : 0;
  setIndicator(on ? "L" : "");
}

int litteral() { return literalMode; }

const char* twokeystr() { return indicator; }

void GetKeyNameShort(char* dst, size_t size, int n) {
  if (size == 0) return;
  size_t len = 0;
  dst[0] = 0;
  const int words = usedWords(&liveCount);
  const uint16_t* t = liveTable.data();
  for (int i = 0; i < words; i += 2) {
    if (t[i] == 0 || t[i + 1] != BIND_COMMAND + n) continue;
    char name[32] = "";
    if (t[i] & KEY_SECOND) {
      // A second key is shown after its first key; one whose first key is
      // gone can never be typed and is left out.
      int first = -1;
      for (int j = 0; j < words && first < 0; j += 2)
        if (t[j] != 0 && t[j + 1] == (t[i] & BIND_GROUPMASK)) first = j;
      if (first < 0) continue;
      int at = KeyText(name, sizeof name, t[first]);
      name[at] = '+';
      name[at + 1] = 0;
    }
    size_t at = std::strlen(name);
    KeyText(name + at, sizeof name - at, t[i]);
    if (len) append(dst, size, &len, ", ");
    append(dst, size, &len, name);
  }
  if (len == 0) append(dst, size, &len, "n/a");
}
