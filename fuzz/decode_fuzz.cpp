// SPDX-License-Identifier: GPL-3.0-or-later
// The batch converter's input decoding: the UTF-8 check, UTF-8 to GBK, and
// GBK read as it comes. Each result is checked against a second, plainly
// written decoder and against the code page calls the runtime uses later, so
// a wrong byte is found, not only a crash.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "platform/platform.h"

namespace {

using fuzz::Require;

// Code points of well-formed UTF-8, or the offset of the first bad sequence.
struct Decoded {
  std::vector<uint32_t> points;
  size_t bad = std::string::npos;
};

Decoded DecodeUtf8(const std::string& text) {
  Decoded d;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const int length = lead < 0x80       ? 1
                       : lead >> 5 == 6  ? 2
                       : lead >> 4 == 14 ? 3
                       : lead >> 3 == 30 ? 4
                                         : 0;
    uint32_t point = length == 1 ? lead : lead & (0x7Fu >> length);
    bool ok = length != 0 && i + length <= text.size();
    for (int k = 1; ok && k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      ok = (next & 0xC0) == 0x80;
      point = point << 6 | (next & 0x3F);
    }
    static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && point >= kLeast[length] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
    if (!ok) {
      d.bad = i;
      return d;
    }
    d.points.push_back(point);
    i += length;
  }
  return d;
}

std::string EncodeThroughCodePage(const std::u16string& units) {
  const int count = static_cast<int>(units.size());
  std::string out(units.size() * 2, '\0');
  const int written = count == 0
                          ? 0
                          : WideCharToMultiByte(CP_ACP, 0, units.data(), count, out.data(),
                                                static_cast<int>(out.size()), nullptr, nullptr);
  Require(count == 0 || written > 0, "WideCharToMultiByte refused a buffer of twice the units");
  out.resize(static_cast<size_t>(written));
  return out;
}

void CheckUtf8Input(const std::string& text) {
  const Decoded d = DecodeUtf8(text);
  Require(platform::FirstInvalidUtf8(text) == d.bad, "UTF-8 check disagrees with the reference");
  if (d.bad != std::string::npos) return;
  const std::string gbk = platform::Utf8ToGbk(text);
  // A character beyond the wide units' range cannot be held: one mark.
  std::u16string units;
  for (uint32_t point : d.points) units.push_back(point > 0xFFFF ? u'?' : char16_t(point));
  Require(gbk == EncodeThroughCodePage(units), "Utf8ToGbk differs from WideCharToMultiByte");
  const std::string back = platform::GbkToUtf8(gbk);
  Require(platform::FirstInvalidUtf8(back) == std::string::npos, "GBK to UTF-8 gave bad UTF-8");
  Require(platform::Utf8ToGbk(back) == gbk, "GBK does not survive a round trip");
}

void CheckGbkInput(const std::string& gbk) {
  const std::string utf8 = platform::GbkToUtf8(gbk);
  const Decoded d = DecodeUtf8(utf8);
  Require(d.bad == std::string::npos, "GBK to UTF-8 gave bad UTF-8");
  const int count = static_cast<int>(gbk.size());
  std::u16string units(gbk.size(), u'\0');
  const int produced = count == 0 ? 0
                                  : MultiByteToWideChar(CP_ACP, 0, gbk.data(), count, units.data(),
                                                        static_cast<int>(units.size()));
  Require(count == 0 || produced > 0, "MultiByteToWideChar refused a buffer of one unit a byte");
  units.resize(static_cast<size_t>(produced));
  Require(units.size() == d.points.size(), "the bridge and the code page read different lengths");
  for (size_t i = 0; i < units.size(); ++i)
    Require(units[i] == d.points[i], "the bridge and the code page read different characters");
  Require(platform::Utf8ToGbk(utf8) == EncodeThroughCodePage(units), "re-encoding differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckUtf8Input(text);
  CheckGbkInput(text);
  return 0;
}
