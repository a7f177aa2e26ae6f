// SPDX-License-Identifier: GPL-3.0-or-later
// Code page 936 (GBK) conversion. The two mapping tables are filled once from
// the C library's iconv ("CP936"); every conversion afterwards is a lookup.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/core.h"
#include "platform/platform.h"
#include "platform/text_encodings.h"

namespace {

constexpr WCHAR kUnmapped = 0xFFFF;

struct Tables {
  // Wide unit of each single byte and of each double byte (lead << 8 | trail).
  std::array<WCHAR, 256> single{};
  std::array<WCHAR, 65536> dbcs{};
  // GBK bytes of each wide unit: 0 = not representable, < 0x100 one byte.
  std::array<uint16_t, 65536> toGbk{};
  // One bit a double byte: set where it decodes and encodes back to itself,
  // so a text's round trip can keep it without touching the larger tables.
  std::array<uint64_t, 1024> roundTrips{};
  bool RoundTrips(unsigned code) const { return (roundTrips[code >> 6] >> (code & 63)) & 1; }
};

const Tables& GetTables() {
  static Tables* tables = [] {
    auto* t = new Tables;
    t->single.fill(kUnmapped);
    t->dbcs.fill(kUnmapped);
    iconv_t cd = iconv_open("UCS-2LE", "CP936");
    auto decode = [&](const char* in, size_t inLen) -> WCHAR {
      char out[8];
      char* ip = const_cast<char*>(in);
      char* op = out;
      size_t il = inLen, ol = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || op - out != 2)
        return kUnmapped;
      return static_cast<WCHAR>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8);
    };
    for (int b = 0; b < 0x80; ++b) t->single[b] = static_cast<WCHAR>(b);
    for (int b = 0x80; b < 0x100; ++b) {
      char in[1] = {static_cast<char>(b)};
      t->single[b] = decode(in, 1);
    }
    // A row of one lead byte converts in one call; a row holding an
    // unmapped pair falls back to one call a pair.
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      char row[2 * 190];
      char16_t units[190];
      int pairs = 0;
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        row[2 * pairs] = static_cast<char>(lead);
        row[2 * pairs + 1] = static_cast<char>(trail);
        ++pairs;
      }
      char* ip = row;
      char* op = reinterpret_cast<char*>(units);
      size_t il = sizeof row, ol = sizeof units;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      bool whole = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && il == 0 && ol == 0;
      for (int i = 0; i < pairs; ++i) {
        int code = lead << 8 | static_cast<uint8_t>(row[2 * i + 1]);
        if (whole) {
          const auto* u = reinterpret_cast<const uint8_t*>(&units[i]);
          t->dbcs[code] = static_cast<WCHAR>(u[0] | u[1] << 8);
        } else {
          t->dbcs[code] = decode(row + 2 * i, 2);
        }
      }
    }
    iconv_close(cd);
    // Reverse table; the first byte form found for a unit wins.
    for (int b = 0; b < 0x100; ++b)
      if (t->single[b] != kUnmapped && t->toGbk[t->single[b]] == 0)
        t->toGbk[t->single[b]] = static_cast<uint16_t>(b);
    for (int code = 0x8140; code <= 0xFEFE; ++code)
      if (t->dbcs[code] != kUnmapped && t->toGbk[t->dbcs[code]] == 0)
        t->toGbk[t->dbcs[code]] = static_cast<uint16_t>(code);
    t->toGbk[0] = 0;
    for (int code = 0x8140; code <= 0xFEFE; ++code)
      if (t->dbcs[code] != kUnmapped && t->toGbk[t->dbcs[code]] == code)
        t->roundTrips[code >> 6] |= uint64_t{1} << (code & 63);
    return t;
  }();
  return *tables;
}

bool IsLeadByte(uint8_t b) {
  return b >= 0x81 && b <= 0xFE;
}

// Decodes the character at in[i] and moves i past it. A byte that does not
// decode becomes "?" on its own, so whatever follows it is still read.
WCHAR DecodeAt(const Tables& t, const uint8_t* in, size_t length, size_t& i) {
  uint8_t b = in[i];
  if (IsLeadByte(b) && i + 1 < length && t.dbcs[b << 8 | in[i + 1]] != kUnmapped) {
    i += 2;
    return t.dbcs[b << 8 | in[i - 1]];
  }
  i += 1;
  return t.single[b] != kUnmapped ? t.single[b] : u'?';
}

