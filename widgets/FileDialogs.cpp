#include "widgets/FileDialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>

namespace {
QLineEdit* NameField(QFileDialog* dialog) {
  return dialog->findChild<QLineEdit*>("fileNameEdit");
}
}  // namespace

bool RunFileDialog(QFileDialog* dialog, std::string& path) {
  if (dialog->exec() != QDialog::Accepted) {
    // A cancelled dialog keeps no name: the next one opens with an empty field.
    ClearFileName(dialog);
    return false;
  }
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
  path = chosen.front().toStdString();
  return true;
}

void ClearFileName(QFileDialog* dialog) {
  // selectFile() with an empty name keeps the last name; the field itself must be emptied.
  dialog->selectFile(QString());
  if (QLineEdit* field = NameField(dialog)) field->clear();
  // The file list keeps its selection otherwise, and would still offer the last file.
  for (QAbstractItemView* list : dialog->findChildren<QAbstractItemView*>()) list->clearSelection();
}

std::string FileNameFieldText(QFileDialog* dialog) {
  QLineEdit* field = NameField(dialog);
  return field != nullptr ? field->text().toStdString() : std::string();
}

void CloseCompletionWithDialog(QFileDialog* dialog) {
  QObject::connect(dialog, &QDialog::finished, dialog, [dialog] {
    QLineEdit* field = NameField(dialog);
    QCompleter* completer = field != nullptr ? field->completer() : nullptr;
    if (completer != nullptr && completer->popup() != nullptr) completer->popup()->hide();
  });
}
