// The prompt line: every question the editor asks.
//
// A caller opens the prompt with a message, an optional preset answer and a
// continuation routine, and returns to the event loop.  The loop then hands
// every key to the prompt (ModePrompt) until the answer is given; on Enter
// the routine is called with the caller's code and auxiliary value, and the
// answer is in V->reply (and in the caller's buffer, when one was given).
// Esc abandons the question without calling anything, except at single-key
// prompts, where Esc is an answer like any other key.
//
// The line is V->promptLine: the message, one space, the answer; the painter
// shows it in place of the current view's tab line.
#pragma once

#include <cstdint>

#include "core/editor_state.h"

// Prompt types.
constexpr int kPromptNumber = 1;    // digits and Backspace; value below 1,000,000
constexpr int kPromptFileName = 4;  // line editing with file-name characters only
constexpr int kPromptKey = 5;       // any key answers at once
constexpr int kPromptNoEdit = 6;    // only Enter and Esc
constexpr int kPromptText = 8;      // line editing
constexpr int kPromptOptions = 9;   // every key goes to the routine

constexpr int kPromptAnswerMax = 60;   // characters of an edited answer
constexpr int kPromptNumberLimit = 1000000;
constexpr int kReplyMax = 251;         // bytes of an encoded answer

// routine(V, code, aux): `code` is the caller's 8-bit code and `aux` its
// auxiliary value.  At option prompts the routine is also called for every
// key but Enter and Esc, with code + 1 (8 bits) and the key (letters
// lowered) as `aux`; it updates V->reply, which the prompt then shows.
using PromptRoutine = void (*)(EditorState* V, int code, intptr_t aux);

// Opens a prompt.  `preset` (may be null) is the answer shown at first and,
// for line-editing and option prompts, the caller's buffer: it receives the
// answer on Enter, cut to `presetSize` bytes.  At single-key prompts a
// preset is only shown (the name of the text asked about, for instance).
void Prompt(EditorState* V, int type, const char* message, char* preset, int code, intptr_t aux,
            PromptRoutine routine, int presetSize = kNameMax);

// One key from the event loop: a character, or CMD_BASE + a command number.
void Prompt(EditorState* V, int key);

// The type of the open prompt, 0 when none is open.  The window title shows
// V->curDir while a file-name prompt is open.
int PromptType(EditorState* V);

// Hands the prompt and browser modes, the close-all question and the prompt
// painting to the event loop and the painter (see InstallHandlers).
void InstallPromptHooks();
