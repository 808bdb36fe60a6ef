// The glyph strip: the pixel rows every string is composed in before it goes
// to the window, and the requests that put pixels on the window.
//
// The strip is kStripWidth pixels wide (its row stride) and kStripRows rows
// tall, 0x00RRGGBB each.  With a display it is the data of an XImage sent by
// StripPut; without one it is plain memory that only gets filled (printing
// and the tests read it back).  A composition starts with StripBegin: after
// a StripPut the next composition may be given fresh memory while the last
// one is still on its way to the server, so StripData must be asked again
// after StripBegin rather than kept.
//
// When the server runs on this machine and offers MIT-SHM, the strip lives
// in shared memory as a ring of slots and StripPut only names the slot; the
// server reads it later, so StripBegin moves to the next slot after a put
// and waits for the server before a slot it may still read is reused.
// VEXOR_NO_SHM=1 in the environment keeps to plain image requests.
#pragma once

#include <cstdint>
#include <string>

typedef struct _XDisplay Display;

constexpr int kStripWidth = 2048;  // pixels per strip row (the row stride)
// Rows in the strip: room for the tallest line the font settings allow (a
// 50-pixel font is some 60 rows, a set line height at most 50); only a
// line's own rows are filled and sent.
constexpr int kStripRows = 128;

// "" or one line saying why the strip cannot be made.  Does nothing when
// the strip is already open.
std::string StripOpen(Display* dpy, unsigned long window);
void StripClose();

// The composition area; null before StripOpen.
uint32_t* StripData();
// A new composition starts (the whole strip may be overwritten).
void StripBegin();

// Sends `width` x `rows` pixels of the strip from column srcX to the
// drawable at (dstX, dstY).  Nothing without a display.
void StripPut(Display* dpy, unsigned long drawable, int srcX, int width, int rows, int dstX,
              int dstY);
// Fills a rectangle of the drawable with one colour.
void StripFill(Display* dpy, unsigned long drawable, uint32_t colour, int x, int y, int w, int h);
// Moves pixels already on the drawable: w x h from (sx, sy) to (dx, dy).
void StripCopy(Display* dpy, unsigned long drawable, int sx, int sy, int w, int h, int dx, int dy);

// Images sent to the X server so far.
uint64_t StripImagesSent();

// What the strip has asked of the X server so far (the bench and tests
// take differences).
struct StripTraffic {
  uint64_t images = 0;        // StripPut requests, either path
  uint64_t imageBytes = 0;    // pixel bytes written to the socket (plain path)
  uint64_t sharedPuts = 0;    // images the server read from shared memory
  uint64_t sharedBytes = 0;   // pixel bytes those images covered
  uint64_t fills = 0;         // StripFill rectangles
  uint64_t copies = 0;        // StripCopy moves
  uint64_t requestBytes = 0;  // every request above, headers included
};
StripTraffic StripTrafficSoFar();
// True while the strip is in memory shared with the server.
bool StripShared();
