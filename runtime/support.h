// SPDX-License-Identifier: GPL-3.0-or-later
// Support routines that every piece of program code may use on texts and
// arrays, with the ownership rules of the value model.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/runtime.h"
#include "runtime/value.h"

namespace molvane {

// Element count of an array (0 for a null array or no dimensions); stores the
// address of the first element in *first when first is not null.
int32_t ArrayElementCountOf(const void* array, void** first);
// The element count alone: the product of the dimension sizes. Kept out of
// line so that a loop over an array stays small enough for the compiler to
// split into a one-dimensional version, where the element checks fold away.
[[gnu::pure, gnu::noinline]] int32_t ArrayTotalCount(const void* array);
inline int32_t ArrayElementCount(const void* array, void** first = nullptr) {
  // One-dimensional arrays, the only kind program code makes, inline.
  if (first == nullptr) {
    if (array == nullptr) return 0;
    const int32_t* header = static_cast<const int32_t*>(array);
    return header[0] == 1 ? header[1] : ArrayTotalCount(array);
  }
  return ArrayElementCountOf(array, first);
}
// Byte length of a text; null gives 0.
int32_t TextByteLength(const char* text);
// Three-way compare as unsigned bytes; null equals the empty text. Most
// compares (syllables against a table) differ in the first two bytes, so
// those are tested inline; the rest stays out of line so that a loop of
// compares stays small enough for the compiler to optimise as a whole.
[[gnu::pure, gnu::noinline]] int32_t CompareTextsFully(const char* a, const char* b);
inline int32_t CompareTexts(const char* a, const char* b) {
  static constexpr char kEmpty[1] = {'\0'};
  const char* x = a == nullptr ? kEmpty : a;
  const char* y = b == nullptr ? kEmpty : b;
  if (*x != *y) return static_cast<unsigned char>(*x) < static_cast<unsigned char>(*y) ? -1 : 1;
  if (*x == '\0') return 0;
  if (x[1] != y[1])
    return static_cast<unsigned char>(x[1]) < static_cast<unsigned char>(y[1]) ? -1 : 1;
  return x[1] == '\0' ? 0 : CompareTextsFully(x + 1, y + 1);
}
// Joins n texts into a new buffer (always a new buffer, also when empty).
char* ConcatTexts(int32_t n, const char* const* parts);
template <class... T>
char* Concat(const T*... parts) {
  const char* list[] = {parts...};
  return ConcatTexts(static_cast<int32_t>(sizeof...(parts)), list);
}
// The assignment `variable := parts[0] + ... + parts[n-1]`: the new value is
// computed (it may read the old one), the old buffer freed, the new stored.
// When parts[0] is the variable's own text the runtime grows that buffer in
// place, so repeated appends cost time in proportion to what they add.
void AssignConcat(char** variable, int32_t n, const char* const* parts);
template <class... T>
void AssignConcatOf(char** variable, const T*... parts) {
  const char* list[] = {parts...};
  AssignConcat(variable, static_cast<int32_t>(sizeof...(parts)), list);
}
// Floating value to integer, rounding toward zero.
int64_t TruncateToInteger(double value);

// A fresh copy of a text (length + 1 bytes), or null for null.
char* CopyText(const char* text);
// Assignment to a text variable: frees the old buffer, stores the fresh value.
void AssignText(char** variable, char* fresh);

// A new empty array: one dimension of size 0.
void* NewEmptyArray();
// Reports a bad element index: below 1 is code 4, beyond the end code 1.
[[noreturn]] void ReportElementIndex(int32_t index);
// Checked access to element `index` (1-based) of an array with elements of
// `width` bytes. Inline and free of side effects until it fails, so a loop
// over an array reads the array's header once.
inline void* ArrayElement(void* array, int32_t index, size_t width) {
  // The count is the same expression a loop over the array computes, so the
  // compiler can see that the loop's own bound already keeps the index in range.
  const int32_t count = ArrayElementCount(array);
  if (index < 1 || index > count) ReportElementIndex(index);
  const int32_t dimensions = static_cast<const int32_t*>(array)[0];
  return static_cast<char*>(array) + ArrayHeaderBytes(dimensions) +
         static_cast<size_t>(index - 1) * width;
}
inline char*& TextElement(void* array, int32_t index) {
  return *static_cast<char**>(ArrayElement(array, index, sizeof(char*)));
}
inline int32_t& IntElement(void* array, int32_t index) {
  return *static_cast<int32_t*>(ArrayElement(array, index, sizeof(int32_t)));
}
inline void*& PointerElement(void* array, int32_t index) {
  return *static_cast<void**>(ArrayElement(array, index, sizeof(void*)));
}
// A one-dimensional array of n zeroed elements of `width` bytes.
void* NewArray(int32_t n, size_t width);
// Frees an array of texts: every non-null element in index order, then the block.
void FreeTextArray(void* array);
// Frees an array block whose elements own nothing.
void FreeArray(void* array);
// Assignment to a text-array variable: the old array is freed with its texts.
void AssignTextArray(void** variable, void* fresh);
// Appends one element to a one-dimensional array variable (service 2, then a
// resize to n + 1 elements, then the store).
void AppendArrayElement(void** variable, const void* element, size_t width);

}  // namespace molvane
