// The arena: size classes, free lists, block commits, running out of memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "tests/support/headless.h"

namespace {

TEST(SizeClass, RecordSizesFollowTheLength) {
  EXPECT_EQ(LinkSize(0), 16);
  EXPECT_EQ(LinkSize(6), 16);
  EXPECT_EQ(LinkSize(7), 32);
  EXPECT_EQ(LinkSize(22), 32);
  EXPECT_EQ(LinkSize(23), 48);
  EXPECT_EQ(LinkSize(1023), 1040);
  EXPECT_EQ(LinkClass(0), 1);
  EXPECT_EQ(LinkClass(1023), 65);
  // Every record holds its header and text.
  for (int len = 0; len <= 1023; len++) {
    EXPECT_GE(LinkSize(len), kLinkHeader + len) << len;
    EXPECT_LT(LinkSize(len), kLinkHeader + len + 32) << len;
    EXPECT_EQ(LinkSize(len), LinkClass(len) * 16) << len;
  }
  // Flags in the length word do not change the class.
  EXPECT_EQ(LinkClass(5 | LINK_BOOKMARK | LINK_SOFTBREAK), LinkClass(5));
}

TEST(Arena, BumpAllocationPlacesRecordsBackToBack) {
  vt::Editor e;
  Link* a = NewLink(e.V(), 6);
  Link* b = NewLink(e.V(), 7);
  Link* c = NewLink(e.V(), 0);
  auto addr = [](Link* l) { return reinterpret_cast<std::uintptr_t>(l); };
  EXPECT_EQ(addr(b) - addr(a), 16u);  // six letters take 16 bytes
  EXPECT_EQ(addr(c) - addr(b), 32u);  // seven take 32
  EXPECT_EQ(addr(a) % 16, 0u);
}

TEST(Arena, ReleasedRecordIsReusedForTheSameClassOnly) {
  vt::Editor e;
  Link* a = NewLink(e.V(), 3);
  a->word = 3;
  ReleaseLink(e.V(), a);
  EXPECT_EQ(e->freeList[1], a);
  EXPECT_EQ(a->prevH, 0u);
  Link* other = NewLink(e.V(), 10);  // class 2: not from list 1
  EXPECT_NE(other, a);
  EXPECT_EQ(NewLink(e.V(), 6), a);
  EXPECT_EQ(e->freeList[1], nullptr);
}

TEST(Arena, FreeListsAcrossManySizesAreLastInFirstOut) {
  vt::Editor e;
  std::vector<Link*> recs;
  for (int len = 0; len <= 1023; len += 7) {
    Link* l = NewLink(e.V(), len);
    l->word = uint16_t(len);
    recs.push_back(l);
  }
  for (Link* l : recs) ReleaseLink(e.V(), l);
  // Asking again for every size hands back exactly the released records.
  std::vector<Link*> again;
  for (int len = 1023 - (1023 % 7); len >= 0; len -= 7) again.push_back(NewLink(e.V(), len));
  std::sort(recs.begin(), recs.end());
  std::sort(again.begin(), again.end());
  EXPECT_EQ(recs, again);
}

TEST(Arena, NewBlocksAreCommittedWhenTheFirstIsFull) {
  vt::Editor e;
  int blocks = e->memBlocks;
  for (int i = 0; i < 1000; i++) ASSERT_NE(NewLink(e.V(), 1023), nullptr);  // 1,040,000 bytes
  EXPECT_GT(e->memBlocks, blocks);
  // Records never reach into the last 1024 bytes of a block.
  EXPECT_LE(e->mem.next, e->mem.limit);
}

// Many records of random sizes, each filled with its own pattern over its
// whole size: any overlap would show as a damaged pattern.
TEST(Arena, AMillionAllocationsDoNotOverlap) {
  vt::Editor e;
  std::mt19937 rng(1234);
  struct Rec {
    Link* l;
    int len;
    uint8_t tag;
  };
  std::vector<Rec> live;
  live.reserve(1000000);
  auto fill = [](Rec& r) { std::memset(reinterpret_cast<uint8_t*>(r.l), r.tag, size_t(LinkSize(r.len))); };
  auto intact = [](const Rec& r) {
    const auto* p = reinterpret_cast<const uint8_t*>(r.l);
    for (int i = 0; i < LinkSize(r.len); i++)
      if (p[i] != r.tag) return false;
    return true;
  };
  for (int i = 0; i < 1000000; i++) {
    if (!live.empty() && rng() % 4 == 0) {
      size_t k = rng() % live.size();
      Rec r = live[k];
      ASSERT_TRUE(intact(r)) << "record damaged before release, step " << i;
      r.l->word = uint16_t(r.len);
      ReleaseLink(e.V(), r.l);
      live[k] = live.back();
      live.pop_back();
      continue;
    }
    int len = int(rng() % 100 < 90 ? rng() % 120 : rng() % 1024);
    Link* l = NewLink(e.V(), len);
    ASSERT_NE(l, nullptr);
    Rec r{l, len, uint8_t(1 + rng() % 255)};
    fill(r);
    live.push_back(r);
  }
  for (const Rec& r : live) ASSERT_TRUE(intact(r));
}

TEST(Arena, TcbRecordsComeFromTheArenaAligned) {
  vt::Editor e;
  void* a = NewTcbLink(e.V(), sizeof(Tcb));
  void* b = NewTcbLink(e.V(), sizeof(Tcb));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 16, 0u);
  EXPECT_GE(static_cast<char*>(b) - static_cast<char*>(a), static_cast<std::ptrdiff_t>(sizeof(Tcb)));
}

TEST(Arena, RunningOutOfBlocksRefusesTheRecordWithAnAlert) {
  vt::Editor e;
  e->memBlockLimit = e->memBlocks;  // no further block may be had
  Link* l = nullptr;
  int n = 0;
  while ((l = NewLink(e.V(), 1023)) != nullptr) n++;
  EXPECT_LT(n, 1000);
  while (NewLink(e.V(), 0)) {
  }
  EXPECT_STREQ(e->alertText, "Out of memory");
  EXPECT_EQ(e->memFailed, 1);
  EXPECT_EQ(AddEmptyLine(e.V(), e.cur()->base), nullptr);
  EXPECT_EQ(NewBaseLink(e.V()), nullptr);
}

TEST(Arena, ReleasingTheEditorWipesItsBlocks) {
  auto v = std::make_unique<EditorState>();
  ASSERT_TRUE(InitEditor(v.get()));
  std::byte* first = v->mem.first;
  ASSERT_NE(first, nullptr);
  DeInitEditor(v.get());
  EXPECT_EQ(v->mem.first, nullptr);
  EXPECT_EQ(v->undoArea, nullptr);
  // A fresh editor gets a block again and works.
  ASSERT_TRUE(InitEditor(v.get()));
  EXPECT_NE(NewLink(v.get(), 10), nullptr);
  DeInitEditor(v.get());
}

}  // namespace
