// SPDX-License-Identifier: GPL-3.0-or-later
// The window template compiler. The description names every field the
// loader reads; this file only lays them out (little-endian words, counted
// and zero-terminated GBK texts) and computes the counts and offsets that a
// person should never have to type.
#include "tools/template_compiler/window_template.h"

#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/platform.h"

namespace molvane::tools {

namespace {

const std::map<std::string, uint32_t> kUnitTypes = {
    {"window", 0x10001},   {"EditBox", 0x10005},  {"GroupBox", 0x10009}, {"Button", 0x1000B},
    {"ComboBox", 0x1000E}, {"RichEdit", 0x20006}, {"MenuItem", 0x10003},
};
const std::map<std::string, uint32_t> kUnitFlags = {
    {"visible", 1}, {"disabled", 2}, {"tabstop", 4}};

struct Unit {
  uint32_t id = 0, type = 0, link = 0, container = 0, flags = 0, tabOrder = 0;
  std::string name, tag;
  int32_t place[4] = {0, 0, 0, 0};
  std::vector<uint32_t> children;
  std::string cursor = std::string("\0\0\0\0", 4);
  std::vector<std::pair<int32_t, std::string>> bindings;
  std::string data;
};

struct Window {
  uint32_t id = 0, reserved[2] = {0, 0};
  std::string texts[2];
  std::vector<Unit> units;
};

void PutWord(std::string& out, uint32_t word) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((word >> shift) & 0xFF);
}
void PutCounted(std::string& out, const std::string& bytes) {
  PutWord(out, static_cast<uint32_t>(bytes.size()));
  out += bytes;
}

// Splits a line into words; a quoted text is one word (without its quotes,
// marked by a leading '"'); '#' outside quotes starts a comment.
bool SplitLine(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  for (size_t i = 0; i < line.size();) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      size_t end = line.find('"', i + 1);
      if (end == std::string::npos) return false;
      words.push_back(line.substr(i, end - i));
      i = end + 1;
    } else {
      size_t end = line.find_first_of(" \t\r#", i);
      if (end == std::string::npos) end = line.size();
      words.push_back(line.substr(i, end - i));
      i = end;
    }
  }
  return true;
}

class Compiler {
 public:
  Compiler(uint32_t slotBytes, std::string& error) : slotBytes_(slotBytes), error_(error) {}

  bool Run(const std::string& description, CompiledTemplates& out);

 private:
  bool Fail(const std::string& what) {
    error_ = "line " + std::to_string(line_) + ": " + what;
    return false;
  }
  bool Number(const std::string& word, uint32_t& value);
  bool Text(const std::string& word, std::string& gbk);
  bool WindowLine(const std::vector<std::string>& w);
  bool UnitLine(const std::vector<std::string>& w);
  bool DataLine(const std::vector<std::string>& w);
  uint32_t HandlerOffset(const std::string& routine);
  std::string UnitRecord(const Unit& unit);
  std::string WindowRecord(const Window& window);

  uint32_t slotBytes_;
  std::string& error_;
  int line_ = 0;
  bool inData_ = false;
  std::vector<Window> windows_;
  std::vector<std::string> routines_;
};

bool Compiler::Number(const std::string& word, uint32_t& value) {
  char* end = nullptr;
  long long n = std::strtoll(word.c_str(), &end, 0);
  if (word.empty() || *end != '\0' || n < INT32_MIN || n > UINT32_MAX)
    return Fail("not a 32-bit number: " + word);
  value = static_cast<uint32_t>(n);
  return true;
}

bool Compiler::Text(const std::string& word, std::string& gbk) {
  std::string utf8 = word.empty() || word[0] != '"' ? word : word.substr(1);
  gbk = platform::Utf8ToGbk(utf8);
  if (platform::GbkToUtf8(gbk) != utf8) return Fail("text not representable in GBK: " + utf8);
  return true;
}

bool Compiler::WindowLine(const std::vector<std::string>& w) {
  Window& window = windows_.back();
  if (w[0] == "reserved" && w.size() == 3)
    return Number(w[1], window.reserved[0]) && Number(w[2], window.reserved[1]);
  if (w[0] == "texts" && w.size() == 3)
    return Text(w[1], window.texts[0]) && Text(w[2], window.texts[1]);
  return Fail("unknown window field: " + w[0]);
}

bool Compiler::UnitLine(const std::vector<std::string>& w) {
  Unit& unit = windows_.back().units.back();
  const std::string& key = w[0];
  if (key == "data" && w.size() == 1) {
    inData_ = true;
    return true;
  }
  if (key == "place" && w.size() == 5) {
    for (int k = 0; k < 4; ++k)
      if (!Number(w[k + 1], reinterpret_cast<uint32_t&>(unit.place[k]))) return false;
    return true;
  }
  if (key == "flags") {
    for (size_t k = 1; k < w.size(); ++k) {
      auto flag = kUnitFlags.find(w[k]);
      if (flag == kUnitFlags.end()) return Fail("unknown flag: " + w[k]);
      unit.flags |= flag->second;
    }
    return true;
  }
  if (key == "on" && w.size() == 3) {
    uint32_t event;
    if (!Number(w[1], event)) return false;
    unit.bindings.emplace_back(static_cast<int32_t>(event), w[2]);
    return true;
  }
  if (key == "children") {
    for (size_t k = 1; k < w.size(); ++k)
      if (!Number(w[k], unit.children.emplace_back())) return false;
    return true;
  }
  if (key == "cursor" && w.size() == 2) {
    uint32_t value = 0;
    if (w[1] != "none" && !Number(w[1], value)) return false;
    unit.cursor.clear();
    if (w[1] != "none") PutWord(unit.cursor, value);
    return true;
  }
  if (key == "tag" && w.size() == 2) return Text(w[1], unit.tag);
  if (w.size() == 2) {
    const std::map<std::string, uint32_t*> words = {
        {"link", &unit.link}, {"container", &unit.container}, {"taborder", &unit.tabOrder}};
    auto field = words.find(key);
    if (field != words.end()) return Number(w[1], *field->second);
  }
  return Fail("unknown unit field: " + key);
}

