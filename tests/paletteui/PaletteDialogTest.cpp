// The palette dialog driven as a user drives it: choosing drawing values from the
// colour boxes, the normals display, editing entries with the colour chooser, and what
// OK and Cancel leave behind in the model, the views and the Save command.

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "PaletteTestSupport.h"
#include "editor/TColorBox.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;
using namespace palette_test;

namespace {
bool SaveEnabled() {
  return MainWindow->Save1->isEnabled() && MainWindow->SaveButton->isEnabled();
}
bool SaveDisabled() {
  return !MainWindow->Save1->isEnabled() && !MainWindow->SaveButton->isEnabled();
}

void PressBox(TColorBox* box) {
  QTest::mousePress(box, Qt::LeftButton);  // returns when the dialog has closed
  QTest::mouseRelease(box, Qt::LeftButton);
}

void ClickGrid(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(PaletteDialog->PaintBox1, button, {}, QPoint(x, y));
}

bool SameCell(const TPaletteCell& cell, int index, int column, int row) {
  return cell.Index == index && cell.Column == column && cell.Row == row;
}

bool ViewShows(std::int32_t colour) {
  const PixelBuffer& view = MainWindow->View3D.ViewBitmap;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x)
      if (view.At(x, y) == ToPixel(colour)) return true;
  return false;
}
}  // namespace

class PaletteDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void colourBoxesChooseTheirValues() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB& pal = MainWindow->Model.Palette;
    MainWindow->View.LeftColor = 37;
    MainWindow->View.RightColor = 200;

    QString title, indexText, rgbText, index1, index255;
    TPaletteCell opened, after1, after255;
    QImage picture;
    QPoint rightPress;
    WhenShowing(PaletteDialog, [&] {
      title = PaletteDialog->windowTitle();
      opened = PaletteDialog->LeftCell;
      indexText = PaletteDialog->IndexText->text();
      rgbText = PaletteDialog->RGBText->text();
      picture = GridPicture();
      ClickGrid(39, 19);  // in the margin right of swatch 1: still cell 1
      after1 = PaletteDialog->LeftCell;
      index1 = PaletteDialog->IndexText->text();
      ClickGrid(319, 319);
      after255 = PaletteDialog->LeftCell;
      index255 = PaletteDialog->IndexText->text();
      ClickGrid(5, 5, Qt::RightButton);  // records the press, selects nothing
      rightPress = PaletteDialog->ClickPos;
      QTest::mouseClick(PaletteDialog->PalOKButton, Qt::LeftButton);
    });
    PressBox(MainWindow->LeftColorBox);

    QCOMPARE(title, QString("Choose Colour"));
    QVERIFY(SameCell(opened, 37, 5, 2));
    QCOMPARE(indexText, QString("Palette Index: 37"));
    QCOMPARE(rgbText, QString("Colour: 37, 218, 3"));
    for (int i = 0; i < 256; ++i) {  // every swatch, corner to corner
      const int x = 20 * (i % 16), y = 20 * (i / 16);
      QCOMPARE(GridPixel(picture, x + 2, y + 2), pal[i]);
      QCOMPARE(GridPixel(picture, x + 17, y + 17), pal[i]);
    }
    const std::int32_t black = PackRGB(0, 0, 0);
    for (QPoint p :
         {QPoint(100, 40), QPoint(119, 40), QPoint(100, 59), QPoint(119, 59), QPoint(110, 59)})
      QCOMPARE(GridPixel(picture, p.x(), p.y()), black);
    const std::int32_t face = GridPixel(picture, 0, 0);  // an unframed cell's margin
    QVERIFY(face != black);
    QCOMPARE(GridPixel(picture, 101, 41), face);
    QCOMPARE(GridPixel(picture, 120, 40), face);

    QVERIFY(SameCell(after1, 1, 1, 0));
    QCOMPARE(index1, QString("Palette Index: 1"));
    QVERIFY(SameCell(after255, 255, 15, 15));
    QCOMPARE(index255, QString("Palette Index: 255"));
    QCOMPARE(rightPress, QPoint(5, 5));
    QCOMPARE(int(MainWindow->View.LeftColor), 255);
    QCOMPARE(MainWindow->LeftColorBox->Fill(), pal[255]);
    QCOMPARE(int(MainWindow->View.RightColor), 200);

    // The right box serves RightColor; Cancel keeps it and its box.
    const std::int32_t rightFill = MainWindow->RightColorBox->Fill();
    TPaletteCell rightOpened;
    WhenShowing(PaletteDialog, [&] {
      rightOpened = PaletteDialog->RightCell;
      ClickGrid(0, 0);
      QTest::mouseClick(PaletteDialog->PalCancelButton, Qt::LeftButton);
    });
    PressBox(MainWindow->RightColorBox);
    QVERIFY(PaletteDialog->SelectRightColor);
    QVERIFY(SameCell(rightOpened, 200, 8, 12));
    QCOMPARE(int(PaletteDialog->RightCell.Index), 200);
    QCOMPARE(int(MainWindow->View.RightColor), 200);
    QCOMPARE(MainWindow->RightColorBox->Fill(), rightFill);
    QCOMPARE(int(MainWindow->View.LeftColor), 255);
  }

  void normalsDisplayShowsGreys() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = MainWindow->Model.Palette;
    MainWindow->Normals1Click();

    QString onOpening, afterClick, afterDouble;
    QImage picture;
    bool chooserOpened = false;
    WhenShowing(PaletteDialog, [&] {
      onOpening = PaletteDialog->RGBText->text();
      picture = GridPicture();
      ClickGrid(39, 19);
      afterClick = PaletteDialog->RGBText->text();
      WhenShowing(PaletteDialog->PalEditDialog, [&] {
        chooserOpened = true;
        PaletteDialog->PalEditDialog->reject();
      });
      DoubleClickCell(1);  // outside edit mode: only the texts are written again
      afterDouble = PaletteDialog->RGBText->text();
      QTest::mouseClick(PaletteDialog->PalOKButton, Qt::LeftButton);
    });
    PressBox(MainWindow->LeftColorBox);
    for (int i = 0; i < 256; ++i)
      QCOMPARE(GridPixel(picture, 20 * (i % 16) + 9, 20 * (i / 16) + 9), Grey(unsigned(i)));
    QCOMPARE(onOpening, QString("Colour: N/A"));
    QCOMPARE(afterClick, QString("Color: N/A"));
    QCOMPARE(afterDouble, QString("Colour: N/A"));
    QVERIFY(!chooserOpened);
    QVERIFY(MainWindow->Model.Palette == before);
    QCOMPARE(int(MainWindow->View.LeftColor), 1);
    QCOMPARE(MainWindow->LeftColorBox->Fill(), Grey(1));

    // Editing shows the real colours even in normals display.
    QString title, rgb;
    WhenShowing(PaletteDialog, [&] {
      title = PaletteDialog->windowTitle();
      rgb = PaletteDialog->RGBText->text();
      picture = GridPicture();
      QTest::mouseClick(PaletteDialog->PalCancelButton, Qt::LeftButton);
    });
    MainWindow->EditPal1Click();
    QCOMPARE(title, QString("Edit Palette"));
    QCOMPARE(rgb, QString("Colour: 1, 254, 7"));
    for (int i = 0; i < 256; ++i)
      QCOMPARE(GridPixel(picture, 20 * (i % 16) + 9, 20 * (i / 16) + 9), before[i]);
  }

  void cancelPutsEveryEditBack() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = MainWindow->Model.Palette;
    const QImage sliceBefore = MainWindow->ScreenImage;
    MainWindow->View.LeftColor = 5;

    PaletteRGB during{};
    QImage picture;
    QString rgbDuring;
    bool sliceUntouched = false;
    WhenShowing(PaletteDialog, [&] {
      const int edited[3] = {12, 20, 30};
      for (int k = 0; k < 3; ++k) {
        AnswerChooser(QColor(200, 10 + k, 50));
        DoubleClickCell(edited[k]);
      }
      during = MainWindow->Model.Palette;
      rgbDuring = PaletteDialog->RGBText->text();
      picture = GridPicture();
      sliceUntouched = MainWindow->ScreenImage == sliceBefore;
      QTest::mouseClick(PaletteDialog->PalCancelButton, Qt::LeftButton);
    });
    MainWindow->EditPal1Click();

    QCOMPARE(during[12], PackRGB(200, 10, 50));
    QCOMPARE(during[20], PackRGB(200, 11, 50));
    QCOMPARE(during[30], PackRGB(200, 12, 50));
    QCOMPARE(during[13], before[13]);
    QCOMPARE(rgbDuring, QString("Colour: 200, 12, 50"));
    QCOMPARE(GridPixel(picture, 20 * 12 + 9, 9),
             PackRGB(200, 10, 50));  // only the dialog showed them
    QVERIFY(sliceUntouched);
    QVERIFY(MainWindow->Model.Palette == before);
    QVERIFY(MainWindow->ScreenImage == sliceBefore);
    QCOMPARE(SlicePixel(1, 1), before[12]);
    QCOMPARE(int(MainWindow->View.LeftColor), 5);
    QCOMPARE(int(PaletteDialog->LeftCell.Index), 5);
    QVERIFY(!PaletteDialog->EditMode);
    QVERIFY(SaveDisabled());
  }

  void noWayOutBypassesCancel() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = MainWindow->Model.Palette;

    // A cancelled chooser leaves the entry as it was.
    QString rgb;
    WhenShowing(PaletteDialog, [&] {
      AnswerChooser(QColor(9, 9, 9), false);
      DoubleClickCell(40);
      rgb = PaletteDialog->RGBText->text();
      QTest::keyClick(PaletteDialog, Qt::Key_Escape);
    });
    MainWindow->EditPal1Click();
    QCOMPARE(rgb, QString("Colour: 40, 215, 24"));
    QVERIFY(MainWindow->Model.Palette == before);

    // Restoring a minimised dialog is no new opening: Cancel still reaches the first edit.
    WhenShowing(PaletteDialog, [&] {
      AnswerChooser(QColor(4, 5, 6));
      DoubleClickCell(41);
      PaletteDialog->setWindowState(Qt::WindowMinimized);
      PaletteDialog->setWindowState(Qt::WindowNoState);
      rgb = PaletteDialog->RGBText->text();
      PaletteDialog->PalCancelButton->click();
    });
    MainWindow->EditPal1Click();
    QCOMPARE(rgb, QString("Colour: 4, 5, 6"));
    QVERIFY(MainWindow->Model.Palette == before);

    // Escape and a close from the window manager both restore the palette.
    for (bool escape : {true, false}) {
      std::int32_t edited = 0;
      WhenShowing(PaletteDialog, [&] {
        AnswerChooser(QColor(1, 2, 3));
        DoubleClickCell(40);
        edited = MainWindow->Model.Palette[40];
        if (escape)
          QTest::keyClick(PaletteDialog, Qt::Key_Escape);
        else
          PaletteDialog->close();
      });
      MainWindow->EditPal1Click();
      QCOMPARE(edited, PackRGB(1, 2, 3));
      QVERIFY(!PaletteDialog->isVisible());
      QVERIFY(!PaletteDialog->EditMode);
      QVERIFY(MainWindow->Model.Palette == before);
    }
  }

  void okAfterEditingRedrawsAndFollowsTheSaveRule() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    MainWindow->View3D1Click();
    QVERIFY(ThreeDWindow->isVisible());
    // The right box was the last one chosen: OK after editing sets RightColor.
    WhenShowing(PaletteDialog, [] { PaletteDialog->PalCancelButton->click(); });
    PressBox(MainWindow->RightColorBox);
    const int renders = ThreeDWindow->RenderCount;

    WhenShowing(PaletteDialog, [] {
      AnswerChooser(QColor(1, 2, 3));
      DoubleClickCell(12);
      QTest::mouseClick(PaletteDialog->PalOKButton, Qt::LeftButton);
    });
    MainWindow->EditPal1Click();
    QCOMPARE(MainWindow->Model.Palette[12], PackRGB(1, 2, 3));
    QCOMPARE(int(MainWindow->View.RightColor), 12);
    QCOMPARE(MainWindow->RightColorBox->Fill(), PackRGB(1, 2, 3));
    QCOMPARE(SlicePixel(1, 1), PackRGB(1, 2, 3));
    QVERIFY(ThreeDWindow->RenderCount > renders);
    QVERIFY(ViewShows(PackRGB(1, 2, 3)));
    QVERIFY(SaveEnabled());
    QVERIFY(!MainWindow->Doc.Modified);
    QVERIFY(!PaletteDialog->EditMode);

    // An untitled model is saved with Save As: OK after editing leaves Save disabled.
    MainWindow->CreateNewModel(4, 4, 4);
    WhenShowing(PaletteDialog, [] {
      AnswerChooser(QColor(7, 8, 9));
      DoubleClickCell(3);
      QTest::mouseClick(PaletteDialog->PalOKButton, Qt::LeftButton);
    });
    MainWindow->EditPal1Click();
    QCOMPARE(MainWindow->Model.Palette[3], PackRGB(7, 8, 9));
    QVERIFY(SaveDisabled());
    QVERIFY(!MainWindow->Doc.Modified);
  }
};

KOBALTINE_TEST_MAIN(PaletteDialogTest)
#include "PaletteDialogTest.moc"
