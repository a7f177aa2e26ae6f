// SPDX-License-Identifier: GPL-3.0-or-later
#include "back/char_model.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "platform/platform.h"
#include "words/tables.h"

namespace molvane::back {

extern const char kCharBigrams[];  // generated from back/tables/char_bigrams.txt

namespace {

// A pair's own probability against the single character's, mixed: a pair the
// model never saw still costs only what the character costs alone, plus this.
constexpr double kPairShare = 0.9;
constexpr double kUnseenCost = 18.0;  // a character the model lacks

size_t Index(char16_t han) {
  return static_cast<size_t>(han - words::kFirstHan);
}

}  // namespace

const CharModel& CharModel::Get() {
  static const CharModel model;
  return model;
}

CharModel::CharModel() : single_(words::kLastHan - words::kFirstHan + 1, kUnseenCost) {
  std::vector<std::pair<uint32_t, uint8_t>> pairs;  // first << 16 | second, cost
  std::string_view text(kCharBigrams);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    char16_t units[2];
    size_t at = 0;
    int count = 0;
    while (count < 2 && at < line.size() && line[at] != ' ') {
      char32_t code;
      const int length = platform::DecodeUtf8Character(line.data() + at, line.size() - at, &code);
      if (length <= 0 || code < words::kFirstHan || code > words::kLastHan) break;
      units[count++] = static_cast<char16_t>(code);
      at += static_cast<size_t>(length);
    }
    if (count == 0 || at >= line.size() || line[at] != ' ') continue;
    int cost = 0;
    for (char digit : line.substr(at + 1)) cost = cost * 10 + (digit - '0');
    if (count == 1)
      single_[Index(units[0])] = static_cast<float>(cost / 10.0 - std::log(1 - kPairShare));
    else
      pairs.push_back({static_cast<uint32_t>(units[0]) << 16 | units[1],
                       static_cast<uint8_t>(std::min(cost, 255))});
  }
  std::sort(pairs.begin(), pairs.end());
  firstPairs_.assign(single_.size() + 1, 0);
  for (const auto& [key, cost] : pairs) ++firstPairs_[Index(static_cast<char16_t>(key >> 16)) + 1];
  for (size_t i = 1; i < firstPairs_.size(); ++i) firstPairs_[i] += firstPairs_[i - 1];
  // -ln(share P(second | first) + (1 - share) P(second)), the second part
  // already in the single cost.
  for (const auto& [key, cost] : pairs) {
    const char16_t second = static_cast<char16_t>(key & 0xFFFF);
    pairSeconds_.push_back(second);
    pairCosts_.push_back(static_cast<float>(
        -std::log(kPairShare * std::exp(-cost / 10.0) + std::exp(-single_[Index(second)]))));
  }
}

double CharModel::Cost(char16_t previous, char16_t next) const {
  const double alone = single_[Index(next)];
  if (previous == 0) return alone;
  const auto begin = pairSeconds_.begin() + firstPairs_[Index(previous)];
  const auto end = pairSeconds_.begin() + firstPairs_[Index(previous) + 1];
  const auto found = std::lower_bound(begin, end, next);
  if (found == end || *found != next) return alone;
  return pairCosts_[static_cast<size_t>(found - pairSeconds_.begin())];
}

}  // namespace molvane::back
