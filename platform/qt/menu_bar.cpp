// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/menu_bar.h"

#include <QAccessible>
#include <QActionGroup>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>

namespace platform::qt {
namespace {

const char kOwnerProperty[] = "molvaneMenuOwner";

QString TextOf(const std::u16string& text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// Same items, popups and separators in the same places: only texts and
// states may differ.
bool SameShape(const std::vector<PeerMenuItem>& a, const std::vector<PeerMenuItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const UINT kinds = MF_POPUP | MF_SEPARATOR | MFT_RADIOCHECK;
    if ((a[i].state & kinds) != (b[i].state & kinds) || a[i].id != b[i].id) return false;
    if (!SameShape(a[i].items, b[i].items)) return false;
  }
  return true;
}

// Texts and states onto an action. An item shows a check mark only while
// checked, as a Windows menu item does; a radio item is always checkable,
// so its group reads as a choice.
void Apply(QAction* action, const PeerMenuItem& item) {
  action->setText(TextOf(item.text));
  action->setEnabled(!(item.state & (MF_GRAYED | MF_DISABLED)));
  const bool checked = (item.state & MF_CHECKED) != 0;
  action->setCheckable(checked || (item.state & MFT_RADIOCHECK));
  action->setChecked(checked);
}

void Update(const QList<QAction*>& actions, const std::vector<PeerMenuItem>& items) {
  for (size_t i = 0; i < items.size() && qsizetype(i) < actions.size(); ++i) {
    QAction* action = actions[qsizetype(i)];
    if (items[i].state & MF_SEPARATOR) continue;
    Apply(action, items[i]);
    if (action->menu() != nullptr) Update(action->menu()->actions(), items[i].items);
  }
}

// The bar is exactly SM_CYMENU high, as the core counts it in the
// non-client area: its items fill that height with no margin, whatever the
// font's line height, instead of moving to the overflow button.
class BarStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_MenuBarVMargin || metric == PM_MenuBarPanelWidth) return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize made = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuBarItem) made.setHeight(GetSystemMetrics(SM_CYMENU));
    return made;
  }
};

}  // namespace

PeerMenuBar::PeerMenuBar(HWND window, QWidget* frame) : QMenuBar(frame), window_(window) {
  setNativeMenuBar(false);  // the bar is inside the window, where the layout counts it
  auto* style = new BarStyle;
  style->setParent(this);
  setStyle(style);
  setProperty(kOwnerProperty, QVariant::fromValue(quintptr(window)));
}

void PeerMenuBar::Show(const std::vector<PeerMenuItem>& bar) {
  const bool quiet = quiet_;
  quiet_ = true;
  if (SameShape(bar, shown_)) {
    Update(actions(), bar);
  } else {
    clear();
    Fill(nullptr, bar, {});
  }
  shown_ = bar;
  quiet_ = quiet;
}

void PeerMenuBar::Fill(QMenu* menu, const std::vector<PeerMenuItem>& items, std::vector<int> path) {
  QActionGroup* group = nullptr;  // consecutive radio items choose one of them
  for (size_t i = 0; i < items.size(); ++i) {
    const PeerMenuItem& item = items[i];
    std::vector<int> at = path;
    at.push_back(int(i));
    if (!(item.state & MFT_RADIOCHECK)) group = nullptr;
    if (item.state & MF_SEPARATOR) {
      if (menu != nullptr) menu->addSeparator();
      continue;
    }
    if (item.state & MF_POPUP) {
      auto* popup =
          new QMenu(TextOf(item.text), menu != nullptr ? menu : static_cast<QWidget*>(this));
      popup->setProperty(kOwnerProperty, QVariant::fromValue(quintptr(window_)));
      // A popup is a window of its own, which takes no font from the bar:
      // the window's font, as the bar has it, or a theme's menu font would
      // be measured and drawn apart.
      popup->setFont(font());
      QAction* action = menu != nullptr ? menu->addMenu(popup) : addMenu(popup);
      Apply(action, item);
      Fill(popup, item.items, at);
      // Popups Qt opens or closes itself (the pointer, a click beside them)
      // are the user's; those the core's walk opens are already known.
      QObject::connect(popup, &QMenu::aboutToShow, this, [this, at] {
        if (!quiet_) PeerMenuOpened(window_, at);
      });
      QObject::connect(popup, &QMenu::aboutToHide, this, [this] {
        if (quiet_) return;
        // Closed unused once no popup of the bar is left open.
        QTimer::singleShot(0, this, [this] {
          for (QMenu* m : findChildren<QMenu*>())
            if (m->isVisible()) return;
          PeerMenuClosed(window_);
        });
      });
      continue;
    }
    QAction* action = menu != nullptr ? menu->addAction(QString()) : addAction(QString());
    Apply(action, item);
    if (item.state & MFT_RADIOCHECK) {
      if (group == nullptr) group = new QActionGroup(action->parent());
      group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      group->addAction(action);
    }
    const UINT id = item.id;
    QObject::connect(action, &QAction::triggered, this, [this, action, id] {
      if (quiet_) return;
      // The core decides the check marks: the click does not toggle them.
      quiet_ = true;
      Update(actions(), shown_);
      quiet_ = false;
      PeerMenuChosen(window_, id);
    });
  }
}

