// SPDX-License-Identifier: GPL-3.0-or-later
// The process heap. Large blocks come from the C library's allocator; blocks
// of up to 64 bytes (single characters and short codes, by the million in a
// whole book, and the small records made for every character) come from size
// classes carved out of one reserved address
// range, so they cost their own size and not an allocator header each.
// Under AddressSanitizer the same heap runs, so the allocator the optimised
// program uses is the one the sanitizer build tests: every byte no live block
// owns is poisoned (free blocks, a block's tail past the request, the slice
// not yet handed out, and a gap after every block), so overflows and uses
// after free inside a size class are reported.
#include <malloc.h>
#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define MOLVANE_HEAP_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_HEAP_POISON 1
#endif
#endif
#ifndef MOLVANE_HEAP_POISON
#define MOLVANE_HEAP_POISON 0
#endif
#if MOLVANE_HEAP_POISON
#include <sanitizer/lsan_interface.h>
#endif

namespace {
// Failure hooks for tests, process-wide like the heap they act on.
SIZE_T g_failureThreshold = 0;
uint64_t g_countdown = 0;  // the request that fails, counted from 1; 0: none
uint64_t g_counted = 0;    // requests since the countdown was set
int g_heapTag;             // its address is the process heap's handle

bool MustFail(SIZE_T bytes) {
  return (g_failureThreshold != 0 && bytes >= g_failureThreshold) ||
         platform::CountedAllocationFails();
}

void Poison(void* p, SIZE_T bytes) {
  ASAN_POISON_MEMORY_REGION(p, bytes);
}
void Unpoison(void* p, SIZE_T bytes) {
  ASAN_UNPOISON_MEMORY_REGION(p, bytes);
}

// Every class has a slice of the same size in one reserved address range, so
// finding a block's class is one subtraction and one shift.
constexpr int kClassCount = 5;
#if MOLVANE_HEAP_POISON
// Poisoning works on 8-byte granules, so blocks start on one; a poisoned gap
// of the block's size follows each block, so running off its end is caught
// even when the next block is in use. Small slices keep the leak checker's
// scan of them short.
constexpr int kSmallestShift = 3;
constexpr int kGapShift = 1;
constexpr int kLargestSliceShift = 24;
#else
constexpr int kSmallestShift = 2;
constexpr int kGapShift = 0;
constexpr int kLargestSliceShift = 32;
#endif
int g_sliceShift = kLargestSliceShift;  // 4 GiB of address space a class, less where refused
char* g_smallBase = nullptr;
bool g_smallReserveFailed = false;

// One size class: a slice handed out front to back, with freed blocks kept
// on an intrusive list.
struct SizeClass {
  int shift;  // blocks of 1 << shift bytes: links are found without dividing
  char* begin = nullptr;
  char* next = nullptr;
  char* end = nullptr;
  void* freeList = nullptr;

