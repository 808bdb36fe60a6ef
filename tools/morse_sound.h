// The Morse tones: unsigned 8-bit samples at 8000 a second, one channel,
// made here and played through the sound server's simple API, which is
// loaded for each sending and unloaded after it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int kMorseRate = 8000;
constexpr uint8_t kSilence = 128;
constexpr size_t kDotBytes = 4800;
constexpr size_t kDashBytes = 9600;
constexpr size_t kCharBytes = 151200;

// A dot and a dash, each its tone followed by one unit of silence, and the
// gaps, all in samples.
struct ToneStore {
  std::array<uint8_t, kDotBytes> dot;
  std::array<uint8_t, kDashBytes> dash;
  int dotLen, dashLen, letterGap, wordGap;
};

using MathFn = double (*)(double);

// Builds the elements for a unit of 8 * L samples (L is 1092 / words per
// minute + 1) with the given volume, tone, sparse and shape; zeros take 35,
// 475, 40 and 10.  Every value is held to what the buffers and the sample
// range take, and a ramp lasts at least two samples (one would never lift
// the tone off silence).  sin and trunc come from the
// maths library, loaded with the sound library.
void MakeTones(ToneStore* s, int volume, int tone, int L, int sparse, int shape, MathFn sinFn,
               MathFn truncFn);

// Hands the samples of character `code` (0..255; 32 is the gap between
// words) to `write` in pieces of at most kCharBytes, so that long gaps need
// no bigger buffer: the letter gap (50 ms at least) comes first, then a
// dot or dash element for each '.' or '-' of its code.  Returns 0 when all were written, 1 when a write failed,
// -1 when the character has no code (nothing written).
using SampleWriter = int (*)(const uint8_t* samples, size_t count, void* arg);
int PlayChar(const ToneStore& s, int code, SampleWriter write, void* arg);

// Loads both libraries, opens the stream and builds the tones: 0 ready, -1
// a library or one of its functions is missing, 1 the stream cannot be
// opened (no server).  Anything opened is released again on failure.
int initMorse(int volume, int tone, int L, int sparse, int shape);
// Plays one character and waits until it has been heard: 0 done, 1 the
// write failed.  Code 195 is passed over; a character without a code only
// waits.
int txchar(int code);
// Waits until everything written has been played.
void flushMorse();
// Drains, closes the stream and unloads the libraries.
void deinitMorse();
