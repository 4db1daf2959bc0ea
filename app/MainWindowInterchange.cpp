// Import and Export: models of other voxel editors' formats, read as a new untitled
// document and written beside the document without making them its file.

#include <QAction>
#include <QFileInfo>

#include "app/MainWindowParts.h"
#include "model/FileFormats.h"
#include "model/Messages.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageDialogs.h"
#include "widgets/WorkProgress.h"

using Parts = MainWindowParts;

namespace {
// The dialogs offer this format alone, so a name typed without its extension is
// read and written in it all the same.
const FileFormat& InterchangeFormat() {
  return *FormatNamed("vox");
}

// Whether the user lets the export replace the file that is there.
bool ConfirmReplace(QWidget* owner, const std::string& path) {
  const QString question = QString("%1 already exists. Do you want to replace it?")
                               .arg(QFileInfo(QString::fromStdString(path)).fileName());
  return AskWithButtons(owner, question, {"&Yes", "&No"}) == 1;
}
}  // namespace

void Parts::Import1Click() {
  if (!ConfirmDiscard()) return;
  std::string path;
  if (!RunFileDialog(ImportDial, path)) return;
  ClearFileName(ImportDial);
  ImportModelFile(path);
}

void Parts::ImportModelFile(const std::string& path) {
  // A new untitled document, section 0 on its top layer, in every window; read off the
  // interface thread into a model of its own, so that Cancel leaves the document alone.
  auto loaded = std::make_unique<TVoxelModel>();
  LoadControl control;
  const char* message = nullptr;
  RunWithProgress(&W, QString("Importing %1...").arg(QString::fromStdString(FileTitleOf(path))),
                  control, [&] { message = ReadWith(InterchangeFormat(), path, *loaded); });
  if (control.Cancel) return;
  if (message == nullptr)
    Doc.Adopt(*loaded, path, true);
  else
    ShowMessageDialog(&W, message);  // the open document, if any, is as it was
}

void Parts::Export1Click() {
  if (!Doc.IsOpen()) return;
  std::string path;
  if (!RunFileDialog(ExportDial, path)) return;
  ClearFileName(ExportDial);
  // The dialog adds .vox only to a name without any extension: "tank.vxl" would get
  // .vox bytes under the editor's own extension, even over the open document's file.
  // The dialog does not ask about replacing, so that the question names the real file.
  if (FormatForPath(path) != &InterchangeFormat()) path += InterchangeFormat().Extension;
  if (QFileInfo::exists(QString::fromStdString(path)) && !ConfirmReplace(&W, path)) return;
  ExportModelFile(path);
}

void Parts::ExportModelFile(const std::string& path) {
  const ExportResult written = InterchangeFormat().Write(path, Doc.Model());
  if (!written) {
    ShowMessageDialog(&W, MsgCannotSave);
    return;
  }
  if (written.LeftOut != 0)
    ShowMessageDialog(&W, QString::fromStdString(LeftOutText(written.LeftOut)) +
                      ". A MagicaVoxel model holds only voxels with a colour.");
}
