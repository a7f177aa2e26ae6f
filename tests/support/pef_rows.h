// SPDX-License-Identifier: GPL-3.0-or-later
// A PEF document read back as the tests compare it with the Unicode form.
#pragma once

#include <string>

namespace molvane::test {

// The rows of a PEF in order, one line each, a form feed between pages.
inline std::string PefRows(const std::string& pef) {
  std::string out;
  bool firstPage = true;
  for (size_t at = 0; (at = pef.find('<', at)) != std::string::npos; ++at) {
    if (pef.compare(at, 6, "<page>") == 0) {
      if (!firstPage) out += '\f';
      firstPage = false;
    } else if (pef.compare(at, 5, "<row>") == 0) {
      const size_t end = pef.find("</row>", at);
      out += pef.substr(at + 5, end - at - 5) + "\n";
    }
  }
  return out;
}

}  // namespace molvane::test
