// SPDX-License-Identifier: GPL-3.0-or-later
#include "regex/matcher.h"

#include <algorithm>

#include "runtime/runtime.h"

namespace molvane::regex {

namespace {

// Elements index the subject only within [0, length); an empty subject still
// needs a valid address.
constexpr char16_t kNoUnits[1] = {0};

// The first item of a sequence after its group entries, which match empty.
const MatchElement* FirstConsumingItem(const SequenceElement& sequence) {
  for (const MatchElement* item : sequence.items) {
    if (item->Kind() == ElementKind::kGroupMark &&
        static_cast<const GroupMarkElement*>(item)->closingSide == 0)
      continue;
    return item;
  }
  return nullptr;
}

// The unit element every match must begin with, when the pattern (matched
// left to right) has one: a set or class, possibly repeated at least once,
// possibly inside a sequence after group entries (which consume nothing).
const UnitElement* FirstUnit(const MatchElement* element) {
  for (int depth = 0; element != nullptr && depth < 16; ++depth) {
    switch (element->Kind()) {
      case ElementKind::kCharSet:
      case ElementKind::kClassTest: {
        auto* unit = static_cast<const UnitElement*>(element);
        return unit->rightToLeft ? nullptr : unit;
      }
      case ElementKind::kSequence: {
        auto* sequence = static_cast<const SequenceElement*>(element);
        if (sequence->rightToLeft) return nullptr;
        element = FirstConsumingItem(*sequence);
        break;
      }
      case ElementKind::kRepeat: {
        auto* repeat = static_cast<const RepeatElement*>(element);
        element = repeat->count >= 1 ? repeat->atom : nullptr;
        break;
      }
      case ElementKind::kGreedy:
      case ElementKind::kLazy:
      case ElementKind::kPossessive: {
        auto* repeat = static_cast<const RangeRepeatElement*>(element);
        element = repeat->minimum >= 1 ? repeat->atom : nullptr;
        break;
      }
      default:
        return nullptr;
    }
  }
  return nullptr;
}

// True when every match must begin at position 0: the pattern, matched left
// to right, starts with "\A" or "^" (without MultiLine), possibly after
// group entries.
bool AnchoredAtStart(const MatchElement* element) {
  while (element != nullptr && element->Kind() == ElementKind::kSequence) {
    auto* sequence = static_cast<const SequenceElement*>(element);
    if (sequence->rightToLeft) return false;
    element = FirstConsumingItem(*sequence);
  }
  if (element == nullptr || element->Kind() != ElementKind::kBoundary) return false;
  auto* boundary = static_cast<const BoundaryElement*>(element);
  return boundary->positive && boundary->type == kSubjectStart;
}

}  // namespace

void Matcher::Search(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                     int32_t start, MatchRecord& record) {
  record.clear();
  const MatchElement* top = pattern.Top();
  if (top == nullptr) return;
  if (subject == nullptr || length < 0) length = 0;
  if (subject == nullptr) subject = kNoUnits;
  const bool rightToLeft = (pattern.Flags() & kRightToLeft) != 0;
  if (start > length) {
    if (!rightToLeft) return;
    start = length;
  }
  // Before the subject: leftwards nothing is left to try, rightwards the whole
  // subject is (a start below 0 would otherwise be read from).
  if (start < 0) {
    if (rightToLeft) return;
    start = 0;
  }
  Begin(pattern, subject, length, start);
  const int32_t endMark = rightToLeft ? -1 : length + 1;
  const int32_t step = rightToLeft ? -1 : 1;
  // The shortcuts below skip only attempts that would fail at once; the
  // shortcuts switch turns them off, so the plain loop can check them.
  const bool shortcuts = ShortcutsEnabled() && !rightToLeft;
  ReportingExhaustion([&] {
    // A pattern that is one set or class matches exactly the first unit it
    // accepts: find it without setting up an attempt for every position.
    if (shortcuts &&
        (top->Kind() == ElementKind::kCharSet || top->Kind() == ElementKind::kClassTest)) {
      auto* unit = static_cast<const UnitElement*>(top);
      if (!unit->rightToLeft) {
        for (int32_t at = start; at < length; ++at) {
          if (!unit->Test(subject[at])) continue;
          record.assign({1, pattern.HighestGroup(), at, at + 1});
          return;
        }
        return;
      }
    }
    // Where the unit a match must begin with is absent, the attempt would
    // fail at once: skip it.
    const UnitElement* first = shortcuts ? FirstUnit(top) : nullptr;
    // A pattern anchored at the subject's start can match nowhere else.
    const int32_t last = shortcuts && AnchoredAtStart(top) ? std::min(start, 0) : endMark - step;
    for (int32_t at = start; at != endMark && (rightToLeft || at <= last); at += step) {
      if (first != nullptr && (at >= length || !first->Test(subject[at]))) continue;
      if (Attempt(pattern, at, record)) return;
    }
  });
}

void Matcher::SearchAt(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                       int32_t start, const std::vector<int32_t>& candidates, MatchRecord& record) {
  record.clear();
  if (pattern.Top() == nullptr || (pattern.Flags() & kRightToLeft) != 0) return;
  if (subject == nullptr || length < 0) length = 0;
  if (subject == nullptr) subject = kNoUnits;
  if (start < 0) start = 0;
  Begin(pattern, subject, length, start);
  ReportingExhaustion([&] {
    for (int32_t at : candidates)
      if (at >= start && at <= length && Attempt(pattern, at, record)) return;
  });
}

void Matcher::Begin(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                    int32_t start) {
  MatchContext& context = context_;
  context.subject = subject;
  context.length = length;
  context.begin = start;
  context.closingCounter = 0;
  context.recursionBudget = 100;
  // What a recursion learnt holds for one begin position and subject.
  context.recursionWays.Clear();
}

bool Matcher::Attempt(const CompiledPattern& pattern, int32_t at, MatchRecord& record) {
  MatchContext& context = context_;
  const int32_t highestGroup = pattern.HighestGroup();
  context.backtrack.Clear();
  context.captures.Clear();
  context.scratch.Clear();
  context.captureIndex.Assign(highestGroup + 1, -1);
  context.captureIndex[0] = 0;
  context.captures.Push(0);
  context.captures.Push(at);
  context.captures.Push(-1);
  context.captures.Push(-1);
  context.position = at;
  if (!pattern.Top()->Match(context)) return false;
  context.captures[kCaptureLeft] = context.position;
  BuildRecord(highestGroup, record);
  return true;
}

void Matcher::BuildRecord(int32_t highestGroup, MatchRecord& record) const {
  record.assign(2 * static_cast<size_t>(highestGroup) + 4, -1);
  record[0] = 1;
  record[1] = highestGroup;
  for (int32_t group = 0; group <= highestGroup; ++group) {
    const int32_t entry = context_.LatestEntry(group);
    if (entry < 0) continue;
    const int32_t entered = context_.captures[entry + kCaptureEntered];
    const int32_t left = context_.captures[entry + kCaptureLeft];
    // An entry still open took no complete part in the match.
    if (left < 0) continue;
    record[2 + 2 * group] = std::min(entered, left);
    record[3 + 2 * group] = std::max(entered, left);
  }
}

void SearchPattern(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                   int32_t start, MatchRecord& record) {
  Matcher matcher;
  matcher.Search(pattern, subject, length, start, record);
}

}  // namespace molvane::regex