bool Compiler::DataLine(const std::vector<std::string>& w) {
  std::string& data = windows_.back().units.back().data;
  if (w[0] == "word" && w.size() == 2) {
    uint32_t value;
    if (!Number(w[1], value)) return false;
    PutWord(data, value);
    return true;
  }
  if (w[0] == "text" && w.size() == 2) {
    std::string gbk;
    if (!Text(w[1], gbk)) return false;
    PutCounted(data, gbk);
    return true;
  }
  if (w[0] == "bytes" && w.size() == 1) {
    PutWord(data, 0);
    return true;
  }
  if (w[0] == "items") {
    data += static_cast<char>((w.size() - 1) & 0xFF);
    data += static_cast<char>((w.size() - 1) >> 8);
    for (size_t k = 1; k < w.size(); ++k) {
      std::string gbk;
      if (!Text(w[k], gbk)) return false;
      PutCounted(data, gbk);
    }
    return true;
  }
  return Fail("unknown data field: " + w[0]);
}

uint32_t Compiler::HandlerOffset(const std::string& routine) {
  size_t k = 0;
  while (k < routines_.size() && routines_[k] != routine) ++k;
  if (k == routines_.size()) routines_.push_back(routine);
  return static_cast<uint32_t>(k) * slotBytes_;
}

std::string Compiler::UnitRecord(const Unit& unit) {
  std::string body;
  PutWord(body, unit.type);
  PutWord(body, unit.link);
  body.append(16, '\0');
  body += unit.name + '\0';
  body += '\0';      // second text
  PutWord(body, 0);  // object slot
  for (int32_t v : unit.place) PutWord(body, static_cast<uint32_t>(v));
  PutWord(body, 0);  // cursor slot
  PutWord(body, unit.container);
  PutWord(body, static_cast<uint32_t>(unit.children.size()));
  for (uint32_t child : unit.children) PutWord(body, child);
  PutCounted(body, unit.cursor);
  body += unit.tag + '\0';
  PutWord(body, 0);
  PutWord(body, unit.flags);
  PutWord(body, unit.tabOrder);
  PutWord(body, static_cast<uint32_t>(unit.bindings.size()));
  for (const auto& [event, routine] : unit.bindings) {
    PutWord(body, static_cast<uint32_t>(event));
    PutWord(body, HandlerOffset(routine));
  }
  body.append(20, '\0');
  return body + unit.data;
}

std::string Compiler::WindowRecord(const Window& window) {
  const size_t n = window.units.size();
  std::string ids, offsets, records;
  for (const Unit& unit : window.units) {
    PutWord(ids, unit.id);
    PutWord(offsets, static_cast<uint32_t>(records.size()));
    PutCounted(records, UnitRecord(unit));
  }
  std::string blob = ids + offsets + records;
  std::string out;
  PutWord(out, window.reserved[0]);
  PutWord(out, window.reserved[1]);
  PutCounted(out, window.texts[0]);
  PutCounted(out, window.texts[1]);
  PutWord(out, static_cast<uint32_t>(n));
  PutCounted(out, blob);
  return out;
}

bool Compiler::Run(const std::string& description, CompiledTemplates& out) {
  routines_ = out.routines;
  std::istringstream in(description);
  std::string text;
  std::vector<std::string> w;
  while (std::getline(in, text)) {
    ++line_;
    if (!SplitLine(text, w)) return Fail("unterminated text");
    if (w.empty()) continue;
    if (w[0] == "window" && w.size() == 2) {
      inData_ = false;
      if (!Number(w[1], windows_.emplace_back().id)) return false;
    } else if (windows_.empty()) {
      return Fail("a window must come first");
    } else if (w[0] == "unit" && w.size() == 4) {
      inData_ = false;
      Unit& unit = windows_.back().units.emplace_back();
      auto type = kUnitTypes.find(w[2]);
      if (type == kUnitTypes.end()) return Fail("unknown unit type: " + w[2]);
      unit.type = type->second;
      if (!Number(w[1], unit.id) || !Text(w[3], unit.name)) return false;
    } else if (windows_.back().units.empty()) {
      if (!WindowLine(w)) return false;
    } else if (!(inData_ ? DataLine(w) : UnitLine(w))) {
      return false;
    }
  }
  std::string table, records;
  for (const Window& window : windows_) {
    PutWord(table, window.id);
    records += WindowRecord(window);
  }
  table.append(4 * windows_.size(), '\0');  // placeholders
  out.bytes.clear();
  PutCounted(out.bytes, table);
  out.bytes += records;
  out.routines = routines_;
  return true;
}

}  // namespace

bool CompileWindowTemplates(const std::string& description, uint32_t handlerSlotBytes,
                            CompiledTemplates& out, std::string& error) {
  return Compiler(handlerSlotBytes, error).Run(description, out);
}

}  // namespace molvane::tools
