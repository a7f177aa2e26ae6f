// Choosing the backend, the headless backend (peers in memory), the input
// module that types and clicks through the queue, and the calls by which a
// backend reports what its toolkit did on its own.
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform {
namespace {

// ---- Headless backend ----
struct Peer {
  PeerSpec shape;
  // A text is kept in the form it was last written in (UTF-16, or GBK with
  // CR LF breaks for a rich edit's whole text); the other form is made when
  // first read and kept until the next write.
  mutable std::u16string text;
  mutable std::string boxText;
  mutable bool textMade = true;
  mutable bool boxMade = false;
  size_t units = 0;
  CHARRANGE selection{0, 0};
  std::vector<std::u16string> items;
  int current = -1;
  bool visible = false;
  bool enabled = true;
  LOGFONTA font{};
  COLORREF background = 0;
};

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(SIZE screen) : screen_(screen) {}
  const char* Name() const override { return "headless"; }
  SIZE ScreenSize() const override { return screen_; }

  // Fixed metrics: a cell as high as the font's character height, no
  // leading, half as wide on average.
  TEXTMETRICA MeasureFont(const LOGFONTA& font) const override {
    LONG height = font.lfHeight < 0 ? -font.lfHeight : (font.lfHeight > 0 ? font.lfHeight : 16);
    TEXTMETRICA tm{};
    tm.tmHeight = height;
    tm.tmAscent = height - height / 8;
    tm.tmDescent = height / 8;
    tm.tmAveCharWidth = (height + 1) / 2;
    tm.tmMaxCharWidth = height;
    tm.tmWeight = font.lfWeight != 0 ? font.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmCharSet = font.lfCharSet;
    return tm;
  }

  void CreatePeer(HWND window, const PeerSpec& shape) override {
    Peer& peer = peers_[window];
    peer.shape = shape;
    peer.enabled = (shape.style & WS_DISABLED) == 0;
  }
  void UpdatePeer(HWND window, const PeerSpec& shape) override { At(window).shape = shape; }
  void DestroyPeer(HWND window) override { peers_.erase(window); }
  void PlacePeer(HWND window, const RECT& windowRect, const RECT& clientRect) override {
    At(window).shape.window = windowRect;
    At(window).shape.client = clientRect;
  }
  void ShowPeer(HWND window, bool visible) override { At(window).visible = visible; }
  void EnablePeer(HWND window, bool enabled) override { At(window).enabled = enabled; }
  void RestackPeer(HWND, HWND) override {}  // memory has no stacking to mirror
  void ReparentPeer(HWND window, HWND parent) override { At(window).shape.parent = parent; }
  void FocusPeer(HWND) override {}
  void ActivatePeer(HWND) override {}
  void SetPeerFont(HWND window, const LOGFONTA& font) override { At(window).font = font; }
  void SetPeerBackground(HWND window, COLORREF color) override { At(window).background = color; }

  std::u16string PeerText(HWND window) const override {
    const Peer& peer = At(window);
    if (!peer.textMade) {
      peer.text = core::ToPeerText(peer.boxText, true);
      peer.textMade = true;
    }
    return peer.text;
  }
  void SetPeerText(HWND window, const std::u16string& text) override {
    Peer& peer = At(window);
    peer.text = text;
    peer.textMade = true;
    std::string().swap(peer.boxText);
    peer.boxMade = false;
    Written(peer, text.size());
  }
  std::string PeerBoxText(HWND window) const override {
    const Peer& peer = At(window);
    if (!peer.boxMade) {
      peer.boxText = core::FromPeerText(peer.text, true);
      peer.boxMade = true;
    }
    return peer.boxText;
  }
  void SetPeerBoxText(HWND window, std::string text, size_t units) override {
    Peer& peer = At(window);
    peer.boxText = std::move(text);
    peer.boxMade = true;
    std::u16string().swap(peer.text);
    peer.textMade = false;
    Written(peer, units);
  }
  size_t PeerTextLength(HWND window) const override { return At(window).units; }
  CHARRANGE PeerSelection(HWND window) const override { return At(window).selection; }
  void SetPeerSelection(HWND window, CHARRANGE range) override { At(window).selection = range; }

  int ListCount(HWND window) const override { return static_cast<int>(At(window).items.size()); }
  std::u16string ListItem(HWND window, int index) const override {
    return At(window).items.at(static_cast<size_t>(index));
  }
  void InsertListItem(HWND window, int index, const std::u16string& text) override {
    Peer& peer = At(window);
    peer.items.insert(peer.items.begin() + index, text);
    if (peer.current >= index) ++peer.current;
  }
  void DeleteListItem(HWND window, int index) override {
    Peer& peer = At(window);
    peer.items.erase(peer.items.begin() + index);
    if (peer.current == index)
      peer.current = -1;
    else if (peer.current > index)
      --peer.current;
  }
  int ListSelection(HWND window) const override { return At(window).current; }
  void SetListSelection(HWND window, int index) override { At(window).current = index; }

  int ShowMessageBox(HWND, const std::string& text, const std::string& caption, UINT) override {
    std::fprintf(stderr, "[%s] %s\n", GbkToUtf8(caption).c_str(), GbkToUtf8(text).c_str());
    std::fflush(stderr);
    return IDOK;
  }

  void PollInput() override {}
  void WaitForInput() override {
    std::unique_lock<std::mutex> lock(mutex_);
    woken_.wait(lock, [this] { return wake_; });
    wake_ = false;
  }
  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      wake_ = true;
    }
    woken_.notify_one();
  }

 private:
  static void Written(Peer& peer, size_t units) {
    peer.units = units;
    LONG end = static_cast<LONG>(units);
    peer.selection = {std::min(peer.selection.cpMin, end), std::min(peer.selection.cpMax, end)};
  }
  Peer& At(HWND window) { return peers_.at(window); }
  const Peer& At(HWND window) const { return peers_.at(window); }

  SIZE screen_;
  std::map<HWND, Peer> peers_;
  std::mutex mutex_;
  std::condition_variable woken_;
  bool wake_ = false;
};

