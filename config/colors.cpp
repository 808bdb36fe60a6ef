// Colour roles: the built-in colours and the pairs the painters use.
#include "config/colors.h"

#include <cstddef>
#include <cstdio>

#include "config/config_words.h"

#include "display/screen.h"

namespace {

constexpr int kFixed = -1;  // the pair side is a fixed colour, not a role

// Where each side of a pair takes its colour from.
struct PairSource {
  int fgRole;
  int bgRole;
  uint32_t fgFixed;
  uint32_t bgFixed;
};

constexpr PairSource role(int fg, int bg) { return {fg, bg, 0, 0}; }

// The syntax classes 0..7 in class order: plain, comment, reserved word,
// keyword, string, character literal, number, preprocessor line.
constexpr int kClassRole[8] = {COLOR_STDTEXT, COLOR_COMMENT, COLOR_RESERVED, COLOR_KEYWORD,
                               COLOR_STRING,  COLOR_LITERAL, COLOR_NUMBER,   COLOR_PREPROC};

constexpr std::array<PairSource, kPairCount> makePairSources() {
  std::array<PairSource, kPairCount> p{};
  p[0] = role(COLOR_BLACKTEXT, COLOR_BACKGROUND);
  p[1] = role(COLOR_REDTEXT, COLOR_BACKGROUND);
  p[2] = role(COLOR_MESSAGE, COLOR_BACKGROUND);
  p[3] = {kFixed, COLOR_CURSORLINEBKG, 0x000000, 0};
  p[4] = role(COLOR_CURSORCHR, COLOR_CURSORCHRBKG);
  p[5] = {kFixed, COLOR_EMPTYCURSOR, 0xff0000, 0};
  p[6] = role(COLOR_STDTEXT, COLOR_MARKEDBKG);
  p[7] = {kFixed, kFixed, 0x000000, 0xffb0ffb0};
  p[8] = role(COLOR_TAB, COLOR_TABBKG);
  p[9] = role(COLOR_HILITE, COLOR_HILITEBKG);
  p[10] = role(COLOR_PROMPT, COLOR_TABBKG);
  p[11] = role(COLOR_STATUS, COLOR_STATUSBKG);
  p[12] = role(COLOR_MENU, COLOR_BACKGROUND);
  p[13] = role(COLOR_MENUMARK, COLOR_MENUMARKBKG);
  for (int c = 0; c < 8; ++c) {
    p[size_t(14 + c)] = role(kClassRole[c], COLOR_BACKGROUND);
    p[size_t(22 + c)] = role(kClassRole[c], COLOR_CURSORLINEBKG);
  }
  return p;
}

constexpr std::array<PairSource, kPairCount> kPairSources = makePairSources();

constexpr std::array<uint32_t, kColorRoles> makeDefaults() {
  std::array<uint32_t, kColorRoles> d{};
  for (size_t i = 0; i < d.size(); ++i) d[i] = colorRoles[i].def;
  return d;
}

uint32_t side(int roleNo, uint32_t fixed) {
  return (roleNo == kFixed ? fixed : co[roleNo]) & 0xffffff;
}

}  // namespace

std::array<uint32_t, kColorRoles> co = makeDefaults();

void getDefColors(EditorState*, uint32_t* table) {
  constexpr std::array<uint32_t, kColorRoles> defaults = makeDefaults();
  for (int i = 0; i < kColorRoles; ++i) table[i] = defaults[size_t(i)];
}

void setColors() {
  for (int i = 0; i < kPairCount; ++i) {
    const PairSource& p = kPairSources[size_t(i)];
    S.pairs[i][0] = side(p.fgRole, p.fgFixed);
    S.pairs[i][1] = side(p.bgRole, p.bgFixed);
  }
}

void saveColors(std::string& out) {
  constexpr uint32_t kSignificant = 0xfcfcfc;
  for (int i = 0; i < kColorRoles; i++) {
    if (((co[size_t(i)] ^ colorRoles[size_t(i)].def) & kSignificant) == 0) continue;
    char line[64];
    std::snprintf(line, sizeof line, " Color %s 0x%08x\n", colorRoles[size_t(i)].name,
                  unsigned((co[size_t(i)] & kSignificant) | 0xff000000u));
    out += line;
  }
}

bool loadColor(std::string_view role, std::string_view value) {
  static constexpr std::array<std::string_view, kColorRoles> names = [] {
    std::array<std::string_view, kColorRoles> n{};
    for (size_t i = 0; i < n.size(); i++) n[i] = colorRoles[i].name;
    return n;
  }();
  for (int i = 0; i < kColorRoles; i++) {
    if (role != names[size_t(i)]) continue;
    unsigned v;
    if (!ParseHex(value, &v)) return false;
    co[size_t(i)] = v;
    return true;
  }
  return false;
}
