// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend's file dialogs: Qt's own QFileDialog (not the desktop's),
// so it speaks the window's Chinese and tests can work it with keys.
#pragma once

#include <QWidget>
#include <optional>

#include "platform/platform.h"

namespace platform::qt {

// Shows the dialog `call` asks for, modal over `owner`; nothing when cancelled.
std::optional<FileDialogAnswer> RunFileDialog(QWidget* owner, const FileDialogCall& call);

}  // namespace platform::qt
