#pragma once
#include <QDialog>
class QFrame;
class QLabel;
class QPushButton;

// Product name, version and a picture.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* owner);
  QFrame* Panel1;
  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QPushButton* OKBut;
  void OKButClick();
};
