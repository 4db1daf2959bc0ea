#include "dialogs/TValChDial.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/NumberText.h"
#include "widgets/CentreOnScreen.h"

TValChDial::TValChDial(QWidget* owner)
    // Above the stay-on-top tool windows: it opens from one of them and must not hide under it.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
  setObjectName("ValChDial");
  setWindowTitle("ValChDial");
  setModal(true);
  setFixedSize(169, 93);

  Label1 = new QLabel("Enter new value:", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 8, 153, 17);
  NumBox = new QLineEdit(this);
  NumBox->setObjectName("NumBox");
  NumBox->setGeometry(8, 32, 153, 21);
  Label1->setBuddy(NumBox);

  OKBut = new QPushButton("OK", this);
  OKBut->setObjectName("OKBut");
  OKBut->setGeometry(8, 64, 75, 23);
  OKBut->setDefault(true);
  CancelBut = new QPushButton("Cancel", this);
  CancelBut->setObjectName("CancelBut");
  CancelBut->setGeometry(86, 64, 75, 23);
  connect(OKBut, &QPushButton::clicked, this, &TValChDial::OKButClick);
  connect(CancelBut, &QPushButton::clicked, this, &TValChDial::CancelButClick);
}

void TValChDial::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  NumBox->setFocus(Qt::OtherFocusReason);
}

void TValChDial::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TValChDial::OKButClick() {
  value_ = ToSingleSaturated(ParseLeadingDouble(NumBox->text().toStdString()));
  accept();
}

void TValChDial::CancelButClick() {
  reject();
}
