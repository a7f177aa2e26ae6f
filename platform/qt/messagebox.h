// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend's message box: a real modal QMessageBox.
#pragma once

#include <QWidget>
#include <string>

#include "platform/win32.h"

namespace platform::qt {

// Shows `text` under `caption` (both GBK) with the icon and buttons `style`
// asks for, modal over `owner`'s window, and returns the IDOK.. answer of
// the button pressed (Esc and the frame's close give the cancelling answer
// where the box has one).
int RunMessageBox(QWidget* owner, const std::string& text, const std::string& caption, UINT style);

}  // namespace platform::qt
