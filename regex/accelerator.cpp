// SPDX-License-Identifier: GPL-3.0-or-later
#include "regex/accelerator.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <string_view>
#include <unordered_map>

#include "platform/win32.h"
#include "runtime/runtime.h"

namespace molvane::regex {

namespace {

// Enough for every character a book uses; past it the cache starts afresh
// (patterns in use stay alive through their holders).
constexpr size_t kMostSharedPatterns = 1 << 15;

// Patterns are keyed by their text with the flags appended as one more unit
// pair; lookups use a view, so a hit allocates nothing.
using PatternMap = std::unordered_map<std::u16string_view, std::shared_ptr<SharedPattern>, ViewHash,
                                      std::equal_to<>>;

PatternMap& Patterns() {
  static auto* patterns = new PatternMap;
  return *patterns;
}

// Compile's table, with the GBK pattern text in the slots: one cache line
// answers a lookup, which matters when a book's characters make thousands of
// keys.
class CompiledTable {
 public:
  static constexpr size_t kLongestText = 34;

  std::shared_ptr<SharedPattern> Find(const CompileKey& key) const {
    if (key.text.size() > kLongestText) return nullptr;
    const Slot* slot = table_.Find(Hash(key), [&](const Slot& s) { return Holds(s, key); });
    return slot == nullptr ? nullptr : slot->value;
  }

  void Insert(const CompileKey& key, const std::shared_ptr<SharedPattern>& value) {
    if (key.text.size() > kLongestText) return;
    Slot& slot = table_.Add(Hash(key));
    slot.value = value;
    slot.flags = key.flags;
    slot.length = static_cast<uint8_t>(key.text.size());
    slot.substitute = key.substitute;
    std::memcpy(slot.text, key.text.data(), key.text.size());
  }

  size_t Size() const { return table_.size(); }
  void Clear() { table_.clear(); }

 private:
  struct Slot {
    uint64_t hash = 0;
    std::shared_ptr<SharedPattern> value;
    uint32_t flags = 0;
    uint8_t length = 0;
    bool substitute = false;
    char text[kLongestText];
    bool used() const { return value != nullptr; }
  };

  static bool Holds(const Slot& slot, const CompileKey& key) {
    return slot.length == key.text.size() && slot.flags == key.flags &&
           slot.substitute == key.substitute &&
           std::memcmp(slot.text, key.text.data(), key.text.size()) == 0;
  }
  // The pattern text is hashed where it lies, with the flags as the seed.
  static uint64_t Hash(const CompileKey& key) {
    return HashBytes(key.text.data(), key.text.size(),
                     uint64_t{key.flags} << 1 | (key.substitute ? 1u : 0u));
  }

