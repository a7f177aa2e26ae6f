// SPDX-License-Identifier: GPL-3.0-or-later
// The match elements a pattern compiles to. Every element answers Match (find
// the first way to match at the context's position) and MatchNext (give up the
// latest way and find the next one, or undo itself completely), keeping what
// it needs for MatchNext on the context's backtrack stack. Elements are
// read-only while matching; fields are public so that the compiler can fill
// them in and tests can inspect the trees it builds.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "regex/match_context.h"

namespace molvane::regex {

enum class ElementKind : uint8_t {
  kEmpty,
  kString,
  kCharSet,
  kClassTest,
  kBoundary,
  kSearchStart,
  kSequence,
  kAlternation,
  kGroupMark,
  kRepeat,
  kGreedy,
  kLazy,
  kPossessive,
  kLookaround,
  kAtomic,
  kBackref,
  kRecursion,
  kConditional,
};

class MatchElement {
 public:
  MatchElement() = default;
  MatchElement(const MatchElement&) = delete;
  MatchElement& operator=(const MatchElement&) = delete;
  virtual ~MatchElement() = default;

  virtual ElementKind Kind() const = 0;
  // On success: position moved past what matched (in the element's direction),
  // state for MatchNext pushed. On failure: context exactly as it was.
  virtual bool Match(MatchContext& context) const = 0;
  // Called only while this element's latest pushes are on top of the stack.
  virtual bool MatchNext(MatchContext& context) const = 0;
};

class EmptyElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kEmpty; }
  bool Match(MatchContext& context) const override { return true; }
  bool MatchNext(MatchContext& context) const override { return false; }
};

class StringElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kString; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  std::u16string text;
  bool rightToLeft = false;
  bool ignoreCase = false;
};

// Elements that consume exactly one unit when it passes a test: sets and
// character classes.
class UnitElement : public MatchElement {
 public:
  bool Match(MatchContext& context) const final;
  bool MatchNext(MatchContext& context) const final;
  // Whether the element matches `unit`, negation applied.
  bool Test(char16_t unit) const { return Accepts(unit) == positive; }

  bool rightToLeft = false;
  bool positive = true;  // false: the set or class is negated

 protected:
  virtual bool Accepts(char16_t unit) const = 0;
};

class CharSetElement final : public UnitElement {
 public:
  ElementKind Kind() const override { return ElementKind::kCharSet; }

  std::vector<std::pair<char16_t, char16_t>> ranges;  // low and high, inclusive
  std::u16string singles;
  // Class escapes and character classes written inside the brackets; they run
  // in the same direction as the set, so they examine the same unit.
  std::vector<const UnitElement*> embedded;

  bool Holds(char16_t unit) const;  // in a range or among the singles

 protected:
  bool Accepts(char16_t unit) const override;
};

enum class CharClass : uint8_t {
  kAlnum,
  kAlpha,
  kAscii,
  kBlank,
  kCntrl,
  kDigit,
  kGraph,
  kLower,
  kPrint,
  kPunct,
  kSpace,
  kUpper,
  kXdigit,
};

// The C library's character test of that name in the default locale; units
// outside ASCII pass no test.
bool TestCharClass(CharClass charClass, char16_t unit);

class ClassTestElement final : public UnitElement {
 public:
  ElementKind Kind() const override { return ElementKind::kClassTest; }

  CharClass charClass = CharClass::kAlnum;

 protected:
  bool Accepts(char16_t unit) const override { return TestCharClass(charClass, unit); }
};

enum BoundaryType : int32_t {
  kSubjectStart = 0,             // \A, ^
  kSubjectEnd = 1,               // \z, $
  kSubjectEndBeforeNewline = 2,  // \Z
  kLineStart = 3,                // ^ with MultiLine
  kLineEnd = 4,                  // $ with MultiLine
  kWordBoundary = 7,             // \b, \B
};

class BoundaryElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kBoundary; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override { return false; }

  int32_t type = kSubjectStart;
  bool positive = true;
};

// \G with Global: the match must begin where the search was asked to begin.
class SearchStartElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kSearchStart; }
  bool Match(MatchContext& context) const override { return context.position == context.begin; }
  bool MatchNext(MatchContext& context) const override { return false; }
};

class SequenceElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kSequence; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  std::vector<MatchElement*> items;  // in pattern order
  bool rightToLeft = false;          // then the items run last to first

 private:
  const MatchElement* Item(int32_t step) const {
    const int32_t count = static_cast<int32_t>(items.size());
    return items[rightToLeft ? count - 1 - step : step];
  }
  // Goes on from `standing` matched items; `backtrack` first asks the latest
  // standing item for another way.
  bool Resume(MatchContext& context, int32_t standing, bool backtrack) const;
};

class AlternationElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kAlternation; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  std::vector<MatchElement*> branches;
};

class GroupMarkElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kGroupMark; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  int32_t group = -1;       // -1 until a named group is numbered
  int32_t closingSide = 0;  // 0 enters the group, 1 leaves it
  std::u16string name;      // empty for numbered groups
};

// The repetition elements; the atom belongs to the same compiled pattern.
class RepeatElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kRepeat; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  MatchElement* atom = nullptr;
  int32_t count = 0;
  // An iteration does not retry ways that end where it began once one did:
  // only sound while what follows depends on the position alone, so the
  // compiler sets it only for atoms that can match empty in patterns that do
  // not test captures.
  bool skipRepeatedEmpty = false;
};

class RangeRepeatElement : public MatchElement {
 public:
  MatchElement* atom = nullptr;
  int32_t minimum = 0;
  int32_t extra = 0;  // maximum minus minimum
  // Whether an iteration can match without consuming. Then each extension
  // iteration keeps its begin position above the atom's pushes, so that an
  // iteration that turns empty on backtracking ends the loop there; atoms
  // that always consume (sets, strings) keep nothing per iteration.
  bool atomCanBeEmpty = true;
  // As for RepeatElement, for the iterations of the minimum part.
  bool skipRepeatedEmpty = false;
  // For greedy and lazy repetitions of atoms with several ways: once an end
  // has been offered and refused and every iteration from there has been
  // tried, every way on from there has failed, so an iteration that arrives
  // there again is passed over, and `(a+)+b` costs polynomial time. Only
  // sound where what follows depends on the position alone, the count
  // cannot run out (no maximum) and iterations never move against the
  // direction, which the compiler checks.
  bool skipDeadStates = false;

 protected:
  bool MatchMinimum(MatchContext& context) const;
  bool BacktrackMinimum(MatchContext& context) const;
  // Adds iterations while they move the position, counting on from `done`;
  // returns the new count. With atomCanBeEmpty each added iteration's
  // begin position is pushed after the atom's own pushes. It stops early at
  // a position among the `dead` sorted ends on the scratch stack (from
  // `deadBase`).
  int32_t Extend(MatchContext& context, int32_t done, int32_t deadBase = 0, int32_t dead = 0) const;
};

class GreedyElement final : public RangeRepeatElement {
 public:
  ElementKind Kind() const override { return ElementKind::kGreedy; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  // An end position offered once is not offered again: what follows fails
  // there as before. Only sound while what follows depends on the position
  // alone, so the compiler clears it for patterns that test captures (back
  // references, group conditions).
  bool skipOfferedEnds = true;
  // An iteration that turns empty where the extension began is cut away;
  // with recursions in the atom it is first asked for all its other ways,
  // so that the calls inside finish learning theirs (RecursionWays) rather
  // than being learnt again at every depth. Same outcome, since they are
  // undone either way.
  bool drainsCalls = false;

 private:
  void PushFreshRecord(MatchContext& context) const;
};

class LazyElement final : public RangeRepeatElement {
 public:
  ElementKind Kind() const override { return ElementKind::kLazy; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;
};

class PossessiveElement final : public RangeRepeatElement {
 public:
  ElementKind Kind() const override { return ElementKind::kPossessive; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;
};

class LookaroundElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kLookaround; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  MatchElement* inner = nullptr;
  bool positive = true;
};

class AtomicElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kAtomic; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  MatchElement* inner = nullptr;
};

// Group numbers that mean "never matches" for a back reference.
constexpr int32_t kUnresolvedGroup = -1;
constexpr int32_t kUnknownGroup = -3;

class BackrefElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kBackref; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  int32_t group = 0;
  std::u16string name;
  bool rightToLeft = false;
  bool ignoreCase = false;
};

class RecursionElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kRecursion; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  int32_t group = 0;
  MatchElement* target = nullptr;  // none: always matches empty
  std::u16string name;
  // Where no capture is tested, a call does not offer an end twice, and it
  // learns the target's ends at its position and depth (MatchContext's
  // RecursionEnds, keyed by the group number) once it has run out of ways.
  // Set by the compiler.
  bool memoised = false;

 private:
  bool MatchPlain(MatchContext& context) const;
  bool MatchNextPlain(MatchContext& context) const;
};

class ConditionalElement final : public MatchElement {
 public:
  ElementKind Kind() const override { return ElementKind::kConditional; }
  bool Match(MatchContext& context) const override;
  bool MatchNext(MatchContext& context) const override;

  int32_t group = -1;  // -1 when the condition is an assertion
  std::u16string name;
  MatchElement* assertion = nullptr;  // none: the condition holds
  MatchElement* yes = nullptr;        // a missing branch matches empty
  MatchElement* no = nullptr;
};

}  // namespace molvane::regex
