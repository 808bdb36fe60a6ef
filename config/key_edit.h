// Editing the live key table: inserting and deleting assignments, the rows
// the key dialogue lists, and the key lines of the configuration file.
//
// The file keeps only the difference between the live table and the
// built-in one: removed assignments as "Key-" lines, added ones as "Key+"
// lines, first keys of two-key sequences before commands.  Reading replays
// them onto a fresh built-in table through the same operations.
#pragma once

#include <cstdint>
#include <string>

// Rows of the dialogue.  A row value is a command number, a header
// (kRowHeader + menu index; kRowTwokey heads the first keys), or the binding
// of a first key minus 256.
constexpr int kVlistMax = 512;
constexpr int kInfoSize = 128;
constexpr int kKeyMenus = 18;
constexpr int32_t kRowHeader = 0x4000;
constexpr int32_t kRowTwokey = kRowHeader + kKeyMenus;
// The first group new first keys get, and the step between groups.
constexpr uint16_t kFirstNewGroup = 0x8b00;
constexpr uint16_t kGroupStep = 0x200;

extern int32_t vlist[kVlistMax];
extern int32_t vlistn;
// The message line under the list: blank-padded, 127 bytes and a NUL.
extern char info[kInfoSize];
// 1 while the dialogue waits for the key of an insertion (the dialogue sets
// it on Insert and stores add's result in it).
extern int32_t addIt;
// Binding of a first key whose second key is awaited; 0 when none.
extern uint16_t insert2key;
// Binding the next new first key gets.
extern uint16_t nxt2key;

// True for a header row (menus and "Twokey").
constexpr bool IsHeaderRow(int32_t row) { return row >= kRowHeader && row <= kRowTwokey; }
// Label of a header row ("File" ... "Twokey"), or null.
const char* HeaderLabel(int32_t row);

// Rebuilds the rows: every menu's header and commands, "Twokey", then one
// row per first key in table order.
void setupVlist();
// Puts `text` into info, blank-padded.
void setInfo(const char* text);

// Rebuilds the live table from the built-in one and forgets any pending
// insertion; new first keys start from kFirstNewGroup again.
void ResetKeyTable();

// Inserts an assignment for the X key `key` with X modifier `state`.
// `row` is a row value (the dialogue passes the selected row): a command
// assigns the key to it, kRowTwokey makes the key a new first key, a first
// key's row makes it a further first key of that group, other headers do
// nothing.  Esc (keycode 9) cancels; a key without a name is refused.  When the key is already a first key,
// its second key is awaited: returns 1 (the next call completes the
// sequence).  Otherwise returns 0.  Messages go to info.
int add(int key, unsigned state, int32_t row);
// Deletes the first assignment (in table order) whose binding is row + 256.
// A first key takes its two-key sequences with it ("%d 2:nd keys deleted").
void deleteKey(int32_t row);
// Deletes exactly the assignment of key value `keyWord` to `binding`; a
// first key (binding with bit 15, any group) takes its sequences with it.
// Returns false when none matches.
bool deleteExact(uint16_t keyWord, uint16_t binding, bool anyFirstKey);
// Stores a pair in the first free place or appends it.  Returns false when
// the table holds 512 assignments already.
bool insertKey(uint16_t keyWord, uint16_t binding);

// Frees every pair of table a (na words) that also stands, both words the
// same, in table b (nb words).
void keyDiff(uint16_t* a, int32_t na, const uint16_t* b, int32_t nb);
// Appends the lines of one table: first keys, then commands, each " %s\n"
// with prefix, the command name ("FirstOfTwo") and the key text; each of
// the two groups sorted, so that the same assignments always read the same.
void keysOut(std::string& out, const uint16_t* table, int32_t count, const char* prefix);
// The key part of the configuration file: "Key- " lines, then "Key+ ".
void saveKeys(std::string& out);

// The key value written as `text` (modifier prefixes and a name), or 0 when
// it names no key.
uint16_t findkey(const char* text);
// The X keycode and modifier state of a key value.
void KeyValueToX(uint16_t keyValue, int* keycode, unsigned* state);

// Applies one "Key-" / "Key+" line: `command` is the name's number (0 for
// FirstOfTwo), `keyText` the key text.  Returns false for a line that names
// no key or cannot be applied (the table full, no group left).
bool applyKeyLine(bool plus, int command, const char* keyText);
