#include "app/Forms.h"

#include "app/MessageDialogs.h"
#include "app/TAboutBox.h"
#include "app/TMainWindow.h"
#include "dialogs/TNewBox.h"
#include "dialogs/TPropWindow.h"
#include "dialogs/TTransDial.h"
#include "dialogs/TValChDial.h"
#include "editor/TLayerWindow.h"
#include "editor/TSectionWindow.h"
#include "editor/TStatBox.h"
#include "palette/TPaletteDialog.h"
#include "view3d/TThreeDWindow.h"

TMainWindow* MainWindow = nullptr;
TNewBox* NewBox = nullptr;
TPaletteDialog* PaletteDialog = nullptr;
TLayerWindow* LayerWindow = nullptr;
TTransDial* TransDial = nullptr;
TSingleButDial* SingleButDial = nullptr;
TDoubleButDial* DoubleButDial = nullptr;
TTripleButDial* TripleButDial = nullptr;
TPropWindow* PropWindow = nullptr;
TAboutBox* AboutBox = nullptr;
TStatBox* StatBox = nullptr;
TThreeDWindow* ThreeDWindow = nullptr;
TValChDial* ValChDial = nullptr;
TSectionWindow* SectionWindow = nullptr;

void CreateForms(const std::string& commandLine) {
  MainWindow = new TMainWindow(commandLine);
  NewBox = new TNewBox(MainWindow);
  PaletteDialog = new TPaletteDialog(MainWindow);
  LayerWindow = new TLayerWindow(MainWindow);
  TransDial = new TTransDial(MainWindow);
  SingleButDial = new TSingleButDial(MainWindow);
  DoubleButDial = new TDoubleButDial(MainWindow);
  TripleButDial = new TTripleButDial(MainWindow);
  PropWindow = new TPropWindow(MainWindow);
  AboutBox = new TAboutBox(MainWindow);
  StatBox = new TStatBox(MainWindow);
  ThreeDWindow = new TThreeDWindow(MainWindow);
  ValChDial = new TValChDial(MainWindow);
  SectionWindow = new TSectionWindow(MainWindow);
}

namespace {
template <typename T>
void DestroyForm(T*& form) {
  delete form;
  form = nullptr;
}
}  // namespace

void DestroyForms() {
  DestroyForm(SectionWindow);
  DestroyForm(ValChDial);
  DestroyForm(ThreeDWindow);
  DestroyForm(StatBox);
  DestroyForm(AboutBox);
  DestroyForm(PropWindow);
  DestroyForm(TripleButDial);
  DestroyForm(DoubleButDial);
  DestroyForm(SingleButDial);
  DestroyForm(TransDial);
  DestroyForm(LayerWindow);
  DestroyForm(PaletteDialog);
  DestroyForm(NewBox);
  DestroyForm(MainWindow);
}
