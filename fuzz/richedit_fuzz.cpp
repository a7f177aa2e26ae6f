// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: a rich edit box streamed in from arbitrary bytes, as plain
// text and as RTF, in chunks of a size the input chooses; streaming out must
// then give text without a lone line feed (line breaks come out as CR LF).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/require.h"
#include "platform/win32.h"

namespace {

struct Stream {
  const uint8_t* data;
  size_t size;
  size_t at;
  LONG chunk;
  std::string out;
};

DWORD ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  auto* s = reinterpret_cast<Stream*>(cookie);
  size_t n = std::min<size_t>(
      {static_cast<size_t>(bytes), static_cast<size_t>(s->chunk), s->size - s->at});
  std::memcpy(buffer, s->data + s->at, n);
  s->at += n;
  *done = static_cast<LONG>(n);
  return 0;
}

DWORD WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  reinterpret_cast<Stream*>(cookie)->out.append(reinterpret_cast<char*>(buffer),
                                                static_cast<size_t>(bytes));
  *done = bytes;
  return 0;
}

// One box for the whole run: creating windows per input would only measure
// the window tree.
HWND Box() {
  static HWND box = [] {
    LoadLibraryA("RICHED20.DLL");
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.lpszClassName = "FuzzFrame";
    RegisterClassA(&frameClass);
    HWND frame = CreateWindowExA(0, "FuzzFrame", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    return CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | 0x00201044, 0, 0, 50, 50, frame,
                           nullptr, nullptr, nullptr);
  }();
  return box;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const WPARAM format = (data[0] & 1) != 0 ? SF_RTF : SF_TEXT;
  Stream in{data + 2, size - 2, 0, static_cast<LONG>(data[1] % 64 + 1), {}};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&in), 0, ReadChunk};
  HWND box = Box();
  SendMessageA(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  SendMessageA(box, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
  Stream out{nullptr, 0, 0, 0, {}};
  EDITSTREAM back{reinterpret_cast<DWORD_PTR>(&out), 0, WriteChunk};
  SendMessageA(box, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&back));
  for (size_t k = 0; k < out.out.size(); ++k)
    fuzz::Require(out.out[k] != '\n' || (k > 0 && out.out[k - 1] == '\r'),
                  "a line feed came out without its carriage return");
  return 0;
}
