// SPDX-License-Identifier: GPL-3.0-or-later
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

int32_t ArrayTotalCount(const void* array) {
  return ArrayElementCountOf(array, nullptr);
}

// Most texts of a conversion (characters, syllables, codes, separators) end
// within a few bytes, where a plain loop is cheaper than a library call.
constexpr size_t kShortText = 16;

int32_t TextByteLength(const char* text) {
  if (text == nullptr) return 0;
  for (size_t i = 0; i < kShortText; ++i)
    if (text[i] == '\0') return static_cast<int32_t>(i);
  return static_cast<int32_t>(std::strlen(text));
}

int32_t CompareTextsFully(const char* a, const char* b) {
  for (size_t i = 0; i < kShortText; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
  int r = std::strcmp(a + kShortText, b + kShortText);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

namespace {
// Copies up to 16 bytes with a few overlapping fixed-size moves.
void CopyShort(char* to, const char* from, size_t len) {
  if (len >= 8) {
    uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + len - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + len - 8, &tail, 8);
  } else if (len >= 4) {
    uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + len - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + len - 4, &tail, 4);
  } else if (len > 0) {
    to[0] = from[0];
    to[len / 2] = from[len / 2];
    to[len - 1] = from[len - 1];
  }
}

// The parts of a join or an append: a handful of short texts, each measured
// once and, when short, copied without a library call.
class Parts {
 public:
  Parts(int32_t n, const char* const* parts, int32_t first) : n_(n), parts_(parts), first_(first) {
    for (int32_t i = first; i < n; ++i) {
      size_t len = static_cast<size_t>(TextByteLength(parts[i]));
      if (i < kMeasured) lengths_[i] = len;
      total_ += len;
    }
  }
  size_t total() const { return total_; }
  // Copies every part to p; returns the end.
  char* CopyTo(char* p) const {
    for (int32_t i = first_; i < n_; ++i) {
      size_t len = i < kMeasured ? lengths_[i] : static_cast<size_t>(TextByteLength(parts_[i]));
      if (len <= kShort)
        CopyShort(p, parts_[i], len);
      else
        std::memcpy(p, parts_[i], len);
      p += len;
    }
    return p;
  }

 private:
  static constexpr int32_t kMeasured = 8;
  static constexpr size_t kShort = 16;
  int32_t n_;
  const char* const* parts_;
  int32_t first_;
  size_t lengths_[kMeasured];  // filled for the parts measured
  size_t total_ = 0;
};
}  // namespace

char* ConcatTexts(int32_t n, const char* const* parts) {
  Parts measured(n, parts, 0);
  char* out = static_cast<char*>(AllocMemory(measured.total() + 1));
  *measured.CopyTo(out) = '\0';
  return out;
}

namespace {
// Appends the parts to the growing text in one pass while they fit in its
// block (the usual case: a few bytes onto a buffer with room). False, with
// the text's length unchanged, when they do not fit.
bool AppendWithinCapacity(detail::GrowingText& g, int32_t n, const char* const* parts) {
  char* p = g.buffer + g.length;
  char* const last = g.buffer + g.capacity - 1;  // room for the zero byte
  for (int32_t i = 1; i < n; ++i) {
    const char* part = parts[i];
    if (part == nullptr) continue;
    for (; *part != '\0'; ++part) {
      if (p == last) return false;
      *p++ = *part;
    }
  }
  *p = '\0';
  g.length = static_cast<size_t>(p - g.buffer);
  return true;
}
}  // namespace

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
  if (AppendWithinCapacity(g, n, parts)) return;
  Parts added(n, parts, 1);
  size_t needed = g.length + added.total() + 1;
  detail::GrowingText grown = g;
  if (needed > grown.capacity) {
    size_t capacity = std::max(needed, grown.capacity * 2);
    grown.buffer = static_cast<char*>(ReallocMemory(old, capacity));  // forgets g
    grown.capacity = capacity;
  }
  char* p = added.CopyTo(grown.buffer + grown.length);
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
  // A key or a syllable of two letters needs no block of its own; such a
  // text is told by its first bytes, without a full length count.
  if (ShortcutsEnabled() && text[0] != '\0') {
    const size_t length = text[1] == '\0' ? 1 : text[2] == '\0' ? 2 : 0;
    if (length != 0)
      if (char* shared = SharedShortText(text, length)) return shared;
  }
  const size_t bytes = std::strlen(text) + 1;
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

void ReportElementIndex(int32_t index) {
  // The lower bound is tested first: index 0 of an empty array reports 4.
  ReportRuntimeError(index < 1 ? 4 : 1);
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
