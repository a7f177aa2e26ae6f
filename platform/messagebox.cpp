// Headless message boxes: recorded, then answered by the test's responder or
// written to standard error and answered OK.
#include <cstdio>

#include "platform/platform.h"

namespace {
platform::MessageBoxResponder g_responder;
std::vector<platform::MessageBoxCall>& Log() {
  static std::vector<platform::MessageBoxCall> log;
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

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  platform::MessageBoxCall call{owner, text ? text : "", caption ? caption : "", type};
  Log().push_back(call);
  if (g_responder) return g_responder(call);
  std::fprintf(stderr, "[%s] %s\n", platform::GbkToUtf8(call.caption).c_str(),
               platform::GbkToUtf8(call.text).c_str());
  std::fflush(stderr);
  return IDOK;
}
