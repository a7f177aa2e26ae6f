// The process heap, on the C library's allocator.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {
SIZE_T g_failureThreshold = 0;
int g_heapTag;  // its address is the process heap's handle

bool MustFail(SIZE_T bytes) {
  return g_failureThreshold != 0 && bytes >= g_failureThreshold;
}
}  // namespace

namespace platform {
void SetHeapFailureThreshold(SIZE_T bytes) {
  g_failureThreshold = bytes;
}
}  // namespace platform

HANDLE GetProcessHeap() {
  return &g_heapTag;
}

LPVOID HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
  if (MustFail(bytes)) return nullptr;
  // A zero-byte request still yields a distinct block, as the Windows heap does.
  void* p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p != nullptr && (flags & HEAP_ZERO_MEMORY) != 0) std::memset(p, 0, bytes);
  return p;
}

LPVOID HeapReAlloc(HANDLE, DWORD flags, LPVOID mem, SIZE_T bytes) {
  if (mem == nullptr || MustFail(bytes)) return nullptr;
  return std::realloc(mem, bytes == 0 ? 1 : bytes);
}

BOOL HeapFree(HANDLE, DWORD, LPVOID mem) {
  std::free(mem);
  return TRUE;
}
