// Reading: bytes of any line end and encoding become stored lines.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "core/cipher.h"
#include "core/encoding.h"
#include "core/file_io.h"

namespace {

constexpr int kChunk = 4096;
constexpr uint8_t CR = '\r', LF = '\n', TAB = '\t', SP = ' ';

enum class Cipher { None, Stream, Block };

// Sets up the cipher named by the suffix and cuts the name at its '@'.
Cipher cipherFromName(EditorState* V, char* name) {
  char* at = name + PlainNameLen(name);
  if (!*at) return Cipher::None;
  Cipher c;
  if (at[1] == '@') {
    keyRijndael(at + 2);
    c = Cipher::Block;
  } else {
    arcfour(V, at);
    c = Cipher::Stream;
  }
  *at = 0;
  return c;
}

ReadTraits traits;

// Offsets a test asks files to be cut at; empty: the reader chooses.
std::vector<off_t> forcedCuts;

// How a line's scan ended.
enum class Stop { LineEnd, Full, Width, DataEnd };

// The length of the sequence a UTF-8 lead byte announces (1 for a byte that
// starts none).
int seqLen(uint8_t b) { return b < 0xc2 ? 1 : b < 0xe0 ? 2 : b < 0xf0 ? 3 : b < 0xf5 ? 4 : 1; }

// A code point as the store gives it back: one UTF-8 cannot carry comes
// back as U+FFFD, so what is scanned is what GetLine will show.
tchar storable(tchar c) {
  if (c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff && !IsRawByte(c))) return 0xfffd;
  return c;
}

// One line scanned from d[start..end): its characters, TABs expanded, go to
// `line` exactly as GetLine will expand them, and its bytes as the store
// keeps them unfolded to raw[*rawLen].  The line stops at a line end, at the
// end of the data (or before a sequence the data cuts short, when more is to
// come), or where it would no longer fit the editor: past `width` columns,
// or past 1023 bytes once its blanks are folded.  At the width it is broken
// after its last blank instead.  Returns where reading resumes.
int scanLine(const uint8_t* d, int start, int end, bool last, int width, uint32_t encoding, ActiveLine* line,
             uint8_t* raw, int* rawLen, Stop* why, ReadTraits& tr) {
  const uint32_t* cp = encoding == MODE_CP ? CpIn() : nullptr;
  int i = start, count = 0, rn = 0;
  // Bytes of the folded form: up to its last non-blank or TAB (`anchor`)
  // and with the blanks after it (`folded`).
  int folded = 0, anchor = 0;
  int blankAt = -1, countAtBlank = 0, rawAtBlank = 0;
  for (;;) {
    if (i >= end) {
      *why = Stop::DataEnd;
      break;
    }
    const uint8_t b = d[i];
    if (b == CR || b == LF) {
      *why = Stop::LineEnd;
      break;
    }
    tchar c;
    int n = 1;
    if (encoding != MODE_UTF8) {
      c = storable(cp ? cp[b] : b);
    } else if (b < 0x80) {
      c = b;
    } else {
      if (!last && i + seqLen(b) > end) {
        *why = Stop::DataEnd;
        break;
      }
      c = uni8(d + i, end - i, &n);
    }
    const bool blank = c == SP || c == TAB;
    const int to = c == TAB ? (count + 8) & ~7 : count + 1;
    if (to > width && i > start) {
      if (blank) {
        blankAt = i;
        countAtBlank = count;
        rawAtBlank = rn;
      }
      *why = Stop::Width;
      break;
    }
    if (blank) {
      blankAt = i;
      countAtBlank = count;
      rawAtBlank = rn;
      while (count < to) line->c[count++] = SP;
      raw[rn++] = uint8_t(c);
      folded++;
      if (c == TAB || (count & 7) == 0) {
        folded = anchor + 1;
        anchor = folded;
      }
      if (c == TAB) tr.tab = true;
    } else {
      const int before = rn;
      rn = utf8(raw, rn, c);
      if (folded + (rn - before) > kLineMax) {
        rn = before;
        *why = Stop::Full;
        break;
      }
      line->c[count++] = c;
      folded += rn - before;
      anchor = folded;
    }
    i += n;
  }
  if (*why == Stop::Width && blankAt > start) {
    count = countAtBlank;
    rn = rawAtBlank;
    i = d[blankAt] == SP ? blankAt + 1 : blankAt;
  }
  line->count = uint16_t(count);
  *rawLen = rn;
  return i;
}

