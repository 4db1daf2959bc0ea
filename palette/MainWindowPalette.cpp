// The Colours menu: JASC palette files and the palette dialog's openers.

#include <QFileDialog>

#include "app/FileDialogs.h"
#include "app/Forms.h"
#include "app/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "model/DocumentSteps.h"
#include "palette/PaletteFile.h"
#include "palette/TPaletteDialog.h"

void TMainWindow::LoadPal1Click() {
  std::string path;
  if (!RunFileDialog(PalDial, path)) return;
  ReadPaletteFile(path);
}

void TMainWindow::SavePal1Click() {
  std::string path;
  if (!RunFileDialog(PalSDial, path)) return;
  WritePaletteFile(path);
}

void TMainWindow::ReadPaletteFile(const std::string& path) {
  ClearFileName(PalDial);
  // The reader replaces the whole palette or leaves it as it was.
  PaletteRGB loaded = Model.Palette;
  const PaletteStatus status = ::ReadPaletteFile(path, loaded);
  bool shown = false;
  if (status != PaletteStatus::Ok)
    ShowMessageDialog(PaletteStatusMessage(status), "&OK");
  else  // the file keeps the palette
    shown = RecordStep(ChangePalette(Model, loaded, "Load Palette"));
  // The view is redrawn even when the palette stayed as it was.
  if (!shown) Refresh1Click();
}

void TMainWindow::WritePaletteFile(const std::string& path) {
  ClearFileName(PalSDial);
  const PaletteStatus status = ::WritePaletteFile(path, Model.Palette);
  if (status != PaletteStatus::Ok) ShowMessageDialog(PaletteStatusMessage(status), "&OK");
}

void TMainWindow::EditPal1Click() {
  PaletteDialog->EditMode = true;
  PaletteDialog->setWindowTitle("Edit Palette");
  PaletteDialog->exec();
}

void TMainWindow::ChooseLeftColor() {
  PaletteDialog->SelectRightColor = false;
  PaletteDialog->setWindowTitle("Choose Colour");
  PaletteDialog->exec();
}

void TMainWindow::ChooseRightColor() {
  PaletteDialog->SelectRightColor = true;
  PaletteDialog->setWindowTitle("Choose Colour");
  PaletteDialog->exec();
}
