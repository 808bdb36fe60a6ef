// Tone synthesis and the sound server's simple API, loaded at run time.
#include "tools/morse_sound.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "tools/morse.h"

namespace {

constexpr double kTwoPi = 6.283185308;
constexpr int kMaxL = int(kDotBytes / 16);  // 16 * L samples must fit a dot element
constexpr int kLeadIn = kMorseRate / 20;     // silence before a character's tones, at least

// ---- Tone synthesis ---------------------------------------------------------

// One element: m samples of tone whose amplitude rises over the first x
// samples and falls over the last x, in a buffer already silent.
void makeElement(uint8_t* buf, int m, int x, double step, double g, int volume, MathFn sinFn,
                 MathFn truncFn) {
  double amplitude = 0, phase = 0;
  for (int i = 0; i < m; i++) {
    const double v = truncFn(amplitude * sinFn(phase) * volume / 100 + 128);
    buf[i] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
    phase += step;
    if (phase >= kTwoPi) phase -= kTwoPi;
    if (i < x - 1) amplitude += g;
    if (i >= m - x) amplitude -= g;
  }
}

// The character buffer, filled with elements and silence and handed on
// whenever it is full.
uint8_t charBuf[kCharBytes];

struct Filler {
  SampleWriter write;
  void* arg;
  size_t used = 0;
  bool failed = false;

  void flush() {
    if (used && !failed && write(charBuf, used, arg) != 0) failed = true;
    used = 0;
  }
  void put(const uint8_t* src, size_t n) {
    while (n && !failed) {
      const size_t k = std::min(n, kCharBytes - used);
      std::memcpy(charBuf + used, src, k);
      used += k, src += k, n -= k;
      if (used == kCharBytes) flush();
    }
  }
  void silence(size_t n) {
    while (n && !failed) {
      const size_t k = std::min(n, kCharBytes - used);
      std::memset(charBuf + used, kSilence, k);
      used += k, n -= k;
      if (used == kCharBytes) flush();
    }
  }
};

// ---- The sound server -------------------------------------------------------

// The few declarations of its simple API that are used, so that the program
// builds without its headers.
struct pa_simple;
struct PaSampleSpec {
  int format;  // 0: unsigned 8-bit
  uint32_t rate;
  uint8_t channels;
};
constexpr int kPaSampleU8 = 0;
constexpr int kPaStreamPlayback = 1;
using PaNew = pa_simple* (*)(const char*, const char*, int, const char*, const char*, const PaSampleSpec*,
                             const void*, const void*, int*);
using PaWrite = int (*)(pa_simple*, const void*, size_t, int*);
using PaDrain = int (*)(pa_simple*, int*);
using PaFree = void (*)(pa_simple*);

struct DlClose {
  void operator()(void* h) const { dlclose(h); }
};
using Library = std::unique_ptr<void, DlClose>;

Library load(std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (void* h = dlopen(name, RTLD_NOW | RTLD_LOCAL)) return Library(h);
  return nullptr;
}

template <typename Fn>
bool lookUp(const Library& lib, const char* name, Fn* fn) {
  *fn = reinterpret_cast<Fn>(dlsym(lib.get(), name));
  return *fn != nullptr;
}

struct FreeStream {
  PaFree free;
  void operator()(pa_simple* s) const { free(s); }
};

struct Sound {
  Library pulse, maths;
  PaNew paNew = nullptr;
  PaWrite paWrite = nullptr;
  PaDrain paDrain = nullptr;
  PaFree paFree = nullptr;
  MathFn sinFn = nullptr, truncFn = nullptr;
  std::unique_ptr<pa_simple, FreeStream> stream{nullptr, FreeStream{nullptr}};
};
// Released first, then the libraries it came from (members in reverse).
std::unique_ptr<Sound> sound;

ToneStore tones;

int writeStream(const uint8_t* samples, size_t count, void*) {
  int error = 0;
  return sound->paWrite(sound->stream.get(), samples, count, &error) < 0 ? 1 : 0;
}

}  // namespace

