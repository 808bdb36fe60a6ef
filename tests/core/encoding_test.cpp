#include "core/encoding.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/editor_state.h"

namespace {

// --- 32-bit strings ---

TEST(Utf8Strings, DecodesEveryLengthOfSequence) {
  tchar out[32];
  int n = utftotstr(out, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", 0);
  ASSERT_EQ(n, 5);
  EXPECT_EQ(out[0], tchar('a'));
  EXPECT_EQ(out[1], 0xE9u);
  EXPECT_EQ(out[2], 0x20ACu);
  EXPECT_EQ(out[3], 0x1F600u);
  EXPECT_EQ(out[4], tchar('z'));
  EXPECT_EQ(out[5], 0u);
}

TEST(Utf8Strings, CountLimitsTheInput) {
  tchar out[8];
  EXPECT_EQ(utftotstr(out, "abcdef", 3), 3);
  EXPECT_EQ(out[2], tchar('c'));
  EXPECT_EQ(out[3], 0u);
}

TEST(Utf8Strings, SequenceCutByTheCountDoesNotReadPastIt) {
  // The euro sign's third byte lies past the count: it must not be used;
  // the two bytes before it are no character and stand for themselves.
  const char bytes[] = "\xE2\x82\xAC";
  tchar out[8];
  EXPECT_EQ(utftotstr(out, bytes, 2), 2);
  EXPECT_EQ(out[0], 0xDCE2u);
  EXPECT_EQ(out[1], 0xDC82u);
  EXPECT_EQ(out[2], 0u);
  // A lead byte at the very end of a C string: one character, no overrun.
  EXPECT_EQ(utftotstr(out, "x\xF0", 0), 2);
  EXPECT_EQ(out[2], 0u);
}

TEST(Utf8Strings, StrayBytesAreOneCharacterEach) {
  tchar out[8];
  EXPECT_EQ(utftotstr(out, "\x80\xFF" "a", 0), 3);
  EXPECT_EQ(out[0], 0xDC80u);
  EXPECT_EQ(out[1], 0xDCFFu);
  EXPECT_EQ(out[2], tchar('a'));
}

TEST(Utf8Strings, EncodeStopsOnlyAfterPassingMax) {
  const tchar three[] = {0xE9, 0xE9, 0xE9, 0};
  char out[16];
  tstrtoutf(out, three, 4);
  EXPECT_EQ(strlen(out), 6u);
  const tchar ascii[] = {'a', 'b', 'c', 'd', 'e', 'f', 0};
  EXPECT_STREQ(tstrtoutf(out, ascii, 3), "abcd");
  EXPECT_STREQ(tstrtoutf(out, ascii, 100), "abcdef");
  // A 4-byte character as the last one may run 4 bytes past max.
  const tchar wide[] = {'a', 0x1F600, 'b', 0};
  tstrtoutf(out, wide, 1);
  EXPECT_STREQ(out, "a\xF0\x9F\x98\x80");
}

TEST(Utf8Strings, RoundTripThroughBothForms) {
  const char* text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x94 \xCE\xA9\xF0\x9F\x98\x80";
  tchar wide[64];
  int n = utftotstr(wide, text, 0);
  EXPECT_EQ(tstrlen(wide), n);
  EXPECT_EQ(utfstrlen(text), n);
  char back[64];
  EXPECT_STREQ(tstrtoutf(back, wide, 60), text);
}

TEST(Utf8Strings, Lengths) {
  const tchar empty[] = {0};
  EXPECT_EQ(tstrlen(empty), 0);
  EXPECT_EQ(utfstrlen(""), 0);
  EXPECT_EQ(utfstrlen("h\xC3\xA9llo\xE2\x82\xAC"), 6);
}

TEST(ByteStrings, WidenWithoutSignExtension) {
  tchar* w = unistr("a\xE9\xFF");
  EXPECT_EQ(w[0], tchar('a'));
  EXPECT_EQ(w[1], 0xE9u);
  EXPECT_EQ(w[2], 0xFFu);
  tchar dst[3];
  unicpy(dst, "\x80z\x01", 3);
  EXPECT_EQ(dst[0], 0x80u);
  EXPECT_EQ(dst[1], tchar('z'));
  EXPECT_EQ(dst[2], 0x01u);
}

TEST(ByteStrings, UnistrCutsAtItsBuffer) {
  std::string longText(600, 'q');
  longText[kUnistrMax - 1] = 'e';
  tchar* w = unistr(longText.c_str());
  EXPECT_EQ(w[kUnistrMax - 1], tchar('e'));
}

TEST(ByteStrings, ToUniGrowsLatin1InPlace) {
  char buf[16] = "caf\xE9 \xFF!";
  int len = 7;
  EXPECT_EQ(ToUni(buf, &len, sizeof buf), 0);
  EXPECT_EQ(len, 9);
  EXPECT_EQ(std::string(buf, len), "caf\xC3\xA9 \xC3\xBF!");
  char ascii[8] = "plain";
  len = 5;
  EXPECT_EQ(ToUni(ascii, &len, sizeof ascii), 0);
  EXPECT_EQ(len, 5);
  EXPECT_STREQ(ascii, "plain");
}

TEST(ByteStrings, ToUniRefusesLongTextAndTooSmallBuffer) {
  std::vector<char> big(3000, '\xE9');
  int len = 1025;
  EXPECT_EQ(ToUni(big.data(), &len, int(big.size())), 1);
  EXPECT_EQ(len, 1025);
  EXPECT_EQ(big[0], '\xE9');
  char small[4] = {'\xE9', '\xE9', 'a', 0};
  len = 3;
  EXPECT_EQ(ToUni(small, &len, 4), 1);  // would need 5 bytes
  EXPECT_EQ(len, 3);
  EXPECT_EQ(small[0], '\xE9');
}

// --- Code page ---

class CodePage : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCp();
    V = std::make_unique<EditorState>();
    char tmpl[] = "/tmp/vexor-cp-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    snprintf(V->cfgDir, sizeof V->cfgDir, "%s/", dir.c_str());
  }
  void TearDown() override {
    unlink((dir + "/codepage").c_str());
    rmdir(dir.c_str());
    ResetCp();
  }
  void writeFile(const std::vector<uint32_t>& cps, size_t bytes) {
    std::vector<uint8_t> raw;
    for (uint32_t cp : cps)
      for (int k = 0; k < 4; ++k) raw.push_back(uint8_t(cp >> (8 * k)));
    raw.resize(bytes, 0);
    FILE* f = fopen((dir + "/codepage").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite(raw.data(), 1, raw.size(), f), raw.size());
    fclose(f);
  }
  // Identity page except byte 0x80, which holds the euro sign.
  static std::vector<uint32_t> euroPage() {
    std::vector<uint32_t> cps(256);
    for (uint32_t b = 0; b < 256; ++b) cps[b] = b;
    cps[0x80] = 0x20AC;
    return cps;
  }
  std::unique_ptr<EditorState> V;
  std::string dir;
};

