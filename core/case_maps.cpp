#include "core/case_maps.h"

#include <array>
#include <cstddef>

#include "core/editor_state.h"

namespace {

// Case pairs that hold both ways: capitals upperFirst.. (every step-th code
// point up to upperLast) lower to lowerFirst.., and those small letters
// upper back to the capitals.  Both maps' run lists are derived from this
// one list so that they cannot disagree.
struct TwoWayRun {
  uint16_t upperFirst, lowerFirst, upperLast, step;
};

constexpr TwoWayRun kTwoWay[] = {
    // Basic Latin, Latin-1
    {0x0041, 0x0061, 0x005A, 1},
    {0x00C0, 0x00E0, 0x00D6, 1},
    {0x00D8, 0x00F8, 0x00DE, 1},
    // Latin Extended-A
    {0x0100, 0x0101, 0x012E, 2},
    {0x0132, 0x0133, 0x0136, 2},
    {0x0139, 0x013A, 0x0147, 2},
    {0x014A, 0x014B, 0x0176, 2},
    {0x0178, 0x00FF, 0x0178, 1},
    {0x0179, 0x017A, 0x017D, 2},
    // Latin Extended-B, with the IPA letters that have capitals
    {0x0181, 0x0253, 0x0181, 1},
    {0x0182, 0x0183, 0x0184, 2},
    {0x0186, 0x0254, 0x0186, 1},
    {0x0187, 0x0188, 0x0187, 1},
    {0x0189, 0x0256, 0x018A, 1},
    {0x018B, 0x018C, 0x018B, 1},
    {0x018E, 0x01DD, 0x018E, 1},
    {0x018F, 0x0259, 0x018F, 1},
    {0x0190, 0x025B, 0x0190, 1},
    {0x0191, 0x0192, 0x0191, 1},
    {0x0193, 0x0260, 0x0193, 1},
    {0x0194, 0x0263, 0x0194, 1},
    {0x0196, 0x0269, 0x0196, 1},
    {0x0197, 0x0268, 0x0197, 1},
    {0x0198, 0x0199, 0x0198, 1},
    {0x019C, 0x026F, 0x019C, 1},
    {0x019D, 0x0272, 0x019D, 1},
    {0x019F, 0x0275, 0x019F, 1},
    {0x01A0, 0x01A1, 0x01A4, 2},
    {0x01A6, 0x0280, 0x01A6, 1},
    {0x01A7, 0x01A8, 0x01A7, 1},
    {0x01A9, 0x0283, 0x01A9, 1},
    {0x01AC, 0x01AD, 0x01AC, 1},
    {0x01AE, 0x0288, 0x01AE, 1},
    {0x01AF, 0x01B0, 0x01AF, 1},
    {0x01B1, 0x028A, 0x01B2, 1},
    {0x01B3, 0x01B4, 0x01B5, 2},
    {0x01B7, 0x0292, 0x01B7, 1},
    {0x01B8, 0x01B9, 0x01B8, 1},
    {0x01BC, 0x01BD, 0x01BC, 1},
    {0x01CD, 0x01CE, 0x01DB, 2},
    {0x01DE, 0x01DF, 0x01EE, 2},
    {0x01F4, 0x01F5, 0x01F4, 1},
    {0x01F6, 0x0195, 0x01F6, 1},
    {0x01F7, 0x01BF, 0x01F7, 1},
    {0x01F8, 0x01F9, 0x021E, 2},
    {0x0220, 0x019E, 0x0220, 1},
    {0x0222, 0x0223, 0x0232, 2},
    {0x023B, 0x023C, 0x023B, 1},
    {0x023D, 0x019A, 0x023D, 1},
    {0x0241, 0x0242, 0x0241, 1},
    {0x0243, 0x0180, 0x0243, 1},
    {0x0244, 0x0289, 0x0244, 1},
    {0x0245, 0x028C, 0x0245, 1},
    {0x0246, 0x0247, 0x024E, 2},
    // Greek and Coptic
    {0x0370, 0x0371, 0x0372, 2},
    {0x0376, 0x0377, 0x0376, 1},
    {0x037F, 0x03F3, 0x037F, 1},
    {0x0386, 0x03AC, 0x0386, 1},
    {0x0388, 0x03AD, 0x038A, 1},
    {0x038C, 0x03CC, 0x038C, 1},
    {0x038E, 0x03CD, 0x038F, 1},
    {0x0391, 0x03B1, 0x03A1, 1},
    {0x03A3, 0x03C3, 0x03AB, 1},
    {0x03CF, 0x03D7, 0x03CF, 1},
    {0x03D8, 0x03D9, 0x03EE, 2},
    {0x03F7, 0x03F8, 0x03F7, 1},
    {0x03F9, 0x03F2, 0x03F9, 1},
    {0x03FA, 0x03FB, 0x03FA, 1},
    {0x03FD, 0x037B, 0x03FF, 1},
    // Cyrillic
    {0x0400, 0x0450, 0x040F, 1},
    {0x0410, 0x0430, 0x042F, 1},
    {0x0460, 0x0461, 0x0480, 2},
    {0x048A, 0x048B, 0x04BE, 2},
    {0x04C0, 0x04CF, 0x04C0, 1},
    {0x04C1, 0x04C2, 0x04CD, 2},
    {0x04D0, 0x04D1, 0x052E, 2},
    // Armenian
    {0x0531, 0x0561, 0x0556, 1},
    // Georgian: Mtavruli capitals and Mkhedruli
    {0x1C90, 0x10D0, 0x1CBA, 1},
    {0x1CBD, 0x10FD, 0x1CBF, 1},
    // Latin Extended Additional
    {0x1E00, 0x1E01, 0x1E94, 2},
    {0x1EA0, 0x1EA1, 0x1EFE, 2},
    // Greek Extended
    {0x1F08, 0x1F00, 0x1F0F, 1},
    {0x1F18, 0x1F10, 0x1F1D, 1},
    {0x1F28, 0x1F20, 0x1F2F, 1},
    {0x1F38, 0x1F30, 0x1F3F, 1},
    {0x1F48, 0x1F40, 0x1F4D, 1},
    {0x1F59, 0x1F51, 0x1F5F, 2},
    {0x1F68, 0x1F60, 0x1F6F, 1},
    {0x1F88, 0x1F80, 0x1F8F, 1},
    {0x1F98, 0x1F90, 0x1F9F, 1},
    {0x1FA8, 0x1FA0, 0x1FAF, 1},
    {0x1FB8, 0x1FB0, 0x1FB9, 1},
    {0x1FBA, 0x1F70, 0x1FBB, 1},
    {0x1FBC, 0x1FB3, 0x1FBC, 1},
    {0x1FC8, 0x1F72, 0x1FCB, 1},
    {0x1FCC, 0x1FC3, 0x1FCC, 1},
    {0x1FD8, 0x1FD0, 0x1FD9, 1},
    {0x1FDA, 0x1F76, 0x1FDB, 1},
    {0x1FE8, 0x1FE0, 0x1FE9, 1},
    {0x1FEA, 0x1F7A, 0x1FEB, 1},
    {0x1FEC, 0x1FE5, 0x1FEC, 1},
    {0x1FF8, 0x1F78, 0x1FF9, 1},
    {0x1FFA, 0x1F7C, 0x1FFB, 1},
    {0x1FFC, 0x1FF3, 0x1FFC, 1},
};

constexpr size_t kRunCount = std::size(kTwoWay);
using RunList = std::array<CaseRun, kRunCount + 1>;

constexpr RunList lowerRunsOf() {
  RunList r{};
  for (size_t i = 0; i < kRunCount; ++i) {
    const TwoWayRun& t = kTwoWay[i];
    r[i] = {t.upperFirst, t.lowerFirst, t.upperLast, t.step};
  }
  return r;
}

constexpr RunList upperRunsOf() {
  RunList r{};
  for (size_t i = 0; i < kRunCount; ++i) {
    const TwoWayRun& t = kTwoWay[i];
    r[i] = {t.lowerFirst, t.upperFirst, uint16_t(t.lowerFirst + (t.upperLast - t.upperFirst)), t.step};
  }
  return r;
}

constexpr RunList kLowerRuns = lowerRunsOf();
constexpr RunList kUpperRuns = upperRunsOf();

// Mappings that hold one way only: title-case digraphs, letter variants and
// letters whose counterpart maps elsewhere.
constexpr CasePair kLowerPairs[] = {
    {0x0130, 0x0069},  // I with dot above -> i
    {0x01C4, 0x01C6}, {0x01C5, 0x01C6},
    {0x01C7, 0x01C9}, {0x01C8, 0x01C9},
    {0x01CA, 0x01CC}, {0x01CB, 0x01CC},
    {0x01F1, 0x01F3}, {0x01F2, 0x01F3},
    {0x03F4, 0x03B8},  // capital theta symbol
    {0x1E9E, 0x00DF},  // capital sharp s
    {0, 0},
};

constexpr CasePair kUpperPairs[] = {
    {0x00B5, 0x039C},  // micro sign -> capital mu
    {0x0131, 0x0049},  // dotless i -> I
    {0x017F, 0x0053},  // long s -> S
    {0x01C5, 0x01C4}, {0x01C6, 0x01C4},
    {0x01C8, 0x01C7}, {0x01C9, 0x01C7},
    {0x01CB, 0x01CA}, {0x01CC, 0x01CA},
    {0x01F2, 0x01F1}, {0x01F3, 0x01F1},
    {0x03C2, 0x03A3},  // final sigma
    {0x03D0, 0x0392}, {0x03D1, 0x0398}, {0x03D5, 0x03A6}, {0x03D6, 0x03A0},
    {0x03F0, 0x039A}, {0x03F1, 0x03A1}, {0x03F5, 0x0395},
    // Cyrillic letter variants of old orthography
    {0x1C80, 0x0412}, {0x1C81, 0x0414}, {0x1C82, 0x041E}, {0x1C83, 0x0421},
    {0x1C84, 0x0422}, {0x1C85, 0x0422}, {0x1C86, 0x042A}, {0x1C87, 0x0462},
    {0x1E9B, 0x1E60},  // long s with dot above
    {0x1FBE, 0x0399},  // prosgegrammeni
    {0, 0},
};

// Every code and value must index a map; checked when compiling.
constexpr bool inMap(unsigned c) { return c < kCaseMapSize; }

constexpr bool runsFit(const RunList& runs) {
  for (size_t i = 0; i < kRunCount; ++i) {
    const CaseRun& r = runs[i];
    if (r.first == 0 || r.step == 0 || r.last < r.first) return false;
    if (!inMap(r.last) || !inMap(r.value + (r.last - r.first))) return false;
  }
  return runs[kRunCount].first == 0;
}

template <size_t N>
constexpr bool pairsFit(const CasePair (&pairs)[N]) {
  for (size_t i = 0; i + 1 < N; ++i)
    if (pairs[i].code == 0 || !inMap(pairs[i].code) || !inMap(pairs[i].value)) return false;
  return pairs[N - 1].code == 0;
}

static_assert(runsFit(kLowerRuns) && runsFit(kUpperRuns));
static_assert(pairsFit(kLowerPairs) && pairsFit(kUpperPairs));

// Ends a word: ASCII punctuation except '_' and '`', pound and currency sign.
constexpr bool breaksWord(int c) {
  return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x5E) ||
         (c >= 0x7B && c <= 0x7E) || c == 0xA3 || c == 0xA4;
}

