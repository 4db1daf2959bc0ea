// Which side the model is sliced from. Changing it changes what is shown, not the
// document: it is no step of the history.

#include "app/MainWindowParts.h"
#include "dialogs/TOrientationDial.h"

using Parts = MainWindowParts;

void Parts::Orientation1Click() {
  // A drag in progress belongs to the plane it started in.
  if (Doc.DragHeld() || !Doc.IsOpen()) return;
  if (OrientationDial == nullptr) OrientationDial = new TOrientationDial(&W);
  OrientationDial->Choose(Doc.Orientation());
  if (OrientationDial->exec() != QDialog::Accepted) return;
  Doc.SetOrientation(OrientationDial->Chosen());
}
