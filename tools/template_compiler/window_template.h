// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles a window template description (UTF-8 text, one field a line; see
// ui/main_window.tmpl) into the stored template format: the window table,
// then one window record per window with its unit list. Build-time tools and
// tests use it; the program itself only ever sees the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace molvane::tools {

struct CompiledTemplates {
  std::string bytes;  // the template data, GBK texts, little-endian words
  // Handler routines in the order of their table slots: a binding to the
  // k-th name stores the byte offset k * handlerSlotBytes. Routines listed
  // on entry keep their slots (several template files share one table);
  // new ones are appended.
  std::vector<std::string> routines;
};

// Compiles `description`; on a fault returns false with `error` naming the
// line. `handlerSlotBytes` is the size of one slot of the handler table.
bool CompileWindowTemplates(const std::string& description, uint32_t handlerSlotBytes,
                            CompiledTemplates& out, std::string& error);

}  // namespace molvane::tools
