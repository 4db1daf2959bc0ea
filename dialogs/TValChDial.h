#pragma once
// The value editor of the Transformation Matrix window: one number for one tailer value.

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

  void OKButClick();
  void CancelButClick();

 protected:
  void showEvent(QShowEvent* event) override;
  // No key cancels: Escape is swallowed. The close box still cancels.
  void keyPressEvent(QKeyEvent* event) override;
};
