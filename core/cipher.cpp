// File ciphers: ARCFOUR with a dropped stream start, and AES in ECB mode
// with a key derived from the key string.
#include "core/cipher.h"

#include <cstring>

namespace {

// ---------------------------------------------------------------- stream

struct StreamState {
  uint8_t s[256];
  uint8_t i, j;
};

StreamState gStream;

// ----------------------------------------------------------------- block

// Field arithmetic in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1, through the
// exponential and logarithm tables of the generator 3. Everything the cipher
// looks up is derived from them at compile time.
struct BlockTables {
  uint8_t sbox[256];
  uint8_t invSbox[256];
  uint8_t mul2[256], mul3[256], mul9[256], mul11[256], mul13[256], mul14[256];
  // Round tables: SubBytes + MixColumns (enc) and InvSubBytes +
  // InvMixColumns (dec) for the byte in each row of a column.
  uint32_t te[4][256];
  uint32_t td[4][256];
};

constexpr uint32_t rotr(uint32_t w, int n) { return (w >> n) | (w << (32 - n)); }
constexpr uint8_t rotl8(uint8_t b, int n) {
  return static_cast<uint8_t>((b << n) | (b >> (8 - n)));
}

constexpr BlockTables buildTables() {
  BlockTables t{};
  uint8_t expT[256] = {};
  uint8_t logT[256] = {};
  uint8_t x = 1;
  for (int i = 0; i < 255; ++i) {
    expT[i] = x;
    logT[x] = static_cast<uint8_t>(i);
    // x * 3 = x * 2 + x
    uint8_t x2 = static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1b : 0));
    x = static_cast<uint8_t>(x2 ^ x);
  }
  expT[255] = expT[0];
  auto mul = [&](int a, int b) -> uint8_t {
    if (a == 0 || b == 0) return 0;
    return expT[(logT[a] + logT[b]) % 255];
  };
  for (int a = 0; a < 256; ++a) {
    uint8_t inv = a ? expT[(255 - logT[a]) % 255] : 0;
    uint8_t s = static_cast<uint8_t>(inv ^ rotl8(inv, 1) ^ rotl8(inv, 2) ^ rotl8(inv, 3) ^
                                     rotl8(inv, 4) ^ 0x63);
    t.sbox[a] = s;
    t.invSbox[s] = static_cast<uint8_t>(a);
    t.mul2[a] = mul(a, 2);
    t.mul3[a] = mul(a, 3);
    t.mul9[a] = mul(a, 9);
    t.mul11[a] = mul(a, 11);
    t.mul13[a] = mul(a, 13);
    t.mul14[a] = mul(a, 14);
  }
  for (int a = 0; a < 256; ++a) {
    uint8_t s = t.sbox[a];
    uint32_t e = (uint32_t{t.mul2[s]} << 24) | (uint32_t{s} << 16) | (uint32_t{s} << 8) |
                 t.mul3[s];
    uint8_t v = t.invSbox[a];
    uint32_t d = (uint32_t{t.mul14[v]} << 24) | (uint32_t{t.mul9[v]} << 16) |
                 (uint32_t{t.mul13[v]} << 8) | t.mul11[v];
    for (int r = 0; r < 4; ++r) {
      t.te[r][a] = r ? rotr(e, 8 * r) : e;
      t.td[r][a] = r ? rotr(d, 8 * r) : d;
    }
  }
  return t;
}

constexpr BlockTables kT = buildTables();

struct BlockState {
  uint32_t enc[64];  // expanded key, big-endian words
  uint32_t dec[64];  // the same for the equivalent inverse cipher
  int rounds;        // 10, 12 or 14; 0 before the first set-up
};

BlockState gBlock;

uint32_t subWord(uint32_t w) {
  return (uint32_t{kT.sbox[w >> 24]} << 24) | (uint32_t{kT.sbox[(w >> 16) & 0xff]} << 16) |
         (uint32_t{kT.sbox[(w >> 8) & 0xff]} << 8) | kT.sbox[w & 0xff];
}

uint32_t invMixColumn(uint32_t w) {
  uint8_t a0 = w >> 24, a1 = (w >> 16) & 0xff, a2 = (w >> 8) & 0xff, a3 = w & 0xff;
  uint8_t b0 = kT.mul14[a0] ^ kT.mul11[a1] ^ kT.mul13[a2] ^ kT.mul9[a3];
  uint8_t b1 = kT.mul9[a0] ^ kT.mul14[a1] ^ kT.mul11[a2] ^ kT.mul13[a3];
  uint8_t b2 = kT.mul13[a0] ^ kT.mul9[a1] ^ kT.mul14[a2] ^ kT.mul11[a3];
  uint8_t b3 = kT.mul11[a0] ^ kT.mul13[a1] ^ kT.mul9[a2] ^ kT.mul14[a3];
  return (uint32_t{b0} << 24) | (uint32_t{b1} << 16) | (uint32_t{b2} << 8) | b3;
}

