#pragma once
#include "app/TToolWindow.h"
// Stub: the transformation matrix tool window.
class TTransDial : public TToolWindow {
  Q_OBJECT
 public:
  explicit TTransDial(QWidget* owner);
  void ShowTailerValues();
  void FormClose() override;
};