void MakeTones(ToneStore* s, int volume, int tone, int L, int sparse, int shape, MathFn sinFn,
               MathFn truncFn) {
  if (L == 0) L = 35;
  if (sparse == 0) sparse = 40;
  if (tone == 0) tone = 475;
  if (shape == 0) shape = 10;
  L = std::clamp(L, 1, kMaxL);
  volume = std::clamp(volume, 0, 100);
  tone = std::clamp(tone, kMorseLimits[1].lo, kMorseLimits[1].hi);
  sparse = std::clamp(sparse, kMorseLimits[3].lo, kMorseLimits[3].hi);
  shape = std::clamp(shape, kMorseLimits[4].lo, kMorseLimits[4].hi);

  const int n = 8 * L;
  const int x = std::max(shape * n / 100, 2);
  // The step is a whole number, as the tone has always been made; but
  // past 128 samples of ramp (slow speeds) that is 0 and the tone silent,
  // so there it is the exact quotient.
  const double g = x <= 128 ? double(128 / x) : 128.0 / x;
  const double step = tone * kTwoPi / kMorseRate;
  s->dot.fill(kSilence);
  makeElement(s->dot.data(), n, x, step, g, volume, sinFn, truncFn);
  s->dotLen = 16 * L;
  s->dash.fill(kSilence);
  makeElement(s->dash.data(), 24 * L, x, step, g, volume, sinFn, truncFn);
  s->dashLen = 32 * L;
  s->letterGap = n * sparse / 5;
  s->wordGap = 4 * n * sparse / 10;
}

int PlayChar(const ToneStore& s, int code, SampleWriter write, void* arg) {
  Filler f{write, arg};
  if (code == ' ') {
    f.silence(size_t(s.wordGap));
  } else {
    const std::string_view dits = kMorseTable[size_t(code & 0xFF)];
    if (dits.empty()) return -1;
    // The gap goes first: the server drops the start of what is written
    // after a drain (some 20 ms), and that must be silence, not the first
    // dot.  Held to a minimum for the same reason when the gaps are short.
    f.silence(size_t(std::max(s.letterGap, kLeadIn)));
    for (char d : dits) {
      if (d == '.') f.put(s.dot.data(), size_t(s.dotLen));
      else f.put(s.dash.data(), size_t(s.dashLen));
    }
  }
  f.flush();
  return f.failed ? 1 : 0;
}

int initMorse(int volume, int tone, int L, int sparse, int shape) {
  auto s = std::make_unique<Sound>();
  s->pulse = load({"libpulse-simple.so.0", "libpulse-simple.so"});
  s->maths = load({"libm.so.6"});
  if (!s->pulse || !s->maths) return -1;
  if (!lookUp(s->pulse, "pa_simple_new", &s->paNew) || !lookUp(s->pulse, "pa_simple_write", &s->paWrite) ||
      !lookUp(s->pulse, "pa_simple_drain", &s->paDrain) || !lookUp(s->pulse, "pa_simple_free", &s->paFree) ||
      !lookUp(s->maths, "sin", &s->sinFn) || !lookUp(s->maths, "trunc", &s->truncFn))
    return -1;
  const PaSampleSpec format{kPaSampleU8, kMorseRate, 1};
  int error = 0;
  pa_simple* stream = s->paNew(nullptr, nullptr, kPaStreamPlayback, nullptr, "klingbox", &format, nullptr,
                               nullptr, &error);
  if (!stream) return 1;
  s->stream = std::unique_ptr<pa_simple, FreeStream>(stream, FreeStream{s->paFree});
  MakeTones(&tones, volume, tone, L, sparse, shape, s->sinFn, s->truncFn);
  sound = std::move(s);
  return 0;
}

int txchar(int code) {
  if (!sound) return 1;
  if (code == 195) return 0;
  const int r = PlayChar(tones, code, writeStream, nullptr);
  if (r == 1) return 1;
  flushMorse();
  return 0;
}

void flushMorse() {
  int error = 0;
  if (sound && sound->stream) sound->paDrain(sound->stream.get(), &error);
}

void deinitMorse() {
  flushMorse();
  sound.reset();
}
