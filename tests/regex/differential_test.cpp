// SPDX-License-Identifier: GPL-3.0-or-later
// Differential test: thousands of generated patterns over the whole dialect
// (groups, named groups, lookarounds, every kind of repetition, back
// references, conditionals, modifiers, both directions) searched by our engine
// and by Python's `regex` module, an independent engine, through
// python_regex_answers.py. Fixed seeds, short subjects.
//
// Where the dialect reads a pattern its own way, the Python form is translated:
// - plain groups are numbered first and named groups after them; Python
//   numbers all groups in order of opening, so group numbers are mapped (and
//   numeric back references and conditions name the Python number);
// - "$" without MultiLine and "\z" hold only at the very end ("\Z" in Python);
// - a fixed count "{n}" ignores a following "?" or "+", so Python gets "{n}";
// - a condition that is a lookahead, "(?(?=x)Y|N)", is given to Python as
//   "(?:(?=x)Y|(?!x)N)" ("(?:Y(?=x)|N(?!x))" where matching runs leftwards,
//   so that the condition is still decided first): Python's module answers
//   wrongly for such conditionals under a repetition (it finds
//   "(?(?=c)a){0,2}" in "c" at 1, not at 0);
// - captures made inside a recursion stay after it returns; Python's module
//   drops them, so a pattern that recurses compares the match only and holds
//   no back reference or group condition. Its recursions follow a letter
//   (run leftwards: precede it), stay out of lookarounds, and it is searched
//   rightwards only, since Python would recurse into the lookahead added
//   below;
// - a right-to-left search started at s may see the whole subject; Python
//   searches the whole subject in reverse with "(?=[\s\S]{L-s})" after the
//   pattern, so no attempt begins right of s;
// - a repetition drops an iteration that consumes nothing instead of keeping
//   it as the last one, and tries an empty iteration's next way before
//   giving up. Where such an iteration can occur (a repetition of an atom
//   that can match empty) only whether and where the match begins is
//   compared, since the set of reachable ends is the same; inside an atomic
//   group or a possessive repetition, which keep their first way, nothing is
//   compared but that the search ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

using test::Random;

// One piece of pattern in both spellings.
struct Fragment {
  std::string ours;
  std::string python;
  bool canBeEmpty = false;
};

enum class Comparison { kExact, kMatch, kMatchStart, kEndsOnly };

struct GeneratedPattern {
  std::string ours;
  std::string python;
  uint32_t flags = 0;
  Comparison comparison = Comparison::kExact;
  std::vector<int> pythonGroup;  // indexed by our group number
};

class PatternGenerator {
 public:
  explicit PatternGenerator(Random& random) : random_(random) {}

  GeneratedPattern Make() {
    groups_.clear();
    commitDepth_ = 0;
    lookDepth_ = 0;
    emptyRepeat_ = false;
    emptyRepeatCommitted_ = false;
    recursive_ = random_.Percent(15);
    GeneratedPattern pattern;
    pattern.flags = 0;
    if (random_.Percent(15)) pattern.flags |= kIgnoreCase;
    if (random_.Percent(15)) pattern.flags |= kMultiLine;
    if (random_.Percent(10)) pattern.flags |= kSingleLine;
    // Python recurses into the whole pattern it is given, which for a
    // leftwards search has a lookahead added.
    if (!recursive_ && random_.Percent(30)) pattern.flags |= kRightToLeft;
    const Fragment top = Alternation(0, pattern.flags);
    pattern.ours = top.ours;
    pattern.python = top.python;
    pattern.comparison = emptyRepeatCommitted_ ? Comparison::kEndsOnly
                         : emptyRepeat_        ? Comparison::kMatchStart
                         : recursive_          ? Comparison::kMatch
                                               : Comparison::kExact;
    // Plain groups first, then named ones, each in order of opening.
    pattern.pythonGroup.push_back(0);
    for (int pass = 0; pass < 2; ++pass) {
      for (size_t i = 0; i < groups_.size(); ++i) {
        if (groups_[i].named == (pass == 1)) pattern.pythonGroup.push_back(static_cast<int>(i) + 1);
      }
    }
    return pattern;
  }

 private:
  struct GroupState {
    bool named = false;
    bool closed = false;
    bool stable = true;  // not inside a repetition that may drop an empty iteration
  };

