// SPDX-License-Identifier: GPL-3.0-or-later
// BRF, Unicode braille and PEF.
#include <cstdio>
#include <utility>

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

void AppendElement(const char* name, const std::string& text, std::string* out) {
  *out += "      <";
  *out += name;
  *out += '>';
  AppendXmlText(text, out);
  *out += "</";
  *out += name;
  *out += ">\n";
}

std::string WriteAll(Form form, const std::vector<Page>& pages, PageSize size,
                     const PefMetadata& metadata) {
  PageWriter writer(form, size, metadata);
  std::string out;
  writer.Write(pages, &out);
  writer.Finish(&out);
  return out;
}

}  // namespace

PageWriter::PageWriter(Form form, PageSize size, PefMetadata metadata)
    : form_(form), size_(Fit(size)), metadata_(std::move(metadata)) {}

void PageWriter::Begin(std::string* out) {
  begun_ = true;
  if (form_ != Form::kPef) return;
  *out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<pef version=\"2008-1\" xmlns=\"http://www.daisy.org/ns/2008/pef\">\n"
      "  <head>\n"
      "    <meta xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "      <dc:format>application/x-pef+xml</dc:format>\n";
  AppendElement("dc:identifier", metadata_.identifier, out);
  AppendElement("dc:title", metadata_.title, out);
  AppendElement("dc:language", metadata_.language, out);
  if (!metadata_.date.empty()) AppendElement("dc:date", metadata_.date, out);
  char volume[96];
  std::snprintf(volume, sizeof volume,
                "  <body>\n    <volume cols=\"%d\" rows=\"%d\" rowgap=\"0\" duplex=\"false\">\n",
                size_.cells, size_.lines);
  *out += "    </meta>\n  </head>\n";
  *out += volume;
}

void PageWriter::Line(const Cells& line, std::string* out) const {
  switch (form_) {
    case Form::kBrf:
      for (char cell : line) *out += kBrailleAscii[static_cast<unsigned char>(cell) & 0x3F];
      *out += "\r\n";
      break;
    case Form::kUnicode:
      for (char cell : line) AppendUnicode(cell, out);
      *out += '\n';
      break;
    case Form::kPef:
      *out += "          <row>";
      for (char cell : line) AppendUnicode(cell, out);
      *out += "</row>\n";
      break;
  }
}

void PageWriter::Write(const std::vector<Page>& pages, std::string* out) {
  for (const Page& page : pages) {
    if (form_ == Form::kPef) {
      if (!begun_) Begin(out);
      if (page.startsSection || !sectionOpen_) {
        if (sectionOpen_) *out += "      </section>\n";
        *out += "      <section>\n";
        sectionOpen_ = true;
      }
      *out += "        <page>\n";
    } else if (begun_) {
      *out += '\f';
    }
    begun_ = true;
    for (const Cells& line : page.lines) Line(line, out);
    if (form_ == Form::kPef) *out += "        </page>\n";
  }
}

void PageWriter::Finish(std::string* out) {
  if (form_ != Form::kPef) return;
  if (!begun_) Begin(out);
  if (!sectionOpen_) {
    // A document without pages still has a section and a page.
    *out += "      <section>\n        <page>\n          <row></row>\n        </page>\n";
    sectionOpen_ = true;
  }
  *out += "      </section>\n    </volume>\n  </body>\n</pef>\n";
}

std::string ToBrf(const std::vector<Page>& pages) {
  return WriteAll(Form::kBrf, pages, {}, {});
}

std::string ToUnicode(const std::vector<Page>& pages) {
  return WriteAll(Form::kUnicode, pages, {}, {});
}

std::string ToPef(const std::vector<Page>& pages, PageSize size, const PefMetadata& metadata) {
  return WriteAll(Form::kPef, pages, size, metadata);
}

}  // namespace molvane::layout
