// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

std::u16string ToWide(const std::string& gbk) {
  int n = MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(n), u'\0');
  EXPECT_EQ(
      n, MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n));
  return wide;
}

std::string ToGbk(const std::u16string& wide) {
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string gbk(static_cast<size_t>(n), '\0');
  EXPECT_EQ(n, WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                   gbk.data(), n, nullptr, nullptr));
  return gbk;
}

TEST(CodePage, AsciiAndDoubleBytesRoundTrip) {
  std::string gbk = platform::Utf8ToGbk("ab中国1");
  EXPECT_EQ(gbk.size(), 7u);
  EXPECT_EQ(ToWide(gbk), u"ab中国1");
  EXPECT_EQ(ToGbk(u"ab中国1"), gbk);
}

// Callers widen short ASCII texts themselves, byte by byte.
TEST(CodePage, AsciiBytesAreTheirOwnUnits) {
  for (int byte = 1; byte < 0x80; ++byte)
    ASSERT_EQ(ToWide(std::string(1, static_cast<char>(byte))), std::u16string(1, byte)) << byte;
}

TEST(CodePage, EuroSignIsByte80) {
  EXPECT_EQ(ToWide("\x80"), u"\u20AC");
  EXPECT_EQ(ToGbk(u"\u20AC"), "\x80");
}

TEST(CodePage, UnrepresentableBecomesQuestionMark) {
  BOOL usedDefault = FALSE;
  std::u16string wide = u"a\u0E01b";  // a Thai letter: not in GBK
  char out[8] = {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), 3, out, 8, nullptr, &usedDefault);
  EXPECT_EQ(std::string(out, static_cast<size_t>(n)), "a?b");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, TerminatedInputCountsTheZero) {
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"中", -1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(CodePage, SmallBufferFails) {
  char16_t out[1];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", 2, out, 1), 0);
  // A two-byte character never goes half into the last byte left.
  char narrow[2];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a中", 2, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"中", 1, narrow, 2, nullptr, nullptr), 2);
}

TEST(CodePage, AQuestionMarkOfTheTextIsNoReplacement) {
  BOOL usedDefault = TRUE;
  char out[4] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"?", 1, out, 4, nullptr, &usedDefault), 1);
  EXPECT_EQ(out[0], '?');
  EXPECT_FALSE(usedDefault);
}

TEST(CodePage, BrokenLeadByteDoesNotSwallowTheNextCharacter) {
  EXPECT_EQ(ToWide("\x81 a"), u"? a");
  EXPECT_EQ(ToWide("a\xff"), u"a?");
}

// One-byte and three-byte characters are decoded inline; every byte sequence
// of up to three bytes must read as the full decoder reads it.
TEST(CodePage, InlineUtf8DecodingAgreesWithTheFullDecoder) {
  for (unsigned lead = 0; lead <= 0xFF; ++lead) {
    const unsigned last = lead >= 0xE0 && lead <= 0xEF ? 0xFF : 0;
    for (unsigned second = 0; second <= last; ++second) {
      for (unsigned third = 0; third <= last; ++third) {
        const char bytes[3] = {static_cast<char>(lead), static_cast<char>(second),
                               static_cast<char>(third)};
        for (size_t length = 0; length <= 3; ++length) {
          char32_t inlined = 0, full = 0;
          const int n = platform::DecodeUtf8Character(bytes, length, &inlined);
          ASSERT_EQ(n, platform::DecodeUtf8CharacterFully(bytes, length, &full))
              << lead << " " << second << " " << third << " " << length;
          if (n > 0) {
            ASSERT_EQ(static_cast<uint32_t>(inlined), static_cast<uint32_t>(full))
                << lead << " " << second << " " << third;
          }
        }
      }
    }
  }
}

// Three-byte characters take a short way through the bridge to GBK: each
// must come out as the code page encodes its unit, and a broken one as a
// mark a byte.
TEST(CodePage, EveryThreeByteCharacterBridgesToItsCodePageBytes) {
  for (char32_t code = 0x800; code <= 0xFFFF; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const std::string utf8 = {static_cast<char>(0xE0 | (code >> 12)),
                              static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (code & 0x3F))};
    ASSERT_EQ(platform::Utf8ToGbk(utf8), ToGbk(std::u16string(1, static_cast<char16_t>(code))))
        << static_cast<uint32_t>(code);
  }
  EXPECT_EQ(platform::Utf8ToGbk("\xE4\xB8"
                                "a"),
            "??a");
  EXPECT_EQ(platform::Utf8ToGbk("\xE4\xB8"), "??");
}

TEST(MessageBox, ResponderSeesTextCaptionAndStyle) {
  platform::ClearMessageBoxLog();
  platform::SetMessageBoxResponder([](const platform::MessageBoxCall&) { return IDNO; });
  EXPECT_EQ(MessageBoxA(nullptr, "text", "cap", MB_YESNO | MB_ICONQUESTION), IDNO);
  platform::SetMessageBoxResponder(nullptr);
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_EQ(platform::MessageBoxLog()[0].text, "text");
  EXPECT_EQ(platform::MessageBoxLog()[0].caption, "cap");
  EXPECT_EQ(platform::MessageBoxLog()[0].style, MB_YESNO | MB_ICONQUESTION);
}

TEST(Heap, FailureThresholdMakesLargeRequestsFail) {
  platform::SetHeapFailureThreshold(1000);
  EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 1000), nullptr);
  void* small = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 10);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(static_cast<char*>(small)[9], 0);
  EXPECT_EQ(HeapReAlloc(GetProcessHeap(), 0, small, 2000), nullptr);
  platform::SetHeapFailureThreshold(0);
  HeapFree(GetProcessHeap(), 0, small);
}

}  // namespace

namespace {

TEST(Heap, SmallBlocksKeepTheirContentsThroughGrowthAndReuse) {
  HANDLE heap = GetProcessHeap();
  std::vector<char*> blocks;
  for (int i = 0; i < 1000; ++i) {
    auto* p = static_cast<char*>(HeapAlloc(heap, 0, static_cast<SIZE_T>(1 + i % 16)));
    ASSERT_NE(p, nullptr);
    std::memset(p, 'a' + i % 26, static_cast<size_t>(1 + i % 16));
    blocks.push_back(p);
  }
  for (size_t i = 0; i < blocks.size(); ++i)
    EXPECT_EQ(blocks[i][i % 16], static_cast<char>('a' + i % 26)) << i;
  // Growing a small block past its class keeps what it held.
  auto* grown = static_cast<char*>(HeapReAlloc(heap, 0, blocks[15], 100));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(std::string(grown, 16), std::string(16, 'p'));
  blocks[15] = grown;
  for (char* p : blocks) HeapFree(heap, 0, p);
  // Freed blocks are handed out again without harm.
  auto* again = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 8));
  EXPECT_EQ(std::string(again, 8), std::string(8, '\0'));
  HeapFree(heap, 0, again);
}

}  // namespace
