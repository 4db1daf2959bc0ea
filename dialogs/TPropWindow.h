#pragma once
#include <QDialog>
// Stub: the properties dialog.
class TPropWindow : public QDialog {
  Q_OBJECT
 public:
  explicit TPropWindow(QWidget* owner);
};
