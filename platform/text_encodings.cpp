// SPDX-License-Identifier: GPL-3.0-or-later
// The Chinese code pages beyond GBK come from the C library's iconv: the
// two-byte codes of each are looked up once into a table, GB18030's rare
// four-byte ones are asked for one at a time.
#include "platform/text_encodings.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr struct {
  const char* name;
  Encoding encoding;
} kNames[] = {
    {"utf-8", Encoding::kUtf8},       {"utf8", Encoding::kUtf8},
    {"utf-16", Encoding::kUtf16Le},   {"utf16", Encoding::kUtf16Le},
    {"utf-16le", Encoding::kUtf16Le}, {"utf-16be", Encoding::kUtf16Be},
    {"gbk", Encoding::kGbk},          {"cp936", Encoding::kGbk},
    {"gb18030", Encoding::kGb18030},  {"big5", Encoding::kBig5},
};

// What iconv calls each encoding.
const char* IconvName(Encoding encoding) {
  static constexpr const char* kIconv[] = {"UTF-8", "UTF-16LE", "UTF-16BE",
                                           "CP936", "GB18030",  "BIG5"};
  return kIconv[static_cast<int>(encoding)];
}

// One code point from `length` bytes of `encoding`, or nothing.
std::optional<char32_t> IconvOne(iconv_t cd, const char* bytes, size_t length) {
  char32_t code = 0;
  char* in = const_cast<char*>(bytes);
  char* out = reinterpret_cast<char*>(&code);
  size_t inLeft = length, outLeft = sizeof code;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
      outLeft != 0)
    return std::nullopt;
  return code;
}

// A code page's two-byte codes, decoded once; 0 where a pair is no character.
class DoubleByteTable {
 public:
  explicit DoubleByteTable(Encoding encoding) : table_(65536, 0) {
    iconv_t cd = iconv_open("UTF-32LE", IconvName(encoding));
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        table_[lead << 8 | trail] = IconvOne(cd, pair, 2).value_or(0);
      }
    iconv_close(cd);
  }
  char32_t At(unsigned char lead, unsigned char trail) const { return table_[lead << 8 | trail]; }

 private:
  std::vector<char32_t> table_;
};

const DoubleByteTable& TableOf(Encoding encoding) {
  // Made once per process on first use; read-only afterwards.
  static const DoubleByteTable gb18030(Encoding::kGb18030);
  static const DoubleByteTable big5(Encoding::kBig5);
  return encoding == Encoding::kBig5 ? big5 : gb18030;
}

int DecodeUtf16(bool bigEndian, const unsigned char* s, size_t length, char32_t* code) {
  auto unit = [&](size_t at) -> char32_t {
    return bigEndian ? (s[at] << 8 | s[at + 1]) : (s[at + 1] << 8 | s[at]);
  };
  if (length < 2) return -1;
  const char32_t first = unit(0);
  if (first < 0xD800 || first > 0xDFFF) return *code = first, 2;
  if (first > 0xDBFF) return 0;  // a trailing surrogate alone
  if (length < 4) return -1;
  const char32_t second = unit(2);
  if (second < 0xDC00 || second > 0xDFFF) return 0;
  *code = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  return 4;
}

int DecodeGb18030FourBytes(const unsigned char* s, size_t length, char32_t* code) {
  if (length < 4) return -1;
  if (s[2] < 0x81 || s[2] > 0xFE || s[3] < 0x30 || s[3] > 0x39) return 0;
  // Four-byte codes are rare (characters outside GBK): asked for one by one.
  static std::mutex lock;
  static iconv_t cd = iconv_open("UTF-32LE", "GB18030");
  std::lock_guard<std::mutex> hold(lock);
  const std::optional<char32_t> value = IconvOne(cd, reinterpret_cast<const char*>(s), 4);
  if (!value) return 0;
  *code = *value;
  return 4;
}

int DecodeDoubleByte(Encoding encoding, const unsigned char* s, size_t length, char32_t* code) {
  if (s[0] < 0x80) return *code = s[0], 1;
  if (s[0] == 0x80 || s[0] == 0xFF) return 0;
  if (length < 2) return -1;
  if (encoding == Encoding::kGb18030 && s[1] >= 0x30 && s[1] <= 0x39)
    return DecodeGb18030FourBytes(s, length, code);
  if (s[1] < 0x40 || s[1] == 0xFF) return 0;
  const char32_t value = TableOf(encoding).At(s[0], s[1]);
  if (value == 0) return 0;
  *code = value;
  return 2;
}

}  // namespace