TEST_F(CodePage, BuiltInControlRange) {
  EXPECT_EQ(setupCp(V.get()), 1);
  const uint32_t* in = CpIn();
  EXPECT_EQ(in[0x00], 0x0000u);
  EXPECT_EQ(in[0x09], 0x0009u);  // TAB stays TAB
  EXPECT_EQ(in[0x0D], 0x266Au);
  EXPECT_EQ(in[0x7F], 0x2302u);
  EXPECT_EQ(in[0x82], 0x00E9u);
  CharLoss() = false;
  EXPECT_EQ(cpconv(0x266A), 0x0D);
  EXPECT_EQ(cpconv(0x0009), 0x09);
  EXPECT_EQ(cpconv(0x00E9), 0x82);
  EXPECT_FALSE(CharLoss());
}

TEST_F(CodePage, MissingCharacterIsQuestionMarkAndFlagged) {
  setupCp(V.get());
  CharLoss() = false;
  EXPECT_EQ(cpconv(0x20AC), '?');
  EXPECT_TRUE(CharLoss());
  CharLoss() = false;
  EXPECT_EQ(cpconv(0x10FFFF), '?');  // above every entry
  EXPECT_TRUE(CharLoss());
  CharLoss() = false;
  // Bits above the 24 kept per entry must not make a false match with 'A'.
  EXPECT_EQ(cpconv(0x1000041), '?');
  EXPECT_TRUE(CharLoss());
}

TEST_F(CodePage, EveryByteRoundTrips) {
  setupCp(V.get());
  CharLoss() = false;
  for (int b = 0; b < 256; ++b) EXPECT_EQ(cpconv(CpIn()[b]), b) << "byte " << b;
  EXPECT_FALSE(CharLoss());
}

TEST_F(CodePage, ConvertsBeforeSetupAsCodePage437) {
  EXPECT_EQ(cpconv(0x00E9), 0x82);
  EXPECT_EQ(CpIn()[0x0D], 0x266Au);
}

TEST_F(CodePage, ShortFileIsIgnored) {
  writeFile(euroPage(), 1023);
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x00C7u);
  EXPECT_EQ(cpconv(0x00E9), 0x82);
}

TEST_F(CodePage, FullFileReplacesThePage) {
  writeFile(euroPage(), 1024);
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x20ACu);
  EXPECT_EQ(CpIn()[0x41], 0x41u);
  CharLoss() = false;
  EXPECT_EQ(cpconv(0x20AC), 0x80);
  EXPECT_EQ(cpconv(0x00E9), 0xE9);
  EXPECT_FALSE(CharLoss());
  EXPECT_EQ(cpconv(0x0080), '?');  // no byte holds U+0080 any more
  EXPECT_TRUE(CharLoss());
}

TEST_F(CodePage, PreparedOncePerRun) {
  writeFile(euroPage(), 1024);
  setupCp(V.get());
  unlink((dir + "/codepage").c_str());
  EXPECT_EQ(setupCp(V.get()), 1);
  EXPECT_EQ(CpIn()[0x80], 0x20ACu);
  ResetCp();
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x00C7u);
}

TEST_F(CodePage, DirectoryWithoutTrailingSlash) {
  writeFile(euroPage(), 1024);
  snprintf(V->cfgDir, sizeof V->cfgDir, "%s", dir.c_str());
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x20ACu);
}

TEST_F(CodePage, NoConfigurationDirectoryMeansBuiltIn) {
  V->cfgDir[0] = 0;
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x00C7u);
}

TEST_F(CodePage, LongerFileUsesItsFirst1024Bytes) {
  writeFile(euroPage(), 1100);
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x80], 0x20ACu);
}

TEST_F(CodePage, ValueBeyondUnicodeReadsAsReplacement) {
  auto cps = euroPage();
  cps[0x90] = 0x01000041;  // would alias 'A' in 24 bits
  writeFile(cps, 1024);
  setupCp(V.get());
  EXPECT_EQ(CpIn()[0x90], 0xFFFDu);
  EXPECT_EQ(cpconv('A'), 'A');
}

TEST_F(CodePage, SharedCodePointWritesAByteThatReadsBack) {
  auto cps = euroPage();
  cps[0x81] = 0x20AC;
  writeFile(cps, 1024);
  setupCp(V.get());
  uint8_t b = cpconv(0x20AC);
  EXPECT_TRUE(b == 0x80 || b == 0x81);
  EXPECT_EQ(CpIn()[b], 0x20ACu);
}

}  // namespace
