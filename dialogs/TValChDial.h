#pragma once
#include <QDialog>
// Stub: the value editor of the transformation window.
class TValChDial : public QDialog {
  Q_OBJECT
 public:
  explicit TValChDial(QWidget* owner);
};