inline uint32_t load32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline void store32(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w >> 24);
  p[1] = static_cast<uint8_t>(w >> 16);
  p[2] = static_cast<uint8_t>(w >> 8);
  p[3] = static_cast<uint8_t>(w);
}

void expandKey(const uint8_t* key, int nk) {
  BlockState& b = gBlock;
  std::memset(&b, 0, sizeof b);
  b.rounds = nk + 6;
  const int total = 4 * (b.rounds + 1);
  for (int i = 0; i < nk; ++i) b.enc[i] = load32(key + 4 * i);
  uint32_t rcon = 0x01;
  for (int i = nk; i < total; ++i) {
    uint32_t w = b.enc[i - 1];
    if (i % nk == 0) {
      w = subWord(rotr(w, 24)) ^ (rcon << 24);
      rcon = kT.mul2[rcon];
    } else if (nk > 6 && i % nk == 4) {
      w = subWord(w);
    }
    b.enc[i] = b.enc[i - nk] ^ w;
  }
  // Decryption keys: round keys in reverse order, the inner ones passed
  // through InvMixColumns so the round tables can be used as for enciphering.
  const int nr = b.rounds;
  for (int c = 0; c < 4; ++c) {
    b.dec[c] = b.enc[4 * nr + c];
    b.dec[4 * nr + c] = b.enc[c];
  }
  for (int r = 1; r < nr; ++r)
    for (int c = 0; c < 4; ++c) b.dec[4 * r + c] = invMixColumn(b.enc[4 * (nr - r) + c]);
}

// Before any key set-up the cipher runs with the all-zero AES-128 key, like
// an empty key string, rather than with an unexpanded schedule.
void ensureKey() {
  if (gBlock.rounds == 0) {
    const uint8_t zero[16] = {};
    expandKey(zero, 4);
  }
}

