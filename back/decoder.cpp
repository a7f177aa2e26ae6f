// SPDX-License-Identifier: GPL-3.0-or-later
#include "back/decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "back/char_model.h"
#include "cbs/cbs.h"
#include "platform/platform.h"
#include "words/tables.h"

namespace molvane::back {
namespace {

using words::StoredReading;
using words::Tables;

// Weights in natural-log units of a word's probability.
constexpr double kSplitsBrailleWord = -4.0;  // a print word ends inside a braille word
constexpr double kCrossesBlank = -14.0;      // a print word spans a blank
constexpr double kUnknownSyllable = -40.0;   // written as pinyin
constexpr size_t kLongestWord = 8;
// The word frequencies and the character model, mixed; states kept a place.
constexpr double kWordWeight = 1.0;
constexpr double kCharWeight = 0.6;
constexpr size_t kBeam = 3;
// Single characters tried per syllable; untoned, many more fit, and the
// rarer ones almost never win.
constexpr size_t kSingles = 16;
constexpr size_t kSinglesUntoned = 8;
constexpr size_t kLongestStretch = 4096;  // syllables decoded at once

struct Candidate {
  std::u16string_view text;
  const StoredReading* readings;  // text.size() of them
  double score;                   // log probability
};

// The candidates by their first syllable (single characters) and by their
// first two syllables (longer words), built once from the word tables.
class Index {
 public:
  static const Index& Get() {
    static const Index index;
    return index;
  }

  const std::vector<Candidate>& Singles(uint16_t syllable) const { return singles_[syllable]; }
  const std::vector<Candidate>* Longer(uint16_t first, uint16_t second) const {
    const auto found = longer_.find(Key(first, second));
    return found == longer_.end() ? nullptr : &found->second;
  }

 private:
  static uint32_t Key(uint16_t a, uint16_t b) { return (uint32_t{a} << 16) | b; }

