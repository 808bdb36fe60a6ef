// Editing the live key table and writing its difference from the defaults.
#include "config/key_edit.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "shell/commands.h"
#include "shell/menu_table.h"
#include "shell/key_names.h"
#include "shell/key_table.h"

int32_t vlist[kVlistMax];
int32_t vlistn = 0;
char info[kInfoSize];
int32_t addIt = 0;
uint16_t insert2key = 0;
uint16_t nxt2key = kFirstNewGroup;

namespace {

bool refused = false;  // the last add could not store its assignment

static_assert(menu_table::kBarMenus == kKeyMenus);
static_assert(menu_table::kPopupMenu == kKeyMenus);

int usedWords() {
  int n = *keymax();
  if (n < 0) n = 0;
  if (n > kKeyTabWords) n = kKeyTabWords;
  return n & ~1;
}

bool isFirstKey(uint16_t binding) { return (binding & BIND_FIRSTKEY) != 0; }
bool isCommandBinding(uint16_t binding) {
  return binding >= BIND_COMMAND && binding < BIND_COMMAND + kCmdCount && IsCommand(binding - BIND_COMMAND);
}

// Frees the two-key sequences of group `binding`; returns how many.
int freeSequences(uint16_t binding) {
  uint16_t* t = keytab();
  const int n = usedWords();
  const uint16_t group = uint16_t(binding & BIND_GROUPMASK);
  int count = 0;
  for (int i = 0; i < n; i += 2)
    if (t[i] && (t[i] & KEY_SECOND) && (t[i] & BIND_GROUPMASK) == group) {
      t[i] = t[i + 1] = 0;
      count++;
    }
  return count;
}

bool groupInUse(uint16_t group) {
  const uint16_t* t = keytab();
  const int n = usedWords();
  for (int i = 0; i < n; i += 2) {
    if (t[i] == 0) continue;
    if (isFirstKey(t[i + 1]) && (t[i + 1] & BIND_GROUPMASK) == group) return true;
    if ((t[i] & KEY_SECOND) && (t[i] & BIND_GROUPMASK) == group) return true;
  }
  return false;
}

bool validNewGroup(uint16_t g) { return g >= kFirstNewGroup && (g - kFirstNewGroup) % kGroupStep == 0; }

// The binding for a new first key, or 0 when every group is taken.  New
// groups are handed out in turn; once they run out, a group no key uses any
// more is taken again rather than wrapping into command numbers.
uint16_t newGroup() {
  if (validNewGroup(nxt2key) && !groupInUse(nxt2key)) return nxt2key;
  for (uint32_t g = kFirstNewGroup; g <= 0xff00; g += kGroupStep)
    if (!groupInUse(uint16_t(g))) return uint16_t(g);
  return 0;
}

// The pair holding key value `key`, or -1.
int findPair(uint16_t key) {
  const uint16_t* t = keytab();
  const int n = usedWords();
  for (int i = 0; i < n; i += 2)
    if (t[i] == key) return i;
  return -1;
}

// The binding of the first key `key` in the live table, or 0.
uint16_t firstKeyBinding(uint16_t key) {
  const int at = findPair(key);
  if (at < 0) return 0;
  const uint16_t b = keytab()[at + 1];
  return isFirstKey(b) ? b : 0;
}

// The first key of group `group` in `t` (n words), or 0.
uint16_t firstKeyOf(const uint16_t* t, int n, uint16_t group) {
  for (int i = 0; i < n; i += 2)
    if (t[i] && !(t[i] & KEY_SECOND) && t[i + 1] == group) return t[i];
  return 0;
}

void appendKey(std::string& out, uint16_t key) {
  char text[32];
  KeyText(text, sizeof text, key);
  out += text;
}

}  // namespace

const char* HeaderLabel(int32_t row) {
  if (IsHeaderRow(row)) return menu_table::MenuHdr[row - kRowHeader];
  return nullptr;
}

