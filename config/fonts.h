// Font settings and how they become the three fonts of the renderer.
//
// The settings name a fontconfig pattern and a font file for the menu font
// and for the text font.  At start-up (and when the font dialog applies its
// changes) each file is checked: a missing one is replaced by fontconfig's
// best match for "Mono", and failing that by the first fixed fallback path
// that exists.  fontconfig is loaded only for the lookup and unloaded again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct EditorState;

constexpr int kFontItemSize = 128;       // bytes of a pattern or file name
constexpr int kFontListMax = 127;        // names the file list holds
constexpr int kDefaultPrintFontSize = 20;

struct FontData {
  char menuFont[kFontItemSize];
  char menuFontFile[kFontItemSize];
  int32_t menuSize;
  char textFont[kFontItemSize];
  char textFontFile[kFontItemSize];
  int32_t textSize;
  int32_t textWidth;      // fixed cell width; 0: the font's own advance
  int32_t textBaseline;   // 0: the font's own ascender
  int32_t textLineSpace;  // 0: the font's own line height
};

extern FontData fontData;

// Files tried in this order when fontconfig yields none; ends with "".
inline constexpr char tryFonts[][64] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Bold.otf",
    "/usr/share/fonts/opentype/urw-base35/C059-Bold.otf",
    "",
};

// The built-in settings; first thing at start-up, before the configuration.
void fontsInit();

// Resolves both font files and builds font2, font and pfont, then empties the
// glyph cache and sets the character-type locale from LANG.  Returns "" or
// one line saying what failed; when no font file can be found at all the
// fonts are left as they were.
std::string fontsSetChecked(EditorState* V, int printFontSize = kDefaultPrintFontSize);
// Rebuilds only the print font, at `printFontSize` pixels (the print
// settings' FontSize changed).  "" or what failed.
std::string fixPrintFont(int printFontSize);
// What the last fontsSetChecked replaced: "Not a font file: <name>" when a
// font file named in the settings exists but cannot be opened as a font and
// another file took its place; empty otherwise.
const std::string& FontsNote();
// Starts finding the menu and the text font files named in the settings
// (fontconfig's match when one is missing) on a thread of its own, so that
// the search runs while the window is made; the next fontsSetChecked takes
// its answer when the names are still the same.
void fontsResolveAhead();
// As above, for start-up: a failure is printed to standard error and ends
// the process with status 1, like any other renderer failure.
void fontsSet(EditorState* V, int printFontSize = kDefaultPrintFontSize);

// Keeps `file` (kFontItemSize bytes) when it names an existing file, else
// replaces it with fontconfig's match for "Mono" (when `askFontconfig`) or
// the first existing path of `fallbacks` (ended by ""). Returns false, with
// `file` unchanged, when nothing exists.
bool ResolveFontFile(char* file, bool askFontconfig, const char (*fallbacks)[64]);

// fontconfig, loaded for the call.  fontFinder copies the file of the best
// match for `pattern` into dest (kFontItemSize bytes): 0 found, 1 no match,
// 2 no fontconfig.  fontScann with most > 0 lists up to `most` TrueType and
// OpenType files matching `pattern` into dest, kFontItemSize bytes each,
// followed by an empty entry (dest holds most + 1 entries); it returns 2.
// With most = 0 it is fontFinder.
int fontFinder(char* dest, const char* pattern);
int fontScann(char* dest, const char* pattern, int most);

// The font items as the configuration file names them, in file order.
constexpr int kFontItems = 9;
inline constexpr char item[kFontItems][20] = {"MenuFont", "MenuFontFile", "MenuSize",     "TextFont",
                                             "TextFontFile", "TextSize", "TextWidth", "TextBaseline",
                                             "TextLineSpace"};
// Sizes and cells the renderer and the font dialogue work with.
constexpr int kFontSizeMin = 1;
constexpr int kFontSizeMax = 50;
constexpr int kFontCellMax = 50;

// Appends the nine "Font" lines.
void saveFont(std::string& out);
// One "Font" line: the item name and, for a text item, the rest of the line
// (at most 127 bytes), for a number its decimal word.  Returns false,
// changing nothing, for an unknown item or a value out of range.
bool loadFont(std::string_view name, std::string_view value);
