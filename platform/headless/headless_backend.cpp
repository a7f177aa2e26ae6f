// SPDX-License-Identifier: GPL-3.0-or-later
// The headless backend: peers kept in memory, a fixed screen and font
// metrics, message boxes written to stderr. The default backend, for tests
// and for runs without a display.
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/backend.h"
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
  std::vector<PeerMenuItem> menuBar;
  std::vector<int> menuWalk;
  int zoomNumerator = 0;
  int zoomDenominator = 0;
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
      peer.text = PeerTextOf(peer.boxText);
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
      peer.boxText = BoxTextOf(peer.text);
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

  void SetPeerMenu(HWND window, const std::vector<PeerMenuItem>& bar) override {
    At(window).menuBar = bar;
  }
  void ShowPeerMenuWalk(HWND window, const std::vector<int>& path) override {
    At(window).menuWalk = path;
  }
  void SetPeerZoom(HWND window, int numerator, int denominator) override {
    At(window).zoomNumerator = numerator;
    At(window).zoomDenominator = denominator;
  }

  int ShowMessageBox(HWND, const std::string& text, const std::string& caption, UINT) override {
    std::fprintf(stderr, "[%s] %s\n", GbkToUtf8(caption).c_str(), GbkToUtf8(text).c_str());
    std::fflush(stderr);
    return IDOK;
  }

  // No one to choose a file: the dialog is cancelled (tests answer it with
  // a responder).
  std::optional<FileDialogAnswer> ShowFileDialog(const FileDialogCall&) override {
    return std::nullopt;
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

}  // namespace

std::unique_ptr<Backend> CreateHeadlessBackend(SIZE screen) {
  return std::make_unique<HeadlessBackend>(screen);
}

}  // namespace platform