  ProbingTable<Slot, 4096> table_;
};

CompiledTable& Compiled() {
  static auto* compiled = new CompiledTable;
  return *compiled;
}

// A constant subject with the text it was made from: the caches outlive a
// run of the program (a book is converted in pieces, a run each), and a
// later run may have another text at the same address.
struct KeptSubject {
  std::unique_ptr<ConstantSubject> subject;
  std::string gbk;
  uint64_t run = 0;  // the latest run in which the text was found the same
};
// The number of the program's current run, process-wide as the caches it
// dates are: a text checked once in a run is not checked again in it.
uint64_t g_run = 1;

std::unordered_map<const char*, KeptSubject>& Subjects() {
  static auto* subjects = new std::unordered_map<const char*, KeptSubject>;
  return *subjects;
}

// Subjects whose text changed between runs: kept until the run ends, so that
// no answer remembered for one can be taken for a new subject at its address.
std::vector<std::unique_ptr<ConstantSubject>>& Replaced() {
  static auto* replaced = new std::vector<std::unique_ptr<ConstantSubject>>;
  return *replaced;
}

const UnitElement* AsUnit(const MatchElement* e) {
  if (e == nullptr) return nullptr;
  ElementKind k = e->Kind();
  return k == ElementKind::kCharSet || k == ElementKind::kClassTest
             ? static_cast<const UnitElement*>(e)
             : nullptr;
}

const StringElement* AsPlainString(const MatchElement* e, bool rightToLeft) {
  if (e == nullptr || e->Kind() != ElementKind::kString) return nullptr;
  auto* s = static_cast<const StringElement*>(e);
  return !s->ignoreCase && s->rightToLeft == rightToLeft && !s->text.empty() ? s : nullptr;
}

}  // namespace

UnitIndex::UnitIndex(const std::u16string& subject)
    : offsets_(65537, 0), positions_(subject.size()) {
  for (char16_t u : subject) ++offsets_[u + 1];
  for (size_t i = 1; i < offsets_.size(); ++i) offsets_[i] += offsets_[i - 1];
  std::vector<int32_t> next(offsets_.begin(), offsets_.end() - 1);
  for (size_t i = 0; i < subject.size(); ++i)
    positions_[static_cast<size_t>(next[subject[i]]++)] = static_cast<int32_t>(i);
}

Prefilter::Prefilter(const CompiledPattern& pattern) {
  const MatchElement* top = pattern.Top();
  if ((pattern.Flags() & kRightToLeft) != 0 || top == nullptr ||
      top->Kind() != ElementKind::kSequence)
    return;
  auto* sequence = static_cast<const SequenceElement*>(top);
  const auto& items = sequence->items;
  if (sequence->rightToLeft || items.size() < 2) return;

  // "(?<=L)...": a match can begin only right after an occurrence of L.
  if (items.front()->Kind() == ElementKind::kLookaround) {
    auto* look = static_cast<const LookaroundElement*>(items.front());
    if (const StringElement* s = AsPlainString(look->inner, true); s != nullptr && look->positive) {
      kind_ = Kind::kAfterLiteral;
      literal_ = s->text;
      return;
    }
  }
  // "P(?=L)" where P consumes only units that cannot begin L: a match covers
  // a run of such units that ends exactly where L occurs.
  if (items.back()->Kind() == ElementKind::kLookaround) {
    auto* look = static_cast<const LookaroundElement*>(items.back());
    const StringElement* s = AsPlainString(look->inner, false);
    if (s == nullptr || !look->positive) return;
    for (size_t i = 0; i + 1 < items.size(); ++i)
      if (!CollectPrefix(items[i])) return;
    literal_ = s->text;
    if (PrefixConsumes(literal_[0])) return;
    kind_ = Kind::kBeforeLiteral;
  }
}

bool Prefilter::CollectPrefix(const MatchElement* item) {
  switch (item->Kind()) {
    case ElementKind::kEmpty:
      return true;
    case ElementKind::kCharSet:
    case ElementKind::kClassTest: {
      const UnitElement* unit = AsUnit(item);
      if (unit->rightToLeft) return false;
      prefixUnits_.push_back(unit);
      return true;
    }
    case ElementKind::kString: {
      const StringElement* s = AsPlainString(item, false);
      if (s == nullptr) return false;
      prefixChars_ += s->text;
      return true;
    }
    case ElementKind::kRepeat:
      return CollectPrefix(static_cast<const RepeatElement*>(item)->atom);
    case ElementKind::kGreedy:
    case ElementKind::kLazy:
    case ElementKind::kPossessive:
      return CollectPrefix(static_cast<const RangeRepeatElement*>(item)->atom);
    default:
      return false;
  }
}

bool Prefilter::PrefixConsumes(char16_t unit) const {
  if (prefixChars_.find(unit) != std::u16string::npos) return true;
  for (const MatchElement* e : prefixUnits_)
    if (static_cast<const UnitElement*>(e)->Test(unit)) return true;
  return false;
}

void Prefilter::Candidates(ConstantSubject& subject, int32_t start,
                           std::vector<int32_t>& out) const {
  out.clear();
  const UnitIndex& index = subject.Index();
  const std::u16string& units = subject.units;
  const int32_t length = static_cast<int32_t>(units.size());
  const int32_t n = static_cast<int32_t>(literal_.size());
  // Walk the occurrences of the literal's rarest unit.
  int32_t pick = 0;
  for (int32_t k = 1; k < n; ++k)
    if (index.Count(literal_[k]) < index.Count(literal_[pick])) pick = k;
  std::u16string_view literal(literal_);
  for (const int32_t* p = index.Begin(literal_[pick]); p != index.End(literal_[pick]); ++p) {
    int32_t at = *p - pick;  // where the literal would begin
    if (at < 0 || at + n > length ||
        std::u16string_view(units).substr(static_cast<size_t>(at), literal.size()) != literal)
      continue;
    if (kind_ == Kind::kAfterLiteral) {
      if (at + n >= start) out.push_back(at + n);
      continue;
    }
    if (at < start) continue;
    int32_t run = at;
    while (run > start && PrefixConsumes(units[static_cast<size_t>(run - 1)])) --run;
    for (int32_t s = run; s <= at; ++s) out.push_back(s);
  }
}

UnitBitmap::UnitBitmap(const UnitElement& element) {
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit)
    if (element.Test(static_cast<char16_t>(unit))) bits_[unit >> 6] |= uint64_t{1} << (unit & 63);
}

