#pragma once
// The "Statistics" tool window: position and value under the pointer, or the value of
// a colour box. The main window writes the labels and the panel (MainWindowReadout.cpp).

#include "app/TToolWindow.h"

class QLabel;
class QFrame;

class TStatBox : public TToolWindow {
  Q_OBJECT
 public:
  explicit TStatBox(QWidget* owner);
  void FormClose() override;

  QLabel* RedText = nullptr;
  QLabel* GreenText = nullptr;
  QLabel* BlueText = nullptr;
  QLabel* IndexText = nullptr;
  QLabel* XText = nullptr;
  QLabel* YText = nullptr;
  QLabel* ZText = nullptr;
  QFrame* ColorPanel = nullptr;  // shows the colour as its background
  QFrame* Bevel1 = nullptr;      // the line above the position
};
