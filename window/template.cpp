// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the stored window templates and walking their unit records.
#include "window/template.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace molvane::window {

bool ByteReader::Take(size_t count, const uint8_t** out) {
  if (failed_ || count > length_ - at_) {
    failed_ = true;
    return false;
  }
  *out = data_ + at_;
  at_ += count;
  return true;
}

bool ByteReader::Word(uint32_t* out) {
  const uint8_t* p;
  if (!Take(4, &p)) return false;
  *out = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return true;
}

bool ByteReader::Short(uint16_t* out) {
  const uint8_t* p;
  if (!Take(2, &p)) return false;
  *out = static_cast<uint16_t>(p[0] | p[1] << 8);
  return true;
}

bool ByteReader::Bytes(size_t count, std::string* out) {
  const uint8_t* p;
  if (!Take(count, &p)) return false;
  out->assign(reinterpret_cast<const char*>(p), count);
  return true;
}

bool ByteReader::Counted(std::string* out) {
  uint32_t count;
  return Word(&count) && Bytes(count, out);
}

bool ByteReader::ZeroTerminated(std::string* out) {
  if (failed_) return false;
  const void* zero = std::memchr(data_ + at_, 0, length_ - at_);
  if (zero == nullptr) {
    failed_ = true;
    return false;
  }
  size_t count = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (data_ + at_));
  Bytes(count, out);
  return Skip(1);
}

bool ByteReader::Skip(size_t count) {
  const uint8_t* p;
  return Take(count, &p);
}

void PutWord(std::string* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<char>(value >> shift));
}

void PutCounted(std::string* out, const std::string& bytes) {
  PutWord(out, static_cast<uint32_t>(bytes.size()));
  out->append(bytes);
}

bool ReadTemplates(const uint8_t* data, size_t length, std::vector<WindowTemplate>* out) {
  ByteReader reader(data, length);
  std::string table;
  if (!reader.Counted(&table) || table.size() % 8 != 0) return false;
  const size_t windows = table.size() / 8;
  ByteReader ids(reinterpret_cast<const uint8_t*>(table.data()), table.size());
  for (size_t i = 0; i < windows; ++i) {
    WindowTemplate t;
    ids.Word(&t.windowId);
    uint32_t blobLength;
    if (!reader.Word(&t.reserved[0]) || !reader.Word(&t.reserved[1]) || !reader.Counted(&t.text1) ||
        !reader.Counted(&t.text2) || !reader.Word(&t.unitCount) || !reader.Word(&blobLength) ||
        !reader.Bytes(blobLength, &t.units))
      return false;
    out->push_back(std::move(t));
  }
  return true;
}

bool IsValidId(uint32_t id) {
  return (id & 0x0F000000) != 0 && (id & 0x00FFFFFF) != 0;
}

bool IsMenuItemId(uint32_t id) {
  return (id >> 24 & 0xF) == 6 && id >> 28 == 2;
}

