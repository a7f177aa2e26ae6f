// The process heap: blocks of every small size stay separate, freed blocks
// are handed out again without disturbing live ones, and resizing keeps the
// contents.
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

}  // namespace
