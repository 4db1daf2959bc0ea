#include "editor/TImageBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/TMainWindow.h"

TImageBox::TImageBox(TMainWindow* owner) : QWidget(nullptr), owner_(owner) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setAccessibleName("Slice view");
}

void TImageBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect r = event->rect();
  painter.drawImage(r.topLeft(), owner_->ScreenImage, r);
}

void TImageBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  owner_->ImageBoxMouseDown(event->button(), p.x(), p.y());
}

void TImageBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other for the tools.
  mousePressEvent(event);
}

void TImageBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  owner_->ImageBoxMouseMove(p.x(), p.y());
}

void TImageBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  owner_->ImageBoxMouseUp(event->button(), p.x(), p.y());
}
