// SPDX-License-Identifier: GPL-3.0-or-later
// Value layouts shared by program code, the runtime and the libraries:
// GBK texts, arrays with a dimension header, and the ArgRecord in which
// every command argument and result travels.
#pragma once

#include <cstdint>
#include <cstring>

namespace molvane {

// A text is a zero-terminated GBK string; null is the empty text.
using Text = char*;

// Type codes carried in an ArgRecord's third word.
enum TypeCode : uint32_t {
  kTypeOmitted = 0,
  kTypeByte = 0x80000101,
  kTypeShort = 0x80000201,
  kTypeInt = 0x80000301,
  kTypeLong = 0x80000401,
  kTypeFloat = 0x80000501,
  kTypeDouble = 0x80000601,
  kTypeBool = 0x80000002,
  kTypeDateTime = 0x80000003,
  kTypeText = 0x80000004,
  kTypeByteSet = 0x80000005,
  kTypeSubroutine = 0x80000006,
  kArrayFlag = 0x20000000,
  // Object and control types: (library number + 1) * 0x10000 + type number.
  kTypeWindow = 0x10001,
  kTypeRichEdit = 0x20006,
  kTypeRegex = 0x30001,
  kTypeSearchResult = 0x30002,
};

// Three 32-bit words. A pointer fills both value words (low word first), so
// that a 64-bit build keeps the record's layout and meaning.
struct ArgRecord {
  uint32_t low;
  uint32_t high;
  uint32_t type;
};
static_assert(sizeof(ArgRecord) == 12);

inline ArgRecord OmittedArg() {
  return ArgRecord{0, 0, kTypeOmitted};
}
inline ArgRecord IntArg(int32_t v) {
  return ArgRecord{static_cast<uint32_t>(v), 0, kTypeInt};
}
inline ArgRecord BoolArg(bool v) {
  return ArgRecord{v ? 1u : 0u, 0, kTypeBool};
}
inline ArgRecord Int64Arg(int64_t v, uint32_t type = kTypeLong) {
  uint64_t u = static_cast<uint64_t>(v);
  return ArgRecord{static_cast<uint32_t>(u), static_cast<uint32_t>(u >> 32), type};
}
inline ArgRecord DoubleArg(double v, uint32_t type = kTypeDouble) {
  uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return ArgRecord{static_cast<uint32_t>(u), static_cast<uint32_t>(u >> 32), type};
}
inline ArgRecord PointerArg(const void* p, uint32_t type) {
  uint64_t u = reinterpret_cast<uintptr_t>(p);
  return ArgRecord{static_cast<uint32_t>(u), static_cast<uint32_t>(u >> 32), type};
}
inline ArgRecord TextArg(const char* text) {
  return PointerArg(text, kTypeText);
}
// An object argument carries the address of the cell that holds the object.
inline ArgRecord ObjectArg(void** cell, uint32_t type) {
  return PointerArg(cell, type);
}
// A control argument: window id in the low word, control id in the high word.
inline ArgRecord ControlArg(uint32_t windowId, uint32_t controlId, uint32_t type) {
  return ArgRecord{windowId, controlId, type};
}

inline uint64_t ArgBits(const ArgRecord& r) {
  return (static_cast<uint64_t>(r.high) << 32) | r.low;
}
inline void* ArgPointer(const ArgRecord& r) {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(ArgBits(r)));
}
inline char* ArgText(const ArgRecord& r) {
  return static_cast<char*>(ArgPointer(r));
}
inline int32_t ArgInt(const ArgRecord& r) {
  return static_cast<int32_t>(r.low);
}
inline double ArgDouble(const ArgRecord& r) {
  uint64_t u = ArgBits(r);
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}
inline bool ArgGiven(const ArgRecord& r) {
  return r.type != kTypeOmitted;
}
inline void SetResultPointer(ArgRecord* result, const void* p, uint32_t type) {
  *result = PointerArg(p, type);
}

// Arrays: one heap block holding the dimension count (int32), one int32 size
// per dimension, then the elements, row-major. Text and object elements are
// pointer-sized. The header of a one-dimensional array is 8 bytes, so its
// pointer elements stay aligned.
struct ArrayHeader {
  int32_t dimensions;
  int32_t sizes[1];  // `dimensions` entries in the block
};
inline size_t ArrayHeaderBytes(int32_t dimensions) {
  return sizeof(int32_t) * (1 + static_cast<size_t>(dimensions < 0 ? 0 : dimensions));
}

// Element widths of the numeric codes (1, 2, 4, 8, 4, 8); 0 for the rest.
inline int32_t NumericElementWidth(uint32_t type) {
  switch (type & ~static_cast<uint32_t>(kArrayFlag)) {
    case kTypeByte:
      return 1;
    case kTypeShort:
      return 2;
    case kTypeInt:
      return 4;
    case kTypeLong:
      return 8;
    case kTypeFloat:
      return 4;
    case kTypeDouble:
      return 8;
    default:
      return 0;
  }
}

}  // namespace molvane