std::optional<Encoding> EncodingNamed(std::string_view name) {
  std::string lower(name);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (const auto& n : kNames)
    if (lower == n.name) return n.encoding;
  return std::nullopt;
}

const char* EncodingName(Encoding encoding) {
  static constexpr const char* kShown[] = {"UTF-8", "UTF-16LE", "UTF-16BE",
                                           "GBK",   "GB18030",  "Big5"};
  return kShown[static_cast<int>(encoding)];
}

int DecodeCharacter(Encoding encoding, const char* bytes, size_t length, char32_t* code) {
  if (length == 0) return -1;
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  switch (encoding) {
    case Encoding::kUtf8:
      return DecodeUtf8Character(bytes, length, code);
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be:
      return DecodeUtf16(encoding == Encoding::kUtf16Be, s, length, code);
    case Encoding::kGbk: {
      char16_t unit;
      const int n = DecodeGbkCharacter(bytes, length, &unit);
      *code = unit;
      return n;
    }
    case Encoding::kGb18030:
    case Encoding::kBig5:
      return DecodeDoubleByte(encoding, s, length, code);
  }
  return 0;
}

std::optional<Encoding> ByteOrderMark(std::string_view bytes, size_t* length) {
  static constexpr struct {
    std::string_view mark;
    Encoding encoding;
  } kMarks[] = {{"\xEF\xBB\xBF", Encoding::kUtf8},
                {"\xFF\xFE", Encoding::kUtf16Le},
                {"\xFE\xFF", Encoding::kUtf16Be}};
  for (const auto& m : kMarks)
    if (bytes.starts_with(m.mark)) {
      *length = m.mark.size();
      return m.encoding;
    }
  return std::nullopt;
}

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | code >> 6);
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | code >> 12);
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | code >> 18);
    *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool EncodeText(Encoding encoding, std::string_view utf8, std::string* out, size_t* position) {
  if (encoding == Encoding::kUtf8) return out->append(utf8), true;
  iconv_t cd = iconv_open(IconvName(encoding), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return *position = 0, false;
  std::unique_ptr<void, int (*)(iconv_t)> closer(cd, iconv_close);
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  std::array<char, 16384> chunk;
  while (inLeft > 0) {
    char* to = chunk.data();
    size_t toLeft = chunk.size();
    const size_t done = iconv(cd, &in, &inLeft, &to, &toLeft);
    out->append(chunk.data(), static_cast<size_t>(to - chunk.data()));
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {
      *position = static_cast<size_t>(in - utf8.data());
      return false;
    }
  }
  return true;
}

size_t DecodablePrefix(Encoding encoding, std::string_view bytes, bool cutOk, size_t* wide) {
  size_t at = 0;
  if (wide != nullptr) *wide = 0;
  while (at < bytes.size()) {
    char32_t code;
    const int n = DecodeCharacter(encoding, bytes.data() + at, bytes.size() - at, &code);
    if (n < 0) return cutOk ? bytes.size() : at;
    if (n == 0) return at;
    if (wide != nullptr && n > 1) ++*wide;
    at += static_cast<size_t>(n);
  }
  return at;
}

// UTF-8 whose first bytes hold this many characters of several bytes before
// a bad one is a UTF-8 file with a fault, not GB18030 (whose text hardly ever
// spells several UTF-8 characters by chance).
constexpr size_t kUtf8Evidence = 4;

Encoding FindEncoding(std::string_view head, size_t* markLength) {
  *markLength = 0;
  if (const auto marked = ByteOrderMark(head, markLength)) return *marked;
  size_t wide = 0;
  if (DecodablePrefix(Encoding::kUtf8, head, true, &wide) < head.size() && wide < kUtf8Evidence &&
      DecodablePrefix(Encoding::kGb18030, head, true) == head.size())
    return Encoding::kGb18030;
  return Encoding::kUtf8;
}

}  // namespace platform
