#pragma once
// The slice view's paint box: shows the picture it is given and passes the mouse on.
// Painting never renders; it only copies.

#include <QWidget>

class QImage;

class TImageBox : public QWidget {
  Q_OBJECT
 public:
  // shown: the image the box shows, owned by its caller and kept alive while it is.
  TImageBox(QWidget* parent, const QImage* shown);

 signals:
  // In the box's pixels; moves also come while a pressed button takes the mouse outside.
  void mousePressed(Qt::MouseButton button, int x, int y);
  void mouseMoved(int x, int y);
  void mouseReleased(Qt::MouseButton button, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  const QImage* shown_;
};
