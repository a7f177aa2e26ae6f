// SPDX-License-Identifier: GPL-3.0-or-later
// The rich edit control: loading its library, streaming large texts in
// and out in small chunks, RTF round trips and its opt-in notifications.
#include <cstring>

#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

// A stream over a string that hands out or takes at most `chunk` bytes a call.
struct Stream {
  std::string data;
  size_t at = 0;
  LONG chunk = 1000;
  int calls = 0;
  DWORD failAfter = 0;  // calls before the callback reports an error; 0 never
};

DWORD StreamFrom(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  auto* s = reinterpret_cast<Stream*>(cookie);
  if (s->failAfter != 0 && ++s->calls > static_cast<int>(s->failAfter)) return 99;
  LONG n = std::min<LONG>({bytes, s->chunk, static_cast<LONG>(s->data.size() - s->at)});
  std::memcpy(buffer, s->data.data() + s->at, static_cast<size_t>(n));
  s->at += static_cast<size_t>(n);
  *done = n;
  return 0;
}

DWORD StreamTo(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  auto* s = reinterpret_cast<Stream*>(cookie);
  ++s->calls;
  LONG n = std::min(bytes, s->chunk);
  s->data.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
  *done = n;
  return 0;
}

// Claims more than it was offered; the control must not read past its buffer.
DWORD Overclaiming(DWORD_PTR, LPBYTE buffer, LONG bytes, LONG* done) {
  static bool once = false;  // one oversized answer, then the end
  once = !once;
  if (!once) {
    *done = 0;
    return 0;
  }
  std::memset(buffer, 'q', static_cast<size_t>(bytes));
  *done = bytes * 4;
  return 0;
}

class RichEdit : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    library_ = LoadLibraryA("RICHED20.DLL");
    ASSERT_NE(library_, nullptr);
    frame_ = Frame();
    box_ = Make("RichEdit20A", WS_CHILD | WS_VISIBLE | 0x00201044, frame_, 6);
    ASSERT_NE(box_, nullptr);
    SendMessageA(box_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    Clear();
  }
  void TearDown() override {
    FreeLibrary(library_);
    WindowTest::TearDown();
  }
  LRESULT In(const std::string& data, WPARAM format, LONG chunk = 1000, Stream* stream = nullptr) {
    Stream local{data, 0, chunk};
    if (stream == nullptr) stream = &local;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(stream), 0, StreamFrom};
    LRESULT read = SendMessageA(box_, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    error_ = es.dwError;
    return read;
  }
  std::string Out(WPARAM format, LONG chunk = 1000, int* calls = nullptr) {
    Stream stream{"", 0, chunk};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&stream), 0, StreamTo};
    SendMessageA(box_, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
    if (calls != nullptr) *calls = stream.calls;
    return stream.data;
  }
  HMODULE library_ = nullptr;
  HWND frame_ = nullptr;
  HWND box_ = nullptr;
  DWORD error_ = 0;
};

