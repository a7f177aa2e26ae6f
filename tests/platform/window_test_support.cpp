// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/platform/window_test_support.h"

#ifdef MOLVANE_TEST_QT
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_input.h"
#endif
#include <map>
#include <ostream>

namespace platform_test {
namespace {

std::vector<Message>& Recorded() {
  static std::vector<Message> log;  // the messages of the running test
  return log;
}

std::map<std::string, WNDPROC>& BaseProcs() {
  static std::map<std::string, WNDPROC> procs;  // logging class name -> base procedure
  return procs;
}

LRESULT Logging(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Recorded().push_back({window, message, wParam, lParam});
  char name[64];
  GetClassNameA(window, name, sizeof name);
  WNDPROC base = BaseProcs()[name];
  return CallWindowProcA(base != nullptr ? base : DefWindowProcA, window, message, wParam, lParam);
}

std::string LoggingClass(const char* base) {
  std::string name = std::string("Logged.") + base;
  if (GetClassInfoA(nullptr, name.c_str(), nullptr)) return name;
  WNDCLASSA wc{};
  if (std::string(base) != "Logged") GetClassInfoA(nullptr, base, &wc);
  BaseProcs()[name] = wc.lpfnWndProc;
  wc.lpfnWndProc = Logging;
  wc.lpszClassName = name.c_str();
  RegisterClassA(&wc);
  return name;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << "{" << seen.window << ", 0x" << std::hex << seen.message << std::dec << "}";
}

std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << "{" << m.window << ", 0x" << std::hex << m.message << ", 0x" << m.wParam << ", 0x"
             << m.lParam << std::dec << "}";
}

std::vector<BackendCase> TestBackends() {
#ifdef MOLVANE_TEST_QT
  // The Qt suite runs the same tests on Qt's offscreen platform.
  return {{"qt", [] { return platform::CreateQtBackend(); },
           [] { return platform::CreateQtInputModule(); }}};
#else
  return {{"headless", [] { return platform::CreateHeadlessBackend(); }, nullptr}};
#endif
}

void WindowTest::SetUp() {
  platform::SetBackend(GetParam().factory());
  if (GetParam().input) platform::SetInputModule(GetParam().input());
  Clear();
}

void WindowTest::TearDown() {
  platform::SetBackend(GetParam().factory());  // destroys what the test left
  Clear();
}

HWND WindowTest::Make(const char* base, DWORD style, HWND parent, int id, const char* text,
                      RECT rect, DWORD exStyle) {
  std::string cls = LoggingClass(base);
  return CreateWindowExA(exStyle, cls.c_str(), text, style, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

HWND WindowTest::Frame(DWORD style) {
  return Make("Logged", style);
}

std::vector<Message> WindowTest::Log() const {
  return Recorded();
}

std::vector<Seen> WindowTest::Sequence(const std::vector<UINT>& only) const {
  std::vector<Seen> seen;
  for (const Message& m : Recorded()) {
    bool wanted = only.empty();
    for (UINT message : only) wanted = wanted || m.message == message;
    if (wanted) seen.push_back({m.window, m.message});
  }
  return seen;
}

std::vector<Message> WindowTest::Of(HWND window, UINT message) const {
  std::vector<Message> found;
  for (const Message& m : Recorded())
    if (m.window == window && m.message == message) found.push_back(m);
  return found;
}

std::vector<WORD> WindowTest::Notifications(HWND parent) const {
  std::vector<WORD> codes;
  for (const Message& m : Of(parent, WM_COMMAND)) codes.push_back(HIWORD(m.wParam));
  return codes;
}

void WindowTest::Clear() {
  Recorded().clear();
}

void WindowTest::Pump() {
  Input().PumpUntilIdle();
}

std::string WindowTest::Text(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8);
}

}  // namespace platform_test
