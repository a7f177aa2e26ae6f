// SPDX-License-Identifier: GPL-3.0-or-later
#include "back/lexicon.h"

#include <algorithm>

#include "cbs/cbs.h"
#include "fulltext/fulltext.h"
#include "words/tables.h"

namespace molvane::back {
namespace {

std::string DoubleDots(uint16_t syllable, int tone) {
  const words::SyllableCodes& codes = words::Tables::Get().Codes(syllable);
  const words::Reading reading{codes.letters, tone, syllable};
  return words::Render({reading}, words::Notation::kDoubleBraille, "", words::ToneStyle::kNone);
}

// Rows by their first cell in one notation's cells (double-spell braille
// has its own quotation marks, brackets and pauses), each list longest first.
struct SignIndex {
  std::array<std::vector<std::pair<std::string, const fulltext::SignRow*>>, 64> byFirst;

  static const SignIndex& For(Notation notation) {
    static const SignIndex current(false);
    static const SignIndex doubles(true);
    return notation == Notation::kDoubleBraille ? doubles : current;
  }

 private:
  explicit SignIndex(bool doubleSpell) {
    for (size_t i = 0; i < fulltext::kSignRowCount; ++i) {
      const fulltext::SignRow& row = fulltext::kSignRows[i];
      const std::string cells = fulltext::SignCells(row, doubleSpell);
      if (!cells.empty()) byFirst[static_cast<size_t>(cells[0] & 63)].push_back({cells, &row});
    }
    for (auto& list : byFirst)
      std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a.first.size() > b.first.size();
      });
  }
};

constexpr char kLetterDots[26][6] = {"1",    "12",   "14",    "145",   "15",  "124",  "1245",
                                     "125",  "24",   "245",   "13",    "123", "134",  "1345",
                                     "135",  "1234", "12345", "1235",  "234", "2345", "136",
                                     "1236", "2456", "1346",  "13456", "1356"};

const std::array<char, 64>& Letters() {
  static const std::array<char, 64> table = [] {
    std::array<char, 64> t{};
    for (int i = 0; i < 26; ++i)
      t[static_cast<size_t>(fulltext::CellsFromDots(kLetterDots[i])[0])] =
          static_cast<char>('a' + i);
    return t;
  }();
  return table;
}

}  // namespace

char LetterOf(uint8_t cell) {
  return cell < 64 ? Letters()[cell] : 0;
}

char DigitOf(uint8_t cell) {
  const char letter = LetterOf(cell);
  if (letter < 'a' || letter > 'j') return 0;
  return letter == 'j' ? '0' : static_cast<char>('1' + (letter - 'a'));
}

std::vector<SignChoice> SignsAt(std::string_view cells, Notation notation) {
  std::vector<SignChoice> found;
  if (cells.empty()) return found;
  const SignIndex& index = SignIndex::For(notation);
  for (const auto& [rowCells, row] : index.byFirst[static_cast<size_t>(cells[0] & 63)])
    if (cells.substr(0, rowCells.size()) == rowCells) found.push_back({row, rowCells.size()});
  return found;
}

const Lexicon& Lexicon::For(Notation notation) {
  static const Lexicon current(Notation::kCurrentBraille);
  static const Lexicon doubles(Notation::kDoubleBraille);
  static const Lexicon common(Notation::kCommonBraille);
  switch (notation) {
    case Notation::kCurrentBraille:
      return current;
    case Notation::kDoubleBraille:
      return doubles;
    case Notation::kCommonBraille:
      break;
  }
  return common;
}

// The first syllable to claim cells keeps them (of o and e, the dictionary's
// first); a tone the cells say wins over one they leave out.
void Lexicon::Add(const std::string& cells, SyllableEntry entry) {
  if (cells.empty()) return;
  syllables_.emplace(cells, entry);
  longest_ = std::max(longest_, cells.size());
}

Lexicon::Lexicon(Notation notation) {
  const words::Tables& tables = words::Tables::Get();
  for (uint16_t s = 0; s < tables.SyllableCount(); ++s) {
    const std::string_view letters = tables.Codes(s).letters;
    switch (notation) {
      case Notation::kCurrentBraille:
        Add(fulltext::CellsFromDots(tables.Codes(s).brailleDots), {s, -1, false, 0});
        break;
      case Notation::kDoubleBraille:
        for (int tone : {1, 2, 3, 4, 0})
          Add(fulltext::CellsFromDots(DoubleDots(s, tone)),
              {s, static_cast<int8_t>(tone), true, 0});
        break;
      case Notation::kCommonBraille: {
        const int omitted = cbs::OmittedTone(letters);
        for (int tone : {1, 2, 3, 4, 0}) {
          const cbs::Syllable alone{{letters, tone, s}, 0};
          const bool marked = tone != 0 && tone != omitted;
          Add(cbs::WordCells({alone}), {s, static_cast<int8_t>(tone), marked, 0});
          // The mark an omitted tone takes before a final (事物).
          if (tone == omitted && !marked && tone != 0) {
            const std::string cells = fulltext::CellsFromDots(tables.Codes(s).brailleDots);
            if (cells.size() == 1)
              Add(cells + cbs::ToneCell(tone), {s, static_cast<int8_t>(tone), true, 0});
          }
        }
        break;
      }
    }
  }
  if (notation != Notation::kCommonBraille) return;
  for (const cbs::Short& s : cbs::Shorts()) {
    const uint16_t number = tables.SyllableNumber(s.letters);
    if (number != words::kNoSyllable)
      syllables_[s.cells] = {number, static_cast<int8_t>(s.tone), true, s.han};
  }
}

}  // namespace molvane::back
