// SPDX-License-Identifier: GPL-3.0-or-later
// Bounded randomized tests with a fixed seed: patterns from the whole dialect
// must compile and search safely, and patterns with a plain ECMAScript
// meaning must find the same leftmost match as std::regex, in both directions.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

using test::Random;

std::u16string RandomSubject(Random& random, std::u16string_view alphabet, int longest) {
  std::u16string subject;
  const int length = random.Below(longest + 1);
  for (int i = 0; i < length; ++i) subject.push_back(alphabet[random.Below(alphabet.size())]);
  return subject;
}

// Every record must be empty or well formed and inside the subject, and a
// match must begin on the right side of the start position.
void CheckRecord(const MatchRecord& record, const CompiledPattern& compiled, int32_t length,
                 int32_t start, bool rightToLeft, const std::string& context) {
  if (record.empty()) return;
  const int32_t groups = compiled.HighestGroup();
  ASSERT_EQ(record.size(), 2 * static_cast<size_t>(groups) + 4) << context;
  ASSERT_EQ(record[0], 1) << context;
  ASSERT_EQ(record[1], groups) << context;
  for (int32_t g = 0; g <= groups; ++g) {
    const int32_t s = record[2 + 2 * g];
    const int32_t e = record[3 + 2 * g];
    if (g > 0 && s == -1 && e == -1) continue;
    ASSERT_LE(0, s) << context << " group " << g;
    ASSERT_LE(s, e) << context << " group " << g;
    ASSERT_LE(e, length) << context << " group " << g;
  }
  const int32_t from = std::clamp(start, 0, length);
  if (rightToLeft) {
    ASSERT_LE(record[3], from) << context;
  } else {
    ASSERT_GE(record[2], from) << context;
  }
}

using test::Narrow;

// ---- The whole dialect: no crash, no leak, sane records ----

constexpr const char16_t* kPieces[] = {
    u"a",      u"b",     u"c",       u"1",           u" ",         u"-",       u"ab",   u"\u4e2d",
    u"(",      u")",     u"(?:",     u"(?=",         u"(?!",       u"(?<=",    u"(?<!", u"(?>",
    u"(?<n>",  u"(?'m'", u"(?P<n>",  u"(?<2>",       u"(?i)",      u"(?-i)",   u"(?i:", u"(?m)",
    u"(?s:",   u"(?#c)", u"(?(1)",   u"(?(?=a)",     u"(?(n)",     u"(?(zz)",  u"[",    u"]",
    u"[^",     u"[a-c]", u"[^\\d]",  u"[[:alpha:]]", u"[:digit:]", u"[:foo:]", u"[]",   u"[^]",
    u"-",      u"\\d",   u"\\w",     u"\\s",         u"\\D",       u"\\W",     u"\\S",  u"\\b",
    u"\\B",    u"\\A",   u"\\z",     u"\\Z",         u"\\G",       u"\\1",     u"\\2",  u"\\k<n>",
    u"\\k'm'", u"\\g1",  u"\\k<zz>", u"\\x41",       u"\\u0062",   u"\\x{63}", u"\\xZ", u"\\Q",
    u"\\E",    u"\\U",   u"\\L",     u"\\n",         u"\\t",       u"\\f",     u"\\",   u"*",
    u"+",      u"?",     u"*?",      u"+?",          u"*+",        u"++",      u"{2}",  u"{1,3}",
    u"{,2}",   u"{2,}",  u"{x}",     u"{",           u"}",         u"|",       u".",    u"^",
    u"$",      u"#",     u"\n",      u"\\0",
};
// At most one recursion per pattern, repeated or not: its calls learn their
// ways, so even repeated recursions stay quick on these subjects.
constexpr const char16_t* kRecursions[] = {u"(?R)", u"(?1)", u"(?R<n>)", u"(?2)", u"(?0)"};

TEST(RandomTest, WholeDialectCompilesAndSearchesSafely) {
  Random random(20240601);
  Matcher matcher;  // shared, so stack reuse across searches is exercised too
  constexpr std::u16string_view kAlphabet = u"ab1 -\n\r_A\f\u4e2d";
  for (int round = 0; round < 5000; ++round) {
    std::u16string pattern;
    const int pieces = 1 + random.Below(12);
    const bool recursion = random.Percent(20);
    const int recursionAt = recursion ? random.Below(pieces) : -1;
    for (int i = 0; i < pieces; ++i) {
      if (i == recursionAt) {
        pattern += kRecursions[random.Below(std::size(kRecursions))];
        continue;
      }
      pattern += kPieces[random.Below(std::size(kPieces))];
    }
    const uint32_t flags = static_cast<uint32_t>(random.Below(64));
    for (uint32_t direction : {0u, static_cast<uint32_t>(kRightToLeft)}) {
      CompiledPattern compiled;
      compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()),
                    (flags & ~kRightToLeft) | direction);
      ASSERT_NE(compiled.Top(), nullptr);
      for (int s = 0; s < 3; ++s) {
        const std::u16string subject = RandomSubject(random, kAlphabet, 10);
        const int32_t length = static_cast<int32_t>(subject.size());
        const int32_t start = random.Below(length + 5) - 2;
        const std::string context = "pattern " + Narrow(pattern) + " flags " +
                                    std::to_string(flags | direction) + " subject " +
                                    Narrow(subject) + " start " + std::to_string(start);
        MatchRecord record;
        matcher.Search(compiled, subject.data(), length, start, record);
        CheckRecord(record, compiled, length, start, direction != 0, context);
      }
    }
  }
}

// ---- Patterns with a plain ECMAScript meaning ----

