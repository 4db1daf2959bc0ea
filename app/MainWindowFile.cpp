// Open, Save, Save As and New: the window side of reading, writing and creating models,
// the question asked before a changed document is thrown away, and adding a section of
// a size the New dialog asks for.

#include <QFileDialog>
#include <QStringList>

#include "app/MainWindowParts.h"
#include "dialogs/TNewBox.h"
#include "editor/TSliceView.h"
#include "model/Messages.h"
#include "model/SectionSteps.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"
#include "view3d/TThreeDWindow.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageDialogs.h"
#include "widgets/WorkProgress.h"

using Parts = MainWindowParts;

void Parts::Open1Click() {
  if (!ConfirmDiscard()) return;
  std::string path;
  if (!RunFileDialog(FileDial, path)) return;
  LoadVoxelFile(path);
}

void Parts::LoadVoxelFile(const std::string& path) {
  CommandLineFilePending = false;
  // Read into a model of its own, off the interface thread: the document stays as it
  // is until the whole file has been read, and exactly as it was on Cancel.
  auto loaded = std::make_unique<TVoxelModel>();
  LoadControl control;
  LoadStatus status = LoadStatus::Ok;
  RunWithProgress(&W, QString("Opening %1...").arg(QString::fromStdString(FileTitleOf(path))),
                  control, [&] { status = ReadVoxelFile(path, *loaded, nullptr, &control); });
  if (status != LoadStatus::FileNotFound) ClearFileName(FileDial);
  if (status == LoadStatus::Ok && !control.Cancel) {
    Doc.Adopt(*loaded, path, false);  // every window follows the new document
    return;
  }
  if (const char* message = LoadStatusMessage(status); *message != 0 && !control.Cancel)
    ShowMessageDialog(&W, message);
  Refresh1Click();  // the open model, if any, is as it was
}

bool Parts::SaveVoxelFile(const std::string& path) {
  Doc.FinishDrag();  // a stroke still held is saved with the rest
  if (!WriteVoxelFile(path, Doc.Model())) {
    // The previous file is still whole; the document stays as it was, unsaved.
    ShowMessageDialog(&W, MsgCannotSave);
    return false;
  }
  if (Doc.Untitled() || path != Doc.FilePath()) Doc.SetFile(path);
  Doc.MarkSaved();
  return true;
}

void Parts::SaveButtonClick() {
  // Save only exists for a titled model; guard anyway so nothing is written to a path
  // left over from an earlier document.
  if (Doc.Untitled() || Doc.FilePath().empty()) return;
  SaveVoxelFile(Doc.FilePath());
}

void Parts::SaveAsButtonClick() {
  SaveAs();
}

bool Parts::SaveAs() {
  Doc.FinishDrag();  // before the dialog takes the mouse away
  std::string path;
  if (!RunFileDialog(SaveAsDial, path)) return false;
  ClearFileName(SaveAsDial);
  return SaveVoxelFile(path);
}

void Parts::New1Click() {
  if (!ConfirmDiscard()) return;
  NewBox->Use = TNewBox::Purpose::NewModel;
  if (NewBox->exec() != QDialog::Accepted) return;
  Doc.CreateNew(NewBox->SizeX(), NewBox->SizeY(), NewBox->SizeZ());
}

void Parts::AddSectionClick() {
  if (!Doc.IsOpen()) return;
  NewBox->Use = TNewBox::Purpose::AddSection;
  const bool accepted = NewBox->exec() == QDialog::Accepted;
  NewBox->Use = TNewBox::Purpose::NewModel;
  if (!accepted) return;
  Doc.AbandonDrag(true);
  const std::uint8_t x = NewBox->SizeX(), y = NewBox->SizeY(), z = NewBox->SizeZ();
  Doc.Edit([&](TVoxelModel& m) { return AddSection(m, x, y, z, "Add Section"); });
}

bool Parts::ConfirmDiscard() {
  // A stroke still held is work of this document: part of what is asked about and saved.
  Doc.FinishDrag();
  if (!Doc.IsModified()) return true;
  const QString question =
      Doc.Untitled() ? QString("Save changes to the new model?")
                     : QString("Save changes to %1?").arg(QString::fromStdString(Doc.FileTitle()));
  switch (AskWithButtons(&W, question, {"&Save", "&Discard", "&Cancel"})) {
    case 1:
      if (Doc.Untitled() || Doc.FilePath().empty()) return SaveAs();
      return SaveVoxelFile(Doc.FilePath());
    case 2:
      return true;
    default:
      return false;
  }
}
