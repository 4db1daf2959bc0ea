// Which side the model is sliced from, and the sizes of the slice view that follow.
// Changing it changes what is shown, not the document: it is no step of the history.

#include <QAction>

#include "app/TMainWindow.h"
#include "dialogs/TOrientationDial.h"
#include "editor/TImageBox.h"

PlaneMap TMainWindow::Plane() const {
  return PlaneMap(Model, View.Orientation);
}

QSize TMainWindow::SliceSize() const {
  const PlaneMap plane = Plane();
  return {plane.Width() * View.Zoom, plane.Height() * View.Zoom};
}

void TMainWindow::Orientation1Click() {
  // A drag in progress belongs to the plane it started in.
  if (MouseHeld || !Model.IsOpen()) return;
  if (OrientationDial == nullptr) OrientationDial = new TOrientationDial(this);
  OrientationDial->Choose(View.Orientation);
  if (OrientationDial->exec() != QDialog::Accepted) return;
  SetOrientation(OrientationDial->Chosen());
}

void TMainWindow::SetOrientation(SliceOrientation orientation) {
  if (orientation == View.Orientation) return;
  View.Orientation = orientation;
  // The number stays when the new axis has that layer; past its end the last layer shows,
  // which with the underlay shows the whole model from that side.
  View.CurrentLayer = Plane().ClampLayer(View.CurrentLayer);
  SliceBitmap.Resize(SliceSize().width(), SliceSize().height());
  SetLayerRange();
  RefreshWithout3D();  // the model is as it was: the 3D view stays
}
