#include "editor/TLayerWindow.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "document/Document.h"
#include "model/NewModel.h"

namespace {
std::int32_t LayerNumValue(const QLineEdit* edit) {
  return ParseLeadingInt(edit->text().toStdString());
}
}  // namespace

TLayerWindow::TLayerWindow(Document& document, QWidget* owner)
    : TToolWindow(owner, "Layers", 121, 74, 511, 102), doc_(document) {
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

  connect(&doc_, &Document::replaced, this, &TLayerWindow::SetLayerRange);
  connect(&doc_, &Document::editedSectionChanged, this, &TLayerWindow::SetLayerRange);
  connect(&doc_, &Document::orientationChanged, this, &TLayerWindow::SetLayerRange);
  connect(&doc_, &Document::changed, this, [this](const ChangeSet& changes) {
    // A step may have shown another section, or moved the layer onto what it changed.
    if (changes.Has(ChangedSections) || TrackBar1->value() != doc_.CurrentLayer())
      SetLayerRange();
  });
}

void TLayerWindow::SetLayerRange() {
  {
    const QSignalBlocker quiet(TrackBar1);
    TrackBar1->setMaximum(std::max(doc_.Plane().Layers() - 1, 0));
    TrackBar1->setValue(doc_.CurrentLayer());
  }
  const QSignalBlocker quiet(LayerNum);
  LayerNum->setText(QString::number(doc_.CurrentLayer()));
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
  // The document clamps to the layers along the axis the model is sliced across.
  doc_.SetCurrentLayer(LayerNumValue(LayerNum));
}
