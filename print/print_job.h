// A print job: the current text's block (or the whole text) rendered page
// by page with the print font and streamed to a CUPS printer as a PDF of
// page images, with a copy in "printtest.pdf"; and the character count.
#pragma once

#include <cstdint>

#include "print/cups_api.h"

struct EditorState;

// Paper sizes by PaperSize; a value outside 0-3 counts as 0 (none).
int PaperIndex(int paperSize);
inline constexpr const char* mediaType[4] = {nullptr, "iso_a4_210x297mm", "na_letter_8.5x11in",
                                             "na_legal_8.5x14in"};
inline constexpr int mediaBox[4][2] = {{595, 842}, {595, 842}, {612, 792}, {612, 1008}};

// The page raster from Density and Aspect.
int PrintXres();
int PrintYres();

// Prints on `dest` through `api`.  Reports on the alert line: "Document
// sent" (also on standard output), "Print stopped", "Print failed: " and
// the server's reason, or why nothing was sent.
void printIt(EditorState* V, const CupsApi* api, CupsDest* dest);
// Cancels the last job, when there is one and its printer is still known.
void StopPrint(EditorState* V);
// Forgets the printer of the last job (its list is being released).
void ForgetPrintJob();
// Number of the last job created; 0 before the first.
int LastPrintJob();

// Asked after every printed line: true stops the print (the space bar).
void SetPrintStopPoll(bool (*poll)());

// "Count: %d": UTF-8 bytes and line ends of the block, or of the text up
// to the cursor.
void charCount(EditorState* V);
