// The PDF document a print job sends: one grey-scale image per page.
//
// Each call appends its text to the caller's buffer; the caller sends those
// bytes on, in call order, and between pdfPrePage and pdfPostPage sends the
// page's samples itself: exactly 2 x xres x yres lower-case hex digits, rows
// top to bottom.  The writer counts those bytes too, so every offset in the
// cross-reference table is exact.  Offsets are 64-bit and the object table
// grows with the document: any page count fits.
#pragma once

#include <cstdint>
#include <string>

// Page size in points, margins in millimetres (top, left, bottom, right).
void pdfSetup(int width, int height, int top, int left, int bottom, int right);
// The printable area left inside the margins, in points (0 or less when the
// margins leave none).
int pdfAreaWidth();
int pdfAreaHeight();

// Document head and page tree listing `pages` pages in advance.
void pdfStart(std::string& out, int xres, int yres, int pages);
// The page, its resources and the opening of its image stream.
void pdfPrePage(std::string& out);
// Closes the image stream and writes the page's content stream.
void pdfPostPage(std::string& out);
// Cross-reference table and trailer.
void pdfFinish(std::string& out);

// Bytes of the document so far, the caller's image bytes included once
// their page is closed.
uint64_t pdfBytes();
