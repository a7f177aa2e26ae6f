// SPDX-License-Identifier: GPL-3.0-or-later
// The state one search threads through the element tree: a backtrack stack of
// integers, a stack of capture entries, the capture index, the position and
// the bounds of the subject.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "runtime/runtime.h"

namespace molvane::regex {

// A growable stack of 32-bit integers that keeps its storage when emptied, so
// a search costs no allocation once the stacks have grown to fit it.
class IntStack {
 public:
  int32_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  void Clear() { size_ = 0; }
  // Only ever shortens: cutting back to a length noted earlier.
  void Cut(int32_t size) {
    if (size < size_) size_ = size;
  }
  void Push(int32_t value) {
    if (size_ == capacity_) Grow(size_ + 1);
    data_[size_++] = value;
  }
  int32_t Pop() { return data_[--size_]; }
  int32_t& operator[](int32_t index) { return data_[index]; }
  int32_t operator[](int32_t index) const { return data_[index]; }
  int32_t* Data() { return data_.get(); }
  const int32_t* Data() const { return data_.get(); }
  // Sets the size to `size`, giving every entry the value `fill`.
  void Assign(int32_t size, int32_t fill) {
    if (size > capacity_) Grow(size);
    for (int32_t i = 0; i < size; ++i) data_[i] = fill;
    size_ = size;
  }
  // Grows to at least `size` entries, new ones taking `fill`.
  void Extend(int32_t size, int32_t fill) {
    if (size <= size_) return;
    if (size > capacity_) Grow(size);
    for (int32_t i = size_; i < size; ++i) data_[i] = fill;
    size_ = size;
  }

 private:
  void Grow(int64_t needed) {
    // Offsets and lengths travel as 32-bit integers on the stacks themselves.
    constexpr int64_t kMost = INT32_MAX;
    if (needed > kMost) ReportAllocationFailure(static_cast<size_t>(needed) * sizeof(int32_t));
    int64_t capacity = capacity_ < 8 ? 8 : static_cast<int64_t>(capacity_) * 2;
    while (capacity < needed) capacity *= 2;
    if (capacity > kMost) capacity = kMost;
    std::unique_ptr<int32_t[]> grown(new (std::nothrow) int32_t[static_cast<size_t>(capacity)]);
    if (grown == nullptr) ReportAllocationFailure(static_cast<size_t>(capacity) * sizeof(int32_t));
    for (int32_t i = 0; i < size_; ++i) grown[i] = data_[i];
    data_ = std::move(grown);
    capacity_ = static_cast<int32_t>(capacity);
  }

  std::unique_ptr<int32_t[]> data_;
  int32_t size_ = 0;
  int32_t capacity_ = 0;
};

// The ways a recursion target offers from a start position at a depth: for
// each end position in the order it first came, the capture entries of the
// first way that ended there. Where no capture is tested, that list depends
// on nothing else during one search, so every call there offers the same
// ends in the same order and each call may add to the list; once a call has
// run out of ways the list is complete, and later calls replay it instead of
// backtracking through the target again (ways that end where an earlier one
// did are of no use: what follows fails there as before). Kept for one
// search; past its bound nothing new is learnt, which only costs time.
class RecursionWays {
 public:
  // Per end, in order: the end, the number n of integers of its capture
  // entries, then those n integers.
  struct Ways {
    std::vector<int32_t> data;
    int32_t count = 0;
    bool complete = false;
  };

  static uint64_t Key(int32_t group, int32_t at, int32_t depth) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(group)) << 40) ^
           (static_cast<uint64_t>(static_cast<uint32_t>(depth)) << 32) ^ static_cast<uint32_t>(at);
  }
  // The complete list for `key`, or null.
  const Ways* Complete(uint64_t key) const {
    if (entries_.empty()) return nullptr;
    const auto found = entries_.find(key);
    return found != entries_.end() && found->second.complete ? &found->second : nullptr;
  }
  // A call offers a new end as its way number `index`; the capture entries
  // its target added lie from `from` on.
  void Note(uint64_t key, int32_t index, int32_t end, const IntStack& captures, int32_t from) {
    Ways* ways = Learning(key);
    if (ways == nullptr || ways->count != index) return;
    const int32_t added = captures.Size() - from;
    stored_ += static_cast<size_t>(added) + 2;
    ways->data.push_back(end);
    ways->data.push_back(added);
    for (int32_t i = from; i < captures.Size(); ++i) ways->data.push_back(captures[i]);
    ways->count += 1;
  }
  // A call ran out of ways after offering `count` ends.
  void Finish(uint64_t key, int32_t count) {
    Ways* ways = Learning(key);
    if (ways != nullptr && ways->count == count) ways->complete = true;
  }
  void Clear() {
    if (!entries_.empty()) entries_.clear();
    stored_ = 0;
  }

 private:
  // About 8 MB; an entry itself counts as the integers its node takes.
  static constexpr size_t kMostIntegers = size_t{1} << 21;
  static constexpr size_t kEntryIntegers = 18;

  Ways* Learning(uint64_t key) {
    if (stored_ > kMostIntegers) return nullptr;
    const auto [found, added] = entries_.try_emplace(key);
    if (added) stored_ += kEntryIntegers;
    return found->second.complete ? nullptr : &found->second;
  }

  std::unordered_map<uint64_t, Ways> entries_;
  size_t stored_ = 0;
};

// Fields of a capture entry (four integers on the capture stack).
enum CaptureField : int32_t {
  kCaptureGroup = 0,
  kCaptureEntered = 1,
  kCaptureLeft = 2,  // -1 while the group is open
  kCaptureNesting = 3,
  kCaptureEntrySize = 4,
};

struct MatchContext {
  IntStack backtrack;
  IntStack captures;
  // Per group number: offset of the group's latest entry in `captures`, or -1.
  // After a cut it may point past the end or at another group's entry; the
  // lookup walks back to the true latest entry.
  IntStack captureIndex;
  int32_t position = 0;
  int32_t begin = 0;  // the start position the search was given
  int32_t closingCounter = 0;
  int32_t recursionBudget = 100;
  const char16_t* subject = nullptr;
  int32_t length = 0;
  // Offered lists of greedy repetitions and recursions while they backtrack
  // (strictly nested).
  IntStack scratch;
  // Whether the elements may pass over ways that are known to fail (see
  // GreedyElement::skipDeadStates and RecursionElement::memoised); only
  // tests turn it off, to compare with plain backtracking.
  bool memoise = true;
  RecursionWays recursionWays;

  // Offset of the latest capture entry of `group`, or -1 when it has none.
  int32_t LatestEntry(int32_t group) const {
    if (group < 0 || group >= captureIndex.Size()) return -1;
    int32_t offset = captureIndex[group];
    if (offset < 0) return -1;
    const int32_t last = captures.Size() - kCaptureEntrySize;
    if (offset > last) offset = last;
    while (offset >= 0 && captures[offset + kCaptureGroup] != group) offset -= kCaptureEntrySize;
    return offset;
  }

  void CutBack(int32_t backtrackSize, int32_t capturesSize, int32_t at) {
    backtrack.Cut(backtrackSize);
    captures.Cut(capturesSize);
    position = at;
  }
};

}  // namespace molvane::regex