  // A free block holds the offset of the next free block, in units of the
  // block stride, plus one (0 ends the list), so even 4-byte blocks can.
  SIZE_T size() const { return SIZE_T{1} << shift; }
  int strideShift() const { return shift + kGapShift; }
  // A block for `bytes` (at most size()), of which only those are usable.
  void* Take(SIZE_T bytes) {
    void* p;
    if (freeList != nullptr) {
      p = freeList;
      uint32_t link;
      Unpoison(p, sizeof link);
      std::memcpy(&link, p, sizeof link);
      freeList = link == 0 ? nullptr : begin + (SIZE_T{link - 1} << strideShift());
    } else {
      if (next + size() > end) return nullptr;  // also while nothing is reserved
      p = next;
      next += SIZE_T{1} << strideShift();
    }
    Resize(p, bytes);
    return p;
  }
  void Give(void* p) {
    uint32_t link =
        freeList == nullptr
            ? 0
            : static_cast<uint32_t>(
                  (static_cast<SIZE_T>(static_cast<char*>(freeList) - begin) >> strideShift()) + 1);
    Unpoison(p, size());
#if MOLVANE_HEAP_POISON
    // Stale pointers in a free block would hide leaks from the leak checker.
    std::memset(p, 0, size());
#endif
    // p is one of this class's blocks (OwnerOf found it). Inlined into a
    // caller that frees a constant text on another path, GCC cannot see that
    // check, takes p for the constant and warns of an overflow; the empty asm
    // hides where p came from and costs nothing.
    asm("" : "+r"(p));
    std::memcpy(p, &link, sizeof link);
    Poison(p, size());
    freeList = p;
  }
  // Makes the first `bytes` of a live block usable and poisons the rest.
  void Resize(void* p, SIZE_T bytes) {
    Poison(p, size());
    Unpoison(p, bytes);
  }
};
// One GBK character with its zero byte fits the smallest class.
SizeClass g_classes[kClassCount] = {{kSmallestShift}, {3}, {4}, {5}, {6}};  // 4 (or 8) to 64 bytes

// Address space only: pages become memory when first written. Where so much
// address space is refused (some debuggers and checkers), smaller slices are
// tried. A slice holds 2^32 - 1 blocks at most, so a link fits in 32 bits.
void ReserveSmallBlocks() {
  if (g_smallBase != nullptr || g_smallReserveFailed) return;
  for (int shift = kLargestSliceShift; shift >= 24 && g_smallBase == nullptr; shift -= 2) {
    void* range = mmap(nullptr, SIZE_T{kClassCount} << shift, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (range == MAP_FAILED) continue;
    g_smallBase = static_cast<char*>(range);
    g_sliceShift = shift;
  }
  if (g_smallBase == nullptr) {
    g_smallReserveFailed = true;  // everything goes to the C library then
    return;
  }
  for (int i = 0; i < kClassCount; ++i) {
    SizeClass& c = g_classes[i];
    c.begin = c.next = g_smallBase + (static_cast<SIZE_T>(i) << g_sliceShift);
    const SIZE_T blocks =
        std::min((SIZE_T{1} << g_sliceShift) >> c.strideShift(), (SIZE_T{1} << 32) - 1);
    c.end = c.begin + (blocks << c.strideShift());
  }
  const SIZE_T reserved = SIZE_T{kClassCount} << g_sliceShift;
  Poison(g_smallBase, reserved);
#if MOLVANE_HEAP_POISON
  // Live blocks hold pointers to the C library's blocks.
  __lsan_register_root_region(g_smallBase, reserved);
#endif
}

SizeClass* ClassFor(SIZE_T bytes) {
  if (bytes > 64) return nullptr;
  if (g_smallBase == nullptr) ReserveSmallBlocks();
  // 1..4 -> 0, 5..8 -> 1, 9..16 -> 2, 17..32 -> 3, 33..64 -> 4
  const int index =
      bytes <= 4 ? 0 : 62 - __builtin_clzll(static_cast<unsigned long long>(bytes - 1));
  return &g_classes[index];
}
SizeClass* OwnerOf(const void* p) {
  const uintptr_t offset =
      reinterpret_cast<uintptr_t>(p) - reinterpret_cast<uintptr_t>(g_smallBase);
  if (g_smallBase == nullptr || offset >= (uintptr_t{kClassCount} << g_sliceShift)) return nullptr;
  return &g_classes[offset >> g_sliceShift];
}
}  // namespace

namespace platform {
void SetHeapFailureThreshold(SIZE_T bytes) {
  g_failureThreshold = bytes;
}
void SetAllocationFailureCountdown(uint64_t count) {
  g_countdown = count;
  g_counted = 0;
}
bool CountedAllocationFails() {
  return ++g_counted == g_countdown;
}
uint64_t CountedAllocations() {
  return g_counted;
}
}  // namespace platform

HANDLE GetProcessHeap() {
  // Large blocks stay in the C library's heap once freed, up to a bound: a
  // book converted piece by piece needs the same few megabyte buffers for
  // every piece, and mapping each afresh cost a page fault for every 4 KB
  // of it (about 16,000 a piece). Only blocks of 32 MB and more are mapped
  // on their own, and more than 64 MB free at the heap's top goes back to
  // the system. Fixed values keep the C library from moving them after
  // large frees.
  static const bool tuned =
      mallopt(M_MMAP_THRESHOLD, 32 << 20) != 0 && mallopt(M_TRIM_THRESHOLD, 64 << 20) != 0;
  (void)tuned;
  return &g_heapTag;
}

LPVOID HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
  if (MustFail(bytes)) return nullptr;
  void* p = nullptr;
  if (SizeClass* c = ClassFor(bytes)) p = c->Take(bytes);
  // A zero-byte request still yields a distinct block, as the Windows heap does.
  if (p == nullptr) p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p != nullptr && (flags & HEAP_ZERO_MEMORY) != 0) std::memset(p, 0, bytes);
  return p;
}

LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID mem, SIZE_T bytes) {
  if (mem == nullptr || MustFail(bytes)) return nullptr;
  if (SizeClass* c = OwnerOf(mem)) {
    if (bytes <= c->size()) {
      c->Resize(mem, bytes);
      return mem;
    }
    void* grown = std::malloc(bytes);
    if (grown == nullptr) return nullptr;
    Unpoison(mem, c->size());  // the whole block is copied, tail included
    std::memcpy(grown, mem, c->size());
    c->Give(mem);
    return grown;
  }
  return std::realloc(mem, bytes == 0 ? 1 : bytes);
}

BOOL HeapFree(HANDLE, DWORD, LPVOID mem) {
  if (SizeClass* c = OwnerOf(mem)) {
    c->Give(mem);
    return TRUE;
  }
  std::free(mem);
  return TRUE;
}