  Index() : singles_(Tables::Get().SyllableCount()) {
    const Tables& tables = Tables::Get();
    const double total = tables.LogTotal();
    std::vector<bool> listed(words::kLastHan - words::kFirstHan + 1);
    pool_.reserve(tables.Words().size() * 3 + listed.size());
    // Every reading is stored before any pointer into the pool is taken.
    std::vector<std::pair<size_t, size_t>> spans;  // word index, pool start
    for (size_t w = 0; w < tables.Words().size(); ++w) {
      const words::WordEntry& entry = tables.Words()[w];
      if (entry.text.size() > kLongestWord) continue;
      bool ok = true;
      const size_t start = pool_.size();
      for (size_t i = 0; i < entry.text.size() && ok; ++i) {
        ok = words::IsHan(entry.text[i]);
        if (!ok) break;
        const StoredReading r = entry.reading >= 0
                                    ? tables.PooledReading(entry.reading + static_cast<int32_t>(i))
                                    : tables.CharacterReading(entry.text[i]);
        ok = r.syllable != words::kNoSyllable;
        pool_.push_back(r);
      }
      if (!ok) {
        pool_.resize(start);
        continue;
      }
      spans.push_back({w, start});
      if (entry.text.size() == 1) listed[entry.text[0] - words::kFirstHan] = true;
      // A character listed with a reading of its own (子 zi3) still reads as
      // the dictionary has it inside other text.
      if (entry.text.size() == 1 && entry.reading >= 0) {
        const StoredReading own = tables.CharacterReading(entry.text[0]);
        if (own.syllable != words::kNoSyllable &&
            (own.syllable != pool_[start].syllable || own.tone != pool_[start].tone)) {
          spans.push_back({w, pool_.size()});
          pool_.push_back(own);
        }
      }
    }
    for (size_t w = 0; w < spans.size(); ++w) {
      const words::WordEntry& entry = tables.Words()[spans[w].first];
      const Candidate c{entry.text, &pool_[spans[w].second], entry.logCount - total};
      if (entry.text.size() == 1)
        singles_[c.readings[0].syllable].push_back(c);
      else
        longer_[Key(c.readings[0].syllable, c.readings[1].syllable)].push_back(c);
    }
    // Characters the frequencies never counted, once each.
    unlisted_.reserve(listed.size());
    for (char16_t han = words::kFirstHan; han <= words::kLastHan; ++han) {
      const StoredReading r = tables.CharacterReading(han);
      if (listed[han - words::kFirstHan] || r.syllable == words::kNoSyllable) continue;
      unlisted_.push_back(han);
      pool_.push_back(r);
    }
    const StoredReading* readings = pool_.data() + pool_.size() - unlisted_.size();
    for (size_t i = 0; i < unlisted_.size(); ++i)
      singles_[readings[i].syllable].push_back(
          {std::u16string_view(&unlisted_[i], 1), &readings[i], -total});
    for (auto& list : singles_)
      std::stable_sort(list.begin(), list.end(),
                       [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  }

  std::vector<StoredReading> pool_;
  std::u16string unlisted_;
  std::vector<std::vector<Candidate>> singles_;
  std::unordered_map<uint32_t, std::vector<Candidate>> longer_;
};

// A character the common braille abbreviates, read as it is abbreviated:
// written in full, the cells are another character, unless a final follows
// in the same word.
bool IsShort(char16_t han, StoredReading r) {
  struct Abbreviated {
    char16_t han;
    StoredReading reading;
  };
  static const std::vector<Abbreviated> shorts = [] {
    std::vector<Abbreviated> list;
    for (const cbs::Short& s : cbs::Shorts())
      list.push_back(
          {s.han, {Tables::Get().SyllableNumber(s.letters), static_cast<uint8_t>(s.tone)}});
    return list;
  }();
  for (const Abbreviated& s : shorts)
    if (s.han == han && s.reading.syllable == r.syllable && s.reading.tone == r.tone) return true;
  return false;
}

// What one syllable token allows of a character's reading.
struct Slot {
  const Token* token;
  bool blankBefore;  // a blank or line break stands before it
  bool shortsOut;    // common braille, written in full and no final after it
  bool Fits(StoredReading r, char16_t han) const {
    if (r.syllable != token->syllable) {
      bool same = false;
      for (uint16_t s : SameCells(token->syllable)) same = same || s == r.syllable;
      if (!same) return false;
    }
    if (token->tone >= 0) {
      const bool exact = token->toneMarked || token->han != 0;
      // Left out, the tone is the syllable's own or the neutral one.
      if (r.tone != token->tone && (exact || r.tone != 0)) return false;
    }
    return token->han != 0 ? han == token->han : !(shortsOut && IsShort(han, r));
  }
};

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) {
    char buffer[4];
    const char* end = platform::EncodeUtf8(unit, buffer);
    out.append(buffer, static_cast<size_t>(end - buffer));
  }
  return out;
}

class Stretch {
 public:
  Stretch(const std::vector<Slot>& slots, bool hints) : slots_(slots), hints_(hints) {}

  // The best characters for the slots, UTF-8: a beam over the positions,
  // each state known by its last character (what the character model needs).
  std::string Best() {
    const size_t n = slots_.size();
    states_.assign(n + 1, {});
    states_[0].push_back({0, 0, 0, 0, {}});
    for (size_t i = 0; i < n; ++i) {
      if (states_[i].empty()) continue;
      Prune(&states_[i]);
      Extend(i, [&](size_t end, std::u16string_view text, double word, double penalty) {
        double inside = 0;
        for (size_t k = 1; k < text.size(); ++k) inside += model_.Cost(text[k - 1], text[k]);
        const char16_t last = text.empty() ? 0 : text.back();
        for (uint32_t from = 0; from < states_[i].size(); ++from) {
          const State& state = states_[i][from];
          const double chars = text.empty() ? 0 : inside + model_.Cost(state.last, text[0]);
          Offer(end, {last, state.score + kWordWeight * word - kCharWeight * chars + penalty, from,
                      i, text});
        }
      });
    }
    std::vector<const State*> path;
    const State* at = nullptr;
    for (const State& state : states_[n])
      if (!at || state.score > at->score) at = &state;
    for (size_t end = n; end > 0 && at;) {
      path.push_back(at);
      const size_t from = at->position;
      at = &states_[from][at->from];
      end = from;
    }
    std::string out;
    for (auto piece = path.rbegin(); piece != path.rend(); ++piece)
      out += Piece((*piece)->position, (*piece)->text);
    return out;
  }

