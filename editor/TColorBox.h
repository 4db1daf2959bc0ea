#pragma once
// A colour swatch of the tool bar: a filled rectangle with a black border that opens
// the palette chooser when pressed.

#include <QWidget>
#include <cstdint>

class TColorBox : public QWidget {
  Q_OBJECT
 public:
  TColorBox(QWidget* parent, const char* name, const QString& spokenName);
  void SetFill(std::int32_t colour);  // model colour layout
  // Fill for a drawing value; the value goes into the accessible description ("Index 15"),
  // so that a screen reader hears which value the box holds, not only that it is a box.
  void SetFill(std::int32_t colour, std::uint8_t index);
  std::int32_t Fill() const { return fill_; }

 signals:
  void Pressed();
  void PointerMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::int32_t fill_ = 0xFFFFFF;
};
