#include "config/fonts.h"

#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <optional>
#include <utility>

#include "config/fontconfig_api.h"
#include "display/glyph_renderer.h"

namespace {

// The built-in settings; also what fontData holds before fontsInit runs, so
// that an editor made without the start-up steps (tests, tools) never
// carries a font of size 0.
constexpr FontData builtInFonts() {
  FontData d{};
  constexpr char pattern[] = ":Mono:Courier";
  for (size_t i = 0; i < sizeof pattern; i++) d.menuFont[i] = d.textFont[i] = pattern[i];
  d.menuSize = 18;
  d.textSize = 18;
  return d;
}

}  // namespace

FontData fontData = builtInFonts();

namespace {

bool endsWith(const char* s, const char* tail) {
  size_t n = std::strlen(s), t = std::strlen(tail);
  return n >= t && std::memcmp(s + n - t, tail, t) == 0;
}

bool fileExists(const char* path) {
  struct stat st;
  return path[0] && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// Copies a name into a kFontItemSize-byte item, cut to fit.
void copyName(char* dst, const char* src) {
  size_t n = std::strlen(src);
  if (n >= size_t(kFontItemSize)) n = kFontItemSize - 1;
  std::memcpy(dst, src, n);
  dst[n] = 0;
}

// Lists matching font files into dest; fontconfig is running.
void listFiles(const FcApi& fc, FcConfig* config, FcPattern* pat, char* dest, int most) {
  FcObjectSet* objects = fc.ObjectSetBuild("file", static_cast<const char*>(nullptr));
  if (!objects) return;
  int taken = 0;
  if (FcFontSet* set = fc.FontList(config, pat, objects)) {
    for (int i = 0; i < set->nfont && taken < most; i++) {
      FcChar8* file = nullptr;
      if (fc.PatternGetString(set->fonts[i], "file", 0, &file) != FcResultMatch || !file) continue;
      const char* name = reinterpret_cast<const char*>(file);
      // A name that does not fit would be cut into a path that is not there.
      if (std::strlen(name) >= size_t(kFontItemSize)) continue;
      if (!endsWith(name, "ttf") && !endsWith(name, "otf")) continue;
      copyName(dest + size_t(taken) * kFontItemSize, name);
      dest[size_t(++taken) * kFontItemSize] = 0;
    }
    fc.FontSetDestroy(set);
  }
  fc.ObjectSetDestroy(objects);
}

int matchFile(const FcApi& fc, FcConfig* config, FcPattern* pat, char* dest) {
  fc.ConfigSubstitute(config, pat, FcMatchPattern);
  fc.DefaultSubstitute(pat);
  int result = FcResultMatch;
  FcPattern* match = fc.FontMatch(config, pat, &result);
  if (!match) return 1;
  int found = 1;
  FcChar8* file = nullptr;
  if (fc.PatternGetString(match, "file", 0, &file) == FcResultMatch && file &&
      std::strlen(reinterpret_cast<const char*>(file)) < size_t(kFontItemSize)) {
    copyName(dest, reinterpret_cast<const char*>(file));
    found = 0;
  }
  fc.PatternDestroy(match);
  return found;
}

// One font from the settings; "" or the renderer's message.
std::string build(GlyphFont*& f, const char* name, const char* file, int size, int width,
                  int baseline, int lineSpace) {
  crapSetFont(f, name, file, size, width, baseline, lineSpace);
  return crapOpenFontChecked(f);
}

std::string fontNote;

// As build, but a file that exists and is no font the renderer can open is
// taken as missing: the first other file that builds (fontconfig's match
// for "Mono", then the fallbacks) replaces it in the settings, and the
// note says so.  Only when none builds is it an error.
std::string buildOrReplace(GlyphFont*& f, const char* name, char* file, int size, int width, int baseline,
                           int lineSpace) {
  std::string err = build(f, name, file, size, width, baseline, lineSpace);
  if (err.empty()) return err;
  char candidates[8][kFontItemSize] = {};
  int n = 0;
  if (fontFinder(candidates[n], "Mono") == 0) n++;
  for (int i = 0; tryFonts[i][0] && n < 8; i++) copyName(candidates[n++], tryFonts[i]);
  for (int i = 0; i < n; i++) {
    if (std::strcmp(candidates[i], file) == 0 || !fileExists(candidates[i])) continue;
    if (!build(f, name, candidates[i], size, width, baseline, lineSpace).empty()) continue;
    fontNote = std::string("Not a font file: ") + file;
    copyName(file, candidates[i]);
    return "";
  }
  return err;
}

std::string buildPrintFont(int size) {
  const FontData& d = fontData;
  std::string err = build(pfont, d.textFont, d.textFontFile, size, 0, 0, 0);
  // With a fixed cell on screen, printing keeps columns aligned too, at the
  // print font's own natural width.
  if (err.empty() && d.textWidth) err = build(pfont, d.textFont, d.textFontFile, size, pfont->charWidth, 0, 0);
  return err;
}

}  // namespace

std::string fixPrintFont(int printFontSize) {
  if (!pfont) return "";  // the fonts are not set up yet: they take the size then
  return buildPrintFont(printFontSize);
}

const std::string& FontsNote() { return fontNote; }

void fontsInit() { fontData = builtInFonts(); }

int fontScann(char* dest, const char* pattern, int most) {
  if (most > 0) dest[0] = 0;
  const FcApi* api = FcApiLoad();
  if (!api) return 2;
  const FcApi& fc = *api;

  // A configuration of its own, loaded once: the library's default one
  // (FcInit) would be a second load of the same files, and is not used here.
  FcConfig* config = fc.InitLoadConfigAndFonts();
  if (!config) return most > 0 ? 2 : 1;
  FcPattern* pat = fc.NameParse(reinterpret_cast<const FcChar8*>(pattern));
  int result = 1;
  if (pat) {
    if (most > 0) {
      listFiles(fc, config, pat, dest, most);
      result = 2;
    } else {
      result = matchFile(fc, config, pat, dest);
    }
    fc.PatternDestroy(pat);
  } else if (most > 0) {
    result = 2;
  }
  // No FcFini: the library stays loaded, and the screen's fallback fonts
  // keep a configuration of their own that it would pull away.
  fc.ConfigDestroy(config);
  return result;
}

int fontFinder(char* dest, const char* pattern) { return fontScann(dest, pattern, 0); }

namespace {

// fontconfig's best match for "Mono", asked at most once for the files of
// one start or one apply: loading its configuration is most of the cost.
struct MonoMatch {
  bool asked = false;
  bool found = false;
  char file[kFontItemSize] = "";
};

bool resolveWith(char* file, bool askFontconfig, const char (*fallbacks)[64], MonoMatch& mono) {
  if (fileExists(file)) return true;
  if (askFontconfig) {
    if (!mono.asked) {
      mono.asked = true;
      mono.found = fontFinder(mono.file, "Mono") == 0;
    }
    if (mono.found && fileExists(mono.file)) {
      copyName(file, mono.file);
      return true;
    }
  }
  for (int i = 0; fallbacks[i][0]; i++) {
    if (fileExists(fallbacks[i])) {
      copyName(file, fallbacks[i]);
      return true;
    }
  }
  return false;
}

// The menu and the text font files, as named and as resolved; the text
// file is left as named when the menu file is not found.
struct Resolved {
  char menuNamed[kFontItemSize];
  char textNamed[kFontItemSize];
  char menu[kFontItemSize];
  char text[kFontItemSize];
  bool ok = false;
};

Resolved resolveBoth(const char* menuFile, const char* textFile) {
  Resolved r;
  copyName(r.menuNamed, menuFile);
  copyName(r.textNamed, textFile);
  copyName(r.menu, menuFile);
  copyName(r.text, textFile);
  MonoMatch mono;
  r.ok = resolveWith(r.menu, true, tryFonts, mono) && resolveWith(r.text, true, tryFonts, mono);
  return r;
}

// A resolution started ahead, while the window is being made.
std::optional<std::future<Resolved>> ahead;

Resolved takeResolved(const char* menuFile, const char* textFile) {
  if (ahead) {
    Resolved r = ahead->get();
    ahead.reset();
    // The settings changed since it started: its answer is for other names.
    if (std::strcmp(r.menuNamed, menuFile) == 0 && std::strcmp(r.textNamed, textFile) == 0)
      return r;
  }
  return resolveBoth(menuFile, textFile);
}

}  // namespace

bool ResolveFontFile(char* file, bool askFontconfig, const char (*fallbacks)[64]) {
  MonoMatch mono;
  return resolveWith(file, askFontconfig, fallbacks, mono);
}

void fontsResolveAhead() {
  if (ahead) return;
  const FontData& d = fontData;
  std::string menu = d.menuFontFile, text = d.textFontFile;
  ahead = std::async(std::launch::async, [menu = std::move(menu), text = std::move(text)] {
    return resolveBoth(menu.c_str(), text.c_str());
  });
}

std::string fontsSetChecked(EditorState*, int printFontSize) {
  FontData& d = fontData;
  const Resolved r = takeResolved(d.menuFontFile, d.textFontFile);
  const char* menuFile = r.menu;
  const char* textFile = r.text;
  if (!r.ok) {
    const char* which = fileExists(menuFile) ? textFile : menuFile;
    std::string line = "vexor: no font file found";
    if (which[0]) line += std::string(" (\"") + which + "\" does not exist)";
    return line + "; fontconfig has no match for \"Mono\" and none of the fallback files exists";
  }
  copyName(d.menuFontFile, menuFile);
  copyName(d.textFontFile, textFile);

  fontNote.clear();
  std::string err = buildOrReplace(font2, d.menuFont, d.menuFontFile, d.menuSize, 0, 0, 0);
  if (err.empty())
    err = buildOrReplace(font, d.textFont, d.textFontFile, d.textSize, d.textWidth, d.textBaseline,
                         d.textLineSpace);
  if (err.empty()) err = buildPrintFont(printFontSize);
  crapClearCache();

  const char* lang = std::getenv("LANG");
  std::setlocale(LC_CTYPE, lang ? lang : "");
  return err;
}

void fontsSet(EditorState* V, int printFontSize) {
  const std::string err = fontsSetChecked(V, printFontSize);
  if (err.empty()) return;
  std::fprintf(stderr, "%s\n", err.c_str());
  std::exit(1);
}
