// SPDX-License-Identifier: GPL-3.0-or-later
// BRF, Unicode braille and PEF.
#include <cstdio>

#include "layout/layout.h"

namespace molvane::layout {
namespace {

// North American Braille ASCII: the character of each cell, by its dots.
constexpr char kBrailleAscii[] =
    " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";

void AppendUnicode(char cell, std::string* out) {
  const unsigned code = 0x2800u + (static_cast<unsigned char>(cell) & 0x3Fu);
  *out += static_cast<char>(0xE0 | code >> 12);
  *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
  *out += static_cast<char>(0x80 | (code & 0x3F));
}

template <typename AppendCell>
std::string Pages(const std::vector<std::vector<Page>>& sections, const char* lineBreak,
                  AppendCell append) {
  std::string out;
  bool first = true;
  for (const auto& pages : sections)
    for (const Page& page : pages) {
      if (!first) out += '\f';
      first = false;
      for (const Cells& line : page.lines) {
        for (char cell : line) append(cell, &out);
        out += lineBreak;
      }
    }
  return out;
}

void AppendXmlText(const std::string& text, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      default:
        // Control characters have no place in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') *out += c;
    }
  }
}

}  // namespace

std::string ToBrf(const std::vector<std::vector<Page>>& sections) {
  return Pages(sections, "\r\n", [](char cell, std::string* out) {
    *out += kBrailleAscii[static_cast<unsigned char>(cell) & 0x3F];
  });
}

std::string ToUnicode(const std::vector<std::vector<Page>>& sections) {
  return Pages(sections, "\n", AppendUnicode);
}

std::string ToPef(const std::vector<std::vector<Page>>& sections, PageSize size,
                  const PefMetadata& metadata) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<pef version=\"2008-1\" xmlns=\"http://www.daisy.org/ns/2008/pef\">\n"
      "  <head>\n"
      "    <meta xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "      <dc:format>application/x-pef+xml</dc:format>\n"
      "      <dc:identifier>";
  AppendXmlText(metadata.identifier, &out);
  out += "</dc:identifier>\n      <dc:title>";
  AppendXmlText(metadata.title, &out);
  out += "</dc:title>\n      <dc:language>";
  AppendXmlText(metadata.language, &out);
  out += "</dc:language>\n";
  if (!metadata.date.empty()) {
    out += "      <dc:date>";
    AppendXmlText(metadata.date, &out);
    out += "</dc:date>\n";
  }
  size = Fit(size);
  char volume[96];
  std::snprintf(volume, sizeof volume,
                "  <body>\n    <volume cols=\"%d\" rows=\"%d\" rowgap=\"0\" duplex=\"false\">\n",
                size.cells, size.lines);
  out += "    </meta>\n  </head>\n";
  out += volume;
  for (const auto& pages : sections) {
    out += "      <section>\n";
    for (const Page& page : pages) {
      out += "        <page>\n";
      for (const Cells& line : page.lines) {
        out += "          <row>";
        for (char cell : line) AppendUnicode(cell, &out);
        out += "</row>\n";
      }
      out += "        </page>\n";
    }
    out += "      </section>\n";
  }
  out += "    </volume>\n  </body>\n</pef>\n";
  return out;
}

}  // namespace molvane::layout
