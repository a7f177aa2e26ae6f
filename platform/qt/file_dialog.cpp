// SPDX-License-Identifier: GPL-3.0-or-later
// File dialogs as QFileDialog: the Win32 filter pairs become name filters
// ("文本文件 (*.txt)"), the chosen one comes back by its position.
#include "platform/qt/file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace platform::qt {
namespace {

QString Q(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt wants the patterns in brackets after the name, apart by spaces; a name
// that already shows them (as Windows programs write it) keeps its own.
QString NameFilter(const FileDialogFilter& filter) {
  QString patterns = Q(filter.patterns);
  patterns.replace(u';', u' ');
  const QString name = Q(filter.name);
  return name.contains(u'(') ? name.left(name.indexOf(u'(')).trimmed() + " (" + patterns + ")"
                             : name + " (" + patterns + ")";
}

// The first pattern's extension ("*.brf" gives "brf"), for the default suffix.
QString SuffixOf(const FileDialogFilter& filter) {
  const QString first = Q(filter.patterns).section(u';', 0, 0);
  if (!first.startsWith(u"*.")) return {};
  const QString suffix = first.mid(2);
  return suffix.contains(u'*') || suffix.contains(u'?') ? QString() : suffix;
}

}  // namespace

std::optional<FileDialogAnswer> RunFileDialog(QWidget* owner, const FileDialogCall& call) {
  QFileDialog dialog(owner, Q(call.title), Q(call.folder));
  // Qt's own dialog: translated with Qt's texts, the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(call.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(call.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !call.confirmOverwrite);
  dialog.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  QStringList filters;
  for (const FileDialogFilter& filter : call.filters) filters << NameFilter(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[call.filterIndex]);
  }
  // A name typed without an extension takes the chosen type's before the
  // overwrite question is asked.
  const auto suffixFor = [&](int index) {
    QString suffix = index >= 0 && index < static_cast<int>(call.filters.size())
                         ? SuffixOf(call.filters[static_cast<size_t>(index)])
                         : QString();
    return suffix.isEmpty() ? Q(call.defaultExtension) : suffix;
  };
  if (call.save) {
    dialog.setDefaultSuffix(suffixFor(call.filterIndex));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
      dialog.setDefaultSuffix(suffixFor(static_cast<int>(filters.indexOf(chosen))));
    });
  }
  if (!call.fileName.empty()) dialog.selectFile(Q(call.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogAnswer answer;
  answer.path = dialog.selectedFiles().front().toStdU16String();
  answer.filterIndex =
      std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
  return answer;
}

}  // namespace platform::qt
