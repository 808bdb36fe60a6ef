// Reading: bytes of any line end and encoding become stored lines.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
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

bool isCont(uint8_t b) { return (b & 0xc0) == 0x80; }

// One line of a UTF-8 chunk: bytes copied, blanks that reach a tab stop
// folded into a TAB.  Returns the index where the scan stopped and sets
// *why: 0 line end, 1 full, 2 width reached, 3 data exhausted.
// The common line: its end lies within the chunk and it fits the store and
// the width as it is.  One pass without limit checks; false when the line
// needs the careful scan.
bool quickUtf8(const uint8_t* d, int start, int end, int width, uint8_t* out, int* outLen, int* stop) {
  int span = std::min(end - start, kLineMax + 1);
  const auto* nl = static_cast<const uint8_t*>(std::memchr(d + start, LF, size_t(span)));
  if (!nl) return false;
  int e = int(nl - d);
  if (const void* cr = std::memchr(d + start, CR, size_t(e - start))) e = int(static_cast<const uint8_t*>(cr) - d);
  if (e - start > kLineMax) return false;
  int n = 0, col = 0, lastNonSpace = 0;
  for (int k = start; k < e; k++) {
    uint8_t b = d[k];
    out[n++] = b;
    bool sp = b == SP;
    col = b == TAB ? (col + 8) & ~7 : col + (sp || !isCont(b));
    lastNonSpace = sp ? lastNonSpace : n;
    if (sp && (col & 7) == 0) {
      out[lastNonSpace] = TAB;
      n = lastNonSpace + 1;
      lastNonSpace = n;
    }
  }
  if (col > width) return false;
  *outLen = n;
  *stop = e;
  return true;
}

int scanUtf8(const uint8_t* d, int start, int end, int width, uint8_t* out, int* outLen, int* why) {
  int quickStop;
  if (quickUtf8(d, start, end, width, out, outLen, &quickStop)) {
    *why = 0;
    return quickStop;
  }
  int i = start, col = 0, n = 0, lastNonSpace = 0;
  int blankAt = -1;
  for (;;) {
    // Fast run over bytes that are neither blanks nor controls: each adds at
    // most one column and one byte, so the bounds can be settled up front.
    int lim = std::min(end, i + std::min(kLineMax - n, width - col));
    if (i < lim && d[i] > SP) {
      do {
        uint8_t b = d[i++];
        out[n++] = b;
        col += !isCont(b);
      } while (i < lim && d[i] > SP);
      lastNonSpace = n;
    }
    if (i >= end) {
      *why = 3;
      break;
    }
    uint8_t b = d[i];
    if (b == CR || b == LF) {
      *why = 0;
      break;
    }
    if (n >= kLineMax) {
      // Never end inside a sequence: back up to its lead byte if it has one.
      int j = i;
      while (j > start && i - j < 3 && isCont(d[j])) j--;
      if (j < i && j > start && d[j] >= 0xc0) {
        n -= i - j;
        i = j;
      }
      *why = 1;
      break;
    }
    if (!isCont(b) && col >= width) {
      *why = 2;
      break;
    }
    if (b == SP) {
      blankAt = i;
      out[n++] = SP;
      col++;
      if ((col & 7) == 0) {
        out[lastNonSpace] = TAB;
        n = lastNonSpace + 1;
        lastNonSpace = n;
      }
    } else if (b == TAB) {
      blankAt = i;
      out[n++] = TAB;
      col = (col + 8) & ~7;
      lastNonSpace = n;
    } else {
      out[n++] = b;
      if (!isCont(b)) col++;
      lastNonSpace = n;
    }
    i++;
  }
  if (*why == 2 && blankAt > start) {
    // Keep what came before the blank, folded as if the line ended there.
    int ignored;
    scanUtf8(d, start, blankAt, 1 << 30, out, &n, &ignored);
    i = d[blankAt] == SP ? blankAt + 1 : blankAt;
  }
  *outLen = n;
  return i;
}

