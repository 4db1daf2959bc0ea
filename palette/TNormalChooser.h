#pragma once
// The palette dialog's panel for choosing a normal by its direction: the lit sphere of
// the model's normal set with every normal's spot marked, the chosen normal's index and
// vector, and a spin box that picks by index from the keyboard.

#include <QWidget>

#include "editor/PixelBuffer.h"

class QLabel;
class QSpinBox;
class TNormalChooser;

// The sphere picture; a left press picks the normal nearest the direction under it.
class TNormalSphereBox : public QWidget {
  Q_OBJECT
 public:
  TNormalSphereBox(QWidget* parent, TNormalChooser* chooser);
  PixelBuffer Picture;  // as last rendered

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TNormalChooser* chooser_;
};

class TNormalChooser : public QWidget {
  Q_OBJECT
 public:
  static constexpr int SphereWidth = 320;
  static constexpr int SphereHeight = 160;
  static constexpr int PanelWidth = 326;

  explicit TNormalChooser(QWidget* parent);

  // ---- Controls (objectName = the name used here) ----
  TNormalSphereBox* NormalSphere = nullptr;
  QLabel* NearCaption = nullptr;
  QLabel* FarCaption = nullptr;
  QLabel* NormalText = nullptr;  // "Normal 17: (0.52, -0.31, 0.79)"
  QLabel* NormalIndexLabel = nullptr;
  QSpinBox* NormalIndex = nullptr;
  QLabel* HintText = nullptr;

  // Shows normalType's set with index as the chosen normal; emits nothing.
  void ShowNormal(int normalType, int index);
  // A press on the sphere at (x, y) of its picture.
  void SphereClicked(int x, int y);

 signals:
  // The user chose a normal on the sphere or in the spin box.
  void Picked(int index);

 private:
  int normalType_ = 0;
  int index_ = -1;
};