TEST_P(RichEdit, ClassesExistOnlyWhileTheirLibraryIsLoaded) {
  EXPECT_FALSE(GetClassInfoA(nullptr, "RICHEDIT", nullptr));
  platform::SetLibraryLoadFails("RICHED20.DLL", true);
  EXPECT_EQ(LoadLibraryA("riched20"), nullptr);
  platform::SetLibraryLoadFails("RICHED20.DLL", false);
  HMODULE old = LoadLibraryA("RICHED32.DLL");
  ASSERT_NE(old, nullptr);
  HWND fallback =
      CreateWindowExA(0, "RICHEDIT", "", WS_CHILD, 0, 0, 10, 10, frame_, nullptr, nullptr, nullptr);
  EXPECT_NE(fallback, nullptr);
  EXPECT_TRUE(FreeLibrary(old));
  EXPECT_EQ(
      CreateWindowExA(0, "RICHEDIT", "", WS_CHILD, 0, 0, 10, 10, frame_, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_TRUE(IsWindow(fallback));  // a box already made keeps working
  EXPECT_FALSE(FreeLibrary(old));
  EXPECT_EQ(LoadLibraryA("NOSUCH.DLL"), nullptr);
}

TEST_P(RichEdit, AMegabyteStreamsInAndOutInSmallChunks) {
  std::string line = Gbk("汉字 text {with} \\ braces\t");
  std::string text;
  while (text.size() < (1u << 20)) text += line + "\n";
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  LRESULT read = In(text, SF_TEXT, 777);
  EXPECT_GT(read, 0);
  EXPECT_EQ(error_, 0u);
  int calls = 0;
  std::string out = Out(SF_TEXT, 1000, &calls);
  EXPECT_EQ(out, crlf);  // every line break leaves as CR LF
  EXPECT_GT(calls, static_cast<int>(crlf.size() / 1000));
  EXPECT_EQ(GetWindowTextLengthA(box_), static_cast<int>(crlf.size()));

  // Through RTF, in chunks that split escapes and double bytes.
  std::string rtf = Out(SF_RTF, 333);
  EXPECT_EQ(rtf.compare(0, 6, "{\\rtf1"), 0);
  SetWindowTextA(box_, "");
  In(rtf, SF_RTF, 5);
  EXPECT_EQ(Out(SF_TEXT), crlf);
}

TEST_P(RichEdit, RtfCarriesGbkTextAndSkipsWhatItDoesNotShow) {
  In(Gbk("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil 宋体;}}{\\*\\generator x;}"
         "\\pard\\f0 \\'d6\\'d0\\'ce\\'c4\\par\n\\u22269?x\\line y\\}}"),
     SF_RTF);
  EXPECT_EQ(Out(SF_TEXT), Gbk("中文\r\n国x\r\ny}"));
  In("{\\rtf-not really", SF_TEXT);  // plain text is taken as it comes
  EXPECT_EQ(Out(SF_TEXT), "{\\rtf-not really");
  In("plain", SF_RTF);  // RTF asked for, plain text given
  EXPECT_EQ(Out(SF_TEXT), "plain");
  In("-sel-", SF_TEXT | SFF_SELECTION);
  EXPECT_EQ(Out(SF_TEXT), "-sel-plain");
}

TEST_P(RichEdit, StreamErrorsAreReportedAndOversizedAnswersClamped) {
  Stream failing{std::string(10000, 'a'), 0, 1000, 0, 3};
  In("", SF_TEXT, 1000, &failing);
  EXPECT_EQ(error_, 99u);
  EXPECT_EQ(GetWindowTextLengthA(box_), 3000);  // what arrived before the error

  EDITSTREAM es{0, 0, Overclaiming};
  LRESULT read = SendMessageA(box_, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(read, 4096);
  EXPECT_EQ(GetWindowTextLengthA(box_), 4096);
}

TEST_P(RichEdit, ChangeNotificationsOnlyWhenAskedFor) {
  SetFocus(box_);
  Clear();
  Input().TypeText("ab");
  SetWindowTextA(box_, "x");
  Pump();
  EXPECT_TRUE(Notifications(frame_).empty() ||
              Notifications(frame_) == (std::vector<WORD>{EN_SETFOCUS}));
  EXPECT_EQ(SendMessageA(box_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE), 0);
  Clear();
  Input().TypeText("c");
  Pump();
  SendMessageA(box_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
  In("streamed", SF_TEXT);
  EXPECT_EQ(Notifications(frame_), (std::vector<WORD>{EN_CHANGE, EN_CHANGE, EN_CHANGE}));
  Clear();
  CHARRANGE all{0, -1};
  EXPECT_EQ(SendMessageA(box_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all)), 8);
  ASSERT_EQ(Of(frame_, WM_NOTIFY).size(), 1u);
  EXPECT_EQ(Of(frame_, WM_NOTIFY)[0].wParam, 6u);
}

TEST_P(RichEdit, TypingHonoursLimitReadOnlyAndLineBreaks) {
  SetFocus(box_);
  Input().TypeText("一\n二");
  Pump();
  EXPECT_EQ(Text(box_), Gbk("一\r\n二"));
  CHARRANGE sel{};
  SendMessageA(box_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  EXPECT_EQ(sel.cpMin, 3);  // characters, a break counting one
  EXPECT_EQ(sel.cpMax, 3);
  EXPECT_TRUE(SendMessageA(box_, EM_GETMODIFY, 0, 0));
  SendMessageA(box_, EM_SETMODIFY, 0, 0);
  EXPECT_FALSE(SendMessageA(box_, EM_GETMODIFY, 0, 0));

  SendMessageA(box_, EM_EXLIMITTEXT, 0, 4);
  Input().TypeText("xyz");
  Pump();
  EXPECT_EQ(Text(box_), Gbk("一\r\n二x"));
  SendMessageA(box_, EM_SETOPTIONS, ECOOP_OR, ECO_READONLY | ECO_AUTOWORDSELECTION);
  EXPECT_TRUE(GetWindowLongA(box_, GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(SendMessageA(box_, EM_GETOPTIONS, 0, 0) & ECO_AUTOWORDSELECTION);
  Input().TypeText("\b");
  Pump();
  EXPECT_EQ(Text(box_), Gbk("一\r\n二x"));
}

// The box keeps a written text in its own form, so what it gives back must
// be what the character-by-character round trip gives: breaks of every kind
// as CR LF, a byte that starts no character as "?", and lengths in
// characters. A change made after the write shows in the next read.
TEST_P(RichEdit, AWholeTextReadsBackAsItsCharactersDo) {
  const std::string written = Gbk("一\r二\n三\r\n") + "\x81\r" + Gbk("末") + "\x81\n\x81";
  const std::string expected = Gbk("一\r\n二\r\n三\r\n") + "?\r\n" + Gbk("末") + "?\r\n?";
  for (bool streamed : {false, true}) {
    if (streamed)
      EXPECT_EQ(In(written, SF_TEXT, 3), 12);
    else
      SetWindowTextA(box_, written.c_str());
    EXPECT_EQ(Out(SF_TEXT), expected);
    EXPECT_EQ(Text(box_), expected);
    EXPECT_EQ(GetWindowTextLengthA(box_), static_cast<int>(expected.size()));
    EXPECT_EQ(SendMessageA(box_, EM_GETTEXTLENGTHEX, 0, 0), 12);
  }
  SetFocus(box_);
  SendMessageA(box_, EM_SETSEL, 0, 0);
  Input().TypeText("x");
  Pump();
  EXPECT_EQ(Out(SF_TEXT), "x" + expected);
  CHARRANGE tail{5, -1};
  // The end counts the typed character.
  EXPECT_EQ(SendMessageA(box_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&tail)), 13);
  SendMessageA(box_, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("y"));
  EXPECT_EQ(Out(SF_TEXT), "x" + Gbk("一\r\n二\r\n") + "y");
  EXPECT_EQ(Out(SF_TEXT | SFF_SELECTION), "");
}

// Every pair of bytes a lead byte can start, read back as the code page
// calls convert it there and back, one character at a time.
TEST_P(RichEdit, EveryDoubleByteReadsBackAsTheCodePageConvertsIt) {
  std::string written;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      written += static_cast<char>(lead);
      written += static_cast<char>(trail);
    }
  }
  std::u16string wide(written.size(), u'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, written.data(),
                                                      static_cast<int>(written.size()), wide.data(),
                                                      static_cast<int>(wide.size()))));
  std::string expected(wide.size() * 2, '\0');
  expected.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), expected.data(),
                          static_cast<int>(expected.size()), nullptr, nullptr)));
  EXPECT_EQ(In(written, SF_TEXT, 4095), static_cast<LRESULT>(wide.size()));
  EXPECT_EQ(Out(SF_TEXT), expected);
}