// One line of a single-byte chunk, through an active line and Tabify.
int scanBytes(EditorState* V, const uint8_t* d, int start, int end, int width, bool codePage, LineImage* img,
              int* why) {
  const uint32_t* cp = codePage ? CpIn() : nullptr;
  ActiveLine line;
  int i = start, col = 0, blankAt = -1, countAtBlank = 0;
  line.count = 0;
  line.flags = 0;
  for (;;) {
    if (i >= end) {
      *why = 3;
      break;
    }
    uint8_t b = d[i];
    if (b == CR || b == LF) {
      *why = 0;
      break;
    }
    if (line.count >= kLineMax) {
      *why = 1;
      break;
    }
    if (col >= width) {
      *why = 2;
      break;
    }
    tchar c = cp ? cp[b] : b;
    if (b == SP || b == TAB) {
      blankAt = i;
      countAtBlank = line.count;
    }
    line.c[line.count++] = c;
    col = b == TAB ? (col + 8) & ~7 : col + 1;
    i++;
  }
  if (*why == 2 && blankAt > start) {
    line.count = uint16_t(countAtBlank);
    i = d[blankAt] == SP ? blankAt + 1 : blankAt;
  }
  Tabify(V, img, &line);
  return i;
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

void GetText(EditorState* V, Link* base, const uint8_t* data, int* count, bool last, int width, uint32_t encoding) {
  if (encoding != MODE_CP && encoding != MODE_LATIN1 && encoding != MODE_UTF8) return;
  if (width <= 0) width = 1022;
  if (encoding == MODE_CP) setupCp(V);
  const int end = *count;
  const int r = last ? 0 : 16;
  int pos = 0;
  LineImage img;
  while (end - pos > r) {
    int why;
    int stop;
    if (encoding == MODE_UTF8) {
      int n;
      stop = scanUtf8(data, pos, end, width, img.text, &n, &why);
      img.word = uint16_t(n);
    } else {
      stop = scanBytes(V, data, pos, end, width, encoding == MODE_CP, &img, &why);
    }
    if (why == 3) {
      if (!last) break;  // the rest of the line comes with the next chunk
      stop = end;
    } else if (why == 0) {
      // A CR at the very end may have its LF in the next chunk.
      if (!last && data[stop] == CR && stop + 1 == end) break;
      if (stop < end && data[stop] == CR) stop++;
      if (stop < end && data[stop] == LF) stop++;
    }
    V->memFailed = 0;
    if (!AddBytesLine(V, base->prev(), img.word, img.text)) break;
    pos = stop;
  }
  *count = end - pos;
}

Link* GetFile(EditorState* V, const char* name, int width, uint32_t encoding, ReadStatus* status) {
  ReadStatus st = ReadStatus::Read;
  char plain[kPathMax];
  CopyCut(plain, sizeof plain, name);
  Cipher cipher = cipherFromName(V, plain);
  Link* base = NewBaseLink(V);
  if (!base) return nullptr;

  // Non-blocking, so that a pipe without a writer cannot hang the editor
  // before fstat has told what the name is.
  int fd = open(PathName(V, plain), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  struct stat info;
  const bool statted = fd >= 0 && fstat(fd, &info) == 0;
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
    off_t total = 0;
    uint8_t buf[kChunk];
    int carried = 0;
    for (;;) {
      int ask = (kChunk - carried) & ~15;
      int got;
      if (!readFull(fd, buf + carried, ask, &got)) {
        readAlert(V, errno);
        st = ReadStatus::Failed;
        break;
      }
      total += got;
      // Knowing the size lets the final chunk be recognised even when it
      // fills the buffer, so block padding is always stripped.  Files that
      // report no size (as under /proc) are read to their end.
      bool last = got < ask || (info.st_size > 0 && total >= info.st_size);
      if (cipher == Cipher::Stream) arcfourXor(buf + carried, size_t(got));
      if (cipher == Cipher::Block) unRijndaelBlocks(buf + carried, size_t(got) & ~size_t(15));
      int count = carried + got;
      if (cipher == Cipher::Block && last)
        for (int z = 0; z < 15 && count > 0 && buf[count - 1] == 0; z++) count--;
      int left = count;
      GetText(V, base, buf, &left, last, width, encoding);
      if (V->memFailed) {
        st = ReadStatus::Failed;
        break;
      }
      std::memmove(buf, buf + (count - left), size_t(left));
      carried = left;
      if (last) break;
    }
  }
  if (fd >= 0) close(fd);
  if (st == ReadStatus::Read && StatReadOnly(info)) SetAlert(V, "Read-only file");
  if (base->next() == base) AddEmptyLine(V, base);
  base->setWidth(uint16_t(base->prev()->len()));
  if (status) *status = st;
  return base;
}

Link* TextFromBytes(EditorState* V, const void* data, size_t n, int width, uint32_t encoding) {
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
