// The statistics readouts: the voxel under the pointer in the image box, or the value of
// a colour box. They are written whether or not the statistics window is showing, so it
// shows the latest reading as soon as it opens.

#include <QFrame>
#include <QLabel>
#include <QPalette>

#include "app/Forms.h"
#include "app/TMainWindow.h"
#include "editor/TStatBox.h"

namespace {

QString Numbered(const char* prefix, unsigned value) {
  return QString::asprintf("%s: %i", prefix, int(value));
}

// R, G, B and the panel for one colour; normals have no components to show.
void ShowValue(bool normalsMode, const PaletteRGB& palette, std::uint8_t value) {
  std::int32_t colour;
  if (normalsMode) {
    StatBox->RedText->setText("R: N/A");
    StatBox->GreenText->setText("G: N/A");
    StatBox->BlueText->setText("B: N/A");
    colour = Grey(value);
  } else {
    colour = palette[value];
    StatBox->RedText->setText(Numbered("R", RedOf(colour)));
    StatBox->GreenText->setText(Numbered("G", GreenOf(colour)));
    StatBox->BlueText->setText(Numbered("B", BlueOf(colour)));
  }
  StatBox->IndexText->setText(Numbered("I", value));
  QPalette pal = StatBox->ColorPanel->palette();
  pal.setColor(QPalette::Window, ModelColour(colour));
  StatBox->ColorPanel->setPalette(pal);
}

}  // namespace

void TMainWindow::VoxelReadout(int x, int y, int z) {
  if (StatBox == nullptr) return;
  if (x < 0 || x >= Model.SizeX || y < 0 || y >= Model.SizeY || z < 0 || z >= Model.SizeZ) return;
  LastReadout = ReadoutSource::Voxel;
  ReadoutX = x;
  ReadoutY = y;
  ReadoutZ = z;
  StatBox->XText->setText(QString::asprintf("X: %i", x));
  StatBox->YText->setText(QString::asprintf("Y: %i", y));
  StatBox->ZText->setText(QString::asprintf("Z: %i", z));
  const std::size_t cell = CellIndex(unsigned(x), unsigned(y), unsigned(z));
  ShowValue(View.NormalsMode, Model.Palette,
            View.NormalsMode ? Model.Normals[cell] : Model.Colours[cell]);
}

void TMainWindow::ColourBoxReadout(std::uint8_t value) {
  if (StatBox == nullptr) return;
  StatBox->XText->setText("X: N/A");
  StatBox->YText->setText("Y: N/A");
  StatBox->ZText->setText("Z: N/A");
  ShowValue(View.NormalsMode, Model.Palette, value);
}

void TMainWindow::LeftColorBoxMouseMove() {
  ColourBoxReadout(View.LeftColor);
  LastReadout = ReadoutSource::LeftBox;
}
void TMainWindow::RightColorBoxMouseMove() {
  ColourBoxReadout(View.RightColor);
  LastReadout = ReadoutSource::RightBox;
}

void TMainWindow::RepeatReadout() {
  switch (LastReadout) {
    case ReadoutSource::None:
      break;
    case ReadoutSource::Voxel:
      VoxelReadout(ReadoutX, ReadoutY, ReadoutZ);  // nothing when the cell left the extent
      break;
    case ReadoutSource::LeftBox:
      LeftColorBoxMouseMove();
      break;
    case ReadoutSource::RightBox:
      RightColorBoxMouseMove();
      break;
  }
}
