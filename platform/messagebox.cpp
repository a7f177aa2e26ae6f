// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes: recorded, then answered by the test's responder or shown
// by the backend (the headless one writes them to standard error and
// answers OK).
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {
platform::MessageBoxResponder g_responder;  // one responder per process, set by tests
std::vector<platform::MessageBoxCall>& Log() {
  static std::vector<platform::MessageBoxCall> log;  // every box of the process, for tests
  return log;
}
}  // namespace

namespace platform {
void SetMessageBoxResponder(MessageBoxResponder responder) {
  g_responder = std::move(responder);
}
const std::vector<MessageBoxCall>& MessageBoxLog() {
  return Log();
}
void ClearMessageBoxLog() {
  Log().clear();
}
}  // namespace platform

namespace {

// Writes GBK `text` to standard error as UTF-8 through buffers on the stack:
// the box that reports exhausted memory must show without any. A text longer
// than the buffer is cut.
void WriteGbkWithoutMemory(const char* text) {
  WCHAR units[1024];
  const int count =
      MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(std::strlen(text)), units, 1023);
  char utf8[sizeof units / sizeof units[0] * 3];
  char* end = utf8;
  for (int i = 0; i < count; ++i) end = platform::EncodeUtf8(units[i], end);
  std::fwrite(utf8, 1, static_cast<size_t>(end - utf8), stderr);
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  text = text ? text : "";
  caption = caption ? caption : "";
  try {
    platform::MessageBoxCall call{owner, text, caption, type};
    Log().push_back(call);
    if (g_responder) return g_responder(call);
    return platform::CurrentBackend().ShowMessageBox(owner, call.text, call.caption, type);
  } catch (const std::bad_alloc&) {
    // Out of memory: no record and no responder, just the text.
    std::fputc('[', stderr);
    WriteGbkWithoutMemory(caption);
    std::fputs("] ", stderr);
    WriteGbkWithoutMemory(text);
    std::fputc('\n', stderr);
  }
  std::fflush(stderr);
  return IDOK;
}
