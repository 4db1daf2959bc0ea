#pragma once
// The Orientation dialog: which side the model is sliced from, as three choices with
// OK and Cancel.

#include <QDialog>
#include <array>

#include "editor/Orientation.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

class TOrientationDial : public QDialog {
  Q_OBJECT
 public:
  explicit TOrientationDial(QWidget* owner);

  QGroupBox* OrientationGroup = nullptr;
  QRadioButton* TopSelect = nullptr;    // "Top (layers along Z)"
  QRadioButton* FrontSelect = nullptr;  // "Front (layers along Y)"
  QRadioButton* SideSelect = nullptr;   // "Side (layers along X)"
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // Checks the choice the dialog opens with.
  void Choose(SliceOrientation orientation);
  // The checked choice.
  SliceOrientation Chosen() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::array<QRadioButton*, 3> choices_{};  // in the order of AllOrientations
};
