#pragma once
// The New dialog: asks for the extent of an empty model (or of a section to add) and,
// once all three are valid, closes accepted; its caller builds the model from them.

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

  // The sizes typed, valid once the dialog was accepted.
  std::uint8_t SizeX() const { return std::uint8_t(sizeX_); }
  std::uint8_t SizeY() const { return std::uint8_t(sizeY_); }
  std::uint8_t SizeZ() const { return std::uint8_t(sizeZ_); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The parsed sizes, kept as typed (any 32-bit value) until all three are checked.
  std::int32_t sizeX_ = 0;
  std::int32_t sizeY_ = 0;
  std::int32_t sizeZ_ = 0;
};