// The common UTF-8 line: its line end lies within 1023 bytes and it is no
// wider than `width`, so it is stored as read without further checks.
// Returns its end, or -1 when it needs the full scan.
int wholeLine(const uint8_t* d, int start, int end, int width, ReadTraits& tr) {
  const int span = std::min(end - start, kLineMax + 1);
  const auto* p = d + start;
  const void* lf = std::memchr(p, LF, size_t(span));
  const int upTo = lf ? int(static_cast<const uint8_t*>(lf) - p) : span;
  const void* cr = std::memchr(p, CR, size_t(upTo));
  const int len = cr ? int(static_cast<const uint8_t*>(cr) - p) : lf ? upTo : -1;
  if (len < 0 || len > kLineMax) return -1;
  int cols = 0;
  for (int k = 0; k < len;) {
    const uint8_t b = p[k];
    if (b < 0x80) {
      if (b == TAB) {
        cols = (cols + 8) & ~7;
        tr.tab = true;
      } else {
        cols++;
      }
      k++;
    } else {
      int n;
      uni8(p + k, len - k, &n);
      cols++;
      k += n;
    }
  }
  return cols <= width ? start + len : -1;
}

bool readFull(int fd, uint8_t* buf, int want, int* got) {
  *got = 0;
  while (*got < want) {
    ssize_t r = read(fd, buf + *got, size_t(want - *got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) break;
    *got += int(r);
  }
  return true;
}

void readAlert(EditorState* V, int err) {
  char msg[kAlertMax + 1];
  std::snprintf(msg, sizeof msg, "Cannot read file: %s", std::strerror(err));
  SetAlert(V, msg);
}

}  // namespace

ReadTraits& LastRead() { return traits; }

namespace {

// GetText with the width already settled and the code page set up; what the
// data shows goes to `tr`, so that pieces folded at once keep their own.
void foldText(EditorState* V, Link* base, const uint8_t* data, int* count, bool last, int width, uint32_t encoding,
              ReadTraits& tr) {
  const int end = *count;
  const int r = last ? 0 : 16;
  int pos = 0;
  LineImage img;
  ActiveLine line;
  while (end - pos > r) {
    Stop why = Stop::LineEnd;
    int stop = encoding == MODE_UTF8 ? wholeLine(data, pos, end, width, tr) : -1;
    uint16_t word;
    const uint8_t* bytes;
    if (stop >= 0) {
      word = uint16_t((stop - pos) | LINK_ASREAD);
      bytes = data + pos;
    } else {
      int rn;
      stop = scanLine(data, pos, end, last, width, encoding, &line, img.text, &rn, &why, tr);
      if (why == Stop::DataEnd && !last) break;  // the rest comes with the next chunk
      if (rn <= kLineMax) {
        // As read: the writer gives these bytes back unchanged.
        word = uint16_t(rn | LINK_ASREAD);
      } else {
        // Only its folded form fits a record.
        line.flags = 0;
        Tabify(V, &img, &line);
        word = img.word;
      }
      bytes = img.text;
    }
    if (why == Stop::DataEnd) {
      stop = end;
      base->word |= BASE_NO_LAST_END;
    } else if (why == Stop::LineEnd) {
      // A CR at the very end may have its LF in the next chunk.
      if (!last && data[stop] == CR && stop + 1 == end) break;
      const int at = stop;
      if (stop < end && data[stop] == CR) stop++;
      if (stop < end && data[stop] == LF) stop++;
      if (!tr.lineEnd) tr.lineEnd = (data[at] == CR ? MODE_CR : 0) | (data[stop - 1] == LF ? MODE_LF : 0);
    }
    V->memFailed = 0;
    if (!AddBytesLine(V, base->prev(), word, bytes)) break;
    pos = stop;
  }
  // An empty file: its one empty line has no line end either.
  if (last && end == 0 && base->next() == base) base->word |= BASE_NO_LAST_END;
  *count = end - pos;
}

int settledWidth(int width) { return width <= 0 || width > kLineMax ? kLineMax : width; }

}  // namespace

