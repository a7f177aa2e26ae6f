// The process heap. Large blocks come from the C library's allocator; blocks
// of up to 64 bytes (single characters and short codes, by the million in a
// whole book, and the small records made for every character) come from size
// classes carved out of one reserved address
// range, so they cost their own size and not an allocator header each.
// Sanitizer builds use the C library's allocator for everything, so every
// block stays visible to the address and leak checkers.
#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define MOLVANE_SMALL_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_SMALL_BLOCKS 0
#endif
#endif
#ifndef MOLVANE_SMALL_BLOCKS
#define MOLVANE_SMALL_BLOCKS 1
#endif

namespace {
SIZE_T g_failureThreshold = 0;
int g_heapTag;  // its address is the process heap's handle

bool MustFail(SIZE_T bytes) {
  return g_failureThreshold != 0 && bytes >= g_failureThreshold;
}

#if MOLVANE_SMALL_BLOCKS
// One size class: a reserved range handed out front to back, with freed
// blocks kept on an intrusive list.
struct SizeClass {
  SIZE_T size;
  char* begin = nullptr;
  char* next = nullptr;
  char* end = nullptr;
  void* freeList = nullptr;

  bool Owns(const void* p) const {
    return begin != nullptr && static_cast<const char*>(p) >= begin &&
           static_cast<const char*>(p) < end;
  }
  // A free block holds the offset of the next free block, in units of the
  // class size, plus one (0 ends the list), so even 4-byte blocks can.
  void* Take() {
    if (freeList != nullptr) {
      void* p = freeList;
      uint32_t link;
      std::memcpy(&link, p, sizeof link);
      freeList = link == 0 ? nullptr : begin + (link - 1) * size;
      return p;
    }
    if (begin == nullptr) Reserve();
    if (begin == nullptr || next + size > end) return nullptr;
    void* p = next;
    next += size;
    return p;
  }
  void Give(void* p) {
    uint32_t link = freeList == nullptr
                        ? 0
                        : static_cast<uint32_t>((static_cast<char*>(freeList) - begin) / size + 1);
    std::memcpy(p, &link, sizeof link);
    freeList = p;
  }
  void Reserve() {
    // Address space only: pages become memory when first written.
    // 2^32 - 1 blocks at most, so a link always fits in 32 bits.
    const SIZE_T bytes = size * ((SIZE_T{1} << 32) - 1);
    void* range = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (range == MAP_FAILED) return;
    begin = next = static_cast<char*>(range);
    end = begin + bytes;
  }
};
// One GBK character with its zero byte fits the smallest class.
SizeClass g_classes[] = {{4}, {8}, {16}, {32}, {64}};

SizeClass* ClassFor(SIZE_T bytes) {
  if (bytes <= 4) return &g_classes[0];
  if (bytes <= 8) return &g_classes[1];
  if (bytes <= 16) return &g_classes[2];
  if (bytes <= 32) return &g_classes[3];
  if (bytes <= 64) return &g_classes[4];
  return nullptr;
}
SizeClass* OwnerOf(const void* p) {
  for (SizeClass& c : g_classes)
    if (c.Owns(p)) return &c;
  return nullptr;
}
#endif
}  // namespace

namespace platform {
void SetHeapFailureThreshold(SIZE_T bytes) {
  g_failureThreshold = bytes;
}
}  // namespace platform

HANDLE GetProcessHeap() {
  // Blocks of a megabyte and more are mapped on their own: growing one
  // remaps it instead of copying, and freeing one returns it at once. A fixed
  // threshold keeps the C library from raising it after large frees.
  static const bool tuned = mallopt(M_MMAP_THRESHOLD, 1 << 20) != 0;
  (void)tuned;
  return &g_heapTag;
}

LPVOID HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
  if (MustFail(bytes)) return nullptr;
  void* p = nullptr;
#if MOLVANE_SMALL_BLOCKS
  if (SizeClass* c = ClassFor(bytes)) p = c->Take();
#endif
  // A zero-byte request still yields a distinct block, as the Windows heap does.
  if (p == nullptr) p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p != nullptr && (flags & HEAP_ZERO_MEMORY) != 0) std::memset(p, 0, bytes);
  return p;
}

LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID mem, SIZE_T bytes) {
  if (mem == nullptr || MustFail(bytes)) return nullptr;
#if MOLVANE_SMALL_BLOCKS
  if (SizeClass* c = OwnerOf(mem)) {
    if (bytes <= c->size) return mem;
    void* grown = std::malloc(bytes);
    if (grown == nullptr) return nullptr;
    std::memcpy(grown, mem, c->size);
    c->Give(mem);
    return grown;
  }
#endif
  return std::realloc(mem, bytes == 0 ? 1 : bytes);
}

BOOL HeapFree(HANDLE, DWORD, LPVOID mem) {
#if MOLVANE_SMALL_BLOCKS
  if (SizeClass* c = OwnerOf(mem)) {
    c->Give(mem);
    return TRUE;
  }
#endif
  std::free(mem);
  return TRUE;
}