  // Up to `count` choices for the slots from `begin` to `end` alone: the
  // words that fit it whole, then the best sentence over it if no word does.
  std::vector<std::string> Choices(size_t begin, size_t end, size_t count) {
    std::vector<std::pair<double, std::string>> found;
    Extend(begin, [&](size_t stop, std::u16string_view text, double word, double penalty) {
      double chars = 0;
      for (size_t k = 0; k < text.size(); ++k)
        chars += model_.Cost(k == 0 ? 0 : text[k - 1], text[k]);
      if (stop == end)
        found.push_back({kWordWeight * word - kCharWeight * chars + penalty, Piece(begin, text)});
    });
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> out;
    for (const auto& [score, text] : found) {
      if (out.size() == count) break;
      if (std::find(out.begin(), out.end(), text) == out.end()) out.push_back(text);
    }
    if (out.empty()) {
      std::vector<Slot> part(slots_.begin() + static_cast<std::ptrdiff_t>(begin),
                             slots_.begin() + static_cast<std::ptrdiff_t>(end));
      out.push_back(Stretch(part, false).Best());
    }
    return out;
  }

 private:
  // Calls `take(end, text, word, penalty)` for every word that fits from
  // slot `i`: the word's log probability, and what the hints add.
  template <typename Take>
  void Extend(size_t i, Take take) {
    const Slot& slot = slots_[i];
    const double split = hints_ && i > 0 && !slot.blankBefore ? kSplitsBrailleWord : 0;
    bool any = false;
    for (uint16_t s : SameCells(slot.token->syllable)) {
      // The most frequent characters that fit are enough: rarer ones never
      // win against them without a word around them.
      size_t singles = 0;
      const size_t most = slot.token->tone < 0 ? kSinglesUntoned : kSingles;
      for (const Candidate& c : Index::Get().Singles(s)) {
        if (singles == most) break;
        if (!slot.Fits(c.readings[0], c.text[0])) continue;
        any = true;
        ++singles;
        take(i + 1, c.text, c.score, split);
      }
      if (i + 1 >= slots_.size()) continue;
      for (uint16_t s2 : SameCells(slots_[i + 1].token->syllable)) {
        const std::vector<Candidate>* longer = Index::Get().Longer(s, s2);
        if (!longer) continue;
        for (const Candidate& c : *longer) {
          const size_t end = i + c.text.size();
          if (end > slots_.size()) continue;
          double crossed = 0;
          bool fits = true;
          for (size_t k = 0; k < c.text.size() && fits; ++k) {
            fits = slots_[i + k].Fits(c.readings[k], c.text[k]);
            if (k > 0 && hints_ && slots_[i + k].blankBefore) crossed += kCrossesBlank;
          }
          if (fits) any = true, take(end, c.text, c.score, split + crossed);
        }
      }
    }
    if (!any) take(i + 1, std::u16string_view(), 0, kUnknownSyllable);
  }

  // An empty piece is a syllable no character fits (the one at slot `at`):
  // its pinyin.
  std::string Piece(size_t at, std::u16string_view text) const {
    if (!text.empty()) return Utf8(text);
    BackText one;
    one.tokens.push_back(*slots_[at].token);
    return Pinyin(one, words::ToneStyle::kMarks);
  }

  struct State {
    char16_t last;  // 0 before the first character
    double score;
    uint32_t from;             // the state it came from, at `position`
    size_t position;           // where the piece began
    std::u16string_view text;  // the piece; empty for a syllable written as pinyin
  };