void GetText(EditorState* V, Link* base, const uint8_t* data, int* count, bool last, int width, uint32_t encoding) {
  if (encoding != MODE_CP && encoding != MODE_LATIN1 && encoding != MODE_UTF8) return;
  // A line is kept whole up to the 1023 columns an edited line may hold.
  width = settledWidth(width);
  if (encoding == MODE_CP) setupCp(V);
  foldText(V, base, data, count, last, width, encoding, traits);
}

namespace {

// Below this a file is read on one thread: starting threads costs more than
// it saves.
constexpr off_t kParallelMin = off_t(4) << 20;
constexpr int kPieceBuf = 1 << 16;    // each piece is read through a buffer this large
constexpr off_t kCutReach = 1 << 20;  // how far past a cut a line start is looked for
constexpr off_t kPage = 4096;

// Where the pieces' bytes come from: the file itself (plain, or with the
// block cipher, whose 16-byte blocks decipher each on its own) or, for the
// stream cipher, the whole file deciphered beforehand.
struct Source {
  int fd;
  Cipher cipher;
  off_t size;
  const uint8_t* plain;

  // The deciphered bytes [from, to) are folded: their whole pages go (and
  // with them the plain text), so that the file and its text are not held
  // whole at once.  Returns where the next call should start.
  off_t folded(off_t from, off_t to) const {
    const off_t a = (from + kPage - 1) & ~(kPage - 1), b = to & ~(kPage - 1);
    if (!plain || b <= a) return from;
    madvise(const_cast<uint8_t*>(plain) + a, size_t(b - a), MADV_DONTNEED);
    return b;
  }

