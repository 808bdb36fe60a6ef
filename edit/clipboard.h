// Exchange with the X selections, the part without Xlib: the text offered on
// each selection, its STRING form, and the paste that arrives in pieces and
// goes into the text, a new text or the paste buffer.
//
// The X side (shell/selection) links itself in through ClipLink.  Without it
// (no display, the tests) the editor is its own clipboard: a paste takes the
// editor's own offer through the same pieces an X transfer would bring.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct EditorState;

// Selections.
constexpr int kSelClipboard = 0;
constexpr int kSelPrimary = 1;

// Where an arriving paste goes.
constexpr int kPasteInsert = 0;         // at the cursor, from CLIPBOARD
constexpr int kPasteInsertPrimary = 1;  // at the cursor, from PRIMARY
constexpr int kPasteOpen = 3;           // as a new text
constexpr int kPasteToBuf = 4;          // into the paste buffer
inline int PasteSelection(int what) { return what == kPasteInsertPrimary ? kSelPrimary : kSelClipboard; }

// An offered text: UTF-8, lines separated by line feeds.  Shared, never
// changed once made, so a transfer under way keeps the text it began with.
using ClipText = std::shared_ptr<const std::string>;

struct ClipLink {
  // Makes the editor the owner of the selection; false when the server
  // gave it to another client.
  bool (*claim)(EditorState* V, int sel) = nullptr;
  // Asks the owner of the selection for its text: 1 asked, 0 no X server
  // to ask (the editor's own offer is pasted).
  int (*request)(EditorState* V, int sel) = nullptr;
  // A pending request is given up (a newer paste replaces it).
  void (*cancel)(EditorState* V) = nullptr;
};
void SetClipLink(const ClipLink& link);

// The commands.
void CopyToClip(EditorState* V, int which);  // CopyToClip (0), CopyToPrimary (1)
void BufToClip(EditorState* V, int = 0);
void PasteFromClip(EditorState* V, int what);  // PasteFromClip (0), PasteFromPrimary (1), ClipToBuf (4)
void OpenClip(EditorState* V, int = 0);

// The text offered on a selection; null when it offers none.
ClipText ClipOffer(int sel);
// The selection went to another client: its text goes, the other's stays.
void ClipLost(int sel);
// The STRING form: ISO-8859-1, "?" for every character it lacks and for
// bytes that are no UTF-8.
std::string Latin1Form(std::string_view utf8);

// An arriving paste.  Begin replaces a pending one; Feed hands on a piece
// (encoding MODE_UTF8 or MODE_LATIN1) and answers false when the paste was
// dropped (the alert says why); Finish puts the whole into place.  Drop
// gives it up with the alert `why` (none when null); nothing is inserted.
void ClipPasteBegin(EditorState* V, int what);
bool ClipPasteFeed(EditorState* V, const uint8_t* data, size_t n, uint32_t encoding);
void ClipPasteFinish(EditorState* V);
void ClipPasteDrop(EditorState* V, const char* why);
bool ClipPastePending();
int ClipPasteWhat();

// The editor goes: what it offered and a paste under way go with it.
void ClipForget(EditorState* V);

// Tests meet a text too large to hold: offers over `bytes` fail as an
// allocation would (0: no limit).
void SetClipOfferLimit(size_t bytes);
