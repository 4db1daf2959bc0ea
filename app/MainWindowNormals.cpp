// Surface normals in the main window: computing them for the current layer or the whole
// section, and showing them in the slice view by the colour of their direction.

#include <QAction>
#include <QMenu>

#include "app/MainWindowParts.h"
#include "dialogs/TNormalsDial.h"
#include "editor/TSliceView.h"
#include "model/ComputeNormals.h"
#include "model/Messages.h"
#include "model/NormalTables.h"
#include "widgets/MessageDialogs.h"

using Parts = MainWindowParts;

void Parts::BuildNormalsCommands() {
  N7 = Edit1->addSeparator();
  N7->setObjectName("N7");
  CalcNormals1 = new QAction("Calculate &Normals...", Edit1);
  CalcNormals1->setObjectName("CalcNormals1");
  CalcNormals1->setEnabled(false);
  Edit1->addAction(CalcNormals1);
  Bind(CalcNormals1, &Parts::CalcNormals1Click);

  // Beside the display modes it belongs to, and of use only in normals mode.
  DirectionColours1 = new QAction("&Direction Colours", View1);
  DirectionColours1->setObjectName("DirectionColours1");
  DirectionColours1->setCheckable(true);
  DirectionColours1->setEnabled(false);
  View1->insertAction(Zoom1->menuAction(), DirectionColours1);
  Bind(DirectionColours1, &Parts::DirectionColours1Click);
}

void Parts::CalcNormals1Click() {
  // A drag in progress owns its step until the button is released.
  if (Doc.DragHeld() || !Doc.IsOpen()) return;
  // Refused before the dialog: there is nothing to choose until the model has a set.
  if (NormalTable(Doc.Model().NormalType).empty()) {
    ShowMessageDialog(&W, MsgChooseNormals);
    return;
  }
  if (NormalsDial == nullptr) NormalsDial = new TNormalsDial(&W);
  if (NormalsDial->exec() != QDialog::Accepted) return;
  CalculateNormalsIn(NormalsDial->WholeSection(), NormalsDial->Radius());
}

void Parts::CalculateNormalsIn(bool wholeSection, int radius) {
  const CellBox area =
      wholeSection ? ModelBox(Doc.Model()) : Doc.Plane().LayerBox(Doc.CurrentLayer());
  NormalsResult result = CalculateNormals(Doc.DraftModel(), area, radius);
  if (result.Status == NormalsStatus::NoNormalSet) {
    ShowMessageDialog(&W, MsgChooseNormals);
    return;
  }
  Doc.Record(std::move(result.Step));  // none when every normal was right already
}

void Parts::DirectionColours1Click() {
  SliceView->SetDirectionColours(DirectionColours1->isChecked());
}
