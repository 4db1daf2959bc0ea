#include "editor/TImageBox.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

TImageBox::TImageBox(QWidget* parent, const QImage* shown) : QWidget(parent), shown_(shown) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setAccessibleName("Slice view");
}

void TImageBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect r = event->rect();
  painter.drawImage(r.topLeft(), *shown_, r);
}

void TImageBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mousePressed(event->button(), p.x(), p.y());
}

void TImageBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other for the tools.
  mousePressEvent(event);
}

void TImageBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseMoved(p.x(), p.y());
}

void TImageBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseReleased(event->button(), p.x(), p.y());
}
