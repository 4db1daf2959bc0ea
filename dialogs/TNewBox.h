#pragma once
#include <QDialog>
class QLineEdit;
class QPushButton;
// Stub: the New dialog (filled in by its own change).
class TNewBox : public QDialog {
  Q_OBJECT
 public:
  explicit TNewBox(QWidget* owner);
  QLineEdit* LengthNum = nullptr;
  QLineEdit* WidthNum = nullptr;
  QLineEdit* HeightNum = nullptr;
};
