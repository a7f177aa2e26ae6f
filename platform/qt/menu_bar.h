// SPDX-License-Identifier: GPL-3.0-or-later
// A top-level peer's menu bar: Qt's QMenuBar with a QMenu per popup, kept
// in step with the core's menu. What the pointer does in it goes back to
// the core; the keyboard walk is the core's, which the bar shows.
#pragma once

#include <QMenuBar>
#include <vector>

#include "platform/backend.h"

namespace platform::qt {

class PeerMenuBar : public QMenuBar {
 public:
  PeerMenuBar(HWND window, QWidget* frame);
  // The core's bar: updated in place when only texts and states changed.
  void Show(const std::vector<PeerMenuItem>& bar);
  // The core's walk: the hot item of the bar, then of each open popup.
  void ShowWalk(const std::vector<int>& path);

 protected:
  // Alt alone and Alt with a letter are the core's: Qt's own menu bar
  // navigation stays out.
  bool eventFilter(QObject*, QEvent*) override { return false; }
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

 private:
  void Fill(QMenu* menu, const std::vector<PeerMenuItem>& items, std::vector<int> path);
  QMenu* MenuAt(const std::vector<int>& path, size_t depth) const;

  HWND window_;
  std::vector<PeerMenuItem> shown_;
  bool quiet_ = false;  // changes made on the core's behalf
  int hotTop_ = -1;     // the walk's hot item on the bar while no popup is open
};

// The window whose menus `object` (a popup of a peer's bar) belongs to, or null.
HWND MenuOwner(const QObject* object);

}  // namespace platform::qt
