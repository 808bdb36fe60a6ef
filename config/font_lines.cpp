// The "Font" lines of the configuration file.
#include <cstdio>
#include <cstring>

#include "config/config_words.h"
#include "config/fonts.h"

namespace {

char* textItem(int i) {
  switch (i) {
    case 0: return fontData.menuFont;
    case 1: return fontData.menuFontFile;
    case 3: return fontData.textFont;
    case 4: return fontData.textFontFile;
    default: return nullptr;
  }
}

int32_t* numberItem(int i) {
  switch (i) {
    case 2: return &fontData.menuSize;
    case 5: return &fontData.textSize;
    case 6: return &fontData.textWidth;
    case 7: return &fontData.textBaseline;
    case 8: return &fontData.textLineSpace;
    default: return nullptr;
  }
}

}  // namespace

void saveFont(std::string& out) {
  for (int i = 0; i < kFontItems; i++) {
    out += " Font ";
    out += item[i];
    out += ' ';
    if (const char* t = textItem(i)) {
      out.append(t, strnlen(t, kFontItemSize - 1));
    } else {
      char n[16];
      std::snprintf(n, sizeof n, "%d", *numberItem(i));
      out += n;
    }
    out += '\n';
  }
}

bool loadFont(std::string_view name, std::string_view value) {
  for (int i = 0; i < kFontItems; i++) {
    if (name != item[i]) continue;
    if (char* t = textItem(i)) {
      // A NUL ends the text as it would end the stored name.
      value = value.substr(0, value.find('\0'));
      while (!value.empty() && (value.back() == ' ' || value.back() == '\r' || value.back() == '\t'))
        value.remove_suffix(1);
      if (value.size() > size_t(kFontItemSize - 1)) return false;
      if (!value.empty()) std::memcpy(t, value.data(), value.size());
      t[value.size()] = 0;
      return true;
    }
    long v;
    const bool size = i == 2 || i == 5;
    if (!ParseDecimal(value, &v) || v < (size ? kFontSizeMin : 0) || v > (size ? kFontSizeMax : kFontCellMax))
      return false;
    *numberItem(i) = int32_t(v);
    return true;
  }
  return false;
}
