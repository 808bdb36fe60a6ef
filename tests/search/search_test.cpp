// Below the keys: the edit distance at its limits, how characters compare,
// and replace-all against a plain string model.
#include "search/search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/encoding.h"
#include "core/line_store.h"
#include "shell/commands.h"
#include "tests/support/headless.h"

namespace {

std::vector<tchar> chars(const std::string& s) {
  std::vector<tchar> v(s.begin(), s.end());
  v.push_back(0);
  return v;
}

TEST(Levenshtein, EmptyLimitAndBeyond) {
  const auto empty = chars("");
  const auto abc = chars("abc");
  EXPECT_EQ(levenshtein(empty.data(), 0, empty.data()), 0);
  EXPECT_EQ(levenshtein(abc.data(), 0, abc.data()), 3);  // an empty word: the pattern's length
  EXPECT_EQ(levenshtein(abc.data(), 3, empty.data()), 3);
  const auto w63 = chars(std::string(63, 'a'));
  const auto w64 = chars(std::string(64, 'a'));
  auto p63 = chars(std::string(63, 'b'));
  EXPECT_EQ(levenshtein(w63.data(), 63, w63.data()), 0);
  EXPECT_EQ(levenshtein(w63.data(), 63, p63.data()), 63);
  p63[62] = 'a';
  EXPECT_EQ(levenshtein(w63.data(), 63, p63.data()), 62);
  // 64 characters on either side: too long to compare, never accepted.
  EXPECT_EQ(levenshtein(w64.data(), 64, w63.data()), 0xffff);
  EXPECT_EQ(levenshtein(w63.data(), 63, w64.data()), 0xffff);
  EXPECT_EQ(levenshtein(w64.data(), 64, w64.data()), 0xffff);
  const auto recieve = chars("recieve"), receive = chars("receive");
  EXPECT_EQ(levenshtein(receive.data(), 7, recieve.data()), 2);
}

TEST(SearchFold, CodesFromU2000CompareAsThemselvesAndAreNoBlanks) {
  vt::Editor e;
  EditorState* V = e.V();
  // Below U+2000 through the map, folded both ways.
  EXPECT_EQ(Fold(V->upcase, 'a'), tchar('A'));
  EXPECT_EQ(Fold(V->upcase, 0xe4), tchar(0xc4));
  // From U+2000 never onto a lower code: not U+2061 onto 'a', not CJK onto Thai.
  for (tchar c : {tchar(0x2000), tchar(0x2061), tchar(0x3000), tchar(0x4e44), tchar(0xdc80), tchar(0xffff),
                  tchar(0x10000), tchar(0x1f600), tchar(0x10ffff), tchar(0x7fffffff)}) {
    EXPECT_EQ(Fold(V->upcase, c), c) << c;
    EXPECT_EQ(Fold(V->wordBreak, c), c) << c;
  }
  EXPECT_EQ(Fold(V->upcase, 0), tchar(0));
  V->wordMap = V->wordBreak;
  EXPECT_TRUE(IsSearchBlank(V, ','));
  EXPECT_TRUE(IsSearchBlank(V, ' '));
  EXPECT_FALSE(IsSearchBlank(V, 0));
  EXPECT_FALSE(IsSearchBlank(V, 0x2020 + ','));
  EXPECT_FALSE(IsSearchBlank(V, 0x3000));
}

TEST(SearchViewTest, NarrowViewOrLongMatchKeepsTheMatchStartOnScreen) {
  vt::Editor e;
  e.open(std::string(300, 'x') + "\n");
  EditorState* V = e.V();
  Tcb* t = e.cur();
  t->cols = 20;
  t->leftCol = 0;
  t->col = 100;
  V->patLen = 40;
  SearchView(V);
  EXPECT_LE(t->leftCol, 100);
  EXPECT_GT(t->leftCol + t->cols, 100);
  EXPECT_EQ(V->hiliteLen, 40);
  t->col = 10;
  V->patLen = 3;
  SearchView(V);
  EXPECT_EQ(t->leftCol, 10);
}

// Replace-all under N, the string model: forwards each match leftmost
// first, the next one searched right after the replacement; backwards each
// rightmost first, the next one starting left of it.  Matches never cross
// lines.
int modelLine(std::string& s, const std::string& pat, const std::string& rep, bool back) {
  int n = 0;
  if (!back) {
    for (size_t pos = 0; (pos = s.find(pat, pos)) != std::string::npos; pos += rep.size(), n++)
      s.replace(pos, pat.size(), rep);
    return n;
  }
  if (s.size() < pat.size()) return 0;
  for (long pos = long(s.size() - pat.size()); pos >= 0; n++) {
    const size_t at = s.rfind(pat, size_t(pos));
    if (at == std::string::npos) break;
    s.replace(at, pat.size(), rep);
    pos = long(at) - 1;
  }
  return n;
}

TEST(ReplaceAll, AgreesWithAStringModelBothWays) {
  std::mt19937 rng(1234);
  auto pick = [&](const char* alphabet, int lo, int hi) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(lo, hi)(rng);
    const int k = int(std::strlen(alphabet));
    for (int i = 0; i < n; i++) s += alphabet[std::uniform_int_distribution<int>(0, k - 1)(rng)];
    return s;
  };
  for (int round = 0; round < 300; round++) {
    vt::Editor e;
    std::vector<std::string> lines(std::uniform_int_distribution<int>(1, 6)(rng));
    std::string text;
    for (auto& l : lines) text += (l = pick("ab a", 0, 30)) + "\n";
    e.open(text);
    EditorState* V = e.V();
    const std::string pat = pick("ab", 1, 3);
    std::string rep;
    switch (round % 4) {
      case 0: rep = ""; break;
      case 1: rep = pat + pick("ab", 0, 2); break;  // holds the pattern
      case 2: rep = pick("ab", 0, 2) + pat; break;
      default: rep = pick("abc", 1, 4); break;
    }
    const bool back = round % 2;
    std::snprintf(V->searchText, sizeof V->searchText, "%s", pat.c_str());
    std::snprintf(V->replaceText, sizeof V->replaceText, "%s", rep.c_str());
    std::snprintf(V->searchOpts, sizeof V->searchOpts, "%s", back ? "R N  T    " : "  N  T    ");
    V->replaceMode = 1;
    ASSERT_EQ(PreSearch(V), 0);
    SearchNext(V, 1);

    int count = 0;
    std::vector<std::string> want = lines;
    for (auto& l : want) count += modelLine(l, pat, rep, back);
    // Trailing blanks are not kept in a stored line.
    for (auto& l : want)
      while (!l.empty() && l.back() == ' ') l.pop_back();
    std::vector<std::string> got = e.lines();
    for (auto& l : got)
      while (!l.empty() && l.back() == ' ') l.pop_back();
    const std::string where = "pattern '" + pat + "' by '" + rep + "'" + (back ? " backwards" : "") + " in\n" + text;
    ASSERT_EQ(got, want) << where;
    char msg[64];
    std::snprintf(msg, sizeof msg, "%05d replaces done.", count);
    ASSERT_EQ(e.alert(), msg) << where;

    // Every replacement is taken back one by one.
    for (int i = 0; i < 10000 && e.alert() != "NO Undo"; i++) {
      int c = cmd::Undo;
      DoCommand(V, &c);
    }
    std::vector<std::string> before = e.lines();
    for (auto& l : before)
      while (!l.empty() && l.back() == ' ') l.pop_back();
    std::vector<std::string> orig = lines;
    for (auto& l : orig)
      while (!l.empty() && l.back() == ' ') l.pop_back();
    ASSERT_EQ(before, orig) << where;
  }
}

