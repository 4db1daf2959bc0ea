// The Colours menu: JASC palette files and the palette dialog's openers.

#include <QFileDialog>

#include "app/MainWindowParts.h"
#include "editor/TSliceView.h"
#include "model/DocumentSteps.h"
#include "palette/PaletteFile.h"
#include "palette/TPaletteDialog.h"
#include "view3d/TThreeDWindow.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageDialogs.h"

using Parts = MainWindowParts;

void Parts::LoadPal1Click() {
  std::string path;
  if (!RunFileDialog(PalDial, path)) return;
  ReadPaletteFile(path);
}

void Parts::SavePal1Click() {
  std::string path;
  if (!RunFileDialog(PalSDial, path)) return;
  WritePaletteFile(path);
}

void Parts::ReadPaletteFile(const std::string& path) {
  ClearFileName(PalDial);
  // The reader replaces the whole palette or leaves it as it was.
  PaletteRGB loaded = Doc.Model().Palette;
  const PaletteStatus status = ::ReadPaletteFile(path, loaded);
  bool shown = false;
  if (status != PaletteStatus::Ok)
    ShowMessageDialog(&W, PaletteStatusMessage(status), "&OK");
  else  // the file keeps the palette
    shown = Doc.Edit([&](TVoxelModel& m) { return ChangePalette(m, loaded, "Load Palette"); });
  // The views are redrawn even when the palette stayed as it was.
  if (!shown) Refresh1Click();
}

void Parts::WritePaletteFile(const std::string& path) {
  ClearFileName(PalSDial);
  const PaletteStatus status = ::WritePaletteFile(path, Doc.Model().Palette);
  if (status != PaletteStatus::Ok) ShowMessageDialog(&W, PaletteStatusMessage(status), "&OK");
}

void Parts::EditPal1Click() {
  PaletteDialog->EditMode = true;
  PaletteDialog->setWindowTitle("Edit Palette");
  PaletteDialog->exec();
}

void Parts::ChooseLeftColor() {
  PaletteDialog->SelectRightColor = false;
  PaletteDialog->setWindowTitle("Choose Colour");
  PaletteDialog->exec();
}

void Parts::ChooseRightColor() {
  PaletteDialog->SelectRightColor = true;
  PaletteDialog->setWindowTitle("Choose Colour");
  PaletteDialog->exec();
}
