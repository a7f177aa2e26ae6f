// SPDX-License-Identifier: GPL-3.0-or-later
// Qt-side helpers of the Qt backend that do not depend on the core: the one
// application object, fonts, accessible names and input-method commits.
// Included only inside platform/qt/ and by the Qt tests.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>

namespace platform::qt {

// The process's QApplication, made on first use (offscreen when there is no
// display or the X display named does not answer), with the font
// substitutions and accessibility factory installed.
QApplication* EnsureApplication();

// Whether the windows can be shown: a display answers, or the user chose Qt's
// platform (QT_QPA_PLATFORM, offscreen included). Makes the application
// object unless there is no display to try.
bool DisplayAnswers();

// Maps the Windows Song face names ("宋体", "SimSun") to the installed
// Song/Ming CJK faces.
void InstallFontSubstitutions();

// The face named by a LOGFONTA face name (GBK) at a point size; the Song face
// resolves through the substitutions above.
QFont FaceFont(const char* gbkFace, int pointSize);

// Installs the accessibility factory that names a drop-down list by its label
// instead of its current item.
void InstallAccessibility();

// Gives every edit, plain-text editor and combo box among `window`'s children
// the caption of the group box just above it in stacking order as accessible
// name, and every push button its caption without "&".
void UpdateAccessibleNames(QWidget* window);

// Runs `change` (text or selection the backend sets on the core's behalf)
// with the caret moves of `editor` kept from screen readers when it does not
// have the focus. A screen reader follows a caret it is told of as if the
// user moved it, and would then take a focus moved there right after (the
// result box after a conversion) as known and not announce it.
void WithoutCaretMoves(QWidget* editor, const std::function<void()>& change);

// Tells screen readers each new current item of a drop-down list, once the
// turn that changed it is over.
void AnnounceItemChanges(QComboBox* list);

// The style of push buttons and drop-down lists: the platform's, with a
// focus mark two pixels wide in the palette's highlight colour while the
// control has the keyboard focus, on light and dark palettes alike.
QStyle* FocusMarkStyle();

// A caption with its "&" mnemonic markers removed ("&&" stays one "&").
QString StripMnemonic(const QString& caption);

// Commits `text` to `target` the way an input method does: one
// QInputMethodEvent with a commit string (the key-click helpers can only send
// Latin-1).
void CommitText(QWidget* target, const QString& text);

}  // namespace platform::qt
