// SPDX-License-Identifier: GPL-3.0-or-later
// Words in the common braille: the current braille's cells of each syllable,
// a tone cell unless the syllable's rule leaves the tone out, abbreviated
// characters where they cannot be misread.
#include <mutex>

#include "cbs/cbs.h"
#include "cbs/rules.h"
#include "words/tables.h"

namespace molvane::cbs {
namespace {

// The current braille's cells of every syllable, parsed from its dot numbers
// once, and which cells begin a syllable that has an initial.
struct SyllableCells {
  std::vector<Cells> cells;  // by syllable number
  std::array<bool, 64> initial{};

  static const SyllableCells& Get() {
    static const SyllableCells table;
    return table;
  }

 private:
  SyllableCells() {
    const words::Tables& tables = words::Tables::Get();
    for (uint16_t s = 0; s < tables.SyllableCount(); ++s) {
      cells.push_back(fulltext::CellsFromDots(tables.Codes(s).brailleDots));
      if (cells.back().size() == 2) initial[static_cast<size_t>(cells.back()[0])] = true;
    }
  }
};

const Cells& CurrentCells(const words::Reading& reading) {
  static const Cells none;
  const SyllableCells& table = SyllableCells::Get();
  return reading.syllable < table.cells.size() ? table.cells[reading.syllable] : none;
}

// True when the syllable's cells begin with a final: one without an initial.
bool StartsWithFinal(const Syllable& s) {
  const Cells& cells = CurrentCells(s.reading);
  return !cells.empty() && !SyllableCells::Get().initial[static_cast<size_t>(cells[0])];
}

}  // namespace

int OmittedTone(std::string_view letters) {
  return Rules::Get().OmittedTone(letters);
}

char ToneCell(int tone) {
  return Rules::Get().ToneCell(tone);
}

const std::vector<Short>& Shorts() {
  return Rules::Get().Shorts();
}

Cells WordCells(const std::vector<Syllable>& word) {
  const Rules& rules = Rules::Get();
  Cells out;
  for (size_t i = 0; i < word.size(); ++i) {
    const words::Reading& r = word[i].reading;
    const Cells& cells = CurrentCells(r);
    if (cells.empty()) {
      out += fulltext::PlaceholderCells();
      continue;
    }
    // A final right after would join the cells before it into one syllable.
    const bool finalFollows = i + 1 < word.size() && StartsWithFinal(word[i + 1]);
    if (const Short* s = rules.ShortFor(word[i].han, r.letters, r.tone); s && !finalFollows) {
      out += s->cells;
      continue;
    }
    out += cells;
    const bool initialAlone =
        cells.size() == 1 && SyllableCells::Get().initial[static_cast<size_t>(cells[0])];
    if (r.tone != 0 && (r.tone != rules.OmittedTone(r.letters) || (initialAlone && finalFollows)))
      out += rules.ToneCell(r.tone);
  }
  return out;
}

}  // namespace molvane::cbs
