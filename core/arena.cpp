// The line-store arena.
//
// All arenas of the process share one reserved address range, cut into 1 MiB
// slots; an arena block occupies one slot.  Because every record lies inside
// the range, a Link can name its neighbours by a 32-bit offset from the range
// start (in 16-byte units), which keeps a line's header at 10 bytes on a
// 64-bit machine.  Blocks are committed when needed and decommitted, after
// being zeroed, when the editor state is released.
#include <sys/mman.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "core/editor_state.h"

namespace arena_detail {
std::byte* rangeBase = nullptr;
}

namespace {

constexpr size_t kSlotSize = size_t(1) << 20;
constexpr size_t kPage = 4096;

size_t slotCount = 0;
uint32_t slotsUsed = 0;            // slots ever handed out, in order
std::vector<uint32_t> freeSlots;   // slots given back, reused first
// Files are read on several threads at once, each into blocks of its own;
// only the slot bookkeeping above is shared.  Taken once per block, so the
// single-threaded path does not feel it.
std::mutex slotLock;

struct BlockHeader {
  std::byte* nextBlock;
  size_t size;
};
static_assert(sizeof(BlockHeader) == 16);

bool reserveRange() {
  if (arena_detail::rangeBase) return true;
  // 64 GiB is what 32-bit handles in 16-byte units can address; settle for
  // less where the address space is limited.
  for (size_t bytes = size_t(64) << 30; bytes >= (size_t(256) << 20); bytes /= 2) {
    void* p = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p != MAP_FAILED) {
      arena_detail::rangeBase = static_cast<std::byte*>(p);
      slotCount = bytes / kSlotSize;
      return true;
    }
  }
  return false;
}

size_t committedBytes(size_t size) { return (size + kPage - 1) & ~(kPage - 1); }

std::byte* takeBlock(EditorState* V, size_t size) {
  if (size > kSlotSize || size < sizeof(BlockHeader) + kBlockTail) return nullptr;
  if (V->memBlockLimit > 0 && V->memBlocks >= V->memBlockLimit) return nullptr;
  uint32_t slot;
  {
    std::lock_guard<std::mutex> hold(slotLock);
    if (!reserveRange()) return nullptr;
    if (!freeSlots.empty()) {
      slot = freeSlots.back();
      freeSlots.pop_back();
    } else if (slotsUsed < slotCount) {
      slot = slotsUsed++;
    } else {
      return nullptr;
    }
  }
  std::byte* at = arena_detail::rangeBase + size_t(slot) * kSlotSize;
  void* p = mmap(at, committedBytes(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_POPULATE, -1, 0);
  if (p == MAP_FAILED) {
    std::lock_guard<std::mutex> hold(slotLock);
    freeSlots.push_back(slot);
    return nullptr;
  }
  auto* h = reinterpret_cast<BlockHeader*>(at);
  h->nextBlock = nullptr;
  h->size = size;
  V->memBlocks++;
  return at;
}

void giveBack(std::byte* block) {
  auto* h = reinterpret_cast<BlockHeader*>(block);
  size_t size = h->size;
  // Lines may hold deciphered text: wipe before the pages go back.
  std::memset(block, 0, size);
  mmap(block, committedBytes(size), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE, -1, 0);
  std::lock_guard<std::mutex> hold(slotLock);
  freeSlots.push_back(uint32_t((block - arena_detail::rangeBase) / kSlotSize));
}

void useBlock(EditorState* V, std::byte* block, size_t size) {
  V->mem.last = block;
  V->mem.next = block + sizeof(BlockHeader);
  V->mem.limit = block + size - kBlockTail;
}

void outOfMemory(EditorState* V) {
  V->memFailed = 1;
  SetAlert(V, "Out of memory");
}

// Bump allocation from the newest block, committing another when it is full.
std::byte* bump(EditorState* V, size_t size) {
  if (V->mem.next && V->mem.next + size <= V->mem.limit) {
    std::byte* r = V->mem.next;
    V->mem.next += size;
    return r;
  }
  if (size > size_t(kBlockSize) - sizeof(BlockHeader) - kBlockTail) return nullptr;
  if (!CommitMem(V, kBlockSize)) return nullptr;
  std::byte* r = V->mem.next;
  V->mem.next += size;
  return r;
}

}  // namespace