  void Offer(size_t end, const State& state) { states_[end].push_back(state); }

  // The best states of a place, one for each last character, at most kBeam.
  static void Prune(std::vector<State>* states) {
    std::sort(states->begin(), states->end(),
              [](const State& a, const State& b) { return a.score > b.score; });
    size_t kept = 0;
    for (size_t i = 0; i < states->size() && kept < kBeam; ++i) {
      bool seen = false;
      for (size_t k = 0; k < kept && !seen; ++k) seen = (*states)[k].last == (*states)[i].last;
      if (!seen) (*states)[kept++] = (*states)[i];
    }
    states->resize(kept);
  }

  const std::vector<Slot>& slots_;
  bool hints_;
  const CharModel& model_ = CharModel::Get();
  std::vector<std::vector<State>> states_;
};

bool StartsWithFinal(uint16_t syllable) {
  const char first = Tables::Get().Codes(syllable).letters[0];
  return first == 'a' || first == 'e' || first == 'o' || first == 'y' || first == 'w';
}

bool UseHints(const BackText& text, DecodeOptions::Hints hints) {
  if (hints != DecodeOptions::Hints::kAuto) return hints == DecodeOptions::Hints::kOn;
  size_t run = 0;
  for (const Token& token : text.tokens) {
    run = token.kind == Token::Kind::kSyllable ? run + 1 : 0;
    if (run >= 2) return true;
  }
  return false;
}

}  // namespace

Decoded Characters(const BackText& text, const DecodeOptions& options) {
  Decoded out;
  const bool hints = UseHints(text, options.hints);
  std::vector<Slot> slots;
  std::vector<size_t> wordStarts;  // slots where a braille word begins
  const auto flush = [&] {
    if (slots.empty()) return;
    Stretch stretch(slots, hints);
    out.text += stretch.Best();
    if (options.candidates > 0) {
      wordStarts.push_back(slots.size());
      for (size_t w = 0; w + 1 < wordStarts.size(); ++w)
        out.choices.push_back(
            {slots[wordStarts[w]].token->offset,
             stretch.Choices(wordStarts[w], wordStarts[w + 1], options.candidates)});
    }
    slots.clear();
    wordStarts.clear();
  };
  bool blank = true;
  bool textLast = false;  // a Latin word was written last
  for (const Token& token : text.tokens) {
    switch (token.kind) {
      case Token::Kind::kSyllable:
        // Memory stays bounded: a long stretch ends at a braille word's end,
        // or anywhere once it is twice as long.
        if ((blank && slots.size() >= kLongestStretch) || slots.size() >= 2 * kLongestStretch)
          flush();
        if (blank || slots.empty()) wordStarts.push_back(slots.size());
        slots.push_back({&token, blank, text.notation == Notation::kCommonBraille});
        // Before a final in the same word an abbreviation is written in full.
        if (!blank && slots.size() >= 2 && StartsWithFinal(token.syllable))
          slots[slots.size() - 2].shortsOut = false;
        blank = textLast = false;
        continue;
      case Token::Kind::kBlank:
        blank = true;
        // Print has no blanks between Chinese words; after a Latin word one
        // stays.
        if (textLast) out.text += ' ';
        textLast = false;
        continue;
      case Token::Kind::kLineBreak:
        blank = true;
        // Braille written a character at a time breaks lines between
        // characters: those breaks are separators, not the text's.
        if (!hints) continue;
        flush();
        out.text += '\n';
        textLast = false;
        continue;
      case Token::Kind::kSign:
      case Token::Kind::kText:
        flush();
        out.text += token.text;
        break;
      case Token::Kind::kUnread:
        flush();
        out.text += "□";
        break;
    }
    blank = true;
    // A blank after a number is braille's own (a digit shape follows).
    textLast = token.kind == Token::Kind::kText &&
               token.text.find_first_not_of("0123456789.,") != std::string::npos;
  }
  flush();
  return out;
}

}  // namespace molvane::back