  Fragment Alternation(int depth, uint32_t flags) {
    Fragment result = Branch(depth, flags);
    const int branches = depth < 2 && random_.Percent(30) ? 1 + random_.Below(2) : 0;
    for (int i = 0; i < branches; ++i) {
      const Fragment next = Branch(depth, flags);
      result.ours += "|" + next.ours;
      result.python += "|" + next.python;
      result.canBeEmpty = result.canBeEmpty || next.canBeEmpty;
    }
    return result;
  }

  Fragment Branch(int depth, uint32_t flags) {
    Fragment result{"", "", true};
    const int items = depth == 0 ? 1 + random_.Below(4) : random_.Below(3);
    for (int i = 0; i < items; ++i) {
      const Fragment item = Item(depth, flags);
      result.ours += item.ours;
      result.python += item.python;
      result.canBeEmpty = result.canBeEmpty && item.canBeEmpty;
    }
    return result;
  }

  Fragment Item(int depth, uint32_t flags) {
    const size_t groupsBefore = groups_.size();
    bool repeatable = true;
    Fragment atom = Atom(depth, flags, &repeatable);
    if (!repeatable || !random_.Percent(35)) return atom;
    static const char* const kCounts[] = {"*", "+", "?", "{2}", "{1,}", "{0,2}", "{1,3}"};
    static const char* const kModes[] = {"", "", "?", "+"};
    const std::string count = random_.Pick(kCounts);
    const std::string mode = random_.Pick(kModes);
    const bool fixed = count == "{2}";
    const bool possessive = mode == "+" && !fixed;
    if (atom.canBeEmpty) {
      emptyRepeat_ = true;
      if (possessive || commitDepth_ > 0) emptyRepeatCommitted_ = true;
      for (size_t g = groupsBefore; g < groups_.size(); ++g) groups_[g].stable = false;
    }
    const bool minimumZero = count == "*" || count == "?" || count == "{0,2}";
    return {atom.ours + count + mode, atom.python + count + (fixed ? "" : mode),
            atom.canBeEmpty || minimumZero};
  }

  Fragment Atom(int depth, uint32_t flags, bool* repeatable) {
    // Groups only down to a small depth, so patterns stay short.
    const int roll = random_.Below(depth < 3 ? 100 : 65);
    if (recursive_ && roll < 10) return Recursion(flags);
    if (roll < 35) return Literal();
    if (roll < 50) return Set();
    if (roll < 60) {
      *repeatable = false;
      return Anchor(flags);
    }
    if (roll < 65) return recursive_ ? Recursion(flags) : Backref();
    return Group(depth + 1, flags, repeatable);
  }

  // A recursion into the whole pattern after a letter (before it where
  // matching runs leftwards), so its depth stays below the subject's length;
  // not inside lookarounds, which Python's module enters differently.
  Fragment Recursion(uint32_t flags) {
    if (lookDepth_ > 0) return Literal();
    const Fragment letter = Literal();
    const std::string text =
        (flags & kRightToLeft) != 0 ? "(?R)" + letter.ours : letter.ours + "(?R)";
    return {text, text, false};
  }

  Fragment Literal() {
    static const char* const kLetters[] = {"a", "a", "b", "b", "c", "A"};
    const std::string letter = random_.Pick(kLetters);
    return {letter, letter, false};
  }

  Fragment Set() {
    static const char* const kSets[] = {"[ab]", "[^a]", "[a-c]", ".", "\\w", "\\W", "\\s", "[A-Z]"};
    const std::string set = random_.Pick(kSets);
    return {set, set, false};
  }

  Fragment Anchor(uint32_t flags) {
    const bool multiline = (flags & kMultiLine) != 0;
    switch (random_.Below(6)) {
      case 0:
        return {"^", "^", true};
      case 1:
        return {"$", multiline ? "$" : "\\Z", true};
      case 2:
        return {"\\b", "\\b", true};
      case 3:
        return {"\\B", "\\B", true};
      case 4:
        return {"\\A", "\\A", true};
      default:
        return {"\\z", "\\Z", true};
    }
  }