TEST_P(RichEdit, ZoomIsARatioBetweenOneSixtyFourthAndSixtyFour) {
  int numerator = -1, denominator = -1;
  EXPECT_TRUE(SendMessageA(box_, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                           reinterpret_cast<LPARAM>(&denominator)));
  EXPECT_EQ(numerator, 0);  // no zoom yet
  EXPECT_EQ(denominator, 0);
  EXPECT_TRUE(SendMessageA(box_, EM_SETZOOM, 3, 2));
  // Out of range or of sign: refused, the ratio stays.
  for (auto [n, d] : {std::pair{64, 1}, {1, 64}, {0, 5}, {5, 0}, {-3, -2}})
    EXPECT_FALSE(SendMessageA(box_, EM_SETZOOM, static_cast<WPARAM>(n), d)) << n << "/" << d;
  EXPECT_TRUE(SendMessageA(box_, EM_SETZOOM, 63, 1));
  EXPECT_TRUE(SendMessageA(box_, EM_SETZOOM, 2, 127));
  SendMessageA(box_, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
               reinterpret_cast<LPARAM>(&denominator));
  EXPECT_EQ(numerator, 2);
  EXPECT_EQ(denominator, 127);
  // The user's zoom in the peer is what the control answers next.
  platform::PeerZoomed(box_, 11, 10);
  platform::PeerZoomed(box_, 100, 1);  // not a zoom the control takes
  SendMessageA(box_, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
               reinterpret_cast<LPARAM>(&denominator));
  EXPECT_EQ(numerator, 11);
  EXPECT_EQ(denominator, 10);
  EXPECT_TRUE(SendMessageA(box_, EM_SETZOOM, 0, 0));  // off again
  SendMessageA(box_, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
               reinterpret_cast<LPARAM>(&denominator));
  EXPECT_EQ(numerator + denominator, 0);
}

TEST_P(RichEdit, DefaultFormatAndBackgroundAreKept) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = 0xF800001F;
  format.dwEffects = CFE_AUTOCOLOR;
  format.yHeight = 180;
  format.bCharSet = 1;
  std::strcpy(format.szFaceName, Gbk("宋体").c_str());
  EXPECT_TRUE(SendMessageA(box_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)));
  CHARFORMATA read{};
  read.cbSize = sizeof read;
  SendMessageA(box_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&read));
  EXPECT_EQ(read.yHeight, 180);
  EXPECT_STREQ(read.szFaceName, Gbk("宋体").c_str());
  format.cbSize = 10;  // too small a record is refused
  EXPECT_FALSE(
      SendMessageA(box_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)));
  SendMessageA(box_, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(box_, EM_SETBKGNDCOLOR, 1, 0), static_cast<LRESULT>(RGB(1, 2, 3)));
}

INSTANTIATE_TEST_SUITE_P(Backends, RichEdit, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