void setupVlist() {
  int n = 0;
  auto push = [&n](int32_t v) {
    if (n < kVlistMax) vlist[n++] = v;
  };
  for (int m = 0; m < kKeyMenus; m++) {
    push(kRowHeader + m);
    for (int i = 0; i < menu_table::MenuItemCount(m); i++) push(menu_table::Menus[size_t(m)][size_t(i)]);
  }
  push(kRowTwokey);
  const uint16_t* t = keytab();
  const int words = usedWords();
  for (int i = 0; i < words; i += 2)
    if (t[i] && !(t[i] & KEY_SECOND) && isFirstKey(t[i + 1])) push(int32_t(t[i + 1]) - BIND_COMMAND);
  vlistn = n;
}

void setInfo(const char* text) {
  size_t n = std::strlen(text);
  if (n > kInfoSize - 1) n = kInfoSize - 1;
  std::memcpy(info, text, n);
  std::memset(info + n, ' ', kInfoSize - 1 - n);
  info[kInfoSize - 1] = 0;
}

void ResetKeyTable() {
  swoshkey(keytab(), keymax());
  insert2key = 0;
  addIt = 0;
  nxt2key = kFirstNewGroup;
}

bool insertKey(uint16_t keyWord, uint16_t binding) {
  uint16_t* t = keytab();
  const int n = usedWords();
  for (int i = 0; i < n; i += 2)
    if (t[i] == 0) {
      t[i] = keyWord;
      t[i + 1] = binding;
      return true;
    }
  if (n + 2 > kKeyTabWords) return false;
  t[n] = keyWord;
  t[n + 1] = binding;
  *keymax() = n + 2;
  return true;
}

int add(int key, unsigned state, int32_t row) {
  refused = false;
  if ((key & KEY_CODEMASK) == 9) {
    insert2key = 0;
    return 0;
  }
  // A key the file cannot name could not be saved.
  if (std::strcmp(KeyNames[key & KEY_CODEMASK], "n/a") == 0) {
    insert2key = 0;
    setInfo("Key without a name");
    return 0;
  }
  uint16_t keyWord;
  if (insert2key) {
    keyWord = uint16_t((insert2key & BIND_GROUPMASK) | (key & KEY_CODEMASK));
    insert2key = 0;
  } else {
    keyWord = KeyValue(unsigned(key), state);
  }
  const int at = findPair(keyWord);
  uint16_t* t = keytab();
  if (at >= 0 && isFirstKey(t[at + 1])) {
    insert2key = t[at + 1];
    setInfo("Press 2:nd key");
    return 1;
  }

  // What the key is to do; a plain header assigns nothing, and the key's
  // old binding stays.
  uint16_t binding = 0;
  bool fresh = false;
  if (row == kRowTwokey) {
    binding = newGroup();
    if (!binding) {
      setInfo("No more first keys");
      refused = true;
      return 0;
    }
    fresh = true;
  } else if (row >= 0 && row + BIND_COMMAND <= 0xffff && isFirstKey(uint16_t(row + BIND_COMMAND))) {
    binding = uint16_t(row + BIND_COMMAND);
  } else if (row >= 0 && row < kCmdCount && IsCommand(row)) {
    binding = uint16_t(row + BIND_COMMAND);
  }
  if (!binding) return 0;
  // Sequences are two keys long: a second key cannot lead a third.
  if ((keyWord & KEY_SECOND) && isFirstKey(binding)) return 0;

  if (at >= 0) {
    const uint16_t old = t[at + 1];
    char text[kInfoSize];
    if (old <= BIND_COMMAND)
      std::snprintf(text, sizeof text, "Printable overvritten");
    else if (isCommandBinding(old))
      std::snprintf(text, sizeof text, "Assignment to %s overwritten", CmdText[old - BIND_COMMAND]);
    else
      std::snprintf(text, sizeof text, "Assignment to macro key overwritten");
    setInfo(text);
    t[at] = t[at + 1] = 0;
  }
  if (!insertKey(keyWord, binding)) {
    setInfo("Key table full");
    refused = true;
    return 0;
  }
  if (fresh) {
    nxt2key = uint16_t(binding + kGroupStep);
    setupVlist();
  }
  return 0;
}