uint32_t UnitList::Word(size_t offset) const {
  if (offset + 4 > blob_->size()) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(blob_->data() + offset);
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void UnitList::SetWord(size_t offset, uint32_t value) {
  if (offset + 4 > blob_->size()) return;
  for (int k = 0; k < 4; ++k) (*blob_)[offset + k] = static_cast<char>(value >> (8 * k));
}

uint32_t UnitList::IdAt(uint32_t index) const {
  return Word(4 * static_cast<size_t>(index));
}

int32_t UnitList::Find(uint32_t unitId) const {
  if (!IsValidId(unitId) || count_ == 0) return -1;
  if (IdAt(0) == unitId) return 0;
  for (uint32_t i = 1; i < count_; ++i)
    if (IdAt(i) == unitId) return static_cast<int32_t>(i);
  return -1;
}

size_t UnitList::RecordStart(uint32_t index) const {
  return 8 * static_cast<size_t>(count_) + Word(4 * (static_cast<size_t>(count_) + index));
}

bool UnitList::Layout(uint32_t index, RecordLayout* out) const {
  if (index >= count_ || 8 * static_cast<size_t>(count_) > blob_->size()) return false;
  const size_t start = RecordStart(index);
  if (start + 4 > blob_->size()) return false;
  const size_t bodyLength = Word(start);
  if (bodyLength > blob_->size() - start - 4) return false;
  const size_t body = start + 4;
  ByteReader r(reinterpret_cast<const uint8_t*>(blob_->data() + body), bodyLength);
  std::string text;
  if (!r.Skip(24) || !r.ZeroTerminated(&text) || !r.ZeroTerminated(&text)) return false;
  out->body = body;
  out->bodyLength = bodyLength;
  out->x = body + r.Position();
  if (IsMenuItemId(IdAt(index))) {
    // Menu items: 12 bytes, a caption, then their one handler.
    if (!r.Skip(12) || !r.ZeroTerminated(&text)) return false;
    out->bindings = body + r.Position();
    out->bindingCount = 0;
    return r.Skip(4);
  }
  uint32_t children, cursorLength, bindings;
  if (!r.Skip(kChildCount) || !r.Word(&children) || children > bodyLength / 4 ||
      !r.Skip(4 * static_cast<size_t>(children)) || !r.Word(&cursorLength) || !r.Skip(cursorLength))
    return false;
  out->tag = body + r.Position();
  if (!r.ZeroTerminated(&text) || !r.Skip(4)) return false;
  out->flags = body + r.Position();
  out->tabOrder = out->flags + 4;
  if (!r.Skip(8) || !r.Word(&bindings) || bindings > bodyLength / 8) return false;
  out->bindings = body + r.Position();
  out->bindingCount = bindings;
  if (!r.Skip(8 * static_cast<size_t>(bindings)) || !r.Skip(20)) return false;
  out->typeData = body + r.Position();
  out->typeDataLength = bodyLength - r.Position();
  return true;
}

uint32_t UnitList::TypeId(uint32_t index) const {
  RecordLayout layout;
  return Layout(index, &layout) ? Word(layout.body) : 0;
}

uint32_t UnitList::Link(uint32_t index) const {
  RecordLayout layout;
  return Layout(index, &layout) ? Word(layout.body + 4) : 0;
}

std::string UnitList::Name(uint32_t index) const {
  RecordLayout layout;
  if (!Layout(index, &layout)) return {};
  return std::string(blob_->c_str() + layout.body + 24);
}

std::string UnitList::Tag(uint32_t index) const {
  RecordLayout layout;
  if (!Layout(index, &layout) || layout.tag == 0) return {};
  return std::string(blob_->c_str() + layout.tag);
}

std::string UnitList::TypeData(uint32_t index) const {
  RecordLayout layout;
  if (!Layout(index, &layout) || layout.typeData == 0) return {};
  return blob_->substr(layout.typeData, layout.typeDataLength);
}

std::string UnitList::CursorData(uint32_t index) const {
  RecordLayout layout;
  if (!Layout(index, &layout) || layout.tag == 0) return {};
  size_t at = layout.x + kChildIds + 4 * static_cast<size_t>(Word(layout.x + kChildCount));
  return blob_->substr(at + 4, Word(at));
}

void UnitList::ReplaceSpan(uint32_t index, size_t from, size_t to, const std::string& bytes) {
  const size_t start = RecordStart(index);
  const int64_t delta = static_cast<int64_t>(bytes.size()) - static_cast<int64_t>(to - from);
  blob_->replace(from, to - from, bytes);
  SetWord(start, static_cast<uint32_t>(Word(start) + delta));
  for (uint32_t i = 0; i < count_; ++i) {
    const size_t slot = 4 * (static_cast<size_t>(count_) + i);
    if (RecordStart(i) > start) SetWord(slot, static_cast<uint32_t>(Word(slot) + delta));
  }
}

void UnitList::SetTag(uint32_t index, const std::string& tag) {
  RecordLayout layout;
  if (!Layout(index, &layout) || layout.tag == 0) return;
  const size_t end = layout.tag + std::strlen(blob_->c_str() + layout.tag);
  ReplaceSpan(index, layout.tag, end, tag.substr(0, tag.find('\0')));
}

void UnitList::SetCursorData(uint32_t index, const std::string& bytes) {
  RecordLayout layout;
  if (!Layout(index, &layout) || layout.tag == 0) return;
  size_t at = layout.x + kChildIds + 4 * static_cast<size_t>(Word(layout.x + kChildCount));
  std::string counted;
  PutCounted(&counted, bytes);
  ReplaceSpan(index, at, at + 4 + Word(at), counted);
}

// Records that share bytes would change each other's fields (one unit's
// object slot written through another's), so they are refused too, as is a
// list whose first unit is a menu item.
bool UnitList::Valid() const {
  // Record 0 is the window's own unit, which the loader makes first.
  if (count_ == 0 || IsMenuItemId(IdAt(0))) return false;
  std::vector<std::pair<size_t, size_t>> spans;
  RecordLayout layout;
  for (uint32_t i = 0; i < count_; ++i) {
    if (!Layout(i, &layout)) return false;
    spans.emplace_back(RecordStart(i), layout.body + layout.bodyLength);
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first < spans[i - 1].second) return false;
  return count_ > 0;
}

}  // namespace molvane::window
