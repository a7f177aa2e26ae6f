// SPDX-License-Identifier: GPL-3.0-or-later
// The input module that acts as a person would through the queue: clicks
// posted as mouse messages, text typed as keys (or as an input method gives
// it), keys pressed with their modifiers.
#include "platform/backend.h"
#include "platform/platform.h"

namespace platform {
namespace {

struct KeyStroke {
  int key = 0;
  bool shift = false;
};

// The key and Shift state that type an ASCII character on a US keyboard.
KeyStroke StrokeFor(char c) {
  static const char kPlain[] = "0123456789 ;=,-./`[\\]'";
  static const char kShifted[] = ")!@#$%^&*( :+<_>?~{|}\"";
  static const int kKeys[] = {'0',  '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',  VK_SPACE,
                              0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
  if (c >= 'a' && c <= 'z') return {c - 32, false};
  if (c >= 'A' && c <= 'Z') return {c, true};
  if (c == '\n' || c == '\r') return {VK_RETURN, false};
  if (c == '\t') return {VK_TAB, false};
  if (c == '\b') return {VK_BACK, false};
  for (size_t i = 0; kPlain[i] != '\0'; ++i) {
    if (kPlain[i] == c) return {kKeys[i], false};
    if (kShifted[i] == c) return {kKeys[i], true};
  }
  return {};
}

class QueueInput final : public InputModule {
 public:
  void Click(HWND window) override {
    RECT client{};
    GetClientRect(window, &client);
    LPARAM at =
        MAKELPARAM(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
  }

  void TypeText(const std::string& utf8) override {
    for (char c : Utf8ToGbk(utf8)) {
      if (c == '\r') continue;  // a line break is one Enter
      KeyStroke stroke = (c & 0x80) ? KeyStroke{} : StrokeFor(c);
      if (stroke.key != 0) {
        PressKey(stroke.key, stroke.shift ? MK_SHIFT : 0);
      } else {
        // What an input method gives an ANSI window: the GBK bytes one by one.
        PostKeyInput(WM_CHAR, static_cast<unsigned char>(c), 1);
      }
    }
  }

  void PressKey(int virtualKey, unsigned modifiers) override {
    PostKeyStroke(virtualKey, modifiers);
  }

  void ChooseItem(HWND comboBox, int index) override {
    Click(comboBox);
    PostItemChosen(comboBox, index);
  }

  void CloseFromFrame(HWND window) override { PeerCloseRequested(window); }

  void ClickMenuItem(HWND window, const std::vector<int>& path) override {
    if (path.empty()) return;
    PeerMenuOpened(window, std::vector<int>(path.begin(), path.end() - 1));
    HMENU menu = GetMenu(window);
    for (size_t i = 0; i + 1 < path.size(); ++i) menu = GetSubMenu(menu, path[i]);
    UINT id = GetMenuItemID(menu, path.back());
    if (id != static_cast<UINT>(-1) && id != 0) {
      PeerMenuChosen(window, id);
    } else {
      PeerMenuClosed(window);  // nothing to choose there: the menus close unused
    }
  }

  void DropFiles(HWND window, const std::vector<std::string>& paths, POINT at) override {
    PeerFilesDropped(window, paths, at);
  }

  void PumpUntilIdle(const std::function<bool(MSG&)>& preTranslate) override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // left for the loop that ends on it
        return;
      }
      if (preTranslate && preTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
};

}  // namespace

std::unique_ptr<InputModule> CreateQueueInput() {
  return std::make_unique<QueueInput>();
}

}  // namespace platform
