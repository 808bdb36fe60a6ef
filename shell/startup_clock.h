// Start-up timing, read by the open benchmark and by whoever profiles the
// way to the first screen.  All of it is off unless the environment asks:
//
//   VEXOR_TIME_STARTUP=1            each start-up step on standard error
//   VEXOR_TIME_FIRST_PAINT=1        the first paint of the window and the
//                                   moment the last line of the texts is
//                                   stored, on standard error
//   VEXOR_EXIT_AFTER_FIRST_PAINT=1  end, saving nothing, once the
//                                   texts are complete and painted
//
// Times are milliseconds from the start of main (CLOCK_MONOTONIC); what the
// process spends before main (exec, the dynamic loader) is not in them.
#pragma once

// At the start of main: the origin of every time printed.
void StartupClockBegin();

// A start-up step is done (printed with VEXOR_TIME_STARTUP).
void StartupStep(const char* step);

// The window shows its first page: the paint has reached the server.
void StartupFirstPaint();
bool StartupPainted();

// The last line of the texts named on the command line is stored: called
// once they are all open, or by whatever stores their last line later.
void StartupTextComplete();

// True once when the texts are complete and painted and the environment
// asked the editor to end then.
bool StartupExitDue();
