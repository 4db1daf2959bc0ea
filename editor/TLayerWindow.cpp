#include "editor/TLayerWindow.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "app/Forms.h"
#include "app/TMainWindow.h"
#include "model/NewModel.h"

namespace {
std::int32_t LayerNumValue(const QLineEdit* edit) {
  return ParseLeadingInt(edit->text().toStdString());
}
}  // namespace

TLayerWindow::TLayerWindow(QWidget* owner) : TToolWindow(owner, "Layers", 121, 74, 511, 102) {
  setObjectName("LayerWindow");

  TrackBar1 = new QSlider(Qt::Horizontal, this);
  TrackBar1->setObjectName("TrackBar1");
  TrackBar1->setGeometry(8, 8, 105, 33);
  TrackBar1->setRange(0, 0);  // the maximum follows the model's height
  TrackBar1->setValue(0);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setTickInterval(1);
  TrackBar1->setAccessibleName("Layer");

  LayerNum = new QLineEdit("0", this);
  LayerNum->setObjectName("LayerNum");
  LayerNum->setGeometry(8, 45, 105, 21);
  LayerNum->setMaxLength(3);
  LayerNum->setAccessibleName("Layer number");

  // Programmatic track bar moves are made under a signal blocker, so valueChanged here
  // means the user moved it (mouse, keys or wheel).
  connect(TrackBar1, &QSlider::valueChanged, this, &TLayerWindow::TrackBar1Change);
  connect(LayerNum, &QLineEdit::textChanged, this, &TLayerWindow::LayerNumChange);
}

void TLayerWindow::FormClose() {
  MainWindow->ToolWindowClosed(MainWindow->SelectLayer1, MainWindow->SelectLayerButton);
}

void TLayerWindow::TrackBar1Change() {
  LayerNum->setText(QString::number(TrackBar1->value()));
  LayerOKClick();
}

void TLayerWindow::LayerNumChange() {
  {
    const QSignalBlocker quiet(TrackBar1);
    TrackBar1->setValue(LayerNumValue(LayerNum));  // the track bar clamps by itself
  }
  LayerOKClick();
}

void TLayerWindow::LayerOKClick() {
  TMainWindow* w = MainWindow;
  if (w == nullptr || !w->Model.IsOpen()) return;  // no model: no layer to show
  // The layers run along the axis the model is sliced across.
  const int layers = w->Plane().Layers();
  std::int32_t v = LayerNumValue(LayerNum);
  if (v >= layers)
    v = layers - 1;
  else if (v < 0)
    v = 0;
  w->View.CurrentLayer = v;
  w->RefreshWithout3D();
}
