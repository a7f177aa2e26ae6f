// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the program's constant area from manifests.
//
//   embed_constants OUTPUT_DIR MANIFEST...
//
// A manifest line is `name = "text"` (escapes \r \n \t \\ \" \0 are read) or
// `name = @path` (a UTF-8 file, relative to the manifest's folder, taken
// byte-exact) or `name = template @path` (a window template description,
// compiled into the stored template format). Blank lines and lines starting
// with '#' are skipped. Every text is converted to GBK and stored
// zero-terminated as one field of a single struct, so the whole area is one
// contiguous block whose bounds the runtime can test. A template field also
// gets its byte length (`kNameLength`), and the handler routines that the
// templates bind are listed, in the order of their table slots, by the
// X-macro MOLVANE_TEMPLATE_ROUTINES.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/template_compiler/window_template.h"

namespace {

struct Entry {
  std::string name;
  std::string gbk;
  bool isTemplate = false;
};

// Handler routines of all templates, in slot order.
std::vector<std::string> g_routines;  // one run of the tool, one table

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "embed_constants: " << message << "\n";
  std::exit(1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Unescape(const std::string& quoted, const std::string& where) {
  std::string out;
  for (size_t i = 0; i < quoted.size(); ++i) {
    char c = quoted[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= quoted.size()) Fail(where + ": dangling backslash");
    switch (quoted[i]) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      default:
        Fail(where + ": unknown escape");
    }
  }
  return out;
}

std::string ToGbk(const std::string& utf8, const std::string& where) {
  std::string gbk = platform::Utf8ToGbk(utf8);
  if (platform::GbkToUtf8(gbk) != utf8) Fail(where + ": text is not representable in GBK");
  if (gbk.find('\0') != std::string::npos) Fail(where + ": text holds a zero byte");
  return gbk;
}

void CompileTemplate(const std::string& path, const std::string& where, Entry& e) {
  molvane::tools::CompiledTemplates compiled;
  compiled.routines = g_routines;
  std::string error;
  if (!molvane::tools::CompileWindowTemplates(ReadFile(path), sizeof(void*), compiled, error))
    Fail(path + ": " + error);
  e.gbk = compiled.bytes;
  e.isTemplate = true;
  g_routines = compiled.routines;
}

void ReadManifest(const std::string& path, std::vector<Entry>& entries) {
  std::string folder = path.substr(0, path.find_last_of('/') + 1);
  std::istringstream in(ReadFile(path));
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string where = path + ":" + std::to_string(number);
    size_t eq = line.find(" = ");
    if (eq == std::string::npos) Fail(where + ": expected `name = value`");
    Entry e{line.substr(0, eq), {}};
    std::string value = line.substr(eq + 3);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      e.gbk = ToGbk(Unescape(value.substr(1, value.size() - 2), where), where);
    } else if (value.rfind("template @", 0) == 0) {
      CompileTemplate(folder + value.substr(10), where, e);
    } else if (!value.empty() && value[0] == '@') {
      e.gbk = ToGbk(ReadFile(folder + value.substr(1)), where);
    } else {
      Fail(where + ": value must be a quoted text or @file");
    }
    for (const Entry& other : entries)
      if (other.name == e.name) Fail(where + ": duplicate name " + e.name);
    entries.push_back(std::move(e));
  }
}

std::string Literal(const std::string& bytes) {
  std::string out = "\"";
  size_t column = 0;
  for (unsigned char c : bytes) {
    if (column >= 96) {
      out += "\"\n    \"";
      column = 0;
    }
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      out += static_cast<char>(c);
      column += 1;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
      column += 4;
    }
  }
  return out + "\"";
}

void WriteIfChanged(const std::string& path, const std::string& text) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream s;
      s << in.rdbuf();
      if (s.str() == text) return;
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) Fail("usage: embed_constants OUTPUT_DIR MANIFEST...");
  std::vector<Entry> entries;
  for (int i = 2; i < argc; ++i) ReadManifest(argv[i], entries);

  std::string dir = argv[1];
  std::string mkdir = "mkdir -p '" + dir + "'";
  if (std::system(mkdir.c_str()) != 0) Fail("cannot create " + dir);

  std::ostringstream h;
  h << "// Generated by embed_constants from the constant manifests. Do not edit.\n"
       "#pragma once\n\n#include <cstddef>\n\nnamespace molvane::constants {\n\n"
       "// Every constant of program code, in GBK, zero-terminated, one after another.\n"
       "struct ConstantArea {\n";
  for (const Entry& e : entries) h << "  char " << e.name << "[" << e.gbk.size() + 1 << "];\n";
  h << "};\n\n";
  for (const Entry& e : entries)
    if (e.isTemplate)
      h << "constexpr unsigned k" << static_cast<char>(std::toupper(e.name[0])) << e.name.substr(1)
        << "Length = " << e.gbk.size() << ";\n";
  h << "\n#define MOLVANE_TEMPLATE_ROUTINES(X)";
  for (const std::string& routine : g_routines) h << " X(" << routine << ")";
  h << "\n\nextern const ConstantArea kArea;\n"
       "inline const void* AreaStart() { return &kArea; }\n"
       "constexpr size_t kAreaLength = sizeof(ConstantArea);\n\n}  // namespace "
       "molvane::constants\n";

  std::ostringstream c;
  c << "// Generated by embed_constants from the constant manifests. Do not edit.\n"
       "#include \"constants/constant_area.h\"\n\nnamespace molvane::constants {\n\n"
       "const ConstantArea kArea = {\n";
  for (const Entry& e : entries) c << "    // " << e.name << "\n    " << Literal(e.gbk) << ",\n";
  c << "};\n\n}  // namespace molvane::constants\n";

  WriteIfChanged(dir + "/constant_area.h", h.str());
  WriteIfChanged(dir + "/constant_area.cpp", c.str());
  return 0;
}