// The GBK bytes of one unit ("?" for a unit GBK cannot hold): 1 or 2.
int EncodeAt(const Tables& t, char16_t unit, char* out) {
  const uint16_t g = unit == 0 ? 0 : t.toGbk[unit];
  if (g > 0xFF) {
    out[0] = static_cast<char>(g >> 8);
    out[1] = static_cast<char>(g & 0xFF);
    return 2;
  }
  out[0] = unit != 0 && g == 0 ? '?' : static_cast<char>(g);
  return 1;
}

}  // namespace

// Undecodable bytes become U+003F, one unit per undecodable byte, so that
// whatever follows them is still read.
int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR multiByte, int byteCount, LPWSTR wide,
                        int wideCount) {
  if (multiByte == nullptr || wideCount < 0 || (codePage != CP_ACP && codePage != CP_GBK)) return 0;
  const Tables& t = GetTables();
  size_t length = byteCount < 0 ? std::char_traits<char>::length(multiByte) + 1
                                : static_cast<size_t>(byteCount);
  const auto* in = reinterpret_cast<const uint8_t*>(multiByte);
  int produced = 0;
  for (size_t i = 0; i < length;) {
    WCHAR unit = DecodeAt(t, in, length, i);
    if (wideCount != 0) {
      if (produced >= wideCount) return 0;  // buffer too small
      wide[produced] = unit;
    }
    ++produced;
  }
  return produced;
}

// Units GBK cannot hold become "?".
int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideCount, LPSTR multiByte,
                        int byteCount, LPCSTR, LPBOOL usedDefaultChar) {
  if (wide == nullptr || byteCount < 0 || (codePage != CP_ACP && codePage != CP_GBK)) return 0;
  size_t length =
      wideCount < 0 ? std::char_traits<char16_t>::length(wide) + 1 : static_cast<size_t>(wideCount);
  if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
  const Tables& t = GetTables();
  int produced = 0;
  for (size_t i = 0; i < length; ++i) {
    char bytes[2];
    const int count = EncodeAt(t, wide[i], bytes);
    if (count == 1 && bytes[0] == '?' && wide[i] != u'?' && usedDefaultChar != nullptr)
      *usedDefaultChar = TRUE;
    if (byteCount != 0) {
      if (produced + count > byteCount) return 0;  // buffer too small
      std::memcpy(multiByte + produced, bytes, static_cast<size_t>(count));
    }
    produced += count;
  }
  return produced;
}

namespace platform {

int DecodeUtf8CharacterFully(const char* bytes, size_t length, char32_t* code) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  if (length == 0) return -1;
  const unsigned char c = s[0];
  if (c < 0x80) {
    *code = c;
    return 1;
  }
  int count;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    count = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    count = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    count = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  char32_t value = c & (0x7F >> count);
  for (int k = 1; k < count; ++k) {
    if (static_cast<size_t>(k) >= length) return -1;
    const unsigned char lowest = k == 1 ? low : 0x80, highest = k == 1 ? high : 0xBF;
    if (s[k] < lowest || s[k] > highest) return 0;
    value = value << 6 | (s[k] & 0x3F);
  }
  *code = value;
  return count;
}

size_t FirstInvalidUtf8(const std::string& text) {
  char32_t code;
  for (size_t i = 0; i < text.size();) {
    const int n = DecodeUtf8Character(text.data() + i, text.size() - i, &code);
    if (n <= 0) return i;
    i += static_cast<size_t>(n);
  }
  return std::string::npos;
}

int EncodeGbk(const char16_t* units, int count, char* out) {
  const Tables& t = GetTables();
  int produced = 0;
  for (int i = 0; i < count; ++i) produced += EncodeAt(t, units[i], out + produced);
  return produced;
}

namespace core {

std::u16string ToWide(const std::string& gbk) {
  std::u16string wide(gbk.size(), u'\0');
  int n = MultiByteToWideChar(CP_GBK, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                              static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(std::max(n, 0)));
  return wide;
}

std::string ToGbk(const std::u16string& wide) {
  std::string gbk(wide.size() * 2, '\0');
  int n = EncodeGbk(wide.data(), static_cast<int>(wide.size()), gbk.data());
  gbk.resize(static_cast<size_t>(n));
  return gbk;
}

}  // namespace core

int DecodeGbkCharacter(const char* bytes, size_t length, char16_t* unit) {
  if (length == 0) return -1;
  const Tables& t = GetTables();
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  if (!IsLeadByte(in[0])) {
    *unit = t.single[in[0]];
    return *unit == kUnmapped ? 0 : 1;
  }
  if (length < 2) return -1;
  *unit = t.dbcs[in[0] << 8 | in[1]];
  return *unit == kUnmapped ? 0 : 2;
}

