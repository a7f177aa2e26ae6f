// SPDX-License-Identifier: GPL-3.0-or-later
// The sweep fails C++ allocations in the same count as heap requests, so the
// regex library's containers and the window engine's strings are failed too.
#include <cstdlib>
#include <new>

#include "platform/platform.h"

namespace {
void* Allocate(std::size_t bytes) {
  if (platform::CountedAllocationFails()) return nullptr;
  return std::malloc(bytes == 0 ? 1 : bytes);
}
void* AllocateOrThrow(std::size_t bytes) {
  void* p = Allocate(bytes);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
}  // namespace

void* operator new(std::size_t bytes) {
  return AllocateOrThrow(bytes);
}
void* operator new[](std::size_t bytes) {
  return AllocateOrThrow(bytes);
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return Allocate(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return Allocate(bytes);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
