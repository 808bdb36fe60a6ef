// The glyph renderer.
//
// All text on screen and on printed pages is drawn here rather than with X
// core fonts.  FreeType renders each glyph once into an 8-bit coverage
// bitmap; the result is kept in one glyph cache shared by every font, and a
// whole string is composed into a one-row pixel strip (kStripWidth pixels,
// as many rows as the tallest line, 0x00RRGGBB each) that goes to the window
// with a single XPutImage.  Each colour channel of a glyph pixel is
// bg + (fg - bg) x coverage / 255, rounded to the nearest value.
//
// Without a display (crapInit with a null Display*) the strip lives in plain
// memory and crapText only fills it: printing reads it back that way, and so
// do the tests.  A null Display* passed to crapText likewise fills the strip
// without sending it.
//
// Font records are owned by the renderer; the pointers handed out by
// crapSetFont stay valid until crapDeinit, which also nulls font, font2 and
// pfont.  crapDeinit must run before the display is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/line_store.h"  // tchar
#include "display/strip_image.h"

// Kept opaque so that users of this header do not pull in Xlib's macros.
typedef struct _XDisplay Display;
struct FT_FaceRec_;

constexpr size_t kGlyphCacheBytes = 4000000;
constexpr int kImageStringMax = 1501;  // characters per *ImageString call
constexpr int kFontNameMax = 128;

struct FaceCloser {
  void operator()(FT_FaceRec_* face) const;
};

// One font.  A cache entry in the glyph cache is four 32-bit words --
// advance, rows kept, width, and the bitmap's offset from the pen (x in the
// low 16 bits, row in the high 16, both signed) -- followed by rows x width
// coverage bytes.  `glyphs` points at the first word of an entry, indexed by
// code point below 0x10000; `wide` holds the entries of the code points
// above.  Characters with bit 31 set (printing) are never cached.
struct GlyphFont {
  char name[kFontNameMax] = {};  // display name, NUL-terminated
  std::string path;              // font file handed to FreeType
  int32_t pixelSize = 0;         // pixel height for FT_Set_Pixel_Sizes
  int32_t fixedAdvance = 0;      // 0: proportional; else the cell width
  int32_t ascentSet = 0;         // 0: the font's ascender is the baseline
  int32_t lineHeightSet = 0;     // 0: ascender - descender
  int32_t baseline = 0;          // top of line to baseline, pixels
  int32_t charWidth = 0;         // advance of "H", or fixedAdvance
  int32_t ascent = 0;
  int32_t descent = 0;  // negative
  int32_t lineHeight = 0;
  int32_t spaceAdvance = 0;  // advance of the space, or fixedAdvance
  std::unique_ptr<FT_FaceRec_, FaceCloser> face;
  std::unique_ptr<const uint32_t*[]> glyphs;  // 65,536 cache entries or null
  std::unordered_map<tchar, const uint32_t*> wide;  // entries above U+FFFF
  std::unique_ptr<GlyphFont> next;            // the renderer's font chain
};

// The text font, the menu font and the print font.
extern GlyphFont* font;
extern GlyphFont* font2;
extern GlyphFont* pfont;

// Start-up and shutdown.  crapInit prints one line to standard error naming
// what failed and ends the process with status 1 when the renderer cannot
// start; crapInitChecked returns that line instead ("" on success).  Both do
// nothing when the renderer is already running.
void crapInit(Display* dpy, unsigned long window);
std::string crapInitChecked(Display* dpy, unsigned long window);
void crapDeinit();

// Creates the record when `f` is null, then stores the settings.  The font is
// opened by crapOpenFont.
void crapSetFont(GlyphFont*& f, const char* name, const char* path, int pixelSize,
                 int fixedAdvance, int ascentSet, int lineHeightSet);
// Opens the font file at its pixel size and computes the metrics.  A failure
// prints a line to standard error and ends the process with status 1; the
// checked variant returns the line instead and leaves the font closed.
void crapOpenFont(GlyphFont* f);
std::string crapOpenFontChecked(GlyphFont* f);
void crapClearCache();

// Draws one string with its baseline at (x, y) and returns its width in
// pixels.  `dpy` may be null: the strip is then filled but not sent.
int crapText(Display* dpy, unsigned long drawable, GlyphFont* f, uint32_t fg, uint32_t bg,
             int x, int y, const tchar* s, int n);
// Draws a row of cells with its baseline at (x, y): character i takes the
// `cell` pixels from x + i x cell, whatever its glyph's own advance.  A glyph
// wider than the font's cell is narrowed to it, one of another advance is
// centred in its cell, and every glyph is cut at its cell's edges; a character whose glyph leaves no ink (a format character, a byte
// that is no text) shows as a hollow box, except the space separators.  The
// whole row of cells is sent, as far as the strip holds them; returns its
// width in pixels.  `dpy` may be null: the strip is then filled but not sent.
int crapCells(Display* dpy, unsigned long drawable, GlyphFont* f, uint32_t fg, uint32_t bg,
              int x, int y, const tchar* s, int n, int cell);
// The same cells drawn into the strip from pixel `stripX` on, not sent, so
// that runs of several colours go out together in one crapSendStrip; as
// many cells as fit before the strip's end.  Returns their width.
int crapCellsAt(GlyphFont* f, uint32_t fg, uint32_t bg, int stripX, const tchar* s, int n,
                int cell);
// Sends the strip's first `width` pixels of the font's line height with the
// baseline at (x, y).
void crapSendStrip(Display* dpy, unsigned long drawable, GlyphFont* f, int x, int y, int width);
// Fills a rectangle of the drawable with one colour (nothing without a
// display).
void crapFill(Display* dpy, unsigned long drawable, uint32_t colour, int x, int y, int w, int h);
int CrapDrawImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x,
                        int y, const tchar* s, int n);
// Each byte is one character (code point 0..255); a length of -1 means the
// whole NUL-terminated string.
int fontImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                    const char* s, int n);
int font2ImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                     const char* s, int n);
// Draws UTF-8 text with font2; a length of 0 or less means the whole
// NUL-terminated string.  Returns 0.
int utf2ImageString(Display* dpy, unsigned long drawable, uint32_t fg, uint32_t bg, int x, int y,
                    const char* utf, int n);

// Width of bytes taken as code points 0..255 (-1: NUL-terminated), from the
// glyphs' own advances; uncached glyphs are measured without being cached.
int crapWidth(GlyphFont* f, const char* s, int n);
// 1 when the font has a glyph for any code point of page p (p x 256 ..
// p x 256 + 255), else 0.
int crapPageCheck(GlyphFont* f, int page);

// The strip: kStripRows rows of kStripWidth pixels; null before crapInit.
const uint32_t* crapStrip();
// FreeType glyph loads since start (rendering and measuring).
uint64_t crapGlyphLoads();
// Images sent to the X server so far.
uint64_t crapImagesSent();
// Bytes of the glyph cache in use, and how often a full cache was emptied.
size_t crapCacheUsed();
uint64_t crapCacheResets();
// Lowers the cache size so that filling it can be exercised quickly; 0
// restores the full size.  Empties the cache when it holds more than that.
void crapSetCacheLimit(size_t bytes);