inline void encBlock(uint8_t* p) {
  const uint32_t* rk = gBlock.enc;
  const int nr = gBlock.rounds;
  uint32_t s0 = load32(p) ^ rk[0], s1 = load32(p + 4) ^ rk[1];
  uint32_t s2 = load32(p + 8) ^ rk[2], s3 = load32(p + 12) ^ rk[3];
  const auto& T = kT.te;
  for (int r = 1; r < nr; ++r) {
    rk += 4;
    uint32_t t0 = T[0][s0 >> 24] ^ T[1][(s1 >> 16) & 0xff] ^ T[2][(s2 >> 8) & 0xff] ^
                  T[3][s3 & 0xff] ^ rk[0];
    uint32_t t1 = T[0][s1 >> 24] ^ T[1][(s2 >> 16) & 0xff] ^ T[2][(s3 >> 8) & 0xff] ^
                  T[3][s0 & 0xff] ^ rk[1];
    uint32_t t2 = T[0][s2 >> 24] ^ T[1][(s3 >> 16) & 0xff] ^ T[2][(s0 >> 8) & 0xff] ^
                  T[3][s1 & 0xff] ^ rk[2];
    uint32_t t3 = T[0][s3 >> 24] ^ T[1][(s0 >> 16) & 0xff] ^ T[2][(s1 >> 8) & 0xff] ^
                  T[3][s2 & 0xff] ^ rk[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  rk += 4;
  const uint8_t* S = kT.sbox;
  auto last = [S](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return (uint32_t{S[a >> 24]} << 24) | (uint32_t{S[(b >> 16) & 0xff]} << 16) |
           (uint32_t{S[(c >> 8) & 0xff]} << 8) | S[d & 0xff];
  };
  store32(p, last(s0, s1, s2, s3) ^ rk[0]);
  store32(p + 4, last(s1, s2, s3, s0) ^ rk[1]);
  store32(p + 8, last(s2, s3, s0, s1) ^ rk[2]);
  store32(p + 12, last(s3, s0, s1, s2) ^ rk[3]);
}

inline void decBlock(uint8_t* p) {
  const uint32_t* rk = gBlock.dec;
  const int nr = gBlock.rounds;
  uint32_t s0 = load32(p) ^ rk[0], s1 = load32(p + 4) ^ rk[1];
  uint32_t s2 = load32(p + 8) ^ rk[2], s3 = load32(p + 12) ^ rk[3];
  const auto& T = kT.td;
  for (int r = 1; r < nr; ++r) {
    rk += 4;
    uint32_t t0 = T[0][s0 >> 24] ^ T[1][(s3 >> 16) & 0xff] ^ T[2][(s2 >> 8) & 0xff] ^
                  T[3][s1 & 0xff] ^ rk[0];
    uint32_t t1 = T[0][s1 >> 24] ^ T[1][(s0 >> 16) & 0xff] ^ T[2][(s3 >> 8) & 0xff] ^
                  T[3][s2 & 0xff] ^ rk[1];
    uint32_t t2 = T[0][s2 >> 24] ^ T[1][(s1 >> 16) & 0xff] ^ T[2][(s0 >> 8) & 0xff] ^
                  T[3][s3 & 0xff] ^ rk[2];
    uint32_t t3 = T[0][s3 >> 24] ^ T[1][(s2 >> 16) & 0xff] ^ T[2][(s1 >> 8) & 0xff] ^
                  T[3][s0 & 0xff] ^ rk[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  rk += 4;
  const uint8_t* S = kT.invSbox;
  auto last = [S](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return (uint32_t{S[a >> 24]} << 24) | (uint32_t{S[(b >> 16) & 0xff]} << 16) |
           (uint32_t{S[(c >> 8) & 0xff]} << 8) | S[d & 0xff];
  };
  store32(p, last(s0, s3, s2, s1) ^ rk[0]);
  store32(p + 4, last(s1, s0, s3, s2) ^ rk[1]);
  store32(p + 8, last(s2, s1, s0, s3) ^ rk[2]);
  store32(p + 12, last(s3, s2, s1, s0) ^ rk[3]);
}

}  // namespace

// ---------------------------------------------------------------- stream

void arcfourSetup(const uint8_t* key, size_t len, int drop) {
  // An empty key would leave nothing to index the key bytes by; it acts as
  // the single byte 0 (the string's terminator), so the result is defined.
  static constexpr uint8_t kZero = 0;
  if (len == 0) key = &kZero, len = 1;
  if (len > static_cast<size_t>(kArcfourKeyMax)) len = kArcfourKeyMax;
  StreamState& st = gStream;
  for (int i = 0; i < 256; ++i) st.s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  size_t k = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + st.s[i] + key[k]);
    if (++k == len) k = 0;
    uint8_t t = st.s[i];
    st.s[i] = st.s[j];
    st.s[j] = t;
  }
  st.i = st.j = 0;
  uint8_t i = 0;
  j = 0;
  for (int n = 0; n < drop; ++n) {
    ++i;
    j = static_cast<uint8_t>(j + st.s[i]);
    uint8_t t = st.s[i];
    st.s[i] = st.s[j];
    st.s[j] = t;
  }
  st.i = i;
  st.j = j;
}

int arcfour(EditorState*, const char* key) {
  if (key) {
    size_t len = strnlen(key, kArcfourKeyMax);
    arcfourSetup(reinterpret_cast<const uint8_t*>(key), len, kArcfourDrop);
    return 0;
  }
  StreamState& st = gStream;
  ++st.i;
  st.j = static_cast<uint8_t>(st.j + st.s[st.i]);
  uint8_t t = st.s[st.i];
  st.s[st.i] = st.s[st.j];
  st.s[st.j] = t;
  return st.s[static_cast<uint8_t>(st.s[st.i] + st.s[st.j])];
}

void arcfourXor(uint8_t* data, size_t n) {
  // Work on locals so the compiler keeps the indices in registers.
  uint8_t* s = gStream.s;
  uint8_t i = gStream.i, j = gStream.j;
  for (size_t k = 0; k < n; ++k) {
    ++i;
    uint8_t si = s[i];
    j = static_cast<uint8_t>(j + si);
    uint8_t sj = s[j];
    s[i] = sj;
    s[j] = si;
    data[k] ^= s[static_cast<uint8_t>(si + sj)];
  }
  gStream.i = i;
  gStream.j = j;
}

// ----------------------------------------------------------------- block

int rijndaelKeyFromString(const char* key, uint8_t out[32]) {
  size_t len = key ? std::strlen(key) : 0;
  // One spare zero-filled stretch behind the buffer: the filling rule looks
  // up to five bytes ahead, which for keys under five bytes lies past the 32
  // key bytes; those positions read as zero.
  uint8_t k[32 + 8] = {};
  std::memcpy(k, key ? key : "", len < 32 ? len : 32);
  for (size_t n = 0; len + n < 32; ++n)
    k[len + n] = static_cast<uint8_t>(k[n] ^ (k[n + 5] >> 4) ^ ((k[n + 3] << 4) & 0xff));
  std::memcpy(out, k, 32);
  if (len <= 16) return 16;
  if (len <= 24) return 24;
  return 32;
}

void keyRijndael(const char* key) {
  uint8_t k[32];
  int bytes = rijndaelKeyFromString(key, k);
  keyRijndaelRaw(k, bytes);
  std::memset(k, 0, sizeof k);
}

int keyRijndaelRaw(const uint8_t* key, int bytes) {
  if (bytes != 16 && bytes != 24 && bytes != 32) return 1;
  expandKey(key, bytes / 4);
  return 0;
}

void rijndael(uint8_t block[16]) {
  ensureKey();
  encBlock(block);
}

void unRijndael(uint8_t block[16]) {
  ensureKey();
  decBlock(block);
}

void rijndaelBlocks(uint8_t* data, size_t n) {
  ensureKey();
  for (size_t k = 0; k + 16 <= n; k += 16) encBlock(data + k);
}

void unRijndaelBlocks(uint8_t* data, size_t n) {
  ensureKey();
  for (size_t k = 0; k + 16 <= n; k += 16) decBlock(data + k);
}
