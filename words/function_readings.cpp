// SPDX-License-Identifier: GPL-3.0-or-later
#include "words/function_readings.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "words/tables.h"

namespace molvane::words {

extern const char kFunctionReadingsTable[];

namespace {

// A set of neighbours: any, these, or any but these.
struct Neighbours {
  std::u16string characters;
  bool any = true;
  bool negated = false;

  bool Fits(char16_t neighbour) const {
    if (any) return true;
    const bool listed = neighbour != 0 && characters.find(neighbour) != std::u16string::npos;
    return listed != negated;
  }
};

struct Row {
  char16_t han;
  StoredReading reading;
  Neighbours after;
  Neighbours before;
};

[[noreturn]] void BadRow(std::string_view line) {
  std::fprintf(stderr, "words/tables/function_readings.txt: a row the rules do not know: %.*s\n",
               static_cast<int>(line.size()), line.data());
  std::abort();
}

Neighbours ParseNeighbours(std::string_view field, std::string_view line) {
  if (field == "-") return Neighbours{};
  Neighbours set{Utf16Of(field), false, !field.empty() && field.front() == '!'};
  if (set.negated) set.characters.erase(0, 1);
  if (set.characters.empty()) BadRow(line);
  return set;
}

Row ParseRow(const Tables& tables, std::string_view line) {
  const std::vector<std::string_view> f = SplitFields(line, '\t');
  const std::u16string han = Utf16Of(f[0]);
  if (f.size() != 5 || han.size() != 1 || !IsHan(han[0]) || f[1].size() < 2) BadRow(line);
  const char tone = f[1].back();
  const uint16_t syllable = tables.SyllableNumber(f[1].substr(0, f[1].size() - 1));
  if (syllable == kNoSyllable || tone < '0' || tone > '4') BadRow(line);
  return Row{han[0],
             {syllable, static_cast<uint8_t>(tone - '0')},
             ParseNeighbours(f[2], line),
             ParseNeighbours(f[3], line)};
}

// The rows, and which characters have any: most characters have none, and
// every lone character asks.
struct Grammar {
  std::vector<Row> rows;
  std::vector<bool> ruled = std::vector<bool>(kLastHan - kFirstHan + 1, false);
};

// Read once on first use, constant afterwards, like the tables they read by.
const Grammar& Rows(const Tables& tables) {
  static const Grammar kGrammar = [&tables] {
    Grammar grammar;
    const std::string_view text = kFunctionReadingsTable;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view line = text.substr(at, end - at);
      if (!line.empty() && line.front() != '#') {
        grammar.rows.push_back(ParseRow(tables, line));
        grammar.ruled[grammar.rows.back().han - kFirstHan] = true;
      }
      at = end + 1;
    }
    return grammar;
  }();
  return kGrammar;
}

}  // namespace

StoredReading GrammarReading(const Tables& tables, std::u16string_view run, size_t at) {
  const Grammar& grammar = Rows(tables);
  if (!grammar.ruled[run[at] - kFirstHan]) return StoredReading{};
  const char16_t previous = at > 0 ? run[at - 1] : 0;
  const char16_t next = at + 1 < run.size() ? run[at + 1] : 0;
  for (const Row& row : grammar.rows)
    if (row.han == run[at] && row.after.Fits(previous) && row.before.Fits(next)) return row.reading;
  return StoredReading{};
}

}  // namespace molvane::words
