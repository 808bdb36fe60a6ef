#include "core/encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/editor_state.h"

namespace {

constexpr uint32_t kCpMask = 0xffffff;  // cpOut keeps the code point in 24 bits
constexpr uint32_t kReplacement = 0xFFFD;

using CpTable = std::array<uint32_t, 256>;

constexpr CpTable defaultCpIn() {
  CpTable t{};
  for (int b = 0; b < 256; ++b) t[b] = cp437[b];
  return t;
}

// Byte and code point packed as cpOut holds them, stably sorted by code
// point so that of two bytes with one code point the lower byte comes first.
constexpr CpTable buildCpOut(const CpTable& in) {
  CpTable out{};
  for (uint32_t b = 0; b < 256; ++b) out[b] = (b << 24) | (in[b] & kCpMask);
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (int i = 0; i + 1 < 256; ++i) {
      if ((out[i] & kCpMask) > (out[i + 1] & kCpMask)) {
        uint32_t t = out[i];
        out[i] = out[i + 1];
        out[i + 1] = t;
        swapped = true;
      }
    }
  }
  return out;
}

constexpr CpTable kDefaultCpIn = defaultCpIn();
constexpr CpTable kDefaultCpOut = buildCpOut(kDefaultCpIn);

// The tables start as code page 437 so that a conversion before setupCp
// still gives sound answers.
CpTable cpIn = kDefaultCpIn;
CpTable cpOut = kDefaultCpOut;
bool cpPrepared = false;
bool charLoss = false;

tchar unistrBuf[kUnistrMax + 1];

// Reads the 256 little-endian code points of a "codepage" file; false when
// there is no configuration directory or fewer than 1024 bytes can be read.
bool readCodepageFile(const char* dir, CpTable& out) {
  if (!dir || !*dir) return false;
  char path[kPathMax];
  size_t dl = strnlen(dir, kPathMax);
  const char* sep = (dl > 0 && dir[dl - 1] == '/') ? "" : "/";
  int w = snprintf(path, sizeof path, "%.*s%scodepage", int(dl), dir, sep);
  if (w < 0 || size_t(w) >= sizeof path) return false;
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  uint8_t raw[1024];
  size_t got = fread(raw, 1, sizeof raw, f);
  fclose(f);
  if (got != sizeof raw) return false;
  for (int b = 0; b < 256; ++b) {
    const uint8_t* p = raw + 4 * b;
    uint32_t cp = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    // A value beyond Unicode would neither encode as UTF-8 nor fit the
    // 24 bits of cpOut: read it as the replacement character.
    out[b] = cp > 0x10FFFF ? kReplacement : cp;
  }
  return true;
}

}  // namespace

// --- 32-bit strings ---

int utftotstr(tchar* dst, const char* utf, int n) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(utf);
  if (n <= 0) n = int(strlen(utf));
  int i = 0, g = 0;
  while (i < n) {
    int len = 1;
    dst[g++] = uni8(p + i, n - i, &len);
    i += len > 0 ? len : 1;
  }
  dst[g] = 0;
  return g;
}

char* tstrtoutf(char* dst, const tchar* str, int max) {
  uint8_t* out = reinterpret_cast<uint8_t*>(dst);
  int n = 0;
  for (; *str && n <= max; ++str) n = utf8(out, n, *str);
  out[n] = 0;
  return dst;
}

int tstrlen(const tchar* str) {
  int n = 0;
  while (str[n]) ++n;
  return n;
}

int utfstrlen(const char* str) {
  int n = 0;
  for (const uint8_t* p = reinterpret_cast<const uint8_t*>(str); *p; ++p)
    if (*p < 0x80 || *p > 0xBF) ++n;
  return n;
}

tchar* unistr(const char* bytes) {
  int n = int(strnlen(bytes, kUnistrMax));
  unicpy(unistrBuf, bytes, n);
  unistrBuf[n] = 0;
  return unistrBuf;
}

void unicpy(tchar* dst, const char* bytes, int n) {
  for (int i = 0; i < n; ++i) dst[i] = uint8_t(bytes[i]);
}

int ToUni(char* buf, int* len, int cap) {
  int n = *len;
  if (n < 0 || n > 1024) return 1;
  int grown = n;
  for (int i = 0; i < n; ++i)
    if (uint8_t(buf[i]) >= 0x80) ++grown;
  if (grown > cap) return 1;
  // Backwards, so that every byte is read before its place is written.
  int w = grown;
  for (int i = n - 1; i >= 0; --i) {
    uint8_t b = uint8_t(buf[i]);
    if (b >= 0x80) {
      buf[--w] = char(0x80 | (b & 0x3f));
      buf[--w] = char(0xC0 | (b >> 6));
    } else {
      buf[--w] = char(b);
    }
  }
  *len = grown;
  return 0;
}

// --- Code page ---

int setupCp(EditorState* V) {
  if (cpPrepared) return 1;
  if (!readCodepageFile(V ? V->cfgDir : nullptr, cpIn)) cpIn = kDefaultCpIn;
  cpOut = buildCpOut(cpIn);
  cpPrepared = true;
  return 1;
}

uint8_t cpconv(tchar cp) {
  int lo = 0, hi = 256;
  for (int probe = 0; probe < 9; ++probe) {
    int mid = (lo + hi) / 2;
    if (cp < (cpOut[mid] & kCpMask))
      hi = mid;
    else
      lo = mid;
  }
  if ((cpOut[lo] & kCpMask) == cp) return uint8_t(cpOut[lo] >> 24);
  charLoss = true;
  return '?';
}

const uint32_t* CpIn() { return cpIn.data(); }

bool& CharLoss() { return charLoss; }

void ResetCp() {
  cpIn = kDefaultCpIn;
  cpOut = kDefaultCpOut;
  cpPrepared = false;
  charLoss = false;
}
