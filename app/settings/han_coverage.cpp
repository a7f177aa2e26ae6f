// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/han_coverage.h"

#include <algorithm>

#include "app/settings/code_points.h"

namespace molvane::settings {

HanCoverage::HanCoverage() : states_(kLastHan - kFirstHan + 1, State::kUnknown) {}

bool HanCoverage::Writes(char32_t code) const {
  return IsHan(code) && states_[code - kFirstHan] == State::kWritten;
}

bool HanCoverage::Learn(const Conversion& convert, std::u16string_view units) {
  std::vector<char16_t> unknown;
  for (char16_t unit : units)
    if (unit >= kFirstHan && unit <= kLastHan && states_[unit - kFirstHan] == State::kUnknown) {
      states_[unit - kFirstHan] = State::kListed;
      unknown.push_back(unit);
    }
  std::vector<std::vector<char16_t>> sets;
  if (!unknown.empty()) sets.push_back(std::move(unknown));
  while (!sets.empty()) {
    std::vector<char16_t> set = std::move(sets.back());
    sets.pop_back();
    std::string gbk;
    for (char16_t unit : set) AppendGbk(unit, &gbk);
    const std::string codes = convert(gbk);
    const auto count = static_cast<size_t>(std::count(codes.begin(), codes.end(), '\n'));
    if (count > set.size()) {
      std::replace(states_.begin(), states_.end(), State::kListed, State::kUnknown);
      return false;
    }
    if (count == set.size() || count == 0) {
      for (char16_t unit : set)
        states_[unit - kFirstHan] = count == 0 ? State::kSkipped : State::kWritten;
      continue;
    }
    const auto middle = set.begin() + static_cast<std::ptrdiff_t>(set.size() / 2);
    sets.emplace_back(set.begin(), middle);
    sets.emplace_back(middle, set.end());
  }
  return true;
}

}  // namespace molvane::settings
