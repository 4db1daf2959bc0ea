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
void PressBox(TColorBox* box) {
  QTest::mousePress(box, Qt::LeftButton);  // returns when the dialog has closed
  QTest::mouseRelease(box, Qt::LeftButton);
}

void ClickGrid(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(P()->PaintBox1, button, {}, QPoint(x, y));
}

TColorBox* Box(bool right) {
  return Form<TColorBox>(right ? "RightColorBox" : "LeftColorBox");
}

TThreeDWindow* View3D() {
  return Form<TThreeDWindow>("ThreeDWindow");
}

bool SameCell(const TPaletteCell& cell, int index, int column, int row) {
  return cell.Index == index && cell.Column == column && cell.Row == row;
}

bool ViewShows(std::int32_t colour) {
  const PixelBuffer& view = View3D()->Buffers().ViewBitmap;
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
    const PaletteRGB& pal = Model().Palette;
    Doc().SetDrawingValue(false, 37);
    Doc().SetDrawingValue(true, 200);

    QString title, indexText, rgbText, index1, index255;
    TPaletteCell opened, after1, after255;
    QImage picture;
    QPoint rightPress;
    WhenShowing(P(), [&] {
      title = P()->windowTitle();
      opened = P()->LeftCell;
      indexText = P()->IndexText->text();
      rgbText = P()->RGBText->text();
      picture = GridPicture();
      ClickGrid(39, 19);  // in the margin right of swatch 1: still cell 1
      after1 = P()->LeftCell;
      index1 = P()->IndexText->text();
      ClickGrid(319, 319);
      after255 = P()->LeftCell;
      index255 = P()->IndexText->text();
      ClickGrid(5, 5, Qt::RightButton);  // records the press, selects nothing
      rightPress = P()->ClickPos;
      QTest::mouseClick(P()->PalOKButton, Qt::LeftButton);
    });
    PressBox(Box(false));

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
    QCOMPARE(int(Doc().LeftColor()), 255);
    QCOMPARE(Box(false)->Fill(), pal[255]);
    QCOMPARE(int(Doc().RightColor()), 200);

    // The right box serves RightColor; Cancel keeps it and its box.
    const std::int32_t rightFill = Box(true)->Fill();
    TPaletteCell rightOpened;
    WhenShowing(P(), [&] {
      rightOpened = P()->RightCell;
      ClickGrid(0, 0);
      QTest::mouseClick(P()->PalCancelButton, Qt::LeftButton);
    });
    PressBox(Box(true));
    QVERIFY(P()->SelectRightColor);
    QVERIFY(SameCell(rightOpened, 200, 8, 12));
    QCOMPARE(int(P()->RightCell.Index), 200);
    QCOMPARE(int(Doc().RightColor()), 200);
    QCOMPARE(Box(true)->Fill(), rightFill);
    QCOMPARE(int(Doc().LeftColor()), 255);
  }

  void normalsDisplayShowsGreys() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = Model().Palette;
    Trigger("Normals1");

    QString onOpening, afterClick, afterDouble;
    QImage picture;
    bool chooserOpened = false;
    WhenShowing(P(), [&] {
      onOpening = P()->RGBText->text();
      picture = GridPicture();
      ClickGrid(39, 19);
      afterClick = P()->RGBText->text();
      WhenShowing(P()->PalEditDialog, [&] {
        chooserOpened = true;
        P()->PalEditDialog->reject();
      });
      DoubleClickCell(1);  // outside edit mode: only the texts are written again
      afterDouble = P()->RGBText->text();
      QTest::mouseClick(P()->PalOKButton, Qt::LeftButton);
    });
    PressBox(Box(false));
    for (int i = 0; i < 256; ++i)
      QCOMPARE(GridPixel(picture, 20 * (i % 16) + 9, 20 * (i / 16) + 9), Grey(unsigned(i)));
    QCOMPARE(onOpening, QString("Colour: N/A"));
    QCOMPARE(afterClick, QString("Color: N/A"));
    QCOMPARE(afterDouble, QString("Colour: N/A"));
    QVERIFY(!chooserOpened);
    QVERIFY(Model().Palette == before);
    QCOMPARE(int(Doc().LeftColor()), 1);
    QCOMPARE(Box(false)->Fill(), Grey(1));

    // Editing shows the real colours even in normals display.
    QString title, rgb;
    WhenShowing(P(), [&] {
      title = P()->windowTitle();
      rgb = P()->RGBText->text();
      picture = GridPicture();
      QTest::mouseClick(P()->PalCancelButton, Qt::LeftButton);
    });
    Trigger("EditPal1");
    QCOMPARE(title, QString("Edit Palette"));
    QCOMPARE(rgb, QString("Colour: 1, 254, 7"));
    for (int i = 0; i < 256; ++i)
      QCOMPARE(GridPixel(picture, 20 * (i % 16) + 9, 20 * (i / 16) + 9), before[i]);
  }

  void cancelPutsEveryEditBack() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = Model().Palette;
    const QImage sliceBefore = Slice()->ScreenImage();
    Doc().SetDrawingValue(false, 5);

    PaletteRGB during{}, modelDuring{};
    QImage picture;
    QString rgbDuring;
    bool sliceUntouched = false;
    WhenShowing(P(), [&] {
      const int edited[3] = {12, 20, 30};
      for (int k = 0; k < 3; ++k) {
        AnswerChooser(QColor(200, 10 + k, 50));
        DoubleClickCell(edited[k]);
      }
      during = P()->EditedPalette;
      modelDuring = Model().Palette;
      rgbDuring = P()->RGBText->text();
      picture = GridPicture();
      sliceUntouched = Slice()->ScreenImage() == sliceBefore;
      QTest::mouseClick(P()->PalCancelButton, Qt::LeftButton);
    });
    Trigger("EditPal1");

    QCOMPARE(during[12], PackRGB(200, 10, 50));
    QCOMPARE(during[20], PackRGB(200, 11, 50));
    QCOMPARE(during[30], PackRGB(200, 12, 50));
    QCOMPARE(during[13], before[13]);
    QVERIFY(modelDuring == before);  // the edits stay in the dialog until OK
    QCOMPARE(rgbDuring, QString("Colour: 200, 12, 50"));
    QCOMPARE(GridPixel(picture, 20 * 12 + 9, 9),
             PackRGB(200, 10, 50));  // only the dialog showed them
    QVERIFY(sliceUntouched);
    QVERIFY(Model().Palette == before);
    QVERIFY(Slice()->ScreenImage() == sliceBefore);
    QCOMPARE(SlicePixel(1, 1), before[12]);
    QCOMPARE(int(Doc().LeftColor()), 5);
    QCOMPARE(int(P()->LeftCell.Index), 5);
    QVERIFY(!P()->EditMode);
    QVERIFY(SaveDisabled());
  }

  void noWayOutBypassesCancel() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = Model().Palette;

    // A cancelled chooser leaves the entry as it was.
    QString rgb;
    WhenShowing(P(), [&] {
      AnswerChooser(QColor(9, 9, 9), false);
      DoubleClickCell(40);
      rgb = P()->RGBText->text();
      QTest::keyClick(P(), Qt::Key_Escape);
    });
    Trigger("EditPal1");
    QCOMPARE(rgb, QString("Colour: 40, 215, 24"));
    QVERIFY(Model().Palette == before);

    // Restoring a minimised dialog is no new opening: Cancel still reaches the first edit.
    WhenShowing(P(), [&] {
      AnswerChooser(QColor(4, 5, 6));
      DoubleClickCell(41);
      P()->setWindowState(Qt::WindowMinimized);
      P()->setWindowState(Qt::WindowNoState);
      rgb = P()->RGBText->text();
      P()->PalCancelButton->click();
    });
    Trigger("EditPal1");
    QCOMPARE(rgb, QString("Colour: 4, 5, 6"));
    QVERIFY(Model().Palette == before);

    // Escape and a close from the window manager both restore the palette.
    for (bool escape : {true, false}) {
      std::int32_t edited = 0;
      WhenShowing(P(), [&] {
        AnswerChooser(QColor(1, 2, 3));
        DoubleClickCell(40);
        edited = P()->EditedPalette[40];
        if (escape)
          QTest::keyClick(P(), Qt::Key_Escape);
        else
          P()->close();
      });
      Trigger("EditPal1");
      QCOMPARE(edited, PackRGB(1, 2, 3));
      QVERIFY(!P()->isVisible());
      QVERIFY(!P()->EditMode);
      QVERIFY(Model().Palette == before);
    }
  }

  void okAfterEditingRedrawsAndFollowsTheSaveRule() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    Trigger("View3D1");
    QVERIFY(View3D()->isVisible());
    // The right box was the last one chosen: OK after editing sets RightColor.
    WhenShowing(P(), [] { P()->PalCancelButton->click(); });
    PressBox(Box(true));
    const int renders = View3D()->RenderCount;

    WhenShowing(P(), [] {
      AnswerChooser(QColor(1, 2, 3));
      DoubleClickCell(12);
      QTest::mouseClick(P()->PalOKButton, Qt::LeftButton);
    });
    Trigger("EditPal1");
    QCOMPARE(Model().Palette[12], PackRGB(1, 2, 3));
    QCOMPARE(int(Doc().RightColor()), 12);
    QCOMPARE(Box(true)->Fill(), PackRGB(1, 2, 3));
    QCOMPARE(SlicePixel(1, 1), PackRGB(1, 2, 3));
    QVERIFY(View3D()->RenderCount > renders);
    QVERIFY(ViewShows(PackRGB(1, 2, 3)));
    QVERIFY(SaveEnabled());
    QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Edit Palette"));  // one step
    QVERIFY(!P()->EditMode);

    // An untitled model is saved with Save As: OK after editing leaves Save disabled.
    Doc().CreateNew(4, 4, 4);
    WhenShowing(P(), [] {
      AnswerChooser(QColor(7, 8, 9));
      DoubleClickCell(3);
      QTest::mouseClick(P()->PalOKButton, Qt::LeftButton);
    });
    Trigger("EditPal1");
    QCOMPARE(Model().Palette[3], PackRGB(7, 8, 9));
    QVERIFY(SaveDisabled());
    QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Edit Palette"));  // one step
  }
};

KOBALTINE_TEST_MAIN(PaletteDialogTest)
#include "PaletteDialogTest.moc"
