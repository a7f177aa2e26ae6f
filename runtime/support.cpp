// Texts and arrays with the ownership rules of the value model.
#include "runtime/support.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/runtime_state.h"

namespace molvane {

namespace {
// The block every new empty array is copied from: one dimension, no elements.
constexpr int32_t kEmptyArray[2] = {1, 0};
}  // namespace

int32_t ArrayElementCountOf(const void* array, void** first) {
  if (array == nullptr) {
    if (first != nullptr) *first = nullptr;
    return 0;
  }
  const auto* words = static_cast<const int32_t*>(array);
  int32_t dimensions = words[0];
  int64_t count = dimensions > 0 ? 1 : 0;
  for (int32_t d = 0; d < dimensions; ++d) count *= words[1 + d];
  if (first != nullptr)
    *first = const_cast<char*>(static_cast<const char*>(array)) + ArrayHeaderBytes(dimensions);
  return static_cast<int32_t>(count);
}

int32_t TextByteLength(const char* text) {
  return text == nullptr ? 0 : static_cast<int32_t>(std::strlen(text));
}

int32_t CompareTextsFully(const char* a, const char* b) {
  int r = std::strcmp(a, b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

char* ConcatTexts(int32_t n, const char* const* parts) {
  size_t total = 0;
  for (int32_t i = 0; i < n; ++i) total += static_cast<size_t>(TextByteLength(parts[i]));
  char* out = static_cast<char*>(AllocMemory(total + 1));
  char* p = out;
  for (int32_t i = 0; i < n; ++i) {
    size_t len = static_cast<size_t>(TextByteLength(parts[i]));
    if (len != 0) std::memcpy(p, parts[i], len);
    p += len;
  }
  *p = '\0';
  return out;
}

void AssignConcat(char** variable, int32_t n, const char* const* parts) {
  detail::GrowingText& g = detail::State().growing;
  char* old = *variable;
  bool inPlace =
      ShortcutsEnabled() && n >= 1 && old != nullptr && parts[0] == old && g.buffer == old;
  // A later part inside the growing block would move with it.
  for (int32_t i = 1; inPlace && i < n; ++i)
    inPlace = parts[i] == nullptr || parts[i] < old || parts[i] >= old + g.capacity;
  if (!inPlace) {
    char* fresh = ConcatTexts(n, parts);
    FreeMemory(old);
    *variable = fresh;
    if (ShortcutsEnabled()) {
      size_t length = std::strlen(fresh);
      g = detail::GrowingText{fresh, length, length + 1};
    }
    return;
  }
  // Appends are a handful of short parts: measure each once.
  constexpr int32_t kMeasured = 8;
  size_t lengths[kMeasured];
  size_t added = 0;
  for (int32_t i = 1; i < n; ++i) {
    size_t len = static_cast<size_t>(TextByteLength(parts[i]));
    if (i < kMeasured) lengths[i] = len;
    added += len;
  }
  size_t needed = g.length + added + 1;
  detail::GrowingText grown = g;
  if (needed > grown.capacity) {
    size_t capacity = std::max(needed, grown.capacity * 2);
    grown.buffer = static_cast<char*>(ReallocMemory(old, capacity));  // forgets g
    grown.capacity = capacity;
  }
  char* p = grown.buffer + grown.length;
  for (int32_t i = 1; i < n; ++i) {
    size_t len = i < kMeasured ? lengths[i] : static_cast<size_t>(TextByteLength(parts[i]));
    std::memcpy(p, parts[i], len);
    p += len;
  }
  *p = '\0';
  grown.length = static_cast<size_t>(p - grown.buffer);
  g = grown;
  *variable = grown.buffer;
}

int64_t TruncateToInteger(double value) {
  return static_cast<int64_t>(std::trunc(value));
}

char* CopyText(const char* text) {
  if (text == nullptr) return nullptr;
  size_t bytes = std::strlen(text) + 1;
  char* copy = static_cast<char*>(AllocMemory(bytes));
  std::memcpy(copy, text, bytes);
  return copy;
}

void AssignText(char** variable, char* fresh) {
  char* old = *variable;
  *variable = fresh;
  if (old != fresh) FreeMemory(old);
}

void* NewEmptyArray() {
  void* block = AllocMemory(sizeof kEmptyArray);
  std::memcpy(block, kEmptyArray, sizeof kEmptyArray);
  return block;
}

void* ArrayElementChecked(void* array, int32_t index, size_t width) {
  void* first;
  int32_t n = ArrayElementCount(array, &first);
  // The lower bound is tested first: index 0 of an empty array reports 4.
  if (index - 1 < 0) ReportRuntimeError(4);
  if (index - 1 >= n) ReportRuntimeError(1);
  return static_cast<char*>(first) + static_cast<size_t>(index - 1) * width;
}

void* NewArray(int32_t n, size_t width) {
  size_t bytes = 8 + static_cast<size_t>(n) * width;
  auto* block = static_cast<int32_t*>(AllocMemory(bytes));
  block[0] = 1;
  block[1] = n;
  std::memset(block + 2, 0, bytes - 8);
  return block;
}

void FreeTextArray(void* array) {
  if (array == nullptr || IsConstantPointer(array)) return;
  void* first;
  int32_t n = ArrayElementCount(array, &first);
  char** texts = static_cast<char**>(first);
  for (int32_t i = 0; i < n; ++i) FreeMemory(texts[i]);
  FreeMemory(array);
}

void FreeArray(void* array) {
  FreeMemory(array);
}

void AssignTextArray(void** variable, void* fresh) {
  void* old = *variable;
  *variable = fresh;
  if (old != fresh) FreeTextArray(old);
}

void AppendArrayElement(void** variable, const void* element, size_t width) {
  if (*variable == nullptr) *variable = NewEmptyArray();
  CallService(kServiceMakeArrayWritable, reinterpret_cast<intptr_t>(variable),
              static_cast<intptr_t>(width));
  int32_t n = ArrayElementCount(*variable);
  void* grown = ReallocMemory(*variable, 8 + static_cast<size_t>(n + 1) * width);
  auto* header = static_cast<int32_t*>(grown);
  header[0] = 1;
  header[1] = n + 1;
  std::memcpy(static_cast<char*>(grown) + 8 + static_cast<size_t>(n) * width, element, width);
  *variable = grown;
}

}  // namespace molvane
