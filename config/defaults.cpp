#include "config/defaults.h"

#include <cstdio>

#include "config/config_words.h"
#include "core/editor_state.h"
#include "display/screen.h"

namespace {

void line(std::string& out, const char* name, long value) {
  char text[64];
  std::snprintf(text, sizeof text, " Default %s %ld\n", name, value);
  out += text;
}

bool inRange(std::string_view word, long lo, long hi, long* v) {
  return ParseDecimal(word, v) && *v >= lo && *v <= hi;
}

}  // namespace

void initDef(EditorState*, Defaults* d) {
  d->winWidth = kDefaultWidth;
  d->winHeight = kDefaultHeight;
  d->leftMargin = kDefaultLeftMargin;
  d->rightMargin = kDefaultRightMargin;
  d->mode = kDefaultMode;
}

void SetDefaults(EditorState* V) {
  Defaults& d = V->defaults;
  if (S.width >= kMinWinWidth && S.width <= kMaxWinSize) d.winWidth = S.width;
  if (S.height >= kMinWinHeight && S.height <= kMaxWinSize) d.winHeight = S.height;
  const Tcb* t = V->curTcb;
  const uint32_t textMode = t ? t->mode : (d.mode & ~TGL_GLOBAL_MASK);
  if (t) {
    d.leftMargin = t->leftMargin;
    d.rightMargin = t->rightMargin;
  }
  d.mode = (textMode | V->toggles) & kSavedModeBits;
}

void saveDef(const Defaults& d, std::string& out) {
  const uint32_t diff = (d.mode ^ kDefaultMode) & kSavedModeBits;
  for (int bit = 1; bit < 18; bit++) {
    const uint32_t m = 1u << bit;
    if (!(diff & m)) continue;
    out += (d.mode & m) ? " Default Set " : " Default Reset ";
    out += tgltab[bit];
    out += '\n';
  }
  if (d.winHeight != kDefaultHeight) line(out, "Heigh", d.winHeight);
  if (d.winWidth != kDefaultWidth) line(out, "Width", d.winWidth);
  if (d.rightMargin != kDefaultRightMargin) line(out, "RMarg", d.rightMargin);
  if (d.leftMargin != kDefaultLeftMargin) line(out, "LMarg", d.leftMargin);
}

bool loadDef(Defaults* d, std::string_view name, std::string_view value, MarginLines* margins) {
  long v;
  if (name == "Set" || name == "Reset") {
    for (int bit = 1; bit < 18; bit++) {
      if (!tgltab[bit][0] || value != tgltab[bit]) continue;
      if (name == "Set")
        d->mode |= 1u << bit;
      else
        d->mode &= ~(1u << bit);
      return true;
    }
    return false;
  }
  if (name == "SrcOpt") return true;
  if (name == "Heigh") {
    if (!inRange(value, kMinWinHeight, kMaxWinSize, &v)) return false;
    d->winHeight = int32_t(v);
    return true;
  }
  if (name == "Width") {
    if (!inRange(value, kMinWinWidth, kMaxWinSize, &v)) return false;
    d->winWidth = int32_t(v);
    return true;
  }
  if (name == "RMarg" || name == "LMarg") {
    if (!inRange(value, 0, kMaxRightMargin, &v)) return false;
    if (name == "RMarg") {
      margins->haveRight = true;
      margins->right = v;
    } else {
      margins->haveLeft = true;
      margins->left = v;
    }
    return true;
  }
  return false;
}

bool applyMargins(Defaults* d, const MarginLines& m) {
  if (!m.haveLeft && !m.haveRight) return true;
  const long left = m.haveLeft ? m.left : d->leftMargin;
  const long right = m.haveRight ? m.right : d->rightMargin;
  if (left < 0 || left >= right || right > kMaxRightMargin) return false;
  d->leftMargin = int32_t(left);
  d->rightMargin = int32_t(right);
  return true;
}
