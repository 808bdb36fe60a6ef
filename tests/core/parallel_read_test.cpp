// Large files are read in pieces on several threads: whatever the bytes and
// wherever the pieces are cut, the text must come out exactly as one pass
// over the file leaves it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/cipher.h"
#include "core/file_io.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

// All a read leaves behind that the rest of the editor looks at.
struct Outcome {
  std::vector<std::pair<uint16_t, std::string>> lines;  // length word, bytes
  uint16_t baseWord = 0, baseWidth = 0;
  std::string alert;
  bool tab = false;
  uint32_t lineEnd = 0;
  ReadStatus status = ReadStatus::Failed;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << o.lines.size() << " lines, base " << o.baseWord << "/" << o.baseWidth << ", alert '" << o.alert << "', tab "
      << o.tab << ", line end " << o.lineEnd;
}

Outcome readWith(vt::Editor& e, const std::string& name, int width, uint32_t enc, std::vector<off_t> cuts) {
  SetReadCuts(std::move(cuts));
  e->alertText[0] = 0;
  LastRead() = ReadTraits{};
  Outcome o;
  Link* base = GetFile(e.V(), name.c_str(), width, enc, &o.status);
  SetReadCuts({});
  EXPECT_NE(base, nullptr);
  if (!base) return o;
  EXPECT_EQ(vt::CheckList(base), "");
  for (const Link* l = base->next(); l != base; l = l->next()) o.lines.emplace_back(l->word, vt::Stored(l));
  o.baseWord = base->word;
  o.baseWidth = base->width();
  o.alert = e->alertText;
  o.tab = LastRead().tab;
  o.lineEnd = LastRead().lineEnd;
  ReleaseText(e.V(), base);
  return o;
}

// Lines of every awkward kind, with one kind of line end (or a mix).
std::string makeText(std::mt19937& rng, int lines, int endKind, bool finalEnd) {
  static const char* const ends[] = {"\n", "\r", "\r\n", "\n\r"};
  static const char* const pieces[] = {"word",         " ",        "\t",       "        ", "\xc3\xa9", "\xe2\x82\xac",
                                       "\xf0\x9f\x98\x80", "\x80", "\xc3", "\xff",     "\xe2\x82", "\xed\xa0\x80",
                                       "\xf4\x90\x80\x80"};
  std::string s;
  for (int n = 0; n < lines; n++) {
    const unsigned kind = rng() % 10;
    if (kind == 0) {
      s.append(1000 + rng() % 3000, char('a' + rng() % 26));  // over-long, nowhere to break
    } else if (kind == 1) {
      for (int k = 0; k < 400; k++) s += k % 7 ? "\xc3\xa9" : " ";  // over-long, breaks at blanks
    } else if (kind == 2) {
      s.append(600 + rng() % 900, ' ');  // blank runs fold
      s += "x";
    } else if (kind != 3) {
      for (int k = int(rng() % 12); k > 0; k--) s += pieces[rng() % std::size(pieces)];
    }
    if (n + 1 < lines || finalEnd) s += ends[endKind < 4 ? endKind : rng() % 4];
  }
  return s;
}

// Cut candidates where a careless cut goes wrong: on a CR of a CR LF and
// on its LF, inside a long run, on a multi-byte sequence, near both ends.
std::vector<off_t> awkwardCuts(const std::string& s, std::mt19937& rng) {
  std::vector<off_t> cuts{0, off_t(s.size()) - 20};
  auto add = [&](auto match) {
    for (int tries = 0; tries < 40; tries++) {
      size_t i = 1 + rng() % (s.size() - 2);
      if (match(i)) {
        cuts.push_back(off_t(i));
        return;
      }
    }
  };
  add([&](size_t i) { return s[i] == '\r' && s[i + 1] == '\n'; });
  add([&](size_t i) { return s[i - 1] == '\r' && s[i] == '\n'; });
  add([&](size_t i) { return s[i - 1] == s[i] && s[i] == s[i + 1] && s[i] != '\n'; });
  add([&](size_t i) { return (uint8_t(s[i]) & 0xc0) == 0x80; });
  add([&](size_t i) { return uint8_t(s[i]) >= 0xc0; });
  for (int k = 0; k < 3; k++) cuts.push_back(off_t(rng() % s.size()));
  return cuts;
}

