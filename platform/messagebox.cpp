// Message boxes: recorded, then answered by the test's responder or shown
// by the backend (the headless one writes them to standard error and
// answers OK).
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

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  platform::MessageBoxCall call{owner, text ? text : "", caption ? caption : "", type};
  Log().push_back(call);
  if (g_responder) return g_responder(call);
  return platform::CurrentBackend().ShowMessageBox(owner, call.text, call.caption, type);
}