void deleteKey(int32_t row) {
  if (IsHeaderRow(row) || row < 0 || row + BIND_COMMAND > 0xffff) return;
  const uint16_t binding = uint16_t(row + BIND_COMMAND);
  uint16_t* t = keytab();
  const int n = usedWords();
  for (int i = 0; i < n; i += 2) {
    if (t[i] == 0 || t[i + 1] != binding) continue;
    t[i] = t[i + 1] = 0;
    if (isFirstKey(binding)) {
      const int count = freeSequences(binding);
      setupVlist();
      if (count) {
        char text[kInfoSize];
        std::snprintf(text, sizeof text, "%d 2:nd keys deleted", count);
        setInfo(text);
      }
    }
    return;
  }
}

bool deleteExact(uint16_t keyWord, uint16_t binding, bool anyFirstKey) {
  const int at = findPair(keyWord);
  if (at < 0 || keyWord == 0) return false;
  uint16_t* t = keytab();
  const uint16_t b = t[at + 1];
  if (anyFirstKey ? !isFirstKey(b) : b != binding) return false;
  t[at] = t[at + 1] = 0;
  // The sequences go with their first key unless another first key of the
  // same group still leads to them.
  if (isFirstKey(b) && !firstKeyOf(t, usedWords(), b)) freeSequences(b);
  return true;
}

void keyDiff(uint16_t* a, int32_t na, const uint16_t* b, int32_t nb) {
  for (int i = 0; i + 1 < na; i += 2) {
    if (a[i] == 0) continue;
    for (int j = 0; j + 1 < nb; j += 2)
      if (a[i] == b[j] && a[i + 1] == b[j + 1]) {
        a[i] = a[i + 1] = 0;
        break;
      }
  }
}

