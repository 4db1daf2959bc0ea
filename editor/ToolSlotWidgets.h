#pragma once
// The pieces of a tool-panel slot: the clickable active picture and the frame that
// marks the selected tool.

#include <QLabel>
#include <QWidget>

class TSelectFrame;

class TToolImage : public QLabel {
  Q_OBJECT
 public:
  TToolImage(QWidget* parent, const QPixmap& picture);

  // The frame of the same slot: the tool is selected while it shows. Assistive technology
  // reads the picture as a button that is checked while its tool is selected.
  void SetSelectFrame(TSelectFrame* frame);
  bool IsSelected() const;
  bool IsPressed() const { return pressed_; }
  // What a click does, for a press that comes from assistive technology.
  void Press() { emit Clicked(); }

 signals:
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
  TSelectFrame* frame_ = nullptr;
};

class TSelectFrame : public QWidget {
  Q_OBJECT
 public:
  explicit TSelectFrame(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Showing or hiding the frame checks or unchecks its slot's picture for assistive technology.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  friend class TToolImage;
  TToolImage* image_ = nullptr;
  void AnnounceSelection();
};
