#pragma once
// The Calculate Normals dialog: how far around each voxel the surface is looked at, and
// whether the current layer or the whole section gets new normals.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TNormalsDial : public QDialog {
  Q_OBJECT
 public:
  explicit TNormalsDial(QWidget* owner);

  QLabel* RadiusLabel = nullptr;
  QSpinBox* RadiusBox = nullptr;  // the smoothing radius, 1 to 5
  QGroupBox* AreaGroup = nullptr;
  QRadioButton* LayerSelect = nullptr;    // "The current layer"
  QRadioButton* SectionSelect = nullptr;  // "The whole section"
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  int Radius() const;
  bool WholeSection() const;

 protected:
  void showEvent(QShowEvent* event) override;
};
