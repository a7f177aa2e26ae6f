// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the regex core tests: compile and search in one call, and a
// compact text form of a match record.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "regex/compiled_pattern.h"
#include "regex/matcher.h"

namespace molvane::regex::test {

// Seeded choices that are the same on every platform: mt19937's raw output is
// fixed by the standard, unlike the distributions.
class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
  bool Percent(int p) { return Below(100) < p; }
  template <class T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::mt19937 engine_;
};

inline MatchRecord Find(std::u16string_view pattern, std::u16string_view subject,
                        uint32_t flags = 0, int32_t start = 0) {
  CompiledPattern compiled;
  compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
  MatchRecord record;
  SearchPattern(compiled, subject.data(), static_cast<int32_t>(subject.size()), start, record);
  return record;
}

// "none", or each group as "start,end" ("-" when it took no part), groups
// separated by spaces.
inline std::string Spans(const MatchRecord& record) {
  if (record.empty()) return "none";
  std::string text;
  for (size_t i = 2; i + 1 < record.size(); i += 2) {
    if (!text.empty()) text += ' ';
    if (record[i] < 0 && record[i + 1] < 0) {
      text += '-';
    } else {
      text += std::to_string(record[i]) + ',' + std::to_string(record[i + 1]);
    }
  }
  return text;
}

inline std::string FindSpans(std::u16string_view pattern, std::u16string_view subject,
                             uint32_t flags = 0, int32_t start = 0) {
  return Spans(Find(pattern, subject, flags, start));
}

// Group 0 only.
inline std::string FindMatch(std::u16string_view pattern, std::u16string_view subject,
                             uint32_t flags = 0, int32_t start = 0) {
  const MatchRecord record = Find(pattern, subject, flags, start);
  if (record.empty()) return "none";
  return std::to_string(record[2]) + ',' + std::to_string(record[3]);
}

inline std::u16string Widen(std::string_view ascii) {
  return {ascii.begin(), ascii.end()};
}

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 15]);
    }
  }
  return out;
}

// A one-line picture of an element tree with every field that decides
// matching: "<" marks right to left, "i" ignore case, "^" or "!" negation.
inline std::string Dump(const MatchElement* element) {
  if (element == nullptr) return "null";
  auto list = [](const std::vector<MatchElement*>& items, const char* separator) {
    std::string text;
    for (const MatchElement* item : items) {
      if (!text.empty()) text += separator;
      text += Dump(item);
    }
    return text;
  };
  switch (element->Kind()) {
    case ElementKind::kEmpty:
      return "Empty";
    case ElementKind::kString: {
      auto* e = static_cast<const StringElement*>(element);
      return "'" + Narrow(e->text) + "'" + (e->rightToLeft ? "<" : "") + (e->ignoreCase ? "i" : "");
    }
    case ElementKind::kCharSet: {
      auto* e = static_cast<const CharSetElement*>(element);
      std::string text = std::string("[") + (e->positive ? "" : "^");
      for (const auto& [low, high] : e->ranges) {
        text += Narrow(std::u16string{low}) + "-" + Narrow(std::u16string{high});
      }
      text += Narrow(e->singles);
      for (const UnitElement* embedded : e->embedded) text += "{" + Dump(embedded) + "}";
      return text + "]" + (e->rightToLeft ? "<" : "");
    }
    case ElementKind::kClassTest: {
      auto* e = static_cast<const ClassTestElement*>(element);
      return std::string("Class") + (e->positive ? "" : "^") +
             std::to_string(static_cast<int>(e->charClass)) + (e->rightToLeft ? "<" : "");
    }
    case ElementKind::kBoundary: {
      auto* e = static_cast<const BoundaryElement*>(element);
      return "B" + std::to_string(e->type) + (e->positive ? "" : "!");
    }
    case ElementKind::kSearchStart:
      return "G";
    case ElementKind::kSequence: {
      auto* e = static_cast<const SequenceElement*>(element);
      return std::string("Seq") + (e->rightToLeft ? "<" : "") + "(" + list(e->items, " ") + ")";
    }
    case ElementKind::kAlternation:
      return "Alt(" + list(static_cast<const AlternationElement*>(element)->branches, "|") + ")";
    case ElementKind::kGroupMark: {
      auto* e = static_cast<const GroupMarkElement*>(element);
      return (e->closingSide == 0 ? "Open" : "Close") + std::to_string(e->group);
    }
    case ElementKind::kRepeat: {
      auto* e = static_cast<const RepeatElement*>(element);
      return "Repeat" + std::to_string(e->count) + "(" + Dump(e->atom) + ")";
    }
    case ElementKind::kGreedy:
    case ElementKind::kLazy:
    case ElementKind::kPossessive: {
      auto* e = static_cast<const RangeRepeatElement*>(element);
      const char* name = element->Kind() == ElementKind::kGreedy ? "Greedy"
                         : element->Kind() == ElementKind::kLazy ? "Lazy"
                                                                 : "Possessive";
      return name + std::to_string(e->minimum) + "+" + std::to_string(e->extra) + "(" +
             Dump(e->atom) + ")";
    }
    case ElementKind::kLookaround: {
      auto* e = static_cast<const LookaroundElement*>(element);
      return std::string("Look") + (e->positive ? "" : "!") + "(" + Dump(e->inner) + ")";
    }
    case ElementKind::kAtomic:
      return "Atomic(" + Dump(static_cast<const AtomicElement*>(element)->inner) + ")";
    case ElementKind::kBackref: {
      auto* e = static_cast<const BackrefElement*>(element);
      return "Ref" + std::to_string(e->group) + (e->rightToLeft ? "<" : "") +
             (e->ignoreCase ? "i" : "");
    }
    case ElementKind::kRecursion:
      return "Recurse" + std::to_string(static_cast<const RecursionElement*>(element)->group);
    case ElementKind::kConditional: {
      auto* e = static_cast<const ConditionalElement*>(element);
      return "If" + std::to_string(e->group) + "(" + Dump(e->assertion) + "|" + Dump(e->yes) + "|" +
             Dump(e->no) + ")";
    }
  }
  return "?";
}

inline std::string DumpPattern(std::u16string_view pattern, uint32_t flags = 0) {
  CompiledPattern compiled;
  compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
  return Dump(compiled.Top());
}

}  // namespace molvane::regex::test