// Every hit of a search from the top and its repeats, against every place a
// plain scan of the decoded lines finds: whatever lines the search passes
// over unread must hold none.
TEST(SearchHits, PlainAndFuzzyFindEveryPlaceInOrder) {
  std::mt19937 rng(99);
  const std::vector<std::string> pieces = {"a", "b", "A", "B", "i", "I", " ", "  ", "\t", "\xc3\xa9", "\xc4\xb1", "\xff", "ab", "ba"};
  for (int round = 0; round < 200; round++) {
    vt::Editor e;
    std::string text;
    const int lines = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int l = 0; l < lines; l++) {
      const int n = std::uniform_int_distribution<int>(0, 14)(rng);
      for (int k = 0; k < n; k++) text += pieces[rng() % pieces.size()];
      text += "\n";
    }
    e.open(text);
    EditorState* V = e.V();
    const bool fuzzy = round % 2;
    std::string pat;
    const int pn = std::uniform_int_distribution<int>(1, fuzzy ? 6 : 3)(rng);
    for (int k = 0; k < pn; k++) pat += "abABiI"[rng() % 6];
    if (fuzzy && round % 4 == 1) pat += "=" + std::to_string(rng() % 3);
    std::snprintf(V->searchText, sizeof V->searchText, "%s", pat.c_str());
    std::snprintf(V->searchOpts, sizeof V->searchOpts, "%s", fuzzy ? " I   T   Z" : " I   T    ");
    V->replaceMode = 0;
    ASSERT_EQ(PreSearch(V), 0);

    // The model, over the lines as the editor decoded them.
    std::vector<std::pair<int, int>> want;
    const int count = e.lineCount();
    const int m = tstrlen(V->pattern);
    for (int l = 1; l <= count; l++) {
      ActiveLine line;
      Link* link = e.cur()->base->next();
      for (int k = 1; k < l; k++) link = link->next();
      GetLine(link, &line);
      std::vector<tchar> c(line.c, line.c + line.count);
      for (auto& x : c) x = Fold(V->upcase, x);
      if (!fuzzy) {
        for (int at = 0; at + m <= int(c.size()); at++)
          if (std::equal(V->pattern, V->pattern + m, c.begin() + at)) want.push_back({l, at});
        continue;
      }
      for (int at = 0; at < int(c.size());) {
        while (at < int(c.size()) && c[at] == ' ') at++;
        const int from = at;
        while (at < int(c.size()) && c[at] != ' ') at++;
        if (at > from && levenshtein(c.data() + from, at - from, V->pattern) <= V->fuzzyLimit)
          want.push_back({l, from});
      }
    }
    std::vector<std::pair<int, int>> got;
    SearchNext(V, 1);
    while (V->searchFound && got.size() <= want.size()) {
      got.push_back({e.lineNo(), e.col()});
      SearchNext(V, 0);
    }
    ASSERT_EQ(got, want) << "pattern '" << pat << "'" << " in\n" << text;
  }
}

TEST(ReplaceAll, ManyReplacementsRunInALoopNotOnTheStack) {
  vt::Editor e;
  std::string text;
  for (int i = 0; i < 1000; i++) text += std::string(100, 'a') + "\n";
  e.open(text);
  EditorState* V = e.V();
  std::snprintf(V->searchText, sizeof V->searchText, "a");
  std::snprintf(V->replaceText, sizeof V->replaceText, "b");
  std::snprintf(V->searchOpts, sizeof V->searchOpts, "  N  T    ");
  V->replaceMode = 1;
  ASSERT_EQ(PreSearch(V), 0);
  SearchNext(V, 1);
  EXPECT_EQ(e.alert(), "100000 replaces done.");
  EXPECT_EQ(e.line(1000), std::string(100, 'b'));
}

}  // namespace
