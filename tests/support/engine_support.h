// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the engine tests: the program is started once per test process,
// and texts go in and out as UTF-8.
#pragma once

#include <string>

#include "engine/conversion.h"

namespace molvane::test {

std::string Gbk(const std::string& utf8);
std::string Utf8(const std::string& gbk);

// Runs a converter on UTF-8 input and separator; "<null>" when it returned null.
std::string Convert(Converter converter, const std::string& input, const std::string& separator);

}  // namespace molvane::test
