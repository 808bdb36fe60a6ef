// Search and replace, fuzzy search and bracket matching.
//
// A search is set up by a chain of questions on the prompt line (the text,
// for a replace the replacement, then the option field) and runs as passes
// over the lines of the current text, each pass ending at the first match.
// Everything a repeat needs stays in the editor record, so RepeatSearch
// (and a replace continued by an answer) starts from it.
#pragma once

#include <cstdint>

#include "core/editor_state.h"

struct ActiveLine;
struct Link;

// Matchers (V->searchFn); 0 is "none set up yet".
enum SearchMatcher : int32_t {
  kMatchNone = 0,
  kMatchPlain,
  kMatchWord,
  kMatchFirstOnly,
  kMatchCol1,
  kMatchBegWord,
  kMatchEndWord,
  kMatchFuzzy,
};

// Steps of the dialogue, as prompt codes: 1 Search, 2 SearchReplace, then
// the questions; 8 is a key at the option prompt, 9 the answer to
// "Yes/No/Only/Rest/Quit:".
void Search(EditorState* V, int step, intptr_t key = 0);
// Command RepeatSearch: the last search again from the cursor.
void RepeatSearch(EditorState* V);
// Commands MatchBack (backward 1) and MatchForw (backward 0).
void Match(EditorState* V, int backward);

// The option field: the 10 characters after a key at the option prompt.
// Letters own fixed positions; a letter present goes, one absent comes and
// displaces whatever shared its position; other keys change nothing.
void ToggleSearchOption(char* field, int key);
// Reads V->searchOpts and V->searchText into the search fields.  Answers 1
// when the search text holds no character.
int PreSearch(EditorState* V);
// One run of passes; `first` right after the dialogue.  Answers 1 when no
// search was set up.
int SearchNext(EditorState* V, int first);

// ---- Below the dialogue, shared by the search files ----------------------

// A character as the search compares it: codes below U+2000 through `map`,
// all others (U+2000 up, beyond U+FFFF, raw bytes) as themselves.
inline tchar Fold(const uint16_t* map, tchar c) { return c < 0x2000 && map ? map[c] : c; }
// A blank for the matchers: what V->wordMap sends to the space.
inline bool IsSearchBlank(const EditorState* V, tchar c) { return Fold(V->wordMap, c) == ' '; }

// Tries start columns a..n-1 of `line` with the selected matcher; on a match
// sets the current text's column and answers 1.
int RunMatcher(EditorState* V, const ActiveLine* line, int a, int n);
// The fuzzy matcher: words lying in columns a..n-1.
int SearchFuzzy(EditorState* V, const ActiveLine* line, int a, int n);
// For a walk over whole lines: true when no word of the stored line can be
// close enough to the pattern (`arg` is the editor record).
bool FuzzyCannotMatch(const Link* line, void* arg);
// Sets V->fuzzyLimit from the folded pattern, removing an "=d" suffix.
void FuzzyLimit(EditorState* V);
// Edit distance between the n characters of `w` and the 0-terminated `p`;
// 0xffff when either is longer than 63 characters.
int levenshtein(const tchar* w, int n, const tchar* p);

// Shows the match at the cursor: scrolls it into the view and highlights
// V->patLen characters until the next key.
void SearchView(EditorState* V);
// After a pass in replace mode: asks, replaces without asking, or counts.
void ReplaceStep(EditorState* V);
// The answer to the question (1 Yes, 2 No, 3 Rest, 4 Only, 5 Quit).
void ReplaceIt(EditorState* V, int answer);
// Whether the next forward pass from the cursor includes the cursor column:
// a replacement that left the cursor on the first unsearched character.
bool ResumeAtCursor(EditorState* V);
