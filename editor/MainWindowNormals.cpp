// Surface normals in the main window: computing them for the current layer or the whole
// section, and showing them in the slice view by the colour of their direction.

#include <QAction>
#include <QMenu>

#include "app/MessageDialogs.h"
#include "app/TMainWindow.h"
#include "dialogs/TNormalsDial.h"
#include "model/ComputeNormals.h"
#include "model/Messages.h"
#include "model/NormalTables.h"

void TMainWindow::BuildNormalsCommands() {
  N7 = Edit1->addSeparator();
  N7->setObjectName("N7");
  CalcNormals1 = new QAction("Calculate &Normals...", Edit1);
  CalcNormals1->setObjectName("CalcNormals1");
  CalcNormals1->setEnabled(false);
  Edit1->addAction(CalcNormals1);
  Bind(CalcNormals1, &TMainWindow::CalcNormals1Click);

  // Beside the display modes it belongs to, and of use only in normals mode.
  DirectionColours1 = new QAction("&Direction Colours", View1);
  DirectionColours1->setObjectName("DirectionColours1");
  DirectionColours1->setCheckable(true);
  DirectionColours1->setEnabled(false);
  View1->insertAction(Zoom1->menuAction(), DirectionColours1);
  Bind(DirectionColours1, &TMainWindow::DirectionColours1Click);
}

void TMainWindow::CalcNormals1Click() {
  // A drag in progress owns its step until the button is released.
  if (MouseHeld || !Model.IsOpen()) return;
  // Refused before the dialog: there is nothing to choose until the model has a set.
  if (NormalTable(Model.NormalType).empty()) {
    ShowMessageDialog(MsgChooseNormals);
    return;
  }
  if (NormalsDial == nullptr) NormalsDial = new TNormalsDial(this);
  if (NormalsDial->exec() != QDialog::Accepted) return;
  CalculateNormalsIn(NormalsDial->WholeSection(), NormalsDial->Radius());
}

void TMainWindow::CalculateNormalsIn(bool wholeSection, int radius) {
  const CellBox area = wholeSection ? ModelBox(Model) : Plane().LayerBox(View.CurrentLayer);
  NormalsResult result = CalculateNormals(Model, area, radius);
  if (result.Status == NormalsStatus::NoNormalSet) {
    ShowMessageDialog(MsgChooseNormals);
    return;
  }
  RecordStep(std::move(result.Step));  // none when every normal was right already
}

void TMainWindow::DirectionColours1Click() {
  View.DirectionColours = DirectionColours1->isChecked();
  RefreshWithout3D();
}
