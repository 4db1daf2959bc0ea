#include "dialogs/TOrientationDial.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "widgets/CentreOnScreen.h"

TOrientationDial::TOrientationDial(QWidget* owner)
    // Above the stay-on-top tool windows, so that a modal dialog is never hidden behind one.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
  setObjectName("OrientationDial");
  setWindowTitle("Orientation");
  setModal(true);
  setFixedSize(217, 137);

  OrientationGroup = new QGroupBox("View from", this);
  OrientationGroup->setObjectName("OrientationGroup");
  OrientationGroup->setGeometry(8, 4, 201, 94);
  const char* names[] = {"TopSelect", "FrontSelect", "SideSelect"};
  for (std::size_t i = 0; i < choices_.size(); ++i) {
    auto* b = new QRadioButton(OrientationText(AllOrientations[i]), OrientationGroup);
    b->setObjectName(names[i]);
    b->setGeometry(10, 20 + 23 * int(i), 185, 21);
    choices_[i] = b;
  }
  TopSelect = choices_[0];
  FrontSelect = choices_[1];
  SideSelect = choices_[2];
  TopSelect->setChecked(true);

  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(54, 106, 75, 23);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  CancelButton->setGeometry(134, 106, 75, 23);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TOrientationDial::Choose(SliceOrientation orientation) {
  for (std::size_t i = 0; i < choices_.size(); ++i)
    if (AllOrientations[i] == orientation) choices_[i]->setChecked(true);
}

SliceOrientation TOrientationDial::Chosen() const {
  for (std::size_t i = 0; i < choices_.size(); ++i)
    if (choices_[i]->isChecked()) return AllOrientations[i];
  return SliceOrientation::Top;
}

void TOrientationDial::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  for (QRadioButton* b : choices_)
    if (b->isChecked()) b->setFocus(Qt::OtherFocusReason);
}
