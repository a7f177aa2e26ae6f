// SPDX-License-Identifier: GPL-3.0-or-later
// What makes repeated searches fast without changing a single result:
//  - compiled patterns are shared between Compile calls with the same text
//    and flags;
//  - a subject in the program's constant area is converted to wide text once
//    and indexed by unit;
//  - a search of such a subject with a shared pattern is remembered, and so
//    are the spans of all its matches (a table split at every start);
//  - for two pattern shapes the search tries only the start positions where
//    a match can begin, found through the index: a literal lookbehind at the
//    front ("(?<=X)..."), and a literal lookahead at the end after items that
//    cannot consume the literal's first unit ("[a-z]+(?=\|X)").
// Every skipped start position is one where the pattern provably cannot
// match, and each tried position runs the ordinary matcher, so records are
// identical to those of the plain search.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "regex/compiled_pattern.h"
#include "regex/matcher.h"

namespace molvane::regex {

// Positions of every unit value in a subject, grouped by value (counting sort).
class UnitIndex {
 public:
  explicit UnitIndex(const std::u16string& subject);
  int32_t Count(char16_t unit) const { return offsets_[unit + 1] - offsets_[unit]; }
  const int32_t* Begin(char16_t unit) const { return positions_.data() + offsets_[unit]; }
  const int32_t* End(char16_t unit) const { return positions_.data() + offsets_[unit + 1]; }

 private:
  std::vector<int32_t> offsets_;
  std::vector<int32_t> positions_;
};

// A constant-area text as wide units, converted once, indexed on first use.
struct ConstantSubject {
  std::u16string units;
  std::unique_ptr<UnitIndex> index;
  const UnitIndex& Index() {
    if (!index) index = std::make_unique<UnitIndex>(units);
    return *index;
  }
};

// The start positions worth trying for one compiled pattern.
class Prefilter {
 public:
  explicit Prefilter(const CompiledPattern& pattern);
  bool Active() const { return kind_ != Kind::kNone; }
  // Ascending candidate start positions at or after `start`: every position
  // where a match could begin is among them.
  void Candidates(ConstantSubject& subject, int32_t start, std::vector<int32_t>& out) const;

 private:
  enum class Kind { kNone, kAfterLiteral, kBeforeLiteral };
  // True when an item before the literal lookahead could consume `unit`.
  bool PrefixConsumes(char16_t unit) const;
  bool CollectPrefix(const MatchElement* item);

  Kind kind_ = Kind::kNone;
  std::u16string literal_;
  std::vector<const MatchElement*> prefixUnits_;  // unit elements of the prefix
  std::u16string prefixChars_;                    // characters of literal items
};

// A hash of short keys that reads eight bytes a step; the keys here (lookup
// patterns, syllables) are a few dozen bytes at most and are hashed once for
// every character of a book.
// Always inlined: it is most of the work of a lookup.
[[gnu::always_inline]] inline uint64_t HashBytes(const void* data, size_t size, uint64_t seed = 0) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  const auto* bytes = static_cast<const char*>(data);
  uint64_t h = (size ^ seed << 8) * kMultiplier;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    h = (h ^ word) * kMultiplier;
    h ^= h >> 29;
  }
  // The last one to seven bytes in fixed-size reads (overlapping where they
  // must), which compile to plain loads instead of a call.
  if (const size_t rest = size - i; rest != 0) {
    const auto* tail = reinterpret_cast<const unsigned char*>(bytes + i);
    uint64_t word;
    if (rest >= 4) {
      uint32_t low, high;
      std::memcpy(&low, tail, 4);
      std::memcpy(&high, tail + rest - 4, 4);
      word = low | uint64_t{high} << 32;
    } else {
      word = tail[0] | uint64_t{tail[rest / 2]} << 8 | uint64_t{tail[rest - 1]} << 16;
    }
    h = (h ^ word) * kMultiplier;
  }
  return h ^ (h >> 32);
}

// Hashes wide keys and views alike, so lookups by view allocate nothing.
struct ViewHash {
  using isTransparent = void;
  size_t operator()(std::u16string_view v) const {
    return HashBytes(v.data(), v.size() * sizeof(char16_t));
  }
};

// Open addressing with linear probing over slots that hold their keys, for
// the tables asked once for every character: a hit is usually one probe, and
// a power-of-two size needs no division. A Slot has a `hash` and `bool used()`.
template <class Slot, size_t kFirstSize>
class ProbingTable {
 public:
  // The slot with `hash` whose key `holds(slot)` confirms, or null.
  template <class Holds>
  const Slot* Find(uint64_t hash, Holds holds) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (!slot.used()) return nullptr;
      if (slot.hash == hash && holds(slot)) return &slot;
    }
  }
  // A free slot for a new key, its hash set; the table grows at half full.
  Slot& Add(uint64_t hash) {
    if (slots_.empty() || 2 * (used_ + 1) > slots_.size()) Grow();
    Slot& slot = FreeSlot(hash);
    slot.hash = hash;
    ++used_;
    return slot;
  }
  size_t size() const { return used_; }
  void clear() {
    std::vector<Slot>().swap(slots_);
    used_ = 0;
    mask_ = 0;
  }

 private:
  Slot& FreeSlot(uint64_t hash) {
    size_t i = hash & mask_;
    while (slots_[i].used()) i = (i + 1) & mask_;
    return slots_[i];
  }
  void Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.resize(old.empty() ? kFirstSize : old.size() * 2);
    mask_ = slots_.size() - 1;
    for (Slot& slot : old)
      if (slot.used()) FreeSlot(slot.hash) = std::move(slot);
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
  size_t mask_ = 0;
};

