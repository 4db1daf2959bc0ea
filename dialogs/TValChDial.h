#pragma once
// The value editor of the Transformation Matrix window: one number for one tailer value,
// which its caller stores once the dialog was accepted.

#include <QDialog>
#include <cstddef>

class QLabel;
class QLineEdit;
class QPushButton;

class TValChDial : public QDialog {
  Q_OBJECT
 public:
  explicit TValChDial(QWidget* owner);

  QLabel* Label1 = nullptr;
  QLineEdit* NumBox = nullptr;
  QPushButton* OKBut = nullptr;
  QPushButton* CancelBut = nullptr;
  std::size_t ValueIndex = 0;  // the tailer value being edited
  // The number typed, rounded to single precision, once OK was pressed.
  float Value() const { return value_; }

  void OKButClick();
  void CancelButClick();

 protected:
  void showEvent(QShowEvent* event) override;
  // No key cancels: Escape is swallowed. The close box still cancels.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  float value_ = 0.0f;
};
