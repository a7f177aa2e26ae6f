// SPDX-License-Identifier: GPL-3.0-or-later
// Core commands on texts, numbers, arrays and dialogs.
#include "runtime/core_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "platform/platform.h"
#include "runtime/support.h"

namespace molvane {

namespace {

// A fresh runtime buffer holding `bytes`, or null for an empty text.
char* FreshText(const char* bytes, size_t length) {
  if (length == 0) return nullptr;
  char* out = static_cast<char*>(AllocMemory(length + 1));
  std::memcpy(out, bytes, length);
  out[length] = '\0';
  return out;
}
char* FreshText(const std::string& s) {
  return FreshText(s.data(), s.size());
}

const char* TextOrEmpty(const ArgRecord& r) {
  const char* t = ArgText(r);
  return t == nullptr ? "" : t;
}

// Converts like the x86 truncating conversion: out-of-range values and NaN
// give the "integer indefinite" value instead of undefined behaviour.
int32_t TruncateToInt32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

float ArgFloat(const ArgRecord& r) {
  float f;
  std::memcpy(&f, &r.low, sizeof f);
  return f;
}

// Full-width forms folded to their one-byte forms, so full-width digits read
// as digits.
std::string FoldFullWidth(const char* text) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    if (*p >= 0x80 && p[1] != 0) {
      unsigned char lead = p[0], trail = p[1];
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out += static_cast<char>(trail - 0x80);
      } else if (lead == 0xA1 && trail == 0xA1) {
        out += ' ';
      } else if (lead == 0xA1 && trail == 0xAB) {
        out += '~';
      } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
        out += '*';
      } else {
        out += static_cast<char>(lead);
        out += static_cast<char>(trail);
      }
      p += 2;
    } else {
      out += static_cast<char>(*p++);
    }
  }
  return out;
}