  // A reference to a group that has closed and whose capture both engines
  // agree on, or a literal when there is none.
  int StableClosedGroup() {
    if (recursive_) return -1;
    std::vector<int> candidates;
    for (size_t i = 0; i < groups_.size(); ++i) {
      if (groups_[i].closed && groups_[i].stable) candidates.push_back(static_cast<int>(i));
    }
    if (candidates.empty()) return -1;
    return candidates[random_.Below(static_cast<int>(candidates.size()))];
  }

  std::string OurNumber(int index) const {
    int plain = 0;
    int named = 0;
    int totalPlain = 0;
    for (size_t i = 0; i < groups_.size(); ++i) {
      if (!groups_[i].named) ++totalPlain;
      if (static_cast<int>(i) <= index) (groups_[i].named ? named : plain) += 1;
    }
    // A named group's number is only final once every plain group is known,
    // so named groups are referred to by name.
    return std::to_string(groups_[index].named ? totalPlain + named : plain);
  }

  Fragment Backref() {
    const int index = StableClosedGroup();
    if (index < 0) return Literal();
    if (groups_[index].named) {
      const std::string name = "n" + std::to_string(index);
      return {"\\k<" + name + ">", "(?P=" + name + ")", true};
    }
    return {"\\" + OurNumber(index), "\\" + std::to_string(index + 1), true};
  }

  Fragment Group(int depth, uint32_t flags, bool* repeatable) {
    switch (random_.Below(11)) {
      case 0:
      case 1:
        return Capture(depth, flags, false);
      case 2:
        return Capture(depth, flags, true);
      case 3:
        return Wrap("(?:", "(?:", depth, flags, false);
      case 4:
        return Wrap("(?>", "(?>", depth, flags, true);
      case 5:
      case 6: {
        *repeatable = false;
        static const char* const kLooks[] = {"(?=", "(?!", "(?<=", "(?<!"};
        const std::string look = random_.Pick(kLooks);
        // A lookbehind's body matches leftwards, a lookahead's rightwards.
        const uint32_t inner =
            look.size() == 4 ? flags | kRightToLeft : flags & ~uint32_t{kRightToLeft};
        ++lookDepth_;
        Fragment body = Alternation(depth, inner);
        --lookDepth_;
        return {look + body.ours + ")", look + body.python + ")", true};
      }
      case 7:
        return Conditional(depth, flags);
      case 8: {
        static const char* const kModifiers[] = {"(?i:", "(?-i:", "(?m:", "(?s:"};
        const std::string modifier = random_.Pick(kModifiers);
        uint32_t inner = flags;
        if (modifier == "(?i:") inner |= kIgnoreCase;
        if (modifier == "(?-i:") inner &= ~kIgnoreCase;
        if (modifier == "(?m:") inner |= kMultiLine;
        if (modifier == "(?s:") inner |= kSingleLine;
        Fragment body = Alternation(depth, inner);
        return {modifier + body.ours + ")", modifier + body.python + ")", body.canBeEmpty};
      }
      default:
        return Capture(depth, flags, random_.Percent(30));
    }
  }

  Fragment Wrap(const std::string& ours, const std::string& python, int depth, uint32_t flags,
                bool commits) {
    commitDepth_ += commits ? 1 : 0;
    Fragment body = Alternation(depth, flags);
    commitDepth_ -= commits ? 1 : 0;
    return {ours + body.ours + ")", python + body.python + ")", body.canBeEmpty};
  }

  Fragment Capture(int depth, uint32_t flags, bool named) {
    const size_t index = groups_.size();
    groups_.push_back({named, false, true});
    const std::string name = "n" + std::to_string(index);
    Fragment body = Alternation(depth, flags);
    groups_[index].closed = true;
    if (named) {
      return {"(?<" + name + ">" + body.ours + ")", "(?P<" + name + ">" + body.python + ")",
              body.canBeEmpty};
    }
    return {"(" + body.ours + ")", "(" + body.python + ")", body.canBeEmpty};
  }

