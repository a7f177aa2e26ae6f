// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/qt/file_dialog_hand.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>

namespace molvane::test {

void AnswerQtFileDialog(const std::string& path, int filterIndex,
                        std::function<void(const std::string& title)> seen) {
  // Typed a key a tick once the dialog shows, so it follows the typing
  // as it does a person's; its accept button clicked once enabled.
  auto* hand = new QTimer;
  auto ticks = std::make_shared<int>(-1);
  QObject::connect(hand, &QTimer::timeout, [hand, ticks, path, filterIndex, seen] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    if (name == nullptr || buttons == nullptr) return dialog->reject();
    const QString typing = QString::fromStdString(path);
    if (++*ticks == 0) {
      seen(dialog->windowTitle().toStdString());
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      for (int i = 0; types != nullptr && i < 10 && types->currentIndex() < filterIndex; ++i)
        QTest::keyClick(types, Qt::Key_Down);
      name->setFocus();
      QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(name, Qt::Key_Backspace);
      return;
    }
    if (*ticks <= typing.size()) {
      QTest::keyClicks(name, typing.mid(*ticks - 1, 1));
      return;
    }
    // The button, not Enter, which the name box's completion list may take.
    for (QAbstractButton* button : buttons->buttons())
      if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isEnabled())
        QTest::mouseClick(button, Qt::LeftButton);
    if (!dialog->isVisible() || *ticks > typing.size() + 100) {
      hand->stop();
      hand->deleteLater();
      if (dialog->isVisible()) dialog->reject();  // a test that fails, not one that hangs
    }
  });
  hand->start(10);
}

}  // namespace molvane::test