  // Reads up to n bytes at `at` (16-aligned with the block cipher), deciphered.
  bool read(uint8_t* buf, off_t at, int n, int* got) const {
    *got = 0;
    if (plain) {
      *got = int(std::min<off_t>(n, size - at));
      std::memcpy(buf, plain + at, size_t(*got));
      return true;
    }
    while (*got < n) {
      ssize_t r = pread(fd, buf + *got, size_t(n - *got), at + *got);
      if (r < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (r == 0) break;
      *got += int(r);
    }
    if (cipher == Cipher::Block) unRijndaelBlocks(buf, size_t(*got) & ~size_t(15));
    return true;
  }
};

// A buffer that may hold deciphered text: wiped before it goes.
struct Scratch {
  std::vector<uint8_t> v;
  explicit Scratch(size_t n) : v(n) {}
  ~Scratch() { explicit_bzero(v.data(), v.size()); }
  uint8_t* data() { return v.data(); }
  uint8_t& operator[](size_t i) { return v[i]; }
};

// The first place at or after `at` where the single-threaded reader starts a
// line: after an LF, or after a CR with no LF right behind it (never between
// the two of a CR LF).  -1 when there is none within reach.
off_t lineStartFrom(const Source& src, off_t at) {
  Scratch w(1 << 16);
  off_t pos = src.cipher == Cipher::Block ? at & ~off_t(15) : at;
  off_t j = at;
  while (j < at + kCutReach) {
    int got;
    if (!src.read(w.data(), pos, int(w.v.size()), &got) || got < 2) return -1;
    // The last byte waits for the next window: a CR there needs its follower.
    for (; j < pos + got - 1; j++) {
      const uint8_t b = w[size_t(j - pos)];
      if (b == LF) return j + 1;
      if (b == CR) return w[size_t(j + 1 - pos)] == LF ? j + 2 : j + 1;
    }
    if (pos + got >= src.size) return -1;
    pos += got - 16;
  }
  return -1;
}

// The stream-ciphered file deciphered, in pages of its own so that what is
// folded can go at once; whatever is left goes back unread by anyone.
struct Deciphered {
  uint8_t* bytes = nullptr;
  size_t size = 0;
  bool take(size_t n) {
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    bytes = static_cast<uint8_t*>(p);
    size = n;
    return true;
  }
  ~Deciphered() {
    if (bytes) munmap(bytes, size);
  }
};

// A stretch of the file folded on a thread of its own, into a state of its
// own, so that nothing but the arena's slot list is shared.
struct Piece {
  off_t from = 0, to = 0;
  std::unique_ptr<EditorState> state;
  Link* base = nullptr;
  ReadTraits tr;
  int err = 0;
};

void foldPiece(const Source& src, Piece* p, int width, uint32_t encoding) {
  EditorState* W = p->state.get();
  p->base = NewBaseLink(W);
  if (!p->base) return;
  const bool block = src.cipher == Cipher::Block;
  const bool fileEnd = p->to == src.size;
  off_t at = block ? p->from & ~off_t(15) : p->from;
  int skip = int(p->from - at);
  const off_t readEnd = fileEnd || !block ? p->to : std::min(src.size, (p->to + 15) & ~off_t(15));
  Scratch buf(kPieceBuf);
  int carried = 0;
  off_t freed = p->from;
  for (;;) {
    const int ask = int(std::min<off_t>((kPieceBuf - carried) & ~15, readEnd - at));
    int got;
    if (!src.read(buf.data() + carried, at, ask, &got)) {
      p->err = errno;
      return;
    }
    at += got;
    freed = src.folded(freed, at);
    const bool last = got < ask || at >= readEnd;
    const int start = skip;
    skip = 0;
    int count = carried + got - start;
    if (last && at > p->to) count -= int(at - p->to);
    if (block && last && fileEnd)
      for (int z = 0; z < 15 && count > 0 && buf[size_t(start + count - 1)] == 0; z++) count--;
    int left = count;
    foldText(W, p->base, buf.data() + start, &left, last, width, encoding, p->tr);
    if (W->memFailed || last) return;
    std::memmove(buf.data(), buf.data() + start + (count - left), size_t(left));
    carried = left;
  }
}

// Reads the regular file `fd` of `size` bytes in pieces on as many threads
// as there are cores and links them to `base` in order, leaving the text,
// the alerts and the read traits as one pass over the file would.  False
// when the file is better read on one thread.
bool readInPieces(EditorState* V, Link* base, int fd, off_t size, Cipher cipher, int width, uint32_t encoding,
                  ReadStatus* st) {
  if (encoding != MODE_CP && encoding != MODE_LATIN1 && encoding != MODE_UTF8) return false;
  // A cap on blocks is for running out of memory on purpose: one thread
  // keeps it exact.
  if (V->memBlockLimit > 0 || size <= 16) return false;
  // Records a closed text left behind serve one pass; the pieces would take
  // fresh blocks beside them, and every reopening would cost the file again.
  if (forcedCuts.empty() && V->memFreeBytes > size / 4) return false;
  std::vector<off_t> wanted = forcedCuts;
  if (wanted.empty()) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores < 2 || size < kParallelMin) return false;
    for (unsigned k = 1; k < cores; k++) wanted.push_back(size / cores * k);
  }
  std::sort(wanted.begin(), wanted.end());
  if (wanted.front() < 0) return false;

