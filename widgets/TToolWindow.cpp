#include "widgets/TToolWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

TToolWindow::TToolWindow(QWidget* owner, const QString& caption, int clientWidth, int clientHeight,
                         int left, int top)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(caption);
  setFixedSize(clientWidth, clientHeight);
  move(left, top);
}

void TToolWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

void TToolWindow::keyPressEvent(QKeyEvent* event) {
  // Escape closes a tool window from the keyboard, as its close box does.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ActivateNextWindow(QWidget* mainWindow) {
  QList<QWidget*> ring{mainWindow};
  for (TToolWindow* w : mainWindow->findChildren<TToolWindow*>(Qt::FindDirectChildrenOnly))
    if (w->isVisible()) ring << w;
  const qsizetype at = ring.indexOf(QApplication::activeWindow());  // -1: start at the main window
  QWidget* next = ring[(at + 1) % ring.size()];
  next->raise();
  next->activateWindow();
}
