#include "dialogs/TNewBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/Messages.h"
#include "model/NewModel.h"
#include "widgets/CentreOnScreen.h"
#include "widgets/MessageDialogs.h"

namespace {
QLineEdit* SizeBox(QWidget* parent, const char* name, QLabel* label, int top) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setMaxLength(3);
  box->setGeometry(88, top, 89, 21);
  label->setBuddy(box);
  return box;
}

QLabel* SizeLabel(QWidget* parent, const char* name, const char* caption, int top) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setGeometry(8, top, 76, 21);
  return label;
}
}  // namespace

TNewBox::TNewBox(QWidget* owner)
    // Not kept on top like the value editor: its range message would open beneath it.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("NewBox");
  setWindowTitle("New");
  setModal(true);
  setFixedSize(185, 127);

  Label1 = SizeLabel(this, "Label1", "Length (X):", 8);
  LengthNum = SizeBox(this, "LengthNum", Label1, 8);
  Label2 = SizeLabel(this, "Label2", "Width (Y):", 36);
  WidthNum = SizeBox(this, "WidthNum", Label2, 36);
  Label3 = SizeLabel(this, "Label3", "Height (Z):", 64);
  HeightNum = SizeBox(this, "HeightNum", Label3, 64);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setGeometry(14, 96, 75, 23);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setGeometry(96, 96, 75, 23);
  connect(OKBtn, &QPushButton::clicked, this, &TNewBox::OKButtonClick);
  // Escape reaches QDialog::reject as well, which is the same as Cancel here.
  connect(CancelBtn, &QPushButton::clicked, this, &TNewBox::CancelBtnClick);
}

void TNewBox::showEvent(QShowEvent* event) {
  setWindowTitle(Use == Purpose::AddSection ? "Add Section" : "New");
  CentreOnScreen(this);
  QDialog::showEvent(event);
  // Each use starts in the first box, whichever control had the focus when it closed.
  LengthNum->setFocus(Qt::OtherFocusReason);
  LengthNum->selectAll();
}

void TNewBox::OKButtonClick() {
  sizeX_ = ParseLeadingInt(LengthNum->text().toStdString());
  sizeY_ = ParseLeadingInt(WidthNum->text().toStdString());
  sizeZ_ = ParseLeadingInt(HeightNum->text().toStdString());
  if (!IsValidModelSize(sizeX_) || !IsValidModelSize(sizeY_) || !IsValidModelSize(sizeZ_)) {
    ShowMessageDialog(this, MsgSizeRange, "&OK");
    return;
  }
  accept();
}

void TNewBox::CancelBtnClick() {
  reject();
}
