#pragma once
// Shared pieces of the palette window tests: small models opened through the main
// window, actions run inside a chosen modal dialog, and pixels of the palette grid.

#include <QApplication>
#include <QColorDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>

#include "app/TMainWindow.h"
#include "model/VxlWriter.h"
#include "palette/TPaletteDialog.h"
#include "support/FormsFixture.h"
#include "widgets/MessageDialogs.h"

namespace palette_test {

inline TPaletteDialog* P() {
  return kobaltine_test::Form<TPaletteDialog>("PaletteDialog");
}

// A 6 x 5 x 4 model with 256 different colours whose top layer holds voxels of colours 12, 20 and
// 30 at (1,1), (2,1) and (3,1), written to dir/fileName and opened (titled) by the main window.
inline std::string OpenSmallModel(const QTemporaryDir& dir, const char* fileName = "m.vxl") {
  TVoxelModel m;
  m.SizeX = 6;
  m.SizeY = 5;
  m.SizeZ = 4;
  m.NormalType = 4;
  StoreNameText(m.Name, "Body");
  for (unsigned i = 0; i < 256; ++i) m.Palette[i] = PackRGB(i, 255 - i, (i * 7) & 0xFF);
  const std::uint8_t colours[3] = {12, 20, 30};
  for (unsigned i = 0; i < 3; ++i) {
    m.Colours.at(1 + i, 1, 3) = colours[i];
    m.Normals.at(1 + i, 1, 3) = 5;
  }
  const std::string path = dir.filePath(fileName).toStdString();
  if (!WriteVoxelFile(path, m)) qFatal("cannot write the test model");
  kobaltine_test::Main()->LoadVoxelFile(path);
  return path;
}

// Runs action once `target` is the active modal window (polled; dropped after 5 s).
// Unlike WhenModal it never fires on a different dialog that is open meanwhile.
inline void WhenShowing(QWidget* target, std::function<void()> action) {
  auto* timer = new QTimer(kobaltine_test::PendingActions());
  auto tries = std::make_shared<int>(0);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, target, action] {
    if (QApplication::activeModalWidget() == target && target->isVisible()) {
      timer->stop();
      timer->deleteLater();
      action();
    } else if (++*tries > 1000) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

// The colour chooser, when it opens, takes `colour` and is accepted (or cancelled).
inline void AnswerChooser(const QColor& colour, bool accept = true) {
  QColorDialog* chooser = P()->PalEditDialog;
  WhenShowing(chooser, [chooser, colour, accept] {
    chooser->setCurrentColor(colour);
    if (accept)
      chooser->accept();
    else
      chooser->reject();
  });
}

// The next one-button message reports its text through *text and is closed with its button.
inline void AnswerMessage(QString* text) {
  kobaltine_test::WhenModal(
      [text](QWidget* d) {
        *text = d->findChild<QLabel*>("Text")->text();
        d->findChild<QAbstractButton*>("Button1")->click();
      },
      5000, [](QWidget* d) { return d->objectName() == "SingleButDial"; });
}

inline QPoint CellCentre(int index) {
  return QPoint(20 * (index % 16) + 10, 20 * (index / 16) + 10);
}

// A double click as a user makes it: the first click, then the double-click event.
inline void DoubleClickCell(int index) {
  QTest::mouseClick(P()->PaintBox1, Qt::LeftButton, {}, CellCentre(index));
  QTest::mouseDClick(P()->PaintBox1, Qt::LeftButton, {}, CellCentre(index));
  QTest::mouseRelease(P()->PaintBox1, Qt::LeftButton, {}, CellCentre(index));
}

inline QImage GridPicture() {
  return P()->PaintBox1->grab().toImage();
}

// The model colour (red low) of a grid pixel.
inline std::int32_t GridPixel(const QImage& picture, int x, int y) {
  const QRgb p = picture.pixel(x, y);
  return PackRGB(unsigned(qRed(p)), unsigned(qGreen(p)), unsigned(qBlue(p)));
}

inline std::int32_t SlicePixel(int x, int y) {
  TSliceView* slice = kobaltine_test::Slice();
  const int z = slice->Zoom();
  return FromPixel(slice->ScreenImage().pixel(x * z + z / 2, y * z + z / 2));
}

using kobaltine_test::SaveDisabled;
using kobaltine_test::SaveEnabled;

}  // namespace palette_test
