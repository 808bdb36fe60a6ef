// The print settings record and its configuration lines.
#include "print/print_settings.h"

#include <cstdio>

#include "config/config_words.h"

std::array<uint8_t, kPrintItems> printVal = [] {
  std::array<uint8_t, kPrintItems> v{};
  for (int i = 0; i < kPrintItems; i++) v[size_t(i)] = itemTxt[size_t(i)].def;
  return v;
}();

void getPrintDef() {
  for (int i = 0; i < kPrintItems; i++) printVal[size_t(i)] = itemTxt[size_t(i)].def;
}

void savePrint(std::string& out) {
  for (int i = 0; i < kPrintItems; i++) {
    if (printVal[size_t(i)] == itemTxt[size_t(i)].def) continue;
    char line[64];
    std::snprintf(line, sizeof line, "Print %s %d\n", itemTxt[size_t(i)].name, printVal[size_t(i)]);
    out += line;
  }
}

bool loadPrintCfg(std::string_view name, std::string_view value) {
  for (int i = 0; i < kPrintItems; i++) {
    const PrintItemDef& d = itemTxt[size_t(i)];
    if (name != d.name) continue;
    long v;
    if (!ParseDecimal(value, &v) || v < d.lowest || v > d.highest) return false;
    printVal[size_t(i)] = uint8_t(v);
    return true;
  }
  return false;
}
