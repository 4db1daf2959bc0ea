#pragma once
// Shared helpers of the slice-editor window tests: small models on disk, the mouse in
// the image box, and the colour of a cell on the screen and in SliceBitmap.

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/TMainWindow.h"
#include "editor/TImageBox.h"
#include "editor/TSliceView.h"
#include "editor/ToolSlotWidgets.h"
#include "editor/tools/ToolTable.h"
#include "model/VxlWriter.h"
#include "support/FormsFixture.h"

namespace slice_test {

// Writes a model of the given size (empty, default palette) after setup has placed its
// voxels, and opens it as a user would: a titled model on its top layer.
inline void OpenModel(const QTemporaryDir& dir, int sx, int sy, int sz,
                      const std::function<void(TVoxelModel&)>& setup = {}) {
  TVoxelModel m;
  m.SizeX = std::uint8_t(sx);
  m.SizeY = std::uint8_t(sy);
  m.SizeZ = std::uint8_t(sz);
  m.NormalType = 4;
  StoreNameText(m.Name, "TEST");
  if (setup) setup(m);
  static int serial = 0;
  const QString path = dir.filePath(QString("model%1.vxl").arg(++serial));
  if (!WriteVoxelFile(path.toStdString(), m)) qFatal("cannot write the test model");
  kobaltine_test::Main()->LoadVoxelFile(path.toStdString());
  QCoreApplication::processEvents();
  if (!kobaltine_test::Model().IsOpen()) qFatal("the test model did not load");
}

inline QWidget* Box() {
  return kobaltine_test::Slice()->ImageBox();
}

// The centre pixel of a voxel in image-box coordinates.
inline QPoint At(int cx, int cy) {
  const int z = kobaltine_test::Slice()->Zoom();
  return {cx * z + z / 2, cy * z + z / 2};
}

inline void Press(Qt::MouseButton button, QPoint p) {
  QTest::mousePress(Box(), button, {}, p);
}
inline void Release(Qt::MouseButton button, QPoint p) {
  QTest::mouseRelease(Box(), button, {}, p);
}

// A pointer move with the given buttons held (none: the pointer merely passes over).
inline void Move(QPoint p, Qt::MouseButtons held = Qt::NoButton) {
  QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(Box()->mapToGlobal(p)), Qt::NoButton,
                   held, Qt::NoModifier);
  QApplication::sendEvent(Box(), &move);
}

// The colour of a whole cell, or 0 when its pixels disagree (a torn or shifted square).
inline Pixel ScreenCell(int cx, int cy) {
  const int z = kobaltine_test::Slice()->Zoom();
  const QImage& img = kobaltine_test::Slice()->ScreenImage();
  const Pixel first = img.pixel(cx * z, cy * z);
  for (int r = 0; r < z; ++r)
    for (int c = 0; c < z; ++c)
      if (img.pixel(cx * z + c, cy * z + r) != first) return 0;
  return first;
}

inline Pixel BitmapCell(int cx, int cy) {
  const int z = kobaltine_test::Slice()->Zoom();
  const PixelBuffer& b = kobaltine_test::Slice()->SliceBitmap();
  const Pixel first = b.At(cx * z, cy * z);
  for (int r = 0; r < z; ++r)
    for (int c = 0; c < z; ++c)
      if (b.At(cx * z + c, cy * z + r) != first) return 0;
  return first;
}

inline Pixel PaletteCell(int index) {
  return ToPixel(kobaltine_test::Model().Palette[index]);
}
inline Pixel Background() {
  return ToPixel(kobaltine_test::Slice()->ViewState().BackgroundColour);
}

inline std::uint8_t ColourAt(int x, int y, int z) {
  return kobaltine_test::Model().Colours.at(x, y, z);
}
inline std::uint8_t NormalAt(int x, int y, int z) {
  return kobaltine_test::Model().Normals.at(x, y, z);
}

// How many cells of a layer (inside the model) hold a non-zero value in the grid.
inline int CountSet(const VoxelGrid& grid, int z) {
  int n = 0;
  const TVoxelModel& m = kobaltine_test::Model();
  for (int y = 0; y < m.SizeY; ++y)
    for (int x = 0; x < m.SizeX; ++x) n += grid.at(x, y, z) != 0;
  return n;
}

// A click on a tool's active picture in the tool panel, as a user chooses it.
inline void ClickTool(DrawTool tool) {
  const QString name = QString::fromLatin1(ToolInfoOf(tool).Name) + "RAButton";
  QTest::mouseClick(kobaltine_test::Form<TToolImage>(name.toLatin1().constData()), Qt::LeftButton);
}

// The frame that marks a tool as the chosen one.
inline TSelectFrame* SelectFrame(DrawTool tool) {
  const QString name = QString::fromLatin1(ToolInfoOf(tool).Name) + "Select";
  return kobaltine_test::Form<TSelectFrame>(name.toLatin1().constData());
}

}  // namespace slice_test
