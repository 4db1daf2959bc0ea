#pragma once
// The "Layers" tool window: a track bar and a number box that choose the document's
// current layer, and follow it when anything else changes it.

#include "widgets/TToolWindow.h"

class Document;
class QSlider;
class QLineEdit;

class TLayerWindow : public TToolWindow {
  Q_OBJECT
 public:
  TLayerWindow(Document& document, QWidget* owner);

  // The user moved the track bar: its position goes into the number box.
  void TrackBar1Change();
  // The number box's text changed (typed, or set by the track bar).
  void LayerNumChange();
  // Makes the number in the box the current layer, clamped to the model; the box keeps
  // its text.
  void LayerOKClick();

  QSlider* TrackBar1 = nullptr;
  QLineEdit* LayerNum = nullptr;

 private:
  // The track bar's range follows the layer count, and both controls the current layer.
  void SetLayerRange();

  Document& doc_;
};
