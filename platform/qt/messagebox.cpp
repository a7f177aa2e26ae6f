// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes as QMessageBox: Win32 style words to icon and buttons, the
// pressed button back to its IDOK.. answer.
#include "platform/qt/messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <array>
#include <vector>

#include "platform/platform.h"

namespace platform::qt {
namespace {

struct Answer {
  int id;
  QMessageBox::StandardButton button;
};

// The buttons of each MB_ type, left to right.
const std::vector<Answer>& ButtonsOf(UINT type) {
  static const std::array<std::vector<Answer>, 6> kButtons = {{
      {{IDOK, QMessageBox::Ok}},
      {{IDOK, QMessageBox::Ok}, {IDCANCEL, QMessageBox::Cancel}},
      {{IDABORT, QMessageBox::Abort},
       {IDRETRY, QMessageBox::Retry},
       {IDIGNORE, QMessageBox::Ignore}},
      {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}, {IDCANCEL, QMessageBox::Cancel}},
      {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}},
      {{IDRETRY, QMessageBox::Retry}, {IDCANCEL, QMessageBox::Cancel}},
  }};
  return kButtons[type < kButtons.size() ? type : 0];
}

QMessageBox::Icon IconOf(UINT style) {
  switch (style & 0xF0) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int RunMessageBox(QWidget* owner, const std::string& text, const std::string& caption, UINT style) {
  QMessageBox box(IconOf(style), QString::fromStdString(GbkToUtf8(caption)),
                  QString::fromStdString(GbkToUtf8(text)), QMessageBox::NoButton, owner);
  box.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  const std::vector<Answer>& answers = ButtonsOf(style & 0xF);
  std::vector<QPushButton*> buttons;
  for (const Answer& a : answers) buttons.push_back(box.addButton(a.button));
  // MB_DEFBUTTON2 and 3 move the default; Esc cancels where there is a way
  // to cancel, and a box with only OK takes Esc as OK, as Windows does.
  const size_t defaultIndex = std::min<size_t>((style >> 8) & 0xF, buttons.size() - 1);
  box.setDefaultButton(buttons[defaultIndex]);
  int escapeId = answers.size() == 1 ? IDOK : IDCANCEL;
  for (size_t i = 0; i < answers.size(); ++i) {
    if (answers[i].id == escapeId) box.setEscapeButton(buttons[i]);
  }
  box.exec();
  for (size_t i = 0; i < answers.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return answers[i].id;
  }
  return escapeId;
}

}  // namespace platform::qt
