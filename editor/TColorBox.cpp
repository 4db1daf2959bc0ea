#include "editor/TColorBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/ModelColour.h"

TColorBox::TColorBox(QWidget* parent, const char* name, const QString& spokenName)
    : QWidget(parent) {
  setObjectName(name);
  setAccessibleName(spokenName);
  setMouseTracking(true);
  setCursor(Qt::UpArrowCursor);
}

void TColorBox::SetFill(std::int32_t colour) {
  if (colour == fill_) return;
  fill_ = colour;
  update();
}

void TColorBox::SetFill(std::int32_t colour, std::uint8_t index) {
  SetFill(colour);
  const QString description = QString("Index %1").arg(index);
  if (accessibleDescription() != description) setAccessibleDescription(description);
}

void TColorBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::black);
  p.setBrush(ModelColour(fill_));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit Pressed();
}

void TColorBox::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  emit PointerMoved();
}
