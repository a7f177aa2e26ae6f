// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the full-text sign table from its readable source.
//
//   embed_signs SIGNS_TXT OUTPUT_CPP
//
// Each line of the source is print, cells, double-spell cells ("=" for the
// same), pinyin, kind, where and source, separated by tabs; blank lines and
// comments (a '#' not followed by a tab) are skipped.
// The output defines molvane::fulltext::kSignRows (declared in
// fulltext/signs.h), ordered by first character and, for one first
// character, longer print forms first and rows of a place before the row
// for anywhere. Every field is checked, so a wrong line fails the build
// instead of becoming a wrong cell.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "embed_signs: " << message << "\n";
  std::exit(1);
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (true) {
    const size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
    if (tab == std::string::npos) return fields;
    at = tab + 1;
  }
}

// The code points of well-formed UTF-8 text.
std::u32string DecodeUtf8(const std::string& text, const std::string& where) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + static_cast<size_t>(length) > text.size()) Fail(where + ": not UTF-8");
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k)
      code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    out += code;
    i += static_cast<size_t>(length);
  }
  return out;
}

// Dot numbers: cells of ascending digits 1 to 6 joined by "-".
bool IsDots(const std::string& dots) {
  char previous = '0';
  if (dots.empty() || dots.front() == '-' || dots.back() == '-') return false;
  for (char c : dots) {
    if (c == '-') {
      if (previous == '0') return false;
      previous = '0';
    } else if (c > previous && c <= '6') {
      previous = c;
    } else {
      return false;
    }
  }
  return true;
}

std::string Kind(const std::string& name, const std::string& where) {
  static const struct {
    const char* name;
    const char* constant;
  } kKinds[] = {{"pause", "kPause"},
                {"open", "kOpen"},
                {"close", "kClose"},
                {"quote", "kQuote"},
                {"join", "kJoin"}};
  for (const auto& k : kKinds)
    if (name == k.name) return std::string("SignKind::") + k.constant;
  Fail(where + ": unknown kind '" + name + "'");
}

std::string Where(const std::string& name, const std::string& where) {
  static const struct {
    const char* name;
    const char* constant;
  } kPlaces[] = {{"any", "kAny"},         {"digits", "kDigits"}, {"word", "kWord"},
                 {"outside", "kOutside"}, {"number", "kNumber"}, {"between", "kBetween"}};
  for (const auto& p : kPlaces)
    if (name == p.name) return std::string("SignWhere::") + p.constant;
  Fail(where + ": unknown place '" + name + "'");
}

// A C++ literal of bytes, written in octal so no following character can
// extend an escape.
std::string ByteLiteral(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  return out + "\"";
}

std::string CodeLiteral(const std::u32string& codes) {
  std::string out = "U\"";
  for (char32_t c : codes) {
    char escape[16];
    std::snprintf(escape, sizeof escape, "\\U%08X", static_cast<unsigned>(c));
    out += escape;
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: embed_signs SIGNS_TXT OUTPUT_CPP");
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) Fail(std::string("cannot read ") + argv[1]);
  // Rows by first character, longer prints first, so a lookup can search.
  struct Row {
    std::u32string print;
    std::string place;
    std::string literal;
  };
  std::vector<Row> rows;
  std::string line;
  int number = 0, count = 0;
  while (std::getline(in, line)) {
    ++number;
    // A comment starts with '#'; a row for the sign # starts with '#' and a tab.
    if (line.empty() || (line[0] == '#' && line.rfind("#\t", 0) != 0)) continue;
    const std::string where = std::string(argv[1]) + ":" + std::to_string(number);
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() != 7) Fail(where + ": expected 7 tab-separated fields");
    const std::u32string print = DecodeUtf8(f[0], where);
    if (print.empty()) Fail(where + ": empty print form");
    if (!IsDots(f[1])) Fail(where + ": cells are not dot numbers");
    const std::string doubleCells = f[2] == "=" ? f[1] : f[2];
    if (!IsDots(doubleCells)) Fail(where + ": double-spell cells are not dot numbers");
    DecodeUtf8(f[3], where);
    for (const auto& row : rows)
      if (row.print == print && row.place == f[5])
        Fail(where + ": a second row for the same print form and place");
    rows.push_back({print, f[5],
                    "    {" + CodeLiteral(print) + ", " + ByteLiteral(f[1]) + ", " +
                        ByteLiteral(doubleCells) + ", " + ByteLiteral(f[3]) + ", " +
                        Kind(f[4], where) + ", " + Where(f[5], where) + "},\n"});
    ++count;
  }
  if (count == 0) Fail("no rows");
  // Among rows of one first character: longer prints first, then rows of a
  // place before the row for anywhere.
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    if (a.print[0] != b.print[0]) return a.print[0] < b.print[0];
    if (a.print.size() != b.print.size()) return a.print.size() > b.print.size();
    return a.place != "any" && b.place == "any";
  });
  std::string table;
  for (const auto& row : rows) table += row.literal;
  std::ostringstream out;
  out << "// Generated by tools/compilers/embed_signs from fulltext/tables/signs.txt; do not "
         "edit.\n"
      << "#include \"fulltext/signs.h\"\n\nnamespace molvane::fulltext {\n\n"
      << "const SignRow kSignRows[" << count << "] = {\n"
      << table << "};\nconst size_t kSignRowCount = " << count
      << ";\n\n}  // namespace molvane::fulltext\n";
  std::ofstream file(argv[2], std::ios::binary);
  file << out.str();
  if (!file) Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
