#pragma once
// The "Layers" tool window: a track bar and a number box that choose the layer shown.

#include "app/TToolWindow.h"

class QSlider;
class QLineEdit;

class TLayerWindow : public TToolWindow {
  Q_OBJECT
 public:
  explicit TLayerWindow(QWidget* owner);
  void FormClose() override;

  // The user moved the track bar: its position goes into the number box.
  void TrackBar1Change();
  // The number box's text changed (typed, or set by the track bar or the main window).
  void LayerNumChange();
  // Shows the layer in the number box, clamped to the model; the box keeps its text.
  void LayerOKClick();

  QSlider* TrackBar1 = nullptr;
  QLineEdit* LayerNum = nullptr;
};