void keysOut(std::string& out, const uint16_t* table, int32_t count, const char* prefix) {
  // A second key's first key: as the table stands now, else as built in
  // (a first key unchanged since is in neither difference table).
  std::array<uint16_t, kKeyTabWords> builtIn;
  int32_t builtInCount = 0;
  swoshkey(builtIn.data(), &builtInCount);
  // Within each pass the lines are sorted: where an assignment sits in the
  // table depends on the free places its edits left, and a file read back
  // and saved again must come out the same.
  for (int pass = 0; pass < 2; pass++) {
    std::vector<std::string> lines;
    for (int i = 0; i + 1 < count; i += 2) {
      const uint16_t key = table[i], b = table[i + 1];
      if (key == 0) continue;
      if (pass == 0 && isFirstKey(b) && !(key & KEY_SECOND)) {
        std::string line = " ";
        line += prefix;
        line += "FirstOfTwo ";
        appendKey(line, key);
        line += '\n';
        lines.push_back(std::move(line));
      } else if (pass == 1 && isCommandBinding(b)) {
        std::string text;
        if (key & KEY_SECOND) {
          const uint16_t group = uint16_t(key & BIND_GROUPMASK);
          uint16_t first = firstKeyOf(keytab(), usedWords(), group);
          if (!first) first = firstKeyOf(builtIn.data(), builtInCount, group);
          if (!first) continue;
          appendKey(text, first);
          text += '+';
        }
        appendKey(text, key);
        std::string line = " ";
        line += prefix;
        line += CmdText[b - BIND_COMMAND];
        line += ' ';
        line += text;
        line += '\n';
        lines.push_back(std::move(line));
      }
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out += line;
  }
}

void saveKeys(std::string& out) {
  std::array<uint16_t, kKeyTabWords> added{}, removed{};
  const int32_t n = usedWords();
  std::memcpy(added.data(), keytab(), size_t(n) * sizeof(uint16_t));
  int32_t nb = 0;
  swoshkey(removed.data(), &nb);
  keyDiff(added.data(), n, removed.data(), nb);
  keyDiff(removed.data(), nb, keytab(), n);
  keysOut(out, removed.data(), nb, "Key- ");
  keysOut(out, added.data(), n, "Key+ ");
}

namespace {

// The key names with their lengths, for reading many key lines quickly.
constexpr std::array<std::string_view, kKeyNameCount> kNames = [] {
  std::array<std::string_view, kKeyNameCount> n{};
  for (int i = 0; i < kKeyNameCount; i++) n[size_t(i)] = KeyNames[i];
  return n;
}();

int nameCode(std::string_view text) {
  if (text.empty() || text == "n/a") return -1;
  for (int i = 0; i < kKeyNameCount; i++)
    if (kNames[size_t(i)] == text) return i;
  return -1;
}

}  // namespace

uint16_t findkey(const char* text) {
  // The written form first: prefixes in their order, then a name.
  std::string_view t = text;
  uint16_t mods = 0;
  for (int i = 0; i < kModifierCount; i++) {
    const std::string_view p = ShiftNamesShort[i];
    if (t.size() > p.size() && t.starts_with(p) && nameCode(t) < 0) {
      // "^" alone and "@g" before a name are prefixes; "@" before "g..." is AltGr's.
      if (i == 2 && t[1] == 'g' && t.size() > 2 && nameCode(t.substr(1)) < 0) continue;
      mods |= kModifierBits[i];
      t.remove_prefix(p.size());
    }
  }
  if (const int code = nameCode(t); code > 0) return uint16_t(mods | code);
  // Anything else the key name notation allows.
  const int k = ParseKeyValue(text);
  return k > 0 && (k & KEY_CODEMASK) ? uint16_t(k) : 0;
}

void KeyValueToX(uint16_t keyValue, int* keycode, unsigned* state) {
  *keycode = keyValue & KEY_CODEMASK;
  *state = 0;
  for (int i = 0; i < kModifierCount; i++)
    if (keyValue & kModifierBits[i]) *state |= kModifierStates[i];
}

bool applyKeyLine(bool plus, int command, const char* keyText) {
  if (command != 0 && !IsCommand(command)) return false;
  insert2key = 0;
  // A sequence is "first+second"; a "+" at the end belongs to the name.
  // Where several splits read, the one whose first key leads sequences now
  // wins.
  uint16_t first = 0;
  int second = -1;
  const size_t len = std::strlen(keyText);
  for (size_t i = 1; i + 1 < len; i++) {
    if (keyText[i] != '+') continue;
    std::string head(keyText, i);
    const uint16_t f = findkey(head.c_str());
    const int s = FindKeyName(keyText + i + 1);
    if (!f || s <= 0) continue;
    if (!first || (firstKeyBinding(f) && !firstKeyBinding(first))) {
      first = f;
      second = s;
    }
  }
  const uint16_t single = findkey(keyText);
  if (first && single && !firstKeyBinding(first)) first = 0;  // the whole text is one key
  int code;
  unsigned state;
  if (first) {
    if (command == 0) return false;
    const uint16_t lead = firstKeyBinding(first);
    if (!plus) {
      if (lead) deleteExact(uint16_t((lead & BIND_GROUPMASK) | second), uint16_t(command + BIND_COMMAND), false);
      return true;
    }
    // The written order puts first keys before the sequences that need them.
    if (!lead) return false;
    insert2key = lead;
    add(second, 0, command);
    insert2key = 0;
    return !refused;
  }
  if (!single) return false;
  if (!plus) {
    deleteExact(single, uint16_t(command + BIND_COMMAND), command == 0);
    return true;
  }
  KeyValueToX(single, &code, &state);
  add(code, state, command == 0 ? kRowTwokey : command);
  insert2key = 0;
  return !refused;
}