const UnitBitmap* SingleUnitBitmap(SharedPattern& pattern) {
  if (!ShortcutsEnabled()) return nullptr;
  if (!pattern.unitsAsked) {
    pattern.unitsAsked = true;
    if (!pattern.Ready() || (pattern.program->Flags() & kRightToLeft) != 0) return nullptr;
    if (const UnitElement* unit = AsUnit(pattern.program->Top()); unit && !unit->rightToLeft)
      pattern.units = std::make_unique<UnitBitmap>(*unit);
  }
  return pattern.units.get();
}

bool SharedPattern::Ready() {
  if (program) return true;
  auto compiled = std::make_unique<CompiledPattern>();
  // The source carries the two flag units at its end.
  const int32_t length = static_cast<int32_t>(source.size()) - 2;
  compiled->Load(source.data(), length, flags);
  if (compiled->ErrorOffset() >= 0) return false;
  if (ShortcutsEnabled()) prefilter = std::make_unique<Prefilter>(*compiled);
  program = std::move(compiled);
  return true;
}

void SharedPattern::Drop() {
  prefilter.reset();
  program.reset();
}

std::shared_ptr<SharedPattern> CompileShared(const char16_t* pattern, int32_t length,
                                             uint32_t flags) {
  const bool share = ShortcutsEnabled();
  // The key is the text with the flags appended; short patterns (every
  // lookup) are looked up without touching the heap.
  char16_t small[64];
  std::u16string large;
  char16_t* key = small;
  const size_t keyLength = static_cast<size_t>(length) + 2;
  if (keyLength > std::size(small)) {
    large.resize(keyLength);
    key = large.data();
  }
  std::copy(pattern, pattern + length, key);
  key[length] = static_cast<char16_t>(flags & 0xFFFF);
  key[length + 1] = static_cast<char16_t>(flags >> 16);
  std::u16string_view view(key, keyLength);
  if (share) {
    auto it = Patterns().find(view);
    if (it != Patterns().end()) return it->second;
  }
  auto shared = std::make_shared<SharedPattern>();
  shared->source.assign(view);
  shared->flags = flags;
  if (!shared->Ready()) return nullptr;
  if (!share) return shared;
  if (Patterns().size() >= kMostSharedPatterns) Patterns().clear();
  Patterns().emplace(std::u16string_view(shared->source), shared);
  return shared;
}

// Lookups search the same table over and over.
const char* lastText = nullptr;
ConstantSubject* lastSubject = nullptr;

std::shared_ptr<SharedPattern> FindCompiled(const CompileKey& key) {
  if (!ShortcutsEnabled()) return nullptr;
  return Compiled().Find(key);
}

void RememberCompiled(const CompileKey& key, const std::shared_ptr<SharedPattern>& pattern) {
  if (!ShortcutsEnabled() || pattern == nullptr) return;
  if (Compiled().Size() >= kMostSharedPatterns) Compiled().Clear();
  Compiled().Insert(key, pattern);
}

