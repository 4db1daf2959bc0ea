#include "dialogs/TPropWindow.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QValidator>

#include "document/Document.h"
#include "model/DocumentSteps.h"
#include "resources/Artwork.h"

namespace {
// What a user may type; a 16-character name read from a file is still shown whole.
constexpr int kNameBoxLength = 15;
constexpr int kNameBytes = 16;

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// The file holds the name as single bytes: whatever else a user types or pastes is
// dropped, so that the box shows what will be saved. A character that came with the file
// is kept, so that such a name can still be edited.
class NameValidator : public QValidator {
 public:
  NameValidator(QObject* parent, const Document& document)
      : QValidator(parent), doc_(document) {}
  State validate(QString& input, int& pos) const override {
    const QString fromFile = QString::fromLatin1(::NameText(doc_.Model().Name).c_str());
    QString kept;
    for (qsizetype i = 0; i < input.size(); ++i) {
      const char16_t c = input[i].unicode();
      const bool printable = (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF);
      if (printable || fromFile.contains(input[i]))
        kept += input[i];
      else if (i < pos)
        --pos;
    }
    input = kept;
    return Acceptable;
  }

 private:
  const Document& doc_;
};

QFrame* HorizontalBevel(QWidget* parent, const char* name, int top) {
  auto* bevel = Named(new QFrame(parent), name);
  bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  bevel->setGeometry(8, top, 241, 2);
  return bevel;
}
}  // namespace

TPropWindow::TPropWindow(Document& document, QWidget* owner)
    // Above the stay-on-top tool windows, so that a modal dialog is never hidden behind one.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowStaysOnTopHint),
      doc_(document) {
  setObjectName("PropWindow");
  setWindowTitle("Properties");
  setModal(true);
  setFixedSize(281, 300);

  TabControl1 = Named(new QTabWidget(this), "TabControl1");
  TabControl1->setGeometry(8, 8, 265, 253);
  GeneralPage = Named(new QWidget(), "GeneralPage");
  TabControl1->addTab(GeneralPage, "General");

  Image1 = Named(new QLabel(GeneralPage), "Image1");
  Image1->setGeometry(12, 10, 32, 32);
  Image1->setPixmap(ArtPixmap(":/pictures/properties.svg", QSize(32, 32)));
  Image1->setAccessibleName("Model properties");

  FileName = Named(new QLineEdit("FileName.vxl", GeneralPage), "FileName");
  FileName->setReadOnly(true);
  FileName->setGeometry(60, 15, 189, 21);
  FileName->setAccessibleName("File name");

  Bevel1 = HorizontalBevel(GeneralPage, "Bevel1", 52);

  NameTxt = Named(new QLabel("Name:", GeneralPage), "NameTxt");
  NameTxt->setGeometry(12, 64, 80, 21);
  NameText = Named(new QLineEdit("VOXEL NAME", GeneralPage), "NameText");
  NameText->setMaxLength(kNameBoxLength);
  NameText->setValidator(new NameValidator(NameText, doc_));
  NameText->setGeometry(96, 64, 153, 21);
  NameTxt->setBuddy(NameText);

  DimensionsTxt = Named(new QLabel("Dimensions:", GeneralPage), "DimensionsTxt");
  DimensionsTxt->setGeometry(12, 94, 80, 21);
  DimText = Named(new QLineEdit("Lenght x Width x Height", GeneralPage), "DimText");
  DimText->setReadOnly(true);
  DimText->setGeometry(96, 94, 153, 21);
  DimensionsTxt->setBuddy(DimText);

  Bevel2 = HorizontalBevel(GeneralPage, "Bevel2", 128);

  Label1 = Named(new QLabel("Normal Version:", GeneralPage), "Label1");
  Label1->setGeometry(12, 138, 160, 17);
  TSSelect = Named(new QRadioButton("02 - Tiberian Sun", GeneralPage), "TSSelect");
  TSSelect->setGeometry(24, 158, 200, 19);
  RA2Select = Named(new QRadioButton("04 - Red Alert 2", GeneralPage), "RA2Select");
  RA2Select->setGeometry(24, 179, 200, 19);
  OtherShow = Named(new QRadioButton("Other (Invalid)", GeneralPage), "OtherShow");
  OtherShow->setGeometry(24, 200, 200, 19);
  // The user cannot choose an invalid version; the button only reports one.
  OtherShow->setEnabled(false);
  OtherShow->setChecked(true);

  OKButton = Named(new QPushButton("OK", this), "OKButton");
  OKButton->setGeometry(36, 269, 75, 23);
  OKButton->setDefault(true);
  CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
  CancelButton->setGeometry(116, 269, 75, 23);
  ApplyButton = Named(new QPushButton("&Apply", this), "ApplyButton");
  ApplyButton->setGeometry(196, 269, 75, 23);
  ApplyButton->setEnabled(false);

  connect(NameText, &QLineEdit::textChanged, this, &TPropWindow::NameTextChange);
  // Selecting a version (by the user or by FormActivate) counts as a change, as the
  // filling step expects; clicking the already selected one changes nothing.
  for (QRadioButton* radio : {TSSelect, RA2Select})
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (on) RadioButClick();
    });
  connect(ApplyButton, &QPushButton::clicked, this, &TPropWindow::ApplyButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &TPropWindow::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TPropWindow::CancelButtonClick);

  FormActivate();
}

void TPropWindow::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
  NameText->setFocus(Qt::OtherFocusReason);
}

void TPropWindow::FormActivate() {
  const TVoxelModel& model = doc_.Model();
  const QString name = QString::fromLatin1(::NameText(model.Name).c_str());
  // Widen the limit first: setText would otherwise cut a full 16-byte name to 15.
  NameText->setMaxLength(name.size() > kNameBoxLength ? kNameBytes : kNameBoxLength);
  NameText->setText(name);
  FileName->setText(QString::fromStdString(doc_.FileTitle()));
  DimText->setText(
      QString::asprintf("%dx%dx%d", int(model.SizeX), int(model.SizeY), int(model.SizeZ)));
  if (model.NormalType == 2)
    TSSelect->setChecked(true);
  else if (model.NormalType == 4)
    RA2Select->setChecked(true);
  else
    OtherShow->setChecked(true);
  ApplyButton->setEnabled(false);
}

void TPropWindow::NameTextChange() {
  // Once a full-length name has been shortened, the usual limit applies again.
  if (NameText->text().size() <= kNameBoxLength) NameText->setMaxLength(kNameBoxLength);
  ApplyButton->setEnabled(true);
}

void TPropWindow::RadioButClick() {
  ApplyButton->setEnabled(true);
}

void TPropWindow::ApplyChanges() {
  const TVoxelModel& model = doc_.Model();
  NameBytes name = model.Name;
  StoreNameText(name, NameText->text().toLatin1().toStdString());
  std::uint8_t normalType = model.NormalType;
  if (TSSelect->isChecked())
    normalType = 2;
  else if (RA2Select->isChecked())
    normalType = 4;
  doc_.Edit([&](TVoxelModel& m) { return ChangeProperties(m, name, normalType, "Properties"); });
}

void TPropWindow::ApplyButtonClick() {
  ApplyChanges();
  ApplyButton->setEnabled(false);
}

void TPropWindow::OKButtonClick() {
  if (ApplyButton->isEnabled()) ApplyChanges();
  accept();
}

void TPropWindow::CancelButtonClick() {
  ApplyButton->setEnabled(false);
  QDialog::reject();
}

void TPropWindow::reject() {
  CancelButtonClick();
}
