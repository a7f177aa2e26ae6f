// SPDX-License-Identifier: GPL-3.0-or-later
// The process heap: blocks of every small size stay separate, freed blocks
// are handed out again without disturbing live ones, and resizing keeps the
// contents; under AddressSanitizer, misuse inside a size class is reported;
// the failure countdown fails exactly the request it names.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace {

struct Block {
  unsigned char* data;
  size_t size;
  unsigned char fill;
};

void Fill(const Block& b) {
  std::memset(b.data, b.fill, b.size);
}
bool Intact(const Block& b) {
  for (size_t i = 0; i < b.size; ++i)
    if (b.data[i] != b.fill) return false;
  return true;
}

Block Allocate(size_t size, unsigned char fill, DWORD flags = 0) {
  Block b{static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), flags, size)), size, fill};
  EXPECT_NE(b.data, nullptr);
  return b;
}

TEST(Heap, FreedBlocksOfEverySizeAreReusedWithoutDisturbingLiveOnes) {
  std::vector<Block> blocks;
  for (int round = 0; round < 3; ++round)
    for (size_t size = 1; size <= 100; ++size) {
      blocks.push_back(Allocate(size, static_cast<unsigned char>(blocks.size() % 251 + 1)));
      Fill(blocks.back());
    }
  // Free every other block (in an order that mixes the free lists), then
  // take as many again; every survivor keeps its bytes.
  std::vector<Block> kept;
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (i % 2 == 0)
      HeapFree(GetProcessHeap(), 0, blocks[i].data);
    else
      kept.push_back(blocks[i]);
  }
  for (size_t i = 0; i < blocks.size(); i += 2) {
    kept.push_back(Allocate(blocks[i].size, static_cast<unsigned char>(200 + i % 50)));
    Fill(kept.back());
  }
  for (const Block& b : kept) EXPECT_TRUE(Intact(b)) << "block of " << b.size << " bytes";
  for (const Block& b : kept) HeapFree(GetProcessHeap(), 0, b.data);
}

TEST(Heap, ZeroedRequestsAreZeroEvenWhenTheBlockIsReused) {
  Block dirty = Allocate(24, 0xAB);
  Fill(dirty);
  HeapFree(GetProcessHeap(), 0, dirty.data);
  Block clean = Allocate(24, 0, HEAP_ZERO_MEMORY);
  EXPECT_TRUE(Intact(clean));
  HeapFree(GetProcessHeap(), 0, clean.data);
}

TEST(Heap, ResizingKeepsTheContentsAcrossSizes) {
  Block b = Allocate(3, 'x');
  Fill(b);
  for (size_t size : {5u, 16u, 17u, 64u, 65u, 4096u}) {
    auto* grown = static_cast<unsigned char*>(HeapReAlloc(GetProcessHeap(), 0, b.data, size));
    ASSERT_NE(grown, nullptr);
    b.data = grown;
    EXPECT_TRUE(Intact(b)) << "after growing to " << size;
    std::memset(b.data + b.size, 'x', size - b.size);
    b.size = size;
  }
  HeapFree(GetProcessHeap(), 0, b.data);
}

TEST(Heap, CountdownFailsExactlyTheNamedRequest) {
  platform::SetAllocationFailureCountdown(3);
  void* first = HeapAlloc(GetProcessHeap(), 0, 8);
  void* second = HeapAlloc(GetProcessHeap(), 0, 1000);
  EXPECT_EQ(HeapReAlloc(GetProcessHeap(), 0, first, 16), nullptr);  // the third fails
  EXPECT_EQ(platform::CountedAllocations(), 3u);
  void* fourth = HeapReAlloc(GetProcessHeap(), 0, first, 16);  // later ones succeed
  EXPECT_NE(fourth, nullptr);
  EXPECT_NE(second, nullptr);
  platform::SetAllocationFailureCountdown(0);
  HeapFree(GetProcessHeap(), 0, fourth);
  HeapFree(GetProcessHeap(), 0, second);
}

#if defined(__SANITIZE_ADDRESS__)
#define MOLVANE_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_TEST_ASAN 1
#endif
#endif
#ifdef MOLVANE_TEST_ASAN
// The sanitizer build keeps the small-block heap, so misuse that stays inside
// its slices must still be reported. Each write goes through a volatile
// pointer so it is not optimised away.
void Touch(void* block, size_t offset) {
  static_cast<volatile char*>(block)[offset] = 1;
}

TEST(HeapDeathTest, OverflowIntoTheNextBlockIsReported) {
  EXPECT_DEATH(
      {
        void* a = HeapAlloc(GetProcessHeap(), 0, 16);
        void* b = HeapAlloc(GetProcessHeap(), 0, 16);  // in use right after a
        Touch(b, 0);
        Touch(a, 16);
      },
      "AddressSanitizer: use-after-poison");
}

TEST(HeapDeathTest, OverflowPastTheRequestInsideTheBlockIsReported) {
  EXPECT_DEATH(Touch(HeapAlloc(GetProcessHeap(), 0, 13), 13), "AddressSanitizer: use-after-poison");
  // A block shrunk in place loses its tail.
  EXPECT_DEATH(
      {
        void* a = HeapAlloc(GetProcessHeap(), 0, 30);
        Touch(HeapReAlloc(GetProcessHeap(), 0, a, 20), 25);
      },
      "AddressSanitizer: use-after-poison");
}

TEST(HeapDeathTest, UseAfterFreeIsReported) {
  EXPECT_DEATH(
      {
        void* a = HeapAlloc(GetProcessHeap(), 0, 40);
        HeapFree(GetProcessHeap(), 0, a);
        Touch(a, 8);
      },
      "AddressSanitizer: use-after-poison");
  // Also after the block moved out of its class on growing.
  EXPECT_DEATH(
      {
        void* a = HeapAlloc(GetProcessHeap(), 0, 4);
        HeapReAlloc(GetProcessHeap(), 0, a, 200);
        Touch(a, 0);
      },
      "AddressSanitizer: use-after-poison");
}
#endif

}  // namespace
