#include "dialogs/TNormalsDial.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "widgets/CentreOnScreen.h"
#include "model/ComputeNormals.h"

TNormalsDial::TNormalsDial(QWidget* owner)
    // Above the stay-on-top tool windows, so that a modal dialog is never hidden behind one.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
  setObjectName("NormalsDial");
  setWindowTitle("Calculate Normals");
  setModal(true);
  setFixedSize(233, 147);

  RadiusLabel = new QLabel("&Smoothing radius:", this);
  RadiusLabel->setObjectName("RadiusLabel");
  RadiusLabel->setGeometry(8, 12, 124, 16);
  RadiusBox = new QSpinBox(this);
  RadiusBox->setObjectName("RadiusBox");
  RadiusBox->setAccessibleName("Smoothing radius");
  RadiusBox->setAccessibleDescription("How far around each voxel the surface is looked at");
  RadiusBox->setGeometry(136, 8, 89, 23);
  RadiusBox->setRange(MinSmoothing, MaxSmoothing);
  RadiusBox->setValue(DefaultSmoothing);
  RadiusLabel->setBuddy(RadiusBox);

  AreaGroup = new QGroupBox("Work on", this);
  AreaGroup->setObjectName("AreaGroup");
  AreaGroup->setGeometry(8, 38, 217, 70);
  LayerSelect = new QRadioButton("The current &layer", AreaGroup);
  LayerSelect->setObjectName("LayerSelect");
  LayerSelect->setGeometry(10, 20, 195, 21);
  SectionSelect = new QRadioButton("The whole s&ection", AreaGroup);
  SectionSelect->setObjectName("SectionSelect");
  SectionSelect->setGeometry(10, 43, 195, 21);
  SectionSelect->setChecked(true);

  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(70, 116, 75, 23);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  CancelButton->setGeometry(150, 116, 75, 23);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

int TNormalsDial::Radius() const {
  return RadiusBox->value();
}

bool TNormalsDial::WholeSection() const {
  return SectionSelect->isChecked();
}

void TNormalsDial::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  RadiusBox->setFocus(Qt::OtherFocusReason);
  RadiusBox->selectAll();
}
