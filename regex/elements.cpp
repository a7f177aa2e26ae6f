// SPDX-License-Identifier: GPL-3.0-or-later
// Match and MatchNext of every element kind except the repetitions.
#include "regex/elements.h"

#include <algorithm>

namespace molvane::regex {

namespace {

char16_t UpperAscii(char16_t c) {
  return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

bool SameUnits(const char16_t* a, const char16_t* b, int32_t count, bool ignoreCase) {
  if (!ignoreCase) return std::equal(a, a + count, b);
  for (int32_t i = 0; i < count; ++i) {
    if (a[i] != b[i] && UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool IsWordUnit(char16_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

// ---- StringElement ----

bool StringElement::Match(MatchContext& context) const {
  const int32_t n = static_cast<int32_t>(text.size());
  const int32_t at = context.position;
  if (rightToLeft) {
    if (at < n) return false;
    if (!SameUnits(context.subject + at - n, text.data(), n, ignoreCase)) return false;
    context.position = at - n;
  } else {
    if (n > context.length - at) return false;
    if (!SameUnits(context.subject + at, text.data(), n, ignoreCase)) return false;
    context.position = at + n;
  }
  return true;
}

bool StringElement::MatchNext(MatchContext& context) const {
  const int32_t n = static_cast<int32_t>(text.size());
  context.position += rightToLeft ? n : -n;
  return false;
}

// ---- Sets and classes ----

bool UnitElement::Match(MatchContext& context) const {
  const int32_t index = rightToLeft ? context.position - 1 : context.position;
  if (index < 0 || index >= context.length) return false;
  if (!Test(context.subject[index])) return false;
  context.position += rightToLeft ? -1 : 1;
  return true;
}

bool UnitElement::MatchNext(MatchContext& context) const {
  context.position += rightToLeft ? 1 : -1;
  return false;
}

bool CharSetElement::Holds(char16_t unit) const {
  for (const auto& [low, high] : ranges) {
    if (unit >= low && unit <= high) return true;
  }
  return singles.find(unit) != std::u16string::npos;
}

bool CharSetElement::Accepts(char16_t unit) const {
  if (Holds(unit)) return true;
  for (const UnitElement* element : embedded) {
    if (element->Test(unit)) return true;
  }
  return false;
}

bool TestCharClass(CharClass charClass, char16_t c) {
  if (c > 127) return false;
  const bool upper = c >= 'A' && c <= 'Z';
  const bool lower = c >= 'a' && c <= 'z';
  const bool digit = c >= '0' && c <= '9';
  const bool graph = c >= 0x21 && c <= 0x7E;
  switch (charClass) {
    case CharClass::kAlnum:
      return upper || lower || digit;
    case CharClass::kAlpha:
      return upper || lower;
    case CharClass::kAscii:
      return true;
    case CharClass::kBlank:
      return c == ' ' || c == '\t';
    case CharClass::kCntrl:
      return c < 0x20 || c == 0x7F;
    case CharClass::kDigit:
      return digit;
    case CharClass::kGraph:
      return graph;
    case CharClass::kLower:
      return lower;
    case CharClass::kPrint:
      return graph || c == ' ';
    case CharClass::kPunct:
      return graph && !upper && !lower && !digit;
    case CharClass::kSpace:
      return c == ' ' || (c >= 9 && c <= 13);
    case CharClass::kUpper:
      return upper;
    case CharClass::kXdigit:
      return digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  }
  return false;
}

// ---- Boundaries ----

bool BoundaryElement::Match(MatchContext& context) const {
  const int32_t p = context.position;
  const int32_t length = context.length;
  const char16_t* s = context.subject;
  const bool hasAfter = p >= 0 && p < length;
  const bool hasBefore = p > 0 && p <= length;
  const char16_t after = hasAfter ? s[p] : 0;
  const char16_t before = hasBefore ? s[p - 1] : 0;
  bool holds = false;
  switch (type) {
    case kSubjectStart:
      holds = p == 0;
      break;
    case kSubjectEnd:
      holds = p >= length;
      break;
    case kSubjectEndBeforeNewline:
      holds = p >= length || (length >= 1 && s[length - 1] == '\n' && p == length - 1) ||
              (length >= 2 && s[length - 2] == '\r' && s[length - 1] == '\n' && p == length - 2);
      break;
    case kLineStart:
      holds = p == 0 || (hasBefore && before == '\n') ||
              (hasBefore && before == '\r' && !(hasAfter && after == '\n'));
      break;
    case kLineEnd:
      holds = p >= length || (hasAfter && after == '\r') ||
              (hasAfter && after == '\n' && !(hasBefore && before == '\r'));
      break;
    case kWordBoundary:
      holds = (hasBefore && IsWordUnit(before)) != (hasAfter && IsWordUnit(after));
      break;
    default:
      break;
  }
  return holds == positive;
}

// ---- Sequence ----

bool SequenceElement::Match(MatchContext& context) const {
  if (items.empty()) return true;
  return Resume(context, 0, false);
}

bool SequenceElement::MatchNext(MatchContext& context) const {
  if (items.empty()) return false;
  return Resume(context, static_cast<int32_t>(items.size()), true);
}

bool SequenceElement::Resume(MatchContext& context, int32_t standing, bool backtrack) const {
  const int32_t count = static_cast<int32_t>(items.size());
  for (;;) {
    if (backtrack) {
      // Undo items, latest first, until one finds another way.
      for (;;) {
        if (standing == 0) return false;
        --standing;
        if (Item(standing)->MatchNext(context)) {
          ++standing;
          break;
        }
      }
      backtrack = false;
    }
    while (standing < count) {
      if (!Item(standing)->Match(context)) {
        backtrack = true;
        break;
      }
      ++standing;
    }
    if (!backtrack) return true;
  }
}

// ---- Alternation ----

bool AlternationElement::Match(MatchContext& context) const {
  if (branches.empty()) return true;
  const int32_t count = static_cast<int32_t>(branches.size());
  for (int32_t i = 0; i < count; ++i) {
    if (branches[i]->Match(context)) {
      context.backtrack.Push(i);
      return true;
    }
  }
  return false;
}

bool AlternationElement::MatchNext(MatchContext& context) const {
  if (branches.empty()) return false;
  const int32_t count = static_cast<int32_t>(branches.size());
  int32_t i = context.backtrack.Pop();
  if (branches[i]->MatchNext(context)) {
    context.backtrack.Push(i);
    return true;
  }
  for (++i; i < count; ++i) {
    if (branches[i]->Match(context)) {
      context.backtrack.Push(i);
      return true;
    }
  }
  return false;
}

// ---- Group marks ----

bool GroupMarkElement::Match(MatchContext& context) const {
  if (group < 0) return true;
  IntStack& captures = context.captures;
  if (closingSide == 0) {
    context.captureIndex.Extend(group + 1, -1);
    const int32_t entry = context.LatestEntry(group);
    if (entry >= 0 && captures[entry + kCaptureLeft] == -1) {
      // Entered again while open (recursion): count the depth only.
      captures[entry + kCaptureNesting] -= 1;
    } else {
      context.captureIndex[group] = captures.Size();
      captures.Push(group);
      captures.Push(context.position);
      captures.Push(-1);
      captures.Push(0);
    }
    return true;
  }
  const int32_t entry = context.LatestEntry(group);
  if (entry < 0) return true;
  if (captures[entry + kCaptureNesting] < 0) {
    captures[entry + kCaptureNesting] += 1;
  } else {
    captures[entry + kCaptureLeft] = context.position;
    captures[entry + kCaptureNesting] = context.closingCounter++;
  }
  return true;
}

bool GroupMarkElement::MatchNext(MatchContext& context) const {
  if (group < 0) return false;
  IntStack& captures = context.captures;
  const int32_t entry = context.LatestEntry(group);
  if (entry < 0) return false;
  if (closingSide == 0) {
    if (captures[entry + kCaptureLeft] == -1 && captures[entry + kCaptureNesting] < 0) {
      captures[entry + kCaptureNesting] += 1;
      return false;
    }
    // Everything after this entry has been undone, so it is the top one.
    captures.Cut(captures.Size() - kCaptureEntrySize);
    int32_t previous = captures.Size() - kCaptureEntrySize;
    while (previous >= 0 && captures[previous + kCaptureGroup] != group) {
      previous -= kCaptureEntrySize;
    }
    context.captureIndex[group] = previous;
    return false;
  }
  if (captures[entry + kCaptureLeft] == -1) {
    captures[entry + kCaptureNesting] -= 1;
  } else {
    captures[entry + kCaptureLeft] = -1;
    captures[entry + kCaptureNesting] = 0;
  }
  return false;
}

// ---- Lookaround and atomic group ----

bool LookaroundElement::Match(MatchContext& context) const {
  const int32_t at = context.position;
  const int32_t backtrackSize = context.backtrack.Size();
  const int32_t capturesSize = context.captures.Size();
  const bool matched = inner->Match(context);
  context.backtrack.Cut(backtrackSize);
  context.position = at;
  if (matched != positive) {
    context.captures.Cut(capturesSize);
    return false;
  }
  // Groups captured inside stay visible to what follows.
  context.backtrack.Push(capturesSize);
  return true;
}

bool LookaroundElement::MatchNext(MatchContext& context) const {
  context.captures.Cut(context.backtrack.Pop());
  return false;
}

bool AtomicElement::Match(MatchContext& context) const {
  const int32_t at = context.position;
  const int32_t backtrackSize = context.backtrack.Size();
  const int32_t capturesSize = context.captures.Size();
  const bool matched = inner->Match(context);
  context.backtrack.Cut(backtrackSize);
  if (!matched) return false;
  context.backtrack.Push(at);
  context.backtrack.Push(capturesSize);
  return true;
}

bool AtomicElement::MatchNext(MatchContext& context) const {
  context.captures.Cut(context.backtrack.Pop());
  context.position = context.backtrack.Pop();
  return false;
}

// ---- Back reference ----

bool BackrefElement::Match(MatchContext& context) const {
  if (group < 0 || group >= context.captureIndex.Size()) return false;
  const int32_t entry = context.LatestEntry(group);
  if (entry < 0) return false;
  const int32_t at = context.position;
  const int32_t entered = context.captures[entry + kCaptureEntered];
  int32_t left = context.captures[entry + kCaptureLeft];
  if (left == -1) left = at;  // still open: the text so far
  const int32_t from = std::min(entered, left);
  const int32_t n = std::max(entered, left) - from;
  const char16_t* captured = context.subject + from;
  if (rightToLeft) {
    if (at < n) return false;
    if (!SameUnits(context.subject + at - n, captured, n, ignoreCase)) return false;
    context.position = at - n;
  } else {
    if (n > context.length - at) return false;
    if (!SameUnits(context.subject + at, captured, n, ignoreCase)) return false;
    context.position = at + n;
  }
  context.backtrack.Push(at);
  return true;
}

bool BackrefElement::MatchNext(MatchContext& context) const {
  context.position = context.backtrack.Empty() ? 0 : context.backtrack.Pop();
  return false;
}

// ---- Recursion ----
//
// A memoised call that runs its target keeps, above the target's pushes, the
// sorted ends it has offered, their count, the capture-stack and backtrack-stack lengths before the
// call, the position where it began and kRunsTarget (top). One that replays learnt ways keeps the
// offset of the next way, the capture-stack length before the call, the position where it began and
// kReplays.

bool RecursionElement::MatchPlain(MatchContext& context) const {
  context.recursionBudget -= 1;
  const bool matched = target->Match(context);
  context.recursionBudget += 1;
  return matched;
}

bool RecursionElement::MatchNextPlain(MatchContext& context) const {
  // Retrying happens at the depth of the call being retried; without charging
  // it, recursions entered while retrying would start from a full budget and
  // nest without bound.
  context.recursionBudget -= 1;
  const bool matched = target->MatchNext(context);
  context.recursionBudget += 1;
  return matched;
}

namespace {

enum RecursionRecord : int32_t { kRunsTarget = 0, kReplays = 1 };

// Replays the way of `ways` at `offset`: its capture entries, then its end.
// Returns the offset of the way after it.
int32_t ReplayWay(MatchContext& context, const RecursionWays::Ways& ways, int32_t offset) {
  const int32_t* way = ways.data.data() + offset;
  const int32_t added = way[1];
  IntStack& captures = context.captures;
  for (int32_t i = 0; i < added; i += kCaptureEntrySize) {
    const int32_t* entry = way + 2 + i;
    context.captureIndex.Extend(entry[kCaptureGroup] + 1, -1);
    context.captureIndex[entry[kCaptureGroup]] = captures.Size();
    for (int32_t k = 0; k < kCaptureEntrySize; ++k) captures.Push(entry[k]);
  }
  context.position = way[0];
  return offset + 2 + added;
}

void PushReplay(IntStack& stack, int32_t next, int32_t capturesSize, int32_t at) {
  stack.Push(next);
  stack.Push(capturesSize);
  stack.Push(at);
  stack.Push(kReplays);
}

}  // namespace

bool RecursionElement::Match(MatchContext& context) const {
  if (target == nullptr) return true;
  if (context.recursionBudget <= 0) return false;
  if (!memoised || !context.memoise) return MatchPlain(context);
  const int32_t at = context.position;
  const uint64_t key = RecursionWays::Key(group, at, context.recursionBudget - 1);
  RecursionWays& memo = context.recursionWays;
  IntStack& stack = context.backtrack;
  const int32_t backtrackSize = stack.Size();
  const int32_t capturesSize = context.captures.Size();
  if (const RecursionWays::Ways* ways = memo.Complete(key)) {
    if (ways->count == 0) return false;
    PushReplay(stack, ReplayWay(context, *ways, 0), capturesSize, at);
    return true;
  }
  if (!MatchPlain(context)) {
    memo.Finish(key, 0);
    return false;
  }
  memo.Note(key, 0, context.position, context.captures, capturesSize);
  stack.Push(context.position);
  stack.Push(1);
  stack.Push(capturesSize);
  stack.Push(backtrackSize);
  stack.Push(at);
  stack.Push(kRunsTarget);
  return true;
}

bool RecursionElement::MatchNext(MatchContext& context) const {
  if (target == nullptr) return false;
  if (!memoised || !context.memoise) return MatchNextPlain(context);
  IntStack& stack = context.backtrack;
  RecursionWays& memo = context.recursionWays;
  if (stack.Pop() == kReplays) {
    const int32_t at = stack.Pop();
    const int32_t capturesSize = stack.Pop();
    const int32_t next = stack.Pop();
    context.captures.Cut(capturesSize);
    const RecursionWays::Ways& ways =
        *memo.Complete(RecursionWays::Key(group, at, context.recursionBudget - 1));
    if (next >= static_cast<int32_t>(ways.data.size())) {
      context.position = at;
      return false;
    }
    PushReplay(stack, ReplayWay(context, ways, next), capturesSize, at);
    return true;
  }
  const int32_t at = stack.Pop();
  const int32_t backtrackSize = stack.Pop();
  const int32_t capturesSize = stack.Pop();
  int32_t offered = stack.Pop();
  const uint64_t key = RecursionWays::Key(group, at, context.recursionBudget - 1);
  if (const RecursionWays::Ways* ways = memo.Complete(key)) {
    // Another call learnt them meanwhile; this one has offered the first
    // `offered` of them. Cut the target away (a finished way of it changes
    // nothing below these lengths) and replay the rest.
    context.CutBack(backtrackSize, capturesSize, at);
    if (offered >= ways->count) return false;
    int32_t offset = 0;
    for (int32_t i = 0; i < offered; ++i) offset += 2 + ways->data[offset + 1];
    PushReplay(stack, ReplayWay(context, *ways, offset), capturesSize, at);
    return true;
  }
  // The ends offered wait on the scratch stack while the target backtracks.
  IntStack& scratch = context.scratch;
  const int32_t base = scratch.Size();
  const int32_t list = stack.Size() - offered;
  for (int32_t i = 0; i < offered; ++i) scratch.Push(stack[list + i]);
  stack.Cut(list);
  for (;;) {
    if (!MatchNextPlain(context)) {
      memo.Finish(key, offered);
      scratch.Cut(base);
      return false;
    }
    const int32_t* first = scratch.Data() + base;
    const int32_t* found = std::lower_bound(first, first + offered, context.position);
    if (found != first + offered && *found == context.position) continue;
    memo.Note(key, offered, context.position, context.captures, capturesSize);
    const int32_t slot = static_cast<int32_t>(found - first);
    scratch.Push(0);
    for (int32_t i = offered; i > slot; --i) scratch[base + i] = scratch[base + i - 1];
    scratch[base + slot] = context.position;
    ++offered;
    break;
  }
  for (int32_t i = 0; i < offered; ++i) stack.Push(scratch[base + i]);
  scratch.Cut(base);
  stack.Push(offered);
  stack.Push(capturesSize);
  stack.Push(backtrackSize);
  stack.Push(at);
  stack.Push(kRunsTarget);
  return true;
}

// ---- Conditional ----

bool ConditionalElement::Match(MatchContext& context) const {
  const int32_t capturesSize = context.captures.Size();
  bool holds = true;
  if (group >= 0) {
    holds = group < context.captureIndex.Size() && context.LatestEntry(group) >= 0;
  } else if (assertion != nullptr) {
    const int32_t at = context.position;
    const int32_t backtrackSize = context.backtrack.Size();
    holds = assertion->Match(context);
    context.backtrack.Cut(backtrackSize);
    context.position = at;
  }
  const MatchElement* branch = holds ? yes : no;
  if (branch != nullptr && !branch->Match(context)) {
    context.captures.Cut(capturesSize);
    return false;
  }
  context.backtrack.Push(capturesSize);
  context.backtrack.Push(holds ? 1 : 0);
  return true;
}

bool ConditionalElement::MatchNext(MatchContext& context) const {
  const bool holds = context.backtrack.Pop() != 0;
  const int32_t capturesSize = context.backtrack.Pop();
  const MatchElement* branch = holds ? yes : no;
  if (branch != nullptr && branch->MatchNext(context)) {
    context.backtrack.Push(capturesSize);
    context.backtrack.Push(holds ? 1 : 0);
    return true;
  }
  context.captures.Cut(capturesSize);
  return false;
}

}  // namespace molvane::regex
