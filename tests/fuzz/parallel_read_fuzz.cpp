// Random bytes read from a file in one pass and in pieces cut at random
// places, plain and through each cipher: both reads must store the same
// lines, flags and traits.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/cipher.h"
#include "core/editor_state.h"
#include "core/file_io.h"

namespace {

std::string dir;

void check(bool ok) {
  if (!ok) std::abort();
}

struct Seen {
  std::vector<std::pair<uint16_t, std::string>> lines;
  uint16_t baseWord = 0;
  std::string alert;
  bool tab = false;
  uint32_t lineEnd = 0;
  bool operator==(const Seen&) const = default;
};

Seen readOnce(const char* name, int width, uint32_t enc, std::vector<off_t> cuts) {
  // A fresh editor: every piece takes blocks of its own, which a long run
  // would otherwise pile up.
  auto V = std::make_unique<EditorState>();
  check(InitEditor(V.get()));
  CopyCut(V->curDir, sizeof V->curDir, dir.c_str());
  SetReadCuts(std::move(cuts));
  LastRead() = ReadTraits{};
  Seen s;
  Link* base = GetFile(V.get(), name, width, enc);
  SetReadCuts({});
  check(base != nullptr);
  for (const Link* l = base->next(); l != base; l = l->next())
    s.lines.emplace_back(l->word, std::string(reinterpret_cast<const char*>(l->data()), size_t(l->len())));
  s.baseWord = base->word;
  s.alert = V->alertText;
  s.tab = LastRead().tab;
  s.lineEnd = LastRead().lineEnd;
  DeInitEditor(V.get());
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char tmpl[] = "/tmp/vexor-fuzz-XXXXXX";
  check(mkdtemp(tmpl) != nullptr);
  dir = tmpl;
  std::atexit([] {
    unlink((dir + "/f").c_str());
    rmdir(dir.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const uint32_t encodings[] = {MODE_UTF8, MODE_LATIN1, MODE_CP};
  const uint32_t enc = encodings[data[0] % 3];
  const int width = data[1] % 4 == 0 ? 0 : 1 + data[1] * 4;
  const char* const names[] = {"f", "f@k", "f@@k"};
  const int cipher = data[2] % 3;
  const int ncuts = data[3] % 5;
  if (size < size_t(4 + 2 * ncuts)) return 0;
  std::vector<off_t> cuts;
  for (int k = 0; k < ncuts; k++) cuts.push_back(off_t(data[4 + 2 * k] | data[5 + 2 * k] << 8));
  std::string text(reinterpret_cast<const char*>(data + 4 + 2 * ncuts), size - 4 - 2 * size_t(ncuts));
  for (auto& c : cuts) c = text.empty() ? 0 : c % off_t(text.size());

  if (cipher == 1) {
    arcfour(nullptr, "@k");
    arcfourXor(reinterpret_cast<uint8_t*>(text.data()), text.size());
  } else if (cipher == 2) {
    keyRijndael("k");
    text.resize((text.size() + 15) & ~size_t(15), '\0');
    rijndaelBlocks(reinterpret_cast<uint8_t*>(text.data()), text.size());
  }
  const std::string path = dir + "/f";
  FILE* f = std::fopen(path.c_str(), "wb");
  check(f != nullptr);
  check(std::fwrite(text.data(), 1, text.size(), f) == text.size());
  std::fclose(f);

  const Seen one = readOnce(names[cipher], width, enc, {-1});
  check(readOnce(names[cipher], width, enc, cuts.empty() ? std::vector<off_t>{0} : cuts) == one);
  return 0;
}
