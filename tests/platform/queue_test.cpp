// SPDX-License-Identifier: GPL-3.0-or-later
// The message queue: posting from any thread, peeking with filters,
// waiting, translating keys and the quit message.
#include <chrono>
#include <thread>

#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

using Queue = WindowTest;

TEST_P(Queue, PostedMessagesComeOutInOrderThroughTheFilters) {
  HWND a = Frame(WS_POPUP);
  HWND b = Frame(WS_POPUP);
  EXPECT_TRUE(PostMessageA(a, WM_APP, 1, 0));
  EXPECT_TRUE(PostMessageA(b, WM_APP + 1, 2, 0));
  EXPECT_TRUE(PostMessageA(a, WM_APP + 2, 3, 0));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_APP, 0, 0));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 2, WM_APP + 2, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_EQ(Of(a, WM_APP).size(), 1u);

  // Messages for a window that goes are dropped with it.
  DestroyWindow(b);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_P(Queue, QuitComesAfterPostedMessagesWithItsCode) {
  HWND a = Frame(WS_POPUP);
  PostMessageA(a, WM_APP, 0, 0);
  PostQuitMessage(7);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_APP);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_NOREMOVE));  // whatever the filter
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_P(Queue, PostingFromAnotherThreadWakesAWaitingLoop) {
  HWND a = Frame(WS_POPUP);
  std::thread poster([a] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    PostMessageA(a, WM_APP, 5, 0);
    PostQuitMessage(3);
  });
  MSG msg;
  std::vector<UINT> seen;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    seen.push_back(msg.message);
    DispatchMessageA(&msg);
  }
  poster.join();
  EXPECT_EQ(seen, std::vector<UINT>{WM_APP});
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_NE(GetCurrentThreadId(), 0u);
}

TEST_P(Queue, KeysTranslateToCharactersReadBeforeLaterKeys) {
  HWND frame = Frame();
  HWND child = Make("Logged", WS_CHILD | WS_VISIBLE, frame);
  SetFocus(child);
  Clear();
  Input().TypeText("aB1");
  Input().PressKey(VK_TAB, MK_SHIFT);
  Pump();
  std::vector<Message> chars = Of(child, WM_CHAR);
  ASSERT_EQ(chars.size(), 4u);
  EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('B'));
  EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>('1'));
  EXPECT_EQ(chars[3].wParam, static_cast<WPARAM>('\t'));
  // Each character follows its own key-down, before the key-up.
  std::vector<Seen> order = Sequence({WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0].message, WM_KEYDOWN);
  EXPECT_EQ(order[1].message, WM_CHAR);
  EXPECT_EQ(order[2].message, WM_KEYUP);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // released again

  // Alt+key arrives as system keys and characters.
  Clear();
  Input().PressKey('X', platform::kAltModifier);
  Pump();
  EXPECT_EQ(Of(child, WM_SYSCHAR).size(), 1u);
  EXPECT_EQ(Of(child, WM_SYSCHAR)[0].wParam, static_cast<WPARAM>('x'));
}

// The one key-stroke wrapping both backends' input uses: a key comes wrapped
// in the modifiers' key-downs and key-ups, innermost last; with Alt held
// every key is a system key until Alt goes up, and each message carries the
// repeat count, context and transition bits.
TEST_P(Queue, ModifiersWrapAKeyStrokeWithTheirOwnKeys) {
  HWND frame = Frame();
  SetFocus(frame);
  Clear();
  struct Key {
    UINT message;
    WPARAM key;
    LPARAM data;
    bool operator==(const Key& other) const {
      return message == other.message && key == other.key && data == other.data;
    }
  };
  std::vector<Key> keys;
  auto record = [&](MSG& msg) {
    keys.push_back({msg.message, msg.wParam, msg.lParam});
    return true;
  };
  const LPARAM kDown = 1, kUp = static_cast<LPARAM>(0xC0000001u), kAlt = 1 << 29;

  platform::PostKeyStroke(VK_HOME, MK_CONTROL | MK_SHIFT);
  Input().PumpUntilIdle(record);
  EXPECT_EQ(keys, (std::vector<Key>{{WM_KEYDOWN, VK_CONTROL, kDown},
                                    {WM_KEYDOWN, VK_SHIFT, kDown},
                                    {WM_KEYDOWN, VK_HOME, kDown},
                                    {WM_KEYUP, VK_HOME, kUp},
                                    {WM_KEYUP, VK_SHIFT, kUp},
                                    {WM_KEYUP, VK_CONTROL, kUp}}));

  keys.clear();
  platform::PostKeyStroke('F', MK_SHIFT | platform::kAltModifier);
  Input().PumpUntilIdle(record);
  EXPECT_EQ(keys, (std::vector<Key>{{WM_SYSKEYDOWN, VK_SHIFT, kDown | kAlt},
                                    {WM_SYSKEYDOWN, VK_MENU, kDown | kAlt},
                                    {WM_SYSKEYDOWN, 'F', kDown | kAlt},
                                    {WM_SYSKEYUP, 'F', kUp | kAlt},
                                    {WM_KEYUP, VK_MENU, kUp},
                                    {WM_SYSKEYUP, VK_SHIFT, kUp | kAlt}}));
}

TEST_P(Queue, PreTranslationSeesKeysBeforeTheWindow) {
  HWND frame = Frame();
  SetFocus(frame);
  Clear();
  Input().PressKey(VK_RETURN);
  std::vector<UINT> offered;
  Input().PumpUntilIdle([&](MSG& msg) {
    offered.push_back(msg.message);
    return msg.message == WM_KEYDOWN;  // swallowed: no character follows
  });
  EXPECT_EQ(offered, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
  EXPECT_TRUE(Of(frame, WM_KEYDOWN).empty());
  EXPECT_TRUE(Of(frame, WM_CHAR).empty());
  EXPECT_EQ(Of(frame, WM_KEYUP).size(), 1u);
}

TEST_P(Queue, ClicksActivateAndSkipDisabledWindows) {
  HWND one = Frame();
  HWND child = Make("Logged", WS_CHILD | WS_VISIBLE, one);
  HWND two = Frame();
  ASSERT_EQ(GetActiveWindow(), two);
  Input().Click(child);
  Pump();
  EXPECT_EQ(GetActiveWindow(), one);
  EXPECT_EQ(Of(one, WM_ACTIVATE).back().wParam, static_cast<WPARAM>(WA_CLICKACTIVE));
  EXPECT_EQ(Of(child, WM_LBUTTONDOWN).size(), 1u);
  EnableWindow(child, FALSE);
  Clear();
  Input().Click(child);
  Pump();
  EXPECT_TRUE(Of(child, WM_LBUTTONDOWN).empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, Queue, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
