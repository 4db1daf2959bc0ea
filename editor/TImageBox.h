#pragma once
// The slice view's paint box: shows the main window's screen image and hands the
// mouse to the tool handlers. Painting never renders; it only copies.

#include <QWidget>

class TMainWindow;

class TImageBox : public QWidget {
  Q_OBJECT
 public:
  explicit TImageBox(TMainWindow* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TMainWindow* owner_;
};