std::string encipher(vt::Editor& e, std::string s, const std::string& suffix) {
  if (suffix.rfind("@@", 0) == 0) {
    keyRijndael(suffix.c_str() + 2);
    s.resize((s.size() + 15) & ~size_t(15), '\0');
    rijndaelBlocks(reinterpret_cast<uint8_t*>(s.data()), s.size());
  } else if (!suffix.empty()) {
    arcfour(e.V(), suffix.c_str());
    arcfourXor(reinterpret_cast<uint8_t*>(s.data()), s.size());
  }
  return s;
}

TEST(ParallelRead, PiecesCutAnywhereFoldAsOnePassDoes) {
  vt::TempDir dir;
  std::mt19937 rng(7);
  const uint32_t encodings[] = {MODE_UTF8, MODE_LATIN1, MODE_CP};
  const char* const ciphers[] = {"", "@stream key", "@@block key"};
  int cases = 0;
  for (int endKind = 0; endKind < 5; endKind++)
    for (uint32_t enc : encodings)
      for (const char* cipher : ciphers) {
        // Each piece takes a block of its own: a fresh editor keeps that small.
        vt::Editor e;
        CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str());
        const std::string text = makeText(rng, 120, endKind, rng() % 2);
        const bool finalEnd = text.back() == '\n' || text.back() == '\r';
        const std::string name = "t.txt" + std::string(cipher);
        vt::WriteFile(dir.file("t.txt"), encipher(e, text, cipher));
        for (int width : {0, 70}) {
          SCOPED_TRACE("end kind " + std::to_string(endKind) + ", encoding " + std::to_string(enc) + ", cipher '" +
                       cipher + "', width " + std::to_string(width));
          const Outcome one = readWith(e, name, width, enc, {-1});
          EXPECT_EQ(one.status, ReadStatus::Read);
          EXPECT_EQ(bool(one.baseWord & BASE_NO_LAST_END), !finalEnd);
          EXPECT_EQ(readWith(e, name, width, enc, awkwardCuts(text, rng)), one);
          // Many small pieces, a few lines each.
          std::vector<off_t> dense;
          for (size_t at = 0; at < text.size(); at += 1 + rng() % 8000) dense.push_back(off_t(at));
          EXPECT_EQ(readWith(e, name, width, enc, dense), one);
          cases++;
        }
      }
  EXPECT_EQ(cases, 90);
}

// A file large enough to be read on every core by the reader's own choice,
// then edited and closed as any other: the adopted blocks serve new lines
// and go back with the editor.
TEST(ParallelRead, LargeFileOnEveryCoreThenEdited) {
  vt::Editor e;
  vt::TempDir dir;
  CopyCut(e->curDir, sizeof e->curDir, dir.path().c_str());
  std::mt19937 rng(3);
  std::string text;
  while (text.size() < (size_t(5) << 20)) text += makeText(rng, 200, 0, true);
  text += "last line without end";
  vt::WriteFile(dir.file("big.txt"), text);
  const Outcome many = readWith(e, "big.txt", 0, MODE_UTF8, {});
  EXPECT_EQ(many.lines.back().second, "last line without end");
  // Opened again after closing, the file reuses the records it left.
  const int blocks = e->memBlocks;
  EXPECT_EQ(readWith(e, "big.txt", 0, MODE_UTF8, {-1}), many);
  EXPECT_EQ(readWith(e, "big.txt", 0, MODE_UTF8, {}), many);
  EXPECT_EQ(e->memBlocks, blocks);
  const Outcome& one = many;

  Tcb* t = OpenText(e.V(), "big.txt", MODE_UTF8);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(CountLines(t->base), int(one.lines.size()));
  for (int k = 0; k < 20000; k++) ASSERT_NE(AddEmptyLine(e.V(), t->base), nullptr);
  EXPECT_EQ(vt::CheckList(t->base), "");
  EXPECT_EQ(CountLines(t->base), int(one.lines.size()) + 20000);
}

}  // namespace
