// SPDX-License-Identifier: GPL-3.0-or-later
// What the Qt backend's pieces share inside platform/qt/: the widget that
// stands for a window, and the way back from a widget to its window.
#pragma once

#include <QWidget>

#include "platform/win32.h"

namespace platform::qt {

// The widget of `window`'s peer, or null when the Qt backend has none.
QWidget* PeerWidget(HWND window);

// The window whose peer is `widget` or contains it (up to its top-level
// widget); null for widgets that are no peer's, such as a popup list.
HWND PeerWindow(const QObject* widget);

// Tells the backend that the core's queue is empty, so keys no longer need to
// follow earlier ones through it (a pump other than GetMessageA's wait).
void QueueDrained();

// Win32 virtual key and modifier bits for a Qt key, and back; 0 when the key
// has no counterpart.
int VirtualKeyOf(int qtKey);
int QtKeyOf(int virtualKey);

}  // namespace platform::qt