  width = settledWidth(width);
  if (encoding == MODE_CP) setupCp(V);
  Source src{fd, cipher, size, nullptr};
  Deciphered whole;
  if (cipher == Cipher::Stream) {
    // Each byte's key depends on all before it: decipher first, fold after.
    if (size > INT32_MAX || !whole.take(size_t(size))) return false;
    int got;
    if (!src.read(whole.bytes, 0, int(size), &got)) {
      readAlert(V, errno);
      *st = ReadStatus::Failed;
      return true;
    }
    src.size = size = got;
    arcfourXor(whole.bytes, size_t(got));
    src.plain = whole.bytes;
  }

  // Cut where the single-threaded reader starts a line; the last piece keeps
  // more than 16 bytes so that the block cipher's padding is always its own.
  std::vector<Piece> pieces(1);
  for (off_t c : wanted) {
    const off_t cut = lineStartFrom(src, std::max(c, pieces.back().from));
    if (cut <= pieces.back().from || cut > size - 16) continue;
    pieces.back().to = cut;
    pieces.emplace_back().from = cut;
  }
  pieces.back().to = size;
  for (auto& p : pieces) p.state = std::make_unique<EditorState>();
  // The piece folded on this thread goes on where one pass would: in the
  // room and the free records the editor has.
  LendArena(V, pieces.back().state.get());

  std::vector<std::thread> threads;
  for (size_t i = 0; i + 1 < pieces.size(); i++) {
    Piece* p = &pieces[i];
    try {
      threads.emplace_back(foldPiece, std::cref(src), p, width, encoding);
    } catch (...) {
      foldPiece(src, p, width, encoding);  // no thread to be had: fold it here
    }
  }
  foldPiece(src, &pieces.back(), width, encoding);
  for (auto& t : threads) t.join();

  // Link the pieces in order; after a piece that could not be read whole,
  // the rest is dropped, as one pass would stop there.
  for (auto& p : pieces) AdoptArena(V, p.state.get());
  bool stopped = false;
  for (auto& p : pieces) {
    EditorState* W = p.state.get();
    if (W->memFailed) V->memFailed = 1;
    if (!p.base) continue;
    if (stopped || V->memFailed) {
      ReleaseText(V, p.base);
      continue;
    }
    if (W->alertText[0]) SetAlert(V, W->alertText);
    if (p.base->next() != p.base) {
      Link* first = p.base->next();
      Link* last = p.base->prev();
      Link* tail = base->prev();
      tail->setNext(first);
      first->setPrev(tail);
      last->setNext(base);
      base->setPrev(last);
    }
    base->word |= p.base->word & BASE_NO_LAST_END;
    p.base->setNext(p.base);
    p.base->setPrev(p.base);
    ReleaseLink(V, p.base);
    traits.tab = traits.tab || p.tr.tab;
    if (!traits.lineEnd) traits.lineEnd = p.tr.lineEnd;
    if (p.err) {
      readAlert(V, p.err);
      *st = ReadStatus::Failed;
      stopped = true;
    }
  }
  // Lines added one by one would have told the views so.
  if (V->curTcb && V->curTcb->base) MarkViewsStale(V, V->curTcb->base);
  return true;
}

}  // namespace

void SetReadCuts(std::vector<off_t> cuts) { forcedCuts = std::move(cuts); }