bool CommitMemFirst(EditorState* V, size_t size) {
  std::byte* b = takeBlock(V, size);
  if (!b) return false;
  V->mem.first = b;
  useBlock(V, b, size);
  return true;
}

bool CommitMem(EditorState* V, size_t size) {
  if (!V->mem.first) return CommitMemFirst(V, size);
  std::byte* b = takeBlock(V, size);
  if (!b) return false;
  reinterpret_cast<BlockHeader*>(V->mem.last)->nextBlock = b;
  useBlock(V, b, size);
  return true;
}

Link* NewLink(EditorState* V, int len) {
  int c = LinkClass(len);
  if (Link* r = V->freeList[c]) {
    V->freeList[c] = Link::at(r->nextH);
    V->memFreeBytes -= c * 16;
    return r;
  }
  std::byte* r = bump(V, size_t(LinkSize(len)));
  if (!r) {
    outOfMemory(V);
    return nullptr;
  }
  return reinterpret_cast<Link*>(r);
}

void ReleaseLink(EditorState* V, Link* link) {
  ViewsLineReleased(V, link);
  int c = LinkClass(link->word);
  link->nextH = Link::handle(V->freeList[c]);
  link->prevH = 0;
  V->freeList[c] = link;
  V->memFreeBytes += c * 16;
}

void* NewTcbLink(EditorState* V, size_t size) {
  std::byte* r = bump(V, (size + 15) & ~size_t(15));
  if (!r) outOfMemory(V);
  return r;
}

void LendArena(EditorState* V, EditorState* to) {
  to->mem.next = V->mem.next;
  to->mem.limit = V->mem.limit;
  V->mem.next = V->mem.limit;
  for (int c = 0; c < kSizeClasses; c++) {
    to->freeList[c] = V->freeList[c];
    V->freeList[c] = nullptr;
  }
  to->memFreeBytes = V->memFreeBytes;
  V->memFreeBytes = 0;
}

void AdoptArena(EditorState* V, EditorState* from) {
  for (int c = 0; c < kSizeClasses; c++) {
    Link* head = from->freeList[c];
    if (!head) continue;
    Link* tail = head;
    while (tail->nextH) tail = Link::at(tail->nextH);
    tail->nextH = Link::handle(V->freeList[c]);
    V->freeList[c] = head;
    from->freeList[c] = nullptr;
  }
  V->memFreeBytes += from->memFreeBytes;
  from->memFreeBytes = 0;
  if (!from->mem.first) {
    // It never needed a block of its own: what is left of the lent room.
    if (from->mem.next) {
      V->mem.next = from->mem.next;
      V->mem.limit = from->mem.limit;
    }
  } else if (!V->mem.first) {
    V->mem = from->mem;
  } else {
    reinterpret_cast<BlockHeader*>(V->mem.last)->nextBlock = from->mem.first;
    V->mem.last = from->mem.last;
    // Go on bumping in whichever block has more room left.
    if (from->mem.limit - from->mem.next > V->mem.limit - V->mem.next) {
      V->mem.next = from->mem.next;
      V->mem.limit = from->mem.limit;
    }
  }
  V->memBlocks += from->memBlocks;
  from->mem = MemPool{};
  from->memBlocks = 0;
}

void ReleaseArena(EditorState* V) {
  std::byte* b = V->mem.first;
  while (b) {
    std::byte* next = reinterpret_cast<BlockHeader*>(b)->nextBlock;
    giveBack(b);
    b = next;
  }
  V->mem = MemPool{};
  V->memBlocks = 0;
  V->memFreeBytes = 0;
  for (auto& head : V->freeList) head = nullptr;
}
