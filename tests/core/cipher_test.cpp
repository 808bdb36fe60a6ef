// File ciphers: published vectors, the stream drop, key derivation from the
// key string, and round trips as the file reader and writer use them.
#include "core/cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> hex(const char* s) {
  std::vector<uint8_t> out;
  for (; s[0] && s[1]; s += 2) out.push_back(static_cast<uint8_t>(std::stoi(std::string(s, 2), nullptr, 16)));
  return out;
}

std::vector<uint8_t> streamBytes(size_t n) {
  std::vector<uint8_t> out(n);
  for (auto& b : out) b = static_cast<uint8_t>(arcfour(nullptr, nullptr));
  return out;
}

std::vector<uint8_t> randomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> out(n);
  for (auto& b : out) b = static_cast<uint8_t>(gen());
  return out;
}

const char* kPlain = "00112233445566778899aabbccddeeff";

// Enciphers the FIPS-197 example plaintext under the current key.
std::vector<uint8_t> encExample() {
  auto b = hex(kPlain);
  rijndael(b.data());
  return b;
}

// ---------------------------------------------------------------- stream

TEST(Arcfour, PublishedVectorsBeforeTheDrop) {
  struct Case {
    const char* key;
    const char* plain;
    const char* cipher;
  } cases[] = {
      {"Key", "Plaintext", "bbf316e8d940af0ad3"},
      {"Wiki", "pedia", "1021bf0420"},
      {"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
  };
  for (const auto& c : cases) {
    arcfourSetup(reinterpret_cast<const uint8_t*>(c.key), std::strlen(c.key), 0);
    std::vector<uint8_t> data(c.plain, c.plain + std::strlen(c.plain));
    arcfourXor(data.data(), data.size());
    EXPECT_EQ(data, hex(c.cipher)) << c.key;
  }
  // RFC 6229, 40-bit key, key-stream offsets 0 and 1536.
  const uint8_t key[] = {1, 2, 3, 4, 5};
  arcfourSetup(key, sizeof key, 0);
  EXPECT_EQ(streamBytes(32),
            hex("b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919"));
  arcfourSetup(key, sizeof key, kArcfourDrop);
  EXPECT_EQ(streamBytes(16), hex("d8729db41882259bee4f825325f5a130"));
}

TEST(Arcfour, FileKeyDropsExactly1536Bytes) {
  const char* key = "@secret key";
  arcfourSetup(reinterpret_cast<const uint8_t*>(key), std::strlen(key), 0);
  auto full = streamBytes(1536 + 64);
  EXPECT_EQ(arcfour(nullptr, key), 0);
  auto after = streamBytes(64);
  EXPECT_EQ(after, std::vector<uint8_t>(full.begin() + 1536, full.end()));
}

TEST(Arcfour, BulkXorContinuesTheSameStreamAcrossChunks) {
  auto plain = randomBytes(10000, 1);
  arcfour(nullptr, "@k");
  auto ks = streamBytes(plain.size());

  // Uneven chunks, as a reader carrying bytes over between reads would use.
  auto data = plain;
  arcfour(nullptr, "@k");
  size_t sizes[] = {1, 15, 4096, 4080, 7, 0, 1801};
  size_t at = 0;
  for (size_t n : sizes) {
    arcfourXor(data.data() + at, n);
    at += n;
  }
  ASSERT_EQ(at, data.size());
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(data[i], plain[i] ^ ks[i]) << i;

  // Set up again: the same key deciphers.
  arcfour(nullptr, "@k");
  arcfourXor(data.data(), data.size());
  EXPECT_EQ(data, plain);
}

TEST(Arcfour, DifferentKeysGiveDifferentStreams) {
  arcfour(nullptr, "@a");
  auto a = streamBytes(32);
  arcfour(nullptr, "@b");
  auto b = streamBytes(32);
  EXPECT_NE(a, b);
}

TEST(Arcfour, LongKeyIsCutTo255Bytes) {
  std::string key(300, 'x');
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<char>('!' + i % 90);
  key[0] = '@';
  arcfour(nullptr, key.c_str());
  auto longStream = streamBytes(256);
  arcfour(nullptr, key.substr(0, kArcfourKeyMax).c_str());
  EXPECT_EQ(streamBytes(256), longStream);
  // A key of 256 bytes (a multiple of 256) must not be used whole either.
  arcfour(nullptr, key.substr(0, 256).c_str());
  EXPECT_EQ(streamBytes(256), longStream);
  // The raw set-up cuts the same way.
  arcfourSetup(reinterpret_cast<const uint8_t*>(key.data()), key.size(), kArcfourDrop);
  EXPECT_EQ(streamBytes(256), longStream);
}

TEST(Arcfour, EmptyKeyActsAsSingleZeroByte) {
  const uint8_t zero = 0;
  arcfourSetup(&zero, 1, kArcfourDrop);
  auto expected = streamBytes(64);
  EXPECT_EQ(arcfour(nullptr, ""), 0);
  EXPECT_EQ(streamBytes(64), expected);
  arcfourSetup(nullptr, 0, kArcfourDrop);
  EXPECT_EQ(streamBytes(64), expected);
}

// ----------------------------------------------------------------- block

TEST(Rijndael, Fips197ExampleVectorsBothWays) {
  struct Case {
    int bytes;
    const char* cipher;
  } cases[] = {
      {16, "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {24, "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {32, "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& c : cases) {
    uint8_t key[32];
    for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(keyRijndaelRaw(key, c.bytes), 0);
    auto block = hex(kPlain);
    rijndael(block.data());
    EXPECT_EQ(block, hex(c.cipher)) << c.bytes;
    unRijndael(block.data());
    EXPECT_EQ(block, hex(kPlain)) << c.bytes;
    block = hex(c.cipher);
    unRijndaelBlocks(block.data(), 16);
    EXPECT_EQ(block, hex(kPlain)) << c.bytes;
    rijndaelBlocks(block.data(), 16);
    EXPECT_EQ(block, hex(c.cipher)) << c.bytes;
  }
}

TEST(Rijndael, RawKeyOfWrongSizeIsRefusedAndKeepsTheKey) {
  uint8_t key[32] = {};
  for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(i);
  ASSERT_EQ(keyRijndaelRaw(key, 16), 0);
  EXPECT_EQ(keyRijndaelRaw(key, 20), 1);
  EXPECT_EQ(keyRijndaelRaw(key, 0), 1);
  EXPECT_EQ(encExample(), hex("69c4e0d86a7b0430d8cdb78070b4c55a"));
}

// Expected keys and cipher blocks below were computed outside this program.
TEST(Rijndael, KeyStringOf16BytesIsUsedAsIs) {
  const char* s = "0123456789abcdef";
  uint8_t k[32];
  EXPECT_EQ(rijndaelKeyFromString(s, k), 16);
  EXPECT_EQ(std::memcmp(k, s, 16), 0);
  keyRijndael(s);
  EXPECT_EQ(encExample(), hex("6567934ae3ed03ea072e51ced34cd07e"));
}

TEST(Rijndael, KeyStringOf17BytesGivesAes192WithDerivedTail) {
  const char* s = "0123456789abcdefg";
  uint8_t k[32];
  EXPECT_EQ(rijndaelKeyFromString(s, k), 24);
  EXPECT_EQ(std::vector<uint8_t>(k, k + 24),
            hex("30313233343536373839616263646566670372615047b3a0"));
  keyRijndael(s);
  EXPECT_EQ(encExample(), hex("751462e987c19b91d1b1291c35c9e76f"));
}

TEST(Rijndael, KeyStringOf40BytesGivesAes256FromFirst32) {
  const char* s = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
  uint8_t k[32];
  EXPECT_EQ(rijndaelKeyFromString(s, k), 32);
  EXPECT_EQ(std::memcmp(k, s, 32), 0);
  keyRijndael(s);
  EXPECT_EQ(encExample(), hex("45c0c3319f63496cb87bbdf98c21a75d"));
  // Bytes past the 32nd do not matter.
  keyRijndael("0123456789abcdefghijklmnopqrstuvZZZZZZZZ");
  EXPECT_EQ(encExample(), hex("45c0c3319f63496cb87bbdf98c21a75d"));
}

TEST(Rijndael, KeySizeBoundaries) {
  uint8_t k[32];
  EXPECT_EQ(rijndaelKeyFromString(std::string(24, 'k').c_str(), k), 24);
  EXPECT_EQ(rijndaelKeyFromString(std::string(25, 'k').c_str(), k), 32);
  EXPECT_EQ(rijndaelKeyFromString(std::string(32, 'k').c_str(), k), 32);
}

TEST(Rijndael, ShortKeyStringsDeriveWithinTheBuffer) {
  // The filling rule looks five bytes ahead; for keys under five bytes those
  // positions lie past the 32-byte buffer and must read as zero.
  struct Case {
    const char* key;
    const char* derived;
  } cases[] = {
      {"", "0000000000000000000000000000000000000000000000000000000000000000"},
      {"a", "6161616161616161616161616161616161616161616161616161616161616161"},
      {"ab", "6162616261626162616261626162616261626162616261626162616261626162"},
      {"abc", "6162636162636162636162636162636162636162636162636162636162636162"},
      {"abcd", "6162636421724354616263642172435461626364217243546162636421724354"},
  };
  for (const auto& c : cases) {
    uint8_t k[32];
    std::memset(k, 0xee, sizeof k);
    EXPECT_EQ(rijndaelKeyFromString(c.key, k), 16) << c.key;
    EXPECT_EQ(std::vector<uint8_t>(k, k + 32), hex(c.derived)) << c.key;
  }
  keyRijndael("abcd");
  EXPECT_EQ(encExample(), hex("debbc5bf85edf5c5439e675567ca347c"));
  // An empty key and a missing key both give the all-zero AES-128 key.
  keyRijndael("");
  EXPECT_EQ(encExample(), hex("c8a331ff8edd3db175e1545dbefb760b"));
  keyRijndael(nullptr);
  EXPECT_EQ(encExample(), hex("c8a331ff8edd3db175e1545dbefb760b"));
}

TEST(Rijndael, RoundTripsRandomDataForEveryKeySize) {
  const char* keys[] = {"", "short", "0123456789abcdefg", "a key that is well over 32 bytes long"};
  auto plain = randomBytes(4096 + 100, 7);
  for (const char* key : keys) {
    keyRijndael(key);
    auto data = plain;
    rijndaelBlocks(data.data(), 4096);
    // A tail shorter than a block is left alone.
    EXPECT_TRUE(std::equal(data.begin() + 4096, data.end(), plain.begin() + 4096));
    EXPECT_FALSE(std::equal(data.begin(), data.begin() + 4096, plain.begin())) << key;
    // Each block on its own: the bulk call equals block-by-block calls.
    auto single = plain;
    for (size_t i = 0; i < 4096; i += 16) rijndael(single.data() + i);
    EXPECT_EQ(single, data) << key;
    // Set up anew, as a reader does, and decipher.
    keyRijndael(key);
    unRijndaelBlocks(data.data(), 4096);
    EXPECT_EQ(data, plain) << key;
  }
}

TEST(Rijndael, EqualBlocksEncipherAlikeWithoutChaining) {
  keyRijndael("k");
  std::vector<uint8_t> data(48, 'x');
  rijndaelBlocks(data.data(), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 16, data.begin() + 16));
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 16, data.begin() + 32));
}

}  // namespace
