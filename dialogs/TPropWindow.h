#pragma once
// The Properties dialog: shows the model's file, name, extent and normal version and
// edits the name and the normal version, with OK, Cancel and Apply.

#include <QDialog>

class Document;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TPropWindow : public QDialog {
  Q_OBJECT
 public:
  TPropWindow(Document& document, QWidget* owner);

  QTabWidget* TabControl1 = nullptr;
  QWidget* GeneralPage = nullptr;
  QLabel* Image1 = nullptr;
  QLineEdit* FileName = nullptr;
  QLabel* NameTxt = nullptr;
  QLineEdit* NameText = nullptr;
  QLabel* DimensionsTxt = nullptr;
  QLineEdit* DimText = nullptr;
  QLabel* Label1 = nullptr;
  QRadioButton* TSSelect = nullptr;
  QRadioButton* RA2Select = nullptr;
  QRadioButton* OtherShow = nullptr;
  QFrame* Bevel1 = nullptr;
  QFrame* Bevel2 = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QPushButton* ApplyButton = nullptr;  // enabled while the controls hold unapplied changes

  void FormActivate();
  void NameTextChange();
  void RadioButClick();
  void ApplyButtonClick();
  void OKButtonClick();
  void CancelButtonClick();

  // Escape and the window manager's close request act as Cancel.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyChanges();
  Document& doc_;
};
