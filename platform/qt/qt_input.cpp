// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend's input module: acts as a person would, with real Qt mouse
// and key events delivered to the widgets (so the backend's event filter and
// Qt's own handling see exactly what a user's input produces), and text
// beyond Latin-1 committed through the input-method event path.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <cstring>

#include "platform/qt/menu_bar.h"
#include "platform/qt/peers.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_support.h"

namespace platform::qt {
namespace {

// The widget a key goes to: Qt's focus widget, or the peer of the core's
// focus when no window is active (Qt's offscreen platform before activation).
QWidget* KeyTarget() {
  if (QWidget* peer = PeerWidget(GetFocus())) {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && peer->isAncestorOf(focus) ? focus : peer;
  }
  if (QWidget* focus = QApplication::focusWidget()) return focus;
  return QApplication::activeWindow();
}

// Shift is held for capitals and the shifted symbols of a US keyboard.
Qt::KeyboardModifiers ShiftFor(char c) {
  static const char kShifted[] = ")!@#$%^&*(_+{}|:\"<>?~";
  const bool shifted = (c >= 'A' && c <= 'Z') || std::strchr(kShifted, c) != nullptr;
  return shifted ? Qt::ShiftModifier : Qt::NoModifier;
}

Qt::KeyboardModifiers ModifiersOf(unsigned modifiers) {
  Qt::KeyboardModifiers mods;
  if (modifiers & MK_SHIFT) mods |= Qt::ShiftModifier;
  if (modifiers & MK_CONTROL) mods |= Qt::ControlModifier;
  if (modifiers & kAltModifier) mods |= Qt::AltModifier;
  return mods;
}

class QtInput : public InputModule {
 public:
  void Click(HWND window) override {
    QWidget* w = PeerWidget(window);
    if (w == nullptr) return;
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  }

  void TypeText(const std::string& utf8) override {
    const QString text = QString::fromUtf8(utf8);
    QString pending;  // a run the input method commits at once
    auto commit = [&] {
      if (!pending.isEmpty()) CommitText(KeyTarget(), pending);
      pending.clear();
    };
    for (QChar c : text) {
      if (c == u'\n' || c == u'\t' || c == u'\b') {
        commit();
        PressKey(c == u'\n' ? VK_RETURN : c == u'\t' ? VK_TAB : VK_BACK, 0);
      } else if (c == u'\r') {
        continue;  // CR LF is one Enter
      } else if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
        commit();
        const char ascii = char(c.unicode());
        QTest::keyClick(KeyTarget(), ascii, ShiftFor(ascii));
      } else {
        pending += c;
      }
    }
    commit();
  }

  void PressKey(int virtualKey, unsigned modifiers) override {
    Qt::KeyboardModifiers mods = ModifiersOf(modifiers);
    int key = QtKeyOf(virtualKey);
    if (key == 0) return;
    // Qt reports Shift+Tab as its own key.
    if (key == Qt::Key_Tab && (mods & Qt::ShiftModifier)) key = Qt::Key_Backtab;
    if (QWidget* target = KeyTarget()) QTest::keyClick(target, Qt::Key(key), mods);
  }

  void ChooseItem(HWND comboBox, int index) override {
    auto* list = qobject_cast<QComboBox*>(PeerWidget(comboBox));
    if (list == nullptr || index < 0 || index >= list->count()) return;
    // Open the list with a click, then click the item in the popup.
    QTest::mouseClick(list, Qt::LeftButton, {}, list->rect().center());
    PumpUntilIdle({});  // the core sees the list drop down before the choice
    QAbstractItemView* view = list->view();
    const QRect item = view->visualRect(list->model()->index(index, 0));
    // The pointer moves onto the item before the click, as a hand does; the
    // popup ignores a release that comes straight after opening.
    QTest::mouseMove(view->viewport(), item.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    if (view->isVisible()) {
      // Taken for the end of the opening click: click again, after a pause.
      QTest::qWait(QApplication::doubleClickInterval() + 50);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    }
  }

  void CloseFromFrame(HWND window) override {
    if (QWidget* w = PeerWidget(window)) w->close();
  }

  // Clicks the item at `path` with the pointer, opening the popups on the
  // way, as a hand does.
  void ClickMenuItem(HWND window, const std::vector<int>& path) override {
    QWidget* frame = PeerWidget(window);
    auto* bar = frame != nullptr ? frame->findChild<PeerMenuBar*>() : nullptr;
    if (bar == nullptr || path.empty()) return;
    QList<QAction*> items = bar->actions();
    if (path[0] < 0 || path[0] >= items.size()) return;
    const QPoint top = bar->actionGeometry(items[path[0]]).center();
    QTest::mouseMove(bar, top);
    QTest::mouseClick(bar, Qt::LeftButton, {}, top);
    for (size_t depth = 1; depth < path.size(); ++depth) {
      QMenu* menu = items[path[depth - 1]]->menu();
      if (menu == nullptr) return;
      for (int round = 0; round < 50 && !menu->isVisible(); ++round) QTest::qWait(10);
      items = menu->actions();
      if (path[depth] < 0 || path[depth] >= items.size()) return;
      const QPoint at = menu->actionGeometry(items[path[depth]]).center();
      QTest::mouseMove(menu, at);
      QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    }
  }

  void DropFiles(HWND window, const std::vector<std::string>& paths, POINT at) override {
    QWidget* target = PeerWidget(window);
    if (target == nullptr) return;
    // A text box takes drops on its viewport, as a drag over it arrives.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) target = area->viewport();
    QPoint point(at.x, at.y);
    if (target->isWindow()) {
      if (auto* bar = target->findChild<PeerMenuBar*>()) point.ry() += bar->height();
    }
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
      urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }

  void PumpUntilIdle(const std::function<bool(MSG&)>& preTranslate) override {
    for (;;) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      MSG msg{};
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        QueueDrained();
        return;
      }
      if (msg.message == WM_QUIT) {
        // Leave the quit for the loop that owns it.
        PostQuitMessage(int(msg.wParam));
        return;
      }
      if (preTranslate && preTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
};

}  // namespace
}  // namespace platform::qt

namespace platform {
std::unique_ptr<InputModule> CreateQtInputModule() {
  return std::make_unique<qt::QtInput>();
}

void UseQtBackend() {
  SetBackend(CreateQtBackend());
  SetInputModule(CreateQtInputModule());
}
}  // namespace platform
