#pragma once
// A small stay-on-top tool window with only a close box. Closing it in any way hides
// it and runs FormClose, which lets the main window's check mark and button follow.

#include <QWidget>

class TToolWindow : public QWidget {
  Q_OBJECT
 public:
  TToolWindow(QWidget* owner, const QString& caption, int clientWidth, int clientHeight, int left, int top);

  virtual void FormClose() = 0;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};