  Fragment Conditional(int depth, uint32_t flags) {
    std::string oursCondition;
    std::string pythonCondition;
    std::string look;  // the condition when it is a lookahead
    const int index = StableClosedGroup();
    if (index >= 0 && random_.Percent(70)) {
      if (groups_[index].named) {
        oursCondition = pythonCondition = "n" + std::to_string(index);
      } else {
        oursCondition = OurNumber(index);
        pythonCondition = std::to_string(index + 1);
      }
    } else {
      look = Literal().python;
      oursCondition = "?=" + look;
    }
    const Fragment yes = Branch(depth, flags);
    const Fragment no = random_.Percent(60) ? Branch(depth, flags) : Fragment{"", "", true};
    std::string ours = "(?(" + oursCondition + ")" + yes.ours;
    if (!no.ours.empty()) ours += "|" + no.ours;
    std::string python = "(?(" + pythonCondition + ")" + yes.python + "|" + no.python + ")";
    if (!look.empty() && (flags & kRightToLeft) != 0) {
      python = "(?:" + yes.python + "(?=" + look + ")|" + no.python + "(?!" + look + "))";
    } else if (!look.empty()) {
      python = "(?:(?=" + look + ")" + yes.python + "|(?!" + look + ")" + no.python + ")";
    }
    return {ours + ")", python, yes.canBeEmpty || no.canBeEmpty};
  }

  Random& random_;
  std::vector<GroupState> groups_;
  int commitDepth_ = 0;
  int lookDepth_ = 0;
  // Captures made inside a recursion are kept here and dropped on return in
  // Python's module: such patterns compare the match only and test no
  // captures.
  bool recursive_ = false;
  bool emptyRepeat_ = false;
  bool emptyRepeatCommitted_ = false;
};

struct Case {
  size_t pattern = 0;
  std::u16string subject;
  int32_t start = 0;
};

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Ascii(std::u16string_view text) {
  return {text.begin(), text.end()};
}

// Debian's Python, which python3-regex serves, else the first on the path;
// empty when neither has the module.
const std::string& PythonWithRegex() {
  static const std::string found = [] {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
      const std::string probe = std::string(python) + " -c 'import regex' 2>/dev/null";
      if (std::system(probe.c_str()) == 0) return std::string(python);
    }
    return std::string();
  }();
  return found;
}

// Python's answers, one line per case, from the helper run once over all cases.
std::vector<std::string> PythonAnswers(const std::vector<GeneratedPattern>& patterns,
                                       const std::vector<Case>& cases) {
  // One file per process: builds of other configurations may run this test at the same time.
  const std::string input =
      testing::TempDir() + "molvane_differential_cases." + std::to_string(getpid()) + ".jsonl";
  {
    std::ofstream out(input);
    for (const Case& c : cases) {
      const GeneratedPattern& pattern = patterns[c.pattern];
      std::string python = "(?:" + pattern.python + ")";
      std::string letters;
      if (pattern.flags & kIgnoreCase) letters += 'i';
      if (pattern.flags & kMultiLine) letters += 'm';
      if (pattern.flags & kSingleLine) letters += 's';
      if (pattern.flags & kRightToLeft) {
        letters += 'r';
        const int32_t start = std::min<int32_t>(c.start, c.subject.size());
        python += "(?=[\\s\\S]{" + std::to_string(c.subject.size() - start) + "})";
      }
      out << "{\"p\":" << JsonString(python) << ",\"s\":" << JsonString(Ascii(c.subject))
          << ",\"f\":\"" << letters << "\",\"pos\":" << c.start << "}\n";
    }
  }
  const std::string command =
      PythonWithRegex() + " " MOLVANE_PYTHON_REGEX_HELPER " < '" + input + "'";
  std::vector<std::string> answers;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return answers;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string answer(line);
    while (!answer.empty() && answer.back() == '\n') answer.pop_back();
    answers.push_back(answer);
  }
  pclose(pipe);
  std::remove(input.c_str());
  return answers;
}

// Our answer in Python's spelling: the spans of Python's groups 0..n.
std::string OurAnswer(const MatchRecord& record, const GeneratedPattern& pattern) {
  if (record.empty()) return "none";
  std::vector<std::string> spans(pattern.pythonGroup.size());
  for (size_t ours = 0; ours < pattern.pythonGroup.size(); ++ours) {
    const size_t at = 2 + 2 * ours;
    spans[pattern.pythonGroup[ours]] =
        std::to_string(record[at]) + "," + std::to_string(record[at + 1]);
  }
  std::string text;
  for (const std::string& span : spans) text += (text.empty() ? "" : " ") + span;
  return text;
}

