// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the batch converter's speed: the least any converter of
// Chinese text into codes must do. It reads a UTF-8 text, looks every
// character from U+4E00 to U+9FA5 up in one array (a character's first
// reading in the pinyin dictionary, or its first Wubi code) and writes the
// codes, one a line. bench/compare.py sets molvane-convert's CPU time beside
// this program's.
//
//   molvane_floor pinyin|wubi TABLES_DIR < TEXT > CODES
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr char32_t kFirst = 0x4E00;
constexpr char32_t kLast = 0x9FA5;

// The code point of the UTF-8 sequence at `p` (well-formed input assumed, as
// the corpus is), moving `p` past it.
char32_t Next(const unsigned char*& p) {
  const unsigned char c = *p++;
  if (c < 0x80) return c;
  const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
  char32_t code = c & (0x3F >> extra);
  for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i) code = code << 6 | (*p++ & 0x3F);
  return code;
}

std::string ReadAll(std::FILE* file) {
  std::string text;
  char buffer[1 << 16];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  return text;
}

// pinyin_dictionary.txt: "字code," entries; wubi_table.txt: "code|字" lines.
std::vector<std::string> LoadTable(const std::string& kind, const std::string& folder) {
  std::vector<std::string> codes(kLast - kFirst + 1);
  const bool wubi = kind == "wubi";
  std::ifstream in(folder + (wubi ? "/wubi_table.txt" : "/pinyin_dictionary.txt"));
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char entryEnd = wubi ? '\n' : ',';
  for (size_t at = 0; at < data.size();) {
    size_t end = data.find(entryEnd, at);
    if (end == std::string::npos) end = data.size();
    const std::string entry = data.substr(at, end - at);
    at = end + 1;
    const size_t bar = entry.find('|');
    if (wubi && bar == std::string::npos) continue;
    const std::string hanzi = wubi ? entry.substr(bar + 1) : entry;
    const auto* p = reinterpret_cast<const unsigned char*>(hanzi.c_str());
    if (*p == 0) continue;
    const char32_t code = Next(p);
    if (code < kFirst || code > kLast || !codes[code - kFirst].empty()) continue;
    codes[code - kFirst] =
        wubi ? entry.substr(0, bar) : std::string(reinterpret_cast<const char*>(p));
  }
  return codes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s pinyin|wubi TABLES_DIR < TEXT\n", argv[0]);
    return 2;
  }
  const std::vector<std::string> codes = LoadTable(argv[1], argv[2]);
  const std::string text = ReadAll(stdin);
  std::string out;
  out.reserve(text.size() * 2);
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const char32_t c = Next(p);
    if (c < kFirst || c > kLast) continue;
    const std::string& code = codes[c - kFirst];
    if (code.empty()) continue;
    out += code;
    out += '\n';
  }
  return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0 : 1;
}
