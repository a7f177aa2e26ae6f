// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the window tests: a fixture that runs each test against every
// backend the build has, and a log of the messages windows receive, in the
// manner of Windows' own message-sequence tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"

namespace platform_test {

struct Message {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Message& other) const {
    return window == other.window && message == other.message && wParam == other.wParam &&
           lParam == other.lParam;
  }
};
// Only the window and the message matter.
struct Seen {
  HWND window;
  UINT message;
  bool operator==(const Seen& other) const {
    return window == other.window && message == other.message;
  }
};
std::ostream& operator<<(std::ostream& out, const Seen& seen);
std::ostream& operator<<(std::ostream& out, const Message& message);

struct BackendCase {
  std::string name;
  platform::BackendFactory factory;
  // The backend's own input module; null keeps the one SetBackend installs.
  std::function<std::unique_ptr<platform::InputModule>()> input;
};
// Every backend the tests run against; a backend joins by adding itself here.
std::vector<BackendCase> TestBackends();

class WindowTest : public ::testing::TestWithParam<BackendCase> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A window of the logging class ("Logged"), or of a logging superclass of
  // a system class ("EDIT", "BUTTON", ...), whose messages are recorded.
  HWND Make(const char* base, DWORD style, HWND parent = nullptr, int id = 0, const char* text = "",
            RECT rect = {10, 20, 310, 220}, DWORD exStyle = 0);
  HWND Frame(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);

  // Messages received since the last Clear, all or only those listed.
  std::vector<Message> Log() const;
  std::vector<Seen> Sequence(const std::vector<UINT>& only = {}) const;
  std::vector<Message> Of(HWND window, UINT message) const;
  std::vector<WORD> Notifications(HWND parent) const;  // WM_COMMAND codes, in order
  void Clear();
  void Pump();

  std::string Text(HWND window);
  platform::InputModule& Input() { return platform::Input(); }
};

std::string Gbk(const std::string& utf8);

}  // namespace platform_test