// Where the match begins in the direction of the search, or "none".
std::string MatchStart(const std::string& answer, bool rightToLeft) {
  if (answer == "none") return answer;
  const size_t comma = answer.find(',');
  const size_t end = answer.find(' ');
  return rightToLeft ? answer.substr(comma + 1, end == std::string::npos ? end : end - comma - 1)
                     : answer.substr(0, comma);
}

TEST(DifferentialTest, AgreesWithAnIndependentEngine) {
  ASSERT_FALSE(PythonWithRegex().empty())
      << "the differential test needs Python's regex module (Debian: python3-regex)";
  // MOLVANE_DIFFERENTIAL_SEED picks other patterns for a longer hunt.
  const char* seed = std::getenv("MOLVANE_DIFFERENTIAL_SEED");
  Random random(seed != nullptr ? static_cast<uint32_t>(std::strtoul(seed, nullptr, 10))
                                : 20261208);
  PatternGenerator generator(random);
  std::vector<GeneratedPattern> patterns;
  std::vector<Case> cases;
  constexpr int kPatterns = 4000;
  static const char16_t kAlphabet[] = u"aabbcA \n";
  for (int p = 0; p < kPatterns; ++p) {
    patterns.push_back(generator.Make());
    for (int s = 0; s < 3; ++s) {
      Case c;
      c.pattern = patterns.size() - 1;
      const int length = random.Below(9);
      for (int i = 0; i < length; ++i) c.subject.push_back(kAlphabet[random.Below(8)]);
      const bool rightToLeft = (patterns.back().flags & kRightToLeft) != 0;
      c.start = random.Percent(70) ? (rightToLeft ? length : 0) : random.Below(length + 1);
      cases.push_back(c);
    }
  }

  const std::vector<std::string> answers = PythonAnswers(patterns, cases);
  ASSERT_EQ(answers.size(), cases.size()) << "the Python helper failed";
  int compared[4] = {0, 0, 0, 0};
  int skipped = 0;  // Python gave up (its own time limit) or refused the pattern
  int mismatches = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const GeneratedPattern& pattern = patterns[c.pattern];
    const std::u16string oursPattern = test::Widen(pattern.ours);
    const MatchRecord record = test::Find(oursPattern, c.subject, pattern.flags, c.start);
    const std::string& python = answers[i];
    if (python == "timeout" || python == "error") {
      ++skipped;
      continue;
    }
    const bool rightToLeft = (pattern.flags & kRightToLeft) != 0;
    const std::string ours = OurAnswer(record, pattern);
    bool agree = true;
    switch (pattern.comparison) {
      case Comparison::kExact:
        agree = ours == python;
        break;
      case Comparison::kMatch:
        agree = ours.substr(0, ours.find(' ')) == python.substr(0, python.find(' '));
        break;
      case Comparison::kMatchStart:
        agree = MatchStart(ours, rightToLeft) == MatchStart(python, rightToLeft);
        break;
      case Comparison::kEndsOnly:
        break;
    }
    ++compared[static_cast<int>(pattern.comparison)];
    if (!agree && ++mismatches <= 20) {
      ADD_FAILURE() << "pattern \"" << pattern.ours << "\" (Python \"" << pattern.python
                    << "\") flags " << pattern.flags << " on \"" << test::Narrow(c.subject)
                    << "\" from " << c.start << ": ours " << ours << ", Python " << python;
    }
  }
  EXPECT_EQ(mismatches, 0);
  // The generator must keep exercising the comparisons.
  EXPECT_GT(compared[0], static_cast<int>(cases.size()) / 2);
  EXPECT_GT(compared[1], static_cast<int>(cases.size()) / 20);
  EXPECT_GT(compared[2], static_cast<int>(cases.size()) / 20);
  EXPECT_LT(skipped, static_cast<int>(cases.size()) / 100);
  std::printf(
      "differential: %zu searches, %d exact, %d by the match (recursion), %d by match start, "
      "%d checked to end, %d skipped\n",
      cases.size(), compared[0], compared[1], compared[2], compared[3], skipped);
}

}  // namespace
}  // namespace molvane::regex
