// The X side of the clipboard: owning CLIPBOARD and PRIMARY and answering
// other clients' requests, asking the owner for a paste and taking its
// answer, INCR transfers both ways for texts too large for one request.
//
// Nothing here waits for another client: every step is an event, and a
// transfer that makes no progress for the idle time is dropped.
#pragma once

#include <chrono>
#include <cstddef>

struct EditorState;
union _XEvent;

// Hooks the selection events, the property changes and the transfer timer
// into the event loop, the clipboard commands into X, and the error handler
// that keeps a vanished client from ending the editor.
void InstallSelection();

// The handlers, for the loop and the tests.
void selrequest(EditorState* V, _XEvent* ev);
void selnotify(EditorState* V, _XEvent* ev);
void selclear(EditorState* V, _XEvent* ev);
void selproperty(EditorState* V, _XEvent* ev);
// Ends transfers to clients that are gone and those idle too long.  Returns
// the milliseconds until the next one may be due, -1 when none is pending;
// *changed is set when the screen needs a repaint.
int SelectionTimers(EditorState* V, bool* changed);

// Outgoing INCR transfers under way.
size_t SelectionTransfers();
// How long a transfer may stand still (5 s; tests shorten it).
void SetSelectionIdle(std::chrono::milliseconds idle);
// Above this many bytes an answer goes by INCR, in chunks of at most
// SelectionChunk bytes.
size_t SelectionIncrThreshold();
size_t SelectionChunk();
// Forgets every transfer and the atoms (a new display in the tests).
void SelectionReset();