// ---- Input through the queue ----
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

LPARAM KeyData(bool down, bool alt) {
  LPARAM data = 1;
  if (alt) data |= 1 << 29;
  if (!down) data |= static_cast<LPARAM>(3u << 30);
  return data;
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
    bool alt = (modifiers & kAltModifier) != 0;
    std::vector<int> held;
    if (modifiers & MK_CONTROL) held.push_back(VK_CONTROL);
    if (modifiers & MK_SHIFT) held.push_back(VK_SHIFT);
    if (alt) held.push_back(VK_MENU);
    UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    for (int key : held)
      PostKeyInput(key == VK_MENU ? WM_SYSKEYDOWN : down, static_cast<WPARAM>(key),
                   KeyData(true, alt));
    PostKeyInput(down, static_cast<WPARAM>(virtualKey), KeyData(true, alt));
    PostKeyInput(up, static_cast<WPARAM>(virtualKey), KeyData(false, alt));
    for (auto it = held.rbegin(); it != held.rend(); ++it)
      PostKeyInput(*it == VK_MENU ? WM_KEYUP : up, static_cast<WPARAM>(*it),
                   KeyData(false, alt && *it != VK_MENU));
  }

  void ChooseItem(HWND comboBox, int index) override {
    Click(comboBox);
    PostMessageA(comboBox, core::kMsgChooseItem, static_cast<WPARAM>(index), 0);
  }

  void CloseFromFrame(HWND window) override { PeerCloseRequested(window); }

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

struct Registry {
  std::unique_ptr<Backend> backend;
  std::unique_ptr<InputModule> input;
  std::map<std::string, BackendFactory> factories{
      {"headless", [] { return CreateHeadlessBackend(); }}};
};
Registry& Current() {
  static Registry registry;  // one backend per process, as one display per session
  return registry;
}

}  // namespace

std::unique_ptr<Backend> CreateHeadlessBackend(SIZE screen) {
  return std::make_unique<HeadlessBackend>(screen);
}

void SetBackend(std::unique_ptr<Backend> backend) {
  if (Current().backend) core::DestroyAllWindows();
  Current().backend = std::move(backend);
  Current().input = std::make_unique<QueueInput>();
}

Backend& CurrentBackend() {
  if (!Current().backend) SetBackend(CreateHeadlessBackend());
  return *Current().backend;
}

void RegisterBackend(const std::string& name, BackendFactory factory) {
  Current().factories[name] = std::move(factory);
}

std::vector<std::string> BackendNames() {
  std::vector<std::string> names;
  for (const auto& [name, factory] : Current().factories) names.push_back(name);
  return names;
}

bool UseBackend(const std::string& name) {
  auto it = Current().factories.find(name);
  if (it == Current().factories.end()) return false;
  std::unique_ptr<Backend> backend = it->second();
  if (!backend) return false;  // it cannot run here (no display)
  SetBackend(std::move(backend));
  return true;
}

InputModule& Input() {
  CurrentBackend();
  return *Current().input;
}

void SetInputModule(std::unique_ptr<InputModule> input) {
  CurrentBackend();
  Current().input = std::move(input);
}

void PeerTextEdited(HWND window) {
  core::Send(window, core::kMsgPeerEdited);
}

void PeerItemChosen(HWND comboBox, int index) {
  core::Send(comboBox, core::kMsgChooseItem, static_cast<WPARAM>(index));
}

void PeerListClosed(HWND comboBox) {
  SendMessageA(comboBox, CB_SHOWDROPDOWN, FALSE, 0);
}

void PeerFocused(HWND window) {
  if (GetFocus() != window) SetFocus(window);
}

void PeerActivated(HWND window) {
  if (GetActiveWindow() != core::Root(window)) SetActiveWindow(window);
}

void PeerPlaced(HWND window, const RECT& windowRect) {
  core::Window* w = core::Find(window);
  if (w == nullptr) return;
  RECT r = w->rect;
  if (r.left == windowRect.left && r.top == windowRect.top && r.right == windowRect.right &&
      r.bottom == windowRect.bottom)
    return;
  SetWindowPos(window, nullptr, windowRect.left, windowRect.top, windowRect.right - windowRect.left,
               windowRect.bottom - windowRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PeerCloseRequested(HWND window) {
  HWND root = core::Root(window);
  core::Window* w = core::Find(root);
  if (w == nullptr || !core::SpecOf(*w).canClose || !(w->style & WS_SYSMENU)) return;
  PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PostKeyInput(UINT message, WPARAM wParam, LPARAM lParam) {
  core::QueueInput(message, wParam, lParam);
}

}  // namespace platform

namespace platform::core {
Backend& Peers() {
  return CurrentBackend();
}
}  // namespace platform::core
