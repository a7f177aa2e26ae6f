// SPDX-License-Identifier: GPL-3.0-or-later
// Enough RTF for a rich edit box that holds plain GBK text: written with
// the box's default font, read back by keeping the text and paragraph
// marks and skipping every destination it does not know.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "platform/core.h"

namespace platform::core {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  if (byte == '\\' || byte == '{' || byte == '}') {
    out += '\\';
    out += static_cast<char>(byte);
  } else if (byte >= 0x80 || byte < 0x20) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\'%02x", byte);
    out += hex;
  } else {
    out += static_cast<char>(byte);
  }
}

bool IsSkippedDestination(const std::string& word) {
  static const std::set<std::string> kSkipped = {"fonttbl",
                                                 "colortbl",
                                                 "stylesheet",
                                                 "info",
                                                 "pict",
                                                 "object",
                                                 "header",
                                                 "footer",
                                                 "themedata",
                                                 "listtable",
                                                 "rsidtbl",
                                                 "generator",
                                                 "xmlnstbl",
                                                 "datastore",
                                                 "latentstyles",
                                                 "listoverridetable",
                                                 "colorschememapping"};
  return kSkipped.count(word) != 0;
}

struct Reader {
  struct Group {
    bool skip = false;
    int unicodeSkip = 1;
  };
  explicit Reader(const std::string& source) : rtf(source) {}
  const std::string& rtf;
  size_t at = 0;
  std::vector<Group> groups{Group{}};
  int pendingSkip = 0;  // fallback characters after a \u still to drop
  std::string out;

  void Emit(const std::string& bytes, bool countsAsFallback = true) {
    if (groups.back().skip) return;
    if (countsAsFallback && pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    out += bytes;
  }

  int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  }

  void ControlWord() {
    size_t start = at;
    while (at < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[at]))) ++at;
    std::string word = rtf.substr(start, at - start);
    bool negative = at < rtf.size() && rtf[at] == '-';
    if (negative) ++at;
    long param = 0;
    // RTF parameters are 16-bit; longer digit runs are read but saturate, so
    // hostile input cannot overflow.
    while (at < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[at])))
      param = std::min(param * 10 + (rtf[at++] - '0'), 1L << 20);
    if (negative) param = -param;
    if (at < rtf.size() && rtf[at] == ' ') ++at;
    if (IsSkippedDestination(word)) {
      groups.back().skip = true;
    } else if (word == "par" || word == "line") {
      Emit("\r\n", false);
    } else if (word == "tab") {
      Emit("\t", false);
    } else if (word == "uc") {
      groups.back().unicodeSkip = static_cast<int>(param);
    } else if (word == "u") {
      char16_t unit = static_cast<char16_t>(param < 0 ? param + 65536 : param);
      Emit(ToGbk(std::u16string(1, unit)), false);
      pendingSkip = groups.back().unicodeSkip;
    }
  }

  void Escape() {
    char c = rtf[at];
    if (c == '\\' || c == '{' || c == '}') {
      Emit(std::string(1, c));
      ++at;
    } else if (c == '\'' && at + 2 < rtf.size() && Hex(rtf[at + 1]) >= 0 && Hex(rtf[at + 2]) >= 0) {
      Emit(std::string(1, static_cast<char>(Hex(rtf[at + 1]) * 16 + Hex(rtf[at + 2]))));
      at += 3;
    } else if (c == '*') {
      groups.back().skip = true;
      ++at;
    } else if (c == '\r' || c == '\n') {
      Emit("\r\n", false);
      ++at;
    } else if (c == '~') {
      Emit(" ");
      ++at;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      ControlWord();
    } else {
      ++at;  // other control symbols carry no text
    }
  }

  std::string Read() {
    while (at < rtf.size()) {
      char c = rtf[at];
      if (c == '{') {
        groups.push_back(groups.back());
        ++at;
      } else if (c == '}') {
        if (groups.size() > 1) groups.pop_back();
        ++at;
      } else if (c == '\\') {
        ++at;
        if (at < rtf.size()) Escape();
      } else if (c == '\r' || c == '\n') {
        ++at;  // line breaks in RTF source are not text
      } else {
        Emit(std::string(1, c));
        ++at;
      }
    }
    return out;
  }
};

}  // namespace

std::string TextToRtf(const std::string& gbk, const CHARFORMATA& format) {
  std::string out =
      "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset";
  out += std::to_string(format.bCharSet == DEFAULT_CHARSET ? GB2312_CHARSET : format.bCharSet);
  out += ' ';
  for (const char* p = format.szFaceName; *p != '\0'; ++p)
    AppendEscaped(out, static_cast<unsigned char>(*p));
  out += ";}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs";
  out += std::to_string(format.yHeight > 0 ? format.yHeight / 10 : 18);
  out += ' ';
  for (size_t i = 0; i < gbk.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(gbk[i]);
    if (byte == '\r' && i + 1 < gbk.size() && gbk[i + 1] == '\n') {
      out += "\\par\r\n";
      ++i;
    } else if (byte == '\t') {
      out += "\\tab ";
    } else {
      AppendEscaped(out, byte);
    }
  }
  out += "}\r\n";
  return out;
}

std::string RtfToText(const std::string& rtf) {
  Reader reader(rtf);
  return reader.Read();
}

}  // namespace platform::core
