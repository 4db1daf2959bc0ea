// Import and Export: models of other voxel editors' formats, read as a new untitled
// document and written beside the document without making them its file.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "app/FileDialogs.h"
#include "app/Forms.h"
#include "app/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "model/FileFormats.h"
#include "model/Messages.h"

namespace {
// The dialogs offer this format alone, so a name typed without its extension is
// read and written in it all the same.
const FileFormat& InterchangeFormat() {
  return *FormatNamed("vox");
}

// Whether the user lets the export replace the file that is there.
bool ConfirmReplace(const std::string& path) {
  DoubleButDial->Text->setText(QString("%1 already exists. Do you want to replace it?")
                                   .arg(QFileInfo(QString::fromStdString(path)).fileName()));
  DoubleButDial->Button1->setText("&Yes");
  DoubleButDial->Button2->setText("&No");
  DoubleButDial->DialogResult = 0;
  DoubleButDial->exec();
  return DoubleButDial->DialogResult == 1;
}
}  // namespace

void TMainWindow::Import1Click() {
  if (!ConfirmDiscard()) return;
  std::string path;
  if (!RunFileDialog(ImportDial, path)) return;
  ClearFileName(ImportDial);
  ImportModelFile(path);
}

void TMainWindow::ImportModelFile(const std::string& path) {
  if (const char* message = ReadWith(InterchangeFormat(), path, Model)) {
    ShowMessageDialog(message);  // the open document, if any, is as it was
    return;
  }
  // A new document, as New makes one: it has no file until Save As gives it one.
  Doc.FileTitle.clear();
  Doc.Untitled = true;
  DocumentOpenState();
  UpdateCaption();
  ResetHistory();
  ShowEditedSection();  // section 0 on its top layer, in every window
}

void TMainWindow::Export1Click() {
  if (!Model.IsOpen()) return;
  std::string path;
  if (!RunFileDialog(ExportDial, path)) return;
  ClearFileName(ExportDial);
  // The dialog adds .vox only to a name without any extension: "tank.vxl" would get
  // .vox bytes under the editor's own extension, even over the open document's file.
  // The dialog does not ask about replacing, so that the question names the real file.
  if (FormatForPath(path) != &InterchangeFormat()) path += InterchangeFormat().Extension;
  if (QFileInfo::exists(QString::fromStdString(path)) && !ConfirmReplace(path)) return;
  ExportModelFile(path);
}

void TMainWindow::ExportModelFile(const std::string& path) {
  const ExportResult written = InterchangeFormat().Write(path, Model);
  if (!written) {
    ShowMessageDialog(MsgCannotSave);
    return;
  }
  if (written.LeftOut != 0)
    ShowMessageDialog(QString::fromStdString(LeftOutText(written.LeftOut)) +
                      ". A MagicaVoxel model holds only voxels with a colour.");
}
