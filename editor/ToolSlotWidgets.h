#pragma once
// The pieces of a tool-panel slot: the clickable active picture and the frame that
// marks the selected tool.

#include <QLabel>
#include <QWidget>

class TToolImage : public QLabel {
  Q_OBJECT
 public:
  TToolImage(QWidget* parent, const QPixmap& picture);

 signals:
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

class TSelectFrame : public QWidget {
  Q_OBJECT
 public:
  explicit TSelectFrame(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
