// The statistics readouts: the voxel under the pointer in the image box, or the value of
// a colour box. They are written whether or not the statistics window is showing, so it
// shows the latest reading as soon as it opens.

#include <QFrame>
#include <QLabel>
#include <QPalette>

#include "document/Document.h"
#include "editor/TStatBox.h"
#include "widgets/ModelColour.h"

namespace {

QString Numbered(const char* prefix, unsigned value) {
  return QString::asprintf("%s: %i", prefix, int(value));
}

}  // namespace

// R, G, B and the panel for one colour; normals have no components to show.
void TStatBox::ShowValue(std::uint8_t value) {
  std::int32_t colour;
  if (doc_.NormalsMode()) {
    RedText->setText("R: N/A");
    GreenText->setText("G: N/A");
    BlueText->setText("B: N/A");
    colour = Grey(value);
  } else {
    colour = doc_.Model().Palette[value];
    RedText->setText(Numbered("R", RedOf(colour)));
    GreenText->setText(Numbered("G", GreenOf(colour)));
    BlueText->setText(Numbered("B", BlueOf(colour)));
  }
  IndexText->setText(Numbered("I", value));
  QPalette pal = ColorPanel->palette();
  pal.setColor(QPalette::Window, ModelColour(colour));
  ColorPanel->setPalette(pal);
}

void TStatBox::VoxelReadout(int x, int y, int z) {
  const TVoxelModel& model = doc_.Model();
  if (x < 0 || x >= model.SizeX || y < 0 || y >= model.SizeY || z < 0 || z >= model.SizeZ) return;
  last_ = Source::Voxel;
  x_ = x;
  y_ = y;
  z_ = z;
  XText->setText(QString::asprintf("X: %i", x));
  YText->setText(QString::asprintf("Y: %i", y));
  ZText->setText(QString::asprintf("Z: %i", z));
  const std::size_t cell = CellIndex(unsigned(x), unsigned(y), unsigned(z));
  ShowValue(doc_.NormalsMode() ? model.Normals[cell] : model.Colours[cell]);
}

void TStatBox::ColourBoxReadout(bool right) {
  XText->setText("X: N/A");
  YText->setText("Y: N/A");
  ZText->setText("Z: N/A");
  ShowValue(doc_.DrawingValue(right));
  last_ = right ? Source::RightBox : Source::LeftBox;
}

void TStatBox::RepeatReadout() {
  switch (last_) {
    case Source::None:
      break;
    case Source::Voxel:
      VoxelReadout(x_, y_, z_);  // nothing when the cell left the extent
      break;
    case Source::LeftBox:
      ColourBoxReadout(false);
      break;
    case Source::RightBox:
      ColourBoxReadout(true);
      break;
  }
}