int caseRange(EditorState* V, ActiveLine* line, int from, int to, bool upper) {
  if (from < 0) from = 0;
  if (to > line->count) to = line->count;
  for (int i = from; i < to; ++i) line->c[i] = CaseChar(V, line->c[i], upper);
  return 1;
}

}  // namespace

void initRun(uint16_t* map, const CaseRun* runs) {
  for (int i = 0; i < kCaseMapSize; ++i) map[i] = uint16_t(i);
  for (const CaseRun* r = runs; r->first; ++r) {
    int step = r->step ? r->step : 1;
    uint16_t v = r->value;
    for (int i = r->first; i <= r->last && i < kCaseMapSize; i += step) {
      map[i] = v;
      v = uint16_t(v + step);
    }
  }
}

void initXlt(uint16_t* map, const CasePair* pairs) {
  for (const CasePair* p = pairs; p->code; ++p)
    if (p->code < kCaseMapSize) map[p->code] = p->value;
}

void initCase(EditorState* V) {
  initRun(V->locase, kLowerRuns.data());
  initXlt(V->locase, kLowerPairs);
  initRun(V->upcase, kUpperRuns.data());
  initXlt(V->upcase, kUpperPairs);
  for (int i = 0; i < kCaseMapSize; ++i) {
    V->nocase[i] = uint16_t(i);
    V->wordBreak[i] = breaksWord(i) ? 0x20 : uint16_t(i);
  }
  V->wordClass = V->wordBreak;
}

tchar CaseChar(const EditorState* V, tchar c, bool upper) {
  if (c >= tchar(kCaseMapSize)) return c;
  return upper ? V->upcase[c] : V->locase[c];
}

int DoBlkUpper(EditorState* V, ActiveLine* line, int from, int to, void*) {
  return caseRange(V, line, from, to, true);
}

int DoBlkLower(EditorState* V, ActiveLine* line, int from, int to, void*) {
  return caseRange(V, line, from, to, false);
}
