// Open, Save, Save As and New: the window side of reading, writing and creating models.

#include <QFileDialog>
#include <QStringList>

#include "app/FileDialogs.h"
#include "app/Forms.h"
#include "app/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TTransDial.h"
#include "editor/TImageBox.h"
#include "editor/TSectionWindow.h"
#include "model/Messages.h"
#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"

void TMainWindow::Open1Click() {
  if (!ConfirmDiscard()) return;
  std::string path;
  if (!RunFileDialog(FileDial, path)) return;
  LoadVoxelFile(path);
}

void TMainWindow::LoadVoxelFile(const std::string& path) {
  const LoadStatus status = ReadVoxelFile(path, Model);
  if (status != LoadStatus::FileNotFound) ClearFileName(FileDial);
  if (status != LoadStatus::Ok) {
    ShowMessageDialog(LoadStatusMessage(status));
  } else {
    Doc.FilePath = path;
    Doc.FileTitle = FileTitleOf(path);
    Doc.Modified = false;
    Doc.Untitled = false;
    UpdateCaption();
    ShowName();
    SliceBitmap.Resize(SliceSize().width(), SliceSize().height());
    TransDial->ShowTailerValues();
    View.CurrentLayer = Plane().Layers() - 1;  // the top layer, or the last along the axis
    DocumentOpenState();  // also the layer window's range, ViewSpan and the image box
    ResetHistory();
    ShownSection = int(Model.EditedSection());
    SectionWindow->ShowSections();
  }
  CommandLineFilePending = false;
  Refresh1Click();
}

bool TMainWindow::SaveVoxelFile(const std::string& path) {
  FinishDrag();  // a stroke still held is saved with the rest
  if (!WriteVoxelFile(path, Model)) {
    // The previous file is still whole; the document stays as it was, unsaved.
    ShowMessageDialog(MsgCannotSave);
    return false;
  }
  Doc.Untitled = false;
  Doc.Modified = false;
  History.MarkSaved();
  UpdateEditState();
  return true;
}

void TMainWindow::SaveButtonClick() {
  // Save only exists for a titled model; guard anyway so nothing is written to a path
  // left over from an earlier document.
  if (Doc.Untitled || Doc.FilePath.empty()) return;
  SaveVoxelFile(Doc.FilePath);
}

void TMainWindow::SaveAsButtonClick() {
  SaveAs();
}

bool TMainWindow::SaveAs() {
  FinishDrag();  // before the dialog takes the mouse away
  std::string path;
  if (!RunFileDialog(SaveAsDial, path)) return false;
  ClearFileName(SaveAsDial);
  if (!SaveVoxelFile(path)) return false;
  Doc.FilePath = path;
  Doc.FileTitle = FileTitleOf(path);
  UpdateCaption();
  return true;
}

void TMainWindow::New1Click() {
  if (!ConfirmDiscard()) return;
  NewBox->exec();
}

void TMainWindow::CreateNewModel(std::uint8_t sizeX, std::uint8_t sizeY, std::uint8_t sizeZ) {
  ImageBox->show();
  View.CurrentLayer = 0;
  ResetNewModel(Model, sizeX, sizeY, sizeZ);
  SliceBitmap.Resize(SliceSize().width(), SliceSize().height());
  Doc.FileTitle.clear();
  // The 3D view's square must fit the new model before the render below refreshes it.
  ViewSpan = ComputeViewSpan(Model);
  Refresh1Click();
  ImageBoxPaint();
  DocumentOpenState();
  Doc.Untitled = true;
  Doc.Modified = false;
  UpdateCaption();
  ShowName();
  // The transformation window shows the new defaults at once rather than stale values.
  TransDial->ShowTailerValues();
  ResetHistory();
  ShownSection = int(Model.EditedSection());
  SectionWindow->ShowSections();
}
