#include "editor/ToolSlotWidgets.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

TToolImage::TToolImage(QWidget* parent, const QPixmap& picture) : QLabel(parent) {
  setPixmap(picture);
}

void TToolImage::SetSelectFrame(TSelectFrame* frame) {
  frame_ = frame;
  if (frame != nullptr) frame->image_ = this;
}

bool TToolImage::IsSelected() const {
  return frame_ != nullptr && frame_->isVisible();
}

void TToolImage::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void TToolImage::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit Clicked();
}

TSelectFrame::TSelectFrame(QWidget* parent) : QWidget(parent) {
  // Lies on top of the pictures but lets their clicks through.
  setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void TSelectFrame::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QColor(192, 0, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TSelectFrame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  AnnounceSelection();
}

void TSelectFrame::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  AnnounceSelection();
}

void TSelectFrame::AnnounceSelection() {
  if (image_ == nullptr || !QAccessible::isActive()) return;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(image_, changed);
  QAccessible::updateAccessibility(&event);
}