QMenu* PeerMenuBar::MenuAt(const std::vector<int>& path, size_t depth) const {
  QList<QAction*> list = actions();
  QMenu* menu = nullptr;
  for (size_t i = 0; i < depth && i < path.size(); ++i) {
    if (path[i] < 0 || path[i] >= list.size()) return nullptr;
    menu = list[path[i]]->menu();
    if (menu == nullptr) return nullptr;
    list = menu->actions();
  }
  return menu;
}

void PeerMenuBar::ShowWalk(const std::vector<int>& path) {
  quiet_ = true;
  const int hotTop = path.size() == 1 ? path[0] : -1;
  if (hotTop != hotTop_) {
    hotTop_ = hotTop;
    update();
    const QList<QAction*> top = actions();
    if (hotTop >= 0 && hotTop < top.size()) {
      // A screen reader follows the walk along the bar as along a popup.
      QAccessibleEvent focus(this, QAccessible::Focus);
      focus.setChild(hotTop);
      QAccessible::updateAccessibility(&focus);
    }
  }
  // Popups off the walk's way close.
  QList<QMenu*> wanted;
  for (size_t depth = 1; depth < path.size(); ++depth) wanted.push_back(MenuAt(path, depth));
  for (QMenu* m : findChildren<QMenu*>())
    if (m->isVisible() && !wanted.contains(m)) m->hide();
  if (path.size() >= 2) {
    QMenu* top = MenuAt(path, 1);
    if (top != nullptr && !top->isVisible()) setActiveAction(top->menuAction());
    for (size_t depth = 1; depth < path.size(); ++depth) {
      QMenu* menu = MenuAt(path, depth);
      if (menu == nullptr) break;
      const QList<QAction*> items = menu->actions();
      const int hot = path[depth];
      // An item that opens a popup is made hot only once the core opened
      // it: Qt would open it on its own.
      if (hot >= 0 && hot < items.size() &&
          (items[hot]->menu() == nullptr || depth + 1 < path.size())) {
        menu->setActiveAction(items[hot]);
      }
    }
  } else if (activeAction() != nullptr && path.empty()) {
    setActiveAction(nullptr);
  }
  quiet_ = false;
}

void PeerMenuBar::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
  QMenuBar::initStyleOption(option, action);
  // The walk's hot item on the bar while no popup is open: drawn as Qt
  // draws an item whose popup is open.
  const QList<QAction*> top = actions();
  if (hotTop_ >= 0 && hotTop_ < top.size() && top[hotTop_] == action)
    option->state |= QStyle::State_Selected | QStyle::State_Sunken;
}

HWND MenuOwner(const QObject* object) {
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    const QVariant owner = o->property(kOwnerProperty);
    if (owner.isValid()) return reinterpret_cast<HWND>(owner.value<quintptr>());
  }
  return nullptr;
}

}  // namespace platform::qt
