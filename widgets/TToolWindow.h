#pragma once
// A small stay-on-top tool window with only a close box. Closing it in any way hides it
// and emits closed(), which lets the menu check mark and the tool-bar button follow.

#include <QWidget>

class TToolWindow : public QWidget {
  Q_OBJECT
 public:
  TToolWindow(QWidget* owner, const QString& caption, int clientWidth, int clientHeight, int left,
              int top);

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// Activates the next window of the ring: the main window, then each visible tool window
// in the order they were made. Bound to Alt+F6, the usual key for moving between the
// windows of one program, so the tool windows can be reached without a mouse.
void ActivateNextWindow(QWidget* mainWindow);
