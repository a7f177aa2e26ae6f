// SPDX-License-Identifier: GPL-3.0-or-later
// Window templates as stored in the program, and access to their unit
// records. The unit blob is kept exactly in its stored form: the loader and
// the property routines read and write its fields in place, so that a
// window's records are also its run-time state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace molvane::window {

// Reads stored data front to back; a read past the end fails and leaves the
// reader failed, it never touches bytes beyond the end.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t length) : data_(data), length_(length) {}
  bool Word(uint32_t* out);
  bool Short(uint16_t* out);
  bool Bytes(size_t count, std::string* out);
  bool Counted(std::string* out);  // 32-bit count, then that many bytes
  bool ZeroTerminated(std::string* out);
  bool Skip(size_t count);
  size_t Position() const { return at_; }

 private:
  bool Take(size_t count, const uint8_t** out);
  const uint8_t* data_;
  size_t length_;
  size_t at_ = 0;
  bool failed_ = false;
};

// Appends stored data: the writer side of ByteReader.
void PutWord(std::string* out, uint32_t value);
void PutCounted(std::string* out, const std::string& bytes);

struct WindowTemplate {
  uint32_t windowId = 0;
  uint32_t reserved[2] = {0, 0};
  std::string text1;
  std::string text2;
  uint32_t unitCount = 0;
  std::string units;  // the UnitList blob
};

// All windows of the template data, or false when it is cut short or
// inconsistent.
bool ReadTemplates(const uint8_t* data, size_t length, std::vector<WindowTemplate>* out);

// UnitId and WindowId layout.
bool IsValidId(uint32_t id);
bool IsMenuItemId(uint32_t id);

// Field offsets of one unit record, relative to the blob; computed with
// bounds checks, so a damaged record is refused rather than overrun.
struct RecordLayout {
  size_t body = 0;        // first byte of the body
  size_t bodyLength = 0;  // R
  size_t x = 0;           // just after the second text
  size_t tag = 0;
  size_t flags = 0;
  size_t tabOrder = 0;
  size_t bindings = 0;
  uint32_t bindingCount = 0;
  size_t typeData = 0;
  size_t typeDataLength = 0;
};

// Offsets from X of the fixed fields after the two texts.
constexpr size_t kObjectSlot = 0;
constexpr size_t kLeft = 4;
constexpr size_t kTop = 8;
constexpr size_t kWidth = 12;
constexpr size_t kHeight = 16;
constexpr size_t kCursorSlot = 20;
constexpr size_t kContainerId = 24;
constexpr size_t kChildCount = 28;
constexpr size_t kChildIds = 32;

// UnitFlags bits.
constexpr uint32_t kUnitVisible = 1;
constexpr uint32_t kUnitDisabled = 2;
constexpr uint32_t kUnitTabStop = 4;

// The records of one window's blob.
class UnitList {
 public:
  UnitList(std::string* blob, uint32_t count) : blob_(blob), count_(count) {}
  uint32_t Count() const { return count_; }
  uint32_t IdAt(uint32_t index) const;
  // Index of a unit by id (unit 0 first), or -1.
  int32_t Find(uint32_t unitId) const;
  bool Layout(uint32_t index, RecordLayout* out) const;
  uint32_t Word(size_t offset) const;
  void SetWord(size_t offset, uint32_t value);
  uint32_t TypeId(uint32_t index) const;
  uint32_t Link(uint32_t index) const;
  std::string Name(uint32_t index) const;
  std::string Tag(uint32_t index) const;
  std::string TypeData(uint32_t index) const;
  std::string CursorData(uint32_t index) const;
  // Replaces a stored text or byte block; the record and the offsets of
  // the records after it are rewritten.
  void SetTag(uint32_t index, const std::string& tag);
  void SetCursorData(uint32_t index, const std::string& bytes);
  // Whole-list checks done once before a window is loaded: every record
  // readable, no two records sharing bytes, and record 0 not a menu item.
  bool Valid() const;

 private:
  size_t RecordStart(uint32_t index) const;
  void ReplaceSpan(uint32_t index, size_t from, size_t to, const std::string& bytes);
  std::string* blob_;
  uint32_t count_;
};

}  // namespace molvane::window
