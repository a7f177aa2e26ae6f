// Memory entries: the process heap, with pointers into the constant area
// recognised and never freed or resized in place.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "runtime/runtime_state.h"

namespace molvane {

namespace {
[[noreturn]] void ReportAllocationFailure(size_t size) {
  std::string message = "分配 " + std::to_string(size) + " 字节内存失败!";
  ReportRuntimeFailure(0, platform::Utf8ToGbk(message).c_str());
}
}  // namespace

bool IsConstantPointer(const void* p) {
  const auto& s = detail::State();
  const char* c = static_cast<const char*>(p);
  return p != nullptr && s.constantStart != nullptr && c >= s.constantStart && c < s.constantEnd;
}

void* AllocMemory(size_t size) {
  void* block = HeapAlloc(detail::Heap(), 0, size);
  if (block == nullptr) ReportAllocationFailure(size);
  return block;
}

namespace {
// A block that is freed or resized is no longer the growing text.
void ForgetGrowing(const void* block) {
  detail::GrowingText& g = detail::State().growing;
  if (block == g.buffer) g = detail::GrowingText{};
}
}  // namespace

void SetShortcutsEnabled(bool enabled) {
  detail::State().shortcuts = enabled;
  ForgetGrowing(detail::State().growing.buffer);
}
bool ShortcutsEnabled() {
  return detail::State().shortcuts;
}

void* ReallocMemory(void* block, size_t size) {
  if (block == nullptr) return AllocMemory(size);
  ForgetGrowing(block);
  if (IsConstantPointer(block)) {
    void* copy = AllocMemory(size);
    size_t available = static_cast<size_t>(detail::State().constantEnd - static_cast<char*>(block));
    std::memcpy(copy, block, size < available ? size : available);
    return copy;
  }
  void* resized = HeapReAlloc(detail::Heap(), 0, block, size);
  if (resized == nullptr) ReportAllocationFailure(size);
  return resized;
}

void FreeMemory(void* block) {
  if (block == nullptr || IsConstantPointer(block)) return;
  ForgetGrowing(block);
  HeapFree(detail::Heap(), 0, block);
}

}  // namespace molvane
