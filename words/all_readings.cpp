// SPDX-License-Identifier: GPL-3.0-or-later
// Every reading the word data gives a character, for learners who want to
// see what else a polyphonic character can be read as.
#include <algorithm>
#include <utility>

#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {
namespace {

// A character's readings, each once, sorted by character: made on the first
// call only (learners ask for it; the plain conversion never pays for it).
class AllReadings {
 public:
  static const AllReadings& Get() {
    // Built once and never changed afterwards, so every thread may read it.
    static const AllReadings readings;
    return readings;
  }

  std::vector<StoredReading> Of(char16_t han) const {
    std::vector<StoredReading> found;
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), Entry{han, 0, 0});
    for (auto at = first; at != entries_.end() && at->han == han; ++at)
      found.push_back({at->syllable, at->tone});
    return found;
  }

 private:
  struct Entry {
    char16_t han;
    uint16_t syllable;
    uint8_t tone;
    auto operator<=>(const Entry&) const = default;
  };

  AllReadings() {
    const Tables& tables = Tables::Get();
    auto add = [this](char16_t han, StoredReading r) {
      if (r.syllable != kNoSyllable) entries_.push_back({han, r.syllable, r.tone});
    };
    for (char16_t han = kFirstHan; han <= kLastHan; ++han) {
      add(han, tables.CharacterReading(han));
      add(han, tables.LoneReading(han));
    }
    // The readings the words of the data give their characters; a neutral
    // tone (东西 dōng xi, 一个 yī ge) is the word's, not another reading.
    for (const WordEntry& word : tables.Words()) {
      if (word.reading < 0) continue;
      for (size_t i = 0; i < word.text.size(); ++i) {
        const StoredReading r = tables.PooledReading(word.reading + static_cast<int32_t>(i));
        if (IsHan(word.text[i]) && r.tone != 0) add(word.text[i], r);
      }
    }
    std::sort(entries_.begin(), entries_.end());
    entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
  }

  std::vector<Entry> entries_;
};

}  // namespace

std::vector<Reading> AllReadingsOf(char16_t han, const Reading& chosen) {
  std::vector<Reading> readings;
  if (chosen.syllable != kNoSyllable) readings.push_back(chosen);
  if (!IsHan(han)) return readings;
  const Tables& tables = Tables::Get();
  for (const StoredReading& r : AllReadings::Get().Of(han)) {
    if (r.syllable == chosen.syllable && r.tone == chosen.tone) continue;
    readings.push_back(Reading{tables.Codes(r.syllable).letters, r.tone, r.syllable});
  }
  return readings;
}

}  // namespace molvane::words
