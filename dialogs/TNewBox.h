#pragma once
// The New dialog: asks for the extent of an empty model and hands valid sizes to the
// main window, which builds the model.

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TNewBox : public QDialog {
  Q_OBJECT
 public:
  explicit TNewBox(QWidget* owner);

  // The same sizes serve a new model and a new section of the open one.
  enum class Purpose { NewModel, AddSection };
  Purpose Use = Purpose::NewModel;

  QLabel* Label1 = nullptr;
  QLineEdit* LengthNum = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* WidthNum = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* HeightNum = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  void OKButtonClick();
  void CancelBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The parsed sizes, kept as typed (any 32-bit value) until all three are checked.
  std::int32_t sizeX_ = 0;
  std::int32_t sizeY_ = 0;
  std::int32_t sizeZ_ = 0;
};