// atoi's reading, saturated to the integer range instead of overflowing.
int32_t LeadingInteger(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  int64_t value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    value = value * 10 + (*s - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// "%d" without the formatting machinery: integers are the common case.
std::string Decimal(int64_t value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

// Day count (0 = 1899-12-30) as "年月日" text with the time when it is not zero.
std::string DateTimeText(double days) {
  if (std::isnan(days)) days = 0;
  if (days < -657434.0) days = -657434.0;
  if (days > 2958465.0) days = 2958465.0;
  double whole = std::trunc(days);
  int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
  int64_t day = static_cast<int64_t>(whole) + seconds / 86400;
  seconds %= 86400;
  // Civil date from days since 1970-01-01 (1899-12-30 is day -25569).
  int64_t z = day - 25569 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  int h = static_cast<int>(seconds / 3600), mi = static_cast<int>(seconds / 60 % 60),
      s = static_cast<int>(seconds % 60);
  std::string text =
      Format("%d年%d月%d日", static_cast<int>(y), static_cast<int>(m), static_cast<int>(d));
  if (s != 0)
    text += Format("%d时%d分%d秒", h, mi, s);
  else if (mi != 0)
    text += Format("%d时%d分", h, mi);
  else if (h != 0)
    text += Format("%d时", h);
  return platform::Utf8ToGbk(text);
}

// The text form of a value; `handled` is false for types without one.
std::string ValueText(const ArgRecord& v, bool* handled) {
  *handled = true;
  switch (v.type) {
    case kTypeByte:
      return Decimal(v.low & 0xFFu);
    case kTypeShort:
      return Decimal(static_cast<int16_t>(v.low));
    case kTypeInt:
      return Decimal(static_cast<int32_t>(v.low));
    case kTypeLong:
      return Decimal(static_cast<int64_t>(ArgBits(v)));
    case kTypeFloat:
      return Format("%.6g", static_cast<double>(ArgFloat(v)));
    case kTypeDouble:
      return Format("%.13g", ArgDouble(v));
    case kTypeBool:
      return platform::Utf8ToGbk(v.low != 0 ? "真" : "假");
    case kTypeDateTime:
      return DateTimeText(ArgDouble(v));
    case kTypeText:
      return TextOrEmpty(v);
    default:
      *handled = false;
      return {};
  }
}

}  // namespace

void TextLength(ArgRecord* result, int32_t, ArgRecord* args) {
  *result = IntArg(TextByteLength(ArgText(args[0])));
}

void TextMid(ArgRecord* result, int32_t, ArgRecord* args) {
  const char* text = TextOrEmpty(args[0]);
  int64_t length = TextByteLength(text);
  int64_t pos = static_cast<int64_t>(ArgInt(args[1])) - 1;
  int64_t count = ArgInt(args[2]);
  char* out = nullptr;
  if (pos >= 0 && pos < length && count > 0) {
    const auto bytes = static_cast<size_t>(std::min(count, length - pos));
    // One byte (a digit of a braille cell) needs no block of its own.
    if (bytes == 1 && ShortcutsEnabled()) out = SharedShortText(text + pos, 1);
    if (out == nullptr) out = FreshText(text + pos, bytes);
  }
  SetResultPointer(result, out, kTypeText);
}

void ToInteger(ArgRecord* result, int32_t, ArgRecord* args) {
  const ArgRecord& v = args[0];
  int32_t value = 0;
  switch (v.type) {
    case kTypeInt:
    case kTypeBool:
    case kTypeSubroutine:
    case kTypeLong:
      value = static_cast<int32_t>(v.low);
      break;
    case kTypeShort:
      value = static_cast<int16_t>(v.low);
      break;
    case kTypeByte:
      value = static_cast<int32_t>(v.low & 0xFFu);
      break;
    case kTypeFloat:
      value = TruncateToInt32(ArgFloat(v));
      break;
    case kTypeDouble:
      value = TruncateToInt32(ArgDouble(v));
      break;
    case kTypeText: {
      const char* text = TextOrEmpty(v);
      // Only two-byte characters fold; a plain text is read as it is.
      bool plain = true;
      for (const char* p = text; *p != 0 && plain; ++p) plain = (*p & 0x80) == 0;
      value = plain ? LeadingInteger(text) : LeadingInteger(FoldFullWidth(text).c_str());
      break;
    }
    default:
      break;
  }
  *result = IntArg(value);
}

void ToText(ArgRecord* result, int32_t, ArgRecord* args) {
  const ArgRecord& v = args[0];
  if (v.type == kTypeInt) {  // the common case, without a std::string
    const auto value = static_cast<int32_t>(v.low);
    if (value >= 0 && value <= 9 && ShortcutsEnabled()) {  // a dot number
      const char digit = static_cast<char>('0' + value);
      SetResultPointer(result, SharedShortText(&digit, 1), kTypeText);
      return;
    }
    char buffer[16];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int32_t>(v.low));
    SetResultPointer(result, FreshText(buffer, static_cast<size_t>(end - buffer)), kTypeText);
    return;
  }
  bool handled;
  std::string text = ValueText(v, &handled);
  char* out = nullptr;
  if (handled) {
    out = FreshText(text);
  } else if (v.type == kTypeByteSet ||
             ((v.type & kArrayFlag) != 0 && NumericElementWidth(v.type))) {
    // The data bytes up to the first zero byte.
    void* first;
    int32_t count = ArrayElementCount(ArgPointer(v), &first);
    size_t bytes = static_cast<size_t>(count) *
                   static_cast<size_t>(v.type == kTypeByteSet ? 1 : NumericElementWidth(v.type));
    const char* data = static_cast<const char*>(first);
    size_t length = data == nullptr ? 0 : strnlen(data, bytes);
    out = FreshText(data, length);
  }
  SetResultPointer(result, out, kTypeText);
}

void SplitText(ArgRecord* result, int32_t argc, ArgRecord* args) {
  const char* text = TextOrEmpty(args[0]);
  const char* separator = argc > 1 && ArgGiven(args[1]) ? TextOrEmpty(args[1]) : ",";
  int64_t most = -1;  // unlimited
  if (argc > 2 && ArgGiven(args[2])) most = std::max(0, ArgInt(args[2]));

  void* array = NewEmptyArray();
  auto append = [&](const char* from, size_t length) {
    char* piece = FreshText(from, length);
    AppendArrayElement(&array, &piece, sizeof piece);
  };
  size_t textLength = std::strlen(text), sepLength = std::strlen(separator);
  if (textLength != 0 && most != 0) {
    if (sepLength == 0) {
      append(text, textLength);
    } else {
      const char* p = text;
      const char* s = text;
      const char* end = text + textLength;
      while (static_cast<size_t>(end - p) >= sepLength) {
        if (std::memcmp(p, separator, sepLength) == 0) {
          append(s, static_cast<size_t>(p - s));
          p += sepLength;
          s = p;
          if (most > 0 && --most == 0) break;
        } else if ((static_cast<unsigned char>(*p) & 0x80) != 0) {
          // Never match a separator from the second byte of a character.
          if (p[1] == '\0') break;
          p += 2;
        } else {
          p += 1;
        }
      }
      if (*s != '\0' && most != 0) append(s, std::strlen(s));
    }
  }
  SetResultPointer(result, array, kTypeText | kArrayFlag);
}

void ShowMessageBox(ArgRecord* result, int32_t argc, ArgRecord* args) {
  bool handled;
  std::string content = ValueText(args[0], &handled);
  UINT flags = argc > 1 && ArgGiven(args[1]) ? static_cast<UINT>(ArgInt(args[1])) : 0;
  std::string caption =
      argc > 2 && ArgGiven(args[2]) ? TextOrEmpty(args[2]) : platform::Utf8ToGbk("信息：");
  HWND owner = nullptr;
  if (argc == 4) {
    if (args[3].type == kTypeWindow)
      owner = reinterpret_cast<HWND>(
          CallService(kServiceLookupControl, args[3].low, static_cast<intptr_t>(args[3].high)));
    else if (args[3].type == kTypeInt)
      owner = reinterpret_cast<HWND>(static_cast<intptr_t>(ArgInt(args[3])));
  }
  UINT style = (flags & MB_SYSTEMMODAL) != 0 ? flags : (flags | MB_TASKMODAL);
  int pressed = MessageBoxA(owner, content.c_str(), caption.c_str(), style);
  *result = IntArg(pressed >= IDOK && pressed <= IDNO ? pressed - 1 : 0);
}

void FocusControl(ArgRecord* result, int32_t, ArgRecord* args) {
  HWND window = reinterpret_cast<HWND>(
      CallService(kServiceLookupControl, args[0].low, static_cast<intptr_t>(args[0].high)));
  SetFocus(window);  // service 2007 has reported a missing control
}

}  // namespace molvane