// A match record kept for later copies: a short one (a lookup's) inline, so
// that reading it touches no other memory.
class KeptRecord {
 public:
  void Keep(const MatchRecord& record) {
    size_ = static_cast<uint32_t>(record.size());
    if (size_ <= kInline)
      std::copy(record.begin(), record.end(), inline_.begin());
    else
      spilled_ = record;
  }
  void CopyTo(MatchRecord& record) const {
    if (size_ <= kInline)
      record.assign(inline_.begin(), inline_.begin() + size_);
    else
      record = spilled_;
  }

 private:
  static constexpr uint32_t kInline = 8;
  uint32_t size_ = 0;
  std::array<int32_t, kInline> inline_{};
  MatchRecord spilled_;
};

constexpr int32_t kShortSubject = 16;

// The answers of one pattern for short subjects (a syllable, a code), keyed
// by the start position and the subject's units: such subjects recur without
// end. Open addressing with the keys in the slots, so a hit is one probe
// and no division.
class ShortAnswers {
 public:
  static constexpr size_t kMostAnswers = 4096;  // then it starts afresh

  const KeptRecord* Find(int32_t start, std::u16string_view subject) const;
  void Insert(int32_t start, std::u16string_view subject, const MatchRecord& record);
  size_t size() const { return table_.size(); }
  void clear() { table_.clear(); }

 private:
  struct Slot {
    uint64_t hash = 0;
    int32_t start = 0;
    int32_t length = -1;  // -1: empty
    char16_t units[kShortSubject];
    KeptRecord record;
    bool used() const { return length >= 0; }
  };
  static uint64_t Hash(int32_t start, std::u16string_view subject) {
    return HashBytes(subject.data(), subject.size() * sizeof(char16_t),
                     static_cast<uint32_t>(start));
  }

  ProbingTable<Slot, 64> table_;
};

// The units accepted by a pattern that is one set or class (left to right),
// one bit a unit. A search with such a pattern matches exactly the first unit
// it accepts, so finding all its matches is one pass testing each unit here.
class UnitBitmap {
 public:
  explicit UnitBitmap(const UnitElement& element);
  bool Holds(char16_t unit) const { return ((bits_[unit >> 6] >> (unit & 63)) & 1) != 0; }

 private:
  std::array<uint64_t, 1024> bits_{};
};

// A pattern shared by every Regex that compiled the same text with the same
// flags, with the latest search of a constant subject it answered. Once that
// answer is kept, the compiled program is dropped: a lookup asks the same
// question again, and a book's thousands of lookup patterns would otherwise
// stay compiled. It is compiled again when a search needs it.
struct SharedPattern {
  // The remembered answer first: it is what a lookup reads, and it then
  // shares a cache line with the count the Regex's reference touches.
  const ConstantSubject* answered = nullptr;
  int32_t answeredStart = 0;
  KeptRecord answer;
  std::u16string source;
  uint32_t flags = 0;
  std::unique_ptr<CompiledPattern> program;  // null while dropped
  std::unique_ptr<Prefilter> prefilter;      // with the program
  ShortAnswers shortAnswers;
  std::unique_ptr<UnitBitmap> units;  // made on first ask, for one set or class
  bool unitsAsked = false;
  // Every match (start and end pairs) of the latest all-matches search of a
  // constant subject, from its start, at most `everyMost` (0: all): a table
  // split into its rows at start-up is split the same way every run.
  const ConstantSubject* everyAnswered = nullptr;
  int32_t everyMost = 0;
  std::vector<int32_t> everySpans;

  // Compiles the program if it is not there; false when the pattern does not
  // compile (its groups nest too deeply).
  bool Ready();
  void Drop();
};

// The bitmap of a pattern that is one set or class; null for any other
// pattern or when shortcuts are off.
const UnitBitmap* SingleUnitBitmap(SharedPattern& pattern);

// The compiled pattern for (pattern, flags): shared when shortcuts are on,
// otherwise a new one. Null when the pattern does not compile.
std::shared_ptr<SharedPattern> CompileShared(const char16_t* pattern, int32_t length,
                                             uint32_t flags);

// Compile's own shortcut: the shared pattern that a GBK pattern text, with
// its flags and name substitution, compiled to before, so a repeated Compile
// needs no conversion either. Null when not known or shortcuts are off.
struct CompileKey {
  std::string_view text;  // GBK
  uint32_t flags = 0;
  bool substitute = false;
};
std::shared_ptr<SharedPattern> FindCompiled(const CompileKey& key);
void RememberCompiled(const CompileKey& key, const std::shared_ptr<SharedPattern>& pattern);

// The constant subject for a GBK text in the constant area; null for any
// other text or when shortcuts are off.
ConstantSubject* ConstantSubjectFor(const char* gbk);

// Searches a constant subject with a shared pattern: remembered answers, then
// the prefilter, then the plain search.
void SearchConstant(SharedPattern& pattern, ConstantSubject& subject, int32_t start,
                    Matcher& matcher, MatchRecord& record);

// Searches a short subject with a shared pattern, remembering the answer.
void SearchShort(SharedPattern& pattern, const char16_t* subject, int32_t length, int32_t start,
                 Matcher& matcher, MatchRecord& record);

// Drops every cache.
void ClearAccelerator();
// The end of a run of the program (the library's end notice): what was learnt
// is kept for the next run, which first checks that each constant text it
// uses is still the one an answer was found in.
void EndAcceleratorRun();

}  // namespace molvane::regex