ConstantSubject* ConstantSubjectFor(const char* gbk) {
  if (!ShortcutsEnabled() || !IsConstantPointer(gbk)) return nullptr;
  if (gbk == lastText && lastSubject != nullptr) return lastSubject;
  auto& subjects = Subjects();
  if (auto it = subjects.find(gbk); it != subjects.end()) {
    KeptSubject& kept = it->second;
    if (kept.run == g_run || std::strcmp(kept.gbk.c_str(), gbk) == 0) {
      kept.run = g_run;
      lastText = gbk;
      lastSubject = kept.subject.get();
      return lastSubject;
    }
    Replaced().push_back(std::move(kept.subject));
    subjects.erase(it);
  }
  int count = MultiByteToWideChar(CP_ACP, 0, gbk, -1, nullptr, 0);
  if (count <= 1) return nullptr;  // empty: no subject to keep
  auto subject = std::make_unique<ConstantSubject>();
  subject->units.resize(static_cast<size_t>(count));
  MultiByteToWideChar(CP_ACP, 0, gbk, -1, subject->units.data(), count);
  subject->units.pop_back();  // the terminating zero
  KeptSubject& kept = subjects[gbk];
  kept.subject = std::move(subject);
  kept.gbk = gbk;
  kept.run = g_run;
  return kept.subject.get();
}

void SearchConstant(SharedPattern& pattern, ConstantSubject& subject, int32_t start,
                    Matcher& matcher, MatchRecord& record) {
  if (pattern.answered == &subject && pattern.answeredStart == start) {
    pattern.answer.CopyTo(record);
    return;
  }
  record.clear();
  if (!pattern.Ready()) return;
  const int32_t length = static_cast<int32_t>(subject.units.size());
  if (pattern.prefilter && pattern.prefilter->Active() && start >= 0 && start <= length) {
    static std::vector<int32_t> candidates;
    pattern.prefilter->Candidates(subject, start, candidates);
    matcher.SearchAt(*pattern.program, subject.units.data(), length, start, candidates, record);
  } else {
    matcher.Search(*pattern.program, subject.units.data(), length, start, record);
  }
  pattern.answered = &subject;
  pattern.answeredStart = start;
  pattern.answer.Keep(record);
  pattern.Drop();
}

const KeptRecord* ShortAnswers::Find(int32_t start, std::u16string_view subject) const {
  const Slot* slot = table_.Find(Hash(start, subject), [&](const Slot& s) {
    return s.start == start && s.length == static_cast<int32_t>(subject.size()) &&
           std::equal(subject.begin(), subject.end(), s.units);
  });
  return slot == nullptr ? nullptr : &slot->record;
}

void ShortAnswers::Insert(int32_t start, std::u16string_view subject, const MatchRecord& record) {
  if (subject.size() > static_cast<size_t>(kShortSubject)) return;
  if (table_.size() >= kMostAnswers) table_.clear();
  Slot& slot = table_.Add(Hash(start, subject));
  slot.start = start;
  slot.length = static_cast<int32_t>(subject.size());
  std::copy(subject.begin(), subject.end(), slot.units);
  slot.record.Keep(record);
}

void SearchShort(SharedPattern& pattern, const char16_t* subject, int32_t length, int32_t start,
                 Matcher& matcher, MatchRecord& record) {
  const std::u16string_view view(subject, static_cast<size_t>(length));
  if (const KeptRecord* known = pattern.shortAnswers.Find(start, view)) {
    known->CopyTo(record);
    return;
  }
  record.clear();
  if (!pattern.Ready()) return;
  matcher.Search(*pattern.program, subject, length, start, record);
  pattern.shortAnswers.Insert(start, view, record);
}

void ClearAccelerator() {
  lastText = nullptr;
  lastSubject = nullptr;
  Compiled().Clear();
  Patterns().clear();
  Subjects().clear();
  Replaced().clear();
}

void EndAcceleratorRun() {
  ++g_run;
  lastText = nullptr;
  lastSubject = nullptr;
  // A replaced subject's answers go with everything else; so does what the
  // plain path never uses.
  if (!ShortcutsEnabled() || !Replaced().empty()) ClearAccelerator();
}

}  // namespace molvane::regex