// Both bridges use the same tables as the code page calls, so a text reads
// the same whichever way it travels.
std::string Utf8ToGbk(const std::string& utf8) {
  const Tables& t = GetTables();
  // GBK never takes more bytes than UTF-8 for the same text.
  std::string out(utf8.size(), '\0');
  char* o = out.data();
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    uint32_t c = *p;
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++p;
      continue;
    }
    int extra = (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    bool ok;
    if (extra == 2 && end - p > 2 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      // Three bytes (every Chinese character) without the general loop.
      c = (c & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
      ok = true;
    } else {
      ok = extra > 0 && end - p > extra;
      if (ok) {
        c &= 0x3Fu >> extra;
        for (int i = 1; i <= extra; ++i) {
          if ((p[i] & 0xC0) != 0x80) ok = false;
          c = (c << 6) | (p[i] & 0x3Fu);
        }
      }
    }
    if (!ok) {
      *o++ = '?';  // a broken sequence: one mark per byte
      ++p;
      continue;
    }
    p += extra + 1;
    uint16_t g = c <= 0xFFFF ? t.toGbk[c] : 0;
    if (g == 0) {
      *o++ = '?';
    } else if (g > 0xFF) {
      *o++ = static_cast<char>(g >> 8);
      *o++ = static_cast<char>(g & 0xFF);
    } else {
      *o++ = static_cast<char>(g);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  out.shrink_to_fit();  // a book is held once, at its own size
  return out;
}

char* EncodeUtf8(char16_t unit, char* out) {
  const uint32_t c = unit;
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string GbkToUtf8(const std::string& gbk) {
  const Tables& t = GetTables();
  // Each byte becomes at most three (a one-byte euro sign).
  std::string out(gbk.size() * 3, '\0');
  char* o = out.data();
  const auto* in = reinterpret_cast<const uint8_t*>(gbk.data());
  const size_t length = gbk.size();
  for (size_t i = 0; i < length;) {
    uint8_t b = in[i];
    if (b < 0x80) {
      *o++ = static_cast<char>(b);
      ++i;
      continue;
    }
    o = EncodeUtf8(static_cast<char16_t>(DecodeAt(t, in, length, i)), o);
  }
  out.resize(static_cast<size_t>(o - out.data()));
  out.shrink_to_fit();  // a book is held once, at its own size
  return out;
}

}  // namespace platform

namespace platform::core {

std::string CanonicalBoxText(const std::string& gbk, size_t* units) {
  const Tables& t = GetTables();
  const auto* in = reinterpret_cast<const uint8_t*>(gbk.data());
  const size_t length = gbk.size();
  // A character never grows (a byte's own unit encodes as one byte again);
  // only a lone CR or LF gains its partner.
  // Counted without a branch a byte, which the compiler makes a vector loop.
  size_t breaks = 0;
  for (size_t i = 0; i < length; ++i)
    breaks += static_cast<size_t>((in[i] == '\r') | (in[i] == '\n'));
  std::string out(length + breaks, '\0');
  char* o = out.data();
  size_t count = 0;
  for (size_t i = 0; i < length; ++count) {
    const uint8_t b = in[i];
    if (b == '\r' || b == '\n') {
      i += b == '\r' && i + 1 < length && in[i + 1] == '\n' ? 2 : 1;
      *o++ = '\r';
      *o++ = '\n';
    } else if (b < 0x80) {
      *o++ = static_cast<char>(b);
      ++i;
    } else if (i + 1 < length && t.RoundTrips(static_cast<unsigned>(b << 8 | in[i + 1]))) {
      *o++ = static_cast<char>(b);
      *o++ = static_cast<char>(in[i + 1]);
      i += 2;
    } else {
      o += EncodeAt(t, DecodeAt(t, in, length, i), o);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  *units = count;
  return out;
}

}  // namespace platform::core

namespace platform {

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    char32_t code = 0xFFFD;
    int n = DecodeUtf8Character(utf8.data() + at, utf8.size() - at, &code);
    if (n <= 0) {
      code = 0xFFFD;
      n = 1;
    }
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    at += static_cast<size_t>(n);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t at = 0; at < utf16.size(); ++at) {
    char32_t code = utf16[at];
    if (code >= 0xD800 && code < 0xDC00 && at + 1 < utf16.size() && utf16[at + 1] >= 0xDC00 &&
        utf16[at + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++at] - 0xDC00);
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    AppendUtf8(code, &out);
  }
  return out;
}

}  // namespace platform