namespace {

// One pass over the file in small chunks: small files, and whatever cannot
// be cut into pieces.
void readWhole(EditorState* V, Link* base, int fd, off_t size, Cipher cipher, int width, uint32_t encoding,
               ReadStatus* st) {
  off_t total = 0;
  uint8_t buf[kChunk];
  int carried = 0;
  for (;;) {
    int ask = (kChunk - carried) & ~15;
    int got;
    if (!readFull(fd, buf + carried, ask, &got)) {
      readAlert(V, errno);
      *st = ReadStatus::Failed;
      break;
    }
    total += got;
    // Knowing the size lets the final chunk be recognised even when it
    // fills the buffer, so block padding is always stripped.  Files that
    // report no size (as under /proc) are read to their end.
    bool last = got < ask || (size > 0 && total >= size);
    if (cipher == Cipher::Stream) arcfourXor(buf + carried, size_t(got));
    if (cipher == Cipher::Block) unRijndaelBlocks(buf + carried, size_t(got) & ~size_t(15));
    int count = carried + got;
    if (cipher == Cipher::Block && last)
      for (int z = 0; z < 15 && count > 0 && buf[count - 1] == 0; z++) count--;
    int left = count;
    GetText(V, base, buf, &left, last, width, encoding);
    if (V->memFailed) {
      *st = ReadStatus::Failed;
      break;
    }
    std::memmove(buf, buf + (count - left), size_t(left));
    carried = left;
    if (last) break;
  }
}

}  // namespace

Link* GetFile(EditorState* V, const char* name, int width, uint32_t encoding, ReadStatus* status, DiskStamp* stamp) {
  ReadStatus st = ReadStatus::Read;
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  Cipher cipher = cipherFromName(V, plain);
  V->memFailed = 0;
  Link* base = NewBaseLink(V);
  if (!base) return nullptr;

  // Non-blocking, so that a pipe without a writer cannot hang the editor
  // before fstat has told what the name is.
  int fd = open(PathName(V, plain), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  struct stat info;
  const bool statted = fd >= 0 && fstat(fd, &info) == 0;
  if (stamp) *stamp = statted ? StampOf(info) : DiskStamp{};
  if (fd < 0) {
    if (errno == ENOENT) {
      SetAlert(V, "New file.");
      st = ReadStatus::Missing;
    } else {
      readAlert(V, errno);
      st = ReadStatus::Failed;
    }
  } else if (!statted) {
    readAlert(V, errno);
    st = ReadStatus::Failed;
  } else if (S_ISDIR(info.st_mode)) {
    readAlert(V, EISDIR);
    st = ReadStatus::Failed;
  } else if (!S_ISREG(info.st_mode)) {
    SetAlert(V, "Not a regular file");
    st = ReadStatus::Refused;
  } else {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!readInPieces(V, base, fd, info.st_size, cipher, width, encoding, &st))
      readWhole(V, base, fd, info.st_size, cipher, width, encoding, &st);
  }
  if (fd >= 0) close(fd);
  if (V->memFailed) {
    // Half a file is no text to edit: its lines go back to the store, and
    // the texts already open keep the memory they need.
    ReleaseText(V, base);
    SetAlert(V, "Out of memory");
    if (status) *status = ReadStatus::Failed;
    return nullptr;
  }
  if (st == ReadStatus::Read && StatReadOnly(info)) SetAlert(V, "Read-only file");
  if (base->next() == base) AddEmptyLine(V, base);
  base->setWidth(uint16_t(base->prev()->len()));
  if (status) *status = st;
  return base;
}

Link* TextFromBytes(EditorState* V, const void* data, size_t n, int width, uint32_t encoding) {
  traits = ReadTraits{};
  Link* base = NewBaseLink(V);
  if (!base) return nullptr;
  const auto* p = static_cast<const uint8_t*>(data);
  // Feed in slices so lines longer than a chunk behave as they do from disk.
  size_t pos = 0;
  std::vector<uint8_t> buf;
  while (pos < n || buf.size()) {
    size_t take = std::min(n - pos, size_t(kChunk) - buf.size());
    buf.insert(buf.end(), p + pos, p + pos + take);
    pos += take;
    bool last = pos >= n;
    int left = int(buf.size());
    GetText(V, base, buf.data(), &left, last, width, encoding);
    buf.erase(buf.begin(), buf.end() - left);
    if (last || V->memFailed) break;
  }
  if (base->next() == base) AddEmptyLine(V, base);
  base->setWidth(uint16_t(base->prev()->len()));
  return base;
}
