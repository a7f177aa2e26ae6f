// SPDX-License-Identifier: GPL-3.0-or-later
// A pattern compiled into a tree of match elements. Unusual patterns have a
// fixed reading instead of an error; the one pattern refused is one whose
// groups nest deeper than kMostNesting.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "regex/elements.h"
#include "regex/lexer.h"

namespace molvane::regex {

enum Flags : uint32_t {
  kSingleLine = 0x01,  // "." also matches a line feed
  kMultiLine = 0x02,   // "^" and "$" match at line starts and ends
  kGlobal = 0x04,      // "\G" anchors at the search's start position
  kIgnoreCase = 0x08,  // ASCII letters compare without regard to case
  kRightToLeft = 0x10,
  kExtended = 0x20,  // white space ignored, "#" starts a comment
};

// Shared elements, one of each per compiled pattern.
enum StockSlot : int32_t {
  kStockEmpty = 0,
  kStockAny = 1,         // "." with SingleLine
  kStockNotNewline = 2,  // "."
  kStockWord = 3,
  kStockNotWord = 4,
  kStockSpace = 5,
  kStockNotSpace = 6,
  kStockDigit = 7,
  kStockNotDigit = 8,
  kStockRightToLeftOffset = 8,  // added to 1..8 for the right-to-left versions
  kStockSlots = 17,
};

// Groups of every kind ("(", "(?:", lookarounds, atomic, named, conditional
// and its condition) nest at most this deep, so neither the parser nor the
// walks over the tree it builds can exhaust the stack.
constexpr int32_t kMostNesting = 250;

class CompiledPattern {
 public:
  CompiledPattern() = default;
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;

  // Resets, then compiles `pattern` (copied) with `flags`. Running out of
  // memory ends the program with the runtime's out-of-memory report. A
  // pattern nested too deeply leaves nothing compiled (Top() is null) and
  // ErrorOffset() at the "(" that opens the group one level too deep.
  void Load(const char16_t* pattern, int32_t length, uint32_t flags);
  void Reset();

  MatchElement* Top() const { return top_; }
  int32_t HighestGroup() const { return highestGroup_; }
  uint32_t Flags() const { return flags_; }
  // The pattern unit where compiling stopped, or -1 when the pattern compiled.
  int32_t ErrorOffset() const { return errorOffset_; }

  // For inspection: the element of a group number (0: the top element), or
  // null.
  MatchElement* GroupElement(int32_t group) const;
  int32_t NamedGroupCount() const { return namedGroupCount_; }
  MatchElement* Stock(int32_t slot);

 private:
  template <class T>
  T* New();

  MatchElement* ParseAlternation(uint32_t flags);
  MatchElement* ParseBranch(uint32_t& flags);
  MatchElement* ParseItem(uint32_t& flags);
  MatchElement* ParseAtom(uint32_t& flags);
  MatchElement* ParseString(uint32_t flags);
  MatchElement* ParseQuantifier(MatchElement* atom);
  MatchElement* ParseBoundary(uint32_t flags);
  MatchElement* ParseCharSet(uint32_t flags);
  ClassTestElement* ParseCharClass(uint32_t flags);
  // Counts the nesting, then parses the group by its kind.
  MatchElement* ParseGroup(uint32_t& flags);
  MatchElement* ParseGroupOfKind(uint32_t& flags);
  // Records where a group one level too deep opens and skips to the end, so
  // every enclosing level ends at once.
  MatchElement* RefuseNesting();
  MatchElement* ParseCapture(uint32_t flags, int32_t number, const std::u16string& name,
                             bool named);
  MatchElement* ParseRecursion();
  MatchElement* ParseConditional(uint32_t flags);
  MatchElement* ParseModifiers(uint32_t& flags);
  MatchElement* ParseBackref(uint32_t flags);
  // Collects token characters up to a closing token; consumes the closer.
  std::u16string CollectUntil(char16_t closer);
  void SkipClosingParen();
  void RecordGroup(int32_t number, MatchElement* element);
  void Finish();
  // Sets the guards against retrying what already failed, which hold only
  // where no capture is tested (repetitions and recursions).
  void SetGuards();

  MatchElement* top_ = nullptr;
  uint32_t flags_ = 0;
  int32_t highestGroup_ = 0;
  int32_t namedGroupCount_ = 0;
  int32_t handedOut_ = 0;  // highest group number handed out while parsing
  int32_t nesting_ = 0;    // groups open around the parser's position
  int32_t errorOffset_ = -1;
  // Back references and group conditions let captures decide a match.
  bool testsCaptures_ = false;
  std::vector<std::unique_ptr<MatchElement>> elements_;
  std::vector<MatchElement*> groupTable_;
  std::vector<RecursionElement*> pendingRecursions_;
  std::vector<BackrefElement*> pendingBackrefs_;
  std::vector<ConditionalElement*> pendingConditions_;
  // Named groups in order of appearance: both marks of each.
  struct NamedGroup {
    std::u16string name;
    GroupMarkElement* open;
    GroupMarkElement* close;
    MatchElement* element;
  };
  std::vector<NamedGroup> namedGroups_;
  std::u16string pattern_;
  Lexer lexer_;
  std::array<MatchElement*, kStockSlots> stock_{};
};

}  // namespace molvane::regex