// Writes each pattern twice: as is, and mirrored (sequences reversed, "^" and
// "$" swapped), so that matching the mirror rightwards in the reversed subject
// is matching the original leftwards.
struct Piece {
  std::string text, mirror;
  bool nullable = false;
};

class PatternMaker {
 public:
  PatternMaker(Random& random, bool lookarounds) : random_(random), lookarounds_(lookarounds) {}

  Piece Alternation(int depth) {
    Piece piece = Sequence(depth);
    for (int n = random_.Percent(70) ? 0 : 1 + random_.Below(2); n > 0; --n) {
      const Piece branch = Sequence(depth);
      piece = {piece.text + "|" + branch.text, piece.mirror + "|" + branch.mirror,
               piece.nullable || branch.nullable};
    }
    return piece;
  }

 private:
  Piece Sequence(int depth) {
    Piece piece{"", "", true};
    for (int n = 1 + random_.Below(3); n > 0; --n) {
      const Piece term = Term(depth);
      piece = {piece.text + term.text, term.mirror + piece.mirror, piece.nullable && term.nullable};
    }
    return piece;
  }

  Piece Term(int depth) {
    const int pick = random_.Below(100);
    if (pick < 8) {
      // libstdc++ runs a lookahead as a search of its own that takes the
      // lookahead's position for the start of the input, so only "$" is
      // comparable inside one.
      static const char* kAnchors[] = {"$", "^", "\\b", "\\B"};
      const std::string anchor = kAnchors[inLook_ > 0 ? 0 : random_.Below(4)];
      const std::string mirror = anchor == "^" ? "$" : anchor == "$" ? "^" : anchor;
      return {anchor, mirror, true};
    }
    if (pick < 14 && lookarounds_ && depth < 2) {
      const std::string open = random_.Percent(40) ? "(?!" : "(?=";
      ++inLook_;
      const Piece body = Alternation(depth + 1);
      --inLook_;
      return {open + body.text + ")", open + body.mirror + ")", true};
    }
    Piece atom = Atom(depth);
    // Only atoms that cannot match empty are repeated: engines differ on how
    // they end empty iterations.
    if (atom.nullable || !random_.Percent(45)) return atom;
    static const char* kQuantifiers[] = {"*", "+", "?", "{2}", "{0,2}", "{1,3}", "{2,}", "{0,}"};
    const int which = random_.Below(std::size(kQuantifiers));
    std::string quantifier = kQuantifiers[which];
    if (random_.Percent(30)) quantifier += "?";
    const bool nullable = which == 0 || which == 2 || which == 4 || which == 7;
    return {atom.text + quantifier, atom.mirror + quantifier, nullable};
  }

  Piece Atom(int depth) {
    static const char* kUnits[] = {"a",     "b",   "c",   "a",   "b",   "c",      "[ab]",  "[^a]",
                                   "[a-c]", "\\d", "\\w", "\\s", "\\D", "[a\\d]", "[^ b]", "."};
    const int pick = random_.Below(100);
    if (pick < 75 || depth >= 2) {
      const std::string unit = kUnits[random_.Below(std::size(kUnits))];
      return {unit, unit, false};
    }
    const std::string open = random_.Percent(50) ? "(" : "(?:";
    const Piece body = Alternation(depth + 1);
    return {open + body.text + ")", open + body.mirror + ")", body.nullable};
  }

  Random& random_;
  bool lookarounds_;
  int inLook_ = 0;
};

std::string ReferenceMatch(const std::string& pattern, const std::string& subject) {
  const std::regex reference(pattern, std::regex::ECMAScript);
  std::smatch match;
  if (!std::regex_search(subject, match, reference)) return "none";
  return std::to_string(match.position(0)) + "," +
         std::to_string(match.position(0) + match.length(0));
}

TEST(RandomTest, LeftmostMatchAgreesWithEcmaScript) {
  Random random(7);
  for (int round = 0; round < 1500; ++round) {
    PatternMaker maker(random, true);
    const std::string pattern = maker.Alternation(0).text;
    for (int s = 0; s < 4; ++s) {
      const std::u16string subject = RandomSubject(random, u"aabbc1 ", 10);
      const std::string narrow(subject.begin(), subject.end());
      ASSERT_EQ(test::FindMatch(test::Widen(pattern), subject), ReferenceMatch(pattern, narrow))
          << "pattern " << pattern << " subject '" << narrow << "'";
    }
  }
}

// A right-to-left search from the end tries the end first and matches
// leftwards, which is a left-to-right search of the mirrored pattern in the
// reversed subject.
TEST(RandomTest, RightToLeftAgreesWithMirroredEcmaScript) {
  Random random(11);
  for (int round = 0; round < 700; ++round) {
    PatternMaker maker(random, false);
    const Piece piece = maker.Alternation(0);
    const std::string& pattern = piece.text;
    const std::string& mirrored = piece.mirror;
    for (int s = 0; s < 3; ++s) {
      const std::u16string subject = RandomSubject(random, u"aabbc1 ", 10);
      const int32_t length = static_cast<int32_t>(subject.size());
      const std::string reversed(subject.rbegin(), subject.rend());
      std::string expected = ReferenceMatch(mirrored, reversed);
      if (expected != "none") {
        const size_t comma = expected.find(',');
        const int32_t start = std::stoi(expected.substr(0, comma));
        const int32_t end = std::stoi(expected.substr(comma + 1));
        expected = std::to_string(length - end) + "," + std::to_string(length - start);
      }
      ASSERT_EQ(test::FindMatch(test::Widen(pattern), subject, kRightToLeft, length), expected)
          << "pattern " << pattern << " subject '" << std::string(subject.begin(), subject.end())
          << "'";
    }
  }
}

}  // namespace
}  // namespace molvane::regex
